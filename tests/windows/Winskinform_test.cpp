// The skin applier of a top-level window, in-process: the frame sizes from the skin, the
// non-client size and hit test, the frame's pixels, the window region traced from
// transparent frame images, dialogs, unskinning, and skins with missing or odd frame
// elements (built in memory from the program's own skin).
#include "skin/apply/Winskinform.h"

#include <windows.h>
#include <windowsx.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "app/UnitAbout.h"
#include "app/UnitCANConfig.h"
#include "forms/Forms.h"
#include "forms/Menus.h"
#include "skin/apply/Winhook.h"
#include "skin/resources/Gdi_win32.h"
#include "skin/resources/Pngfile.h"
#include "skin/resources/Skindraw.h"
#include "skin/resources/Winskindata.h"
#include "SkinTestSupport.h"

namespace quorin {
namespace {

void Pump(DWORD milliseconds = 50) { skintest::PumpMessages(milliseconds); }

// Keeps the program's skin manager from skinning the test's windows on its own: these
// tests attach their appliers themselves.
void QuietManager() {
    if (!SkinManager) return;
    SkinManager->FAction = 0;
    SkinManager->FSkinData = nullptr;
    SkinManager->FSkinning = false;
    SkinManager->FEnabled = false;
}

SIZE ClientSize(HWND w) {
    RECT r{};
    GetClientRect(w, &r);
    return SIZE{r.right, r.bottom};
}

SIZE WindowSize(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// What the screen shows of a window, as the user sees it.
TBitmap Capture(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    TBitmap picture(r.right - r.left, r.bottom - r.top, pf32bit);
    HDC screen = GetDC(nullptr);
    {
        TBitmapDC dc(picture, screen);
        BitBlt(dc.Handle(), 0, 0, picture.Width(), picture.Height(), screen, r.left, r.top, SRCCOPY);
    }
    ReleaseDC(nullptr, screen);
    GdiFlush();
    return picture;
}

void SaveShot(HWND w, const std::string& name) {
    const std::string dir = std::string("Z:") + QUORIN_BINARY_DIR + "/screenshots";
    CreateDirectoryA(dir.c_str(), nullptr);
    SavePngFile(dir + "/" + name + ".png", Capture(w));
}

// The program's skin, loaded afresh so a test may change its elements.
std::unique_ptr<TSkinData> CopyOfSkin(TSkinData* from) {
    auto skin = std::make_unique<TSkinData>(nullptr);
    skin->SkinFormtype = sfDialog;  // loading it asks the manager for nothing
    from->PackedSkin().SetPosition(0);
    skin->LoadFromStream(from->PackedSkin());
    skin->SkinControls = from->SkinControls;
    return skin;
}

// Frame paints that reach the window's own procedure, by window.
std::map<HWND, int> NativeFramePaints;

LRESULT CALLBACK CountingProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_NCPAINT) ++NativeFramePaints[w];
    return DefWindowProcW(w, m, wp, lp);
}

// A plain top-level window of a class of the test's own.
HWND MakeWindow(const wchar_t* caption, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE) {
    static const ATOM cls = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = CountingProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QuorinFrameTest";
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        return RegisterClassW(&wc);
    }();
    (void)cls;
    return CreateWindowExW(0, L"QuorinFrameTest", caption, style, 60, 60, 300, 200, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

TWinSkinForm* SkinRaw(HWND w, TSkinData* skin) {
    auto* applier = new TWinSkinForm(nullptr);
    applier->SetHandle(w);
    applier->InitDlg(skin);
    SendMessageW(w, CN_SkinActive, 0, 1000);
    Pump();
    return applier;
}

class SkinForm : public testing::Test {
protected:
    static void SetUpTestSuite() {
        Form = new TFormCANConfig(Application);
        QuietManager();
        Skin = Form->SkinData1;
    }
    static void TearDownTestSuite() {
        delete Form;
        Form = nullptr;
    }
    // Shows the main window natively, then skins it as the manager does.
    void SkinMainWindow() {
        Form->Show();
        Pump();
        NativeClient = ClientSize(Form->Handle());
        NativeProc = GetWindowLongPtrW(Form->Handle(), GWLP_WNDPROC);
        NativeColor = Form->Color();
        Applier = new TWinSkinForm(Form);
        Applier->SetHandle(Form->Handle());
        Applier->InitTform(Skin, Form);
        PostMessageW(Form->Handle(), CN_SkinActive, 0, 1000);
        Pump(150);
    }
    void TearDown() override {
        if (Applier) {
            Applier->UnSubclass();
            delete Applier;
            Applier = nullptr;
        }
        Form->Hide();
        Pump();
    }

    static TFormCANConfig* Form;
    static TSkinData* Skin;
    TWinSkinForm* Applier = nullptr;
    SIZE NativeClient{};
    LONG_PTR NativeProc = 0;
    TColor NativeColor = 0;
};
TFormCANConfig* SkinForm::Form = nullptr;
TSkinData* SkinForm::Skin = nullptr;

TEST_F(SkinForm, MainWindowTakesTheSkinFrameAndKeepsItsClientArea) {
    SkinMainWindow();
    const HWND w = Form->Handle();
    ASSERT_EQ(Applier->FStatus, sfsSkinned);
    EXPECT_EQ(SendMessageW(w, CN_IsSkinned, 0, 0), 1);
    EXPECT_EQ(FindSkinForm(w), Applier);
    // The default skin: 4-pixel sides and bottom, a 30-pixel title strip, the menu row.
    EXPECT_EQ(Applier->FBorderLeft, 4);
    EXPECT_EQ(Applier->FBorderRight, 4);
    EXPECT_EQ(Applier->FTitleHeight, 30);
    EXPECT_EQ(Applier->FBorderBottom, 4);
    EXPECT_EQ(Applier->FMenuHeight, GetSystemMetrics(SM_CYMENU));
    EXPECT_EQ(Applier->FBorderKind, bkFixed);  // a tool window: caption, no sizing frame
    const SIZE client = ClientSize(w), window = WindowSize(w);
    EXPECT_EQ(client.cx, NativeClient.cx);
    EXPECT_EQ(client.cy, NativeClient.cy);
    EXPECT_EQ(window.cx, client.cx + 8);
    EXPECT_EQ(window.cy, client.cy + 30 + Applier->FMenuHeight + 4);
    EXPECT_EQ(Form->Width(), window.cx) << "the framework follows the resized window";
    EXPECT_EQ(Form->Height(), window.cy);
    EXPECT_EQ(Form->Color(), Skin->Colors.ButtonFace);

    // The exact client rectangle for a proposed window rectangle.
    NCCALCSIZE_PARAMS params{};
    WINDOWPOS pos{w, nullptr, 100, 100, 300, 200, 0};
    params.rgrc[0] = RECT{100, 100, 400, 300};
    params.lppos = &pos;
    const LRESULT result = SendMessageW(w, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
    EXPECT_EQ(result, WVR_VALIDRECTS);
    const RECT expected{104, 130 + Applier->FMenuHeight, 396, 296};
    EXPECT_TRUE(EqualRect(&params.rgrc[0], &expected)) << params.rgrc[0].left << "," << params.rgrc[0].top << ","
                                                       << params.rgrc[0].right << "," << params.rgrc[0].bottom;
    EXPECT_TRUE(EqualRect(&params.rgrc[1], &params.rgrc[0]));

    // Hit test map, in window coordinates.
    RECT wr{};
    GetWindowRect(w, &wr);
    auto hit = [&](int x, int y) { return SendMessageW(w, WM_NCHITTEST, 0, MAKELPARAM(wr.left + x, wr.top + y)); };
    const int W = wr.right - wr.left, H = wr.bottom - wr.top;
    EXPECT_EQ(hit(W / 2, 15), HTCAPTION);
    EXPECT_EQ(hit(W / 2, 28), HTCAPTION) << "the whole title strip, below the native caption's height too";
    EXPECT_EQ(hit(W / 2, 30 + Applier->FMenuHeight / 2), HTMENU);
    EXPECT_EQ(hit(W / 2, H / 2), HTCLIENT);

    // The region follows the rounded top corners of the side images, nothing else.
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(w, rgn), ERROR);
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    EXPECT_FALSE(PtInRegion(rgn, W - 1, 0));
    EXPECT_TRUE(PtInRegion(rgn, 2, 2));
    EXPECT_TRUE(PtInRegion(rgn, W / 2, 0));
    EXPECT_TRUE(PtInRegion(rgn, 0, H - 1));
    DeleteObject(rgn);
}

TEST_F(SkinForm, FramePixelsComeFromTheSkinElements) {
    SkinMainWindow();
    const HWND w = Form->Handle();
    SetForegroundWindow(w);
    Pump(100);
    ASSERT_TRUE(Applier->FActive);
    const SIZE s = WindowSize(w);
    const int W = s.cx, H = s.cy;
    TBitmap frame;
    Applier->getClipMap(frame);
    ASSERT_EQ(frame.Width(), W);
    ASSERT_EQ(frame.Height(), H);
    // Each piece as the element cuts it, active frame.
    auto piece = [&](TDataSkinBorder* e, int width, int height, bool vertical) {
        return GetHMap(Rect(0, 0, width, height), e->Map, e->Margins,
                       {.Frames = e->Frame, .Tile = e->Tile == 1, .Vertical = vertical});
    };
    const TBitmap left = piece(Skin->Left(), 4, H, false);
    const TBitmap right = piece(Skin->Right(), 4, H, false);
    const TBitmap top = piece(Skin->Top(), W - 8, 30, true);
    const TBitmap bottom = piece(Skin->Bottom(), W - 8, 4, true);
    for (int y : {5, H / 2, H - 2}) {
        EXPECT_EQ(frame.Pixel(1, y), left.Pixel(1, y)) << "left at " << y;
        EXPECT_EQ(frame.Pixel(W - 2, y), right.Pixel(2, y)) << "right at " << y;
    }
    EXPECT_EQ(frame.Pixel(W / 2, H - 1), bottom.Pixel(W / 2 - 4, 3));
    for (int y : {1, 15, 29}) EXPECT_EQ(frame.Pixel(W / 2, y), top.Pixel(W / 2 - 4, y)) << "title at " << y;

    // The screen shows the same: the title strip, the sides, and no native caption.
    const TBitmap screen = Capture(w);
    EXPECT_EQ(screen.Pixel(W / 2, 15) & 0xFFFFFF, top.Pixel(W / 2 - 4, 15) & 0xFFFFFF);
    EXPECT_EQ(screen.Pixel(1, H / 2) & 0xFFFFFF, left.Pixel(1, H / 2) & 0xFFFFFF);
    EXPECT_EQ(screen.Pixel(W / 2, H - 1) & 0xFFFFFF, bottom.Pixel(W / 2 - 4, 3) & 0xFFFFFF);
    // The caption text sits between the title margins, in the active text colour.
    EXPECT_GE(Applier->TextLeft(), Skin->Title->Margins.Left);
    EXPECT_GT(Applier->TextRight(), Applier->TextLeft() + 20);
    EXPECT_LE(Applier->TextRight(), W - Skin->Title->Margins.Right);
    int textPixels = 0;
    for (int x = Applier->TextLeft(); x < Applier->TextRight(); ++x)
        for (int y = 6; y < 26; ++y)
            if ((screen.Pixel(x, y) & 0xFFFFFF) == (Skin->Title->ActiveColor & 0xFFFFFF)) ++textPixels;
    EXPECT_GT(textPixels, 30) << "the caption is drawn in the title's active colour";
    SaveShot(w, "Winskinform-main-active");

    // Another window takes the activation: the inactive frame.
    HWND other = MakeWindow(L"other");
    SetWindowPos(other, HWND_TOP, 0, 0, 50, 50, SWP_SHOWWINDOW);
    SetForegroundWindow(other);
    Pump(150);
    EXPECT_FALSE(Applier->FActive);
    const TBitmap inactiveTop = GetHMap(Rect(0, 0, W - 8, 30), Skin->Top()->Map, Skin->Top()->Margins,
                                        {.Frame = 2, .Frames = 2, .Tile = Skin->Top()->Tile == 1, .Vertical = true});
    const TBitmap shown = Capture(w);
    EXPECT_EQ(shown.Pixel(W / 2, 15) & 0xFFFFFF, inactiveTop.Pixel(W / 2 - 4, 15) & 0xFFFFFF);
    SaveShot(w, "Winskinform-main-inactive");
    DestroyWindow(other);
    Pump();
}

TEST_F(SkinForm, UnskinningGivesTheNativeFrameProcedureAndColourBack) {
    SkinMainWindow();
    const HWND w = Form->Handle();
    ASSERT_NE(GetWindowLongPtrW(w, GWLP_WNDPROC), NativeProc);
    Applier->UnSubclass();
    Pump();
    EXPECT_EQ(GetWindowLongPtrW(w, GWLP_WNDPROC), NativeProc);
    EXPECT_EQ(Form->Color(), NativeColor);
    const SIZE client = ClientSize(w);
    EXPECT_EQ(client.cx, NativeClient.cx);
    EXPECT_EQ(client.cy, NativeClient.cy);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(w, rgn), ERROR) << "no region any more";
    DeleteObject(rgn);
    EXPECT_EQ(SendMessageW(w, CN_IsSkinned, 0, 0), 0);
    EXPECT_NE(GetWindowLongPtrW(w, GWL_STYLE) & WS_CAPTION, 0) << "the native caption is back";
    delete Applier;
    Applier = nullptr;
}

// What happens to a skinned window afterwards leaves the skinned frame in place: a new
// caption, a replaced skin, a new menu; and the frame can be painted into another DC.
TEST_F(SkinForm, FrameSurvivesTextSkinAndMenuChanges) {
    SkinMainWindow();
    const HWND w = Form->Handle();
    SetForegroundWindow(w);
    Pump(100);
    const SIZE client = ClientSize(w), window = WindowSize(w);
    const TBitmap top = GetHMap(Rect(0, 0, window.cx - 8, 30), Skin->Top()->Map, Skin->Top()->Margins,
                                {.Frames = 2, .Tile = Skin->Top()->Tile == 1, .Vertical = true});
    auto titleIsSkinned = [&] {
        const TBitmap shown = Capture(w);
        return (shown.Pixel(window.cx / 2, 15) & 0xFFFFFF) == (top.Pixel(window.cx / 2 - 4, 15) & 0xFFFFFF);
    };

    const int oldRight = Applier->TextRight();
    Form->SetCaption("QUORIN 配置工具 - 已连接 COM3");
    Pump(100);
    EXPECT_TRUE(titleIsSkinned()) << "no native caption after a text change";
    EXPECT_GT(Applier->TextRight(), oldRight) << "the longer text is drawn";

    EXPECT_EQ(SendMessageW(w, CN_SkinChanged, 0, 0), 0);
    Pump(100);
    EXPECT_EQ(Applier->FStatus, sfsSkinned);
    EXPECT_EQ(ClientSize(w).cx, client.cx);
    EXPECT_EQ(ClientSize(w).cy, client.cy);
    EXPECT_TRUE(titleIsSkinned());

    TMainMenu* menu = Form->Menu();
    Form->SetMenu(nullptr);
    Form->SetMenu(menu);
    Pump(100);
    EXPECT_EQ(GetMenu(w), nullptr) << "the skin draws the menu bar; the native one stays off";
    EXPECT_EQ(ClientSize(w).cy, client.cy);

    // The handshake: the frame painted into a DC the caller gives.
    TBitmap into(window.cx, window.cy, pf32bit);
    into.Fill(0);
    {
        TBitmapDC dc(into);
        EXPECT_EQ(SendMessageW(w, CN_PaintFrame, WPARAM(dc.Handle()), SkinHandshake), SkinHandshake);
    }
    GdiFlush();
    const TBitmap left = GetHMap(Rect(0, 0, 4, window.cy), Skin->Left()->Map, Skin->Left()->Margins,
                                 {.Frames = 2, .Tile = Skin->Left()->Tile == 1});
    EXPECT_EQ(into.Pixel(1, window.cy / 2), left.Pixel(1, window.cy / 2));
    EXPECT_EQ(SendMessageW(w, CN_Handshake, 0, SkinHandshake), SkinHandshake);
    EXPECT_EQ(SendMessageW(w, CN_Handshake, 0, 0), 1);
    Form->SetCaption("QUORIN 配置工具");
}

TEST_F(SkinForm, AboutBoxScreenshot) {
    auto* about = new TAboutBox(Application);
    about->Show();
    Pump();
    const SIZE native = ClientSize(about->Handle());
    auto* applier = new TWinSkinForm(about);
    applier->SetHandle(about->Handle());
    applier->InitTform(Skin, about);
    SendMessageW(about->Handle(), CN_SkinActive, 0, 1000);
    SetForegroundWindow(about->Handle());
    Pump(150);
    EXPECT_EQ(applier->FBorderKind, bkDialog);
    const SIZE client = ClientSize(about->Handle());
    EXPECT_EQ(client.cx, native.cx);
    EXPECT_EQ(client.cy, native.cy);
    SaveShot(about->Handle(), "Winskinform-about");
    delete about;  // frees its applier with it
    Pump();
}

// ---- regions from transparent frame images ----------------------------------------

struct RegionCase {
    const char* name;
    bool trans[4];  // Left, Right, Top, Bottom
    bool whole;     // the region is the whole window
};

class SkinRegion : public SkinForm, public testing::WithParamInterface<RegionCase> {};

TEST_P(SkinRegion, FollowsTheTransparentBorders) {
    const RegionCase c = GetParam();
    auto skin = CopyOfSkin(Skin);
    for (int i = 0; i < 4; ++i) skin->Border[i]->Trans = c.trans[i] ? 1 : 0;
    // A transparent bottom-left pixel in the active bottom frame and in the title.
    skin->Bottom()->Map.SetPixel(0, 3, KeyColor);
    skin->Top()->Map.SetPixel(0, 0, KeyColor);
    HWND w = MakeWindow(L"region");
    TWinSkinForm* applier = SkinRaw(w, skin.get());
    SetForegroundWindow(w);
    Pump();
    const SIZE s = WindowSize(w);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(w, rgn), ERROR);
    RECT box{};
    GetRgnBox(rgn, &box);
    EXPECT_EQ(box.right - box.left, s.cx);
    EXPECT_EQ(box.bottom - box.top, s.cy);
    const bool whole = PtInRegion(rgn, 0, 0) && PtInRegion(rgn, 4, s.cy - 1) && PtInRegion(rgn, 4, 0);
    EXPECT_EQ(whole, c.whole);
    if (c.trans[0]) {
        EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    }
    if (c.trans[3]) {
        EXPECT_FALSE(PtInRegion(rgn, 4, s.cy - 1)) << "the bottom piece is traced from its image";
        EXPECT_TRUE(PtInRegion(rgn, 5, s.cy - 1));
    }
    if (c.trans[2]) {
        EXPECT_FALSE(PtInRegion(rgn, 4, 0));
    }
    EXPECT_TRUE(PtInRegion(rgn, s.cx / 2, s.cy / 2));
    DeleteObject(rgn);
    DestroyWindow(w);
    delete applier;
}

INSTANTIATE_TEST_SUITE_P(Frames, SkinRegion,
                         testing::Values(RegionCase{"none", {false, false, false, false}, true},
                                         RegionCase{"bottom", {false, false, false, true}, false},
                                         RegionCase{"all", {true, true, true, true}, false}),
                         [](const testing::TestParamInfo<RegionCase>& i) { return std::string(i.param.name); });

// ---- dialogs and raw windows --------------------------------------------------------

TEST_F(SkinForm, DialogIsADialogFrameWidenedForALongCaption) {
    // A #32770 dialog, narrower than its caption needs.
    struct {
        DLGTEMPLATE t;
        WORD menu, cls, title;
        DLGITEMTEMPLATE item;
        WORD itemCls[2], itemTitle, extra;
    } tpl{};
    tpl.t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
    tpl.t.cdit = 1;
    tpl.t.cx = 60;
    tpl.t.cy = 40;
    tpl.item.style = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
    tpl.item.x = 5;
    tpl.item.y = 5;
    tpl.item.cx = 30;
    tpl.item.cy = 12;
    tpl.item.id = IDOK;
    tpl.itemCls[0] = 0xFFFF;
    tpl.itemCls[1] = 0x0080;
    HWND dlg = CreateDialogIndirectParamW(
        GetModuleHandleW(nullptr), &tpl.t, nullptr, [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    ASSERT_TRUE(dlg);
    const std::wstring caption = L"配置参数已经写入设备, 请重新上电以使新的设置生效";
    SetWindowTextW(dlg, caption.c_str());
    HWND button = GetDlgItem(dlg, IDOK);
    RECT before{};
    GetWindowRect(button, &before);
    MapWindowPoints(HWND_DESKTOP, dlg, reinterpret_cast<POINT*>(&before), 2);
    const SIZE client = ClientSize(dlg);
    auto skin = CopyOfSkin(Skin);
    TWinSkinForm* applier = SkinRaw(dlg, skin.get());
    EXPECT_TRUE(applier->FIsDialog);
    EXPECT_EQ(applier->FBorderKind, bkDialog);
    // The caption fits between the title margins; the controls moved by half the growth.
    HDC dc = GetDC(dlg);
    SelectObject(dc, applier->FCaptionFont);
    SIZE text{};
    GetTextExtentPoint32W(dc, caption.c_str(), int(caption.size()), &text);
    ReleaseDC(dlg, dc);
    const int need = skin->Title->Margins.Left + text.cx + skin->Title->Margins.Right;
    const int plain = client.cx + 8;
    ASSERT_GT(need, plain);
    EXPECT_EQ(WindowSize(dlg).cx, need);
    RECT after{};
    GetWindowRect(button, &after);
    MapWindowPoints(HWND_DESKTOP, dlg, reinterpret_cast<POINT*>(&after), 2);
    EXPECT_EQ(after.left - before.left, (need - plain) / 2);
    EXPECT_EQ(ClientSize(dlg).cy, client.cy);
    SaveShot(dlg, "Winskinform-dialog");
    DestroyWindow(dlg);
    delete applier;
}

// A sizeable window through its sizes and states: the frame follows every size, the
// region follows the window, and the state the applier records matches the window's.
// (Maximizing is left out: without a window manager the display server undoes it.)
TEST_F(SkinForm, SizeableWindowThroughItsStates) {
    auto skin = CopyOfSkin(Skin);
    HWND w = MakeWindow(L"状态 states");
    TWinSkinForm* applier = SkinRaw(w, skin.get());
    EXPECT_EQ(applier->FBorderKind, bkSizeable);
    auto regionBox = [&] {
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        RECT box{};
        if (GetWindowRgn(w, rgn) != ERROR) GetRgnBox(rgn, &box);
        DeleteObject(rgn);
        return box;
    };
    auto frameFits = [&] {
        const SIZE c = ClientSize(w), s = WindowSize(w);
        return c.cx == s.cx - 8 && c.cy == s.cy - 34;
    };
    SetWindowPos(w, nullptr, 0, 0, 420, 260, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    EXPECT_TRUE(frameFits());
    EXPECT_EQ(regionBox().right, 420);
    EXPECT_EQ(regionBox().bottom, 260);
    ShowWindow(w, SW_MINIMIZE);
    Pump(100);
    EXPECT_EQ(applier->FWinState, wsfMinimized);
    applier->UpdateNc(nullptr);  // the minimized strip
    ShowWindow(w, SW_RESTORE);
    Pump(100);
    EXPECT_EQ(applier->FWinState, wsfNormal);
    EXPECT_TRUE(frameFits());
    EXPECT_EQ(regionBox().right, WindowSize(w).cx);
    DestroyWindow(w);
    delete applier;
}

// Skins that lack frame elements, or carry empty or zero-frame images, skin what they can.
struct OddSkin {
    const char* name;
    void (*change)(TSkinData&);
    bool frameSkinned;
};

class SkinOdd : public SkinForm, public testing::WithParamInterface<OddSkin> {};

TEST_P(SkinOdd, SkinsWhatItCanAndNeverFails) {
    auto skin = CopyOfSkin(Skin);
    GetParam().change(*skin);
    HWND w = MakeWindow(L"odd skin");
    const SIZE client = ClientSize(w), window = WindowSize(w);
    TWinSkinForm* applier = SkinRaw(w, skin.get());
    EXPECT_EQ(SendMessageW(w, CN_IsSkinned, 0, 0), 1);
    EXPECT_EQ(applier->FSkinFrame, GetParam().frameSkinned);
    RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    SetWindowPos(w, nullptr, 0, 0, 333, 222, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    const SIZE after = ClientSize(w);
    if (!GetParam().frameSkinned) {
        EXPECT_EQ(333 - after.cx, window.cx - client.cx) << "the native frame stays";
    }
    EXPECT_GE(after.cx, 0);
    applier->UnSubclass();
    DestroyWindow(w);
    delete applier;
}

INSTANTIATE_TEST_SUITE_P(Elements, SkinOdd,
                         testing::Values(OddSkin{"NoFrameElements",
                                                 [](TSkinData& s) {
                                                     for (auto& b : s.Border) b.reset();
                                                 },
                                                 false},
                                         OddSkin{"EmptyImages",
                                                 [](TSkinData& s) {
                                                     for (auto& b : s.Border) b->Map.Clear();
                                                 },
                                                 false},
                                         OddSkin{"ZeroFrames",
                                                 [](TSkinData& s) {
                                                     for (auto& b : s.Border) b->Frame = 0;
                                                 },
                                                 true},
                                         OddSkin{"OnlyTopLeft",
                                                 [](TSkinData& s) {
                                                     s.Border[1].reset();
                                                     s.Border[3]->Map.Clear();
                                                 },
                                                 true},
                                         OddSkin{"TinyImages",
                                                 [](TSkinData& s) {
                                                     for (auto& b : s.Border) b->Map.SetSize(1, 1);
                                                     s.SysButtons.clear();
                                                 },
                                                 true}),
                         [](const testing::TestParamInfo<OddSkin>& i) { return std::string(i.param.name); });

// A window without a caption keeps its native frame: its non-client size is the default
// procedure's, its frame paints reach its own procedure, and its region (if any) is the
// whole window. A window with a caption gets the skin's frame; its top 3 pixels are not
// caption, so the native sizing edge there stands.
TEST_F(SkinForm, WindowWithoutCaptionKeepsItsNativeFrame) {
    struct TRow {
        const char* Name;
        DWORD Style;
        int BorderKind;
        bool Native;
    };
    const TRow rows[] = {{"popup with a sizing frame", WS_POPUP | WS_THICKFRAME | WS_VISIBLE, bkNoCaption, true},
                         {"popup with a border", WS_POPUP | WS_BORDER | WS_VISIBLE, bkNoCaption, true},
                         {"captioned, sizeable", WS_OVERLAPPEDWINDOW | WS_VISIBLE, bkSizeable, false},
                         {"captioned, thin border", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, bkFixed, false}};
    auto skin = CopyOfSkin(Skin);
    for (const TRow& row : rows) {
        HWND w = MakeWindow(L"frame", row.Style);
        ASSERT_TRUE(w);
        Pump();
        const SIZE client = ClientSize(w), window = WindowSize(w);
        TWinSkinForm* applier = SkinRaw(w, skin.get());
        EXPECT_EQ(applier->FBorderKind, row.BorderKind) << row.Name;
        EXPECT_EQ(SendMessageW(w, CN_IsSkinned, 0, 0), 1) << row.Name;

        NCCALCSIZE_PARAMS params{}, native{};
        WINDOWPOS pos{w, nullptr, 100, 100, 300, 200, 0};
        params.rgrc[0] = RECT{100, 100, 400, 300};
        params.lppos = &pos;
        native = params;
        SendMessageW(w, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
        DefWindowProcW(w, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&native));
        NativeFramePaints[w] = 0;
        RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        SetWindowPos(w, nullptr, 0, 0, 320, 210, SWP_NOMOVE | SWP_NOZORDER);
        Pump();
        const SIZE after = WindowSize(w), afterClient = ClientSize(w);
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        const bool hasRegion = GetWindowRgn(w, rgn) != ERROR;
        if (row.Native) {
            EXPECT_TRUE(EqualRect(&params.rgrc[0], &native.rgrc[0])) << row.Name << ": the default's client rectangle";
            EXPECT_GT(NativeFramePaints[w], 0) << row.Name << ": frame paints reach the window";
            EXPECT_EQ(after.cx - afterClient.cx, window.cx - client.cx) << row.Name << ": the native frame's width";
            EXPECT_EQ(after.cy - afterClient.cy, window.cy - client.cy) << row.Name;
            if (hasRegion) {
                EXPECT_TRUE(PtInRegion(rgn, 0, 0)) << row.Name << ": no frame pieces cut from the region";
                EXPECT_TRUE(PtInRegion(rgn, after.cx - 1, after.cy - 1)) << row.Name;
            }
        } else {
            EXPECT_EQ(params.rgrc[0].top, 100 + applier->FTitleHeight + applier->FMenuHeight) << row.Name;
            EXPECT_EQ(NativeFramePaints[w], 0) << row.Name << ": the skin paints the frame";
            RECT wr{};
            GetWindowRect(w, &wr);
            auto hit = [&](int y) { return SendMessageW(w, WM_NCHITTEST, 0, MAKELPARAM(wr.left + 150, wr.top + y)); };
            for (int y = 0; y <= 3; ++y) {
                EXPECT_NE(hit(y), HTCAPTION) << row.Name << ": top pixel row " << y;
                const LRESULT def = DefWindowProcW(w, WM_NCHITTEST, 0, MAKELPARAM(wr.left + 150, wr.top + y));
                if (def == HTTOP) {
                    EXPECT_EQ(hit(y), HTTOP) << row.Name << ": the sizing edge stands at row " << y;
                }
            }
            EXPECT_EQ(hit(4), HTCAPTION) << row.Name;
            EXPECT_EQ(hit(applier->FTitleHeight - 1), HTCAPTION) << row.Name;
        }
        DeleteObject(rgn);
        applier->UnSubclass();
        DestroyWindow(w);
        delete applier;
    }
}

TEST_F(SkinForm, AWindowThatDisappearsIsForgottenNotTouched) {
    auto skin = CopyOfSkin(Skin);
    HWND w = MakeWindow(L"short-lived");
    auto* applier = new TWinSkinForm(nullptr);
    applier->SetHandle(w);
    applier->InitDlg(skin.get());
    ASSERT_TRUE(applier->Hooked());
    DestroyWindow(w);  // before the finishing message arrives
    EXPECT_EQ(applier->FStatus, sfsDestroyed);
    EXPECT_FALSE(applier->Hooked());
    applier->SkinActive();
    applier->UpdateNc(nullptr);
    applier->Cropwindow();
    EXPECT_EQ(FindSkinForm(w), nullptr);
    delete applier;
    // And a window already gone is never hooked.
    auto* late = new TWinSkinForm(nullptr);
    late->SetHandle(w);
    late->InitDlg(skin.get());
    EXPECT_FALSE(late->Hooked());
    delete late;
}

}  // namespace
}  // namespace quorin

namespace quorin {
namespace {

// A hook's handler that throws: the exception stops at the window procedure, as for the
// framework's windows. The application shows it, except while painting, where the area
// counts as painted instead (a message box would ask for the painting again).
TEST(WindowHook, ExceptionsStopAtTheWindowProcedure) {
    HWND w =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    TWindowHook hook;
    ASSERT_TRUE(hook.Hook(w, THookKind::hkOther, [](TMessage& m) {
        if (m.Msg == WM_USER + 1 || m.Msg == WM_PAINT) throw Exception("handler failed");
        m.Result = 7;
    }));
    std::vector<std::string> shown;
    const TExceptionEvent previous = Application->OnException;
    Application->OnException = [&](TObject*, const std::exception& e) { shown.push_back(e.what()); };
    EXPECT_EQ(SendMessageW(w, WM_USER + 1, 0, 0), 0);
    EXPECT_EQ(shown, std::vector<std::string>{"handler failed"});
    EXPECT_EQ(SendMessageW(w, WM_USER + 2, 0, 0), 7) << "the window goes on working";
    InvalidateRect(w, nullptr, FALSE);
    UpdateWindow(w);
    EXPECT_FALSE(GetUpdateRect(w, nullptr, FALSE)) << "the area counts as painted";
    EXPECT_EQ(shown.size(), 1u);
    Application->OnException = previous;
    hook.Unhook();
    DestroyWindow(w);
}

}  // namespace
}  // namespace quorin
