#include "skin/resources/Imgutil.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/PixelHelpers.h"

namespace quorin {
namespace {

using testing::Coord;
using testing::CoordImage;
using testing::Filled;

class BlendCase : public ::testing::TestWithParam<std::tuple<TColor, TColor, int, TColor>> {};

TEST_P(BlendCase, MixesChannelsWithRounding) {
    const auto [a, b, w, expected] = GetParam();
    EXPECT_EQ(expected, Blend(a, b, w));
}

INSTANTIATE_TEST_SUITE_P(Weights, BlendCase,
                         ::testing::Values(std::make_tuple(0xFFFFFF, 0x000000, 99, 0xFCFCFC),  // percent
                                           std::make_tuple(0xFFFFFF, 0x000000, 100,
                                                           0x1A1A1A),                          // from 100 on: per mille
                                           std::make_tuple(0x000000, 0x0000FF, 50, 0x000080),  // even mix rounds up
                                           std::make_tuple(0x808080, 0x0000FF, 150, 0x1313EC),  // 15 % grey, 85 % red
                                           std::make_tuple(0x102030, 0x405060, 0, 0x405060),
                                           std::make_tuple(0x102030, 0x405060, 1000, 0x102030),
                                           // Weights outside 0..d saturate instead of spilling into the next channel.
                                           std::make_tuple(0xFFFFFF, 0x000000, 2000, 0xFFFFFF),
                                           std::make_tuple(0x000000, 0xFFFFFF, -50, 0xFFFFFF),
                                           std::make_tuple(0xFFFFFF, 0x000000, -50, 0x000000)));

TEST(Blend, ResolvesSystemColours) {
    EXPECT_EQ(Blend(GetSystemColor(15), 0xFFFFFF, 150), Blend(SystemColor(15), 0xFFFFFF, 150));
}

class HsvCase : public ::testing::TestWithParam<std::pair<TColor, int>> {};

TEST_P(HsvCase, MeasuresSaturation) { EXPECT_EQ(GetParam().second, GetHSV(GetParam().first)); }

INSTANTIATE_TEST_SUITE_P(Colours, HsvCase,
                         ::testing::Values(std::make_pair(0x808080, 200),  // every channel below 160
                                           std::make_pair(0x000000, 200), std::make_pair(0xFF0000, 255),
                                           std::make_pair(0xFFFFFF, 0), std::make_pair(0x00A0A0, 255),
                                           std::make_pair(0x6464C8, 128),  // 127.5 rounds to the even 128
                                           std::make_pair(0xA9A9AA, 2),    // 1.5 rounds to 2
                                           std::make_pair(0xA7A7AA, 4),    // 4.5 rounds to 4
                                           std::make_pair(0x00009F, 200),  // 159 is still below 160
                                           std::make_pair(0x0000A0, 255)));

TEST(GradFill, OneBandTakesTheMidpoint) {
    TBitmap canvas = Filled(3, 3, 0x00FF00);
    GradFill(canvas, Rect(0, 1, 3, 2), 0x000000, 0x0000FF, 1);
    EXPECT_EQ(0x00007F, canvas.Pixel(0, 1));
    EXPECT_EQ(0x00007F, canvas.Pixel(2, 1));
    EXPECT_EQ(0x00FF00, canvas.Pixel(0, 0));
    EXPECT_EQ(0x00FF00, canvas.Pixel(0, 2));
}

TEST(GradFill, BandsRunFromStartToEndInEitherDirection) {
    TBitmap across(5, 2), down(2, 5);
    GradFill(across, Rect(0, 0, 5, 2), 0x000000, 0x0000FF, 0);
    GradFill(down, Rect(0, 0, 2, 5), 0x000000, 0x0000FF, 1);
    const int expected[5] = {0, 64, 128, 191, 255};  // start + (2 + i * 255) div 4
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(expected[i], across.Pixel(i, 1)) << i;
        EXPECT_EQ(expected[i], down.Pixel(1, i)) << i;
    }
}

TEST(GradFill, ClipLimitsTheBandsButNotTheirColours) {
    TBitmap canvas = Filled(1, 10, 0x00FF00);
    GradFill(canvas, Rect(0, -2, 1, 8), 0x000000, 0x0000FF, 1, Rect(0, 3, 1, 6));
    const std::vector<TColor>& table = GradientTable(10, 0x000000, 0x0000FF);
    EXPECT_EQ(0x00FF00, canvas.Pixel(0, 2));
    for (int y = 3; y < 6; ++y) EXPECT_EQ(table[static_cast<size_t>(y + 2)], canvas.Pixel(0, y)) << y;
    EXPECT_EQ(0x00FF00, canvas.Pixel(0, 6));
}

TEST(GradFill, CachedTablesNeverServeTheWrongGradient) {
    // More gradients than cache slots, with equal lengths and ends that differ only in the
    // middle channel, interleaved with repeats.
    for (int round = 0; round < 3; ++round)
        for (int g = 0; g < 20; ++g) {
            TBitmap canvas(3, 1);
            GradFill(canvas, Rect(0, 0, 3, 1), ColorFromRGB(0, static_cast<uint8_t>(g), 0),
                     ColorFromRGB(200, static_cast<uint8_t>(g), 100), 0);
            EXPECT_EQ(ColorFromRGB(100, static_cast<uint8_t>(g), 50), canvas.Pixel(1, 0)) << g;
        }
}

TEST(GradFill, SystemColoursAndEmptyRectangles) {
    TBitmap canvas = Filled(2, 2, 0x00FF00);
    GradFill(canvas, Rect(0, 0, 2, 0), 0, 0xFFFFFF, 1);
    GradFill(canvas, Rect(5, 5, 9, 9), 0, 0xFFFFFF, 1);
    EXPECT_EQ(0x00FF00, canvas.Pixel(0, 0));
    GradFill(canvas, Rect(0, 0, 2, 2), SystemColor(15), SystemColor(15), 1);
    EXPECT_EQ(GetSystemColor(15), canvas.Pixel(1, 1));
}

TEST(ChangeTrans, ReplacesOnlyExactMagentaAndMakesTheImage24Bit) {
    TBitmap image(3, 1, pf32bit);
    image.SetPixel(0, 0, KeyColor);
    image.SetPixel(1, 0, ColorFromRGB(254, 0, 255));
    image.SetPixel(2, 0, ColorFromRGB(255, 1, 255));
    ChangeTrans(image, SystemColor(15));
    EXPECT_EQ(pf24bit, image.PixelFormat());
    EXPECT_EQ(GetSystemColor(15), image.Pixel(0, 0));
    EXPECT_EQ(ColorFromRGB(254, 0, 255), image.Pixel(1, 0));
    EXPECT_EQ(ColorFromRGB(255, 1, 255), image.Pixel(2, 0));
}

TEST(Grayscale, AveragesTheChannels) {
    TBitmap image(2, 1, pf32bit);
    image.SetPixel(0, 0, ColorFromRGB(10, 20, 33));
    image.SetPixel(1, 0, 0xFFFFFF);
    ConvertBitmapToGrayscale(image);
    EXPECT_EQ(pf24bit, image.PixelFormat());
    EXPECT_EQ(ColorFromRGB(21, 21, 21), image.Pixel(0, 0));
    EXPECT_EQ(0xFFFFFF, image.Pixel(1, 0));
}

// Where source pixel (x, y) of a W x H image lands, for each turn.
struct TurnCase {
    const char* name;
    void (*turn)(TBitmap&);
    bool swaps;
    int (*tx)(int x, int y, int w, int h);
    int (*ty)(int x, int y, int w, int h);
};

class Turn : public ::testing::TestWithParam<std::tuple<TurnCase, TPixelFormat>> {};

TEST_P(Turn, MovesEveryPixelAndKeepsTheFormat) {
    const auto [c, format] = GetParam();
    const int w = 5, h = 3;
    TBitmap image = CoordImage(w, h, format);
    c.turn(image);
    ASSERT_EQ(c.swaps ? h : w, image.Width());
    ASSERT_EQ(c.swaps ? w : h, image.Height());
    EXPECT_EQ(format, image.PixelFormat());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(Coord(x, y), image.Pixel(c.tx(x, y, w, h), c.ty(x, y, w, h))) << x << "," << y;
}

const TurnCase kTurns[] = {
    {"MirrorAcross", SpiegelnHorizontal, false, [](int x, int, int w, int) { return w - 1 - x; },
     [](int, int y, int, int) { return y; }},
    {"MirrorDown", SpiegelnVertikal, false, [](int x, int, int, int) { return x; },
     [](int, int y, int, int h) { return h - 1 - y; }},
    {"Clockwise", Drehen90Grad, true, [](int, int y, int, int h) { return h - 1 - y; },
     [](int x, int, int, int) { return x; }},
    {"CounterClockwise", Drehen270Grad, true, [](int, int y, int, int) { return y; },
     [](int x, int, int w, int) { return w - 1 - x; }},
    {"HalfTurn", Drehen180Grad, false, [](int x, int, int w, int) { return w - 1 - x; },
     [](int, int y, int, int h) { return h - 1 - y; }},
};

INSTANTIATE_TEST_SUITE_P(Turns, Turn,
                         ::testing::Combine(::testing::ValuesIn(kTurns), ::testing::Values(pf24bit, pf32bit)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) == pf24bit ? "24" : "32");
                         });

TEST(Rotate90, ReturnsACounterClockwiseCopyOfA24BitImageOnly) {
    const TBitmap image = CoordImage(4, 2);
    const TBitmap turned = Rotate90(image);
    ASSERT_EQ(2, turned.Width());
    ASSERT_EQ(4, turned.Height());
    EXPECT_EQ(Coord(0, 0), turned.Pixel(0, 3));
    EXPECT_EQ(Coord(3, 1), turned.Pixel(1, 0));
    EXPECT_EQ(Coord(3, 1), image.Pixel(3, 1));  // the original is untouched
    EXPECT_TRUE(Rotate90(CoordImage(4, 2, pf32bit)).Empty());
    EXPECT_TRUE(Rotate90(TBitmap()).Empty());
}

TEST(Turns, EmptyImagesStayEmpty) {
    TBitmap empty;
    Drehen90Grad(empty);
    SpiegelnHorizontal(empty);
    ChangeTrans(empty, 0);
    ConvertBitmapToGrayscale(empty);
    EXPECT_TRUE(empty.Empty());
}

}  // namespace
}  // namespace quorin
