// Shared by the painter tests: the main window shown on the screen with a skin applier of
// its own (the painters are attached directly, as the control walk would), real mouse and
// keyboard input through the platform's input queue, and pixels read back from the screen.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "app/UnitCANConfig.h"
#include "forms/Streams.h"
#include "skin/apply/Winskinform.h"
#include "skin/apply/Winsubclass.h"
#include "skin/resources/Skindraw_win32.h"
#include "skin/resources/Winskindata.h"

namespace quorin::painters {

// Runs the message loop for a while (the painters paint, the input arrives).
inline void Pump(int milliseconds = 60) {
    const DWORD end = GetTickCount() + DWORD(milliseconds);
    do {
        Application->ProcessMessages();
        Sleep(5);
    } while (GetTickCount() < end);
}

inline bool PumpUntil(const std::function<bool()>& done, int milliseconds = 3000) {
    const DWORD end = GetTickCount() + DWORD(milliseconds);
    while (GetTickCount() < end) {
        Application->ProcessMessages();
        if (done()) return true;
        Sleep(5);
    }
    return done();
}

// A screen point as absolute input coordinates.
inline INPUT MouseAt(POINT p, DWORD flags) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = LONG((p.x * 65536 + w / 2) / w);
    in.mi.dy = LONG((p.y * 65536 + h / 2) / h);
    in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    return in;
}

inline void MoveTo(POINT screen) {
    INPUT in = MouseAt(screen, 0);
    SendInput(1, &in, sizeof in);
    Pump(40);
}

// A left click at a screen point: move, press, release, all through the input queue.
inline void ClickAt(POINT screen, int pumpMs = 80) {
    INPUT in[3] = {MouseAt(screen, 0), MouseAt(screen, MOUSEEVENTF_LEFTDOWN), MouseAt(screen, MOUSEEVENTF_LEFTUP)};
    SendInput(3, in, sizeof(INPUT));
    Pump(pumpMs);
}

// Press at one point, move in steps to another, release: one batch, because a press on a
// scroll bar runs the platform's tracking loop until the release arrives.
inline void DragFromTo(POINT from, POINT to, int steps = 8) {
    std::vector<INPUT> in;
    in.push_back(MouseAt(from, 0));
    in.push_back(MouseAt(from, MOUSEEVENTF_LEFTDOWN));
    for (int i = 1; i <= steps; ++i)
        in.push_back(MouseAt(POINT{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps}, 0));
    in.push_back(MouseAt(to, MOUSEEVENTF_LEFTUP));
    SendInput(UINT(in.size()), in.data(), sizeof(INPUT));
    Pump(150);
}

inline void PressKey(WORD vk) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
    Pump(80);
}

// The screen's pixels of a window's area (what the operator sees there).
inline TBitmap GrabScreen(const RECT& screenRect) {
    TBitmap shot(screenRect.right - screenRect.left, screenRect.bottom - screenRect.top);
    HDC screen = GetDC(nullptr);
    {
        TBitmapDC dc(shot, screen);
        BitBlt(dc.Handle(), 0, 0, shot.Width(), shot.Height(), screen, screenRect.left, screenRect.top, SRCCOPY);
    }
    ReleaseDC(nullptr, screen);
    GdiFlush();
    return shot;
}

inline TBitmap GrabWindow(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return GrabScreen(r);
}

inline TColor ScreenPixel(POINT p) {
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return TColor(c);
}

inline POINT ToScreen(HWND window, POINT client) {
    ClientToScreen(window, &client);
    return client;
}

// Saves what the screen shows of a window as a PNG under build/ (looked at by hand).
inline void SaveShot(HWND window, const std::string& name) {
    RECT r;
    GetWindowRect(window, &r);
    const std::string dir = std::string(QUORIN_BINARY_DIR) + "/screenshots";
    CreateDirectoryA(dir.c_str(), nullptr);
    const std::string bmp = dir + "/" + name + ".bmp";
    TBitmap shot = GrabScreen(r);
    // A plain 24-bit BMP; tools/ converts for viewing.
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = shot.Width();
    info.biHeight = shot.Height();
    info.biPlanes = 1;
    info.biBitCount = 24;
    const DWORD stride = DWORD((shot.Width() * 3 + 3) & ~3);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + stride * DWORD(shot.Height());
    HANDLE f = CreateFileA(bmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written;
    WriteFile(f, &file, sizeof file, &written, nullptr);
    WriteFile(f, &info, sizeof info, &written, nullptr);
    std::vector<uint8_t> row(stride);
    for (int y = shot.Height() - 1; y >= 0; --y) {
        for (int x = 0; x < shot.Width(); ++x) {
            const TColor c = shot.Pixel(x, y);
            row[size_t(x) * 3] = uint8_t(c >> 16);
            row[size_t(x) * 3 + 1] = uint8_t(c >> 8);
            row[size_t(x) * 3 + 2] = uint8_t(c);
        }
        WriteFile(f, row.data(), stride, &written, nullptr);
    }
    CloseHandle(f);
}

inline bool Near(TColor a, TColor b, int tolerance = 8) {
    auto ch = [](TColor c, int s) { return int((c >> s) & 0xFF); };
    for (int s : {0, 8, 16})
        if (std::abs(ch(a, s) - ch(b, s)) > tolerance) return false;
    return true;
}

// The main window shown, with a skin applier that the tests attach painters through.
class SkinnedMainWindow : public testing::Test {
protected:
    void SetUp() override {
        Form = new TFormCANConfig(Application);
        Form->SetBounds(10, 10, Form->Width(), Form->Height());
        Form->Show();
        SetForegroundWindow(Form->Handle());
        // The skin manager skins the window on its timer, walking its controls: the painters
        // of the main window are the applier's own. Without a manager, an applier of ours.
        PumpUntil(
            [&] {
                TWinSkinForm* f = FindSkinForm(Form->Handle());
                return f && SendMessageW(Form->PageControlCANConfig->Handle(), CN_IsSkinned, 0, 0) == 1;
            },
            5000);
        Skin = FindSkinForm(Form->Handle());
        if (!Skin) {
            Skin = new TWinSkinForm(Form);
            Skin->FHandle = Form->Handle();
            Skin->FForm = Form;
            Skin->FSkinData = Form->SkinData1;
        }
        Pump(100);
    }
    void TearDown() override {
        delete Form;
        Form = nullptr;
        Pump(20);
    }

    // Frees the painter of a control, if it has one: the control is native again.
    void Detach(TWinControl* control) {
        if (!control->HandleAllocated()) return;
        if (TSkinControl* p = Skin->Lookupcontrol(control->Handle())) delete p;
    }

    // The painter of the named class on a framework control: the one the walk attached, or
    // a new one attached as the walk does. With a skin of its own, always a new one.
    template <class T = TSkinControl>
    T* Attach(const char* painterClass, TControl* control, int32_t kind = 0, TSkinData* skin = nullptr) {
        auto* windowed = dynamic_cast<TWinControl*>(control);
        if (windowed && windowed->HandleAllocated()) {
            if (TSkinControl* existing = Skin->Lookupcontrol(windowed->Handle())) {
                if (!skin && existing->ClassName() == painterClass) return dynamic_cast<T*>(existing);
                delete existing;
            }
        }
        TSkinControl* p = NewSkinControl(painterClass, control);
        p->FKind = kind;
        TSkinData* data = skin ? skin : Form->SkinData1;
        if (auto* s = dynamic_cast<TSkinScrollbar*>(p))
            s->InitScrollbar(control, data, Skin, Skin->FCanvas.get());
        else if (auto* c = dynamic_cast<TSkinScControl*>(p))
            c->InitScrollbar(control, data, Skin, Skin->FCanvas.get());
        else
            p->Init(Skin, data, false, Skin->FCanvas.get());
        return dynamic_cast<T*>(p);
    }

    // A second skin read from the same packed skin, for tests that take elements away.
    std::unique_ptr<TSkinData> CopySkin() {
        auto copy = std::make_unique<TSkinData>(nullptr);
        TMemoryStream& packed = Form->SkinData1->PackedSkin();
        packed.SetPosition(0);
        copy->LoadFromStream(packed);
        return copy;
    }

    TFormCANConfig* Form = nullptr;
    TWinSkinForm* Skin = nullptr;
};

// Times a callable; microseconds per call over n calls.
inline double MicrosPerCall(int n, const std::function<void()>& f) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < n; ++i) f();
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::micro>(end - start).count() / n;
}

}  // namespace quorin::painters
