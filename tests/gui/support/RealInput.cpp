// Real input through xdotool, pop-up menu windows and screen pixels.
#include "RealInput.h"

namespace quorin::gui {

bool XDoTool(const std::string& args) {
    std::string command = "/usr/bin/xdotool " + args;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    const bool done = WaitForSingleObject(pi.hProcess, 10000) == WAIT_OBJECT_0;
    DWORD code = 1;
    if (done) GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return done && code == 0;
}

void MouseMove(int x, int y) { XDoTool("mousemove " + std::to_string(x) + " " + std::to_string(y)); }

void MouseClick(int x, int y, int button, int repeat) {
    XDoTool("mousemove " + std::to_string(x) + " " + std::to_string(y) + " click --repeat " + std::to_string(repeat) +
            " --delay 80 " + std::to_string(button));
}

void MouseDown(int x, int y, int button) {
    XDoTool("mousemove " + std::to_string(x) + " " + std::to_string(y) + " mousedown " + std::to_string(button));
}

void MouseUp(int x, int y, int button) {
    XDoTool("mousemove " + std::to_string(x) + " " + std::to_string(y) + " mouseup " + std::to_string(button));
}

void Keys(const std::string& keys) { XDoTool("key --delay 60 " + keys); }

std::vector<HWND> PopupMenus(DWORD processId) {
    struct Ctx {
        DWORD pid;
        std::vector<HWND> found;
    } ctx{processId, {}};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(p);
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            wchar_t cls[16] = {};
            GetClassNameW(w, cls, 16);
            if (pid == c->pid && wcscmp(cls, L"#32768") == 0 && IsWindowVisible(w)) c->found.push_back(w);
            return TRUE;
        },
        LPARAM(&ctx));
    return ctx.found;
}

long ScreenPixel(int x, int y) {
    HDC dc = GetDC(nullptr);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(nullptr, dc);
    return c == CLR_INVALID ? -1 : long(c);
}

std::vector<long> ScreenPixels(const RECT& r) {
    std::vector<long> out;
    HDC dc = GetDC(nullptr);
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) out.push_back(long(GetPixel(dc, x, y)));
    ReleaseDC(nullptr, dc);
    return out;
}

} // namespace quorin::gui
