// The skin at another display scale: companions of a skin, one per DPI, with every picture
// made again at the size it is shown and every length of the description scaled.
#include "skin/resources/Winskindata.h"

#include "skin/resources/Skinscale.h"

#include <algorithm>
#include <type_traits>

namespace quorin {
namespace {

TMargins ScaledMargins(const TMargins& m, const TDpiScale& s) {
    return TMargins{s.Scale(m.Left), s.Scale(m.Top), s.Scale(m.Right), s.Scale(m.Bottom)};
}

// Where a companion's pictures come from: the skin's own, drawn for 96 DPI, and the set
// drawn for a larger scale when the skin carries one.
struct TPictureSource {
    TDpiScale Scale;       // the companion's, against 96 DPI
    int SetPercent = 100;  // the set's scale (100: no set)
    TDpiScale SetScale() const { return TDpiScale{DpiMulDiv(kDefaultDpi, SetPercent, 100), kDefaultDpi}; }
};

// A picture of an element's strip layout at the scale. From the set where it has the
// picture at the size its scale gives the skin's own (as it is when the set's scale is the
// companion's, else resampled to exactly the size and margins the own picture would be
// scaled to); else the own picture scaled part by part. A picture of another size than the
// strip (a second picture without frames) is scaled whole.
TBitmap ScaledStrip(const TBitmap& Own, const TBitmap* Drawn, int Frames, bool Stacked, const TMargins& Margins,
                    const TPictureSource& p) {
    const TFramedPicture layout{Frames > 0 ? Frames : 1, Stacked, Margins};
    if (Drawn && !Drawn->Empty() && !Own.Empty() && p.SetPercent != 100) {
        const TDpiScale set = p.SetScale();
        const TPictureSize drawn{Drawn->Width(), Drawn->Height()};
        if (drawn == FramedPictureSize(Own.Width(), Own.Height(), layout, set)) {
            if (set.Dpi == p.Scale.Dpi) return *Drawn;
            const bool divides = (Stacked ? Own.Height() : Own.Width()) % layout.Frames == 0;
            const int fw = Stacked || !divides ? Own.Width() : Own.Width() / layout.Frames;
            const int fh = !Stacked || !divides ? Own.Height() : Own.Height() / layout.Frames;
            const TMargins m = MarginsInFrame(Margins, fw, fh);
            return ResampleFramedPicture(*Drawn, TFramedPicture{layout.Frames, Stacked, ScaledMargins(m, set)},
                                         FramedPictureSize(Own.Width(), Own.Height(), layout, p.Scale),
                                         ScaledMargins(m, p.Scale));
        }
    }
    return ScaleFramedPicture(Own, layout, p.Scale);
}

void CopyObject(TDataSkinObject& To, const TDataSkinObject& From, const TDataSkinObject* Set, const TPictureSource& p,
                bool Stacked) {
    const TDpiScale& s = p.Scale;
    To.Margins = ScaledMargins(From.Margins, s);
    To.Map = ScaledStrip(From.Map, Set ? &Set->Map : nullptr, From.Frame, Stacked, From.Margins, p);
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
std::unique_ptr<T> Scaled(const std::unique_ptr<T>& From, const T* Set, const TPictureSource& p, bool Stacked = false) {
    if (!From) return nullptr;
    const TDpiScale& s = p.Scale;
    auto to = std::make_unique<T>(From->Name);
    CopyObject(*to, *From, Set, p, Stacked);
    if constexpr (std::is_same_v<T, TDataSkinBorder>) {
        to->Map2 = ScaledStrip(From->Map2, Set ? &Set->Map2 : nullptr, From->Frame, Stacked, From->Margins, p);
    } else if constexpr (std::is_same_v<T, TDataSkinButton>) {
        to->CheckMap =
            ScaledStrip(From->CheckMap, Set ? &Set->CheckMap : nullptr, From->CheckFrame, false, TMargins{}, p);
        to->RadioMap =
            ScaledStrip(From->RadioMap, Set ? &Set->RadioMap : nullptr, From->RadioFrame, false, TMargins{}, p);
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
            // The set to take the pictures from: the smallest drawn at or above the scale,
            // else the largest (still nearer than 100 %); none below 100 %.
            int percent = 100;
            if (Dpi > kDefaultDpi)
                for (int p : FPictureSets) {
                    percent = p;
                    if (DpiMulDiv(kDefaultDpi, p, 100) >= Dpi) break;
                }
            const TSkinData* set = percent != 100 ? PictureSet(percent) : nullptr;
            slot->CopyScaled(*this, set, set ? percent : 100, TDpiScale{Dpi, kDefaultDpi});
            slot->FMadeFrom = FGeneration;
        } catch (const std::bad_alloc&) {
            // No memory for the pictures at this scale: the skin's own are drawn instead.
            return this;
        }
    }
    return slot.get();
}

const TSkinData* TSkinData::PictureSet(int Percent) {
    if (FDpiSource) return FDpiSource->PictureSet(Percent);
    if (FLoading || std::find(FPictureSets.begin(), FPictureSets.end(), Percent) == FPictureSets.end()) return nullptr;
    TPictureSetSlot& slot = FSetSkins[Percent];
    if (slot.Generation != FGeneration) {
        slot.Generation = FGeneration;
        // The same description read again from the held packed skin, every picture taken
        // from the set: the composed pictures (the combo box's, the caption buttons' of a
        // child window) are composed from the set's as the skin's own are from its own.
        slot.Skin = std::make_unique<TSkinData>(nullptr);
        slot.Skin->SkinFormtype = sfDialog;
        slot.Skin->FPictureSuffix = "@" + std::to_string(Percent);
        slot.Skin->FSkinStream.WriteBuffer(FSkinStream.Bytes().data(), int64_t(FSkinStream.Bytes().size()));
        if (!slot.Skin->LoadSkin()) slot.Skin.reset();
    }
    return slot.Skin.get();
}

void TSkinData::CopyScaled(const TSkinData& From, const TSkinData* Set, int SetPercent, const TDpiScale& s) {
    const TPictureSource p{s, Set ? SetPercent : 100};
    // The same element of the set, where there is one.
    auto in = [Set](auto TSkinData::*Member) { return Set ? (Set->*Member).get() : nullptr; };
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
    FPictureSets = From.FPictureSets;

    // The frame sides: left and right frames side by side, top and bottom stacked.
    for (int i = 0; i < 4; ++i) Border[i] = Scaled(From.Border[i], Set ? Set->Border[i].get() : nullptr, p, i >= 2);
    Buttons = Scaled(From.Buttons, in(&TSkinData::Buttons), p);
    Title = Scaled(From.Title, in(&TSkinData::Title), p);
    SysButtons.clear();
    for (size_t i = 0; i < From.SysButtons.size(); ++i) {
        const TDataSkinSysButton* drawn = nullptr;
        if (Set && i < Set->SysButtons.size() && Set->SysButtons[i] && From.SysButtons[i] &&
            Set->SysButtons[i]->Name == From.SysButtons[i]->Name)
            drawn = Set->SysButtons[i].get();
        SysButtons.push_back(Scaled(From.SysButtons[i], drawn, p));
    }
    Progress = Scaled(From.Progress, in(&TSkinData::Progress), p);
    ProgressChunk = Scaled(From.ProgressChunk, in(&TSkinData::ProgressChunk), p);
    MenuBar = Scaled(From.MenuBar, in(&TSkinData::MenuBar), p);
    GroupBoxEdge = Scaled(From.GroupBoxEdge, in(&TSkinData::GroupBoxEdge), p);
    GroupBox = Scaled(From.GroupBox, in(&TSkinData::GroupBox), p);
    Tabs = Scaled(From.Tabs, in(&TSkinData::Tabs), p);
    StatusBarEdges = Scaled(From.StatusBarEdges, in(&TSkinData::StatusBarEdges), p);
    TabPane = Scaled(From.TabPane, in(&TSkinData::TabPane), p);
    ToolBars = Scaled(From.ToolBars, in(&TSkinData::ToolBars), p);
    ComboButton = Scaled(From.ComboButton, in(&TSkinData::ComboButton), p);
    SunkEdge = Scaled(From.SunkEdge, in(&TSkinData::SunkEdge), p);
    ExtraImages = Scaled(From.ExtraImages, in(&TSkinData::ExtraImages), p);
    Headerbar = Scaled(From.Headerbar, in(&TSkinData::Headerbar), p);
    MenuItem = Scaled(From.MenuItem, in(&TSkinData::MenuItem), p);
    MenuBackground = Scaled(From.MenuBackground, in(&TSkinData::MenuBackground), p);
    Scrollbar = Scaled(From.Scrollbar, in(&TSkinData::Scrollbar), p);
    HorzScroll = Scaled(From.HorzScroll, in(&TSkinData::HorzScroll), p);
    VertScroll = Scaled(From.VertScroll, in(&TSkinData::VertScroll), p);
    HorzScrollThumb = Scaled(From.HorzScrollThumb, in(&TSkinData::HorzScrollThumb), p);
    VertScrollThumb = Scaled(From.VertScrollThumb, in(&TSkinData::VertScrollThumb), p);
    TrackbarThumbHorz = Scaled(From.TrackbarThumbHorz, in(&TSkinData::TrackbarThumbHorz), p);
    TrackbarThumbVert = Scaled(From.TrackbarThumbVert, in(&TSkinData::TrackbarThumbVert), p);
    TrackbarThumbLeft = Scaled(From.TrackbarThumbLeft, in(&TSkinData::TrackbarThumbLeft), p);
    TrackbarThumbRight = Scaled(From.TrackbarThumbRight, in(&TSkinData::TrackbarThumbRight), p);
    TrackbarThumbUp = Scaled(From.TrackbarThumbUp, in(&TSkinData::TrackbarThumbUp), p);
    TrackbarThumbDown = Scaled(From.TrackbarThumbDown, in(&TSkinData::TrackbarThumbDown), p);
    UpDownHorz = Scaled(From.UpDownHorz, in(&TSkinData::UpDownHorz), p);
    UpDownVert = Scaled(From.UpDownVert, in(&TSkinData::UpDownVert), p);
    Track = Scaled(From.Track, in(&TSkinData::Track), p);
    TrackVert = Scaled(From.TrackVert, in(&TSkinData::TrackVert), p);
    ComboxArrow = Scaled(From.ComboxArrow, in(&TSkinData::ComboxArrow), p);
    Toolbar = Scaled(From.Toolbar, in(&TSkinData::Toolbar), p);
    MinCaption = Scaled(From.MinCaption, in(&TSkinData::MinCaption), p);

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
