// The start-up log that tools/bench_startup.sh reads, through the real programs: the
// program logs its steps in the order it takes them, all before its first paint, and the
// bare window it is measured against logs its first paint the same way. With the paint
// check on, the log says of every window whether its first frame was the skin's.
#include "support/GuiHarness.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>
#include <string>
#include <vector>

using namespace quorin::gui;

namespace {

struct LogLine {
    std::string what;
    std::string name;  // steps only
    unsigned long long at = 0;
};

std::vector<LogLine> ReadLog(const std::wstring& path) {
    std::ifstream f(path.c_str());
    std::vector<LogLine> lines;
    std::string line;
    while (std::getline(f, line)) {
        std::istringstream in(line);
        LogLine l;
        in >> l.what;
        if (l.what == "step") in >> l.name;
        in >> l.at;
        if (in) lines.push_back(l);
    }
    return lines;
}

std::wstring LogPath(const wchar_t* name) {
    wchar_t dir[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, dir);
    const std::wstring path = std::wstring(dir) + name;
    DeleteFileW(path.c_str());
    return path;
}

bool HasFirstPaint(const std::wstring& path) {
    for (const auto& l : ReadLog(path))
        if (l.what == "first-paint") return true;
    return false;
}

}  // namespace

TEST(StartupLog, ProgramLogsItsStepsInOrderBeforeItsFirstPaint) {
    const std::wstring log = LogPath(L"quorin-startup-test.log");
    LaunchOptions options;
    options.env = {{L"QUORIN_STARTUP_LOG", log}};
    RunningApp app(options);
    ASSERT_TRUE(app.Started()) << app.Failure();
    ASSERT_TRUE(WaitUntil([&] { return HasFirstPaint(log); }, 20000)) << "no first paint logged";

    const std::vector<std::string> order = {"process",   "entry",       "initialize", "layout",
                                            "port-scan", "form-create", "main-form",  "first-paint"};
    std::vector<std::string> seen;
    unsigned long long last = 0;
    for (const auto& l : ReadLog(log)) {
        const std::string name = l.what == "step" ? l.name : l.what;
        if (name == "first-skinned-paint") continue;
        seen.push_back(name);
        EXPECT_GE(l.at, last) << name << " is logged earlier than the step before it";
        last = l.at;
    }
    EXPECT_EQ(seen, order);
}

TEST(StartupLog, BareWindowLogsItsFirstPaint) {
    const std::wstring log = LogPath(L"quorin-bare-test.log");
    const std::wstring exe = HostPath(std::string(QUORIN_BINARY_DIR) + "/BareWindow.exe");
    SetEnvironmentVariableW(L"QUORIN_STARTUP_LOG", log.c_str());
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring cmd = L"\"" + exe + L"\"";
    const BOOL started =
        CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableW(L"QUORIN_STARTUP_LOG", nullptr);
    ASSERT_TRUE(started);
    EXPECT_TRUE(WaitUntil([&] { return HasFirstPaint(log); }, 20000)) << "no first paint logged";
    RECT r{};
    HWND window = FindWindowW(L"BareWindow", nullptr);
    ASSERT_NE(window, nullptr);
    GetWindowRect(window, &r);
    EXPECT_EQ(r.right - r.left, 700);
    EXPECT_EQ(r.bottom - r.top, 460);
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

// ---- Every window whole from its first frame ---------------------------------------------
// The program started again and again, with the built-in skin and with Slate remembered, in
// Chinese and in English, some starts with the machine loaded further by busy threads: the
// log of first paints (QUORIN_PAINT_CHECK) must name no window whose first paint was native
// or half skinned. On the first start of each setting the About box, a message box of the
// program and the system's file dialog are opened too, each checked the same way.
namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\QUORIN\\CANConfig";

std::optional<std::wstring> ReadValue(const wchar_t* name) {
    wchar_t buf[1024] = {};
    DWORD size = sizeof buf;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buf);
}

void WriteValue(const wchar_t* name, const std::optional<std::wstring>& value) {
    if (!value) {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name);
        return;
    }
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name, REG_SZ, value->c_str(),
                    DWORD((value->size() + 1) * sizeof(wchar_t)));
}

// A remembered setting set for the test and put back after it.
class TSettingFor {
public:
    TSettingFor(const wchar_t* name, const std::optional<std::wstring>& value) : FName(name), FSaved(ReadValue(name)) {
        WriteValue(name, value);
    }
    ~TSettingFor() { WriteValue(FName, FSaved); }

private:
    const wchar_t* FName;
    std::optional<std::wstring> FSaved;
};

// Threads that keep the processors busy while they live.
class TBusyThreads {
public:
    explicit TBusyThreads(int count) {
        for (int i = 0; i < count; ++i)
            FThreads.emplace_back([this] {
                unsigned long long n = 0;
                while (!FStop.load(std::memory_order_relaxed)) n = n * 3 + 1;
                FSink += n;
            });
    }
    ~TBusyThreads() {
        FStop = true;
        for (auto& t : FThreads) t.join();
    }

private:
    std::atomic<bool> FStop{false};
    std::atomic<unsigned long long> FSink{0};
    std::vector<std::thread> FThreads;
};

struct TPaint {
    std::string Kind;   // window-paint or control-paint
    std::string Class;  // the painted window's class
    std::string Rest;   // skinned / unskinned / half and the native controls; for a control, its window and state
};

std::vector<TPaint> ReadPaints(const std::wstring& path) {
    std::ifstream f(path.c_str());
    std::vector<TPaint> paints;
    std::string line;
    while (std::getline(f, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream in(line);
        TPaint p;
        in >> p.Kind;
        if (p.Kind != "window-paint" && p.Kind != "control-paint") continue;
        in >> p.Class;
        std::string word, rest;
        std::vector<std::string> words;
        while (in >> word) words.push_back(word);
        if (!words.empty()) words.pop_back();  // the time
        for (const auto& w : words) rest += (rest.empty() ? "" : " ") + w;
        p.Rest = rest;
        paints.push_back(p);
    }
    return paints;
}

size_t CountWindowPaints(const std::wstring& log, const std::string& cls) {
    size_t n = 0;
    for (const auto& p : ReadPaints(log))
        if (p.Kind == "window-paint" && p.Class == cls) ++n;
    return n;
}

// Whether the skin draws a control itself (so that its native paint is a fault), from the
// classes of its top-level window, its parent and its own: every control of the program's
// own forms but the edit inside a combo box, which the combo box's painter frames; in a
// dialog of the system, its own buttons, combo boxes, edits and tab controls. Labels are
// drawn natively in the skin's colours, and the controls of the system's libraries inside a
// file dialog stay native.
bool SkinDraws(const std::string& root, const std::string& entry) {
    const auto arrow = entry.find('>');
    const std::string parent = entry.substr(0, arrow), cls = entry.substr(arrow + 1);
    if (cls == "Static") return false;
    if (root.size() > 1 && root[0] == 'T') return !(cls == "Edit" && parent.find("ComboBox") != std::string::npos);
    if (parent != root) return false;
    return cls == "Button" || cls == "ComboBox" || cls == "Edit" || cls == "SysTabControl32";
}

struct TStartCase {
    const char* Name;
    const wchar_t* Skin;      // remembered skin; null: the built-in one
    const wchar_t* Language;  // remembered language
    int Starts;
    int BusyThreads;  // extra load during every second start
    int Dpi = 0;      // the system's DPI for the starts; 0: as it is
};

class FirstFrames : public ::testing::TestWithParam<TStartCase> {};

// The menu keys go to the main window once it is in front again after a box; with no
// window manager on the test display a closed box does not always hand it back.
void BringToFront(HWND main) {
    if (!WaitUntil([&] { return GetForegroundWindow() == main; }, 2000)) SetForegroundWindow(main);
    WaitUntil([&] { return GetForegroundWindow() == main; }, 3000);
}

// Shows every page, then opens the About box, the message box of Compare with no port open
// and the Open profile dialog in turn, waits for each one's first paint to be logged and
// closes it.
void OpenEveryKindOfWindow(RunningApp& app, const std::wstring& log) {
    // Every page of the window in turn: the windows of the pages not shown first are made
    // after the first paint, and each must be the skin's from its own first paint.
    for (int page : {0, 2, 3, 4, 1}) {
        EXPECT_TRUE(app.SelectTab("PageControlQUORINQ1", page));
        EXPECT_TRUE(WaitUntil([&] { return app.TabIndex("PageControlQUORINQ1") == page; }, 3000));
    }
    app.ChooseMenu({-1, 0});  // About > About QUORIN
    HWND about = app.WaitWindow("AboutBox", 10000);
    if (!about) {
        // A key of the walk lost on a loaded machine: once more.
        app.PressKey(VK_ESCAPE);
        app.PressKey(VK_ESCAPE);
        BringToFront(app.MainWindow());
        app.ChooseMenu({-1, 0});
        about = app.WaitWindow("AboutBox", 10000);
    }
    EXPECT_TRUE(about) << "the About box did not open";
    EXPECT_TRUE(WaitUntil([&] { return CountWindowPaints(log, "TAboutBox") > 0; }, 10000))
        << "no first paint of the About box logged";
    if (about) PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(about); }, 5000));

    BringToFront(app.MainWindow());
    app.ChooseMenu({0, 2});  // File > Compare with converter..., with no port open: a warning
    auto box = app.WaitMessageBox(10000);
    if (!box) {
        // A key of the walk lost on a loaded machine: once more.
        app.PressKey(VK_ESCAPE);
        app.PressKey(VK_ESCAPE);
        BringToFront(app.MainWindow());
        app.ChooseMenu({0, 2});
        box = app.WaitMessageBox(10000);
    }
    EXPECT_TRUE(box) << "no message box";
    EXPECT_TRUE(WaitUntil([&] { return CountWindowPaints(log, "#32770") > 0; }, 10000))
        << "no first paint of the message box logged";
    if (box) {
        app.PressButton(*box);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box->window); }, 5000));
    }

    BringToFront(app.MainWindow());
    app.ChooseMenu({0, 0});  // File > Open profile...
    EXPECT_TRUE(WaitUntil([&] { return CountWindowPaints(log, "#32770") > 1; }, 15000))
        << "no first paint of the file dialog logged";
    for (HWND w : app.TopLevelWindows())
        if (ClassOf(w) == "#32770") PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
}

TEST_P(FirstFrames, EveryWindowIsSkinnedFromItsFirstPaint) {
    const TStartCase& c = GetParam();
    TSettingFor skin(L"Skin", c.Skin ? std::optional<std::wstring>(c.Skin) : std::nullopt);
    TSettingFor language(L"Language", std::wstring(c.Language));
    TUserValue logPixels(L"Control Panel\\Desktop", L"LogPixels");
    if (c.Dpi) logPixels.SetDword(DWORD(c.Dpi));
    const std::string mainClass = "TFormCANConfig";
    for (int start = 0; start < c.Starts; ++start) {
        SCOPED_TRACE("start " + std::to_string(start + 1));
        std::unique_ptr<TBusyThreads> load;
        if (start % 2 == 1) load = std::make_unique<TBusyThreads>(c.BusyThreads);
        const std::wstring log = LogPath((L"quorin-paints-test-" + std::to_wstring(start + 1) + L".log").c_str());
        LaunchOptions options;
        options.env = {{L"QUORIN_STARTUP_LOG", log}, {L"QUORIN_PAINT_CHECK", L"1"}};
        RunningApp app(options);
        ASSERT_TRUE(app.Started()) << app.Failure();
        ASSERT_TRUE(WaitUntil([&] { return CountWindowPaints(log, mainClass) > 0; }, 30000))
            << "no first paint of the main window logged";
        load.reset();
        if (start == 0) OpenEveryKindOfWindow(app, log);
        // Painting that follows soon after the first frame (the controls' own first paints).
        Sleep(300);
        for (const auto& p : ReadPaints(log)) {
            std::istringstream rest(p.Rest);
            std::string state, list;
            rest >> state >> list;
            if (p.Kind == "control-paint") {
                // p.Class is the control (parent>class), the first word of p.Rest its window.
                EXPECT_FALSE(SkinDraws(state, p.Class)) << p.Class << " was painted natively inside " << state;
                continue;
            }
            EXPECT_NE(state, "unskinned") << "the first paint of a " << p.Class << " window was native";
            if (state != "half") continue;
            std::istringstream natives(list);
            for (std::string entry; std::getline(natives, entry, ',');)
                EXPECT_FALSE(SkinDraws(p.Class, entry))
                    << "the first paint of a " << p.Class << " window came before its " << entry << " was skinned";
        }
        app.CloseBox();
        app.WaitExit(10000);
    }
}

INSTANTIATE_TEST_SUITE_P(Settings, FirstFrames,
                         ::testing::Values(TStartCase{"BuiltInChinese", nullptr, L"zh-CN", 6, 3},
                                           TStartCase{"SlateChinese", L"slate.skn", L"zh-CN", 4, 3},
                                           TStartCase{"BuiltInEnglish", nullptr, L"en", 3, 3},
                                           TStartCase{"SlateEnglish", L"slate.skn", L"en", 3, 3},
                                           TStartCase{"BuiltInChineseAt200Percent", nullptr, L"zh-CN", 2, 3, 192}),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
