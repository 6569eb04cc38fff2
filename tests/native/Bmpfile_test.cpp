#include "skin/resources/Bmpfile.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>

#include "support/PixelHelpers.h"

namespace quorin {
namespace {

using testing::Coord;
using testing::CoordImage;

// Builds BMP files field by field, so each test states the header it means.
struct TBmpBuilder {
    int32_t width = 2, height = 2;
    uint16_t bpp = 8;
    uint32_t compression = 0, colorsUsed = 0;
    uint32_t headerSize = 40;
    std::vector<uint8_t> palette;  // as stored: 4 bytes per entry (3 for the 12-byte header)
    std::vector<uint8_t> extra;    // between header and palette (channel masks)
    std::vector<uint8_t> pixels;   // as stored, rows padded
    int32_t offBits = -1;          // -1: right after the palette

    std::vector<uint8_t> Build() const {
        std::vector<uint8_t> out = {'B', 'M'};
        auto put16 = [&](uint32_t v) {
            out.push_back(static_cast<uint8_t>(v));
            out.push_back(static_cast<uint8_t>(v >> 8));
        };
        auto put32 = [&](uint32_t v) {
            put16(v & 0xFFFF);
            put16(v >> 16);
        };
        const uint32_t off = offBits >= 0 ? static_cast<uint32_t>(offBits)
                                          : static_cast<uint32_t>(14 + headerSize + extra.size() + palette.size());
        put32(static_cast<uint32_t>(off + pixels.size()));
        put32(0);
        put32(off);
        put32(headerSize);
        if (headerSize == 12) {
            put16(static_cast<uint32_t>(width));
            put16(static_cast<uint32_t>(height));
            put16(1);
            put16(bpp);
        } else {
            put32(static_cast<uint32_t>(width));
            put32(static_cast<uint32_t>(height));
            put16(1);
            put16(bpp);
            put32(compression);
            put32(static_cast<uint32_t>(pixels.size()));
            put32(0);
            put32(0);
            put32(colorsUsed);
            put32(0);
            for (uint32_t i = 40; i < headerSize; ++i) out.push_back(0);
        }
        out.insert(out.end(), extra.begin(), extra.end());
        out.insert(out.end(), palette.begin(), palette.end());
        out.insert(out.end(), pixels.begin(), pixels.end());
        return out;
    }
};

std::vector<uint8_t> Entries(std::initializer_list<TColor> colours, int size = 4) {
    std::vector<uint8_t> p;
    for (TColor c : colours) {
        p.insert(p.end(), {ColorBlue(c), ColorGreen(c), ColorRed(c)});
        if (size == 4) p.push_back(0);
    }
    return p;
}

class BmpRoundTrip : public ::testing::TestWithParam<std::tuple<int, int, TPixelFormat>> {};

TEST_P(BmpRoundTrip, WrittenFilesReadBackPixelForPixel) {
    const auto [w, h, format] = GetParam();
    const TBitmap image = CoordImage(w, h, format);
    const std::vector<uint8_t> file = WriteBmp(image);
    TBitmap back;
    ASSERT_TRUE(ReadBmp(file, back));
    ASSERT_EQ(w, back.Width());
    ASSERT_EQ(h, back.Height());
    EXPECT_EQ(format, back.PixelFormat());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ASSERT_EQ(Coord(x, y), back.Pixel(x, y)) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Sizes, BmpRoundTrip,
                         ::testing::Combine(::testing::Values(1, 2, 3, 5), ::testing::Values(1, 4),
                                            ::testing::Values(pf24bit, pf32bit)));

TEST(BmpWrite, HeaderDescribesABottomUpFile) {
    const std::vector<uint8_t> file = WriteBmp(TBitmap(3, 2));
    ASSERT_EQ(54u + 2 * 12, file.size());
    EXPECT_EQ('B', file[0]);
    EXPECT_EQ(file.size(), file[2] | (file[3] << 8));
    EXPECT_EQ(54, file[10]);
    EXPECT_EQ(2, file[22]);  // positive height
    EXPECT_EQ(24, file[28]);
}

TEST(BmpRead, EightBitPaletteBottomUp) {
    TBmpBuilder b;
    b.palette = Entries({0x0000FF, 0x00FF00, 0xFF0000});
    b.colorsUsed = 3;
    b.pixels = {0, 1, 0, 0, /* bottom row */ 2, 7, 0, 0 /* top row; 7 lies outside the palette */};
    TBitmap image;
    ASSERT_TRUE(ReadBmp(b.Build(), image));
    EXPECT_EQ(pf24bit, image.PixelFormat());
    EXPECT_EQ(0xFF0000, image.Pixel(0, 0));
    EXPECT_EQ(0x000000, image.Pixel(1, 0));
    EXPECT_EQ(0x0000FF, image.Pixel(0, 1));
    EXPECT_EQ(0x00FF00, image.Pixel(1, 1));
}

TEST(BmpRead, FourAndOneBitPixelsTopDown) {
    TBmpBuilder four;
    four.bpp = 4;
    four.width = 3;
    four.height = -1;
    four.palette = Entries({0, 0x111111, 0x222222, 0x333333});
    four.colorsUsed = 4;
    four.pixels = {0x12, 0x30, 0, 0};
    TBitmap image;
    ASSERT_TRUE(ReadBmp(four.Build(), image));
    EXPECT_EQ(0x111111, image.Pixel(0, 0));
    EXPECT_EQ(0x222222, image.Pixel(1, 0));
    EXPECT_EQ(0x333333, image.Pixel(2, 0));

    TBmpBuilder one;
    one.bpp = 1;
    one.width = 10;
    one.height = -2;
    one.palette = Entries({0x000000, 0xFFFFFF});
    one.pixels = {0b10000001, 0b01000000, 0, 0, 0b01111111, 0b11000000, 0, 0};
    ASSERT_TRUE(ReadBmp(one.Build(), image));
    const char* rows[2] = {"1000000101", "0111111111"};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 10; ++x) EXPECT_EQ(rows[y][x] == '1' ? 0xFFFFFF : 0, image.Pixel(x, y)) << x << "," << y;
}

TEST(BmpRead, OldCoreHeaderWithThreeBytePalette) {
    TBmpBuilder b;
    b.headerSize = 12;
    b.bpp = 1;
    b.width = 2;
    b.height = 1;
    b.palette = Entries({0x0000FF, 0x00FF00}, 3);
    b.pixels = {0b01000000, 0, 0, 0};
    TBitmap image;
    ASSERT_TRUE(ReadBmp(b.Build(), image));
    EXPECT_EQ(0x0000FF, image.Pixel(0, 0));
    EXPECT_EQ(0x00FF00, image.Pixel(1, 0));
}

TEST(BmpRead, ThirtyTwoBitWithStandardMasksInAndAfterTheHeader) {
    for (uint32_t header : {40u, 108u}) {
        TBmpBuilder b;
        b.bpp = 32;
        b.width = 1;
        b.height = 1;
        b.compression = 3;
        b.headerSize = header;
        const std::vector<uint8_t> masks = {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0};
        b.pixels = {0x30, 0x20, 0x10, 0};
        std::vector<uint8_t> file;
        if (header == 40) {
            b.extra = masks;
            file = b.Build();
        } else {
            file = b.Build();
            std::copy(masks.begin(), masks.end(), file.begin() + 14 + 40);
        }
        TBitmap image;
        ASSERT_TRUE(ReadBmp(file, image)) << header;
        EXPECT_EQ(pf32bit, image.PixelFormat());
        EXPECT_EQ(0x302010, image.Pixel(0, 0));
    }
}

TEST(BmpRead, LastRowMayLackItsPadding) {
    TBmpBuilder b;
    b.bpp = 24;
    b.width = 1;
    b.height = 2;
    b.pixels = {1, 2, 3, 0, 4, 5, 6};
    TBitmap image;
    ASSERT_TRUE(ReadBmp(b.Build(), image));
    EXPECT_EQ(0x040506, image.Pixel(0, 0));
    EXPECT_EQ(0x010203, image.Pixel(0, 1));
}

TEST(BmpRead, ZeroPixelsGiveAnEmptyImage) {
    TBmpBuilder b;
    b.bpp = 24;
    b.width = 0;
    TBitmap image(2, 2);
    EXPECT_TRUE(ReadBmp(b.Build(), image));
    EXPECT_TRUE(image.Empty());
}

TEST(BmpRead, RunLengthEightBitWithEscapes) {
    TBmpBuilder b;
    b.width = 5;
    b.height = 3;
    b.compression = 1;
    b.palette = Entries({0x000000, 0x0000FF, 0x00FF00, 0xFF0000});
    b.colorsUsed = 4;
    b.pixels = {3, 1,              // bottom row: three red
                0, 3, 2, 3, 2, 0,  // then three literal indexes, padded to an even count of bytes
                0, 0,              // end of row (the run above reached past the width and was cut)
                0, 2, 2, 1,        // move 2 right and 1 up: middle row is skipped, x = 2 in the top row
                2, 3,              // two blue at x 2 and 3
                0, 1};             // end of picture
    TBitmap image;
    ASSERT_TRUE(ReadBmp(b.Build(), image));
    const TColor bottom[5] = {0x0000FF, 0x0000FF, 0x0000FF, 0x00FF00, 0xFF0000};
    for (int x = 0; x < 5; ++x) EXPECT_EQ(bottom[x], image.Pixel(x, 2)) << x;
    for (int x = 0; x < 5; ++x) EXPECT_EQ(0, image.Pixel(x, 1)) << x;
    const TColor top[5] = {0, 0, 0xFF0000, 0xFF0000, 0};
    for (int x = 0; x < 5; ++x) EXPECT_EQ(top[x], image.Pixel(x, 0)) << x;
}

TEST(BmpRead, RunLengthFourBitAlternatesNibbles) {
    TBmpBuilder b;
    b.bpp = 4;
    b.width = 7;
    b.height = 1;
    b.compression = 2;
    b.palette = Entries({0x000000, 0x0000FF, 0x00FF00});
    b.colorsUsed = 3;
    b.pixels = {4, 0x12, 0, 3, 0x21, 0x00, 0, 1};  // 1 2 1 2, then literal 2 1 0
    TBitmap image;
    ASSERT_TRUE(ReadBmp(b.Build(), image));
    const TColor row[7] = {0x0000FF, 0x00FF00, 0x0000FF, 0x00FF00, 0x00FF00, 0x0000FF, 0};
    for (int x = 0; x < 7; ++x) EXPECT_EQ(row[x], image.Pixel(x, 0)) << x;
}

TEST(BmpRead, RunLengthRefusesCutDataAndTopDownFiles) {
    TBmpBuilder b;
    b.width = 4;
    b.height = 2;
    b.compression = 1;
    b.palette = Entries({0, 0xFFFFFF});
    b.colorsUsed = 2;
    b.pixels = {4, 1, 0, 0, 0, 4, 1, 0, 1};  // the literal run wants 4 bytes, 1 is left
    TBitmap image;
    EXPECT_FALSE(ReadBmp(b.Build(), image));
    b.pixels = {4, 1, 0, 0, 4, 1, 0, 1};
    EXPECT_TRUE(ReadBmp(b.Build(), image));
    b.height = -2;
    EXPECT_FALSE(ReadBmp(b.Build(), image));
    EXPECT_TRUE(image.Empty());
}

TEST(BmpRead, RunLengthFileOfAnotherEncoderMatchesItsPlainTwin) {
    // Both files were written by an independent image tool from the same picture.
    const std::string dir = std::string(QUORIN_SOURCE_DIR) + "/tests/fixtures/bmp/";
    TBitmap packed, plain;
    ASSERT_TRUE(LoadBmpFile(dir + "pattern_rle8.bmp", packed));
    ASSERT_TRUE(LoadBmpFile(dir + "pattern_8.bmp", plain));
    ASSERT_EQ(37, packed.Width());
    ASSERT_EQ(23, packed.Height());
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x) ASSERT_EQ(plain.Pixel(x, y), packed.Pixel(x, y)) << x << "," << y;
    EXPECT_EQ(KeyColor, plain.Pixel(0, 0));
    EXPECT_EQ(0, plain.Pixel(36, 22));
}

// Files this reader refuses: each gives false and an empty image.
struct BadCase {
    const char* name;
    void (*spoil)(TBmpBuilder&, std::vector<uint8_t>&);
};

class BmpReject : public ::testing::TestWithParam<BadCase> {};

TEST_P(BmpReject, GivesAnEmptyImage) {
    TBmpBuilder b;
    b.bpp = 24;
    b.width = 2;
    b.height = 2;
    b.pixels.assign(16, 0x40);
    std::vector<uint8_t> file;
    GetParam().spoil(b, file);
    if (file.empty()) file = b.Build();
    TBitmap image(3, 3);
    EXPECT_FALSE(ReadBmp(file, image));
    EXPECT_TRUE(image.Empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, BmpReject,
    ::testing::Values(
        BadCase{"Signature", [](TBmpBuilder& b, std::vector<uint8_t>& f) { f = b.Build(); f[1] = 'A'; }},
        BadCase{"SixteenBits", [](TBmpBuilder& b, std::vector<uint8_t>&) { b.bpp = 16; }},
        BadCase{"RunLengthOn24", [](TBmpBuilder& b, std::vector<uint8_t>&) { b.compression = 1; }},
        BadCase{"Jpeg", [](TBmpBuilder& b, std::vector<uint8_t>&) { b.compression = 4; }},
        BadCase{"OtherMasks", [](TBmpBuilder& b, std::vector<uint8_t>&) {
          b.bpp = 32; b.compression = 3; b.extra = {0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0}; b.pixels.assign(16, 0); }},
        BadCase{"BitfieldsOn24", [](TBmpBuilder& b, std::vector<uint8_t>&) { b.compression = 3; }},
        BadCase{"NegativeWidth", [](TBmpBuilder& b, std::vector<uint8_t>&) { b.width = -2; }},
        BadCase{"SmallestHeight", [](TBmpBuilder& b, std::vector<uint8_t>&) { b.height = INT_MIN; }},
        BadCase{"Huge", [](TBmpBuilder& b, std::vector<uint8_t>&) { b.width = 1 << 20; b.height = 1 << 20; }},
        BadCase{"HeaderSize", [](TBmpBuilder& b, std::vector<uint8_t>&) { b.headerSize = 20; }},
        BadCase{"HeaderPastTheEnd", [](TBmpBuilder& b, std::vector<uint8_t>& f) { b.headerSize = 4000; f = b.Build(); f.resize(200); }},
        BadCase{"PaletteTooLong", [](TBmpBuilder& b, std::vector<uint8_t>&) { b.bpp = 8; b.colorsUsed = 100000; }},
        BadCase{"PaletteCut", [](TBmpBuilder& b, std::vector<uint8_t>& f) { b.bpp = 8; b.colorsUsed = 0; b.pixels.clear(); b.palette.assign(100, 0); }},
        BadCase{"PixelsShort", [](TBmpBuilder& b, std::vector<uint8_t>&) { b.pixels.resize(13); }},
        BadCase{"OffsetPastTheEnd", [](TBmpBuilder& b, std::vector<uint8_t>&) { b.offBits = 60; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BmpRead, EveryTruncationIsRefusedCleanly) {
    TBmpBuilder b;
    b.width = 5;
    b.height = 3;
    b.palette = Entries({0x0000FF, 0x00FF00});
    b.colorsUsed = 2;
    b.pixels.assign(24, 1);
    const std::vector<uint8_t> file = b.Build();
    TBitmap image;
    ASSERT_TRUE(ReadBmp(file, image));
    // Short of the last row's padding the file is still whole; below that it is refused.
    const size_t whole = file.size() - 3;
    for (size_t n = 0; n < whole; ++n) {
        std::vector<uint8_t> cut(file.begin(), file.begin() + static_cast<ptrdiff_t>(n));
        EXPECT_FALSE(ReadBmp(cut, image)) << n;
        EXPECT_TRUE(image.Empty());
    }
    EXPECT_FALSE(ReadBmp(nullptr, 0, image));
}

TEST(BmpFile, SavesAndLoadsThroughTheFileSystem) {
    const std::string path = std::string(QUORIN_BINARY_DIR) + "/bmpfile_test_\xE7\x9A\xAE.bmp";
    const TBitmap image = CoordImage(7, 3);
    ASSERT_TRUE(SaveBmpFile(path, image));
    TBitmap back;
    ASSERT_TRUE(LoadBmpFile(path, back));
    EXPECT_EQ(Coord(6, 2), back.Pixel(6, 2));
    std::remove(path.c_str());
    EXPECT_FALSE(LoadBmpFile(path, back));
    EXPECT_TRUE(back.Empty());
}

}  // namespace
}  // namespace quorin
