#include "link/CANConfigReadParameter.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "support/ConverterProcess.h"
#include "support/FakeParameterPage.h"
#include "support/RecordingButtons.h"

namespace quorin {
namespace {

using test::TFakeParameterPage;

// ---- checksum --------------------------------------------------------------------------

struct ChecksumCase {
    const char* Name;
    TParameterBlock Block;
    uint8_t Checksum;
};

TParameterBlock WithByte1(uint8_t v) {
    TParameterBlock b{};
    b[1] = v;
    return b;
}
TParameterBlock AllFF() {
    TParameterBlock b;
    b.fill(0xFF);
    return b;
}

class Checksum : public testing::TestWithParam<ChecksumCase> {};

TEST_P(Checksum, IsTheInverseOfTheNibbleSum) {
    TParameterBlock b = GetParam().Block;
    EXPECT_EQ(ParameterChecksum(b.data(), b.size()), GetParam().Checksum);
    b[0] = GetParam().Checksum;
    EXPECT_TRUE(VerifyParameterChecksum(b.data(), b.size()));
    b[0] ^= 1;
    EXPECT_FALSE(VerifyParameterChecksum(b.data(), b.size()));
}

INSTANTIATE_TEST_SUITE_P(Examples, Checksum,
                         testing::Values(ChecksumCase{"Zeros", TParameterBlock{}, 0xFF},
                                         ChecksumCase{"Byte1Is12", WithByte1(0x12), 0xFC},
                                         ChecksumCase{"AllFF", AllFF(), 0xFD}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Checksum, LeavesByteZeroOutOfTheSum) {
    TParameterBlock a{}, b{};
    b[0] = 0x77;
    EXPECT_EQ(ParameterChecksum(a.data(), a.size()), ParameterChecksum(b.data(), b.size()));
}

TEST(Checksum, EmptyBlockNeverVerifies) {
    uint8_t none = 0;
    EXPECT_FALSE(VerifyParameterChecksum(&none, 0));
}

TEST(ReadRequest, IsCCDDCommandAndZero) {
    EXPECT_EQ(ReadRequestFrame(0), (std::array<uint8_t, 4>{0xCC, 0xDD, 0x00, 0x00}));
    EXPECT_EQ(ReadRequestFrame(1), (std::array<uint8_t, 4>{0xCC, 0xDD, 0x01, 0x00}));
}

// ---- showing a block --------------------------------------------------------------------

TParameterBlock ExampleBlock() {
    TDeviceSettings s;
    s.Identity = {0x0001, 0x0002, 0x0001, 0x000A, {0x12, 0x34, 0xAB, 0xCD}};
    s.FilterEnable = 1;
    s.Filters = {{1, 0, 0x00000100, 0x000007FF}, {0, 1, 0x12345678, 0x1FFFFFFF}, {3, 0, 0, 0}};
    s.UARTMode = 1;
    s.UARTBaudrate = 8;
    s.UARTStopBits = 1;
    s.UARTParity = 2;
    s.CANType = 1;
    s.CANID = 0x0000ABCD;
    s.CANFrameType = 1;
    s.BitRateSwitch = 1;
    s.BaudrateIndexA = 3;
    s.BaudrateIndexB = 8;
    s.SwitchMode = 1;
    s.SwitchRoute = 2;
    s.CANFrameInfoEnable = 1;
    s.CANIDInfoEnable = 0;
    s.CANIDOffset = 5;
    s.CANIDLen = 3;
    s.UARTFrameInterval = 0xFFFFFFFF;
    s.CANFrameInterval = 25;
    return EncodeParameterBlock(s);
}

TEST(ShowDeviceParameter, IdentityRowsFollowTheExample) {
    TFakeParameterPage page;
    ShowDeviceParameter(0, page, ExampleBlock());
    const std::vector<std::vector<std::string>> rows{{"Vendor ID", "0x0001"},       {"Product Type", "0002 Series"},
                                                     {"Product Code", "QUORIN-Q1"}, {"Hardware Version", "1"},
                                                     {"Firmware Version", "10"},    {"Serial Number", "12-34-AB-CD"}};
    EXPECT_EQ(page.Lists["ListViewVandrelBasicInfo"], rows);
}

TEST(ShowDeviceParameter, FillsEveryControl) {
    TFakeParameterPage page;
    ShowDeviceParameter(0, page, ExampleBlock());
    EXPECT_EQ(page.ItemIndex("ComboBoxSwitchMode"), 1);
    EXPECT_EQ(page.ItemIndex("ComboBoxSwtichRoute"), 2);
    EXPECT_EQ(page.Text("ComboBoxCANIDOffset"), "5");
    EXPECT_EQ(page.Text("ComboBoxCANIDLen"), "3");
    EXPECT_EQ(page.Text("EditUARTFrameInterVal"), "4294967295");
    EXPECT_EQ(page.Text("EditCANFrameInterval"), "25");
    EXPECT_TRUE(page.Checked("CheckBoxCANFrameInfoEnable"));
    EXPECT_FALSE(page.Checked("CheckBoxCANIDInfoEnable"));
    EXPECT_EQ(page.Text("ComboBoxUARTMode"), "RS485");
    EXPECT_EQ(page.Text("ComboBoxUARTBuadrateIndex"), "115200");
    EXPECT_EQ(page.Text("ComboBoxUARTDataBitIndex"), "7");
    EXPECT_EQ(page.Text("ComboBoxUARTStopBitIndex"), "2");
    EXPECT_EQ(page.Text("ComboBoxUARTParityBitIndex"), "偶校验");
    EXPECT_EQ(page.Text("ComboBoxCANType"), "CANFD");
    EXPECT_EQ(page.Text("EditCANID"), "0000ABCD");
    EXPECT_EQ(page.Text("ComboBoxCANFrameType"), "扩展帧");
    EXPECT_EQ(page.Text("ComboBoxBitRateSwitch"), "是");
    EXPECT_FALSE(page.Checked("CheckBoxBuadrateCustom"));
    EXPECT_EQ(page.Text("ComboBoxtBaudrateIndexA"), "500Kbps");
    EXPECT_EQ(page.Text("ComboBoxtBaudrateIndexB"), "500kbps");
    EXPECT_TRUE(page.Checked("CheckBoxVandrelFilterEnable"));
    const std::vector<std::vector<std::string>> filters{{"CAN1", "Standard Frame", "0x00000100", "0x000007FF"},
                                                        {"", "Extend   Frame", "0x12345678", "0x1FFFFFFF"},
                                                        {"", "Standard Frame", "0x00000000", "0x00000000"}};
    EXPECT_EQ(page.Lists["ListViewVandrelFrameID"], filters);
}

TEST(ShowDeviceParameter, ShowingTwiceGivesTheSamePage) {
    TFakeParameterPage once, twice;
    ShowDeviceParameter(0, once, ExampleBlock());
    ShowDeviceParameter(0, twice, ExampleBlock());
    ShowDeviceParameter(0, twice, ExampleBlock());
    EXPECT_EQ(twice.Lists, once.Lists);
    EXPECT_EQ(twice.Lists["ListViewVandrelBasicInfo"].size(), 6u);
    EXPECT_EQ(twice.Edits, once.Edits);
    EXPECT_EQ(twice.Checks, once.Checks);
    EXPECT_EQ(twice.Enabled, once.Enabled);
}

struct OutOfRangeCase {
    std::size_t Offset;
    uint8_t Value;
    const char* Control;
};
class ShowOutOfRange : public testing::TestWithParam<OutOfRangeCase> {};

TEST_P(ShowOutOfRange, LeavesTheBoxWithoutSelection) {
    TParameterBlock b = ExampleBlock();
    b[GetParam().Offset] = GetParam().Value;
    TFakeParameterPage page;
    ShowDeviceParameter(0, page, b);
    EXPECT_EQ(page.ItemIndex(GetParam().Control), -1);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ShowOutOfRange,
    testing::Values(OutOfRangeCase{229, 0, "ComboBoxCANIDLen"}, OutOfRangeCase{229, 5, "ComboBoxCANIDLen"},
                    OutOfRangeCase{228, 8, "ComboBoxCANIDOffset"}, OutOfRangeCase{224, 3, "ComboBoxSwitchMode"},
                    OutOfRangeCase{198, 12, "ComboBoxUARTBuadrateIndex"}, OutOfRangeCase{202, 1, "ComboBoxFDStandard"},
                    OutOfRangeCase{203, 0xFF, "ComboBoxCANType"}));

TEST(ShowDeviceParameter, ListBitRateKeepsTheCustomWordTexts) {
    TFakeParameterPage page;
    page.Edits["EditBaudrateA"] = "DEADBEEF";
    ShowDeviceParameter(0, page, ExampleBlock());  // byte 210 = 0
    EXPECT_EQ(page.Text("EditBaudrateA"), "DEADBEEF");
    EXPECT_EQ(page.Text("EditBaudrateB"), "00008207");
}

TEST(ShowDeviceParameter, CustomBitRateChecksTheBoxAndKeepsListSelections) {
    TDeviceSettings s = DecodeParameterBlock(ExampleBlock());
    s.CustomBitRate = 1;
    s.CustomWordA = 0x00ABCDEF;
    s.CustomWordB = 0x80000001;
    TFakeParameterPage page;
    page.Combos["ComboBoxtBaudrateIndexA"].Index = 7;
    ShowDeviceParameter(0, page, EncodeParameterBlock(s));
    EXPECT_TRUE(page.Checked("CheckBoxBuadrateCustom"));
    EXPECT_TRUE(page.Enabled["EditBaudrateA"]);
    EXPECT_FALSE(page.Enabled["ComboBoxtBaudrateIndexA"]);
    EXPECT_EQ(page.Text("EditBaudrateA"), "00ABCDEF");
    EXPECT_EQ(page.Text("EditBaudrateB"), "80000001");
    EXPECT_EQ(page.ItemIndex("ComboBoxtBaudrateIndexA"), 7);
    EXPECT_EQ(page.ItemIndex("ComboBoxtBaudrateIndexB"), 0);
}

TEST(ShowDeviceParameter, ConversionModeRuleRunsLastOverTheFinishedPage) {
    TDeviceSettings s = DecodeParameterBlock(ExampleBlock());
    s.SwitchMode = 2;
    s.UARTFrameInterval = 40;
    TFakeParameterPage page;
    ShowDeviceParameter(0, page, EncodeParameterBlock(s));
    EXPECT_EQ(page.Journal.back(), "mode rule");
    EXPECT_EQ(page.Text("EditUARTFrameInterVal"), "40");
    EXPECT_FALSE(page.Enabled["EditUARTFrameInterVal"]);
}

TEST(ShowDeviceParameter, SetsFieldsInTheFixedOrder) {
    TFakeParameterPage page;
    ShowDeviceParameter(0, page, ExampleBlock());
    const char* order[] = {"clear ListViewVandrelBasicInfo", "index ComboBoxSwitchMode",
                           "index ComboBoxSwtichRoute",      "index ComboBoxCANIDOffset",
                           "index ComboBoxCANIDLen",         "text EditUARTFrameInterVal",
                           "text EditCANFrameInterval",      "check CheckBoxCANFrameInfoEnable",
                           "check CheckBoxCANIDInfoEnable",  "index ComboBoxUARTMode",
                           "index ComboBoxCANType",          "text EditCANID",
                           "index ComboBoxCANFrameType",     "index ComboBoxBitRateSwitch",
                           "check CheckBoxBuadrateCustom",   "check CheckBoxVandrelFilterEnable",
                           "clear ListViewVandrelFrameID",   "mode rule"};
    int last = -1;
    for (const char* step : order) {
        const int at = page.JournalPos(step);
        EXPECT_GT(at, last) << step;
        last = at;
    }
}

TEST(ShowDeviceParameter, CheckBoxClickRulesRunOnlyOnChange) {
    TFakeParameterPage page;
    TDeviceSettings s = DecodeParameterBlock(ExampleBlock());
    s.FilterEnable = 0;  // already clear on a fresh page
    ShowDeviceParameter(0, page, EncodeParameterBlock(s));
    EXPECT_EQ(page.JournalPos("click CheckBoxVandrelFilterEnable"), -1);
    EXPECT_NE(page.JournalPos("click CheckBoxCANFrameInfoEnable"), -1);
    EXPECT_FALSE(page.Enabled["ListViewVandrelFrameID"]);
}

TEST(ShowDeviceParameter, FilterCountZeroEmptiesTheList) {
    TFakeParameterPage page;
    page.Lists["ListViewVandrelFrameID"] = {{"CAN1", "Standard Frame", "0x00000000", "0x000007FF"}};
    TDeviceSettings s = DecodeParameterBlock(ExampleBlock());
    s.Filters.clear();
    ShowDeviceParameter(0, page, EncodeParameterBlock(s));
    EXPECT_TRUE(page.Lists["ListViewVandrelFrameID"].empty());
}

TEST(ShowDeviceParameter, FilterCountAboveSixteenShowsSixteenRows) {
    TParameterBlock b = ExampleBlock();
    b[196] = 200;
    TFakeParameterPage page;
    ShowDeviceParameter(0, page, b);
    EXPECT_EQ(page.Lists["ListViewVandrelFrameID"].size(), 16u);
}

TEST(ShowDeviceParameter, OtherPagesAreLeftAlone) {
    TFakeParameterPage page;
    ShowDeviceParameter(1, page, ExampleBlock());
    EXPECT_TRUE(page.Journal.empty());
}

}  // namespace
}  // namespace quorin

// ---- the read transaction over a pseudo-terminal against the virtual converter ---------

namespace quorin {
namespace {

using test::TConverterProcess;
using test::TRecordingButtons;

constexpr int32_t kPort = 5;

bool AllZero(const TParameterBlock& b) {
    return std::all_of(b.begin(), b.end(), [](uint8_t v) { return v == 0; });
}

TEST(ReadDeviceParameter, TakesTheConvertersBlockWithButtonsDisabledDuringTheWait) {
    TConverterProcess converter;
    ASSERT_TRUE(converter.Open(kPort));
    TRecordingButtons buttons;
    TParameterBlock block;
    block.fill(0x99);
    ASSERT_TRUE(ReadDeviceParameter({kPort, &buttons}, 0, block));
    EXPECT_TRUE(VerifyParameterChecksum(block.data(), block.size()));
    EXPECT_NE(block[1] | block[2], 0) << "the converter's vendor identifier";
    EXPECT_EQ(buttons.Calls, (std::vector<std::string>{"disable", "enable"}));
    EXPECT_EQ(converter.Received(), (std::vector<std::string>{"CC DD 00 00"}));
}

struct ReadFaultCase {
    const char* Fault;
    bool Succeeds;
    bool DestinationZero;  // on failure: nothing kept, or the bytes received kept
};
class ReadDeviceParameterFault : public testing::TestWithParam<ReadFaultCase> {};

TEST_P(ReadDeviceParameterFault, GivesTheOutcomeOfTheAnswer) {
    TConverterProcess converter({"--fault", GetParam().Fault});
    ASSERT_TRUE(converter.Open(kPort));
    TParameterBlock block;
    EXPECT_EQ(ReadDeviceParameter({kPort, nullptr}, 0, block), GetParam().Succeeds);
    if (!GetParam().Succeeds) {
        EXPECT_EQ(AllZero(block), GetParam().DestinationZero);
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, ReadDeviceParameterFault,
                         testing::Values(ReadFaultCase{"silent", false, true}, ReadFaultCase{"short", false, true},
                                         ReadFaultCase{"late", false, true}, ReadFaultCase{"long", true, false},
                                         ReadFaultCase{"checksum", false, false}, ReadFaultCase{"noise", false, false}),
                         [](const auto& info) { return std::string(info.param.Fault); });

TEST(ReadDeviceParameter, TailOfAnEarlierAnswerDoesNotDisturbTheNextRead) {
    TConverterProcess converter({"--fault", "long"});  // every answer leaves one byte behind
    ASSERT_TRUE(converter.Open(kPort));
    TParameterBlock first, second;
    ASSERT_TRUE(ReadDeviceParameter({kPort, nullptr}, 0, first));
    ASSERT_TRUE(ReadDeviceParameter({kPort, nullptr}, 0, second));
    EXPECT_EQ(first, second);
}

TEST(ReadDeviceParameter, UnsentRequestFailsAtOnceWithoutTouchingTheButtons) {
    TRecordingButtons buttons;
    TParameterBlock block;
    block.fill(0x99);
    EXPECT_FALSE(ReadDeviceParameter({kPort, &buttons}, 0, block));  // port not open
    EXPECT_TRUE(AllZero(block));
    EXPECT_TRUE(buttons.Calls.empty());
}

TEST(ReadDeviceParameter, DeliversExactlyTheBlockTheConverterHolds) {
    TConverterProcess converter;
    ASSERT_TRUE(converter.Open(kPort));
    TParameterBlock held = ExampleBlock();
    ASSERT_TRUE(converter.Set("block=" + TConverterProcess::Hex(held.data(), held.size())));
    TParameterBlock block;
    ASSERT_TRUE(ReadDeviceParameter({kPort, nullptr}, 0, block));
    EXPECT_EQ(block, held);
}

TEST(ReadDeviceParameter, SendsTheCommandByte) {
    TConverterProcess converter;
    ASSERT_TRUE(converter.Open(kPort));
    TParameterBlock block;
    ReadDeviceParameter({kPort, nullptr}, 1, block);
    EXPECT_EQ(converter.Received(), (std::vector<std::string>{"CC DD 01 00"}));
}

}  // namespace
}  // namespace quorin
