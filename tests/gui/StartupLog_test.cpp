// The start-up log that tools/bench_startup.sh reads, through the real programs: the
// program logs its steps in the order it takes them, all before its first paint, and the
// bare window it is measured against logs its first paint the same way.
#include "support/GuiHarness.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
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

    const std::vector<std::string> order = {"process",   "entry",     "initialize", "layout",
                                            "port-scan", "main-form", "about-box",  "first-paint"};
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
