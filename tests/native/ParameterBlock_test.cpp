#include "link/ParameterBlock.h"

#include <gtest/gtest.h>

#include "link/CANConfigReadParameter.h"

namespace quorin {
namespace {

std::vector<uint8_t> Bytes(const TParameterBlock& b, std::size_t from, std::size_t count) {
    return {b.begin() + from, b.begin() + from + count};
}

TDeviceSettings RichSettings() {
    TDeviceSettings s;
    s.Identity = {0x0001, 0x0002, 0x0001, 0x000A, {0x12, 0x34, 0xAB, 0xCD}};
    s.FilterEnable = 1;
    s.Filters = {{1, 0, 0x00000100, 0x000007FF}, {0, 1, 0x12345678, 0x1FFFFFFF}};
    s.UARTMode = 2;
    s.UARTBaudrate = 11;
    s.UARTDataBits = 0;
    s.UARTStopBits = 1;
    s.UARTParity = 2;
    s.CANType = 1;
    s.CANID = 0x12345678;
    s.CANFrameType = 1;
    s.BitRateSwitch = 1;
    s.CustomBitRate = 0;
    s.BaudrateIndexA = 14;
    s.BaudrateIndexB = 8;
    s.SwitchMode = 1;
    s.SwitchRoute = 2;
    s.CANFrameInfoEnable = 1;
    s.CANIDOffset = 7;
    s.CANIDLen = 4;
    s.UARTFrameInterval = 0xFFFFFFFF;
    s.CANFrameInterval = 1000;
    return s;
}

TEST(ParameterBlock, EncodeThenDecodeGivesTheSameSettings) {
    const TDeviceSettings s = RichSettings();
    EXPECT_EQ(DecodeParameterBlock(EncodeParameterBlock(s)), s);
    TDeviceSettings custom = s;
    custom.CustomBitRate = 1;
    custom.BaudrateIndexA = custom.BaudrateIndexB = 0;
    custom.CustomWordA = 0x00050B2E;
    custom.CustomWordB = 0x80008207;
    EXPECT_EQ(DecodeParameterBlock(EncodeParameterBlock(custom)), custom);
}

TEST(ParameterBlock, EncodedBlockCarriesItsChecksum) {
    const TParameterBlock b = EncodeParameterBlock(RichSettings());
    EXPECT_TRUE(VerifyParameterChecksum(b.data(), b.size()));
}

TEST(ParameterBlock, IdentityIsBigEndianAndSerialNumberInOrder) {
    const TParameterBlock b = EncodeParameterBlock(RichSettings());
    EXPECT_EQ(Bytes(b, 1, 14),
              (std::vector<uint8_t>{0x00, 0x01, 0x00, 0x02, 0, 0, 0x00, 0x01, 0x00, 0x0A, 0x12, 0x34, 0xAB, 0xCD}));
}

TEST(ParameterBlock, FilterIdentifiersAreBigEndianCanIdentifierLittleEndian) {
    TDeviceSettings s;
    s.Filters = {{0, 1, 0x12345678, 0x9ABCDEF0}};
    s.CANID = 0x12345678;
    const TParameterBlock b = EncodeParameterBlock(s);
    EXPECT_EQ(Bytes(b, 68, 4), (std::vector<uint8_t>{0x12, 0x34, 0x56, 0x78}));
    EXPECT_EQ(Bytes(b, 132, 4), (std::vector<uint8_t>{0x9A, 0xBC, 0xDE, 0xF0}));
    EXPECT_EQ(Bytes(b, 204, 4), (std::vector<uint8_t>{0x78, 0x56, 0x34, 0x12}));
}

TEST(ParameterBlock, IntervalsAndCustomWordsAreLittleEndian) {
    TDeviceSettings s;
    s.UARTFrameInterval = 0xFFFFFFFF;
    s.CANFrameInterval = 0x01020304;
    s.CustomBitRate = 1;
    s.CustomWordA = 0x00050B2E;
    s.CustomWordB = 0x00008207;
    const TParameterBlock b = EncodeParameterBlock(s);
    EXPECT_EQ(Bytes(b, 232, 8), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0x04, 0x03, 0x02, 0x01}));
    EXPECT_EQ(Bytes(b, 216, 8), (std::vector<uint8_t>{0x2E, 0x0B, 0x05, 0x00, 0x07, 0x82, 0x00, 0x00}));
}

TEST(ParameterBlock, OnlyTheSelectedBitRateChoiceIsEncoded) {
    TDeviceSettings s;
    s.BaudrateIndexA = 3;
    s.BaudrateIndexB = 4;
    s.CustomWordA = 0x11111111;
    s.CustomWordB = 0x22222222;
    TParameterBlock lists = EncodeParameterBlock(s);
    EXPECT_EQ(lists[210], 0);
    EXPECT_EQ(Bytes(lists, 211, 2), (std::vector<uint8_t>{3, 4}));
    EXPECT_EQ(Bytes(lists, 216, 8), std::vector<uint8_t>(8, 0));
    s.CustomBitRate = 1;
    TParameterBlock words = EncodeParameterBlock(s);
    EXPECT_EQ(Bytes(words, 211, 2), (std::vector<uint8_t>{0, 0}));
    EXPECT_EQ(words[216], 0x11);
}

struct RouteCase {
    uint8_t Route;
    uint8_t CanToSerial;
    uint8_t SerialToCan;
};
class ForwardingPaths : public testing::TestWithParam<RouteCase> {};

TEST_P(ForwardingPaths, FollowTheConversionDirection) {
    TDeviceSettings s;
    s.SwitchRoute = GetParam().Route;
    const TParameterBlock b = EncodeParameterBlock(s);
    std::vector<uint8_t> expected(16, 0);
    expected[21 - 15] = GetParam().CanToSerial;
    expected[24 - 15] = GetParam().SerialToCan;
    EXPECT_EQ(Bytes(b, 15, 16), expected);
    EXPECT_EQ(Bytes(b, 31, 4), (std::vector<uint8_t>{0, 1, 1, 0}));
}

INSTANTIATE_TEST_SUITE_P(Directions, ForwardingPaths,
                         testing::Values(RouteCase{0, 1, 1}, RouteCase{1, 0, 1}, RouteCase{2, 1, 0},
                                         RouteCase{0xFF, 1, 0}));

TEST(ParameterBlock, SixteenFiltersFillTheTableAndCount) {
    TDeviceSettings s;
    for (uint32_t i = 0; i < 16; ++i) s.Filters.push_back({1, 1, 0x01010101 * (i + 1), 0xF0F0F0F0});
    const TParameterBlock b = EncodeParameterBlock(s);
    EXPECT_EQ(b[196], 16);
    EXPECT_EQ(Bytes(b, 36, 16), std::vector<uint8_t>(16, 1));
    EXPECT_EQ(Bytes(b, 52, 16), std::vector<uint8_t>(16, 1));
    EXPECT_EQ(Bytes(b, 128, 4), (std::vector<uint8_t>{16, 16, 16, 16}));  // last start identifier
    EXPECT_EQ(Bytes(b, 192, 4), (std::vector<uint8_t>{0xF0, 0xF0, 0xF0, 0xF0}));
    EXPECT_EQ(b[197], 0);
}

TEST(ParameterBlock, MoreFiltersThanSlotsNeverSpillIntoOtherFields) {
    TDeviceSettings s;
    for (uint32_t i = 0; i < 40; ++i) s.Filters.push_back({3, 1, 0xFFFFFFFF, 0xFFFFFFFF});
    const TParameterBlock b = EncodeParameterBlock(s);
    EXPECT_EQ(b[196], 16);
    EXPECT_EQ(Bytes(b, 197, 43), std::vector<uint8_t>(43, 0));
}

TEST(ParameterBlock, DecodeTrustsTheFilterCountOnlyUpToSixteen) {
    TParameterBlock b{};
    b[196] = 255;  // a damaged or hostile answer
    for (std::size_t i = 36; i < 196; ++i) b[i] = 0x5A;
    const TDeviceSettings s = DecodeParameterBlock(b);
    ASSERT_EQ(s.Filters.size(), 16u);
    EXPECT_EQ(s.Filters[15].EndId, 0x5A5A5A5Au);
}

TEST(ParameterBlock, WindowDefaultsEncodeTheDefaultItems) {
    const TParameterBlock b = EncodeParameterBlock(WindowDefaultSettings());
    EXPECT_EQ(Bytes(b, 197, 7), (std::vector<uint8_t>{0, 3, 1, 0, 0, 0, 0}));
    EXPECT_EQ(b[228], 0);
    EXPECT_EQ(b[229], 1);
}

}  // namespace
}  // namespace quorin
