// After a description has been read: the frame counts the painters rely on, and the
// pictures composed once at load time so that painting does no image assembly
// (combo box, combo arrow, toolbar gradient, the built-in track images).
#include "skin/resources/Winskindata.h"

#include <algorithm>

#include "skin/resources/Blit.h"
#include "skin/resources/Imgutil.h"
#include "skin/resources/Skindraw.h"
#include "skin/resources/Winskinini.h"

namespace quorin {
namespace {

constexpr TColor kSilver = 0xC0C0C0;
constexpr TColor kGrey = 0x808080;
constexpr TColor kWhite = 0xFFFFFF;

void SetFrames(TDataSkinObject* e, int32_t frames) {
    if (e) e->Frame = frames;
}

// Radio-button and check-box strips: frames of 13 pixels for small glyphs, 16 otherwise.
int32_t GlyphFrames(const TBitmap& image) {
    if (image.Empty()) return 4;
    int32_t frames = image.Height() < 16 ? image.Width() / 13 : image.Width() / 16;
    return std::max(frames, 4);
}

}  // namespace

TBitmap BuiltinTrackImage(const std::string& resourceName) {
    TBitmap b;
    if (resourceName == "TRACKVERT") {
        b.SetSize(4, 16);
        const TColor row0[4] = {kSilver, kSilver, kGrey, kSilver};
        for (int x = 0; x < 4; ++x) {
            b.SetPixel(x, 0, row0[x]);
            b.SetPixel(x, 1, kSilver);
        }
        for (int y = 2; y < 14; ++y) {
            b.SetPixel(0, y, kGrey);
            for (int x = 1; x < 4; ++x) b.SetPixel(x, y, kWhite);
        }
        for (int y = 14; y < 16; ++y)
            for (int x = 0; x < 4; ++x) b.SetPixel(x, y, kWhite);
    } else {
        b.SetSize(16, 4);
        for (int x = 0; x < 16; ++x) {
            b.SetPixel(x, 0, x < 2 ? kSilver : x < 14 ? kGrey : kWhite);
            b.SetPixel(x, 1, x < 2 ? kSilver : kWhite);
            b.SetPixel(x, 2, x == 0 ? kGrey : x == 1 ? kSilver : kWhite);
            b.SetPixel(x, 3, x < 2 ? kSilver : kWhite);
        }
    }
    return b;
}

void TSkinData::ReadTrack(std::unique_ptr<TDataSkinObject>& slot, const std::string& resourceName) {
    auto e = std::make_unique<TDataSkinObject>(resourceName);
    e->Map = BuiltinTrackImage(resourceName);
    e->Margins = TMargins{3, 3, 3, 3};
    e->Tile = 0;
    e->Frame = 1;
    slot = std::move(e);
}

void TSkinData::SetFrame() {
    if (Buttons) {
        Buttons->Frame = 5;
        if (Buttons->RadioFrame == 0) Buttons->RadioFrame = GlyphFrames(Buttons->RadioMap);
        if (Buttons->CheckFrame == 0) Buttons->CheckFrame = GlyphFrames(Buttons->CheckMap);
    }
    SetFrames(Title.get(), 2);
    if (Progress) Progress->Frame = Progress->Style == 0 ? 2 : 1;
    SetFrames(MenuBar.get(), 2);
    SetFrames(GroupBoxEdge.get(), 2);
    SetFrames(Toolbar.get(), 1);
    SetFrames(TabPane.get(), 1);
    SetFrames(GroupBox.get(), 1);
    SetFrames(MenuBackground.get(), 1);
    for (TDataSkinObject* e :
         {ToolBars.get(), static_cast<TDataSkinObject*>(Tabs.get()), ExtraImages.get(), MenuItem.get(),
          TrackbarThumbHorz.get(), TrackbarThumbVert.get(), TrackbarThumbLeft.get(), TrackbarThumbRight.get(),
          TrackbarThumbUp.get(), TrackbarThumbDown.get()})
        SetFrames(e, 5);
    if (Headerbar && Headerbar->Frame == 0) Headerbar->Frame = 5;
    SetFrames(StatusBarEdges.get(), 3);
    SetFrames(ComboButton.get(), 4);
    SetFrames(SunkEdge.get(), 4);
    SetFrames(HorzScroll.get(), 4);
    SetFrames(VertScroll.get(), 4);
    SetFrames(Scrollbar.get(), 23);
    SetFrames(UpDownHorz.get(), 8);
    SetFrames(UpDownVert.get(), 8);
    if (FIni) {
        if (HorzScrollThumb) HorzScrollThumb->Frame = FIni->ReadInteger("HorzScrollThumb", "FrameCount", 3);
        if (VertScrollThumb) VertScrollThumb->Frame = FIni->ReadInteger("VertScrollThumb", "FrameCount", 3);
    }
    // Every painter divides a picture by its frame count, and a picture always holds at
    // least one frame: a description that gives 0 or less would make that a division
    // by zero.
    auto atLeastOne = [](TDataSkinObject* e) {
        if (e && e->Frame < 1) e->Frame = 1;
    };
    for (auto& b : Border) atLeastOne(b.get());
    for (auto& b : SysButtons) atLeastOne(b.get());
    for (TDataSkinObject* e : {static_cast<TDataSkinObject*>(Progress.get()), ProgressChunk.get(), Headerbar.get(),
                               HorzScrollThumb.get(), VertScrollThumb.get(), Track.get(), TrackVert.get()})
        atLeastOne(e);
}

void TSkinData::ReBuildCombobox() {
    if (!SunkEdge || !ComboButton) return;
    const int k = SunkEdge->Frame;
    if (k < 1) return;
    constexpr int W = 50, H = 21;
    const int b = SystemMetricHScrollArrow() + 2;
    TBitmap picture(W * k, H);
    picture.Fill(KeyColor);
    // One scratch picture serves every frame; it is not cleared in between, so a
    // transparent pixel of a frame shows the frame before it.
    TBitmap scratch(W, H);
    const TRect button{W - b, 0, W, H};
    for (int i = 1; i <= k; ++i) {
        DrawRect2(scratch, TRect{0, 0, W, H}, SunkEdge->Map, SunkEdge->Margins,
                  {.Frame = i, .Frames = k, .Trans = SunkEdge->Trans != 0, .Tile = SunkEdge->Tile != 0});
        DrawRect2(scratch, button, ComboButton->Map, ComboButton->Margins,
                  {.Frame = i, .Frames = ComboButton->Frame, .Trans = true, .Tile = ComboButton->Tile != 0});
        if (ExtraImages && !ExtraImages->Map.Empty())
            DrawRect3(scratch, button, ExtraImages->Map,
                      {.Frame = i, .Frames = ExtraImages->Frame, .Trans = ExtraImages->Trans != 0});
        scratch.FillRect(TRect{2, 2, 49 - b, 18}, KeyColor);
        CopyRect(picture, W * (i - 1), 0, scratch, TRect{0, 0, W, H});
    }
    ComboButton->Style = 2;
    ComboButton->Margins = SunkEdge->Margins;
    ComboButton->Margins.Left = 2;
    ComboButton->Margins.Right = b + 2;
    ComboButton->Map = picture;
    SpiegelnHorizontal(picture);
    SunkEdge->Map = std::move(picture);
    SunkEdge->Margins.Left = b + 2;
    SunkEdge->Margins.Right = 2;
}

void TSkinData::ReBuildComboxArrow() {
    if (!ComboxArrow) ComboxArrow = std::make_unique<TDataSkinObject>("ComboxArrow");
    if (SunkEdge && ComboButton && ComboButton->Style == 2) {
        const int k = SunkEdge->Frame;
        if (k < 1 || ComboButton->Map.Empty()) return;
        const int w = ComboButton->Map.Width() / k;
        TBitmap arrows(17 * k, 17);
        for (int i = 1; i <= k; ++i)
            CopyRect(arrows, 17 * (i - 1), 0, ComboButton->Map, TRect{i * w - 19, 2, i * w - 2, 19});
        ComboxArrow->Map = std::move(arrows);
        ComboxArrow->Frame = k;
    } else if (!SunkEdge && ComboButton) {
        ComboxArrow->Map = ComboButton->Map;
        if (!ComboxArrow->Map.Empty()) ChangeTrans(ComboxArrow->Map, Colors.ButtonFace);
        ComboxArrow->Frame = ComboButton->Frame;
    }
}

void TSkinData::RebuildToolbar() {
    // The caption colour of the skin being read; the stored one may still belong to the
    // skin loaded before.
    const TColor c = GetCaptionColor();
    TColor e = Blend(0x808080, c, 150);
    const TColor s = Blend(Colors.ButtonFace, 0xFFFFFF, 150);
    const int v = GetHSV(c);
    if (v > 110) e = Blend(c, 0xFFFFFF, (5625 - 25 * v) / 140 + 50);
    TBitmap gradient(10, 40);
    GradFill(gradient, gradient.BoundsRect(), s, e, 1);
    if (!Toolbar) Toolbar = std::make_unique<TDataSkinObject>("Toolbar");
    Toolbar->Map = std::move(gradient);
    Toolbar->Frame = 1;
}

TColor TSkinData::GetCaptionColor() const {
    const TDataSkinBorder* top = Top();
    if (!top || top->Map.Empty()) return Colors.ButtonFace;
    const int frames = std::max(top->Frame, 1);
    return top->Map.Pixel(top->Map.Width() / 3, (top->Map.Height() / frames) / 3);
}

void TSkinData::CreateMinCaption() {
    if (!MinCaption) MinCaption = std::make_unique<TDataSkinObject>("MinCaption");
    TBitmap b(80, 29);
    b.Fill(CaptionColor);
    const TColor outline = Blend(0, CaptionColor, 50);
    b.FillRect(TRect{0, 0, 80, 1}, outline);
    b.FillRect(TRect{0, 28, 80, 29}, outline);
    b.FillRect(TRect{0, 0, 1, 29}, outline);
    b.FillRect(TRect{79, 0, 80, 29}, outline);
    MinCaption->Map = std::move(b);
    MinCaption->Frame = 1;
    MinCaption->Margins = TMargins{3, 3, 3, 3};
}

void TSkinData::CreateCaptionFont() { CaptionFont.Reset(MakeCaptionFont()); }

void TSkinData::GetAppIcon() {
    TBitmap icon;
    if (!DrawApplicationIcon(icon)) return;
    icon.Transparent = true;
    icon.TransparentColor = KeyColor;
    AppIcon = std::move(icon);
}

}  // namespace quorin
