#include "skin/resources/Skindraw.h"

#include <gtest/gtest.h>

#include "support/PixelHelpers.h"

namespace quorin {
namespace {

using testing::Coord;
using testing::CoordImage;
using testing::Filled;

constexpr TColor kGreen = 0x00FF00;

bool AllPixels(const TBitmap& b, const TRect& r, TColor c) {
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (b.Pixel(x, y) != c) return false;
    return true;
}

TEST(FrameRect, FramesLieSideBySideOrStackedWithTruncatedSizes) {
    const TBitmap strip(31, 10);
    EXPECT_EQ(Rect(10, 0, 20, 10), FrameRect(strip, 2, 3));
    EXPECT_EQ(Rect(0, 3, 31, 6), FrameRect(strip, 2, 3, true));
    EXPECT_EQ(Rect(0, 0, 31, 10), FrameRect(strip, 1, 0));  // no frame count means one frame
}

TEST(GetHMap, CornersKeepTheirSizeAndEdgesStretch) {
    const TBitmap image = CoordImage(6, 6);  // margins 2 leave a 2 x 2 centre
    const TBitmap map = GetHMap(Rect(0, 0, 10, 8), image, Rect(2, 2, 2, 2), {});
    ASSERT_EQ(10, map.Width());
    ASSERT_EQ(8, map.Height());
    EXPECT_EQ(Coord(0, 0), map.Pixel(0, 0));
    EXPECT_EQ(Coord(1, 1), map.Pixel(1, 1));
    EXPECT_EQ(Coord(5, 0), map.Pixel(9, 0));
    EXPECT_EQ(Coord(4, 5), map.Pixel(8, 7));
    EXPECT_EQ(Coord(0, 5), map.Pixel(0, 7));
    EXPECT_EQ(Coord(2, 0), map.Pixel(2, 0));  // top edge starts with the first centre column
    EXPECT_EQ(Coord(3, 1), map.Pixel(7, 1));  // and ends with the last
    EXPECT_EQ(Coord(2, 2), map.Pixel(2, 2));  // centre
    EXPECT_EQ(Coord(3, 3), map.Pixel(7, 5));
}

TEST(GetHMap, MarginsWiderThanTheTargetCollapseInThatAxisOnly) {
    const TBitmap image = CoordImage(10, 10);
    const TBitmap map = GetHMap(Rect(0, 0, 4, 20), image, Rect(3, 3, 3, 3), {});
    // Left and right margins become 0: no corners and no side edges; the top and bottom edges
    // span the full width and keep their 3 rows.
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(0, ColorGreen(map.Pixel(x, 0))) << x;
        EXPECT_EQ(2, ColorGreen(map.Pixel(x, 2))) << x;
        EXPECT_EQ(7, ColorGreen(map.Pixel(x, 17))) << x;
        EXPECT_EQ(9, ColorGreen(map.Pixel(x, 19))) << x;
    }
    EXPECT_EQ(Coord(0, 0), map.Pixel(0, 0));  // the edge reaches the frame's first column
    EXPECT_EQ(7, ColorRed(map.Pixel(3, 0)));  // and its right part
    for (int y = 3; y < 17; ++y) {
        const int sy = ColorGreen(map.Pixel(0, y));
        EXPECT_TRUE(sy >= 3 && sy <= 6) << y;  // rows between come from the centre band
    }
}

TEST(GetHMap, TiledCentreSpillsIntoTheRightEdgeWhichCoversIt) {
    // Frame 9 x 1 with left and right margins 2: a 5-pixel centre tile. Target 16 wide: a
    // 12-pixel centre gets tiles at 2, 7 and 12; the last reaches into the right edge.
    const TBitmap image = CoordImage(9, 1);
    const TBitmap map = GetHMap(Rect(0, 0, 16, 1), image, Rect(2, 0, 2, 0), {.Tile = true});
    const TColor expected[16] = {Coord(0, 0), Coord(1, 0), Coord(2, 0), Coord(3, 0), Coord(4, 0), Coord(5, 0),
                                 Coord(6, 0), Coord(2, 0), Coord(3, 0), Coord(4, 0), Coord(5, 0), Coord(6, 0),
                                 Coord(2, 0), Coord(3, 0), Coord(7, 0), Coord(8, 0)};
    for (int x = 0; x < 16; ++x) EXPECT_EQ(expected[x], map.Pixel(x, 0)) << x;
}

TEST(GetHMap, PicksTheFrameOfAStackedStrip) {
    const TBitmap image = CoordImage(4, 12);  // three frames of 4 x 4 one below the other
    const TBitmap map = GetHMap(Rect(5, 5, 9, 9), image, Rect(1, 1, 1, 1), {.Frame = 3, .Frames = 3, .Vertical = true});
    EXPECT_EQ(Coord(0, 8), map.Pixel(0, 0));
    EXPECT_EQ(Coord(3, 11), map.Pixel(3, 3));
}

TEST(GetHMap, InvertedRectangleGivesAnEmptyBitmap) {
    EXPECT_TRUE(GetHMap(Rect(5, 0, 0, 5), CoordImage(4, 4), Rect(1, 1, 1, 1), {}).Empty());
}

TEST(DrawRect2, KeyColourIsTransparentOnlyWhenAsked) {
    TBitmap image = CoordImage(3, 3);
    image.SetPixel(1, 1, KeyColor);
    TBitmap opaque = Filled(5, 5, kGreen), trans = Filled(5, 5, kGreen);
    DrawRect2(opaque, Rect(1, 1, 4, 4), image, Rect(1, 1, 1, 1), {});
    DrawRect2(trans, Rect(1, 1, 4, 4), image, Rect(1, 1, 1, 1), {.Trans = true});
    EXPECT_EQ(KeyColor, opaque.Pixel(2, 2));
    EXPECT_EQ(kGreen, trans.Pixel(2, 2));
    EXPECT_EQ(Coord(0, 0), trans.Pixel(1, 1));
    EXPECT_EQ(kGreen, trans.Pixel(0, 0));
    EXPECT_EQ(kGreen, trans.Pixel(4, 4));
}

// Every drawing that takes a target rectangle leaves the canvas alone when it is inverted.
using TDraw = void (*)(TBitmap&, const TRect&, const TBitmap&);
class InvertedTarget : public ::testing::TestWithParam<TDraw> {};

TEST_P(InvertedTarget, DrawsNothing) {
    const TBitmap image = CoordImage(6, 6);
    for (const TRect r : {Rect(4, 1, 2, 5), Rect(1, 4, 5, 2)}) {
        TBitmap canvas = Filled(8, 8, kGreen);
        GetParam()(canvas, r, image);
        EXPECT_TRUE(AllPixels(canvas, canvas.BoundsRect(), kGreen));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Drawings, InvertedTarget,
    ::testing::Values([](TBitmap& c, const TRect& r, const TBitmap& i) { DrawRect1(c, r, i, {}); },
                      [](TBitmap& c, const TRect& r, const TBitmap& i) { DrawRect2(c, r, i, Rect(1, 1, 1, 1), {}); },
                      [](TBitmap& c, const TRect& r, const TBitmap& i) { DrawRect3(c, r, i, {}); },
                      [](TBitmap& c, const TRect& r, const TBitmap& i) { DrawRectTile(c, r, i, Rect(1, 1, 1, 1), {}); },
                      [](TBitmap& c, const TRect& r, const TBitmap& i) { DrawTranmap(c, r, i, KeyColor); }));

TEST(DrawBorder, DrawsTheEightPartsAtTheRectangleAndKeepsTheCentre) {
    const TBitmap image = CoordImage(6, 6);
    TBitmap canvas = Filled(12, 12, kGreen);
    DrawBorder(canvas, Rect(2, 3, 10, 11), image, Rect(2, 2, 2, 2), {});
    EXPECT_EQ(Coord(0, 0), canvas.Pixel(2, 3));
    EXPECT_EQ(Coord(5, 5), canvas.Pixel(9, 10));
    EXPECT_EQ(Coord(0, 2), canvas.Pixel(2, 5));
    EXPECT_TRUE(AllPixels(canvas, Rect(4, 5, 8, 9), kGreen));
    EXPECT_EQ(kGreen, canvas.Pixel(1, 3));
    EXPECT_EQ(kGreen, canvas.Pixel(10, 3));
}

TEST(DrawBorder, CollapsedMarginsLeaveTheSidesUndrawn) {
    const TBitmap image = CoordImage(10, 10);
    TBitmap canvas = Filled(4, 20, kGreen);
    DrawBorder(canvas, Rect(0, 0, 4, 20), image, Rect(3, 3, 3, 3), {});
    EXPECT_TRUE(AllPixels(canvas, Rect(0, 3, 4, 17), kGreen));
    EXPECT_EQ(Coord(0, 0), canvas.Pixel(0, 0));
    EXPECT_EQ(9, ColorGreen(canvas.Pixel(3, 19)));
}

class DrawRectHNarrow : public ::testing::TestWithParam<int> {};

TEST_P(DrawRectHNarrow, StretchesTheWholeFrameOntoATargetNarrowerThanIt) {
    const int frame = GetParam();
    const TBitmap image = CoordImage(18, 4);  // three 6 x 4 frames
    TBitmap canvas = Filled(5, 2, kGreen);
    DrawRectH(canvas, Rect(1, 0, 4, 2), image, Rect(2, 0, 2, 0), {.Frame = frame, .Frames = 3});
    const int sx = (frame - 1) * 6;
    EXPECT_EQ(Coord(sx, 0), canvas.Pixel(1, 0));
    EXPECT_EQ(Coord(sx + 2, 0), canvas.Pixel(2, 0));
    EXPECT_EQ(Coord(sx + 4, 2), canvas.Pixel(3, 1));
    EXPECT_EQ(kGreen, canvas.Pixel(0, 0));
    EXPECT_EQ(kGreen, canvas.Pixel(4, 1));
}

INSTANTIATE_TEST_SUITE_P(EveryFrame, DrawRectHNarrow, ::testing::Values(1, 2, 3));

TEST(DrawRectH, SidesKeepTheirWidthAndTheMiddleStretches) {
    const TBitmap image = CoordImage(6, 2);
    TBitmap canvas(10, 4);
    DrawRectH(canvas, Rect(0, 0, 10, 4), image, Rect(2, 0, 1, 0), {});
    EXPECT_EQ(Coord(1, 0), canvas.Pixel(1, 1));
    EXPECT_EQ(Coord(2, 0), canvas.Pixel(2, 0));
    EXPECT_EQ(Coord(4, 1), canvas.Pixel(8, 3));
    EXPECT_EQ(Coord(5, 1), canvas.Pixel(9, 3));
}

TEST(DrawRectV, BandsKeepTheirHeightAndALowTargetGetsTheWholeFrame) {
    const TBitmap image = CoordImage(2, 6);
    TBitmap tall(2, 10);
    DrawRectV(tall, Rect(0, 0, 2, 10), image, Rect(0, 1, 0, 2), {});
    EXPECT_EQ(Coord(0, 0), tall.Pixel(0, 0));
    EXPECT_EQ(Coord(0, 1), tall.Pixel(0, 1));
    EXPECT_EQ(Coord(1, 3), tall.Pixel(1, 7));
    EXPECT_EQ(Coord(1, 4), tall.Pixel(1, 8));
    EXPECT_EQ(Coord(1, 5), tall.Pixel(1, 9));
    TBitmap low(2, 3);
    DrawRectV(low, Rect(0, 0, 2, 3), image, Rect(0, 1, 0, 2), {});
    EXPECT_EQ(Coord(0, 0), low.Pixel(0, 0));
    EXPECT_EQ(Coord(0, 2), low.Pixel(0, 1));
    EXPECT_EQ(Coord(0, 4), low.Pixel(0, 2));
}

TEST(DrawRectTile, MiddleRepeatsAndTheRightPartClosesTheRow) {
    const TBitmap image = CoordImage(5, 1);  // left 1, middle 3, right 1
    TBitmap canvas(9, 2);
    DrawRectTile(canvas, Rect(0, 0, 9, 2), image, Rect(1, 0, 1, 0), {});
    const int expected[9] = {0, 1, 2, 3, 1, 2, 3, 1, 4};
    for (int x = 0; x < 9; ++x) {
        EXPECT_EQ(Coord(expected[x], 0), canvas.Pixel(x, 0)) << x;
        EXPECT_EQ(Coord(expected[x], 0), canvas.Pixel(x, 1)) << x;
    }
}

TEST(DrawRect1, StretchesOneFrameOfAStrip) {
    const TBitmap image = CoordImage(4, 2);  // two 2 x 2 frames
    TBitmap canvas = Filled(6, 6, kGreen);
    DrawRect1(canvas, Rect(1, 1, 5, 5), image, {.Frame = 2, .Frames = 2});
    EXPECT_EQ(Coord(2, 0), canvas.Pixel(1, 1));
    EXPECT_EQ(Coord(3, 1), canvas.Pixel(4, 4));
    EXPECT_EQ(kGreen, canvas.Pixel(5, 5));
}

TEST(DrawRect3, CentresAFrameLargerThanTheRectangle) {
    TBitmap image = CoordImage(34, 17);  // two 17 x 17 frames
    image.SetPixel(17 + 8, 8, KeyColor);
    TBitmap canvas = Filled(40, 40, kGreen);
    DrawRect3(canvas, Rect(20, 20, 30, 30), image, {.Frame = 2, .Frames = 2, .Trans = true});
    EXPECT_EQ(Coord(17, 0), canvas.Pixel(17, 17));  // (-3, -3) from the rectangle
    EXPECT_EQ(Coord(33, 16), canvas.Pixel(33, 33));
    EXPECT_EQ(kGreen, canvas.Pixel(16, 17));
    EXPECT_EQ(kGreen, canvas.Pixel(34, 34));
    EXPECT_EQ(kGreen, canvas.Pixel(25, 25));  // the key pixel of the frame's centre
}

TEST(GetThumbMap, ModeZeroStretchesThreeBandsToTheFullWidth) {
    const TBitmap image = CoordImage(8, 6);  // two 4 x 6 frames
    const TBitmap map = GetThumbMap(Rect(0, 0, 8, 10), image, Rect(0, 1, 0, 2), 2, 2, 0);
    ASSERT_EQ(8, map.Width());
    EXPECT_EQ(Coord(4, 0), map.Pixel(0, 0));
    EXPECT_EQ(Coord(7, 0), map.Pixel(7, 0));
    EXPECT_EQ(Coord(4, 1), map.Pixel(0, 1));
    EXPECT_EQ(Coord(4, 4), map.Pixel(0, 8));
    EXPECT_EQ(Coord(7, 5), map.Pixel(7, 9));
    const TBitmap other = GetThumbMap(Rect(0, 0, 8, 10), image, Rect(0, 1, 0, 2), 2, 2, 1);
    EXPECT_TRUE(AllPixels(other, other.BoundsRect(), 0));
}

TEST(DrawBGbmp, DrawsWholeTilesThatSpillPastTheTarget) {
    const TBitmap image = CoordImage(8, 8);
    TBitmap canvas = Filled(16, 8, kGreen);
    DrawBGbmp(canvas, Rect(0, 0, 12, 3), image, Rect(2, 2, 7, 4));  // 5 x 2 tiles
    EXPECT_EQ(Coord(2, 2), canvas.Pixel(0, 0));
    EXPECT_EQ(Coord(2, 2), canvas.Pixel(5, 0));
    EXPECT_EQ(Coord(2, 2), canvas.Pixel(10, 0));
    EXPECT_EQ(Coord(6, 3), canvas.Pixel(14, 3));  // last tile reaches x 14 and y 3
    EXPECT_EQ(kGreen, canvas.Pixel(15, 0));
    EXPECT_EQ(kGreen, canvas.Pixel(0, 4));
}

TEST(DrawBGbmp, SourceWithoutAreaDrawsNothing) {
    const TBitmap image = CoordImage(8, 8);
    TBitmap canvas = Filled(4, 4, kGreen);
    DrawBGbmp(canvas, Rect(0, 0, 4, 4), image, Rect(3, 3, 3, 5));
    DrawBGbmp(canvas, Rect(0, 0, 4, 4), image, Rect(3, 3, 1, 5));
    EXPECT_TRUE(AllPixels(canvas, canvas.BoundsRect(), kGreen));
}

TEST(DrawBGbmp, FarAwayTargetsAreCheap) {
    const TBitmap image = CoordImage(2, 2);
    TBitmap canvas = Filled(4, 4, kGreen);
    DrawBGbmp(canvas, Rect(-2000000000, -2000000000, 2000000000, 2000000000), image, Rect(0, 0, 1, 1));
    EXPECT_TRUE(AllPixels(canvas, canvas.BoundsRect(), Coord(0, 0)));
}

TEST(DrawTranmap, CopiesFromTheImageOriginAtMostTheRectangleSize) {
    TBitmap image = CoordImage(4, 4);
    image.SetPixel(1, 0, KeyColor);
    TBitmap canvas = Filled(6, 6, kGreen);
    DrawTranmap(canvas, Rect(2, 2, 4, 8), image, KeyColor);
    EXPECT_EQ(Coord(0, 0), canvas.Pixel(2, 2));
    EXPECT_EQ(kGreen, canvas.Pixel(3, 2));
    EXPECT_EQ(Coord(1, 3), canvas.Pixel(3, 5));
    EXPECT_EQ(kGreen, canvas.Pixel(4, 2));
}

TEST(DrawPrimitives, HugeMarginsAndFrameIndexesDoNotOverflow) {
    const TBitmap image = CoordImage(6, 6);
    TBitmap canvas = Filled(8, 8, kGreen);
    const TMargins huge = Rect(2000000000, -2000000000, 2000000000, 2000000000);
    DrawBorder(canvas, Rect(0, 0, 8, 8), image, huge, {.Frame = 2000000000});
    DrawRectH(canvas, Rect(0, 0, 8, 8), image, huge, {.Frame = -2000000000});
    DrawRectV(canvas, Rect(0, 0, 8, 8), image, huge, {});
    DrawRectTile(canvas, Rect(0, 0, 8, 8), image, huge, {});
    const TBitmap map = GetHMap(Rect(0, 0, 8, 8), image, huge, {.Frames = -5, .Tile = true});
    EXPECT_EQ(8, map.Width());
}

}  // namespace
}  // namespace quorin
