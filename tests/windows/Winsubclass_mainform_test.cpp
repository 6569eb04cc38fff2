// The painters of this family on the real main window with the skin it carries, driven by
// real input from the X server (the pointer really moves, the platform makes the
// mouse-move, leave and click messages): hover and leave, clicks that run each command
// handler once, typing into a skinned edit and choosing in a skinned combo box. Also the
// screenshots of every page and of a warning box (the repaint cost is in tools/bench_paint.sh).
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "RunId.h"
#include "app/UnitCANConfig.h"
#include "app/WarningBox.h"
#include "forms/ComCtrls.h"
#include "forms/ExtCtrls.h"
#include "forms/StdCtrls.h"
#include "link/VCI.h"
#include "skin/apply/Winskindlg.h"
#include "skin/apply/Winskinform.h"
#include "skin/apply/Winsubclass.h"
#include "skin/resources/Gdi_win32.h"
#include "skin/resources/Pngfile.h"
#include "skin/resources/Winskindata.h"

namespace quorin {
namespace {

void Pump(DWORD ms = 30) {
    const DWORD start = GetTickCount();
    MSG msg;
    do {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(2);
    } while (GetTickCount() - start < ms);
}

bool PumpUntil(const std::function<bool()>& done, DWORD ms = 3000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms) return false;
        Pump(10);
    }
    return true;
}

// Real input from the X server: xdotool moves the display's one pointer and types on its
// keyboard; the messages come from the platform. Wine starts a Linux program without a
// process handle to wait on, so a shell runs the tool and leaves its status in a file once
// it has finished; until then our windows keep answering.
void XDoTool(const std::string& args) {
    static int serial = 0;
    const std::string done = std::string(QUORIN_BINARY_DIR) + "/xdotool-" + RunId() + "-" + std::to_string(++serial);
    std::string doneHere = "Z:" + done;
    for (char& c : doneHere)
        if (c == '/') c = '\\';
    DeleteFileA(doneHere.c_str());
    std::string command =
        "/bin/sh -c \"/usr/bin/xdotool " + args + "; echo $? >" + done + ".part && mv " + done + ".part " + done + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        ADD_FAILURE() << "xdotool did not start";
        return;
    }
    if (pi.hThread) CloseHandle(pi.hThread);
    if (pi.hProcess) CloseHandle(pi.hProcess);
    if (!PumpUntil([&] { return GetFileAttributesA(doneHere.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000))
        ADD_FAILURE() << "xdotool " << args << " did not finish";
    DeleteFileA(doneHere.c_str());
    Pump(60);
}

void MouseTo(POINT p) { XDoTool("mousemove " + std::to_string(p.x) + " " + std::to_string(p.y)); }

void ClickAt(POINT p) {
    XDoTool("mousemove " + std::to_string(p.x) + " " + std::to_string(p.y) + " click 1");
    Pump(100);
}

void Keys(const std::string& keys) { XDoTool("key --delay 40 " + keys); }

POINT CentreOf(TWinControl* c) {
    RECT r;
    GetWindowRect(c->Handle(), &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Brings the pages that hold a control to the front.
void ShowPageOf(TControl* c) {
    std::vector<TTabSheet*> sheets;
    for (TWinControl* p = c->Parent(); p; p = p->Parent())
        if (auto* s = dynamic_cast<TTabSheet*>(p)) sheets.push_back(s);
    for (auto it = sheets.rbegin(); it != sheets.rend(); ++it) (*it)->PageControl()->SetActivePage(*it);
    Pump(60);
}

TSkinControl* PainterOf(TControl* c) {
    for (int i = 0; i < c->ComponentCount(); ++i)
        if (auto* p = dynamic_cast<TSkinControl*>(c->Components(i))) return p;
    return nullptr;
}

// Answers the program's message boxes (OK) from another thread, keeping their captions.
class BoxAnswerer {
public:
    BoxAnswerer() : FThread([this] { Run(); }) {}
    ~BoxAnswerer() {
        FStop = true;
        FThread.join();
    }
    int Count() const { return FCount; }

private:
    void Run() {
        while (!FStop) {
            EnumWindows(
                [](HWND w, LPARAM self) -> BOOL {
                    DWORD pid = 0;
                    GetWindowThreadProcessId(w, &pid);
                    wchar_t cls[32] = {};
                    GetClassNameW(w, cls, 32);
                    if (pid == GetCurrentProcessId() && IsWindowVisible(w) && wcscmp(cls, L"#32770") == 0) {
                        Sleep(150);
                        PostMessageW(w, WM_COMMAND, IDOK, 0);
                        ++reinterpret_cast<BoxAnswerer*>(self)->FCount;
                        Sleep(150);
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(this));
            Sleep(50);
        }
    }
    std::atomic<bool> FStop{false};
    std::atomic<int> FCount{0};
    std::thread FThread;
};

TBitmap ScreenPicture(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    TBitmap out(r.right - r.left, r.bottom - r.top);
    HDC screen = GetDC(nullptr);
    {
        TBitmapDC dc(out);
        BitBlt(dc.Handle(), 0, 0, out.Width(), out.Height(), screen, r.left, r.top, SRCCOPY);
    }
    ReleaseDC(nullptr, screen);
    return out;
}

std::string ShotPath(const std::string& name) {
    const std::string dir = std::string(QUORIN_BINARY_DIR) + "/screens";
    CreateDirectoryA(("Z:" + dir).c_str(), nullptr);
    return "Z:" + dir + "/" + name + ".png";
}

class MainWindowSkinned : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Application->Initialize(); }

    void SetUp() override {
        CommOpened = false;
        Form = new TFormCANConfig(Application);
        Form->SetLeft(20);
        Form->SetTop(20);
        Form->Show();
        SetWindowPos(Form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(Form->Handle());
        Pump(200);
        ASSERT_TRUE(Form->SkinData1);
        ASSERT_TRUE(Form->SkinData1->Buttons && !Form->SkinData1->Buttons->Map.Empty()) << "the carried skin";
        Applier = std::make_unique<TWinSkinForm>(nullptr);
    }
    void TearDown() override {
        Applier.reset();
        if (CommOpened) VCI_CloseDevice(OpenedCommIndex);
        CommOpened = false;
        delete Form;
        Pump(50);
    }
    // The painters as the skin applier's control walk chooses them.
    void Skin() {
        Applier->FSkinData = Form->SkinData1;
        Applier->InitControls(Form);
        RedrawWindow(Form->Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        Pump(100);
    }
    // Counts the runs of a button's click handler (the program's own handler still runs).
    std::function<int()> CountClicks(TButton* b) {
        auto count = std::make_shared<int>(0);
        TNotifyEvent old = b->OnClick;
        b->OnClick = [count, old](TObject* s) {
            ++*count;
            if (old) old(s);
        };
        return [count] { return *count; };
    }

    TFormCANConfig* Form = nullptr;
    std::unique_ptr<TWinSkinForm> Applier;
};

TEST_F(MainWindowSkinned, HoverShowsTheHotFaceAndLeavingRestoresIt) {
    Skin();
    TButton* button = Form->ButtonOpenRS232;
    auto* painter = dynamic_cast<TSkinButton*>(PainterOf(button));
    ASSERT_TRUE(painter);
    const int w = button->Width(), h = button->Height();
    // A point where the hot face differs from the normal one.
    auto compose = [&](uint8_t state) {
        painter->FMouseState = state;
        TBitmap b(w, h);
        TBitmapDC dc(b);
        painter->DrawControl(dc.Handle(), RECT{0, 0, w, h});
        return b;
    };
    const TBitmap normal = compose(0), hot = compose(msHot);
    painter->FMouseState = 0;
    POINT probe{-1, -1};
    for (int y = 1; y < h - 1 && probe.x < 0; ++y)
        for (int x = 1; x < w - 1; ++x)
            if (normal.Pixel(x, y) != hot.Pixel(x, y)) {
                probe = {x, y};
                break;
            }
    ASSERT_GE(probe.x, 0) << "the skin's hot frame looks like its normal one";
    auto shown = [&] {
        HDC dc = GetDC(button->Handle());
        const COLORREF c = GetPixel(dc, probe.x, probe.y);
        ReleaseDC(button->Handle(), dc);
        return TColor(c);
    };
    RECT form;
    GetWindowRect(Form->Handle(), &form);
    MouseTo(POINT{form.right - 30, form.bottom - 40});
    MouseTo(CentreOf(button));
    ASSERT_TRUE(PumpUntil([&] { return (painter->FMouseState & msHot) != 0; })) << "no hot state under the mouse";
    Pump(50);
    EXPECT_EQ(hot.Pixel(probe.x, probe.y), shown());
    MouseTo(POINT{form.right - 30, form.bottom - 40});
    ASSERT_TRUE(PumpUntil([&] { return (painter->FMouseState & msHot) == 0; })) << "leaving kept the hot state";
    Pump(50);
    EXPECT_EQ(normal.Pixel(probe.x, probe.y), shown());
}

TEST_F(MainWindowSkinned, ClicksRunEachHandlerOnceAndInputReachesTheControls) {
    Skin();
    BoxAnswerer boxes;
    auto open = CountClicks(Form->ButtonOpenRS232);
    auto read = CountClicks(Form->ButtonReadParameter);
    auto write = CountClicks(Form->ButtonWriteParameter);
    auto add = CountClicks(Form->ButtonVandrelFilterIDAdd);
    auto del = CountClicks(Form->ButtonVandrelFilterIDDelete);

    ClickAt(CentreOf(Form->ButtonOpenRS232));
    ASSERT_TRUE(PumpUntil([&] { return open() == 1 && CommOpened; }, 5000)) << "Open ran " << open() << " times";
    ClickAt(CentreOf(Form->ButtonReadParameter));
    ASSERT_TRUE(PumpUntil([&] { return read() == 1; }, 5000));
    ClickAt(CentreOf(Form->ButtonWriteParameter));
    ASSERT_TRUE(PumpUntil([&] { return write() == 1; }, 8000));
    ShowPageOf(Form->ButtonVandrelFilterIDAdd);
    // The filter buttons work once filtering is switched on, by a click on its check box.
    if (!Form->CheckBoxVandrelFilterEnable->Checked()) {
        RECT box;
        GetWindowRect(Form->CheckBoxVandrelFilterEnable->Handle(), &box);
        ClickAt(POINT{box.left + 6, (box.top + box.bottom) / 2});
        ASSERT_TRUE(PumpUntil([&] { return Form->CheckBoxVandrelFilterEnable->Checked(); }));
    }
    ASSERT_TRUE(PumpUntil([&] { return Form->ButtonVandrelFilterIDAdd->Enabled(); }));
    ClickAt(CentreOf(Form->ButtonVandrelFilterIDAdd));
    ASSERT_TRUE(PumpUntil([&] { return add() == 1; }));
    ClickAt(CentreOf(Form->ButtonVandrelFilterIDDelete));
    ASSERT_TRUE(PumpUntil([&] { return del() == 1; }));
    Pump(600);
    EXPECT_EQ(1, open());
    EXPECT_EQ(1, read());
    EXPECT_EQ(1, write());
    EXPECT_EQ(1, add());
    EXPECT_EQ(1, del());
    EXPECT_TRUE(GetWindowLongW(Form->ButtonWriteParameter->Handle(), GWL_STYLE) & WS_VISIBLE);

    // Typing into a skinned edit.
    ShowPageOf(Form->EditCANID);
    ClickAt(CentreOf(Form->EditCANID));
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == Form->EditCANID->Handle(); }));
    // The old text selected, then typed over on the keyboard.
    SendMessageW(Form->EditCANID->Handle(), EM_SETSEL, 0, -1);
    // No key twice in a row: the display's key-repeat detection may swallow the second.
    XDoTool("type --delay 60 125");
    PumpUntil([&] { return Form->EditCANID->Text().size() >= 3; });
    EXPECT_EQ("125", Form->EditCANID->Text());

    // Choosing in a skinned combo box with the mouse.
    ShowPageOf(Form->ComboBoxUARTMode);
    TComboBox* combo = Form->ComboBoxUARTMode;
    const int before = combo->ItemIndex();
    ClickAt(CentreOf(combo));
    ASSERT_TRUE(PumpUntil([&] { return combo->DroppedDown(); })) << "the list did not open";
    Keys(before + 1 < combo->Items().Count() ? "Down Return" : "Up Return");
    PumpUntil([&] { return !combo->DroppedDown(); });
    EXPECT_NE(before, combo->ItemIndex());
    EXPECT_NE(-1, combo->ItemIndex());
}

TEST_F(MainWindowSkinned, ScreenshotsOfEveryPageAndOfAWarningBox) {
    Skin();
    int shot = 0;
    for (TPageControl* pc : {Form->PageControlCANConfig, Form->PageControlQUORINQ1, Form->PageControlOsmerk}) {
        if (!pc) continue;
        for (int i = 0; i < pc->PageCount(); ++i) {
            TTabSheet* sheet = pc->Pages(i);
            // Only the pages an operator can reach: every tab on the way shown.
            bool reachable = true;
            for (TControl* c = sheet; c; c = c->Parent())
                if (auto* s = dynamic_cast<TTabSheet*>(c); s && !s->TabVisible()) reachable = false;
            if (!reachable) continue;
            ShowPageOf(sheet->ControlCount() ? sheet->Controls(0) : sheet);
            pc->SetActivePage(sheet);
            Pump(150);
            EXPECT_TRUE(SavePngFile(ShotPath("page" + std::to_string(++shot) + "_" + sheet->Name()),
                                    ScreenPicture(Form->Handle())));
        }
    }
    EXPECT_GE(shot, 3);

    // A warning box, skinned as the manager will skin it: the dialog and its button.
    static TWinSkinForm* applier;
    static bool saved;
    applier = Applier.get();
    saved = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND box = nullptr;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND w, LPARAM out) -> BOOL {
                wchar_t cls[32] = {};
                GetClassNameW(w, cls, 32);
                if (wcscmp(cls, L"#32770") == 0 && IsWindowVisible(w)) *reinterpret_cast<HWND*>(out) = w;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&box));
        if (!box) return;
        KillTimer(nullptr, id);
        // The walk over a raw dialog: its controls by window class, then the dialog.
        // The program's skin manager may have taken the box already: then its applier
        // holds the painters.
        TWinSkinForm* owner = SkinManage() ? SkinManage()->FindSkinForm(box) : nullptr;
        if (!owner) {
            owner = applier;
            applier->AddControlh(box);
        }
        SetWindowPos(box, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump(200);
        EXPECT_TRUE(SendMessageW(box, CN_IsSkinned, 0, 0) == 1);
        if (owner == applier) {
            EXPECT_TRUE(dynamic_cast<TSkinBoxH*>(applier->Lookupcontrol(box)));
        }
        saved = SavePngFile(ShotPath("warning_box"), ScreenPicture(box));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    ShowWarningBox("Please open the serial port first!", "Warning");
    KillTimer(nullptr, timer);
    EXPECT_TRUE(saved);
}

}  // namespace
}  // namespace quorin
