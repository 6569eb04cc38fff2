#include "link/CANConfigWriteParameter.h"

#include <functional>
#include <thread>

#include <gtest/gtest.h>

#include "forms/SysUtils.h"
#include "support/ConverterProcess.h"
#include "support/FakeParameterPage.h"
#include "support/RecordingButtons.h"

namespace quorin {
namespace {

using test::TFakeParameterPage;

std::vector<uint8_t> Bytes(const TParameterBlock& b, std::size_t from, std::size_t count) {
    return {b.begin() + from, b.begin() + from + count};
}

std::string ConversionMessage(const TFakeParameterPage& page) {
    try {
        CollectParameterBlock(0, page);
    } catch (const EConvertError& e) {
        return e.what();
    }
    return "no error";
}

TEST(WriteFrame, IsAABBCommandThenTheBlock) {
    TParameterBlock b{};
    for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<uint8_t>(i);
    const auto frame = WriteFrame(0, b);
    EXPECT_EQ(frame[0], 0xAA);
    EXPECT_EQ(frame[1], 0xBB);
    EXPECT_EQ(frame[2], 0x00);
    EXPECT_TRUE(std::equal(b.begin(), b.end(), frame.begin() + 3));
}

TEST(SameSettings, IgnoresChecksumAndIdentityButNotTheLastByte) {
    TParameterBlock sent{}, back{};
    for (std::size_t i = 0; i < 15; ++i) back[i] = 0xEE;
    EXPECT_TRUE(SameSettings(sent, back));
    back[239] = 1;
    EXPECT_FALSE(SameSettings(sent, back));
    back[239] = 0;
    back[15] = 1;
    EXPECT_FALSE(SameSettings(sent, back));
}

TEST(CollectParameterBlock, UnchangedWindowGivesTheDefaultSettings) {
    TFakeParameterPage page;
    EXPECT_EQ(CollectParameterBlock(0, page), EncodeParameterBlock(WindowDefaultSettings()));
}

TEST(CollectParameterBlock, TakesBackWhatWasShown) {
    TDeviceSettings s;
    s.FilterEnable = 1;
    s.Filters = {{1, 0, 0x100, 0x7FF}, {0, 1, 0x12345678, 0x1FFFFFFF}};
    s.UARTMode = 2;
    s.UARTBaudrate = 11;
    s.UARTStopBits = 1;
    s.UARTParity = 1;
    s.CANType = 1;
    s.CANID = 0x1ABCDEF0;
    s.CANFrameType = 1;
    s.BitRateSwitch = 1;
    s.CustomBitRate = 1;
    s.CustomWordA = 0x00050B2E;
    s.CustomWordB = 0xFFFFFFFF;
    s.SwitchMode = 2;
    s.SwitchRoute = 1;
    s.CANFrameInfoEnable = 1;
    s.CANIDInfoEnable = 1;
    s.CANIDOffset = 7;
    s.CANIDLen = 4;
    s.UARTFrameInterval = 100;
    s.CANFrameInterval = 0x7FFFFFFF;
    TFakeParameterPage page;
    ShowDeviceParameter(0, page, EncodeParameterBlock(s));
    EXPECT_EQ(CollectParameterBlock(0, page), EncodeParameterBlock(s));
}

struct CanIdCase {
    const char* Text;
    int FrameType;
    std::vector<uint8_t> Bytes;
};
class CollectCanId : public testing::TestWithParam<CanIdCase> {};

TEST_P(CollectCanId, IsMaskedByFrameTypeAndLittleEndian) {
    TFakeParameterPage page;
    page.Edits["EditCANID"] = GetParam().Text;
    page.Combos["ComboBoxCANFrameType"].Index = GetParam().FrameType;
    EXPECT_EQ(Bytes(CollectParameterBlock(0, page), 204, 4), GetParam().Bytes);
}

INSTANTIATE_TEST_SUITE_P(Texts, CollectCanId,
                         testing::Values(CanIdCase{"FFFFFFFF", 0, {0xFF, 0x07, 0, 0}},
                                         CanIdCase{"FFFFFFFF", 1, {0xFF, 0xFF, 0xFF, 0x1F}},
                                         CanIdCase{"12345678", 1, {0x78, 0x56, 0x34, 0x12}},
                                         CanIdCase{"abc", 0, {0xBC, 0x02, 0, 0}},
                                         CanIdCase{"FFFFFFFF", -1, {0xFF, 0xFF, 0xFF, 0x1F}}));

TEST(CollectParameterBlock, NegativeIntervalTravelsAsItsBitPattern) {
    TFakeParameterPage page;
    page.Edits["EditUARTFrameInterVal"] = "-1";
    page.Edits["EditCANFrameInterval"] = "$10";
    const TParameterBlock b = CollectParameterBlock(0, page);
    EXPECT_EQ(Bytes(b, 232, 8), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0x10, 0, 0, 0}));
}

// The device's intervals are unsigned: whatever a read shows there goes back unchanged.
struct IntervalCase {
    const char* Text;
    uint32_t Value;
};
class CollectInterval : public testing::TestWithParam<IntervalCase> {};

TEST_P(CollectInterval, TravelsAsUnsigned32Bits) {
    TFakeParameterPage page;
    page.Edits["EditUARTFrameInterVal"] = GetParam().Text;
    page.Edits["EditCANFrameInterval"] = GetParam().Text;
    const TParameterBlock b = CollectParameterBlock(0, page);
    EXPECT_EQ(GetLittleEndian32(b, 232), GetParam().Value);
    EXPECT_EQ(GetLittleEndian32(b, 236), GetParam().Value);
}

INSTANTIATE_TEST_SUITE_P(Texts, CollectInterval,
                         testing::Values(IntervalCase{"2147483647", 0x7FFFFFFF}, IntervalCase{"2147483648", 0x80000000},
                                         IntervalCase{"4294967295", 0xFFFFFFFF},
                                         IntervalCase{" +3000000000", 3000000000u}, IntervalCase{"0", 0}));

TEST(CollectParameterBlock, IntervalBeyond32BitsIsRefused) {
    for (const char* text : {"4294967296", "99999999999999999999", "-2147483649", "42949672950"}) {
        TFakeParameterPage page;
        page.Edits["EditCANFrameInterval"] = text;
        EXPECT_EQ(ConversionMessage(page), "'" + std::string(text) + "' is not a valid integer value") << text;
    }
}

TEST(CollectParameterBlock, NoSelectionTravelsAs0xFF) {
    TFakeParameterPage page;
    page.Combos["ComboBoxUARTMode"].Index = -1;
    page.Combos["ComboBoxSwtichRoute"].Index = -1;
    const TParameterBlock b = CollectParameterBlock(0, page);
    EXPECT_EQ(b[197], 0xFF);
    EXPECT_EQ(b[225], 0xFF);
    EXPECT_EQ(b[21], 1);  // any direction but 0 and 1 forwards CAN to serial only
    EXPECT_EQ(b[24], 0);
}

TEST(CollectParameterBlock, UncheckedCustomBitRateSendsZeroWordsWhateverTheEditsHold) {
    TFakeParameterPage page;
    page.Edits["EditBaudrateA"] = "not hex";
    page.Edits["EditBaudrateB"] = "";
    page.Combos["ComboBoxtBaudrateIndexA"].Index = 5;
    page.Combos["ComboBoxtBaudrateIndexB"].Index = 14;
    const TParameterBlock b = CollectParameterBlock(0, page);
    EXPECT_EQ(Bytes(b, 210, 14), (std::vector<uint8_t>{0, 5, 14, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(CollectParameterBlock, CheckedCustomBitRateSendsTheWordsAndNoIndexes) {
    TFakeParameterPage page;
    page.Checks["CheckBoxBuadrateCustom"] = true;
    page.Combos["ComboBoxtBaudrateIndexA"].Index = 5;
    const TParameterBlock b = CollectParameterBlock(0, page);
    EXPECT_EQ(Bytes(b, 210, 14),
              (std::vector<uint8_t>{1, 0, 0, 0, 0, 0, 0x2E, 0x0B, 0x05, 0x00, 0x07, 0x82, 0x00, 0x00}));
}

struct PortCase {
    const char* Caption;
    uint8_t Port;
};
class CollectFilterPort : public testing::TestWithParam<PortCase> {};

TEST_P(CollectFilterPort, MapsTheCaptionToAPortNumber) {
    TFakeParameterPage page;
    page.Lists["ListViewVandrelFrameID"] = {{GetParam().Caption, "Standard Frame", "0x00000001", "0x00000002"}};
    TDeviceSettings s;
    CollectFilterList(0, page, s);
    ASSERT_EQ(s.Filters.size(), 1u);
    EXPECT_EQ(s.Filters[0].Port, GetParam().Port);
}

INSTANTIATE_TEST_SUITE_P(Captions, CollectFilterPort,
                         testing::Values(PortCase{"CAN0", 0}, PortCase{"CAN1", 1}, PortCase{"CAN2", 2},
                                         PortCase{"Fiber0", 2}, PortCase{"CAN3", 3}, PortCase{"Fiber1", 3},
                                         PortCase{"", 0}, PortCase{"can1", 0}, PortCase{"CAN1 ", 0}));

TEST(CollectFilterList, AnyFrameTextButStandardMeansExtended) {
    TFakeParameterPage page;
    page.Checks["CheckBoxVandrelFilterEnable"] = true;
    page.Lists["ListViewVandrelFrameID"] = {{"CAN1", "Standard Frame", "0x12345678", "0x000007FF"},
                                            {"CAN1", "Standard  Frame", "0x0", "0x1"},
                                            {"CAN1", "Extend   Frame", "0x0", "0x1"}};
    const TParameterBlock b = CollectParameterBlock(0, page);
    EXPECT_EQ(b[35], 1);
    EXPECT_EQ(Bytes(b, 52, 4), (std::vector<uint8_t>{0, 1, 1, 0}));
    EXPECT_EQ(Bytes(b, 68, 4), (std::vector<uint8_t>{0x12, 0x34, 0x56, 0x78}));
    EXPECT_EQ(Bytes(b, 132, 4), (std::vector<uint8_t>{0, 0, 0x07, 0xFF}));
    EXPECT_EQ(b[196], 3);
}

TEST(CollectFilterList, SixteenRowsUseEverySlot) {
    TFakeParameterPage page;
    for (int i = 0; i < 16; ++i)
        page.Lists["ListViewVandrelFrameID"].push_back({"CAN1", "Extend   Frame", "0xFFFFFFFF", "0xFFFFFFFF"});
    const TParameterBlock b = CollectParameterBlock(0, page);
    EXPECT_EQ(Bytes(b, 36, 160), [] {
        std::vector<uint8_t> v(16, 1);
        v.resize(32, 1);
        v.resize(160, 0xFF);
        return v;
    }());
    EXPECT_EQ(b[196], 16);
}

// Each case spoils some fields; the one reported is the first in collecting order.
struct BadFieldCase {
    const char* Name;
    std::function<void(TFakeParameterPage&)> Spoil;
    const char* Message;
};
class CollectFirstBadField : public testing::TestWithParam<BadFieldCase> {};

TEST_P(CollectFirstBadField, IsTheOneReported) {
    TFakeParameterPage page;
    GetParam().Spoil(page);
    EXPECT_EQ(ConversionMessage(page), GetParam().Message);
}

void BadFilter(TFakeParameterPage& p) {
    p.Lists["ListViewVandrelFrameID"] = {{"CAN1", "Standard Frame", "0x1G", "0x2"}};
}
void BadCustom(TFakeParameterPage& p) {
    p.Checks["CheckBoxBuadrateCustom"] = true;
    p.Edits["EditBaudrateB"] = "0x5";
}

INSTANTIATE_TEST_SUITE_P(
    Fields, CollectFirstBadField,
    testing::Values(BadFieldCase{"EmptyCanId", [](auto& p) { p.Edits["EditCANID"] = ""; },
                                 "'0x' is not a valid integer value"},
                    BadFieldCase{"NoIdLength", [](auto& p) { p.Combos["ComboBoxCANIDLen"].Index = -1; },
                                 "'' is not a valid integer value"},
                    BadFieldCase{"OffsetBeforeInterval",
                                 [](auto& p) {
                                     p.Combos["ComboBoxCANIDOffset"].Index = -1;
                                     p.Edits["EditUARTFrameInterVal"] = "x";
                                 },
                                 "'' is not a valid integer value"},
                    BadFieldCase{"SerialIntervalBeforeCanInterval",
                                 [](auto& p) {
                                     p.Edits["EditUARTFrameInterVal"] = "1 0";
                                     p.Edits["EditCANFrameInterval"] = "";
                                 },
                                 "'1 0' is not a valid integer value"},
                    BadFieldCase{"HiddenIntervalBeforeCanId",
                                 [](auto& p) {
                                     p.Edits["EditCANFrameInterval"] = "4294967296";
                                     p.Edits["EditCANID"] = "zz";
                                 },
                                 "'4294967296' is not a valid integer value"},
                    BadFieldCase{"CanIdBeforeCustomWords",
                                 [](auto& p) {
                                     p.Edits["EditCANID"] = "$1";
                                     BadCustom(p);
                                 },
                                 "'0x$1' is not a valid integer value"},
                    BadFieldCase{"CustomWordBeforeFilter",
                                 [](auto& p) {
                                     BadCustom(p);
                                     BadFilter(p);
                                 },
                                 "'0x0x5' is not a valid integer value"},
                    BadFieldCase{"FilterStartIdentifier", BadFilter, "'0x1G' is not a valid integer value"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(CollectParameterBlock, OtherPagesGiveAnEmptyBlock) {
    TFakeParameterPage page;
    page.Edits["EditCANID"] = "";
    EXPECT_EQ(CollectParameterBlock(1, page), TParameterBlock{});
}

}  // namespace
}  // namespace quorin

// ---- the write transaction over a pseudo-terminal against the virtual converter --------

namespace quorin {
namespace {

using test::TConverterProcess;
using test::TRecordingButtons;

constexpr int32_t kPort = 6;

TParameterBlock SomeSettings() {
    TDeviceSettings s = WindowDefaultSettings();
    s.CANFrameInterval = 77;
    s.CANID = 0x123;
    s.Filters = {{1, 0, 0x100, 0x200}};
    return EncodeParameterBlock(s);
}

TEST(WriteDeviceParameter, SendsTheFrameAndConfirmsByReadBack) {
    TConverterProcess converter;
    ASSERT_TRUE(converter.Open(kPort));
    TRecordingButtons buttons;
    TParameterBlock block = SomeSettings();
    block[0] = 0;  // the transaction sets the checksum itself
    EXPECT_EQ(WriteDeviceParameter({kPort, &buttons}, 0, block), TWriteOutcome::Success);
    EXPECT_TRUE(VerifyParameterChecksum(block.data(), block.size()));
    const auto frame = WriteFrame(0, block);
    EXPECT_EQ(converter.Received(),
              (std::vector<std::string>{TConverterProcess::Hex(frame.data(), frame.size()), "CC DD 00 00"}));
    // One pause after the frame, one inside the read-back.
    EXPECT_EQ(buttons.Calls, (std::vector<std::string>{"disable", "enable", "disable", "enable"}));

    TParameterBlock stored;
    ASSERT_TRUE(ReadDeviceParameter({kPort, nullptr}, 0, stored));
    EXPECT_TRUE(SameSettings(block, stored));
    EXPECT_NE(stored[1] | stored[2], 0) << "the converter keeps its own identity";
}

struct WriteFaultCase {
    const char* Fault;
    TWriteOutcome Outcome;
};
class WriteDeviceParameterFault : public testing::TestWithParam<WriteFaultCase> {};

TEST_P(WriteDeviceParameterFault, GivesTheOutcome) {
    TConverterProcess converter({"--fault", GetParam().Fault});
    ASSERT_TRUE(converter.Open(kPort));
    TParameterBlock block = SomeSettings();
    EXPECT_EQ(WriteDeviceParameter({kPort, nullptr}, 0, block), GetParam().Outcome);
}

INSTANTIATE_TEST_SUITE_P(Faults, WriteDeviceParameterFault,
                         testing::Values(WriteFaultCase{"corrupt", TWriteOutcome::Mismatch},
                                         WriteFaultCase{"silent", TWriteOutcome::ReadbackFailed},
                                         WriteFaultCase{"short", TWriteOutcome::ReadbackFailed},
                                         WriteFaultCase{"checksum", TWriteOutcome::ReadbackFailed},
                                         WriteFaultCase{"noise", TWriteOutcome::ReadbackFailed},
                                         WriteFaultCase{"long", TWriteOutcome::Success}),
                         [](const auto& info) { return std::string(info.param.Fault); });

TEST(WriteDeviceParameter, UnsentFrameFailsAtOnceWithoutTouchingTheButtons) {
    TRecordingButtons buttons;
    TParameterBlock block = SomeSettings();
    EXPECT_EQ(WriteDeviceParameter({kPort, &buttons}, 0, block), TWriteOutcome::SentFailed);
    EXPECT_TRUE(buttons.Calls.empty());
}

TEST(CollectDeviceParameter, WritesThePageAndTheConverterKeepsIt) {
    TConverterProcess converter;
    ASSERT_TRUE(converter.Open(kPort));
    TFakeParameterPage page;
    page.Edits["EditCANID"] = "FFFFFFFF";
    page.Combos["ComboBoxSwtichRoute"].Index = 2;
    page.Checks["CheckBoxVandrelFilterEnable"] = true;
    page.Lists["ListViewVandrelFrameID"] = {{"CAN1", "Extend   Frame", "0x00000010", "0x1FFFFFFF"}};
    EXPECT_EQ(CollectDeviceParameter(0, page, {kPort, nullptr}), TWriteOutcome::Success);

    TParameterBlock stored;
    ASSERT_TRUE(ReadDeviceParameter({kPort, nullptr}, 0, stored));
    TFakeParameterPage shown;
    ShowDeviceParameter(0, shown, stored);
    EXPECT_EQ(shown.Text("EditCANID"), "000007FF");
    EXPECT_EQ(shown.ItemIndex("ComboBoxSwtichRoute"), 2);
    EXPECT_EQ(shown.Lists["ListViewVandrelFrameID"], page.Lists["ListViewVandrelFrameID"]);
    EXPECT_EQ(stored[21], 1);
    EXPECT_EQ(stored[24], 0);
}

TEST(CollectDeviceParameter, ConversionErrorSendsNothing) {
    TConverterProcess converter;
    ASSERT_TRUE(converter.Open(kPort));
    TFakeParameterPage page;
    page.Edits["EditCANID"] = "";
    EXPECT_THROW(CollectDeviceParameter(0, page, {kPort, nullptr}), EConvertError);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(converter.Received().empty());
}

}  // namespace
}  // namespace quorin
