#include "skin/resources/Winconvert.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

using namespace quorin;

namespace {

std::vector<uint8_t> Fixture(const std::string& name) {
    std::ifstream f(std::string(QUORIN_SOURCE_DIR) + "/tests/fixtures/lzhuf/" + name, std::ios::binary);
    EXPECT_TRUE(f.good()) << name;
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

// Reads the bit stream as the decoder does, for tests that look at single codes.
struct Bits {
    const std::vector<uint8_t>& data;
    size_t pos = 0;
    unsigned Get(int n) {
        unsigned v = 0;
        for (int i = 0; i < n; ++i, ++pos) {
            const unsigned byte = pos / 8 < data.size() ? data[pos / 8] : 0;
            v = (v << 1) | ((byte >> (7 - pos % 8)) & 1);
        }
        return v;
    }
};

// A mix of what skins hold: bitmap rows with runs and noise, and description text.
std::vector<uint8_t> MixedInput(size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> out;
    while (out.size() < size) {
        switch (rng() % 3) {
        case 0: {
            std::vector<uint8_t> row(16 + rng() % 300);
            for (auto& b : row) b = (rng() % 4 == 0) ? static_cast<uint8_t>(rng()) : 0xFF;
            for (unsigned k = 1 + rng() % 4; k > 0; --k) out.insert(out.end(), row.begin(), row.end());
            break;
        }
        case 1:
            for (unsigned k = 50 + rng() % 500; k > 0; --k) out.push_back(static_cast<uint8_t>(rng()));
            break;
        default: {
            const std::string line = "Key" + std::to_string(rng() % 500) + "=" + std::to_string(rng()) + "\r\n";
            out.insert(out.end(), line.begin(), line.end());
        }
        }
    }
    out.resize(size);
    return out;
}

std::vector<uint8_t> RoundTrip(const std::vector<uint8_t>& in) {
    const auto packed = LZHPackBytes(in.data(), in.size());
    return LZHUnpackBytes(packed.data(), packed.size(), in.size());
}

}  // namespace

// Streams made by an independent model of the classic program (tests/fixtures/lzhuf):
// mixed text and binary, a long input that rebuilds the tree three times, a run of 100
// equal bytes, 60 blanks, and a string with two equally long earlier copies, where the
// closer one must be sent.
class KnownVectors : public ::testing::TestWithParam<const char*> {};

TEST_P(KnownVectors, PackGivesTheSameBytesAndUnpacks) {
    const std::string name = GetParam();
    const auto input = Fixture(name + ".bin");
    const auto expected = Fixture(name + ".lzh");
    ASSERT_FALSE(input.empty());
    EXPECT_EQ(PackSkinBytes(input.data(), input.size()), expected);

    std::vector<uint8_t> out;
    ASSERT_TRUE(UnpackSkinBytes(expected.data(), expected.size(), out));
    EXPECT_EQ(out, input);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, KnownVectors, ::testing::Values("small", "rebuild", "run", "blanks", "closer"));

TEST(LzhCodec, SingleLiteralHasTheHandCheckedCode) {
    // 'A' is leaf 65 of the initial tree: nine bits 111001101, padded with zeros.
    const std::vector<uint8_t> in = Bytes("A");
    EXPECT_EQ(PackSkinBytes(in.data(), in.size()), (std::vector<uint8_t>{1, 0, 0, 0, 0xE6, 0x80}));
}

TEST(LzhCodec, EmptyInputPacksToNothingAndSizeZeroReadsNothing) {
    EXPECT_TRUE(LZHPackBytes(nullptr, 0).empty());
    EXPECT_EQ(PackSkinBytes(nullptr, 0), (std::vector<uint8_t>{0, 0, 0, 0}));

    TLZH lzh;
    int reads = 0, writes = 0;
    lzh.LZHUnpack(
        0,
        [&](void*, uint16_t, uint16_t& got) {
            ++reads;
            got = 0;
        },
        [&](const void*, uint16_t n, uint16_t& got) {
            ++writes;
            got = n;
        });
    EXPECT_EQ(reads, 0);
    EXPECT_EQ(writes, 0);
}

TEST(LzhCodec, RunOfEqualBytesIsOneLiteralThenOverlappingDistanceOneMatches) {
    const std::vector<uint8_t> in(100, 'Q');
    const auto stream = LZHPackBytes(in.data(), in.size());
    Bits bits{stream};
    // 'Q' is leaf 81 of the initial tree: 111011101.
    EXPECT_EQ(bits.Get(9), 0b111011101u);
    // The rest is two matches (60 and 39 bytes) whose positions are 0: a handful of bytes.
    EXPECT_LE(stream.size(), 6u);
    EXPECT_EQ(RoundTrip(in), in);
}

TEST(LzhCodec, LeadingBlanksMatchTheBlankFilledRingFromTheFirstSymbol) {
    const std::vector<uint8_t> blanks(60, ' ');
    // One 60-byte match: length code, position prefix and six bits; no literal first.
    EXPECT_EQ(LZHPackBytes(blanks.data(), blanks.size()).size(), 3u);
    EXPECT_EQ(RoundTrip(blanks), blanks);
}

TEST(LzhCodec, RoundTripsAcrossTreeRebuilds) {
    for (unsigned seed : {1u, 2u, 3u}) {
        const auto in = MixedInput(400 * 1024, seed);
        EXPECT_EQ(RoundTrip(in), in) << "seed " << seed;
    }
}

TEST(LzhCodec, CallbackInterfaceMatchesTheBufferCore) {
    const auto in = MixedInput(20000, 7);
    TMemoryStream src(in), dst;
    TLZH lzh;
    lzh.InStream = &src;
    lzh.OutStream = &dst;
    int32_t written = 0;
    int maxCount = 0;
    lzh.LZHPack(
        written,
        [&](void* b, uint16_t n, uint16_t& got) {
            maxCount = std::max<int>(maxCount, n);
            lzh.GetBlockStream(b, n, got);
        },
        [&](const void* b, uint16_t n, uint16_t& got) { lzh.PutBlockStream(b, n, got); });
    EXPECT_EQ(written, static_cast<int32_t>(in.size()));
    EXPECT_EQ(maxCount, 1);
    EXPECT_EQ(dst.Bytes(), LZHPackBytes(in.data(), in.size()));

    TMemoryStream packed(dst.Bytes()), out;
    lzh.InStream = &packed;
    lzh.OutStream = &out;
    lzh.LZHUnpack(
        static_cast<int32_t>(in.size()), [&](void* b, uint16_t n, uint16_t& got) { lzh.GetBlockStream(b, n, got); },
        [&](const void* b, uint16_t n, uint16_t& got) { lzh.PutBlockStream(b, n, got); });
    EXPECT_EQ(out.Bytes(), in);
}

TEST(LzhCodec, CompressAndDecompressRewindBothStreams) {
    const auto in = MixedInput(5000, 9);
    TMemoryStream src(in), packed, out;
    src.Seek(0, TSeekOrigin::soEnd);
    TLZH lzh;
    lzh.Compress(src, packed);
    EXPECT_EQ(packed.Bytes(), PackSkinBytes(in.data(), in.size()));
    lzh.Decompress(packed, out);
    EXPECT_EQ(out.Bytes(), in);
}

// ---- hostile streams ----------------------------------------------------------------

TEST(LzhHostileInput, TruncatedStreamDecodesToTheDeclaredSizeReadingZeros) {
    const auto in = MixedInput(30000, 4);
    auto packed = PackSkinBytes(in.data(), in.size());
    packed.resize(packed.size() / 2);
    std::vector<uint8_t> out;
    ASSERT_TRUE(UnpackSkinBytes(packed.data(), packed.size(), out));
    ASSERT_EQ(out.size(), in.size());
    // What the stream still held decodes as before.
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + 1000, in.begin()));
}

TEST(LzhHostileInput, MatchPastTheDeclaredSizeIsCut) {
    // 100 equal bytes packed, but 30 declared: the first match would run past 30.
    const std::vector<uint8_t> in(100, 'Q');
    const auto stream = LZHPackBytes(in.data(), in.size());
    const auto out = LZHUnpackBytes(stream.data(), stream.size(), 30);
    EXPECT_EQ(out, std::vector<uint8_t>(30, 'Q'));

    TLZH lzh;
    std::vector<uint8_t> viaCallbacks;
    size_t pos = 0;
    lzh.LZHUnpack(
        30,
        [&](void* b, uint16_t, uint16_t& got) {
            got = pos < stream.size() ? 1 : 0;
            if (got) *static_cast<uint8_t*>(b) = stream[pos++];
        },
        [&](const void* b, uint16_t n, uint16_t& got) {
            viaCallbacks.insert(viaCallbacks.end(), static_cast<const uint8_t*>(b), static_cast<const uint8_t*>(b) + n);
            got = n;
        });
    EXPECT_EQ(viaCallbacks, out);
}

struct AbsurdSize {
    std::vector<uint8_t> packed;
    const char* why;
};

class LzhRefusedSizes : public ::testing::TestWithParam<AbsurdSize> {};

TEST_P(LzhRefusedSizes, UnpackRefusesBeforeAllocating) {
    std::vector<uint8_t> out{1, 2, 3};
    EXPECT_FALSE(UnpackSkinBytes(GetParam().packed.data(), GetParam().packed.size(), out)) << GetParam().why;
    EXPECT_TRUE(out.empty());
}

INSTANTIATE_TEST_SUITE_P(Sizes, LzhRefusedSizes,
                         ::testing::Values(AbsurdSize{{0xFF, 0xFF, 0xFF, 0x7F, 0x12}, "2 GB declared"},
                                           AbsurdSize{{0x01, 0x00, 0x00, 0x05}, "just above 64 MB"},
                                           AbsurdSize{{0xFF, 0xFF, 0xFF, 0xFF}, "negative"},
                                           AbsurdSize{{0x10, 0x00}, "shorter than its size field"}));

TEST(LzhHostileInput, DecompressRaisesOnAnAbsurdSize) {
    TMemoryStream src(std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0x7F}), dst;
    TLZH lzh;
    EXPECT_THROW(lzh.Decompress(src, dst), ElzhException);
    EXPECT_EQ(dst.Size(), 0);
}

TEST(LzhHostileInput, RandomStreamsDecodeToExactlyTheDeclaredSize) {
    std::mt19937 rng(11);
    for (int round = 0; round < 50; ++round) {
        std::vector<uint8_t> stream(rng() % 200);
        for (auto& b : stream) b = static_cast<uint8_t>(rng());
        const size_t size = rng() % 5000;
        EXPECT_EQ(LZHUnpackBytes(stream.data(), stream.size(), size).size(), size);
    }
}

// Long inputs of every character the match finder and the coder meet, pinned by a digest
// of the streams the straightforward byte-at-a-time coder made: a faster match finder or
// bit writer that breaks a tie or a bit differently changes the digest.
struct PinnedStream {
    const char* name;
    std::vector<uint8_t> (*make)();
    uint64_t packedDigest;
    uint64_t decodedDigest;  // what the decoder makes of the same bytes read as a stream
};

uint64_t Digest(const std::vector<uint8_t>& bytes) {
    uint64_t h = 1469598103934665603ull;
    for (uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
    return h ^ bytes.size();
}

class LzhPinnedStreams : public ::testing::TestWithParam<PinnedStream> {};

TEST_P(LzhPinnedStreams, PackAndDecodeGiveThePinnedBytes) {
    const auto in = GetParam().make();
    const auto packed = LZHPackBytes(in.data(), in.size());
    EXPECT_EQ(Digest(packed), GetParam().packedDigest) << std::hex << Digest(packed);
    EXPECT_EQ(LZHUnpackBytes(packed.data(), packed.size(), in.size()), in);
    // The input itself as a (mostly hostile) stream, decoded to twice its size so that
    // the reader runs past its end.
    const auto decoded = LZHUnpackBytes(in.data(), in.size(), in.size() * 2);
    EXPECT_EQ(Digest(decoded), GetParam().decodedDigest) << std::hex << Digest(decoded);
}

INSTANTIATE_TEST_SUITE_P(Inputs, LzhPinnedStreams,
                         ::testing::Values(PinnedStream{"mixed", [] { return MixedInput(300 * 1024, 5); },
                                                        0xedb1b64fab6731b5ull, 0x336d2e2c7d4aca02ull},
                                           PinnedStream{"run", [] { return std::vector<uint8_t>(200 * 1024, 0xAB); },
                                                        0xbdb5a9e5b0090bc2ull, 0x274f86375e8461e8ull},
                                           // Period 61: every match is one byte longer than the longest one sent.
                                           PinnedStream{"period61",
                                                        [] {
                                                            std::vector<uint8_t> v(100 * 1024);
                                                            for (size_t i = 0; i < v.size(); ++i)
                                                                v[i] = static_cast<uint8_t>((i % 61) * 7 + (i / 6100));
                                                            return v;
                                                        },
                                                        0xc4178c2c20846fe9ull, 0x5ddef58131c8e227ull},
                                           PinnedStream{"random",
                                                        [] {
                                                            std::mt19937 rng(3);
                                                            std::vector<uint8_t> v(80 * 1024);
                                                            for (auto& b : v)
                                                                b = static_cast<uint8_t>(rng() % 6 == 0 ? 0x41 : rng());
                                                            return v;
                                                        },
                                                        0xfae7ccdd06e79a68ull, 0x951df8dd84b0dc00ull}),
                         [](const auto& info) { return std::string(info.param.name); });
