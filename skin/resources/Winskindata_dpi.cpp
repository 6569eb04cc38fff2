// The skin at another display scale: companions of a skin, one per DPI, with every picture
// made again at the size it is shown and every length of the description scaled.
#include "skin/resources/Winskindata.h"

#include "skin/resources/Skinscale.h"

#include <type_traits>

namespace quorin {
namespace {

TMargins ScaledMargins(const TMargins& m, const TDpiScale& s) {
    return TMargins{s.Scale(m.Left), s.Scale(m.Top), s.Scale(m.Right), s.Scale(m.Bottom)};
}

// A picture of an element's strip layout at the scale; a picture of another size than
// the strip (a second picture without frames) is scaled whole.
TBitmap ScaledStrip(const TBitmap& Map, int Frames, bool Stacked, const TMargins& Margins, const TDpiScale& s) {
    return ScaleFramedPicture(Map, TFramedPicture{Frames > 0 ? Frames : 1, Stacked, Margins}, s);
}

void CopyObject(TDataSkinObject& To, const TDataSkinObject& From, const TDpiScale& s, bool Stacked) {
    To.Margins = ScaledMargins(From.Margins, s);
    To.Map = ScaledStrip(From.Map, From.Frame, Stacked, From.Margins, s);
    To.Trans = From.Trans;
    To.Tile = From.Tile;
    To.Frame = From.Frame;
    To.Style = From.Style;
    To.NormalColor = From.NormalColor;
    To.OverColor = From.OverColor;
    To.DownColor = From.DownColor;
    To.NormalColor2 = From.NormalColor2;
    To.OverColor2 = From.OverColor2;
    To.DownColor2 = From.DownColor2;
}

template <class T>
std::unique_ptr<T> Scaled(const std::unique_ptr<T>& From, const TDpiScale& s, bool Stacked = false) {
    if (!From) return nullptr;
    auto to = std::make_unique<T>(From->Name);
    CopyObject(*to, *From, s, Stacked);
    if constexpr (std::is_same_v<T, TDataSkinBorder>) {
        to->Map2 = ScaledStrip(From->Map2, From->Frame, Stacked, From->Margins, s);
    } else if constexpr (std::is_same_v<T, TDataSkinButton>) {
        to->CheckMap = ScaledStrip(From->CheckMap, From->CheckFrame, false, TMargins{}, s);
        to->RadioMap = ScaledStrip(From->RadioMap, From->RadioFrame, false, TMargins{}, s);
        to->RadioFrame = From->RadioFrame;
        to->CheckFrame = From->CheckFrame;
        to->HasNormalColor2 = From->HasNormalColor2;
        to->HasOverColor2 = From->HasOverColor2;
        to->HasDownColor2 = From->HasDownColor2;
    } else if constexpr (std::is_same_v<T, TDataSkinTitle>) {
        to->Alignment = From->Alignment;
        to->BackMode = From->BackMode;
        to->FontHeight = s.Scale(From->FontHeight);
        to->BackLeft = s.Scale(From->BackLeft);
        to->BackRight = s.Scale(From->BackRight);
        to->ActiveColor = From->ActiveColor;
        to->InactiveColor = From->InactiveColor;
    } else if constexpr (std::is_same_v<T, TDataSkinSysButton>) {
        to->Action = From->Action;
        to->Align = From->Align;
        to->XCoord = s.Scale(From->XCoord);
        to->YCoord = s.Scale(From->YCoord);
        to->CombineOp = From->CombineOp;
        to->Visibility = From->Visibility;
        to->Visibility1 = From->Visibility1;
    } else if constexpr (std::is_same_v<T, TDataSkinBoxLabel>) {
        to->BGLeftShift = s.Scale(From->BGLeftShift);
        to->BGRightShift = s.Scale(From->BGRightShift);
        to->BGAlignment = From->BGAlignment;
    }
    return to;
}

}  // namespace

TSkinData* TSkinData::ForDpi(int Dpi) {
    if (FDpiSource) return FDpiSource->ForDpi(Dpi);
    if (Dpi <= 0 || Dpi == kDefaultDpi || FLoading) return this;
    std::unique_ptr<TSkinData>& slot = FDpiSets[Dpi];
    if (!slot) {
        slot = std::make_unique<TSkinData>(nullptr);
        slot->FDpiSource = this;
    }
    if (slot->FMadeFrom != FGeneration) {
        try {
            slot->CopyScaled(*this, TDpiScale{Dpi, kDefaultDpi});
            slot->FMadeFrom = FGeneration;
        } catch (const std::bad_alloc&) {
            // No memory for the pictures at this scale: the skin's own are drawn instead.
            return this;
        }
    }
    return slot.get();
}

void TSkinData::CopyScaled(const TSkinData& From, const TDpiScale& s) {
    FDpiScale = s;
    FLoading = From.FLoading;
    FActive = From.FActive;
    DisableTag = From.DisableTag;
    SkinControls = From.SkinControls;
    Options = From.Options;
    FSkin3rd.Assign(From.FSkin3rd);
    SkinFormtype = From.SkinFormtype;
    MenuUpdate = From.MenuUpdate;
    MenuMerge = From.MenuMerge;
    OnFormSkin = From.OnFormSkin;
    OnSkinChanged = From.OnSkinChanged;
    OnSkinControl = From.OnSkinControl;
    DebugLines = From.DebugLines;
    FSkinFile = From.FSkinFile;

    // The frame sides: left and right frames side by side, top and bottom stacked.
    for (int i = 0; i < 4; ++i) Border[i] = Scaled(From.Border[i], s, i >= 2);
    Buttons = Scaled(From.Buttons, s);
    Title = Scaled(From.Title, s);
    SysButtons.clear();
    for (const auto& b : From.SysButtons) SysButtons.push_back(Scaled(b, s));
    Progress = Scaled(From.Progress, s);
    ProgressChunk = Scaled(From.ProgressChunk, s);
    MenuBar = Scaled(From.MenuBar, s);
    GroupBoxEdge = Scaled(From.GroupBoxEdge, s);
    GroupBox = Scaled(From.GroupBox, s);
    Tabs = Scaled(From.Tabs, s);
    StatusBarEdges = Scaled(From.StatusBarEdges, s);
    TabPane = Scaled(From.TabPane, s);
    ToolBars = Scaled(From.ToolBars, s);
    ComboButton = Scaled(From.ComboButton, s);
    SunkEdge = Scaled(From.SunkEdge, s);
    ExtraImages = Scaled(From.ExtraImages, s);
    Headerbar = Scaled(From.Headerbar, s);
    MenuItem = Scaled(From.MenuItem, s);
    MenuBackground = Scaled(From.MenuBackground, s);
    Scrollbar = Scaled(From.Scrollbar, s);
    HorzScroll = Scaled(From.HorzScroll, s);
    VertScroll = Scaled(From.VertScroll, s);
    HorzScrollThumb = Scaled(From.HorzScrollThumb, s);
    VertScrollThumb = Scaled(From.VertScrollThumb, s);
    TrackbarThumbHorz = Scaled(From.TrackbarThumbHorz, s);
    TrackbarThumbVert = Scaled(From.TrackbarThumbVert, s);
    TrackbarThumbLeft = Scaled(From.TrackbarThumbLeft, s);
    TrackbarThumbRight = Scaled(From.TrackbarThumbRight, s);
    TrackbarThumbUp = Scaled(From.TrackbarThumbUp, s);
    TrackbarThumbDown = Scaled(From.TrackbarThumbDown, s);
    UpDownHorz = Scaled(From.UpDownHorz, s);
    UpDownVert = Scaled(From.UpDownVert, s);
    Track = Scaled(From.Track, s);
    TrackVert = Scaled(From.TrackVert, s);
    ComboxArrow = Scaled(From.ComboxArrow, s);
    Toolbar = Scaled(From.Toolbar, s);
    MinCaption = Scaled(From.MinCaption, s);

    Colors = From.Colors;
    CaptionColor = From.CaptionColor;
    PreColors = From.PreColors;
    CustomColors = From.CustomColors;
    MakeButtonFaceBrush();
    SkinName = From.SkinName;
    for (size_t i = 0; i < Glyphs.size(); ++i)
        Glyphs[i] = ScaleArea(From.Glyphs[i], s.Scale(From.Glyphs[i].Width()), s.Scale(From.Glyphs[i].Height()));
    // The icon is drawn from the program's icon at the size there, never enlarged.
    AppIcon = TBitmap();
    if (!DrawApplicationIcon(AppIcon, s.Dpi) && !From.AppIcon.Empty())
        AppIcon = ScaleArea(From.AppIcon, s.Scale(From.AppIcon.Width()), s.Scale(From.AppIcon.Height()));
    AppIcon.Transparent = true;
    AppIcon.TransparentColor = KeyColor;
    CaptionFont.Reset(MakeCaptionFont(s.Dpi));
    MaxWidth = From.MaxWidth;
    MaxHeight = From.MaxHeight;
    Containers = From.Containers;
}

}  // namespace quorin
