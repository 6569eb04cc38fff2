// Profiles in the window, end to end: the real CANConfig.exe under Wine with the system's
// file dialogs answered by typing (xdotool), the command-line argument, a dropped file,
// the comparison against a virtual converter, and quorin-cli.exe writing the window's
// saved profile to a second converter.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/GuiHarness.h"
#include "support/RealInput.h"
#include "support/VirtualConverter.h"

namespace quorin::gui {
namespace {

using Bytes = std::vector<uint8_t>;

const wchar_t kSettingsKey[] = L"Software\\QUORIN\\CANConfig";

// A profile as the window wrote them before the keywords: the Chinese item texts, every
// setting away from its default.
const char kOldProfile[] = R"({
  "conversion": {"mode": "透明带标识转换", "direction": "仅串口转CAN", "can_id_offset": 5, "can_id_length": 3,
                 "forward_can_frame_info": true, "forward_can_id": false,
                 "serial_frame_interval_ms": 20, "can_frame_interval_ms": 7},
  "serial": {"mode": "RS485", "baud_rate": 115200, "data_bits": 8, "stop_bits": 2, "parity": "偶校验"},
  "can": {"fd_standard": "ISO", "protocol": "CANFD", "frame_format": "扩展帧", "id": "0x001ABCDE",
          "bit_rate_switch": "是",
          "bit_rate": {"custom": true, "arbitration_register": "0x00ABCDEF", "data_register": "0x80000001"}},
  "filters": {"enabled": true, "entries": [
    {"port": "CAN1", "frame_type": "standard", "start_id": "0x00000100", "end_id": "0x000007FF"},
    {"port": "CAN0", "frame_type": "extended", "start_id": "0x12345678", "end_id": "0x1FFFFFFF"}]}
}
)";

// Valid JSON with two fields the window's rules refuse.
const char kBadProfile[] = R"({
  "conversion": {"mode": "透明转换", "direction": "双向转换", "can_id_offset": 9, "can_id_length": 1,
                 "forward_can_frame_info": false, "forward_can_id": false,
                 "serial_frame_interval_ms": 0, "can_frame_interval_ms": 0},
  "serial": {"mode": "RS232", "baud_rate": 1234, "data_bits": 8, "stop_bits": 1, "parity": "无校验"},
  "can": {"fd_standard": "ISO", "protocol": "CAN", "frame_format": "标准帧", "id": "0x00000000",
          "bit_rate_switch": "否", "bit_rate": {"custom": false, "arbitration": "1Mbps", "data": "5Mbps"}},
  "filters": {"enabled": false, "entries": []}
}
)";

std::string Folder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::string dir = Narrow(temp) + "quorin-profiles\\";
    CreateDirectoryW(Widen(dir).c_str(), nullptr);
    return dir;
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(Widen(path).c_str(), std::ios::binary) << text;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(Widen(path).c_str(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> RecentProfiles() {
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, L"RecentProfiles", RRF_RT_REG_MULTI_SZ, nullptr, nullptr,
                     &size) != ERROR_SUCCESS)
        return {};
    std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
    RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, L"RecentProfiles", RRF_RT_REG_MULTI_SZ, nullptr, data.data(), &size);
    std::vector<std::string> list;
    for (const wchar_t* p = data.c_str(); *p; p += wcslen(p) + 1) list.push_back(Narrow(p));
    return list;
}

void ForgetRecentProfiles() { RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"RecentProfiles"); }

// What another instance leaves in the registry when it saves or opens a profile.
void SetRecentProfiles(const std::vector<std::string>& list) {
    std::wstring data;
    for (const auto& p : list) data += Widen(p) + L'\0';
    data += L'\0';
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, L"RecentProfiles", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                   DWORD(data.size() * sizeof(wchar_t)));
    RegCloseKey(key);
}

// The message boxes of the program that are up at this moment.
int MessageBoxCount(const RunningApp& app) {
    int n = 0;
    for (HWND w : app.TopLevelWindows()) n += ClassOf(w) == "#32770" && !app.Find("OKButton", w) ? 1 : 0;
    return n;
}

// The control that has the program's keyboard focus, or nullptr.
HWND FocusOf(const RunningApp& app) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(app.MainWindow(), nullptr), &info) ? info.hwndFocus : nullptr;
}

uint8_t Checksum(const Bytes& b) {
    uint8_t sum = 0;
    for (std::size_t i = 1; i < b.size(); ++i) sum = static_cast<uint8_t>(sum + (b[i] & 0x0F) + (b[i] >> 4));
    return static_cast<uint8_t>(~sum);
}

Bytes HexBytes(const std::string& text) {
    Bytes bytes;
    std::istringstream in(text);
    for (std::string word; in >> word;) bytes.push_back(static_cast<uint8_t>(std::stoul(word, nullptr, 16)));
    return bytes;
}

// The write frame a converter received since its log was marked ("AA BB 00 ...").
std::string WriteFrame(const VirtualConverter& converter) {
    for (const auto& f : converter.FramesSinceMark())
        if (f.rfind("RX AA BB", 0) == 0) return f.substr(3);
    return {};
}

DWORD RunCli(const std::string& args) {
    const std::wstring exe = HostPath(std::string(QUORIN_BINARY_DIR) + "/quorin-cli.exe");
    std::wstring cmd = L"\"" + exe + L"\" " + Widen(args);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    DWORD status = 0xFFFFFFFF;
    if (CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        WaitForSingleObject(pi.hProcess, 60000);
        GetExitCodeProcess(pi.hProcess, &status);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    return status;
}

// The system's file dialog of the program, answered as a person does: the name typed into
// it, then Enter. The dialog opens in the folder of the most recent profile.
bool AnswerFileDialog(RunningApp& app, const std::string& caption, const std::string& name,
                      const std::string& screenshot) {
    HWND dialog = app.WaitWindow(caption, 10000);
    if (!dialog) return false;
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }));
    SaveWindowPng(dialog, std::string(QUORIN_BINARY_DIR) + "/screenshots/" + screenshot);
    Keys("ctrl+a");  // over the proposed name
    XDoTool("type --delay 30 '" + name + "'");
    Keys("Return");
    return WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 10000);
}

// What the shell hands a window when files are dropped on it: a DROPFILES block with the
// wide paths, here made in the program's memory and posted as WM_DROPFILES.
bool DropFile(RunningApp& app, const std::string& path) {
    const std::wstring wide = Widen(path);
    std::vector<uint8_t> data(sizeof(DROPFILES) + (wide.size() + 2) * sizeof(wchar_t), 0);
    auto* drop = reinterpret_cast<DROPFILES*>(data.data());
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::copy(wide.begin(), wide.end(), reinterpret_cast<wchar_t*>(data.data() + sizeof(DROPFILES)));
    static std::vector<std::unique_ptr<RemoteBuffer>> kept;  // the program frees it with DragFinish
    auto buffer = std::make_unique<RemoteBuffer>(app.Process(), data.size());
    if (!*buffer || !buffer->Write(data.data(), data.size())) return false;
    const bool posted = PostMessageW(app.MainWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(buffer->Address()), 0);
    kept.push_back(std::move(buffer));
    return posted;
}

std::vector<std::string> Descriptions(const RunningApp& app) {
    std::vector<std::string> cells;
    for (const auto& row : app.ListRows("ListViewVandrelBasicInfo")) cells.push_back(row.size() > 1 ? row[1] : "");
    return cells;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

class Profiles : public ::testing::Test {
protected:
    void SetUp() override {
        if (!com3.Running() || !com7.Running()) GTEST_SKIP() << "no virtual converters (tools/vconv-ports.sh start)";
        ASSERT_TRUE(com3.Reset());
        ASSERT_TRUE(com7.Reset());
        ForgetRecentProfiles();
        dir = Folder();
        DeleteFileW(Widen(dir + "saved.json").c_str());
        DeleteFileW(Widen(dir + "identity.json").c_str());
        WriteFile(dir + "old.json", kOldProfile);
        WriteFile(dir + "bad.json", kBadProfile);
    }
    void TearDown() override { ForgetRecentProfiles(); }

    VirtualConverter com3{3}, com7{7};
    std::string dir;
};

// Opened from the command line, saved with Ctrl+S, written by Write and by quorin-cli to a
// second converter; compared with the converter before and after three of its settings
// change; a profile the rules refuse changes nothing.
TEST_F(Profiles, OpenSaveWriteAndCompareThroughTheWindow) {
    com3.MarkLog();
    LaunchOptions options;
    options.args = {Widen(dir + "old.json")};
    RunningApp app(options);
    ASSERT_TRUE(app.Started()) << app.Failure();

    // Every control as a read of that block fills it, with the rules applied; the identity
    // list untouched; nothing sent.
    ASSERT_TRUE(WaitUntil([&] { return app.ComboIndex("ComboBoxUARTMode") == 1; }));
    EXPECT_EQ(app.ComboIndex("ComboBoxSwitchMode"), 1);
    EXPECT_EQ(app.ComboIndex("ComboBoxSwtichRoute"), 1);
    EXPECT_EQ(app.ComboIndex("ComboBoxCANIDOffset"), 5);
    EXPECT_TRUE(app.Enabled("ComboBoxCANIDOffset"));
    EXPECT_FALSE(app.Enabled("CheckBoxCANFrameInfoEnable"));
    EXPECT_TRUE(app.Checked("CheckBoxCANFrameInfoEnable"));
    EXPECT_EQ(app.ComboIndex("ComboBoxUARTBuadrateIndex"), 8);
    EXPECT_EQ(app.ComboIndex("ComboBoxUARTParityBitIndex"), 2);
    EXPECT_EQ(app.Text("EditCANID"), "001ABCDE");
    EXPECT_TRUE(app.Checked("CheckBoxBuadrateCustom"));
    EXPECT_EQ(app.Text("EditBaudrateA"), "00ABCDEF");
    EXPECT_TRUE(app.Enabled("EditBaudrateA"));
    EXPECT_FALSE(app.Enabled("ComboBoxtBaudrateIndexA"));
    EXPECT_TRUE(app.Enabled("ListViewVandrelFrameID"));
    const std::vector<std::vector<std::string>> rows = {{"CAN1", "Standard Frame", "0x00000100", "0x000007FF"},
                                                        {"", "Extend   Frame", "0x12345678", "0x1FFFFFFF"}};
    EXPECT_EQ(app.ListRows("ListViewVandrelFrameID"), rows);
    EXPECT_EQ(Descriptions(app), std::vector<std::string>(6, ""));
    EXPECT_TRUE(com3.FramesSinceMark().empty());

    // Ctrl+S with the focus in the port box's edit.
    RECT r;
    GetWindowRect(app.Window("ComboBoxCommIndex"), &r);
    MouseClick((r.left + r.right) / 2 - 20, (r.top + r.bottom) / 2);
    Keys("ctrl+s");
    ASSERT_TRUE(AnswerFileDialog(app, "保存配置文件", "saved.json", "ProfileSaveDialog.png"));
    const std::vector<std::string> recent = {dir + "saved.json", dir + "old.json"};
    EXPECT_TRUE(WaitUntil([&] { return RecentProfiles() == recent; })) << RecentProfiles().size();
    const std::string saved = ReadFile(dir + "saved.json");
    ASSERT_FALSE(saved.empty());
    EXPECT_EQ(saved.back(), '\n');

    // Write, then the same profile from quorin-cli to COM7: the same frame.
    ASSERT_TRUE(app.SelectComboText("ComboBoxCommIndex", "COM3"));
    ASSERT_TRUE(app.Click("ButtonOpenRS232"));
    ASSERT_TRUE(app.Click("ButtonWriteParameter"));
    ASSERT_TRUE(
        WaitUntil([&] { return app.StatusPanelText("StatusBar1", 1) == "Write device parameter Succeed!"; }, 10000));
    const std::string pressed = WriteFrame(com3);
    ASSERT_FALSE(pressed.empty());
    com7.MarkLog();
    EXPECT_EQ(RunCli("write --port COM7 \"" + dir + "saved.json\""), 0u);
    EXPECT_EQ(WriteFrame(com7), pressed);

    // The converter now holds the window's settings.
    com3.MarkLog();
    std::vector<double> compareMs;
    auto compare = [&](const std::string& screenshot, std::size_t expected) {
        // Reopening the saved profile (the window's own settings) between comparisons lists
        // the recent profiles anew; without it, the keyboard walk of the menu that follows
        // a comparison lands one item further down (seen under Wine, not explained yet).
        if (!compareMs.empty()) {
            EXPECT_TRUE(DropFile(app, dir + "saved.json"));
            EXPECT_TRUE(WaitUntil(
                [&] { return app.StatusPanelText("StatusBar1", 1).find("saved.json") != std::string::npos; }));
        }
        // The menu keys go to the main window once it is active again after the last box.
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == app.MainWindow(); }));
        const DWORD start = GetTickCount();
        app.ChooseMenu({0, 2});  // File > Compare with converter...
        HWND box = app.WaitWindow("与转换器比较", 10000);
        // The menu keys are paced 150 ms apart; the command starts with the last of five.
        compareMs.push_back(double(GetTickCount() - start) - 750);
        std::vector<std::vector<std::string>> found;
        EXPECT_TRUE(box) << "no comparison shown";
        if (!box) {
            XDoTool("getactivewindow");
            SaveWindowPng(GetDesktopWindow(),
                          std::string(QUORIN_BINARY_DIR) + "/screenshots/ProfileCompareMissing.png");
            return found;
        }
        // The box's controls may still be in the making when its frame shows.
        WaitUntil([&] { return app.Find("OKButton", box) && app.ListRows("ListViewDifferences").size() == expected; },
                  3000);
        found = app.ListRows("ListViewDifferences");
        SaveWindowPng(box, std::string(QUORIN_BINARY_DIR) + "/screenshots/" + screenshot);
        app.CloseBox(box);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(box); }));
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app.MainWindow()) != FALSE; }));
        return found;
    };
    EXPECT_TRUE(compare("ProfileCompareEqual.png", 0).empty());

    // Three settings differ on the converter.
    Bytes block = HexBytes(pressed);
    block.erase(block.begin(), block.begin() + 3);
    ASSERT_EQ(block.size(), 240u);
    block[35] = 0;    // filters off
    block[198] = 3;   // 9600
    block[232] = 99;  // serial frame interval 99 ms
    block[0] = Checksum(block);
    ASSERT_TRUE(com3.SetBlock(block));
    const std::vector<std::vector<std::string>> differences = {{"conversion.serial_frame_interval_ms", "99", "20"},
                                                               {"serial.baud_rate", "9600", "115200"},
                                                               {"filters.enabled", "false", "true"}};
    EXPECT_EQ(compare("ProfileCompare.png", 3), differences);
    for (int i = 0; i < 3; ++i) compare("ProfileCompare.png", 3);
    std::printf("[ MEASURE  ] compare with converter, median of %zu: %.0f ms\n", compareMs.size(), Median(compareMs));
    for (const auto& f : com3.FramesSinceMark())
        EXPECT_EQ(f.rfind("RX AA BB", 0), std::string::npos) << "compare wrote";

    // Ctrl+O from an edit; the profile's two faults in one message, the window unchanged.
    MouseClick((r.left + r.right) / 2 - 20, (r.top + r.bottom) / 2);
    Keys("ctrl+o");
    ASSERT_TRUE(AnswerFileDialog(app, "打开配置文件", "bad.json", "ProfileOpenDialog.png"));
    auto box = app.WaitMessageBox();
    ASSERT_TRUE(box);
    EXPECT_NE(box->text.find(dir + "bad.json"), std::string::npos) << box->text;
    EXPECT_NE(box->text.find("conversion.can_id_offset"), std::string::npos) << box->text;
    EXPECT_NE(box->text.find("serial.baud_rate"), std::string::npos) << box->text;
    app.PressButton(*box, IDOK);
    EXPECT_EQ(app.ComboIndex("ComboBoxUARTBuadrateIndex"), 8);
    EXPECT_EQ(app.ComboIndex("ComboBoxCANIDOffset"), 5);
    EXPECT_EQ(RecentProfiles().size(), 2u);

    // After a read, a saved profile carries the converter's identity as the window shows it.
    ASSERT_TRUE(app.Click("ButtonReadParameter"));
    ASSERT_TRUE(WaitUntil([&] { return app.StatusPanelText("StatusBar1", 1) == "Read device parameter succeed!"; }));
    DeleteFileW(Widen(dir + "identity.json").c_str());
    Keys("ctrl+s");
    ASSERT_TRUE(AnswerFileDialog(app, "保存配置文件", "identity.json", "ProfileSaveDialog.png"));
    ASSERT_TRUE(WaitUntil([&] { return !ReadFile(dir + "identity.json").empty(); }));
    const std::string identity = ReadFile(dir + "identity.json");
    const auto shown = Descriptions(app);
    ASSERT_EQ(shown.size(), 6u);
    EXPECT_NE(identity.find("\"vendor_id\": \"" + shown[0] + "\""), std::string::npos) << identity;
    EXPECT_NE(identity.find("\"serial_number\": \"" + shown[5] + "\""), std::string::npos) << identity;
    app.CloseBox();
    EXPECT_EQ(app.WaitExit(), std::optional<DWORD>(0));
}

// A dropped profile opens as Open would; a recent profile that has gone is reported and
// leaves the list.
// A profile with a thousand unknown fields is refused in a box of a screen's size: the
// first issues, and how many more there are. The open dialog of a profile in a drive's
// root folder opens in that root, not in the drive's current folder (C:\windows here).
TEST_F(Profiles, ManyIssuesAreCountedAndARootFolderIsTheDialogsFolder) {
    std::string many = kOldProfile;
    std::string fields;
    for (int i = 0; i < 1000; ++i) fields += "\"x" + std::to_string(i) + "\": 0, ";
    many.insert(1, fields);
    WriteFile(dir + "many.json", many);
    WriteFile("C:\\quorin-root.json", kOldProfile);
    SetRecentProfiles({"C:\\quorin-root.json"});
    LaunchOptions options;
    options.env = {{L"=C:", L"C:\\windows"}};
    RunningApp app(options);
    ASSERT_TRUE(app.Started()) << app.Failure();
    ASSERT_TRUE(DropFile(app, dir + "many.json"));
    auto box = app.WaitMessageBox();
    ASSERT_TRUE(box);
    EXPECT_NE(box->text.find("x0: unknown field"), std::string::npos) << box->text.substr(0, 400);
    EXPECT_NE(box->text.find("980"), std::string::npos) << box->text.substr(0, 400);
    EXPECT_LT(box->text.size(), 3000u);
    app.PressButton(*box, IDOK);

    app.ChooseMenu({0, 0});  // File > Open profile
    const HWND dialog = app.WaitWindow("打开配置文件", 10000);
    ASSERT_TRUE(dialog);
    const HWND lookIn = GetDlgItem(dialog, 1137);  // the folder box
    EXPECT_TRUE(WaitUntil([&] { return !WindowText(lookIn).empty(); }));
    EXPECT_EQ(WindowText(lookIn).find("windows"), std::string::npos) << WindowText(lookIn);
    Keys("Escape");
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 10000));
    DeleteFileW(L"C:\\quorin-root.json");
    app.CloseBox();
    EXPECT_EQ(app.WaitExit(), std::optional<DWORD>(0));
}

TEST_F(Profiles, ADroppedFileOpensAndAVanishedRecentOneIsDropped) {
    WriteFile(dir + "saved.json", kOldProfile);
    WriteFile(dir + "gone.json", kOldProfile);
    RunningApp app;
    ASSERT_TRUE(app.Started()) << app.Failure();

    // Each drop reopens the profile: the status names it each time anew.
    std::vector<double> openMs;
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(app.SelectComboIndex("ComboBoxSwitchMode", 0));
        const LARGE_INTEGER start = [] {
            LARGE_INTEGER t;
            QueryPerformanceCounter(&t);
            return t;
        }();
        ASSERT_TRUE(DropFile(app, i % 2 ? dir + "saved.json" : dir + "gone.json"));
        ASSERT_TRUE(WaitUntil([&] { return app.ComboIndex("ComboBoxSwitchMode") == 1; }, 5000, 1));
        LARGE_INTEGER end, frequency;
        QueryPerformanceCounter(&end);
        QueryPerformanceFrequency(&frequency);
        openMs.push_back(double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart));
    }
    std::printf("[ MEASURE  ] open a profile, median of %zu: %.1f ms\n", openMs.size(), Median(openMs));
    EXPECT_EQ(app.ListRows("ListViewVandrelFrameID").size(), 2u);
    EXPECT_EQ(RecentProfiles(), (std::vector<std::string>{dir + "gone.json", dir + "saved.json"}));

    DeleteFileW(Widen(dir + "gone.json").c_str());
    app.ChooseMenu({0, 3});  // File > the newest recent profile
    auto box = app.WaitMessageBox();
    ASSERT_TRUE(box);
    EXPECT_NE(box->text.find(dir + "gone.json"), std::string::npos) << box->text;
    app.PressButton(*box, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return RecentProfiles() == std::vector<std::string>{dir + "saved.json"}; }));
    app.CloseBox();
    EXPECT_EQ(app.WaitExit(), std::optional<DWORD>(0));
}

// Ctrl+S runs before the focused control sees the key, also while a filter row's port is
// being edited in place: what the row shows when the key is pressed is what is saved.
TEST_F(Profiles, CtrlSSavesThePortTypedIntoAnOpenInPlaceEdit) {
    DeleteFileW(Widen(dir + "edited.json").c_str());
    RunningApp app;
    ASSERT_TRUE(app.Started()) << app.Failure();
    ASSERT_TRUE(app.SelectTab("PageControlQUORINQ1", 4));
    ASSERT_TRUE(app.Click("CheckBoxVandrelFilterEnable"));
    ASSERT_TRUE(app.Click("ButtonVandrelFilterIDAdd"));
    ASSERT_EQ(app.ListRows("ListViewVandrelFrameID").size(), 1u);

    // The operator clicks the row, presses F2, types the new port and presses Ctrl+S.
    HWND list = app.Window("ListViewVandrelFrameID");
    RemoteBuffer rect(app.Process(), sizeof(RECT));
    RECT row{LVIR_LABEL, 0, 0, 0};
    ASSERT_TRUE(rect.Write(&row, sizeof row));
    ASSERT_TRUE(SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(rect.Address())));
    ASSERT_TRUE(rect.Read(&row, sizeof row));
    POINT at{(row.left + row.right) / 2, (row.top + row.bottom) / 2};
    ClientToScreen(list, &at);
    MouseClick(at.x, at.y);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(app) == list; }));
    Keys("F2");
    HWND edit = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (edit = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETEDITCONTROL, 0, 0))); }));
    XDoTool("type --delay 30 CAN0");
    ASSERT_TRUE(WaitUntil([&] { return WindowText(edit) == "CAN0"; }));
    Keys("ctrl+s");
    ASSERT_TRUE(AnswerFileDialog(app, "保存配置文件", dir + "edited.json", "ProfileSaveEditedRow.png"));
    ASSERT_TRUE(WaitUntil([&] { return !ReadFile(dir + "edited.json").empty(); }));
    const std::string saved = ReadFile(dir + "edited.json");
    EXPECT_NE(saved.find("\"CAN0\""), std::string::npos) << saved;
    EXPECT_EQ(saved.find("\"CAN1\""), std::string::npos) << saved;
    EXPECT_EQ(app.ListRows("ListViewVandrelFrameID").at(0).at(0), "CAN0");
    app.CloseBox();
    EXPECT_EQ(app.WaitExit(), std::optional<DWORD>(0));
}

// The comparison, chosen from the menu with the keyboard while a row's port is still being
// edited, compares what the row shows.
TEST_F(Profiles, CompareTakesThePortTypedIntoAnOpenInPlaceEdit) {
    RunningApp app;
    ASSERT_TRUE(app.Started()) << app.Failure();
    ASSERT_TRUE(app.SelectComboText("ComboBoxCommIndex", "COM3"));
    ASSERT_TRUE(app.Click("ButtonOpenRS232"));
    ASSERT_TRUE(app.SelectTab("PageControlQUORINQ1", 4));
    ASSERT_TRUE(app.Click("CheckBoxVandrelFilterEnable"));
    ASSERT_TRUE(app.Click("ButtonVandrelFilterIDAdd"));
    ASSERT_TRUE(app.Click("ButtonWriteParameter"));
    ASSERT_TRUE(
        WaitUntil([&] { return app.StatusPanelText("StatusBar1", 1) == "Write device parameter Succeed!"; }, 10000));

    HWND list = app.Window("ListViewVandrelFrameID");
    RemoteBuffer rect(app.Process(), sizeof(RECT));
    RECT row{LVIR_LABEL, 0, 0, 0};
    ASSERT_TRUE(rect.Write(&row, sizeof row));
    ASSERT_TRUE(SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(rect.Address())));
    ASSERT_TRUE(rect.Read(&row, sizeof row));
    POINT at{(row.left + row.right) / 2, (row.top + row.bottom) / 2};
    ClientToScreen(list, &at);
    MouseClick(at.x, at.y);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(app) == list; }));
    Keys("F2");
    HWND edit = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (edit = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETEDITCONTROL, 0, 0))); }));
    XDoTool("type --delay 30 CAN0");
    ASSERT_TRUE(WaitUntil([&] { return WindowText(edit) == "CAN0"; }));
    app.ChooseMenu({0, 2});  // File > Compare with converter...
    HWND box = app.WaitWindow("与转换器比较", 10000);
    ASSERT_TRUE(box);
    std::vector<std::vector<std::string>> found;
    WaitUntil([&] { return app.Find("OKButton", box) && !(found = app.ListRows("ListViewDifferences")).empty(); },
              3000);
    EXPECT_EQ(found, (std::vector<std::vector<std::string>>{{"filters.entries[0].port", "CAN1", "CAN0"}}));
    app.CloseBox(box);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app.MainWindow()) != FALSE; }));
    app.CloseBox();
    EXPECT_EQ(app.WaitExit(), std::optional<DWORD>(0));
}

// A recent item opens the file its caption names, whatever another instance has written
// to the list since; the menu takes the list again when the window is activated.
TEST_F(Profiles, ARecentItemOpensTheFileItsCaptionNames) {
    for (const char* name : {"x.json", "y.json"}) WriteFile(dir + name, kOldProfile);
    const std::string x = dir + "x.json", y = dir + "y.json";
    auto opened = [](RunningApp& app, const std::string& path) {
        return WaitUntil([&] {
            const std::string status = app.StatusPanelText("StatusBar1", 1);
            return status.find(path) != std::string::npos;
        });
    };
    SetRecentProfiles({y});
    RunningApp first;
    ASSERT_TRUE(first.Started()) << first.Failure();

    // Another instance saves x: the first's menu still reads "1 y.json".
    SetRecentProfiles({x, y});
    first.ChooseMenu({0, 3});
    EXPECT_TRUE(opened(first, y)) << first.StatusPanelText("StatusBar1", 1);
    EXPECT_EQ(RecentProfiles(), (std::vector<std::string>{y, x}));

    // The list got shorter behind the menu's back: "2 x.json" still opens x.
    SetRecentProfiles({});
    first.ChooseMenu({0, 4});
    EXPECT_TRUE(opened(first, x)) << first.StatusPanelText("StatusBar1", 1);
    ASSERT_EQ(RecentProfiles(), (std::vector<std::string>{x}));

    // A second instance opens y and ends; back in the first, its menu lists y first.
    {
        RunningApp second;
        ASSERT_TRUE(second.Started()) << second.Failure();
        ASSERT_TRUE(DropFile(second, y));
        ASSERT_TRUE(opened(second, y));
        second.CloseBox();
        EXPECT_EQ(second.WaitExit(), std::optional<DWORD>(0));
    }
    ASSERT_EQ(RecentProfiles(), (std::vector<std::string>{y, x}));
    RECT r{};
    GetWindowRect(first.Window("StatusBar1"), &r);
    MouseClick((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == first.MainWindow(); }));
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(first.MainWindow(), WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
    SetRecentProfiles({x});
    first.ChooseMenu({0, 3});
    EXPECT_TRUE(opened(first, y)) << first.StatusPanelText("StatusBar1", 1);
    first.CloseBox();
    EXPECT_EQ(first.WaitExit(), std::optional<DWORD>(0));
}

// A file dropped while the comparison is up is refused: nothing changes under the box.
TEST_F(Profiles, ADropWhileAModalBoxIsUpIsRefused) {
    RunningApp app;
    ASSERT_TRUE(app.Started()) << app.Failure();
    ASSERT_TRUE(app.SelectComboText("ComboBoxCommIndex", "COM3"));
    ASSERT_TRUE(app.Click("ButtonOpenRS232"));
    ASSERT_EQ(app.ComboIndex("ComboBoxUARTMode"), 0);
    app.ChooseMenu({0, 2});  // File > Compare with converter...
    HWND box = app.WaitWindow("与转换器比较", 10000);
    ASSERT_TRUE(box);
    ASSERT_TRUE(DropFile(app, dir + "old.json"));
    // Opened, the profile would switch the serial mode to RS485 within milliseconds.
    EXPECT_FALSE(WaitUntil([&] { return app.ComboIndex("ComboBoxUARTMode") != 0; }, 2000));
    EXPECT_TRUE(RecentProfiles().empty());
    EXPECT_EQ(MessageBoxCount(app), 0);
    app.CloseBox(box);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(app.MainWindow()) != FALSE; }));
    ASSERT_TRUE(DropFile(app, dir + "old.json"));
    EXPECT_TRUE(WaitUntil([&] { return app.ComboIndex("ComboBoxUARTMode") == 1; }));
    app.CloseBox();
    EXPECT_EQ(app.WaitExit(), std::optional<DWORD>(0));
}

// A refused remembered skin and a profile on the command line that cannot be opened: two
// warnings, one after the other, over the window that has shown.
TEST_F(Profiles, StartUpWarningsComeOneAfterAnotherOverTheWindow) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::wstring skin = L"no-such-skin.skn";
    RegSetValueExW(key, L"Skin", 0, REG_SZ, reinterpret_cast<const BYTE*>(skin.c_str()),
                   DWORD((skin.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    LaunchOptions options;
    options.args = {Widen(dir + "bad.json")};
    options.mainWindowTimeoutMs = 15000;
    RunningApp app(options);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"Skin");
    ASSERT_TRUE(app.Started()) << app.Failure();
    std::vector<std::string> texts;
    for (int i = 0; i < 2; ++i) {
        auto box = app.WaitMessageBox(10000);
        ASSERT_TRUE(box) << "warning " << i;
        EXPECT_TRUE(IsWindowVisible(app.MainWindow()));
        EXPECT_EQ(MessageBoxCount(app), 1) << box->text;
        texts.push_back(box->text);
        app.PressButton(*box, IDOK);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box->window) || !IsWindowVisible(box->window); }));
    }
    EXPECT_NE(texts[0].find("no-such-skin.skn"), std::string::npos) << texts[0];
    EXPECT_NE(texts[1].find(dir + "bad.json"), std::string::npos) << texts[1];
    app.CloseBox();
    EXPECT_EQ(app.WaitExit(), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace quorin::gui
