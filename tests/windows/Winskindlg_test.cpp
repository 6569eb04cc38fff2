// The skin manager in-process: which windows it takes, with which skin, which pop-up
// menus, its requests on the timer, and windows that vanish before it gets to them.
#include "skin/apply/Winskindlg.h"

#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/UnitCANConfig.h"
#include "forms/Forms.h"
#include "forms/LayoutLoader.h"
#include "forms/LayoutText.h"
#include "forms/Buttons.h"
#include "forms/Menus.h"
#include "forms/StdCtrls.h"
#include "forms/Streams.h"
#include "skin/apply/Skincaption.h"
#include "skin/apply/Skinclasses.h"
#include "skin/resources/Winskindata.h"
#include "SkinTestSupport.h"

namespace quorin {
namespace {

using skintest::PumpMessages;
using skintest::ResourceText;

// Pumps until the condition holds (a slow machine may take longer than the timer).
bool PumpUntil(const std::function<bool()>& done, DWORD timeout = 5000) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeout) return false;
        PumpMessages(20);
    }
    return true;
}

// The program's own skin, read from the main window's stored layout, as SkinData1 is.
void LoadProgramSkin(TSkinData& skin, TSkinFormType type = sfMainform) {
    static const std::string text = ResourceText(L"TFORMCANCONFIG");
    static const LayoutObject form = ParseLayout(text);
    const LayoutObject* stored = form.Child("SkinData1");
    ASSERT_TRUE(stored);
    skin.SetComponentState(csLoading, true);
    for (const LayoutProperty& p : stored->properties) ApplyLayoutProperty(&skin, p, nullptr);
    skin.SkinFormtype = type;
    skin.SetComponentState(csLoading, false);
    ASSERT_FALSE(skin.Loading());
    skin.Loaded();
}

bool AnswersSkinned(HWND window) { return SendMessageW(window, CN_IsSkinned, 0, 0) == 1; }

RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

SIZE ClientSize(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return SIZE{r.right, r.bottom};
}

// Makes every frame of an element's picture dw wider and dh taller (frames side by side
// for a vertical border, stacked for a horizontal one), repeating pixels.
void Grow(TDataSkinObject& e, bool stacked, int dw, int dh) {
    const int frames = std::max(1, int(e.Frame));
    const TBitmap old = e.Map;
    const int fw = stacked ? old.Width() : old.Width() / frames, fh = stacked ? old.Height() / frames : old.Height();
    const int nw = fw + dw, nh = fh + dh;
    TBitmap grown(stacked ? nw : nw * frames, stacked ? nh * frames : nh);
    for (int f = 0; f < frames; ++f)
        for (int y = 0; y < nh; ++y)
            for (int x = 0; x < nw; ++x) {
                const int sx = x * fw / nw + (stacked ? 0 : f * fw), sy = y * fh / nh + (stacked ? f * fh : 0);
                grown.SetPixel(x + (stacked ? 0 : f * nw), y + (stacked ? f * nh : 0), old.Pixel(sx, sy));
            }
    e.Map = grown;
}

// Answers the message boxes of this thread while it lives, recording their captions.
class BoxCloser {
public:
    BoxCloser() { timer_ = SetTimer(nullptr, 0, 100, &BoxCloser::Tick); }
    ~BoxCloser() { KillTimer(nullptr, timer_); }
    static std::vector<std::string>& Seen() {
        static std::vector<std::string> seen;
        return seen;
    }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND w, LPARAM) -> BOOL {
                wchar_t cls[16] = {};
                GetClassNameW(w, cls, 16);
                if (std::wstring(cls) == L"#32770" && IsWindowVisible(w)) {
                    wchar_t text[256] = {};
                    GetWindowTextW(w, text, 256);
                    Seen().push_back(std::string(text, text + wcslen(text)));
                    PostMessageW(w, WM_COMMAND, IDOK, 0);
                }
                return TRUE;
            },
            0);
    }
    UINT_PTR timer_;
};

class TPrintPreviewForm : public TForm {
    QUORIN_CLASS(TPrintPreviewForm, TForm)
public:
    explicit TPrintPreviewForm(TComponent* AOwner) : TForm(AOwner) {}
};
QUORIN_DEFINE_CLASS(TPrintPreviewForm, TForm) {}

class SkinManager : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterSkinManager();
        skin = new TSkinData(nullptr);
        LoadProgramSkin(*skin);
        manager = SkinManage();
        ASSERT_TRUE(manager);
        ASSERT_TRUE(PumpUntil([&] { return manager->FSkinning && !manager->TimerRunning(); }));  // action 1
    }
    void TearDown() override {
        FreeSkinManager();
        delete skin;
    }
    // A visible form of the program.
    template <class F = TForm>
    F* ShowForm(int tag = 0) {
        auto* f = new F(nullptr);
        f->SetTag(tag);
        f->SetBounds(100, 100, 300, 200);
        f->Show();
        return f;
    }
    bool Skinned(HWND window) const { return manager->FindSkinForm(window) != nullptr; }
    // The window's applier has finished (its frame is on).
    bool Finished(HWND window) const {
        TWinSkinForm* f = manager->FindSkinForm(window);
        return f && f->FStatus == sfsSkinned && AnswersSkinned(window);
    }

    TSkinData* skin = nullptr;
    TSkinManage* manager = nullptr;
};

TEST_F(SkinManager, IsTheWindowSideOneAndSkinsOnlyAfterActionOne) {
    ASSERT_NE(manager, nullptr);
    EXPECT_TRUE(manager->FSkinning);
    EXPECT_FALSE(manager->FUpdateLock);
    EXPECT_NE(manager->FCBTHook, nullptr);
    EXPECT_NE(manager->FWindow, nullptr);
}

// Which windows AddForm takes, through the activation hook as the program meets them.
TEST_F(SkinManager, TakesTheProgramsFormsAndDialogsOnly) {
    TForm* plain = ShowForm();
    TForm* tagged = ShowForm(99);
    skin->DisableTag = 5;  // the form rule is 99 whatever DisableTag says
    TForm* tagged2 = ShowForm(99);
    auto* preview = ShowForm<TPrintPreviewForm>();
    PumpMessages(50);
    EXPECT_TRUE(Skinned(plain->Handle()));
    EXPECT_FALSE(Skinned(tagged->Handle()));
    EXPECT_FALSE(Skinned(tagged2->Handle()));
    EXPECT_TRUE(Skinned(preview->Handle())) << "the stored options hold xoPreview";

    skin->Options.Exclude(xoPreview);
    auto* preview2 = ShowForm<TPrintPreviewForm>();
    PumpMessages(50);
    EXPECT_FALSE(Skinned(preview2->Handle()));

    // A raw window: taken from the program's own module, refused from another module
    // (unless it is a dialog), refused when its rectangle is empty.
    auto raw = [](HINSTANCE module, int w) {
        return CreateWindowExW(0, L"STATIC", L"raw", WS_POPUP | WS_CAPTION | WS_VISIBLE, 10, 10, w, w, nullptr, nullptr,
                               module, nullptr);
    };
    HWND own = raw(GetModuleHandleW(nullptr), 120);
    HWND foreign = raw(GetModuleHandleW(L"user32.dll"), 120);
    HWND empty = raw(GetModuleHandleW(nullptr), 0);
    EXPECT_TRUE(Skinned(own));
    EXPECT_FALSE(manager->AddForm(foreign));
    EXPECT_FALSE(manager->AddForm(empty));
    EXPECT_FALSE(Skinned(foreign) || Skinned(empty));

    // A nested form only while nested forms are allowed (action 1).
    TForm* nested = ShowForm();
    PumpMessages(20);
    manager->DeleteForm(nested->Handle());
    SetWindowLongW(nested->Handle(), GWL_STYLE, (GetWindowLongW(nested->Handle(), GWL_STYLE) & ~WS_POPUP) | WS_CHILD);
    SetParent(nested->Handle(), plain->Handle());
    EXPECT_FALSE(manager->AddForm(nested->Handle()));
    manager->FNestedAllowed = true;
    EXPECT_TRUE(manager->AddForm(nested->Handle()));
    manager->FNestedAllowed = false;

    // The skin's own say, and nothing at all while skinning is off.
    skin->OnFormSkin = [](TObject*, const std::string&, bool& doSkin) { doSkin = false; };
    HWND refused = CreateWindowExW(0, L"STATIC", L"raw", WS_POPUP | WS_CAPTION, 10, 10, 120, 120, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    EXPECT_FALSE(manager->AddForm(refused));
    skin->OnFormSkin = nullptr;
    manager->FSkinning = false;
    EXPECT_FALSE(manager->AddForm(refused));
    manager->FSkinning = true;
    EXPECT_TRUE(manager->AddForm(refused));
    EXPECT_FALSE(manager->AddForm(refused)) << "a window is skinned once";

    for (HWND w : {own, foreign, empty, refused}) DestroyWindow(w);
    for (TForm* f : {plain, tagged, tagged2, static_cast<TForm*>(preview), static_cast<TForm*>(preview2), nested})
        delete f;
    manager->DeleteDeleted();
    EXPECT_TRUE(manager->Forms().empty()) << "appliers of freed forms and destroyed windows are forgotten";
}

TEST_F(SkinManager, DialogsTakeTheDialogSkinAndOwnFormsTheirOwn) {
    TSkinData dialog(nullptr);
    LoadProgramSkin(dialog, sfDialog);
    TForm* owner = ShowForm();
    auto* only = new TSkinData(owner);  // freed with its form
    LoadProgramSkin(*only, sfOnlyThisForm);

    HWND box = CreateWindowExW(0, L"#32770", L"box", WS_POPUP | WS_CAPTION, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                               nullptr);
    TForm* other = ShowForm();
    TSkinData* found = nullptr;
    manager->FindSkindata(found, box);
    EXPECT_EQ(found, &dialog);
    manager->FindSkindata(found, other->Handle());
    EXPECT_EQ(found, skin);
    manager->FindSkindata(found, owner->Handle());
    EXPECT_EQ(found, only);
    DestroyWindow(box);

    // A real message box takes the dialog skin.
    static TSkinData* boxSkin;
    boxSkin = nullptr;
    UINT_PTR timer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND w, LPARAM) -> BOOL {
                wchar_t cls[16] = {};
                GetClassNameW(w, cls, 16);
                if (std::wstring(cls) == L"#32770" && IsWindowVisible(w)) {
                    if (TWinSkinForm* f = SkinManage()->FindSkinForm(w)) boxSkin = f->SkinData();
                    PostMessageW(w, WM_COMMAND, IDOK, 0);
                }
                return TRUE;
            },
            0);
    });
    MessageBoxW(nullptr, L"text", L"Warning", MB_OK | MB_ICONWARNING | MB_TASKMODAL);
    KillTimer(nullptr, timer);
    EXPECT_EQ(boxSkin, &dialog);
    delete other;
    delete owner;  // frees `only` with it
}

// A window destroyed after it was taken but before its finishing message arrives: the
// applier is dropped without a look at the window, and the handle can be skinned anew.
TEST_F(SkinManager, ForgetsWindowsThatVanishBeforeTheyAreFinished) {
    for (int round = 0; round < 3; ++round) {
        HWND w = CreateWindowExW(0, L"STATIC", L"brief", WS_POPUP | WS_CAPTION, 0, 0, 100, 100, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(manager->AddForm(w));
        DestroyWindow(w);
        PumpMessages(20);
        manager->DeleteDeleted();
        EXPECT_TRUE(manager->Forms().empty());
    }
}

TEST_F(SkinManager, SwitchesOffAndOnAndKeepsTheLastRequest) {
    TForm* form = ShowForm();
    const HWND w = form->Handle();
    const SIZE client = ClientSize(w);
    ASSERT_TRUE(PumpUntil([&] { return Finished(w); }));
    EXPECT_EQ(ClientSize(w).cx, client.cx);
    EXPECT_EQ(ClientSize(w).cy, client.cy);
    const RECT skinned = WindowRect(w);

    // Off: the native frame around the same client area.
    skin->SetActive(false);
    EXPECT_TRUE(PumpUntil([&] { return !manager->TimerRunning(); }));
    EXPECT_TRUE(manager->Forms().empty());
    EXPECT_FALSE(AnswersSkinned(w));
    EXPECT_EQ(ClientSize(w).cx, client.cx);
    EXPECT_EQ(ClientSize(w).cy, client.cy);
    RECT native{0, 0, client.cx, client.cy};
    AdjustWindowRectEx(&native, GetWindowLongW(w, GWL_STYLE), GetMenu(w) != nullptr, GetWindowLongW(w, GWL_EXSTYLE));
    const RECT now = WindowRect(w);
    EXPECT_EQ(now.right - now.left, native.right - native.left);
    EXPECT_EQ(now.bottom - now.top, native.bottom - native.top);

    // On: skinned again, as before.
    skin->SetActive(true);
    EXPECT_TRUE(PumpUntil([&] { return Finished(w); }));
    const RECT again = WindowRect(w);
    EXPECT_EQ(again.right - again.left, skinned.right - skinned.left);
    EXPECT_EQ(again.bottom - again.top, skinned.bottom - skinned.top);

    // Quick switches: the last one wins, and a skin change asked for meanwhile does not
    // replace a pending switch.
    skin->SetActive(false);
    skin->SetActive(true);
    skin->SetActive(false);
    skin->UpdateSkin();
    EXPECT_EQ(manager->FAction, 2);
    EXPECT_TRUE(PumpUntil([&] { return !manager->TimerRunning(); }));
    EXPECT_FALSE(Skinned(w));
    skin->SetActive(true);
    skin->UpdateSkin();
    EXPECT_EQ(manager->FAction, 1);
    EXPECT_TRUE(PumpUntil([&] { return Finished(w); }));
    EXPECT_EQ(ClientSize(w).cx, client.cx);
    EXPECT_EQ(ClientSize(w).cy, client.cy);

    // Re-skinning one window through the manager's window.
    SendMessageW(manager->FWindow, CN_ReSkinWindow, 7, reinterpret_cast<LPARAM>(w));
    EXPECT_TRUE(Skinned(w));
    EXPECT_EQ(manager->Forms().size(), 1u);
    EXPECT_TRUE(PumpUntil([&] { return Finished(w); }));
    delete form;
}

// A skin loaded while a switch is pending: its change is dropped for the switch, but the
// windows that stayed skinned through it get their caption buttons back.
TEST_F(SkinManager, SkinChangeDuringAPendingSwitchKeepsTheCaptionButtons) {
    TForm* form = ShowForm();
    const HWND w = form->Handle();
    ASSERT_TRUE(PumpUntil([&] { return Finished(w); }));
    ASSERT_FALSE(manager->FindSkinForm(w)->FSysButtons.empty());
    skin->SetActive(false);
    skin->SetActive(true);
    skin->UpdateSkin();  // drops the buttons now, and its own action
    EXPECT_EQ(manager->FAction, 1);
    EXPECT_TRUE(PumpUntil([&] { return !manager->TimerRunning(); }));
    PumpMessages(50);
    TWinSkinForm* applier = manager->FindSkinForm(w);
    ASSERT_TRUE(applier);
    EXPECT_FALSE(applier->FSysButtons.empty());
    delete form;
}

// Painters a control no longer shows: the one DeleteGraphicControl drops is freed and
// off the control; a control whose handler of the skin throws is left native while the
// walk goes on and the window is finished.
TEST_F(SkinManager, DroppedAndRefusedPaintersLeaveTheWindowWhole) {
    skin->SkinControls.Include(xcSpeedButton);
    skin->SkinControls.Include(xcButton);
    skin->SkinControls.Include(xcEdit);
    auto* form = new TForm(nullptr);
    form->SetBounds(100, 100, 300, 200);
    auto* speed = new TSpeedButton(form);
    auto* failing = new TButton(form);
    auto* edit = new TEdit(form);
    int top = 10;
    for (TControl* c : std::initializer_list<TControl*>{speed, failing, edit}) {
        c->SetParent(form);
        c->SetBounds(10, top, 80, 24);
        top += 30;
    }
    skin->OnSkinControl = [failing](TObject*, TSkinData*, TComponent*, TControl* c, const std::string&, TObject*&) {
        if (c == failing) throw Exception("the program's handler failed");
    };
    BoxCloser closer;  // an exception let through would be shown
    BoxCloser::Seen().clear();
    form->Show();
    const HWND w = form->Handle();
    EXPECT_TRUE(PumpUntil([&] { return Finished(w); }));
    skin->OnSkinControl = nullptr;
    TWinSkinForm* applier = manager->FindSkinForm(w);
    ASSERT_TRUE(applier);
    EXPECT_EQ(applier->Lookupcontrol(failing->Handle()), nullptr);
    EXPECT_NE(applier->Lookupcontrol(edit->Handle()), nullptr) << "the walk went on past the failing handler";
    EXPECT_TRUE(BoxCloser::Seen().empty());

    auto painters = [](TControl* c) {
        int n = 0;
        for (int i = 0; i < c->ComponentCount(); ++i) n += dynamic_cast<TSkinControl*>(c->Components(i)) != nullptr;
        return n;
    };
    ASSERT_EQ(painters(speed), 1);
    manager->DeleteGraphicControl(w, speed);
    EXPECT_EQ(painters(speed), 0);
    speed->Invalidate();
    PumpMessages(50);
    delete form;
}

// A window that someone subclassed after us keeps our hook in its chain, passing messages
// on, when it is unskinned; skinning it again takes that hook over rather than leaving an
// applier idle in the list.
TEST_F(SkinManager, SkinsAgainAWindowSubclassedAfterUs) {
    HWND w = CreateWindowExW(0, L"STATIC", L"raw", WS_POPUP | WS_CAPTION | WS_VISIBLE, 10, 10, 160, 120, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return Finished(w); }));
    static WNDPROC previous;
    static int seen;
    previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
            ++seen;
            return CallWindowProcW(previous, h, m, wp, lp);
        })));
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        manager->DeleteForm(w);
        EXPECT_FALSE(Skinned(w));
        EXPECT_FALSE(AnswersSkinned(w));
        EXPECT_TRUE(manager->AddForm(w));
        EXPECT_TRUE(PumpUntil([&] { return Finished(w); }));
        seen = 0;
        EXPECT_TRUE(AnswersSkinned(w));
        EXPECT_EQ(seen, 1) << "the later subclass still sees every message first";
    }
    DestroyWindow(w);
    manager->DeleteDeleted();
    EXPECT_TRUE(manager->Forms().empty());
}

// The native caption's own repaint (0xAE) is the frame's business only where the skin
// draws the frame; a window that keeps the native frame gets it.
TEST_F(SkinManager, NativeCaptionRepaintReachesOnlyNativeFrames) {
    static int captionRepaints;
    WNDCLASSW wc{};
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == 0xAE) ++captionRepaints;
        return DefWindowProcW(h, m, wp, lp);
    };
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuorinCaptionProbe";
    RegisterClassW(&wc);
    for (bool skinFrame : {true, false}) {
        SCOPED_TRACE(skinFrame ? "skinned frame" : "native frame");
        if (!skinFrame) skin->Top()->Map = TBitmap();  // no title strip: the native frame stays
        HWND w = CreateWindowExW(0, L"QuorinCaptionProbe", L"probe", WS_POPUP | WS_CAPTION | WS_VISIBLE, 10, 10, 160,
                                 120, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(PumpUntil([&] { return Finished(w); }));
        EXPECT_EQ(manager->FindSkinForm(w)->FSkinFrame, skinFrame);
        captionRepaints = 0;
        SendMessageW(w, 0xAE, 0, 0);
        EXPECT_EQ(captionRepaints, skinFrame ? 0 : 1);
        DestroyWindow(w);
    }
}

// A dialog's frame is sized to its caption text with the caption font: the font is back
// out of the DC before the DC goes, so it can be deleted with its applier.
TEST_F(SkinManager, DialogCaptionFontIsFreedWithItsApplier) {
    HWND box = CreateWindowExW(0, L"#32770", L"A caption wider than the box itself", WS_POPUP | WS_CAPTION | WS_VISIBLE,
                               10, 10, 90, 80, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return Finished(box); }));
    TWinSkinForm* applier = manager->FindSkinForm(box);
    ASSERT_TRUE(applier && applier->FIsDialog);
    const HFONT font = applier->FCaptionFont;
    ASSERT_EQ(GetObjectType(font), DWORD(OBJ_FONT));
    manager->DeleteForm(box);
    EXPECT_EQ(GetObjectType(font), 0u);
    DestroyWindow(box);
}

// The timer's actions for a skin of one form only touch that form; action 6 forgets the
// windows that went without a word.
TEST_F(SkinManager, ActionsOfASkinForOneFormOnly) {
    auto* owner = new TForm(nullptr);
    owner->SetBounds(100, 100, 300, 200);
    auto* only = new TSkinData(owner);  // freed with its form
    LoadProgramSkin(*only, sfOnlyThisForm);
    owner->Show();
    TForm* other = ShowForm();
    const HWND o = owner->Handle(), w = other->Handle();
    ASSERT_TRUE(PumpUntil([&] { return Finished(o) && Finished(w); }));
    EXPECT_EQ(manager->FindSkinForm(o)->SkinData(), only);
    auto run = [&](int action) {
        manager->FSkinData = only;
        manager->SetAction(action, 10);
        EXPECT_TRUE(PumpUntil([&] { return !manager->TimerRunning(); }));
        PumpMessages(30);
    };
    run(2);
    EXPECT_FALSE(Skinned(o));
    EXPECT_TRUE(Skinned(w)) << "the other form keeps the main skin";
    run(1);
    EXPECT_TRUE(PumpUntil([&] { return Finished(o); }));
    manager->FindSkinForm(o)->DeleteSysbtn();
    run(3);
    EXPECT_FALSE(manager->FindSkinForm(o)->FSysButtons.empty()) << "the change rebuilt the caption buttons";
    EXPECT_EQ(manager->FindSkinForm(w)->SkinData(), skin);

    // Action 6 of the main skin: the applier of a destroyed window is freed.
    HWND raw = CreateWindowExW(0, L"STATIC", L"raw", WS_POPUP | WS_CAPTION | WS_VISIBLE, 10, 10, 120, 90, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return Finished(raw); }));
    const size_t before = manager->Forms().size();
    DestroyWindow(raw);
    manager->FSkinData = skin;
    manager->SetAction(6, 10);
    EXPECT_TRUE(PumpUntil([&] { return !manager->TimerRunning(); }));
    EXPECT_EQ(manager->Forms().size(), before - 1);
    delete other;
    delete owner;
}

// A skin with a taller title and a wider left border: every window is redrawn with the
// new frame around the same client area; loading a packed skin into the same component
// goes back to the stored sizes.
TEST_F(SkinManager, SkinChangeRedrawsWithTheNewFrameSizes) {
    TForm* form = ShowForm();
    const HWND w = form->Handle();
    ASSERT_TRUE(PumpUntil([&] { return Finished(w); }));
    TWinSkinForm* applier = manager->FindSkinForm(w);
    ASSERT_TRUE(applier);
    const int title = applier->FTitleHeight, left = applier->FBorderLeft;
    const SIZE client = ClientSize(w);
    const RECT before = WindowRect(w);

    Grow(*skin->Top(), true, 0, 9);
    Grow(*skin->Left(), false, 5, 0);
    skin->UpdateSkin();
    EXPECT_TRUE(PumpUntil([&] { return !manager->TimerRunning(); }));
    PumpMessages(50);
    applier = manager->FindSkinForm(w);
    ASSERT_TRUE(applier);
    EXPECT_EQ(applier->FTitleHeight, title + 9);
    EXPECT_EQ(applier->FBorderLeft, left + 5);
    const RECT after = WindowRect(w);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top + 9);
    EXPECT_EQ(after.right - after.left, before.right - before.left + 5);
    EXPECT_EQ(ClientSize(w).cx, client.cx);
    EXPECT_EQ(ClientSize(w).cy, client.cy);
    // The rows that were the client's top are title now: the window shows the frame
    // picture there.
    TBitmap frame;
    applier->getClipMap(frame);
    ASSERT_FALSE(frame.Empty());
    HDC dc = GetWindowDC(w);
    int same = 0, total = 0;
    for (int x = left + 5 + 20; x < frame.Width() - 40; x += 7, ++total)
        same += GetPixel(dc, x, title + 4) == COLORREF(frame.Pixel(x, title + 4));
    ReleaseDC(w, dc);
    EXPECT_GT(same, total * 9 / 10) << same << " of " << total;

    TMemoryStream packed;
    packed.CopyFrom(skin->PackedSkin(), skin->PackedSkin().Size());
    skin->LoadFromStream(packed);
    EXPECT_TRUE(PumpUntil([&] { return !manager->TimerRunning(); }));
    PumpMessages(50);
    applier = manager->FindSkinForm(w);
    ASSERT_TRUE(applier);
    EXPECT_EQ(applier->FTitleHeight, title);
    EXPECT_EQ(WindowRect(w).bottom - WindowRect(w).top, before.bottom - before.top);
    EXPECT_TRUE(AnswersSkinned(w));

    // A skin that cannot be read leaves the window native and the program usable.
    TMemoryStream broken;
    broken.WriteBuffer("not a skin", 10);
    {
        BoxCloser closer;  // the archive's own complaint
        skin->LoadFromStream(broken);
    }
    EXPECT_TRUE(skin->Loading());
    EXPECT_TRUE(PumpUntil([&] { return !manager->TimerRunning(); }));
    EXPECT_FALSE(AnswersSkinned(w));
    EXPECT_EQ(ClientSize(w).cx, client.cx);
    EXPECT_EQ(ClientSize(w).cy, client.cy);
    delete form;
}

// The pop-up kind decides, with the skin's switches, whether a menu window is skinned.
struct MenuCase {
    int kind;
    bool trackPopup;
    TSkinControlType needs;
};

class SkinManagerMenus : public SkinManager, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(SkinManagerMenus, NeedTheirSwitch) {
    const MenuCase c = GetParam();
    for (bool on : {false, true}) {
        SCOPED_TRACE(on ? "switched on" : "switched off");
        if (on)
            skin->SkinControls.Include(c.needs);
        else
            skin->SkinControls.Exclude(c.needs);
        if (c.needs == xcMainMenu) skin->SkinControls.Exclude(xcMenuItem);
        HWND w = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                                 nullptr);
        manager->FPopupKind = c.kind;
        manager->FTrackPopupLoop = c.trackPopup;
        EXPECT_EQ(manager->AddMenu(w), on);
        EXPECT_EQ(manager->FindSkinMenu(w) != nullptr, on);
        manager->DeleteMenu(w);
        EXPECT_EQ(manager->FindSkinMenu(w), nullptr);
        DestroyWindow(w);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, SkinManagerMenus,
                         ::testing::Values(MenuCase{pkContextMenu, true, xcPopupMenu},
                                           // a form's own pop-up menu tells the owner it is a menu
                                           MenuCase{pkMenu, true, xcPopupMenu}, MenuCase{pkMenu, false, xcMainMenu},
                                           MenuCase{pkSystemMenu, false, xcSystemMenu}));

// Real pop-ups: a form's context menu and the system menu of a skinned window, each
// skinned only with its switch. A timer inside the menu's loop looks at the menu window
// and closes the menu.
struct MenuProbe {
    static inline bool seen = false, skinned = false, answers = false;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND w, LPARAM) -> BOOL {
                wchar_t cls[16] = {};
                GetClassNameW(w, cls, 16);
                if (std::wstring(cls) == L"#32768" && IsWindowVisible(w) && !seen) {
                    seen = true;
                    skinned = SkinManage() && SkinManage()->FindSkinMenu(w);
                    answers = SendMessageW(w, CN_IsSkinned, 0, 0) == 1;
                }
                return TRUE;
            },
            0);
        if (seen) EndMenu();
    }
};

class SkinManagerPopups : public SkinManager, public ::testing::WithParamInterface<bool> {};

TEST_P(SkinManagerPopups, ContextAndSystemMenusFollowTheirSwitches) {
    const bool on = GetParam();
    if (on) {
        skin->SkinControls.Include(xcPopupMenu);
        skin->SkinControls.Include(xcSystemMenu);
    } else {
        skin->SkinControls.Exclude(xcPopupMenu);
        skin->SkinControls.Exclude(xcSystemMenu);
    }
    TForm* form = ShowForm();
    const HWND w = form->Handle();
    ASSERT_TRUE(PumpUntil([&] { return Finished(w); }));
    auto* popup = new TPopupMenu(form);
    auto* item = new TMenuItem(popup);
    item->SetCaption("Item");
    popup->Items()->Add(item);

    UINT_PTR timer = SetTimer(nullptr, 0, 150, &MenuProbe::Tick);
    MenuProbe::seen = MenuProbe::skinned = MenuProbe::answers = false;
    popup->Popup(200, 200);
    EXPECT_TRUE(MenuProbe::seen) << "context menu";
    EXPECT_EQ(MenuProbe::skinned, on) << "context menu";
    EXPECT_EQ(MenuProbe::answers, on) << "context menu";

    MenuProbe::seen = MenuProbe::skinned = MenuProbe::answers = false;
    SetForegroundWindow(w);
    PostMessageW(w, WM_SYSCOMMAND, SC_KEYMENU, ' ');  // Alt+Space
    PumpUntil([] { return MenuProbe::seen; }, 3000);
    EXPECT_TRUE(MenuProbe::seen) << "system menu";
    EXPECT_EQ(MenuProbe::skinned, on) << "system menu";
    KillTimer(nullptr, timer);
    PumpMessages(50);
    EXPECT_TRUE(manager->Menus().empty()) << "closed menus are forgotten";
    delete form;
}

INSTANTIATE_TEST_SUITE_P(Switch, SkinManagerPopups, ::testing::Bool());

// Figures for the program's main window (printed, not asserted): how long switching the
// skin off and on takes, and what the skin costs in memory.
TEST(SkinManagerFigures, MainWindowSwitchTimesAndMemory) {
    auto privateBytes = [] {
        PROCESS_MEMORY_COUNTERS_EX pmc{};
        pmc.cb = sizeof pmc;
        GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc);
        // Wine leaves PrivateUsage at 0; the committed bytes are in PagefileUsage.
        return double(pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage) / 1024.0;
    };
    auto now = [] {
        LARGE_INTEGER t, f;
        QueryPerformanceCounter(&t);
        QueryPerformanceFrequency(&f);
        return double(t.QuadPart) * 1000.0 / double(f.QuadPart);
    };
    RegisterSkinClasses();
    auto* form = new TFormCANConfig(Application);
    form->Show();
    const HWND w = form->Handle();
    TSkinManage* m = SkinManage();
    ASSERT_TRUE(m);
    auto finished = [&] {
        TWinSkinForm* f = m->FindSkinForm(w);
        return f && f->FStatus == sfsSkinned;
    };
    ASSERT_TRUE(PumpUntil(finished, 10000));
    PumpMessages(300);
    const double skinnedKiB = privateBytes();

    double off = 0, on = 0;
    const int rounds = 5;
    double unskinnedKiB = 0;
    for (int i = 0; i < rounds; ++i) {
        form->SkinData1->SetActive(false);
        double t0 = now();
        m->OnTimer();  // action 2, at once
        off += now() - t0;
        PumpMessages(100);
        unskinnedKiB = privateBytes();
        form->SkinData1->SetActive(true);
        t0 = now();
        m->OnTimer();  // action 1
        PumpUntil(finished, 10000);
        on += now() - t0;
        PumpMessages(100);
    }
    EXPECT_TRUE(finished());
    std::printf("main window: skin off %.1f ms, on (to finished frame) %.1f ms, mean of %d\n", off / rounds,
                on / rounds, rounds);
    std::printf("private memory: skinned %.0f KiB, after switching off %.0f KiB (difference %.0f KiB)\n", skinnedKiB,
                unskinnedKiB, skinnedKiB - unskinnedKiB);
    delete form;
    FreeSkinManager();
}

// The caption component: switching it makes every skinned window recompute its frame;
// its transparency reaches skinned top-level windows as they are activated.
struct FrameCounter {
    static inline HWND window = nullptr;
    static inline int calcs = 0;
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && m->hwnd == window && m->message == WM_NCCALCSIZE) ++calcs;
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
};

TEST_F(SkinManager, CaptionComponentRefreshesFramesAndMakesWindowsTransparent) {
    TSkinCaption caption(nullptr);
    caption.SkinAlpha = 55;
    caption.Loaded();
    TForm* form = ShowForm();
    const HWND w = form->Handle();
    ASSERT_TRUE(PumpUntil([&] { return Finished(w); }));
    SetActiveWindow(nullptr);
    SetActiveWindow(w);
    BYTE alpha = 0;
    DWORD flags = 0;
    EXPECT_TRUE(GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(GetLayeredWindowAttributes(w, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 200);

    FrameCounter::window = w;
    FrameCounter::calcs = 0;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &FrameCounter::Hook, nullptr, GetCurrentThreadId());
    caption.SetActive(false);
    EXPECT_FALSE(SkinCaptionActive);
    EXPECT_GT(FrameCounter::calcs, 0);
    caption.SetActive(true);
    UnhookWindowsHookEx(hook);
    caption.SkinAlpha = 0;
    caption.Loaded();
    delete form;
}

// Outside a library the library operations only say so.
TEST(SkinCaption, LibraryOperationsShowTheirErrorOutsideALibrary) {
    BoxCloser closer;
    BoxCloser::Seen().clear();
    EXPECT_FALSE(DLL_InitSkin(nullptr));
    EXPECT_FALSE(DLL_SetActive(true));
    EXPECT_EQ(BoxCloser::Seen(), (std::vector<std::string>{"Skin library", "Skin library"}));
}

}  // namespace
}  // namespace quorin
