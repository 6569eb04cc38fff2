#include "skin/resources/Pngfile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

#include "support/PixelHelpers.h"

namespace quorin {
namespace {

uint32_t BE32(const uint8_t* p) { return (uint32_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; }

// Splits a PNG into its chunks, checking each chunk's CRC on the way.
std::map<std::string, std::vector<uint8_t>> Chunks(const std::vector<uint8_t>& png) {
    std::map<std::string, std::vector<uint8_t>> chunks;
    size_t pos = 8;
    while (pos + 12 <= png.size()) {
        const uint32_t length = BE32(&png[pos]);
        const std::string type(reinterpret_cast<const char*>(&png[pos + 4]), 4);
        EXPECT_EQ(Crc32(&png[pos + 4], 4 + length), BE32(&png[pos + 8 + length])) << type;
        auto& body = chunks[type];
        body.insert(body.end(), png.begin() + static_cast<ptrdiff_t>(pos + 8),
                    png.begin() + static_cast<ptrdiff_t>(pos + 8 + length));
        pos += 12 + length;
    }
    EXPECT_EQ(png.size(), pos);
    return chunks;
}

// Undoes a compressed-data stream made of stored blocks only.
std::vector<uint8_t> Unstore(const std::vector<uint8_t>& z, int* blocks) {
    std::vector<uint8_t> raw;
    size_t pos = 2;
    *blocks = 0;
    for (bool last = false; !last;) {
        last = z.at(pos) & 1;
        EXPECT_EQ(0, z[pos] >> 1);  // stored
        const uint16_t n = static_cast<uint16_t>(z.at(pos + 1) | (z.at(pos + 2) << 8));
        const uint16_t inverse = static_cast<uint16_t>(z.at(pos + 3) | (z.at(pos + 4) << 8));
        EXPECT_EQ(static_cast<uint16_t>(~n), inverse);
        raw.insert(raw.end(), z.begin() + static_cast<ptrdiff_t>(pos + 5),
                   z.begin() + static_cast<ptrdiff_t>(pos + 5 + n));
        pos += 5 + n;
        ++*blocks;
    }
    EXPECT_EQ(Adler32(raw.data(), raw.size()), BE32(&z.at(pos)));
    EXPECT_EQ(z.size(), pos + 4);
    return raw;
}

TEST(Checksums, MatchTheirPublishedCheckValues) {
    const char* digits = "123456789";
    EXPECT_EQ(0xCBF43926u, Crc32(reinterpret_cast<const uint8_t*>(digits), 9));
    const char* word = "abc";
    EXPECT_EQ(0x024D0127u, Adler32(reinterpret_cast<const uint8_t*>(word), 3));
    EXPECT_EQ(1u, Adler32(nullptr, 0));
}

class PngImage : public ::testing::TestWithParam<std::tuple<int, int, TPixelFormat>> {};

TEST_P(PngImage, HoldsEveryPixelAsRgbRows) {
    const auto [w, h, format] = GetParam();
    const TBitmap image = testing::CoordImage(w, h, format);
    const std::vector<uint8_t> png = WritePng(image);
    ASSERT_EQ(0, std::memcmp(png.data(), "\x89PNG\r\n\x1A\n", 8));
    auto chunks = Chunks(png);
    ASSERT_EQ(13u, chunks["IHDR"].size());
    EXPECT_EQ(static_cast<uint32_t>(w), BE32(&chunks["IHDR"][0]));
    EXPECT_EQ(static_cast<uint32_t>(h), BE32(&chunks["IHDR"][4]));
    EXPECT_EQ(8, chunks["IHDR"][8]);
    EXPECT_EQ(2, chunks["IHDR"][9]);
    EXPECT_TRUE(chunks.count("IEND"));
    int blocks = 0;
    const std::vector<uint8_t> raw = Unstore(chunks["IDAT"], &blocks);
    const size_t row = 1 + 3 * static_cast<size_t>(w);
    ASSERT_EQ(row * static_cast<size_t>(h), raw.size());
    EXPECT_EQ((raw.size() + 65534) / 65535, static_cast<size_t>(blocks));
    for (int y = 0; y < h; y += 7)
        for (int x = 0; x < w; x += 5) {
            const uint8_t* p = &raw[static_cast<size_t>(y) * row + 1 + 3 * static_cast<size_t>(x)];
            ASSERT_EQ(testing::Coord(x, y), ColorFromRGB(p[0], p[1], p[2])) << x << "," << y;
        }
}

// The large case needs more than one stored block.
INSTANTIATE_TEST_SUITE_P(Sizes, PngImage,
                         ::testing::Values(std::make_tuple(1, 1, pf24bit), std::make_tuple(3, 2, pf32bit),
                                           std::make_tuple(200, 120, pf24bit)));

}  // namespace
}  // namespace quorin
