#include "forms/SysUtils.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace quorin {
namespace {

struct Accepted {
    std::string text;
    int32_t value;
};

class StrToIntAccepts : public ::testing::TestWithParam<Accepted> {};

TEST_P(StrToIntAccepts, GivesTheValue) {
    EXPECT_EQ(StrToInt(GetParam().text), GetParam().value) << "text: [" << GetParam().text << "]";
}

INSTANTIATE_TEST_SUITE_P(Decimal, StrToIntAccepts,
                         ::testing::Values(Accepted{"0", 0}, Accepted{"7", 7}, Accepted{"00000000", 0},
                                           Accepted{"123", 123}, Accepted{"+5", 5}, Accepted{"-5", -5},
                                           Accepted{"-0", 0}, Accepted{"2147483647", INT32_MAX},
                                           Accepted{"-2147483648", INT32_MIN}, Accepted{"0002147483647", INT32_MAX},
                                           Accepted{"   42", 42}, Accepted{"  -42", -42}));

INSTANTIATE_TEST_SUITE_P(Hexadecimal, StrToIntAccepts,
                         ::testing::Values(Accepted{"$FF", 255}, Accepted{"$ff", 255}, Accepted{"0x7FF", 0x7FF},
                                           Accepted{"0X7fF", 0x7FF}, Accepted{"x10", 16}, Accepted{"X10", 16},
                                           Accepted{"0x00000000", 0}, Accepted{"0x1FFFFFFF", 0x1FFFFFFF},
                                           Accepted{"0x7FFFFFFF", INT32_MAX},
                                           // The upper half of the 32-bit range keeps its bit pattern.
                                           Accepted{"0x80000000", INT32_MIN}, Accepted{"0xFFFFFFFF", -1},
                                           Accepted{"$FFFFFFFF", -1}, Accepted{"0x00050B2E", 0x50B2E},
                                           // Leading zeros are not significant digits.
                                           Accepted{"0x000000000001", 1}, Accepted{"0x0FFFFFFFF", -1},
                                           Accepted{" 0x1F", 0x1F}, Accepted{"   $10", 16}, Accepted{"-$10", -16},
                                           Accepted{"+0x10", 16}, Accepted{"-0x1", -1}));

class StrToIntRefuses : public ::testing::TestWithParam<std::string> {};

TEST_P(StrToIntRefuses, NamingTheWholeText) {
    const std::string& text = GetParam();
    try {
        StrToInt(text);
        FAIL() << "accepted [" << text << "]";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'" + text + "' is not a valid integer value");
    }
}

INSTANTIATE_TEST_SUITE_P(Malformed, StrToIntRefuses,
                         ::testing::Values("", " ", "   ", "+", "-", "$", "0x", "x", "X", "-$", "+0x", "--1", "+-1",
                                           "1-", "12 ", "0x1F ", "1 2", "0x 12", "$ 12", "- 1", "0x1G", "$G", "12a",
                                           "1.5", "1e3", "0b101", "\t12", "12\n", "0xx1", "x0x1", "0x-1", "$-1",
                                           "1,000",
                                           // A NUL inside is refused, and the message still quotes all of it.
                                           std::string("12\0"
                                                       "34",
                                                       5),
                                           std::string("0x\0", 3)));

INSTANTIATE_TEST_SUITE_P(OutOfRange, StrToIntRefuses,
                         ::testing::Values("2147483648", "-2147483649", "4294967295", "99999999999999999999",
                                           // Nine significant hexadecimal digits do not fit in 32 bits.
                                           "0x100000000", "0x123456789", "$FFFFFFFFF", "x1FFFFFFFF"));

TEST(StrToInt, ErrorIsTheFrameworksExceptionClassWithTheSameText) {
    try {
        StrToInt("0x");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "'0x' is not a valid integer value");
    }
}

struct HexCase {
    uint32_t value;
    int digits;
    std::string text;
};

class IntToHexFormats : public ::testing::TestWithParam<HexCase> {};

TEST_P(IntToHexFormats, UpperCaseZeroPadded) {
    EXPECT_EQ(IntToHex(GetParam().value, GetParam().digits), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Rows, IntToHexFormats,
                         ::testing::Values(HexCase{0, 8, "00000000"}, HexCase{0x7FF, 8, "000007FF"},
                                           HexCase{0x1FFFFFFF, 8, "1FFFFFFF"}, HexCase{0xFFFFFFFF, 8, "FFFFFFFF"},
                                           HexCase{0xabcdef, 8, "00ABCDEF"}, HexCase{0x12, 2, "12"},
                                           HexCase{0x5, 2, "05"},
                                           // A value wider than asked for is never cut.
                                           HexCase{0x123, 2, "123"}, HexCase{0, 0, "0"},
                                           HexCase{0x1, 10, "0000000001"}));

TEST(IntToHex, RoundTripsThroughStrToIntWithPrefix) {
    for (uint32_t v : {0u, 1u, 0x7FFu, 0x80000000u, 0xDEADBEEFu, 0xFFFFFFFFu}) {
        EXPECT_EQ(static_cast<uint32_t>(StrToInt("0x" + IntToHex(v, 8))), v);
    }
}

TEST(LowerCase, OnlyTheLettersAToZChange) {
    EXPECT_EQ(LowerCase("TSkinButton_42"), "tskinbutton_42");
    // UTF-8 bytes and the characters between the two alphabets stay as they are.
    EXPECT_EQ(LowerCase("\xC3\x84[\\]^_`AZ@"), "\xC3\x84[\\]^_`az@");
    EXPECT_EQ(LowerCase(""), "");
}

}  // namespace
}  // namespace quorin
