// What controls do between themselves: windowless labels painted by their parent, the
// framework's notifications (focus, exit, dialog keys, mouse enter and leave), tab order,
// the default button, and the exception display's real message box.
#include "forms/Forms.h"
#include "forms/LayoutText.h"
#include "forms/StdCtrls.h"
#include "forms/WinText.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace quorin;

namespace {

const char* kLayout = R"(KeysForm: TForm {
  ClientWidth = 300
  ClientHeight = 200
  Caption = "Keys"
  Note: TLabel { Left = 10 Top = 10 Width = 120 Height = 13 Caption = "WWWWWWWWWW" Font.Color = clBlack }
  EditB: TEdit { Left = 10 Top = 40 Width = 80 Height = 21 TabOrder = 1 }
  EditA: TEdit { Left = 10 Top = 70 Width = 80 Height = 21 TabOrder = 0 }
  Hidden: TEdit { Left = 10 Top = 100 Width = 80 Height = 21 TabOrder = 2 Visible = false }
  OK: TButton { Left = 120 Top = 160 Width = 75 Height = 25 Caption = "OK" Default = true TabOrder = 3 ModalResult = 1 OnClick = OKClick }
  Other: TButton { Left = 200 Top = 160 Width = 75 Height = 25 Caption = "Other" TabOrder = 4 OnClick = OtherClick }
}
)";

class KeysForm : public TForm {
public:
    KeysForm() : TForm(nullptr) {
        RegisterHandler("OKClick", &KeysForm::OKClick);
        RegisterHandler("OtherClick", &KeysForm::OtherClick);
        BindField("EditA", EditA);
        BindField("EditB", EditB);
        BindField("OK", OK);
        BindField("Other", Other);
        BindField("Note", Note);
        InitLayoutText(kLayout);
    }
    TEdit* EditA = nullptr;
    TEdit* EditB = nullptr;
    TButton* OK = nullptr;
    TButton* Other = nullptr;
    TLabel* Note = nullptr;
    std::vector<std::string> Clicks;
    void OKClick(TObject*) { Clicks.push_back("OK"); }
    void OtherClick(TObject*) { Clicks.push_back("Other"); }
};

// Records the framework notifications a control receives, chaining to its message method.
struct Recorder {
    explicit Recorder(TControl* c) : control(c), saved(c->WindowProc) {
        c->WindowProc = [this](TMessage& m) {
            if (m.Msg >= CM_BASE && m.Msg < CM_BASE + 0x100) seen.push_back(m.Msg);
            saved(m);
        };
    }
    ~Recorder() { control->WindowProc = saved; }
    bool Saw(UINT msg) const { return std::find(seen.begin(), seen.end(), msg) != seen.end(); }
    TControl* control;
    TWndMethod saved;
    std::vector<UINT> seen;
};

void PressKey(UINT vk) {
    PostMessageW(GetFocus(), WM_KEYDOWN, vk, 1);
    Application->ProcessMessages();
}

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Initialize();
        form = new KeysForm();
        form->Show();
        SetForegroundWindow(form->Handle());
        Application->ProcessMessages();
    }
    void TearDown() override { delete form; }
    KeysForm* form = nullptr;
};

}  // namespace

TEST_F(ControlsTest, LabelHasNoWindowAndItsParentPaintsIt) {
    EXPECT_EQ(FindControl(GetWindow(form->Handle(), GW_CHILD)) == nullptr, false);
    for (HWND child = GetWindow(form->Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        EXPECT_NE(FindControl(child), static_cast<TControl*>(form->Note));
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 300, 200);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all{0, 0, 300, 200};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    form->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    int dark = 0;
    for (int y = 10; y < 23; ++y)
        for (int x = 10; x < 130; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            dark += GetRValue(c) < 0x80 && GetGValue(c) < 0x80 && GetBValue(c) < 0x80 ? 1 : 0;  // text may be smoothed
        }
    EXPECT_GT(dark, 20) << "the label's text was drawn in its place";
    EXPECT_EQ(GetPixel(dc, 11, 22), ColorRef(clBtnFace)) << "the label's background is its parent's colour";
    EXPECT_EQ(GetPixel(dc, 200, 20), RGB(255, 255, 255)) << "nothing drawn outside the label";
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
}

TEST_F(ControlsTest, TabFollowsTabOrderAndSkipsHiddenControls) {
    EXPECT_EQ(form->EditA->TabOrder(), 0);
    EXPECT_EQ(form->EditB->TabOrder(), 1);
    EXPECT_EQ(form->ActiveControl(), form->EditA) << "the first control in tab order gets the focus";
    EXPECT_EQ(GetFocus(), form->EditA->Handle());
    PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), form->EditB->Handle());
    PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), form->OK->Handle()) << "the hidden edit is skipped";
    form->EditB->SetTabOrder(4);
    EXPECT_EQ(form->EditB->TabOrder(), 4);
    EXPECT_EQ(form->Other->TabOrder(), 3);
}

TEST_F(ControlsTest, FocusChangesAreAnnounced) {
    Recorder a(form->EditA), b(form->EditB), ok(form->OK);
    form->EditB->SetFocus();
    Application->ProcessMessages();
    EXPECT_TRUE(a.Saw(CM_EXIT));
    EXPECT_TRUE(b.Saw(CM_ENTER));
    EXPECT_TRUE(ok.Saw(CM_FOCUSCHANGED)) << "every control hears of the new focus";
    int exits = 0;
    form->EditB->OnExit = [&](TObject*) { ++exits; };
    form->EditA->SetFocus();
    EXPECT_EQ(exits, 1);
}

TEST_F(ControlsTest, EnterClicksTheDefaultButtonOrTheFocusedOne) {
    Recorder ok(form->OK);
    form->EditA->SetFocus();
    PressKey(VK_RETURN);
    EXPECT_TRUE(ok.Saw(CM_DIALOGKEY));
    EXPECT_EQ(form->Clicks, (std::vector<std::string>{"OK"}));
    EXPECT_EQ(form->ModalResult(), mrOk) << "the button's modal result went to its form";
    form->Other->SetFocus();
    PressKey(VK_RETURN);
    EXPECT_EQ(form->Clicks.back(), "Other");
    EXPECT_EQ(form->Clicks.size(), 2u);
}

TEST_F(ControlsTest, EnabledChangeIsAnnouncedAndReachesTheWindow) {
    Recorder r(form->Other);
    form->Other->SetEnabled(false);
    EXPECT_TRUE(r.Saw(CM_ENABLEDCHANGED));
    EXPECT_FALSE(IsWindowEnabled(form->Other->Handle()));
    form->Other->SetEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(form->Other->Handle()));
}

TEST_F(ControlsTest, MouseEnterAndLeaveFollowThePointer) {
    Recorder ok(form->OK), other(form->Other), note(form->Note);
    auto moveTo = [&](TControl* c) {
        POINT p = c->ClientToScreen(POINT{c->Width() / 2, c->Height() / 2});
        SetCursorPos(p.x, p.y);
        HWND target = WindowFromPoint(p);
        POINT local = p;
        ScreenToClient(target, &local);
        PostMessageW(target, WM_MOUSEMOVE, 0, MAKELPARAM(local.x, local.y));
        Application->ProcessMessages();
    };
    moveTo(form->OK);
    EXPECT_TRUE(ok.Saw(CM_MOUSEENTER));
    moveTo(form->Other);
    EXPECT_TRUE(ok.Saw(CM_MOUSELEAVE));
    EXPECT_TRUE(other.Saw(CM_MOUSEENTER));
    moveTo(form->Note);
    EXPECT_TRUE(note.Saw(CM_MOUSEENTER)) << "a windowless control is entered too";
    EXPECT_EQ(Application->MouseControl(), form->Note);
}

TEST_F(ControlsTest, ExceptionDisplayIsAMessageBoxWithTheMessage) {
    std::atomic<bool> done{false};
    std::string caption, text;
    std::thread answer([&] {
        for (int i = 0; i < 500 && !done; ++i) {
            HWND box = FindWindowW(L"#32770", nullptr);
            if (box) {
                caption = ToUtf8(WindowTextW(box));
                for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                    wchar_t cls[32];
                    GetClassNameW(c, cls, 32);
                    if (lstrcmpiW(cls, L"Static") == 0 && GetWindowTextLengthW(c) > 0) text = ToUtf8(WindowTextW(c));
                }
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(20);
        }
    });
    form->Other->OnClick = [](TObject*) { StrToInt("0x1G"); };
    SendMessageW(form->Other->Handle(), BM_CLICK, 0, 0);
    done = true;
    answer.join();
    EXPECT_EQ(text, "'0x1G' is not a valid integer value.");
    EXPECT_EQ(caption, Application->Title());
    EXPECT_TRUE(IsWindowEnabled(form->Handle())) << "the window works on after the message";
}

namespace {

// A windowless control that fills its place with red, or fails while painting.
class FailingPaint : public TGraphicControl {
public:
    explicit FailingPaint(TComponent* AOwner) : TGraphicControl(AOwner) {}
    void Paint(TCanvas& Canvas) override {
        if (Fail) throw Exception("paint failed");
        Canvas.SetBrushColor(clRed);
        Canvas.FillRect(RECT{0, 0, Width(), Height()});
    }
    bool Fail = false;
};

}  // namespace

// The window procedure's barrier swallows a paint failure and validates the window; the
// paint itself must still be ended, or the caret that BeginPaint hid stays hidden and
// every later paint inherits the open one.
TEST_F(ControlsTest, PaintEndsWhenAWindowlessChildThrows) {
    auto* child = new FailingPaint(form);
    child->SetBounds(150, 40, 60, 40);
    child->SetParent(form);
    const HWND window = form->Handle();
    // A caret of the form's own, out of every control's way; no messages are pumped from
    // here on, so it does not blink and shows exactly when it is not hidden.
    ASSERT_TRUE(CreateCaret(window, nullptr, 4, 12));
    ASSERT_TRUE(SetCaretPos(250, 100));
    ASSERT_TRUE(ShowCaret(window));
    auto pixel = [&](int x, int y) {
        HDC dc = GetDC(window);
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(window, dc);
        return c;
    };
    const COLORREF face = ColorRef(clBtnFace), caret = face ^ 0xFFFFFF;
    for (const bool fail : {true, true, false}) {
        SCOPED_TRACE(fail ? "a paint that throws" : "the paint after");
        child->Fail = fail;
        InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
        EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE)) << "the window counts as painted";
        EXPECT_EQ(pixel(251, 105), caret) << "the caret is shown again when the paint ends";
        if (!fail) {
            EXPECT_EQ(pixel(180, 60), RGB(255, 0, 0)) << "the child paints in its place";
        }
    }
    DestroyCaret();
}

// The system's colours change (another scheme, high contrast): a window's background brush
// made from the old face colour goes, and the next erase uses the new one.
TEST_F(ControlsTest, BackgroundFollowsAChangeOfTheSystemColours) {
    auto erasedColour = [&] {
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bmp = CreateCompatibleBitmap(screen, 300, 200);
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(dc, bmp);
        SendMessageW(form->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        const COLORREF c = GetPixel(dc, 200, 120);
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
        return c;
    };
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(erasedColour(), face);
    const int element = COLOR_BTNFACE;
    const COLORREF scheme = face == RGB(0, 0, 0) ? RGB(255, 255, 255) : RGB(0, 0, 0);
    ASSERT_TRUE(SetSysColors(1, &element, &scheme));
    SendMessageW(form->Handle(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(erasedColour(), scheme);
    SetSysColors(1, &element, &face);
    SendMessageW(form->Handle(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(erasedColour(), face);
}

// With the system's keyboard cues for keyboard use only, a form shows without access-key
// underlines, and Alt brings them (the message loop clears the hiding flag).
TEST(KeyboardCues, UnderlinesWaitForAltWhereTheSystemSaysSo) {
    BOOL saved = TRUE;
    SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &saved, 0);
    SystemParametersInfoW(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<PVOID>(INT_PTR(FALSE)), 0);
    BOOL now = TRUE;
    SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &now, 0);
    Application->Initialize();
    auto* form = new KeysForm();
    form->Show();
    Application->ProcessMessages();
    const bool before = form->HideAccel();
    PostMessageW(form->EditA->Handle(), WM_SYSKEYDOWN, VK_MENU, 0x20380001);
    Application->ProcessMessages();
    const bool after = form->HideAccel();
    delete form;
    SystemParametersInfoW(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<PVOID>(INT_PTR(saved)), 0);
    EXPECT_FALSE(now);
    EXPECT_TRUE(before);
    EXPECT_FALSE(after);
}
