#include "skin/resources/Bitmap.h"

#include <gtest/gtest.h>

#include <cstring>

namespace quorin {
namespace {

struct StrideCase {
    int32_t width;
    TPixelFormat format;
    size_t stride;
};

class BitmapStride : public ::testing::TestWithParam<StrideCase> {};

TEST_P(BitmapStride, RowsArePaddedToFourBytes) {
    const auto& c = GetParam();
    TBitmap b(c.width, 3, c.format);
    EXPECT_EQ(c.stride, b.Stride());
    // Adjacent scan lines lie one stride apart, bottom row first in memory.
    EXPECT_EQ(b.Bits(), b.ScanLine(2));
    EXPECT_EQ(b.ScanLine(1) - b.ScanLine(2), static_cast<ptrdiff_t>(c.stride));
    EXPECT_EQ(b.ScanLine(0) - b.ScanLine(1), static_cast<ptrdiff_t>(c.stride));
}

INSTANTIATE_TEST_SUITE_P(Formats, BitmapStride,
                         ::testing::Values(StrideCase{1, pf24bit, 4}, StrideCase{3, pf24bit, 12},
                                           StrideCase{5, pf24bit, 16}, StrideCase{4, pf24bit, 12},
                                           StrideCase{1, pf32bit, 4}, StrideCase{7, pf32bit, 28}));

TEST(Bitmap, PixelsUseRedInTheLowestByteAndBlueFirstInMemory) {
    TBitmap b(2, 2);
    b.SetPixel(1, 0, ColorFromRGB(10, 20, 30));
    EXPECT_EQ(0x1E140A, b.Pixel(1, 0));
    const uint8_t* row = b.ScanLine(0);
    EXPECT_EQ(30, row[3]);
    EXPECT_EQ(20, row[4]);
    EXPECT_EQ(10, row[5]);
    EXPECT_EQ(0, b.Pixel(0, 1));  // new bitmaps are black
}

TEST(Bitmap, OutsideAccessIsHarmless) {
    TBitmap b(2, 2);
    b.SetPixel(-1, 0, 0xFFFFFF);
    b.SetPixel(2, 0, 0xFFFFFF);
    b.SetPixel(0, 2, 0xFFFFFF);
    EXPECT_EQ(-1, b.Pixel(2, 0));
    EXPECT_EQ(-1, b.Pixel(0, -1));
    EXPECT_EQ(nullptr, b.ScanLine(2));
    EXPECT_EQ(nullptr, b.ScanLine(-1));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) EXPECT_EQ(0, b.Pixel(x, y));
}

TEST(Bitmap, SystemColoursAreResolvedWhenWritten) {
    TBitmap b(1, 1);
    b.SetPixel(0, 0, SystemColor(15));
    EXPECT_EQ(GetSystemColor(15), b.Pixel(0, 0));
    b.Fill(SystemColor(5));
    EXPECT_EQ(GetSystemColor(5), b.Pixel(0, 0));
}

TEST(Bitmap, FillRectIsClippedToTheBitmap) {
    TBitmap b(4, 3);
    b.FillRect(Rect(-5, 1, 2, 100), 0x0000FF);
    EXPECT_EQ(0, b.Pixel(0, 0));
    EXPECT_EQ(0x0000FF, b.Pixel(0, 1));
    EXPECT_EQ(0x0000FF, b.Pixel(1, 2));
    EXPECT_EQ(0, b.Pixel(2, 2));
}

TEST(Bitmap, SetSizeKeepsTheOverlapAndBlackensTheRest) {
    TBitmap b(2, 2);
    b.Fill(0x123456);
    b.SetSize(3, 1);
    ASSERT_EQ(3, b.Width());
    ASSERT_EQ(1, b.Height());
    EXPECT_EQ(0x123456, b.Pixel(0, 0));
    EXPECT_EQ(0x123456, b.Pixel(1, 0));
    EXPECT_EQ(0, b.Pixel(2, 0));
    b.SetSize(0, 5);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(nullptr, b.Bits());
}

TEST(Bitmap, FormatConversionKeepsColours) {
    TBitmap b(3, 2);
    b.SetPixel(2, 1, 0xABCDEF);
    b.SetPixelFormat(pf32bit);
    EXPECT_EQ(pf32bit, b.PixelFormat());
    EXPECT_EQ(12u, b.Stride());
    EXPECT_EQ(0xABCDEF, b.Pixel(2, 1));
    EXPECT_EQ(0, b.ScanLine(1)[11]);
    b.SetPixelFormat(pf24bit);
    EXPECT_EQ(0xABCDEF, b.Pixel(2, 1));
}

TEST(Bitmap, CopiesAreDeepAndMovesEmptyTheSource) {
    TBitmap a(2, 1);
    a.SetPixel(0, 0, 0x0000FF);
    a.Transparent = true;
    TBitmap b = a;
    b.SetPixel(0, 0, 0x00FF00);
    EXPECT_EQ(0x0000FF, a.Pixel(0, 0));
    EXPECT_TRUE(b.Transparent);
    TBitmap c = std::move(b);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(0x00FF00, c.Pixel(0, 0));
    c = c;  // self-assignment keeps the pixels
    EXPECT_EQ(0x00FF00, c.Pixel(0, 0));
}

}  // namespace
}  // namespace quorin
