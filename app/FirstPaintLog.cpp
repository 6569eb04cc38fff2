#include "app/FirstPaintLog.h"

#include <windows.h>

#include "forms/Handles.h"

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

namespace quorin {
namespace {

THookHandle gHook;
THookHandle gSentHook;  // paint checks only
std::wstring gLogFile;
std::string gSteps;  // written out with the first paint

// The skin engine's query: a window it has taken over answers 1.
constexpr UINT kIsSkinnedQuery = 0x3523;

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
void LogLine(const std::string& what) {
    const unsigned long long now = UnixMicroseconds();
    if (FILE* f = _wfopen(gLogFile.c_str(), L"a")) {
        std::fputs(gSteps.c_str(), f);
        std::fprintf(f, "%s %llu\n", what.c_str(), now);
        std::fclose(f);
    }
    gSteps.clear();
}

bool gPainted = false;
bool gSkinnedPainted = false;

bool AnswersSkinned(HWND window) { return SendMessageW(window, kIsSkinnedQuery, 0, 0) == 1; }

std::string ClassOf(HWND window) {
    char name[128] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// ---- Paint checks (QUORIN_PAINT_CHECK) ----------------------------------------------------
// Every window's first paint that can reach the screen (its frame, its background or its
// client, whichever comes first, while the window and its top-level window are visible) is
// logged with whether the skin had the window then:
//   window-paint CLASS skinned TIME                      a top-level window the skin has,
//                                                        with every visible control
//   window-paint CLASS half P>C,P>C,... TIME             its frame is the skin's; the listed
//                                                        visible controls (class C in a
//                                                        parent of class P) answer native
//   window-paint CLASS unskinned TIME                    a window drawn natively
//   control-paint P>C ROOTCLASS unskinned TIME           a control painted natively inside
//                                                        a window the skin has
// Which native controls are by design (labels, controls of the system's own libraries) is
// the reader's business.
std::set<HWND> gSeen;

void CollectNative(HWND root, std::string& natives) {
    EnumChildWindows(
        root,
        [](HWND child, LPARAM out) -> BOOL {
            if (IsWindowVisible(child) && !AnswersSkinned(child)) {
                auto& list = *reinterpret_cast<std::string*>(out);
                if (!list.empty()) list += ',';
                list += ClassOf(GetParent(child)) + '>' + ClassOf(child);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&natives));
}

void CheckPaint(HWND window) {
    if (!window || gSeen.count(window) || !IsWindowVisible(window)) return;
    const HWND root = GetAncestor(window, GA_ROOT);
    if (!root || !IsWindowVisible(root)) return;
    gSeen.insert(window);
    if (window == root) {
        if (!AnswersSkinned(root)) {
            LogLine("window-paint " + ClassOf(root) + " unskinned");
            return;
        }
        std::string natives;
        CollectNative(root, natives);
        LogLine("window-paint " + ClassOf(root) + (natives.empty() ? " skinned" : " half " + natives));
        return;
    }
    if (AnswersSkinned(root) && !AnswersSkinned(window))
        LogLine("control-paint " + ClassOf(GetParent(window)) + '>' + ClassOf(window) + " " + ClassOf(root) +
                " unskinned");
}

// Frames and backgrounds are painted by sent messages, which only this hook sees.
LRESULT CALLBACK OnSentMessage(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && lParam) {
        const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (m->message == WM_NCPAINT || m->message == WM_ERASEBKGND || m->message == WM_PRINTCLIENT)
            CheckPaint(m->hwnd);
    }
    return CallNextHookEx(gSentHook.Get(), code, wParam, lParam);
}

// WM_PAINT is retrieved, never sent, so the message-retrieval hook sees the first one
// just before it is dispatched to the window. The first paint of a window that the skin
// has taken over (it answers the skin engine's query with 1) is logged as well; then the
// hook goes, unless paints are being checked.
LRESULT CALLBACK OnGetMessage(int code, WPARAM wParam, LPARAM lParam) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_PAINT && gHook) {
        if (gSentHook) CheckPaint(msg->hwnd);
        HWND root = GetAncestor(msg->hwnd, GA_ROOT);
        if (!gSkinnedPainted && IsWindowVisible(root)) {
            if (!gPainted) {
                gPainted = true;
                LogLine("first-paint");
            }
            if (AnswersSkinned(root)) {
                gSkinnedPainted = true;
                LogLine("first-skinned-paint");
                if (!gSentHook) {
                    // The hook goes once the message has gone on down the chain.
                    const THookHandle hook = std::move(gHook);
                    return CallNextHookEx(hook.Get(), code, wParam, lParam);
                }
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
    // The check costs every message the thread sends, so the timing runs go without it.
    const wchar_t* check = _wgetenv(L"QUORIN_PAINT_CHECK");
    if (check && *check && *check != L'0')
        gSentHook.Reset(SetWindowsHookExW(WH_CALLWNDPROC, OnSentMessage, nullptr, GetCurrentThreadId()));
}

}  // namespace quorin
