#include "skin/resources/Blit.h"

#include <gtest/gtest.h>

#include "support/PixelHelpers.h"

namespace quorin {
namespace {

using testing::Coord;
using testing::CoordImage;
using testing::Filled;

TEST(Blit, ShrinkingDropsWholeLinesWithoutMixing) {
    const TBitmap src = CoordImage(8, 4);
    TBitmap dst(4, 2);
    StretchCopy(dst, Rect(0, 0, 4, 2), src, Rect(0, 0, 8, 4));
    EXPECT_EQ(Coord(0, 0), dst.Pixel(0, 0));
    EXPECT_EQ(Coord(2, 0), dst.Pixel(1, 0));
    EXPECT_EQ(Coord(6, 2), dst.Pixel(3, 1));
}

TEST(Blit, EnlargingRepeatsPixels) {
    const TBitmap src = CoordImage(2, 1);
    TBitmap dst(5, 2);
    StretchCopy(dst, Rect(0, 0, 5, 2), src, Rect(0, 0, 2, 1));
    const TColor expected[5] = {Coord(0, 0), Coord(0, 0), Coord(0, 0), Coord(1, 0), Coord(1, 0)};
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(expected[x], dst.Pixel(x, 0)) << x;
        EXPECT_EQ(expected[x], dst.Pixel(x, 1)) << x;
    }
}

TEST(Blit, ClipsToTheTarget) {
    const TBitmap src = CoordImage(3, 3);
    TBitmap dst = Filled(4, 4, 0x00FF00);
    CopyRect(dst, -1, -1, src, src.BoundsRect());
    EXPECT_EQ(Coord(1, 1), dst.Pixel(0, 0));
    EXPECT_EQ(Coord(2, 2), dst.Pixel(1, 1));
    EXPECT_EQ(0x00FF00, dst.Pixel(2, 2));
}

TEST(Blit, PixelsOutsideTheSourceLeaveTheTargetAlone) {
    const TBitmap src = CoordImage(3, 3);
    TBitmap dst = Filled(5, 3, 0x00FF00);
    CopyRect(dst, 0, 0, src, Rect(-1, 0, 4, 3));
    EXPECT_EQ(0x00FF00, dst.Pixel(0, 1));
    EXPECT_EQ(Coord(0, 1), dst.Pixel(1, 1));
    EXPECT_EQ(Coord(2, 2), dst.Pixel(3, 2));
    EXPECT_EQ(0x00FF00, dst.Pixel(4, 0));
}

TEST(Blit, RectanglesWithoutAreaCopyNothing) {
    const TBitmap src = CoordImage(3, 3);
    TBitmap dst = Filled(3, 3, 0x00FF00);
    StretchCopy(dst, Rect(3, 0, 0, 3), src, Rect(0, 0, 3, 3));  // inverted target is not mirrored
    StretchCopy(dst, Rect(0, 0, 3, 3), src, Rect(3, 0, 0, 3));  // inverted source neither
    StretchCopy(dst, Rect(0, 0, 3, 3), src, Rect(0, 0, 0, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(0x00FF00, dst.Pixel(x, y));
}

TEST(Blit, TransparentCopySkipsOnlyTheExactKey) {
    TBitmap src(3, 1);
    src.SetPixel(0, 0, KeyColor);
    src.SetPixel(1, 0, 0xFE00FF);
    src.SetPixel(2, 0, 0x123456);
    TBitmap dst = Filled(3, 1, 0x00FF00);
    StretchCopyTransparent(dst, Rect(0, 0, 3, 1), src, Rect(0, 0, 3, 1), KeyColor);
    EXPECT_EQ(0x00FF00, dst.Pixel(0, 0));
    EXPECT_EQ(0xFE00FF, dst.Pixel(1, 0));
    EXPECT_EQ(0x123456, dst.Pixel(2, 0));
}

TEST(Blit, MixedFormatsCopyColours) {
    const TBitmap src = CoordImage(2, 2, pf32bit);
    TBitmap dst(2, 2, pf24bit);
    CopyRect(dst, 0, 0, src, src.BoundsRect());
    EXPECT_EQ(Coord(1, 1), dst.Pixel(1, 1));
    TBitmap back(2, 2, pf32bit);
    CopyRect(back, 0, 0, dst, dst.BoundsRect());
    EXPECT_EQ(Coord(1, 0), back.Pixel(1, 0));
}

}  // namespace
}  // namespace quorin
