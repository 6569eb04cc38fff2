// Image lists cut from a bitmap file's bytes, and malformed bytes refused.
#include "forms/ImgList.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace quorin;

namespace {

// A 24-bit bitmap file of width x height, filled with one colour.
std::vector<uint8_t> Bmp(int width, int height, uint32_t rgb) {
    const int stride = (width * 3 + 3) & ~3;
    std::vector<uint8_t> b(54 + size_t(stride) * size_t(height), 0);
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&b[at], &v, 4); };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, uint32_t(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(width));
    put32(22, uint32_t(height));
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &b[54 + size_t(y) * size_t(stride) + size_t(x) * 3];
            p[0] = uint8_t(rgb >> 16);
            p[1] = uint8_t(rgb >> 8);
            p[2] = uint8_t(rgb);
        }
    return b;
}

}  // namespace

TEST(ImgList, StripIsCutIntoImagesOfTheListsSize) {
    TImageList list(nullptr);
    list.SetBitmap(Bmp(16 * 9, 16, 0x2F3FCF));
    EXPECT_EQ(list.Count(), 9);
    list.SetWidth(48);
    EXPECT_EQ(list.Count(), 3);
}

class ImgListBad : public ::testing::TestWithParam<int> {};

TEST_P(ImgListBad, MalformedBitmapIsRefusedAndChangesNothing) {
    TImageList list(nullptr);
    list.SetBitmap(Bmp(32, 16, 0));
    std::vector<uint8_t> bad = Bmp(32, 16, 0);
    switch (GetParam()) {
    case 0: bad.resize(60); break;  // pixels missing
    case 1: bad[0] = 'X'; break;    // not a bitmap file
    case 2:
        bad[10] = 0xF0;
        bad[11] = 0xFF;
        break;  // pixels said to start past the end
    case 3:
        bad[22] = 0xFF;
        bad[23] = 0x7F;
        break;                   // absurd height
    case 4: bad[28] = 7; break;  // no such pixel format
    }
    EXPECT_THROW(list.SetBitmap(bad), EInvalidGraphic);
    EXPECT_EQ(list.Count(), 2);
}

INSTANTIATE_TEST_SUITE_P(Faults, ImgListBad, ::testing::Range(0, 5));
