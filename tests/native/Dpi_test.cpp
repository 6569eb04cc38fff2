// The display-scale arithmetic every control and the skin share: values scaled from the
// stored ones, rounding as the system rounds, and icon sizes never enlarged.
#include "forms/Dpi.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

struct TScaleCase {
    int Dpi;
    int Stored;
    int Value;
    int Scaled;
};

class DpiScaleTest : public ::testing::TestWithParam<TScaleCase> {};

TEST_P(DpiScaleTest, ScalesStoredValueRoundingHalfAwayFromZero) {
    const TScaleCase c = GetParam();
    const TDpiScale s{c.Dpi, c.Stored};
    EXPECT_EQ(s.Scale(c.Value), c.Scaled);
    EXPECT_EQ(s.Scale(-c.Value), -c.Scaled);  // font heights are negative
}

INSTANTIATE_TEST_SUITE_P(Scales, DpiScaleTest,
                         ::testing::Values(TScaleCase{96, 96, 694, 694}, TScaleCase{120, 96, 694, 868},  // 867.5
                                           TScaleCase{144, 96, 419, 629},                                // 628.5
                                           TScaleCase{192, 96, 419, 838}, TScaleCase{240, 96, 11, 28},   // 27.5
                                           TScaleCase{144, 96, 13, 20},                                  // 19.5
                                           TScaleCase{96, 120, 15, 12}, TScaleCase{168, 96, 1, 2}));

TEST(DpiScale, EveryStoredValueComesBackAfterAnyScale) {
    // Scaling always starts from the stored value, so a trip to any DPI and back is the
    // identity; a value derived from a scaled one (Unscale) may not be, which is why the
    // controls keep their stored bounds.
    for (int dpi : {96, 120, 144, 168, 192, 240, 288}) {
        const TDpiScale there{dpi, 96}, back{96, 96};
        for (int v = -300; v <= 1200; ++v) {
            ASSERT_EQ(back.Scale(v), v);
            if (dpi > 96) {
                ASSERT_EQ(there.Unscale(there.Scale(v)), v) << dpi << " " << v;
            }
        }
    }
}

TEST(DpiScale, DefaultAndPercent) {
    const TDpiScale s{144, 120};
    EXPECT_EQ(s.FromDefault(16), 24);
    EXPECT_EQ(s.Percent(), 150);
    EXPECT_TRUE((TDpiScale{120, 120}.Identity()));
    EXPECT_FALSE(s.Identity());
}

TEST(DpiScale, IconSizeIsNearestAtOrAboveNeverSmaller) {
    struct {
        int Need, Size;
    } cases[] = {{16, 16}, {17, 20}, {20, 20}, {24, 24}, {30, 32}, {32, 32},
                 {36, 40}, {48, 48}, {60, 64}, {64, 64}, {96, 64}};
    for (auto c : cases) EXPECT_EQ(IconSizeFor(c.Need), c.Size) << c.Need;
}

}  // namespace
}  // namespace quorin
