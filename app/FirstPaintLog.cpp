#include "app/FirstPaintLog.h"

#include <windows.h>

#include "forms/Handles.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace quorin {
namespace {

THookHandle gHook;
std::wstring gLogFile;
std::string gSteps;  // written out with the first paint

// Microseconds since the Unix epoch, so the figure compares with the launcher's clock.
unsigned long long UnixMicroseconds() {
    FILETIME ft;
    GetSystemTimePreciseAsFileTime(&ft);
    const unsigned long long ticks = (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return (ticks - 116444736000000000ULL) / 10;  // 100 ns ticks since 1601
}

void AddStep(const char* name, unsigned long long at) {
    char line[96];
    std::snprintf(line, sizeof line, "step %s %llu\n", name, at);
    gSteps += line;
}

// The steps logged so far go out first, so that the log reads in time order.
void LogLine(const char* what) {
    const unsigned long long now = UnixMicroseconds();
    if (FILE* f = _wfopen(gLogFile.c_str(), L"a")) {
        std::fputs(gSteps.c_str(), f);
        std::fprintf(f, "%s %llu\n", what, now);
        std::fclose(f);
    }
    gSteps.clear();
}

bool gPainted = false;

// WM_PAINT is retrieved, never sent, so the message-retrieval hook sees the first one
// just before it is dispatched to the window. The first paint of a window that the skin
// has taken over (it answers the skin engine's query 0x3523 with 1) is logged as well;
// then the hook goes.
LRESULT CALLBACK OnGetMessage(int code, WPARAM wParam, LPARAM lParam) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_PAINT && gHook) {
        HWND root = GetAncestor(msg->hwnd, GA_ROOT);
        if (IsWindowVisible(root)) {
            if (!gPainted) {
                gPainted = true;
                LogLine("first-paint");
            }
            if (SendMessageW(root, 0x3523, 0, 0) == 1) {
                LogLine("first-skinned-paint");
                // The hook goes once the message has gone on down the chain.
                const THookHandle hook = std::move(gHook);
                return CallNextHookEx(hook.Get(), code, wParam, lParam);
            }
        }
    }
    return CallNextHookEx(gHook.Get(), code, wParam, lParam);
}

}  // namespace

void LogStartupStep(const char* name) {
    if (gHook) AddStep(name, UnixMicroseconds());
}

void InstallFirstPaintLog() {
    const wchar_t* file = _wgetenv(L"QUORIN_STARTUP_LOG");
    if (!file || !*file || gHook) return;
    gLogFile = file;
    FILETIME created, exited, kernel, user;
    if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) {
        const unsigned long long ticks =
            (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
        AddStep("process", (ticks - 116444736000000000ULL) / 10);
    }
    AddStep("entry", UnixMicroseconds());
    gHook.Reset(SetWindowsHookExW(WH_GETMESSAGE, OnGetMessage, nullptr, GetCurrentThreadId()));
}

}  // namespace quorin
