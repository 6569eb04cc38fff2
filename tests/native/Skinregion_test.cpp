#include "skin/resources/Skinregion.h"

#include <gtest/gtest.h>

#include "support/PixelHelpers.h"

namespace quorin {
namespace {

TEST(BitmapToRegion, OneOpaquePixelBetweenKeyPixels) {
    TBitmap image(3, 1);
    image.SetPixel(0, 0, KeyColor);
    image.SetPixel(1, 0, 0x0000FF);
    image.SetPixel(2, 0, KeyColor);
    const auto rects = BitmapToRegion(image, 10, 20, KeyColor, 1, 1, 1);
    ASSERT_EQ(1u, rects.size());
    EXPECT_EQ(Rect(11, 20, 12, 21), rects[0]);
    EXPECT_EQ(pf32bit, image.PixelFormat());  // traced through a 32-bit copy in place
}

TEST(BitmapToRegion, RowsTopDownAndRunsLeftToRight) {
    TBitmap image = testing::Filled(5, 2, KeyColor);
    image.SetPixel(0, 0, 0);
    image.SetPixel(1, 0, 0);
    image.SetPixel(3, 0, 0);
    image.SetPixel(4, 1, 0);
    const auto rects = BitmapToRegion(image, 0, 0, KeyColor, 1, 1, 1);
    const std::vector<TRect> expected = {Rect(0, 0, 2, 1), Rect(3, 0, 4, 1), Rect(4, 1, 5, 2)};
    EXPECT_EQ(expected, rects);
}

struct ToleranceCase {
    TColor pixel;
    bool transparent;
};

class RegionTolerance : public ::testing::TestWithParam<ToleranceCase> {};

TEST_P(RegionTolerance, MatchesOnlyAboveTheKeyWithinTheTolerance) {
    TBitmap image(1, 1);
    image.SetPixel(0, 0, GetParam().pixel);
    const auto rects = BitmapToRegion(image, 0, 0, KeyColor, 1, 1, 1);
    EXPECT_EQ(GetParam().transparent, rects.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Pixels, RegionTolerance,
    ::testing::Values(ToleranceCase{ColorFromRGB(255, 0, 255), true}, ToleranceCase{ColorFromRGB(255, 1, 255), true},
                      ToleranceCase{ColorFromRGB(255, 2, 255), false}, ToleranceCase{ColorFromRGB(254, 0, 255), false},
                      ToleranceCase{ColorFromRGB(255, 0, 254), false}, ToleranceCase{0x000000, false}));

TEST(BitmapToRegion, ToleranceIsCappedAt255) {
    TBitmap image(2, 1);
    image.SetPixel(0, 0, ColorFromRGB(250, 250, 250));
    image.SetPixel(1, 0, ColorFromRGB(249, 255, 255));
    const auto rects = BitmapToRegion(image, 0, 0, ColorFromRGB(250, 250, 250), 200, 200, 200);
    ASSERT_EQ(1u, rects.size());
    EXPECT_EQ(Rect(1, 0, 2, 1), rects[0]);
}

TEST(BitmapToRegion, ManyRunsArriveInBatchesAndAllArrive) {
    // 4001 pixels alternating opaque and key: 2001 runs, so one full batch and a remainder.
    TBitmap image(4001, 1);
    for (int x = 0; x < 4001; ++x) image.SetPixel(x, 0, x % 2 ? KeyColor : 0x00FF00);
    std::vector<size_t> batches;
    std::vector<TRect> all;
    BitmapToRegion(image, 0, 0, KeyColor, 1, 1, 1, [&](const TRect* r, size_t n) {
        batches.push_back(n);
        all.insert(all.end(), r, r + n);
    });
    EXPECT_EQ((std::vector<size_t>{2000, 1}), batches);
    ASSERT_EQ(2001u, all.size());
    for (size_t i = 0; i < all.size(); ++i) EXPECT_EQ(Rect(2 * int(i), 0, 2 * int(i) + 1, 1), all[i]);
}

TEST(BitmapToRegion, EmptyImageStillGivesOneEmptyBatch) {
    TBitmap image;
    int calls = 0;
    BitmapToRegion(image, 0, 0, KeyColor, 1, 1, 1, [&](const TRect*, size_t n) {
        ++calls;
        EXPECT_EQ(0u, n);
    });
    EXPECT_EQ(1, calls);
}

}  // namespace
}  // namespace quorin
