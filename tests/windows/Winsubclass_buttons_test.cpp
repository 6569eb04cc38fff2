// The button painters on real framework controls: which frame of the skin a push button,
// check box or radio button shows in each state, composed into a bitmap and read back by
// pixel, and what a skin with missing or malformed pictures leaves behind.
#include "PainterFixture.h"

#include "forms/Buttons.h"
#include "forms/ComCtrlsExtra.h"
#include "forms/ExtCtrls.h"
#include "forms/RadioGroup.h"
#include "forms/StdCtrls.h"

namespace quorin {
namespace {

constexpr int kW = 80, kH = 30;

// Rows of the picture holding anything but the face colour at (3, 3).
int InkRows(const TBitmap& b) {
    const TColor face = b.Pixel(3, 3);
    int first = -1, last = -1;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 4; x < b.Width() - 4; ++x)
            if (b.Pixel(x, y) != face) {
                if (first < 0) first = y;
                last = y;
                break;
            }
    return first < 0 ? 0 : last - first + 1;
}

bool SamePixels(const TBitmap& a, const TBitmap& b) {
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
    return true;
}

class ButtonPainter : public PainterTest {
protected:
    void SetUp() override {
        PainterTest::SetUp();
        Button = Add<TButton>(10, 10, kW, kH);
        Button->OnClick = [this](TObject*) { ++Clicks; };
        Painter = Attach<TSkinButton>(Button);
    }
    void Focus() {
        Button->SetFocus();
        Pump();
        ASSERT_EQ(GetFocus(), Button->Handle());
    }
    TButton* Button = nullptr;
    TSkinButton* Painter = nullptr;
    int Clicks = 0;
};

struct ButtonState {
    bool focused, hot, pressed, enabled;
    int frame;
};

class ButtonFrames : public ButtonPainter, public ::testing::WithParamInterface<ButtonState> {};

TEST_P(ButtonFrames, StateChoosesTheFrameAndDisabledWins) {
    const ButtonState s = GetParam();
    if (s.focused) Focus();
    Button->SetEnabled(s.enabled);
    Painter->FMouseState = uint8_t((s.hot ? msHot : 0) | (s.pressed ? msPressed : 0));
    EXPECT_EQ(kFrame[size_t(s.frame - 1)], Compose(Painter, kW, kH).Pixel(3, 3));
}

INSTANTIATE_TEST_SUITE_P(States, ButtonFrames,
                         ::testing::Values(ButtonState{false, false, false, true, bfNormal},
                                           ButtonState{true, false, false, true, bfFocused},
                                           ButtonState{true, true, false, true, bfHot},
                                           ButtonState{true, true, true, true, bfPressed},
                                           ButtonState{false, false, true, true, bfPressed},
                                           ButtonState{true, true, true, false, bfDisabled},
                                           ButtonState{false, true, false, false, bfDisabled}));

TEST_F(ButtonPainter, DoubleBarInTheCaptionBreaksTheLine) {
    Button->SetBounds(10, 10, 120, 60);
    Skin->Buttons->HasNormalColor2 = true;
    Skin->Buttons->NormalColor2 = 0xFFFFFF;
    Button->SetCaption("Open Read");
    const int oneLine = InkRows(Compose(Painter, 120, 60));
    Button->SetCaption("Open||Read");
    const int twoLines = InkRows(Compose(Painter, 120, 60));
    EXPECT_EQ(u"Open\r\nRead", Painter->FCaption);
    ASSERT_GT(oneLine, 4);
    EXPECT_GT(twoLines, oneLine * 3 / 2);
}

TEST_F(ButtonPainter, FocusedFaceTakesTheSkinsNormalTextColour) {
    // A skin with dark faces gives light text; the focused face is the normal one with a
    // focus mark, so its caption must not fall back to the control's dark font colour.
    Skin->Buttons->HasNormalColor2 = true;
    Skin->Buttons->NormalColor2 = 0xFF8000;  // blue 255, green 128: no frame and no focus mark has it
    Button->SetCaption("OK");
    Focus();
    const TBitmap out = Compose(Painter, kW, kH);
    int ink = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const TColor c = out.Pixel(x, y);
            if (ColorBlue(c) > 200 && ColorGreen(c) > 90 && ColorGreen(c) < 170 && ColorRed(c) < 60) ++ink;
        }
    EXPECT_GT(ink, 5) << "the focused caption is not in the skin's normal text colour";
}

TEST_F(ButtonPainter, TransparentButtonShowsItsParentAroundTheFace) {
    // A picture whose left columns are the key colour: what shows there is the background.
    for (int x = 0; x < Skin->Buttons->Map.Width(); x += 20)
        Skin->Buttons->Map.FillRect(TRect{x, 0, x + 4, 20}, KeyColor);
    Skin->Buttons->Trans = 1;
    EXPECT_EQ(kFace, Compose(Painter, kW, kH).Pixel(1, 15));

    auto* tagged = Add<TButton>(10, 50, kW, kH);
    tagged->SetTag(TagTransparent);
    EXPECT_EQ(Form->Color(), Compose(Attach<TSkinButton>(tagged), kW, kH).Pixel(1, 15));

    Skin->Options.Include(xoTransparent);
    auto* optioned = Add<TButton>(10, 90, kW, kH);
    EXPECT_EQ(Form->Color(), Compose(Attach<TSkinButton>(optioned), kW, kH).Pixel(1, 15));
}

TEST_F(ButtonPainter, NoFocusRectOptionLeavesOnlyTheFocusedFrame) {
    Skin->Buttons->Map = Strip(5, 20, 20);
    Skin->Buttons->Map.FillRect(TRect{80, 0, 100, 20}, kFrame[0]);  // focused looks like normal
    Button->SetCaption("OK");
    const TBitmap unfocused = Compose(Painter, kW, kH);
    Focus();
    const TBitmap withRect = Compose(Painter, kW, kH);
    Skin->Options.Include(xoNoFocusRect);
    const TBitmap withoutRect = Compose(Painter, kW, kH);
    EXPECT_FALSE(SamePixels(unfocused, withRect));
    EXPECT_TRUE(SamePixels(unfocused, withoutRect));
}

TEST_F(ButtonPainter, SpaceBarShowsThePressedFrameUntilReleasedAndClicksOnce) {
    Focus();
    SendMessageW(Button->Handle(), WM_KEYDOWN, VK_SPACE, 0x00390001);
    EXPECT_EQ(kFrame[bfPressed - 1], Compose(Painter, kW, kH).Pixel(3, 3));
    SendMessageW(Button->Handle(), WM_KEYUP, VK_SPACE, 0xC0390001);
    Pump();
    EXPECT_EQ(kFrame[bfFocused - 1], Compose(Painter, kW, kH).Pixel(3, 3));
    EXPECT_EQ(1, Clicks);
}

TEST_F(ButtonPainter, MouseClickPaintsPressedRunsTheHandlerOnceAndKeepsTheButtonShown) {
    SendMessageW(Button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(Painter->FMouseState & msPressed);
    EXPECT_EQ(kFrame[bfPressed - 1], Compose(Painter, kW, kH).Pixel(3, 3));
    EXPECT_TRUE(GetWindowLongW(Button->Handle(), GWL_STYLE) & WS_VISIBLE);
    SendMessageW(Button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
    EXPECT_EQ(1, Clicks);
    EXPECT_FALSE(Painter->FMouseState & msPressed);
    EXPECT_TRUE(GetWindowLongW(Button->Handle(), GWL_STYLE) & WS_VISIBLE);
}

TEST_F(ButtonPainter, LostRedrawIsRepairedByTheTimer) {
    Painter->SetRedraw(false);
    EXPECT_FALSE(GetWindowLongW(Button->Handle(), GWL_STYLE) & WS_VISIBLE);
    const DWORD start = GetTickCount();
    while (!(GetWindowLongW(Button->Handle(), GWL_STYLE) & WS_VISIBLE) && GetTickCount() - start < 2000) Pump();
    EXPECT_TRUE(GetWindowLongW(Button->Handle(), GWL_STYLE) & WS_VISIBLE);
}

// A skin whose Buttons element is missing or unusable leaves the native button; one with
// a frame count below 1 draws its picture as a single frame.
struct BadButtons {
    const char* name;
    void (*spoil)(TSkinData&);
    bool drawn;
};

class BadButtonSkin : public ButtonPainter, public ::testing::WithParamInterface<BadButtons> {};

TEST_P(BadButtonSkin, NativeOrWhatCanBeDrawn) {
    Compose(Painter, kW, kH);  // a picture from the good skin first
    GetParam().spoil(*Skin);
    const TBitmap out = Compose(Painter, kW, kH);
    EXPECT_EQ(GetParam().drawn ? kFrame[0] : kFill, out.Pixel(3, 3));
    TMessage paint{WM_PAINT, 0, 0, 0};
    EXPECT_EQ(!GetParam().drawn, Painter->BeforeProc(paint)) << "the native button paints itself";
}

INSTANTIATE_TEST_SUITE_P(
    Skins, BadButtonSkin,
    ::testing::Values(BadButtons{"Missing", [](TSkinData& s) { s.Buttons.reset(); }, false},
                      BadButtons{"Empty", [](TSkinData& s) { s.Buttons->Map = TBitmap(); }, false},
                      BadButtons{"ZeroFrames", [](TSkinData& s) { s.Buttons->Frame = 0; }, true},
                      BadButtons{"NegativeFrames", [](TSkinData& s) { s.Buttons->Frame = -4; }, true},
                      BadButtons{"NarrowerThanFrames",
                                 [](TSkinData& s) { s.Buttons->Map = Strip(1, 3, 20), s.Buttons->Frame = 5; }, false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- check boxes and radio buttons ----

constexpr int kCW = 100, kCH = 17;

struct CheckCase {
    const char* name;
    bool radio;
    TCheckBoxState state;
    bool enabled;
    bool leftText;
    int frame;
};

class CheckFrames : public PainterTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(CheckFrames, StateAndLayoutChooseTheGlyph) {
    const CheckCase c = GetParam();
    TSkinControl* p;
    if (c.radio) {
        auto* r = Add<TRadioButton>(10, 10, kCW, kCH, "Radio");
        r->SetChecked(c.state == TCheckBoxState::cbChecked);
        r->SetEnabled(c.enabled);
        p = Attach<TSkinRadioButton>(r);
    } else {
        auto* b = Add<TCheckBox>(10, 10, kCW, kCH, "Check");
        b->SetAllowGrayed(true);
        b->SetAlignment(c.leftText ? TAlignment::taLeftJustify : TAlignment::taRightJustify);
        b->SetState(c.state);
        b->SetEnabled(c.enabled);
        p = Attach<TSkinCheckBox>(b);
    }
    const TBitmap out = Compose(p, kCW, kCH);
    const int glyphX = c.leftText ? kCW - 6 : 6, otherX = c.leftText ? 6 : kCW - 6;
    EXPECT_EQ(kFrame[size_t(c.frame - 1)], out.Pixel(glyphX, kCH / 2));
    EXPECT_EQ(kFace, out.Pixel(otherX, 1)) << "the rest of the control is the skin's face";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckFrames,
    ::testing::Values(CheckCase{"CheckedEnabled", false, TCheckBoxState::cbChecked, true, false, 5},
                      CheckCase{"UncheckedEnabled", false, TCheckBoxState::cbUnchecked, true, false, 1},
                      CheckCase{"UncheckedDisabled", false, TCheckBoxState::cbUnchecked, false, false, 4},
                      CheckCase{"CheckedDisabled", false, TCheckBoxState::cbChecked, false, false, 8},
                      CheckCase{"GrayedEnabled", false, TCheckBoxState::cbGrayed, true, false, 9},
                      CheckCase{"GrayedDisabled", false, TCheckBoxState::cbGrayed, false, false, 12},
                      CheckCase{"LeftTextGlyphAtTheRight", false, TCheckBoxState::cbChecked, true, true, 5},
                      CheckCase{"RadioChecked", true, TCheckBoxState::cbChecked, true, false, 2},
                      CheckCase{"RadioUnchecked", true, TCheckBoxState::cbUnchecked, true, false, 1},
                      CheckCase{"RadioDisabled", true, TCheckBoxState::cbUnchecked, false, false, 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PainterTest, CheckBoxWithoutAUsablePictureStaysNative) {
    auto* b = Add<TCheckBox>(10, 10, kCW, kCH, "Check");
    auto* p = Attach<TSkinCheckBox>(b);
    for (int frames : {0, -2}) {
        Skin->Buttons->CheckFrame = frames;
        p->FKind = 1;
        EXPECT_EQ(kFill, Compose(p, kCW, kCH).Pixel(6, kCH / 2));
        TMessage paint{WM_PAINT, 0, 0, 0};
        EXPECT_TRUE(p->BeforeProc(paint)) << frames;
        EXPECT_EQ(0, p->FKind);
    }
    // The next skin has the picture again.
    Skin->Buttons->CheckFrame = 12;
    p->SkinChange();
    EXPECT_EQ(kFrame[0], Compose(p, kCW, kCH).Pixel(6, kCH / 2));
}

// A raw push button (a dialog's) tells its parent of a click exactly once, also when the
// press began on the keyboard and the skin has no button picture.
TEST_F(PainterTest, RawButtonClickReachesItsParentOnce) {
    static int commands;
    commands = 0;
    WNDCLASSW wc{};
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_COMMAND && HIWORD(w) == BN_CLICKED) ++commands;
        return DefWindowProcW(h, m, w, l);
    };
    wc.lpszClassName = L"PainterTestHost";
    RegisterClassW(&wc);
    HWND host = CreateWindowW(L"PainterTestHost", L"", WS_POPUP | WS_VISIBLE, 500, 100, 200, 100, nullptr, nullptr,
                              nullptr, nullptr);
    HWND button = CreateWindowW(L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, kW, kH, host,
                                reinterpret_cast<HMENU>(IDOK), nullptr, nullptr);
    auto* p = new TSkinButton(SkinForm.get());
    p->Inithwnd(button, Skin.get(), SkinForm.get(), SkinForm->FCanvas.get());
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(kFrame[bfPressed - 1], Compose(p, kW, kH).Pixel(3, 3));
    SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
    EXPECT_EQ(1, commands);
    Skin->Buttons->Map = TBitmap();
    SendMessageW(button, WM_KEYDOWN, VK_SPACE, 0x00390001);
    SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
    EXPECT_EQ(2, commands);
    DestroyWindow(host);
}

TEST_F(PainterTest, BitButtonShowsItsGlyphOnTheSkinFace) {
    auto* b = Add<TBitBtn>(10, 10, kW, kH);
    // A white glyph whose bottom-left pixel (the transparent colour) is magenta.
    HDC screen = GetDC(nullptr);
    HBITMAP glyph = CreateCompatibleBitmap(screen, 16, 16);
    ReleaseDC(nullptr, screen);
    {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, glyph);
        RECT all{0, 0, 16, 16};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetPixel(dc, 0, 15, RGB(255, 0, 255));
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    b->SetGlyph(glyph);
    const TBitmap out = Compose(Attach<TSkinBitButton>(b), kW, kH);
    EXPECT_EQ(0xFFFFFF, out.Pixel(kW / 2, kH / 2));
    EXPECT_EQ(kFrame[0], out.Pixel(3, 3));
}

TEST_F(PainterTest, MenuButtonDrawsItsArrowInTheTextColour) {
    Skin->Buttons->HasNormalColor2 = true;
    Skin->Buttons->NormalColor2 = 0xFFFFFF;
    auto* b = Add<TButton>(10, 10, kW, kH);
    const TBitmap out = Compose(Attach<TSkinMenuButton>(b), kW, kH);
    EXPECT_EQ(0xFFFFFF, out.Pixel(kW - 9, kH / 2));
}

TEST_F(PainterTest, SpeedButtonFollowsTheMouseAndItsDownState) {
    auto* b = Add<TSpeedButton>(200, 200, kW, kH);
    auto* p = new TSkinSpeedButton(b);
    p->InitGraphicControl(SkinForm.get(), Skin.get(), SkinForm->FCanvas.get());
    auto frame = [&] { return Compose(p, kW, kH).Pixel(3, 3); };
    EXPECT_EQ(kFrame[bfNormal - 1], frame());
    b->Perform(CM_MOUSEENTER);
    EXPECT_EQ(kFrame[bfHot - 1], frame());
    b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_EQ(kFrame[bfPressed - 1], frame());
    b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    b->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(kFrame[bfNormal - 1], frame());
    b->SetGroupIndex(1);
    b->SetDown(true);
    EXPECT_EQ(kFrame[bfPressed - 1], frame());
    // Painted by its parent, on the parent's window.
    RECT r = b->BoundsRect();
    RedrawWindow(Form->Handle(), &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HDC dc = GetDC(Form->Handle());
    EXPECT_EQ(ColorRef(kFrame[bfPressed - 1]), GetPixel(dc, r.left + 3, r.top + 3));
    ReleaseDC(Form->Handle(), dc);
}

TEST_F(PainterTest, UpDownHalvesFromTheSkinOrPlainWithoutIt) {
    auto* u = Add<TUpDown>(10, 10, 17, 30);
    auto* p = Attach<TSkinUpDown>(u);
    EXPECT_EQ(kFace, Compose(p, 17, 30).Pixel(3, 3));
    SendMessageW(u->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 3));
    EXPECT_EQ(Skin->Colors.ButtonShadow, Compose(p, 17, 30).Pixel(3, 3)) << "the pressed half";
    SendMessageW(u->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(8, 3));
    Skin->UpDownVert = std::make_unique<TDataSkinBorder>("UpDown.Vert");
    Skin->UpDownVert->Map = Strip(8, 10, 10);
    Skin->UpDownVert->Frame = 8;
    const TBitmap out = Compose(p, 17, 30);
    EXPECT_EQ(kFrame[0], out.Pixel(3, 3));
    EXPECT_EQ(kFrame[4], out.Pixel(3, 26));
}

TEST_F(PainterTest, RadioGroupButtonsShowTheRadioFrames) {
    auto* g = Add<TRadioGroup>(10, 10, 150, 80, "Group");
    g->Items().Add("One");
    g->Items().Add("Two");
    g->SetItemIndex(1);
    ASSERT_EQ(2, g->ButtonCount());
    TSkinControl* radios[2];
    for (int i = 0; i < 2; ++i) radios[i] = Attach<TSkinRadioButton>(g->Buttons(i));
    Attach<TSkinGroupBox>(g);
    const int w = g->Buttons(0)->Width(), h = g->Buttons(0)->Height();
    EXPECT_EQ(kFrame[0], Compose(radios[0], w, h).Pixel(6, h / 2));
    EXPECT_EQ(kFrame[1], Compose(radios[1], w, h).Pixel(6, h / 2));
}

// A click handler that frees its control frees the painter with it: nothing of the
// painter may run after the click.
TEST_F(PainterTest, CheckAndRadioButtonsFreedByTheirClickHandler) {
    for (bool radio : {false, true}) {
        SCOPED_TRACE(radio ? "radio button" : "check box");
        TButtonControl* c = radio ? static_cast<TButtonControl*>(Add<TRadioButton>(10, 10, 120, 20, "Free me"))
                                  : static_cast<TButtonControl*>(Add<TCheckBox>(10, 10, 120, 20, "Free me"));
        Made.pop_back();  // the handler frees it
        if (radio)
            Attach<TSkinRadioButton>(c);
        else
            Attach<TSkinCheckBox>(c);
        bool freed = false;
        c->OnClick = [&freed, c](TObject*) {
            delete c;
            freed = true;
        };
        const HWND h = c->Handle();
        SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        Pump();
        EXPECT_TRUE(freed);
        EXPECT_FALSE(IsWindow(h));
    }
}

// A media player as the control walk meets it, with its two button sets as sets: element n
// is button n (play, pause, stop, next, prev, step, back, record, eject).
class TMediaPlayer : public TPanel {
    QUORIN_CLASS(TMediaPlayer, TPanel)
public:
    explicit TMediaPlayer(TComponent* AOwner) : TPanel(AOwner) {}
    uint32_t VisibleButtons() const { return FVisible; }
    void SetVisibleButtons(uint32_t v) { FVisible = v; }
    uint32_t EnabledButtons() const { return FEnabled; }
    void SetEnabledButtons(uint32_t v) { FEnabled = v; }

private:
    uint32_t FVisible = 0x1FF, FEnabled = 0x1FF;
};
QUORIN_DEFINE_CLASS(TMediaPlayer, TPanel) {
    const std::vector<std::string> names = {"btPlay", "btPause", "btStop",   "btNext", "btPrev",
                                            "btStep", "btBack",  "btRecord", "btEject"};
    p.Set("VisibleButtons", &TMediaPlayer::VisibleButtons, &TMediaPlayer::SetVisibleButtons, names);
    p.Set("EnabledButtons", &TMediaPlayer::EnabledButtons, &TMediaPlayer::SetEnabledButtons, names);
}

TEST_F(PainterTest, MediaPlayerShowsItsVisibleButtonsAndGreysTheDisabled) {
    auto* player = Add<TMediaPlayer>(10, 10, 180, 30);
    player->SetVisibleButtons(0b101);  // play and stop
    player->SetEnabledButtons(0b001);  // play only
    auto* p = Attach<TSkinMP>(player);
    ASSERT_TRUE(p->FPanel);
    TWMediaPlayer& panel = *p->FPanel;
    EXPECT_EQ(panel.ButtonAt(POINT{20, 15}), 0);
    EXPECT_EQ(panel.ButtonAt(POINT{160, 15}), 2);
    TBitmap out(180, 30);
    {
        TBitmapDC dc(out);
        panel.Paint(dc.Handle());
    }
    EXPECT_EQ(panel.FBuffer.Pixel(3, 3), kFrame[0]) << "play: enabled";
    EXPECT_EQ(panel.FBuffer.Pixel(93, 3), kFrame[2]) << "stop: disabled";
}

}  // namespace
}  // namespace quorin
