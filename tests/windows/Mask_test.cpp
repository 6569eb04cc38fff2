// The masked edit takes at each position only what the mask allows there.
#include "forms/Mask.h"

#include <gtest/gtest.h>

using namespace quorin;

struct MaskCase {
    const char* mask;
    size_t position;
    wchar_t ch;
    bool allowed;
};

class MaskEditChars : public ::testing::TestWithParam<MaskCase> {};

TEST_P(MaskEditChars, FollowTheMask) {
    TMaskEdit edit(nullptr);
    edit.SetEditMask(GetParam().mask);
    EXPECT_EQ(edit.CharAllowed(GetParam().position, GetParam().ch), GetParam().allowed);
}

INSTANTIATE_TEST_SUITE_P(
    Masks, MaskEditChars,
    ::testing::Values(MaskCase{"aaaaaaaa;1;_", 0, L'Z', true}, MaskCase{"aaaaaaaa;1;_", 7, L'5', true},
                      MaskCase{"aaaaaaaa;1;_", 3, L' ', true}, MaskCase{"aaaaaaaa;1;_", 3, L'-', false},
                      MaskCase{"aaaaaaaa;1;_", 8, L'A', false}, MaskCase{"00-00;1;_", 2, L'-', true},
                      MaskCase{"00-00;1;_", 2, L'1', false}, MaskCase{"00-00;1;_", 1, L'x', false},
                      MaskCase{"LL;0;_", 1, L'q', true}, MaskCase{"\\000;1;_", 0, L'0', true},
                      MaskCase{"\\000;1;_", 0, L'5', false}));

TEST(MaskEdit, MaskSetsTheLengthAndTypingIsFiltered) {
    TMaskEdit edit(nullptr);
    edit.SetEditMask("aaaaaaaa;1;_");
    EXPECT_EQ(edit.MaskLength(), 8u);
    EXPECT_EQ(edit.MaxLength(), 8);
}
