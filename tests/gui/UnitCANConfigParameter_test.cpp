// The Read and Write buttons end to end: the real CANConfig.exe under Wine, talking to a
// virtual converter that the test set-up publishes as COM3, with the converter's block,
// faults and frame log driven and read from here. Message boxes are real and answered.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "support/GuiHarness.h"
#include "support/RealInput.h"
#include "support/VirtualConverter.h"

namespace quorin::gui {
namespace {

constexpr int kPort = 3;

using Bytes = std::vector<uint8_t>;

std::string Hex(const Bytes& bytes) {
    std::string text;
    char digits[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(digits, sizeof digits, i ? " %02X" : "%02X", bytes[i]);
        text += digits;
    }
    return text;
}

uint8_t Checksum(const Bytes& block) {
    uint8_t sum = 0;
    for (std::size_t i = 1; i < block.size(); ++i)
        sum = static_cast<uint8_t>(sum + (block[i] & 0x0F) + (block[i] >> 4));
    return static_cast<uint8_t>(~sum);
}

void PutLE32(Bytes& b, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
void PutBE32(Bytes& b, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

// The block a freshly started window sends, built here byte by byte so the test does not
// lean on the program's own encoder.
Bytes DefaultWindowBlock() {
    Bytes b(240, 0);
    b[21] = b[24] = 1;  // both directions
    b[32] = b[33] = 1;  // port flags 0 1 1 0
    b[198] = 3;         // 9600
    b[199] = 1;         // 8 data bits
    b[229] = 1;         // identifier length "1"
    return b;
}

// A block as a converter may hold it: the identity of the example and settings that
// touch every control of the page.
Bytes RichDeviceBlock() {
    Bytes b(240, 0);
    const uint8_t identity[14] = {0x00, 0x01, 0x00, 0x02, 0, 0, 0x00, 0x01, 0x00, 0x0A, 0x12, 0x34, 0xAB, 0xCD};
    std::copy(identity, identity + 14, b.begin() + 1);
    b[21] = 1;
    b[32] = b[33] = 1;
    b[35] = 1;  // filters on, two entries
    b[36] = 1;
    b[52] = 0;
    PutBE32(b, 68, 0x00000100);
    PutBE32(b, 132, 0x000007FF);
    b[37] = 0;
    b[53] = 1;
    PutBE32(b, 72, 0x12345678);
    PutBE32(b, 136, 0x1FFFFFFF);
    b[196] = 2;
    b[197] = 1;  // RS485
    b[198] = 8;  // 115200
    b[199] = 0;  // 7 data bits
    b[200] = 1;  // 2 stop bits
    b[201] = 2;  // even parity
    b[203] = 1;  // CANFD
    PutLE32(b, 204, 0x0000ABCD);
    b[208] = 1;  // extended
    b[209] = 1;  // bit-rate switch on
    b[210] = 1;  // custom bit rate
    PutLE32(b, 216, 0x00ABCDEF);
    PutLE32(b, 220, 0x80000001);
    b[224] = 1;  // conversion with identifier
    b[225] = 2;  // CAN to serial only
    b[226] = 1;
    b[227] = 0;
    b[228] = 5;
    b[229] = 3;
    PutLE32(b, 232, 0xFFFFFFFF);
    PutLE32(b, 236, 25);
    b[0] = Checksum(b);
    return b;
}

// A block that sets every field the page shows and takes back, each away from its default
// where the page can hold another value: 16 filters of both ports and frame types, the
// custom bit-rate words, the largest offset and length, intervals in decimal.
Bytes EveryFieldBlock() {
    Bytes b(240, 0);
    const uint8_t identity[14] = {0x00, 0x01, 0x00, 0x02, 0, 0, 0x00, 0x01, 0x00, 0x0A, 0x12, 0x34, 0xAB, 0xCD};
    std::copy(identity, identity + 14, b.begin() + 1);
    b[24] = 1;          // serial to CAN only
    b[32] = b[33] = 1;  // port flags
    b[35] = 1;
    for (std::size_t i = 0; i < 16; ++i) {
        b[36 + i] = i % 2;        // CAN0 comes back as an empty caption, written as 0
        b[52 + i] = (i / 2) % 2;  // extended frames in every other pair
        const uint32_t start = b[52 + i] ? 0x10000000u * (i % 16) + 0x00ABCDE0u + i : 0x100u + 0x10u * i;
        PutBE32(b, 68 + 4 * i, start);
        PutBE32(b, 132 + 4 * i, start + (b[52 + i] ? 0x0FFFu : 0x0Fu));
    }
    b[196] = 16;
    b[197] = 2;   // RS422
    b[198] = 11;  // 921600
    b[199] = 1;
    b[200] = 1;
    b[201] = 1;
    b[203] = 1;  // CANFD
    PutLE32(b, 204, 0x1ABCDEF5);
    b[208] = 1;
    b[209] = 1;
    b[210] = 1;
    PutLE32(b, 216, 0x00ABCDEF);
    PutLE32(b, 220, 0x80000001);
    b[224] = 1;
    b[225] = 1;
    b[226] = 1;
    b[227] = 1;
    b[228] = 7;
    b[229] = 4;
    PutLE32(b, 232, 0x12345678);
    PutLE32(b, 236, 0x7FFFFFFF);  // the largest the decimal edit takes back
    b[0] = Checksum(b);
    return b;
}

// Everything the page shows, for comparing two states of the window.
std::map<std::string, std::string> PageSnapshot(const RunningApp& app) {
    std::map<std::string, std::string> s;
    for (const char* combo :
         {"ComboBoxSwitchMode", "ComboBoxSwtichRoute", "ComboBoxCANIDOffset", "ComboBoxCANIDLen", "ComboBoxUARTMode",
          "ComboBoxUARTBuadrateIndex", "ComboBoxUARTDataBitIndex", "ComboBoxUARTStopBitIndex",
          "ComboBoxUARTParityBitIndex", "ComboBoxFDStandard", "ComboBoxCANType", "ComboBoxCANFrameType",
          "ComboBoxBitRateSwitch", "ComboBoxtBaudrateIndexA", "ComboBoxtBaudrateIndexB"})
        s[combo] = std::to_string(app.ComboIndex(combo)) + (app.Enabled(combo) ? " on" : " off");
    for (const char* edit :
         {"EditUARTFrameInterVal", "EditCANFrameInterval", "EditCANID", "EditBaudrateA", "EditBaudrateB"})
        s[edit] = app.Text(edit) + (app.Enabled(edit) ? " on" : " off");
    for (const char* check : {"CheckBoxCANFrameInfoEnable", "CheckBoxCANIDInfoEnable", "CheckBoxBuadrateCustom",
                              "CheckBoxVandrelFilterEnable"})
        s[check] = std::string(app.Checked(check) ? "checked" : "clear") + (app.Enabled(check) ? " on" : " off");
    for (const char* list : {"ListViewVandrelBasicInfo", "ListViewVandrelFrameID"}) {
        std::string rows;
        for (const auto& row : app.ListRows(list)) {
            for (const auto& cell : row) rows += cell + "|";
            rows += "\n";
        }
        s[list] = rows + (app.Enabled(list) ? " on" : " off");
    }
    s["status"] = app.StatusPanelText("StatusBar1", 1);
    return s;
}

class ParameterButtons : public ::testing::Test {
protected:
    void SetUp() override {
        if (!converter.Running()) GTEST_SKIP() << "no virtual converter on COM3 (tools/vconv-ports.sh start)";
    }

    // Starts the program with the converter holding `block` and opens COM3.
    void StartAndOpen(const Bytes& block = {}) {
        ASSERT_TRUE(converter.Reset());
        if (!block.empty()) {
            ASSERT_TRUE(converter.SetBlock(block));
        }
        converter.MarkLog();
        app = std::make_unique<RunningApp>();
        ASSERT_TRUE(app->Started()) << app->Failure();
        ASSERT_TRUE(app->SelectComboText("ComboBoxCommIndex", "COM3"));
        ASSERT_TRUE(app->Click("ButtonOpenRS232"));
        ASSERT_EQ(app->Text("ButtonOpenRS232"), "关闭串口");
    }

    // The message box a failed command shows; answered with OK.
    void ExpectWarning(const std::string& text, const std::string& caption) {
        auto box = app->WaitMessageBox(10000);
        ASSERT_TRUE(box) << "no message box";
        EXPECT_EQ(box->caption, caption);
        EXPECT_EQ(box->text, text);
        app->PressButton(*box, IDOK);
        EXPECT_TRUE(WaitUntil([&] { return !app->CurrentMessageBox(); }));
    }

    // The frames the converter received since the program started ("CC DD 00 00", ...).
    std::vector<std::string> Received() const {
        std::vector<std::string> frames;
        for (const auto& f : converter.FramesSinceMark())
            if (f.rfind("RX ", 0) == 0) frames.push_back(f.substr(3));
        return frames;
    }

    std::string WriteFrameSent() const {
        for (const auto& f : Received())
            if (f.rfind("AA BB", 0) == 0) return f;
        return {};
    }

    static std::string ExpectedFrame(Bytes block) {
        block[0] = Checksum(block);
        Bytes frame = {0xAA, 0xBB, 0x00};
        frame.insert(frame.end(), block.begin(), block.end());
        return Hex(frame);
    }

    VirtualConverter converter{kPort};
    std::unique_ptr<RunningApp> app;
};

TEST_F(ParameterButtons, ReadFillsThePageAndAppliesItsRules) {
    StartAndOpen(RichDeviceBlock());
    const DWORD start = GetTickCount();
    ASSERT_TRUE(app->Click("ButtonReadParameter"));
    std::printf("read took %lu ms\n", GetTickCount() - start);
    EXPECT_EQ(app->StatusPanelText("StatusBar1", 1), "Read device parameter succeed!");
    EXPECT_EQ(Received(), (std::vector<std::string>{"CC DD 00 00"}));

    const std::vector<std::vector<std::string>> identity{
        {"Vendor ID", "0x0001"},   {"Product Type", "0002 Series"}, {"Product Code", "QUORIN-Q1"},
        {"Hardware Version", "1"}, {"Firmware Version", "10"},      {"Serial Number", "12-34-AB-CD"}};
    EXPECT_EQ(app->ListRows("ListViewVandrelBasicInfo"), identity);

    EXPECT_EQ(app->ComboIndex("ComboBoxSwitchMode"), 1);
    EXPECT_EQ(app->ComboIndex("ComboBoxSwtichRoute"), 2);
    EXPECT_EQ(app->Text("ComboBoxCANIDOffset"), "5");
    EXPECT_EQ(app->Text("ComboBoxCANIDLen"), "3");
    EXPECT_EQ(app->Text("EditUARTFrameInterVal"), "4294967295");
    EXPECT_EQ(app->Text("EditCANFrameInterval"), "25");
    EXPECT_TRUE(app->Checked("CheckBoxCANFrameInfoEnable"));
    EXPECT_FALSE(app->Checked("CheckBoxCANIDInfoEnable"));
    EXPECT_EQ(app->Text("ComboBoxUARTMode"), "RS485");
    EXPECT_EQ(app->Text("ComboBoxUARTBuadrateIndex"), "115200");
    EXPECT_EQ(app->Text("ComboBoxUARTDataBitIndex"), "7");
    EXPECT_EQ(app->Text("ComboBoxUARTStopBitIndex"), "2");
    EXPECT_EQ(app->Text("ComboBoxUARTParityBitIndex"), "偶校验");
    EXPECT_EQ(app->Text("ComboBoxCANType"), "CANFD");
    EXPECT_EQ(app->Text("EditCANID"), "0000ABCD");
    EXPECT_EQ(app->Text("ComboBoxCANFrameType"), "扩展帧");
    EXPECT_EQ(app->Text("ComboBoxBitRateSwitch"), "是");
    EXPECT_EQ(app->Text("EditBaudrateA"), "00ABCDEF");
    EXPECT_EQ(app->Text("EditBaudrateB"), "80000001");
    const std::vector<std::vector<std::string>> filters{{"CAN1", "Standard Frame", "0x00000100", "0x000007FF"},
                                                        {"", "Extend   Frame", "0x12345678", "0x1FFFFFFF"}};
    EXPECT_EQ(app->ListRows("ListViewVandrelFrameID"), filters);

    // The custom bit-rate rule ran through the check box.
    EXPECT_TRUE(app->Checked("CheckBoxBuadrateCustom"));
    EXPECT_TRUE(app->Enabled("EditBaudrateA"));
    EXPECT_FALSE(app->Enabled("ComboBoxtBaudrateIndexA"));
    // The filter rule ran through the filter check box.
    EXPECT_TRUE(app->Checked("CheckBoxVandrelFilterEnable"));
    EXPECT_TRUE(app->Enabled("ListViewVandrelFrameID"));
    EXPECT_TRUE(app->Enabled("ButtonVandrelFilterIDAdd"));
    // The conversion-mode rule ran last (mode 1).
    EXPECT_TRUE(app->Enabled("ComboBoxCANIDOffset"));
    EXPECT_FALSE(app->Enabled("CheckBoxCANFrameInfoEnable"));

    const auto once = PageSnapshot(*app);
    ASSERT_TRUE(app->Click("ButtonReadParameter"));
    EXPECT_EQ(PageSnapshot(*app), once);

    // The filled pages, for a person to look at.
    const std::string dir = std::string(QUORIN_BINARY_DIR) + "/screenshots/";
    for (int page : {0, 1, 2, 3, 4}) {
        ASSERT_TRUE(app->SelectTab("PageControlQUORINQ1", page));
        Sleep(200);
        EXPECT_TRUE(SaveWindowPng(app->MainWindow(), dir + "ParameterRead-page" + std::to_string(page) + ".png"));
    }
}

// XON (0x11) and XOFF (0x13) in every kind of field the page carries: the identity, the
// filter identifiers, the CAN identifier, both bit-rate words, both intervals, and the
// checksum. The converters' lines start as the kernel makes them, with XON/XOFF on.
Bytes FlowControlBlock() {
    Bytes b = EveryFieldBlock();
    const uint8_t identity[14] = {0x11, 0x13, 0x13, 0x11, 0, 0, 0x11, 0x13, 0x13, 0x11, 0x11, 0x13, 0x11, 0x13};
    std::copy(identity, identity + 14, b.begin() + 1);
    for (std::size_t i = 0; i < 16; ++i) {
        b[52 + i] = 1;  // extended frames
        PutBE32(b, 68 + 4 * i, 0x11131100u + static_cast<uint32_t>(i));
        PutBE32(b, 132 + 4 * i, 0x13111300u + static_cast<uint32_t>(i));
    }
    PutLE32(b, 204, 0x13111311);
    PutLE32(b, 216, 0x00131113);
    PutLE32(b, 232, 0x13111311);
    PutLE32(b, 236, 0x11131113);
    // The last free word is tuned until the checksum is XOFF too.
    for (uint32_t w = 0; w < 0x10000; ++w) {
        PutLE32(b, 220, 0x80110000u | w);
        if (Checksum(b) == 0x13) break;
    }
    b[0] = Checksum(b);
    return b;
}

class ParameterBlocks : public ParameterButtons, public ::testing::WithParamInterface<Bytes (*)()> {};

TEST_P(ParameterBlocks, ABlockReadAndWrittenBackReachesTheDeviceUnchanged) {
    const Bytes block = GetParam()();
    ASSERT_EQ(block[0], Checksum(block));
    StartAndOpen(block);
    ASSERT_TRUE(app->Click("ButtonReadParameter"));
    ASSERT_EQ(app->StatusPanelText("StatusBar1", 1), "Read device parameter succeed!");
    ASSERT_EQ(app->ListRows("ListViewVandrelFrameID").size(), 16u);
    ASSERT_TRUE(app->Click("ButtonWriteParameter"));
    EXPECT_EQ(app->StatusPanelText("StatusBar1", 1), "Write device parameter Succeed!");
    EXPECT_FALSE(app->CurrentMessageBox());
    const std::string frame = WriteFrameSent();
    const std::size_t settings = (3 + 15) * 3;  // "AA BB 00 " and bytes 0 to 14
    ASSERT_GT(frame.size(), settings);
    EXPECT_EQ(frame.substr(settings), Hex(Bytes(block.begin() + 15, block.end())));
}

INSTANTIATE_TEST_SUITE_P(Blocks, ParameterBlocks, ::testing::Values(&EveryFieldBlock, &FlowControlBlock),
                         [](const auto& info) { return info.index == 0 ? "EveryField" : "XonXoffEverywhere"; });

TEST_F(ParameterButtons, ReadWithFlagsClearSwitchesTheRulesBack) {
    StartAndOpen(RichDeviceBlock());
    ASSERT_TRUE(app->Click("ButtonReadParameter"));
    ASSERT_TRUE(app->Checked("CheckBoxBuadrateCustom"));

    Bytes plain = RichDeviceBlock();
    plain[35] = 0;   // filters off
    plain[196] = 0;  // no entries
    plain[210] = 0;  // the two lists
    plain[211] = 3;
    plain[212] = 8;
    plain[224] = 2;  // format conversion
    plain[0] = Checksum(plain);
    ASSERT_TRUE(converter.SetBlock(plain));
    ASSERT_TRUE(app->Click("ButtonReadParameter"));
    EXPECT_FALSE(app->Checked("CheckBoxBuadrateCustom"));
    EXPECT_FALSE(app->Enabled("EditBaudrateA"));
    EXPECT_TRUE(app->Enabled("ComboBoxtBaudrateIndexA"));
    EXPECT_EQ(app->Text("ComboBoxtBaudrateIndexA"), "500Kbps");
    EXPECT_EQ(app->Text("ComboBoxtBaudrateIndexB"), "500kbps");
    EXPECT_EQ(app->Text("EditBaudrateA"), "00ABCDEF") << "the unused words keep their texts";
    EXPECT_TRUE(app->ListRows("ListViewVandrelFrameID").empty());
    EXPECT_FALSE(app->Enabled("ListViewVandrelFrameID"));
    EXPECT_EQ(app->Text("EditUARTFrameInterVal"), "4294967295");
    EXPECT_FALSE(app->Enabled("EditUARTFrameInterVal")) << "mode 2 disables the serial interval";
}

TEST_F(ParameterButtons, WriteOfAnUntouchedWindowSendsTheDefaultBlock) {
    StartAndOpen();
    const DWORD start = GetTickCount();
    ASSERT_TRUE(app->Click("ButtonWriteParameter"));
    std::printf("write took %lu ms\n", GetTickCount() - start);
    EXPECT_EQ(app->StatusPanelText("StatusBar1", 1), "Write device parameter Succeed!");
    EXPECT_FALSE(app->CurrentMessageBox());
    EXPECT_EQ(WriteFrameSent(), ExpectedFrame(DefaultWindowBlock()));
    EXPECT_EQ(Received().back(), "CC DD 00 00") << "the read-back";
}

TEST_F(ParameterButtons, WriteSendsTheEditedPageByteForByte) {
    StartAndOpen();
    ASSERT_TRUE(app->SelectTab("PageControlQUORINQ1", 3));
    ASSERT_TRUE(app->SetText("EditCANID", "FFFFFFFF"));
    ASSERT_TRUE(app->SelectComboIndex("ComboBoxCANType", 1));
    ASSERT_TRUE(app->SelectComboIndex("ComboBoxBitRateSwitch", 1));
    ASSERT_TRUE(app->SelectComboIndex("ComboBoxtBaudrateIndexA", 5));
    ASSERT_TRUE(app->SelectComboIndex("ComboBoxtBaudrateIndexB", 4));
    ASSERT_TRUE(app->SelectTab("PageControlQUORINQ1", 1));
    ASSERT_TRUE(app->SelectComboIndex("ComboBoxSwtichRoute", 2));
    ASSERT_TRUE(app->SelectComboIndex("ComboBoxSwitchMode", 1));
    ASSERT_TRUE(app->SelectComboIndex("ComboBoxCANIDOffset", 7));
    ASSERT_TRUE(app->SelectComboIndex("ComboBoxCANIDLen", 3));
    ASSERT_TRUE(app->SetText("EditUARTFrameInterVal", "-1"));
    ASSERT_TRUE(app->SelectTab("PageControlQUORINQ1", 2));
    ASSERT_TRUE(app->SelectComboIndex("ComboBoxUARTMode", 2));
    ASSERT_TRUE(app->SelectComboIndex("ComboBoxUARTBuadrateIndex", 11));

    ASSERT_TRUE(app->Click("ButtonWriteParameter"));
    EXPECT_EQ(app->StatusPanelText("StatusBar1", 1), "Write device parameter Succeed!");

    Bytes b = DefaultWindowBlock();
    b[21] = 1;
    b[24] = 0;  // CAN to serial only
    b[197] = 2;
    b[198] = 11;
    b[203] = 1;
    PutLE32(b, 204, 0x7FF);  // standard frames keep 11 bits
    b[209] = 1;
    b[211] = 5;
    b[212] = 4;
    b[224] = 1;
    b[225] = 2;
    b[228] = 7;
    b[229] = 4;
    PutLE32(b, 232, 0xFFFFFFFF);
    EXPECT_EQ(WriteFrameSent(), ExpectedFrame(b));
}

TEST_F(ParameterButtons, WriteWithCustomBitRateSendsTheWordsAndFilters) {
    StartAndOpen();
    ASSERT_TRUE(app->SelectTab("PageControlQUORINQ1", 3));
    ASSERT_TRUE(app->Click("CheckBoxBuadrateCustom"));
    ASSERT_TRUE(app->SetText("EditBaudrateA", "00050B2E"));
    ASSERT_TRUE(app->SetText("EditBaudrateB", "ffffffff"));
    ASSERT_TRUE(app->SelectTab("PageControlQUORINQ1", 4));
    ASSERT_TRUE(app->Click("CheckBoxVandrelFilterEnable"));
    ASSERT_TRUE(app->SetText("EditVandrelStartID", "100"));
    ASSERT_TRUE(app->SetText("EditVandrelEndID", "7FF"));
    ASSERT_TRUE(app->Click("ButtonVandrelFilterIDAdd"));
    ASSERT_EQ(app->ListRows("ListViewVandrelFrameID").size(), 1u);

    ASSERT_TRUE(app->Click("ButtonWriteParameter"));
    EXPECT_EQ(app->StatusPanelText("StatusBar1", 1), "Write device parameter Succeed!");
    Bytes b = DefaultWindowBlock();
    b[35] = 1;
    b[36] = 1;  // CAN1
    PutBE32(b, 68, 0x100);
    PutBE32(b, 132, 0x7FF);
    b[196] = 1;
    b[210] = 1;
    PutLE32(b, 216, 0x00050B2E);
    PutLE32(b, 220, 0xFFFFFFFF);
    EXPECT_EQ(WriteFrameSent(), ExpectedFrame(b));
}

// Clicks given while the window waits for the device are not kept for later: a second
// click on Read during a read starts no second read.
TEST_F(ParameterButtons, ClicksDuringTheWaitAreDropped) {
    StartAndOpen();
    HWND read = app->Window("ButtonReadParameter");
    RECT r{};
    ASSERT_TRUE(GetWindowRect(read, &r));
    ASSERT_TRUE(app->ClickAsync("ButtonReadParameter"));
    Sleep(100);  // the program now sleeps through its 300 ms wait
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    INPUT clicks[4] = {};
    for (auto& in : clicks) in.type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = clicks[2].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = clicks[3].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(4, clicks, sizeof(INPUT)), 4u);
    ASSERT_TRUE(WaitUntil([&] { return app->StatusPanelText("StatusBar1", 1) == "Read device parameter succeed!"; }));
    Sleep(1000);
    EXPECT_EQ(Received(), (std::vector<std::string>{"CC DD 00 00"}));
}

// Read and Write disable the button that has the focus while they wait; the focus comes
// back to it, so the next key press from the operator still lands there.
TEST_F(ParameterButtons, TheFocusComesBackToTheButtonAfterReadAndWrite) {
    StartAndOpen();
    auto focus = [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(GetWindowThreadProcessId(app->MainWindow(), nullptr), &info) ? info.hwndFocus : nullptr;
    };
    auto reads = [&] {
        std::size_t n = 0;
        for (const auto& f : Received()) n += f == "CC DD 00 00";
        return n;
    };
    HWND read = app->Window("ButtonReadParameter");
    RECT r{};
    ASSERT_TRUE(GetWindowRect(read, &r));
    MouseClick((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ASSERT_TRUE(WaitUntil([&] { return app->StatusPanelText("StatusBar1", 1) == "Read device parameter succeed!"; }));
    EXPECT_TRUE(WaitUntil([&] { return focus() == read; })) << focus();
    // The space bar starts the next read from where the focus is.
    Keys("space");
    EXPECT_TRUE(WaitUntil([&] { return reads() == 2; }, 5000)) << reads();
    EXPECT_TRUE(WaitUntil([&] { return focus() == read; })) << focus();

    HWND write = app->Window("ButtonWriteParameter");
    ASSERT_TRUE(GetWindowRect(write, &r));
    MouseClick((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ASSERT_TRUE(
        WaitUntil([&] { return app->StatusPanelText("StatusBar1", 1) == "Write device parameter Succeed!"; }, 10000));
    EXPECT_TRUE(WaitUntil([&] { return focus() == write; })) << focus();
}

TEST_F(ParameterButtons, ClearedCustomBitRateSendsZeroWordsWhateverTheEditsHold) {
    StartAndOpen();
    ASSERT_TRUE(app->SelectTab("PageControlQUORINQ1", 3));
    ASSERT_TRUE(app->Click("CheckBoxBuadrateCustom"));
    ASSERT_TRUE(app->SetText("EditBaudrateA", "not hex at all"));
    ASSERT_TRUE(app->SetText("EditBaudrateB", "12345678"));
    ASSERT_TRUE(app->Click("CheckBoxBuadrateCustom"));
    ASSERT_FALSE(app->Enabled("EditBaudrateA"));

    ASSERT_TRUE(app->Click("ButtonWriteParameter"));
    EXPECT_EQ(app->StatusPanelText("StatusBar1", 1), "Write device parameter Succeed!");
    EXPECT_EQ(WriteFrameSent(), ExpectedFrame(DefaultWindowBlock())) << "bytes 216 to 223 stay zero";
}

// The device's intervals are unsigned; what a read shows (2^31 and more here, on the
// hidden serial-interval field and on the CAN interval) must go back unchanged.
TEST_F(ParameterButtons, ReadThenWriteGivesBackIntervalsOf2To31AndMore) {
    Bytes block = RichDeviceBlock();  // serial frame interval 4294967295
    PutLE32(block, 236, 0x80000000);
    block[0] = Checksum(block);
    StartAndOpen(block);
    ASSERT_TRUE(app->Click("ButtonReadParameter"));
    EXPECT_EQ(app->Text("EditCANFrameInterval"), "2147483648");
    ASSERT_TRUE(app->Click("ButtonWriteParameter"));
    EXPECT_FALSE(app->CurrentMessageBox()) << "the write was refused";
    EXPECT_EQ(app->StatusPanelText("StatusBar1", 1), "Write device parameter Succeed!");
    Bytes sent = block;
    std::fill(sent.begin() + 1, sent.begin() + 15, 0);  // the identity is never written
    EXPECT_EQ(WriteFrameSent(), ExpectedFrame(sent));
}

TEST_F(ParameterButtons, ReadBackThatDiffersIsAMismatch) {
    StartAndOpen();
    ASSERT_TRUE(converter.SetFault("corrupt"));
    ASSERT_TRUE(app->ClickAsync("ButtonWriteParameter"));
    ExpectWarning("Write device parameter fail!", "Waring");
    EXPECT_EQ(app->StatusPanelText("StatusBar1", 1), "Write device parameter fail!");
}

TEST_F(ParameterButtons, SilentDeviceFailsReadAndWriteAndLeavesThePage) {
    StartAndOpen(RichDeviceBlock());
    ASSERT_TRUE(converter.SetFault("silent"));
    const auto before = PageSnapshot(*app);
    ASSERT_TRUE(app->ClickAsync("ButtonReadParameter"));
    ExpectWarning("Read device parameter fail!", "Waring");
    auto after = PageSnapshot(*app);
    EXPECT_EQ(after["status"], "Read device parameter Fail!");
    after["status"] = before.at("status");
    EXPECT_EQ(after, before);
    EXPECT_TRUE(app->Enabled("ButtonReadParameter")) << "the buttons come back after the wait";

    ASSERT_TRUE(app->ClickAsync("ButtonWriteParameter"));
    ExpectWarning("Write device parameter fail!", "Waring");
    EXPECT_EQ(app->StatusPanelText("StatusBar1", 1), "Write device parameter fail!")
        << "a write failure replaces the status";
}

// A line that takes nothing (its output stopped, as an XOFF or a held-off handshake line
// does): the write fails within its bound, no earlier success stays in the status bar,
// and the window goes on working once the line moves again.
TEST_F(ParameterButtons, AWriteTheLineDoesNotTakeFailsWithinItsBoundAndLeavesNoSuccess) {
    StartAndOpen();
    ASSERT_TRUE(app->Click("ButtonWriteParameter"));
    ASSERT_EQ(app->StatusPanelText("StatusBar1", 1), "Write device parameter Succeed!");
    ASSERT_TRUE(converter.StopOutput(true));
    ASSERT_TRUE(app->ClickAsync("ButtonWriteParameter"));
    ExpectWarning("Write device parameter fail!", "Waring");
    EXPECT_EQ(app->StatusPanelText("StatusBar1", 1), "Write device parameter fail!");
    ASSERT_TRUE(converter.StopOutput(false));
    ASSERT_TRUE(app->Click("ButtonReadParameter"));
    EXPECT_EQ(app->StatusPanelText("StatusBar1", 1), "Read device parameter succeed!");
}

TEST_F(ParameterButtons, EmptyCanIdStopsTheWriteBeforeAnythingIsSent) {
    StartAndOpen();
    ASSERT_TRUE(app->SelectTab("PageControlQUORINQ1", 3));
    ASSERT_TRUE(app->SetText("EditCANID", ""));
    ASSERT_TRUE(app->ClickAsync("ButtonWriteParameter"));
    auto box = app->WaitMessageBox(10000);
    ASSERT_TRUE(box);
    EXPECT_NE(box->text.find("'0x' is not a valid integer value"), std::string::npos) << box->text;
    app->PressButton(*box, IDOK);
    Sleep(300);
    EXPECT_TRUE(Received().empty());
    EXPECT_EQ(app->StatusPanelText("StatusBar1", 1), "");
    EXPECT_TRUE(app->Enabled("ButtonWriteParameter"));
}

}  // namespace
}  // namespace quorin::gui
