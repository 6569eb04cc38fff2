// The box painters: a group box painting itself with the labels on it, the status bar and
// progress bar from their skin pictures, and a raw dialog on the skin's face colour.
#include "PainterFixture.h"

#include "forms/ComCtrls.h"
#include "forms/ComCtrlsExtra.h"
#include "forms/StdCtrls.h"

namespace quorin {
namespace {

TEST_F(PainterTest, GroupBoxPaintsItselfAndTheLabelsOnIt) {
    auto* box = Add<TGroupBox>(10, 10, 200, 100, "Group");
    auto* label = new TLabel(box);
    label->SetParent(box);
    label->SetAutoSize(false);
    label->SetBounds(20, 40, 120, 20);
    label->SetCaption("WWWW");
    label->Font().SetColor(0x00FFFF);
    auto* p = Attach<TSkinGroupBox>(box);
    const TBitmap out = Compose(p, 200, 100);
    EXPECT_EQ(kFace, out.Pixel(100, 90)) << "the body is the skin's face";
    EXPECT_EQ(Skin->Colors.ButtonShadow, out.Pixel(0, 50)) << "the frame line";
    int ink = 0;
    for (int y = 40; y < 60; ++y)
        for (int x = 20; x < 140; ++x) ink += out.Pixel(x, y) != kFace;
    EXPECT_GT(ink, 10) << "the label's text";
    EXPECT_EQ(kFace, label->Color()) << "the label's background follows the box";
}

TEST_F(PainterTest, StatusBarPanelsStandOnTheirBevelPicture) {
    Skin->StatusBarEdges = std::make_unique<TDataSkinObject>("StatusBarEdges");
    Skin->StatusBarEdges->Map = Strip(3, 10, 10);
    Skin->StatusBarEdges->Frame = 3;
    auto* bar = Add<TStatusBar>(0, 200, 300, 20);
    bar->SetAlign(TAlign::alNone);
    bar->SetBounds(0, 200, 300, 20);
    bar->Panels().Add()->SetWidth(100);
    bar->Panels().Add()->SetText("Ready");
    auto* p = Attach<TSkinStatusBar>(bar);
    const TBitmap out = Compose(p, 300, 20);
    EXPECT_EQ(kFrame[0], out.Pixel(50, 10));
    EXPECT_EQ(kFrame[0], out.Pixel(250, 10));
    Skin->StatusBarEdges->Map = TBitmap();
    EXPECT_EQ(kFill, Compose(p, 300, 20).Pixel(50, 10)) << "no picture: the native bar";
}

struct ProgressCase {
    int position;
    TColor at25, at75;
};

class ProgressBars : public PainterTest, public ::testing::WithParamInterface<ProgressCase> {};

TEST_P(ProgressBars, BarCoversItsShareOfTheTrough) {
    Skin->Progress = std::make_unique<TDataSkinBorder>("Progress");
    Skin->Progress->Map = Strip(2, 10, 10);
    auto* bar = Add<TProgressBar>(10, 10, 200, 16);
    bar->SetPosition(GetParam().position);
    const TBitmap out = Compose(Attach<TSkinProgress>(bar), 200, 16);
    EXPECT_EQ(GetParam().at25, out.Pixel(50, 8));
    EXPECT_EQ(GetParam().at75, out.Pixel(150, 8));
}

INSTANTIATE_TEST_SUITE_P(Positions, ProgressBars,
                         ::testing::Values(ProgressCase{0, kFrame[0], kFrame[0]},
                                           ProgressCase{50, kFrame[1], kFrame[0]},
                                           ProgressCase{100, kFrame[1], kFrame[1]}));

TEST_F(PainterTest, ProgressBarWithAnEmptyRangeShowsTheTroughOnly) {
    Skin->Progress = std::make_unique<TDataSkinBorder>("Progress");
    Skin->Progress->Map = Strip(2, 10, 10);
    auto* bar = Add<TProgressBar>(10, 10, 200, 16);
    bar->SetMin(5);
    bar->SetMax(5);
    EXPECT_EQ(kFrame[0], Compose(Attach<TSkinProgress>(bar), 200, 16).Pixel(150, 8));
}

TEST_F(PainterTest, RawDialogStandsOnTheSkinFace) {
    struct {
        DLGTEMPLATE t;
        WORD menu, cls, title;
    } templ{{WS_POPUP | DS_MODALFRAME, 0, 0, 0, 0, 100, 60}, 0, 0, 0};
    HWND dialog = CreateDialogIndirectParamW(
        nullptr, &templ.t, nullptr, [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    ASSERT_TRUE(dialog);
    auto* p = new TSkinBoxH(SkinForm.get());
    p->Inithwnd(dialog, Skin.get(), SkinForm.get(), SkinForm->FCanvas.get());
    TBitmap out(20, 20);
    out.Fill(kFill);
    {
        TBitmapDC dc(out);
        SendMessageW(dialog, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.Handle()), 0);
        auto brush =
            reinterpret_cast<HBRUSH>(SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Handle()), 0));
        LOGBRUSH lb{};
        ASSERT_TRUE(GetObjectW(brush, sizeof lb, &lb));
        EXPECT_EQ(ColorRef(kFace), lb.lbColor);
    }
    EXPECT_EQ(kFace, out.Pixel(10, 10));
    SkinForm.reset();
    DestroyWindow(dialog);
}

}  // namespace
}  // namespace quorin
