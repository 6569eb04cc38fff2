// Real input through xdotool, pop-up menu windows and screen pixels.
#include "RealInput.h"

#include <cstdint>
#include <cstdio>

#include "tests/windows/RunId.h"

namespace quorin::gui {

// Wine starts a Linux program without giving a process handle to wait on, so waiting on
// the handle returns at once while the tool is still typing or clicking; the caller's next
// step then races the input (keys still being typed reach whatever that step opened). A
// shell runs the tool and leaves its exit status in a file once it has finished, and the
// caller waits for that file: when this returns, the X server has had all the input.
bool XDoTool(const std::string& args) {
    // The build folder is this worktree's own (other test runs share /tmp and Wine's ids).
    static int serial = 0;
    const std::string done = std::string(QUORIN_BINARY_DIR) + "/xdotool-" + RunId() + "-" + std::to_string(++serial);
    std::string doneHere = "Z:" + done;  // the same file as this program names it
    for (char& c : doneHere)
        if (c == '/') c = '\\';
    std::string quoted;
    for (char c : args) {
        if (c == '"') quoted += '\\';
        quoted += c;
    }
    std::string command = "/bin/sh -c \"/usr/bin/xdotool " + quoted + "; echo $? >" + done + ".part && mv " + done +
                          ".part " + done + "\"";
    DeleteFileA(doneHere.c_str());  // left by an earlier run of the same ids
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    if (pi.hThread) CloseHandle(pi.hThread);
    if (pi.hProcess) CloseHandle(pi.hProcess);
    const DWORD start = GetTickCount();
    while (GetFileAttributesA(doneHere.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount() - start > 10000) return false;
        Sleep(5);
    }
    int code = -1;
    if (FILE* f = std::fopen(doneHere.c_str(), "r")) {
        if (std::fscanf(f, "%d", &code) != 1) code = -1;
        std::fclose(f);
    }
    DeleteFileA(doneHere.c_str());
    return code == 0;
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
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return {};
    std::vector<long> out;
    HDC screen = GetDC(nullptr);
    HDC copy = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (copy && picture) {
        const HGDIOBJ before = SelectObject(copy, picture);
        BitBlt(copy, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
        GdiFlush();
        const auto* pixel = static_cast<const uint32_t*>(bits);
        out.reserve(size_t(width) * size_t(height));
        for (int i = 0; i < width * height; ++i)  // blue in the lowest byte there
            out.push_back(long(RGB(pixel[i] >> 16 & 0xFF, pixel[i] >> 8 & 0xFF, pixel[i] & 0xFF)));
        SelectObject(copy, before);
    }
    if (picture) DeleteObject(picture);
    if (copy) DeleteDC(copy);
    ReleaseDC(nullptr, screen);
    return out;
}

}  // namespace quorin::gui
