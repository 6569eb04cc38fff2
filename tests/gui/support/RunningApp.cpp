// Starting and ending the program, finding its windows, and the keyboard and menu input
// that goes to the program as a whole rather than to one control.
#include "GuiHarness.h"
#include "RealInput.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace quorin::gui {
namespace {

const char kMainName[] = "FormCANConfig";
const char kMainCaption[] = "QUORIN 配置工具";

std::wstring ExePath(const std::wstring& given) {
    std::wstring path = given;
    if (path.empty()) {
        if (const wchar_t* env = _wgetenv(L"QUORIN_EXE"); env && *env) path = env;
    }
#ifdef QUORIN_EXE
    if (path.empty()) path = Widen(QUORIN_EXE);
#endif
    // The build runs on Linux and compiles in a Linux path.
    return HostPath(Narrow(path));
}

struct EnumState {
    DWORD pid;
    std::vector<HWND>* out;
};

BOOL CALLBACK CollectTopLevel(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<EnumState*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == s->pid && IsWindowVisible(w)) s->out->push_back(w);
    return TRUE;
}

struct FindState {
    std::string name;
    HWND found = nullptr;
};

BOOL CALLBACK FindNamed(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<FindState*>(lp);
    if (QuorinNameOf(w) == s->name) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

void PostKey(HWND target, UINT vk) {
    const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    PostMessageW(target, WM_KEYDOWN, vk, LPARAM(1 | (scan << 16)));
    PostMessageW(target, WM_KEYUP, vk, LPARAM(1 | (scan << 16) | (1u << 30) | (1u << 31)));
}

}  // namespace

RunningApp::RunningApp(LaunchOptions options) {
    const std::wstring exe = ExePath(options.exe);
    if (exe.empty()) {
        failure_ = "no program to start: QUORIN_EXE is not set";
        return;
    }
    std::wstring dir = exe.substr(0, exe.find_last_of(L"\\/") + 1);
    std::wstring cmd = L"\"" + exe + L"\"";
    for (const auto& arg : options.args)
        cmd += arg.find(L' ') == std::wstring::npos ? L" " + arg : L" \"" + arg + L"\"";

    // The child inherits our environment; the extra variables are set only around the start.
    std::vector<std::pair<std::wstring, std::optional<std::wstring>>> saved;
    for (const auto& [k, v] : options.env) {
        wchar_t buf[32767];
        DWORD n = GetEnvironmentVariableW(k.c_str(), buf, 32767);
        saved.emplace_back(k, n ? std::optional<std::wstring>(std::wstring(buf, n)) : std::nullopt);
        SetEnvironmentVariableW(k.c_str(), v.c_str());
    }
    STARTUPINFOW si{};
    si.cb = sizeof si;
    const BOOL ok = CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   dir.empty() ? nullptr : dir.c_str(), &si, &pi_);
    for (const auto& [k, v] : saved) SetEnvironmentVariableW(k.c_str(), v ? v->c_str() : nullptr);
    if (!ok) {
        failure_ = "cannot start " + Narrow(exe) + " (error " + std::to_string(GetLastError()) + ")";
        pi_ = {};
        return;
    }

    const ULONGLONG end = GetTickCount64() + options.mainWindowTimeoutMs;
    while (!main_) {
        for (HWND w : TopLevelWindows()) {
            if (QuorinNameOf(w) == kMainName || WindowText(w) == kMainCaption) {
                main_ = w;
                break;
            }
        }
        if (main_) break;
        if (auto box = CurrentMessageBox()) {
            failure_ = "a message box came up instead of the main window: \"" + box->caption + "\": " + box->text;
            return;
        }
        if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(pi_.hProcess, &code);
            failure_ = "the program ended before showing its main window, exit code " + std::to_string(code);
            return;
        }
        if (GetTickCount64() >= end) {
            failure_ = "the main window did not appear within " + std::to_string(options.mainWindowTimeoutMs) + " ms";
            return;
        }
        Sleep(20);
    }
    WaitForInputIdle(pi_.hProcess, 5000);
}

RunningApp::~RunningApp() {
    if (pi_.hProcess) {
        if (WaitForSingleObject(pi_.hProcess, 0) != WAIT_OBJECT_0) {
            TerminateProcess(pi_.hProcess, 1);
            WaitForSingleObject(pi_.hProcess, 5000);
        }
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
    }
}

std::vector<HWND> RunningApp::TopLevelWindows() const {
    std::vector<HWND> all;
    if (!pi_.dwProcessId) return all;
    EnumState s{pi_.dwProcessId, &all};
    EnumWindows(CollectTopLevel, LPARAM(&s));
    if (main_) {
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i] == main_) std::swap(all[0], all[i]);
    }
    return all;
}

HWND RunningApp::Find(const std::string& name, HWND root, DWORD timeoutMs) const {
    HWND found = nullptr;
    auto look = [&] {
        std::vector<HWND> roots;
        if (root) {
            roots.push_back(root);
        } else {
            roots = TopLevelWindows();
        }
        for (HWND r : roots) {
            if (QuorinNameOf(r) == name) {
                found = r;
                return true;
            }
            FindState s{name};
            EnumChildWindows(r, FindNamed, LPARAM(&s));
            if (s.found) {
                found = s.found;
                return true;
            }
        }
        return false;
    };
    if (timeoutMs)
        WaitUntil(look, timeoutMs);
    else
        look();
    return found;
}

HWND RunningApp::Window(const std::string& name, HWND root) const {
    // The windows of pages not yet shown are made just after the window's first paint.
    HWND w = Find(name, root, 3000);
    if (!w) ADD_FAILURE() << "no control named " << name << " in the program's windows";
    return w;
}

HWND RunningApp::WaitWindow(const std::string& name, DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : TopLevelWindows()) {
                if (QuorinNameOf(w) == name || WindowText(w) == name) {
                    found = w;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

void RunningApp::ChooseMenu(std::initializer_list<int> path, HWND window) {
    HWND w = window ? window : main_;
    if (!w || path.size() == 0) return;
    const DWORD step = 150;  // each key is handled before the next arrives
    auto key = [&](UINT vk) {
        PostKey(w, vk);
        Sleep(step);
    };
    // Alt alone: the menu bar takes the keyboard with its first menu selected (or, when
    // the bar is skinned, with the first menu open). The keys follow once the program is
    // in its menu loop: a skinned bar selects the first item with a key of its own, which
    // must come before ours.
    PostMessageW(w, WM_SYSCOMMAND, SC_KEYMENU, 0);
    WaitUntil(
        [&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            return !PopupMenus(pi_.dwProcessId).empty() ||
                   (GetGUIThreadInfo(pi_.dwThreadId, &info) && (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE)));
        },
        3000);
    Sleep(step);
    // A negative index counts from the end: -1 is the last menu or item.
    auto it = path.begin();
    if (*it >= 0)
        for (int i = 0; i < *it; ++i) key(VK_RIGHT);
    else
        for (int i = 0; i < -*it; ++i) key(VK_LEFT);  // Left from the first wraps to the last
    for (++it; it != path.end(); ++it) {
        key(VK_DOWN);  // opens the drop-down (or moves in an open one)
        if (*it >= 0) {
            key(VK_HOME);  // either way, start at the first selectable item
            for (int i = 0; i < *it; ++i) key(VK_DOWN);
        } else {
            key(VK_END);
            for (int i = 1; i < -*it; ++i) key(VK_UP);
        }
        if (it + 1 != path.end()) key(VK_RIGHT);  // into a sub-menu
    }
    key(VK_RETURN);
}

void RunningApp::PressKey(UINT vk) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    HWND target = nullptr;
    if (GetGUIThreadInfo(pi_.dwThreadId, &info)) target = info.hwndFocus ? info.hwndFocus : info.hwndActive;
    if (!target) target = main_;
    PostKey(target, vk);
}

void RunningApp::CloseBox(HWND window) { PostMessageW(window ? window : main_, WM_SYSCOMMAND, SC_CLOSE, 0); }

std::optional<DWORD> RunningApp::WaitExit(DWORD timeoutMs) {
    if (!pi_.hProcess || WaitForSingleObject(pi_.hProcess, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

bool RunningApp::Running() const { return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

}  // namespace quorin::gui
