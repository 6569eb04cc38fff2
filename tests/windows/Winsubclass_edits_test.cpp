// The edit and combo-box painters on real framework controls, composed into bitmaps: the
// edit's border ring, the combo box's frame by state with its button on either side and
// its text left alone, and skins whose combo pictures are missing or malformed.
#include "PainterFixture.h"

#include "forms/ComCtrlsExtra.h"
#include "forms/StdCtrls.h"

namespace quorin {
namespace {

TEST_F(PainterTest, EditWithABorderGetsTheRingAndOneWithoutGetsNothing) {
    auto* framed = Add<TEdit>(10, 10, 100, 21);
    auto* bare = Add<TEdit>(10, 40, 100, 21);
    bare->SetBorderStyle(TBorderStyleCtl::bsNone);
    const TBitmap ring = Compose(Attach<TSkinEdit>(framed), 100, 21);
    EXPECT_EQ(Skin->Colors.ButtonShadow, ring.Pixel(0, 0));
    EXPECT_EQ(Skin->Colors.ButtonShadow, ring.Pixel(99, 20));
    EXPECT_EQ(0xFFFFFF, ring.Pixel(1, 10));
    EXPECT_EQ(0xFFFFFF, ring.Pixel(2, 10));
    EXPECT_EQ(kFill, ring.Pixel(50, 10)) << "the text area stays the edit's own";
    const TBitmap none = Compose(Attach<TSkinEdit>(bare), 100, 21);
    EXPECT_EQ(kFill, none.Pixel(0, 0));
    EXPECT_EQ(kFill, none.Pixel(1, 10));
}

TEST_F(PainterTest, EditPaintsTheUpDownInsideIt) {
    auto* edit = Add<TEdit>(10, 10, 100, 21);
    HWND spin = CreateWindowW(UPDOWN_CLASSW, L"", WS_CHILD | WS_VISIBLE, 80, 0, 16, 17, edit->Handle(), nullptr,
                              nullptr, nullptr);
    auto* p = Attach<TSkinEdit>(edit);
    Compose(p, 100, 21);
    ASSERT_TRUE(p->FUpDown);
    EXPECT_EQ(spin, p->FUpDown->FHandle);
    TBitmap out(16, 17);
    out.Fill(kFill);
    {
        TBitmapDC dc(out);
        p->FUpDown->DrawControl(dc.Handle(), RECT{0, 0, 16, 17});
    }
    EXPECT_EQ(kFace, out.Pixel(3, 3));
}

TEST_F(PainterTest, EditAnswersTheClientPaintHandshake) {
    auto* edit = Add<TEdit>(10, 10, 100, 21);
    Attach<TSkinEdit>(edit);
    TBitmap out(100, 21);
    TBitmapDC dc(out);
    EXPECT_EQ(SkinHandshake,
              SendMessageW(edit->Handle(), CN_PaintClient, reinterpret_cast<WPARAM>(dc.Handle()), SkinHandshake));
}

class ComboPainter : public PainterTest {
protected:
    void SetUp() override {
        PainterTest::SetUp();
        Skin->ComboButton = std::make_unique<TDataSkinBorder>("ComboButton");
        Skin->ComboButton->Map = Strip(4, 17, 21);
        Skin->ComboButton->Map2 = Strip(4, 17, 21);
        Skin->ComboButton->Frame = 4;
        Skin->SunkEdge = std::make_unique<TDataSkinObject>("SunkEdge");
        Skin->SunkEdge->Map = Strip(4, 20, 21);
        Skin->SunkEdge->Frame = 4;
        Combo = Add<TComboBox>(10, 10, kW, 21);
        Combo->SetStyle(TComboBoxStyle::csDropDownList);
        Combo->Items().Add("One");
        Combo->SetItemIndex(0);
        Painter = Attach<TSkinComBox>(Combo);
        H = Combo->Height();
    }
    static constexpr int kW = 120;
    TComboBox* Combo = nullptr;
    TSkinComBox* Painter = nullptr;
    int H = 21;
};

struct ComboCase {
    const char* name;
    bool focused, hot, enabled, left;
    int frame;
};

class ComboFrames : public ComboPainter, public ::testing::WithParamInterface<ComboCase> {};

TEST_P(ComboFrames, FrameAndButtonSide) {
    const ComboCase c = GetParam();
    if (c.left) {
        SetWindowLongW(Combo->Handle(), GWL_EXSTYLE,
                       GetWindowLongW(Combo->Handle(), GWL_EXSTYLE) | WS_EX_LEFTSCROLLBAR);
        // The mirrored picture holds the frames the other way round.
        Skin->ComboButton->Map2 = Strip(4, 17, 21);
        for (int i = 0; i < 4; ++i)
            Skin->ComboButton->Map2.FillRect(TRect{i * 17, 0, i * 17 + 17, 21}, kFrame[size_t(3 - i)]);
    }
    if (c.focused) {
        Combo->SetFocus();
        Pump();
    }
    Combo->SetEnabled(c.enabled);
    Painter->FMouseState = c.hot ? msHot : 0;
    const TBitmap out = Compose(Painter, kW, H);
    const TColor frame = kFrame[size_t(c.frame - 1)];
    const int buttonX = c.left ? 4 : kW - 4;
    EXPECT_EQ(frame, out.Pixel(buttonX, H / 2)) << "button";
    EXPECT_EQ(frame, out.Pixel(c.left ? kW - 1 : 0, H / 2)) << "sunk edge";
    EXPECT_EQ(kFill, out.Pixel(kW / 2, H / 2)) << "the text area is left to the native box";
}

INSTANTIATE_TEST_SUITE_P(Cases, ComboFrames,
                         ::testing::Values(ComboCase{"Normal", false, false, true, false, 1},
                                           ComboCase{"Focused", true, false, true, false, 4},
                                           ComboCase{"Hot", false, true, true, false, 4},
                                           ComboCase{"DisabledWins", false, true, false, false, 3},
                                           ComboCase{"LeftButton", false, false, true, true, 1},
                                           ComboCase{"LeftButtonHot", false, true, true, true, 4}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ComboPainter, ArrowImageIsCentredInTheButton) {
    Skin->ExtraImages = std::make_unique<TDataSkinObject>("ExtraImages");
    Skin->ExtraImages->Map = TBitmap(4 * 5, 5);
    Skin->ExtraImages->Map.Fill(0xFFFFFF);
    Skin->ExtraImages->Frame = 4;
    const TBitmap out = Compose(Painter, kW, H);
    const int b = GetSystemMetrics(SM_CXHSCROLL);
    const int centre = (kW - b - 2 + kW - 2) / 2;
    EXPECT_EQ(0xFFFFFF, out.Pixel(centre, H / 2));
    EXPECT_EQ(kFrame[0], out.Pixel(kW - 2, 2));
}

// Missing or malformed combo pictures: the painter draws what it has, never from outside
// a picture, and nothing at all without the button picture.
struct BadCombo {
    const char* name;
    void (*spoil)(TSkinData&);
    TColor button;  // expected at the button's middle
};

class BadComboSkin : public ComboPainter, public ::testing::WithParamInterface<BadCombo> {};

TEST_P(BadComboSkin, DrawsWhatItCan) {
    Compose(Painter, kW, H);
    GetParam().spoil(*Skin);
    const TBitmap out = Compose(Painter, kW, H);
    EXPECT_EQ(GetParam().button, out.Pixel(kW - 4, H / 2));
    EXPECT_EQ(kFill, out.Pixel(kW / 2, H / 2));
}

INSTANTIATE_TEST_SUITE_P(
    Skins, BadComboSkin,
    ::testing::Values(BadCombo{"NoButton", [](TSkinData& s) { s.ComboButton.reset(); }, kFill},
                      BadCombo{"EmptyButton", [](TSkinData& s) { s.ComboButton->Map = TBitmap(); }, kFill},
                      BadCombo{"NoSunkEdge", [](TSkinData& s) { s.SunkEdge.reset(); }, kFrame[0]},
                      // A strip taken as one frame: its last quarter lands at the button's right part.
                      BadCombo{"ZeroFrames", [](TSkinData& s) { s.ComboButton->Frame = 0, s.SunkEdge->Frame = -1; },
                               kFrame[3]},
                      BadCombo{"ArrowWithoutImageOrFrames",
                               [](TSkinData& s) {
                                   s.ExtraImages = std::make_unique<TDataSkinObject>("ExtraImages");
                                   s.ExtraImages->Frame = 0;
                                   s.ComboxArrow = std::make_unique<TDataSkinObject>("ComboxArrow");
                               },
                               kFrame[0]},
                      BadCombo{"ArrowNarrowerThanItsFrames",
                               [](TSkinData& s) {
                                   s.ExtraImages = std::make_unique<TDataSkinObject>("ExtraImages");
                                   s.ExtraImages->Map = TBitmap(2, 5);
                                   s.ExtraImages->Frame = 4;
                               },
                               kFrame[0]},
                      BadCombo{"CompositeWithoutMirror",
                               [](TSkinData& s) {
                                   s.ComboButton->Style = 2;
                                   s.SunkEdge.reset();
                               },
                               kFrame[0]}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PainterTest, DateTimePickerShowsTheArrowButtonOverItsDropDown) {
    Skin->ComboButton = std::make_unique<TDataSkinBorder>("ComboButton");
    Skin->ComboButton->Map = Strip(4, 17, 21);
    Skin->ComboButton->Frame = 4;
    auto* picker = Add<TDateTimePicker>(10, 10, 150, 21);
    const TBitmap out = Compose(Attach<TSkinDateTime>(picker), 150, 21);
    EXPECT_EQ(Skin->Colors.ButtonShadow, out.Pixel(0, 0));
    EXPECT_EQ(kFrame[0], out.Pixel(150 - 5, 4));
}

}  // namespace
}  // namespace quorin
