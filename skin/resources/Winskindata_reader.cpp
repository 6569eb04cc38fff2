// Reading a skin: unpacking the archive, parsing its description and reading every
// element, colour and caption button into the component. The order matters: later
// readers use what earlier ones read (the ButtonText colour, the SunkEdge frames).
#include "skin/resources/Winskindata.h"

#include <algorithm>
#include <cctype>
#include <new>

#include "skin/resources/Blit.h"
#include "skin/resources/Bmpfile.h"
#include "skin/resources/Imgutil.h"
#include "skin/resources/Skincheck.h"
#include "skin/resources/Skinread.h"
#include "skin/resources/Winskinini.h"

namespace quorin {
namespace {

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The section names of the description, in file order.
std::vector<std::string> SectionNames(const TQuickIni& ini) {
    TStringList list;
    ini.ReadSections(list);
    std::vector<std::string> names;
    names.reserve(list.Count());
    for (int i = 0; i < list.Count(); ++i) names.push_back(list[i]);
    return names;
}

// Clears the load's helpers when LoadSkin ends, also by an exception.
class TLoadScope {
public:
    TLoadScope(TQuickIni*& ini, TSkinReader*& reader, TQuickIni* i, TSkinReader* r) : FIni(ini), FReader(reader) {
        FIni = i;
        FReader = r;
    }
    ~TLoadScope() {
        FIni = nullptr;
        FReader = nullptr;
    }
    TLoadScope(const TLoadScope&) = delete;
    TLoadScope& operator=(const TLoadScope&) = delete;

private:
    TQuickIni*& FIni;
    TSkinReader*& FReader;
};

}  // namespace

bool TSkinData::LoadSkin() {
    FLoading = true;
    ++FGeneration;  // the companions at other scales are made again from what is read
    if (Designing()) return false;
    try {
        TSkinReader reader;
        // The pictures drawn for other scales are read only by a set of them (PictureSet).
        reader.SkipPictureSets = FPictureSuffix.empty();
        FSkinStream.SetPosition(0);
        if (!reader.Loadfromstream(FSkinStream)) return false;
        TMemoryStream scratch;
        TQuickIni ini;
        std::string iniName;
        reader.readIni(".ini", scratch, iniName);
        scratch.SetPosition(0);
        ini.LoadFromStream(&scratch);
        TLoadScope scope(FIni, FReader, &ini, &reader);
        LoadFromIni();
    } catch (const std::bad_alloc&) {
        ReportLoadError("out of memory");
        return false;
    } catch (const std::exception& e) {
        // A damaged skin keeps whatever was read so far; it is never fatal to the
        // program, and the loading flag stays on so the skin is not applied. The reason
        // goes to the debug hook, so a skin that silently stays unapplied can be explained.
        ReportLoadError(e.what());
        return false;
    }
    return true;
}

// Margins and positions are counts of pixels. A negative one would have the painters build
// tiles and copies wider than any picture (a margin of -2^24 is a gigabyte a paint), so it
// counts as 0; the skin check names it.
static int32_t ReadPixels(TQuickIni& ini, const std::string& section, const std::string& key, int32_t fallback) {
    return std::max(ini.ReadInteger(section, key, fallback), 0);
}

static TMargins ReadMargins(TQuickIni& ini, const std::string& s) {
    return TMargins{ReadPixels(ini, s, "LeftWidth", 0), ReadPixels(ini, s, "TopHeight", 0),
                    ReadPixels(ini, s, "RightWidth", 0), ReadPixels(ini, s, "BottomHeight", 0)};
}

void TSkinData::ReportLoadError(const char* reason) noexcept {
    try {
        DoDebug(std::string("The skin was not loaded: ") + reason);
    } catch (...) {
        // Out of memory for the line itself: the load has failed all the same.
    }
}

void TSkinData::LoadFromIni(const std::string&) {
    if (!FIni) return;
    SkinName = FIni->ReadString("TitlebarSkin", "SkinName", "");
    RefusedPictures.clear();
    ReadPictureSets();
    ReadBord();
    ReadColor();
    ReadSysButton();
    ReadButton();
    Title = std::make_unique<TDataSkinTitle>("Title");
    ReadTitle(*Title, "Personality");
    ReadProgress(Progress, "Progress");
    ReadObject(ProgressChunk, "Progress.Chunk");
    ReadMenuBar(MenuBar, "Personality");
    ReadObject(GroupBoxEdge, "GroupBoxEdge");
    ReadBoxLabel(GroupBox, "GroupBox");
    ReadObject2(Tabs, "Tabs", "Border");
    ReadObject(StatusBarEdges, "StatusBarEdges");
    ReadObject(TabPane, "Tab.Pane");
    if (TabPane) {
        TMargins& m = TabPane->Margins;
        m.Left = std::min(m.Left, 4);
        m.Top = std::min(m.Top, 4);
        m.Right = std::min(m.Right, 4);
        m.Bottom = std::min(m.Bottom, 4);
    }
    ReadObject(ToolBars, "ToolBars");
    // No description uses this key, so the second picture starts empty and is made below.
    ReadObject2(ComboButton, "ComboButton", "****");
    ReadObject(SunkEdge, "SunkEdge");
    if (ComboButton && !ComboButton->Map.Empty()) {
        ComboButton->Map2 = ComboButton->Map;
        ComboButton->Map2.SetPixelFormat(pf24bit);
        SpiegelnHorizontal(ComboButton->Map2);
    }
    ReadObject(ExtraImages, "ExtraImages");
    ReadObject(Headerbar, "Headerbar");
    ReadObject(MenuItem, "MenuItem");
    ReadObject(MenuBackground, "MenuBackground");
    ReadObject(Scrollbar, "Scrollbar");
    ReadObject(HorzScroll, "HorzScroll");
    ReadObject(VertScroll, "VertScroll");
    ReadObject(HorzScrollThumb, "HorzScrollThumb");
    ReadObject(VertScrollThumb, "VertScrollThumb");
    ReadObject(TrackbarThumbHorz, "Trackbar.ThumbHorz");
    ReadObject(TrackbarThumbVert, "Trackbar.ThumbVert");
    ReadObject(TrackbarThumbLeft, "Trackbar.ThumbLeft");
    ReadObject(TrackbarThumbRight, "Trackbar.ThumbRight");
    ReadObject(TrackbarThumbUp, "Trackbar.ThumbUp");
    ReadObject(TrackbarThumbDown, "Trackbar.ThumbDown");
    ReadObject2(UpDownHorz, "UpDown.Horz", "GlyphImage");
    ReadObject2(UpDownVert, "UpDown.Vert", "GlyphImage");
    ReadObject(Track, "Track");
    ReadObject(TrackVert, "TRACKVERT");
    if (!Track || Track->Map.Empty()) ReadTrack(Track, "TRACK");
    if (!TrackVert || TrackVert->Map.Empty()) ReadTrack(TrackVert, "TRACKVERT");
    SetFrame();
    ReBuildCombobox();
    ReBuildComboxArrow();
    RebuildToolbar();
    CaptionColor = GetCaptionColor();
    MakeButtonFaceBrush();
    FLoading = false;
}

int TSkinData::GetSectionNum(const std::string& prefix, const std::string& key) const {
    if (!FIni) return 0;
    int n = 0;
    while (n < 100000 && !FIni->ReadString(prefix + std::to_string(n), key, "").empty()) ++n;
    return n;
}

void TSkinData::MakeButtonFaceBrush() { BtnFaceBrush.Reset(MakeSolidBrush(Colors.ButtonFace)); }

// ---- Element readers ----------------------------------------------------------------------

void TSkinData::ReadBord() {
    static const char* const kNames[4] = {"Left", "Right", "Top", "Bottom"};
    for (int i = 0; i < 4; ++i) {
        const std::string name = kNames[i];
        auto b = std::make_unique<TDataSkinBorder>(name);
        int32_t first = ReadPixels(*FIni, "Personality", name + "TopHeight", 0);
        int32_t second = ReadPixels(*FIni, "Personality", name + "BotHeight", 0);
        b->Frame = FIni->ReadInteger("Personality", name + "Frame", 1);
        b->Tile = std::min(FIni->ReadInteger("Personality", name + "Stretch", 1), 1);
        b->Trans = FIni->ReadInteger("Personality", name + "Trans", 1);
        Readbmp(b->Map, FIni->ReadString("Personality", name, ""));
        if (i < 2) {
            b->Margins = TMargins{0, first, 0, second};
        } else {
            b->Margins = TMargins{first, 0, second, 0};
        }
        Border[i] = std::move(b);
    }
}

void TSkinData::ReadColor() {
    auto color = [&](const char* key, TColor def) { return GetColor(FIni->ReadString("Colours", key, ""), def); };
    Colors.WindowText = color("WindowText", SystemColor(scWindowText));
    Colors.TitleTextActive = color("TitleTextActive", SystemColor(scCaptionText));
    Colors.TitleTextNoActive = color("TitleTextNoActive", SystemColor(scInactiveCaptionText));
    Colors.ButtonFace = color("ButtonFace", SystemColor(scBtnFace));
    Colors.ButtonText = color("ButtonText", SystemColor(scBtnText));
    Colors.ButtonHilight = color("ButtonHilight", SystemColor(scBtnHighlight));
    Colors.Buttonlight = color("Buttonlight", SystemColor(scBtnHighlight));
    Colors.ButtonShadow = color("ButtonShadow", SystemColor(scBtnShadow));
    Colors.ButtonDkShadow = color("ButtonDkShadow", SystemColor(sc3DDkShadow));
    Colors.HilightText = color("HilightText", SystemColor(scHighlightText));
    Colors.Hilight = color("Hilight", SystemColor(scHighlight));
    Colors.Menubar = color("Menubar", Colors.ButtonFace);
    Colors.MenuBarText = color("MenuBarText", SystemColor(scMenuText));
    Colors.MenuText = color("MenuText", SystemColor(scMenuText));
    Colors.Menu = color("Menu", SystemColor(scMenu));
    Colors.Scrollbar = color("Scrollbar", SystemColor(scScrollbar));

    PreColors.clear();
    for (const std::string& section : SectionNames(*FIni)) {
        std::string upper = Upper(section);
        if (upper.compare(0, 6, "COLOUR") == 0 && upper != "COLOURS")
            PreColors.push_back(GetColor(FIni->ReadString(section, "color", ""), SystemColor(scWindowText)));
    }
    for (int i = 0; i < 10; ++i)
        CustomColors[i] = GetColor(FIni->ReadString("Customcolors", "Color" + std::to_string(i), ""), 0xFFFFFF);
}

void TSkinData::FreeSysButtons() { SysButtons.clear(); }

void TSkinData::ReadSysButton() {
    FreeSysButtons();
    std::vector<std::string> kept;
    for (const std::string& section : SectionNames(*FIni)) {
        std::string upper = Upper(section);
        if (upper.compare(0, 6, "BUTTON") != 0) continue;
        if (upper == "BUTTONS" || upper == "BUTTON.RADIO" || upper == "BUTTON.CHECKBOX" || upper == "BUTTON") continue;
        if (FIni->ReadInteger(section, "Action", 0) == -1 && FIni->ReadInteger(section, "Visibility", -1) != 0)
            continue;
        kept.push_back(section);
    }
    // Each caption button decodes its own picture: their number is bounded, so a
    // description cannot name one large picture from thousands of sections.
    if (kept.size() > static_cast<size_t>(kMaxSkinCaptionButtons)) kept.resize(kMaxSkinCaptionButtons);
    const int n = static_cast<int>(kept.size());
    SysButtons.resize(n + 3);
    for (int i = 0; i < n; ++i) {
        const std::string& section = kept[i];
        auto b = std::make_unique<TDataSkinSysButton>(Upper(section));
        b->Action = FIni->ReadInteger(section, "Action", 0);
        b->Align = FIni->ReadInteger(section, "Align", 0);
        b->XCoord = ReadPixels(*FIni, section, "Xcoord", 0);
        b->YCoord = ReadPixels(*FIni, section, "Ycoord", 0);
        b->Visibility = FIni->ReadInteger(section, "Visibility", 0);
        b->Visibility1 = FIni->ReadInteger(section, "Visibility1", b->Action == -1 ? -1 : 0);
        b->CombineOp = FIni->ReadInteger(section, "CombineOp", -1);
        b->Frame = FIni->ReadInteger(section, "frame", 0);
        Readbmp(b->Map, FIni->ReadString(section, "ButtonImage", ""));
        if (b->Frame == 0) {
            b->Frame = 6;
            if (!b->Map.Empty()) {
                double ratio = static_cast<double>(b->Map.Width()) / b->Map.Height();
                b->Frame = ratio <= 3.8 ? 3 : 6;
                if (b->Action < 0) b->Frame = 6;
            }
            // The window-icon buttons show the window's own icon.
            if (b->Action == 3 || b->Action == 11) b->Map.Clear();
        }
        SysButtons[i] = std::move(b);
    }
    static const char* const kMdiNames[3] = {"MDIMINIMIZE", "MDIRESTORE", "MDICLOSE"};
    for (int i = 0; i < 3; ++i) {
        auto b = std::make_unique<TDataSkinSysButton>(kMdiNames[i]);
        b->Action = 7 + i;
        b->Align = 100;
        b->Visibility = 100;
        b->Visibility1 = 100;
        b->Frame = 4;
        SysButtons[n + i] = std::move(b);
    }
    CreateMdibtn(n);
}

void TSkinData::CreateMdibtn(int firstIndex) {
    TBitmap source;
    Readbmp(source, FIni->ReadString("MDICONTROLS", "Image", ""));
    if (source.Empty() || firstIndex < 0 || firstIndex + 3 > static_cast<int>(SysButtons.size())) return;
    const int w = source.Width() / 12;
    const int h = source.Height();
    for (int i = 0; i < 3; ++i) {
        TDataSkinSysButton& b = *SysButtons[firstIndex + i];
        b.Map.SetSize(4 * w, h);
        CopyRect(b.Map, 0, 0, source, TRect{4 * w * i, 0, 4 * w * (i + 1), h});
        b.XCoord = (w + 4) * (3 - i);
    }
}

void TSkinData::ReadButton() {
    const std::string s = "Buttons";
    auto b = std::make_unique<TDataSkinButton>("Buttons");
    b->Margins = ReadMargins(*FIni, s);
    b->Trans = FIni->ReadInteger(s, "Trans", 0);
    Readbmp(b->Map, FIni->ReadString(s, "Bitmap", ""));
    b->Tile = FIni->ReadInteger(s, "Tile", 0);
    if (b->Tile > 1) b->Tile = 0;
    Readbmp(b->CheckMap, FIni->ReadString(s, "CheckButton", ""));
    Readbmp(b->RadioMap, FIni->ReadString(s, "RadioButton", ""));
    b->NormalColor = FIni->ReadInteger(s, "NormalColour", -1);
    b->OverColor = FIni->ReadInteger(s, "MouseOverColour", -1);
    b->DownColor = FIni->ReadInteger(s, "PressedColour", -1);
    b->RadioFrame = FIni->ReadInteger(s, "RadioButtonFrame", 0);
    b->CheckFrame = FIni->ReadInteger(s, "CheckButtonFrame", 0);
    std::string n2 = FIni->ReadString(s, "NormalColour2", "");
    std::string o2 = FIni->ReadString(s, "MouseOverColour2", "");
    std::string d2 = FIni->ReadString(s, "PressedColour2", "");
    b->HasNormalColor2 = !n2.empty();
    b->HasOverColor2 = !o2.empty();
    b->HasDownColor2 = !d2.empty();
    b->NormalColor2 = GetColor(n2, Colors.ButtonText);
    b->OverColor2 = GetColor(o2, Colors.ButtonText);
    b->DownColor2 = GetColor(d2, Colors.ButtonText);
    Buttons = std::move(b);
}

void TSkinData::ReadTitle(TDataSkinTitle& title, const std::string& s) {
    Readbmp(title.Map, FIni->ReadString(s, "TextBack", ""));
    title.Margins = TMargins{ReadPixels(*FIni, s, "TextShift", 0), ReadPixels(*FIni, s, "TextShiftVert", 0),
                             ReadPixels(*FIni, s, "TextRightClip", 0), 0};
    title.Alignment = FIni->ReadInteger(s, "TextAlignment", 0);
    title.BackMode = FIni->ReadInteger(s, "Textbackground", 0);
    title.BackLeft = ReadPixels(*FIni, s, "TXTBackleft", 0);
    title.BackRight = ReadPixels(*FIni, s, "TXTBackRight", 0);
    title.FontHeight = FIni->ReadInteger("Fonts", "FontHeight", 14);
    title.ActiveColor = clNoTitleColor;
    title.InactiveColor = clNoTitleColor;
    ReadRGB(s, "ActiveText", title.ActiveColor);
    ReadRGB(s, "InActiveText", title.InactiveColor);
}

void TSkinData::ReadRGB(const std::string& section, const std::string& key, TColor& color) {
    int32_t r = FIni->ReadInteger(section, key + "R", -1);
    int32_t g = FIni->ReadInteger(section, key + "G", -1);
    int32_t b = FIni->ReadInteger(section, key + "B", -1);
    if (r >= 0 && g >= 0 && b >= 0) color = RGBToColor(r, g, b);
}

void TSkinData::ReadProgress(std::unique_ptr<TDataSkinBorder>& slot, const std::string& s) {
    slot.reset();
    std::string image = FIni->ReadString(s, "Bitmap", "");
    if (image.empty()) return;
    auto e = std::make_unique<TDataSkinBorder>(s);
    Readbmp(e->Map, image);
    e->Style = FIni->ReadInteger(s, "Style", 0);
    e->Margins = ReadMargins(*FIni, s);
    e->Trans = FIni->ReadInteger(s, "Trans", 0);
    e->Tile = std::min(FIni->ReadInteger(s, "Tile", 0), 1);
    slot = std::move(e);
}

// The settings every element section shares; withFrame is false for the readers that
// leave the frame count to SetFrame.
static void ReadCommon(TSkinData& skin, TQuickIni& ini, TDataSkinObject& e, const std::string& s, bool withFrame) {
    e.Style = ini.ReadInteger(s, "Style", 0);
    e.Margins = ReadMargins(ini, s);
    if (withFrame) e.Frame = ini.ReadInteger(s, "Frame", 0);
    e.Trans = ini.ReadInteger(s, "Trans", 0);
    e.Tile = ini.ReadInteger(s, "Tile", 0);
    if (e.Tile > 1) e.Tile = 0;
    e.NormalColor = ini.ReadInteger(s, "NormalColour", -1);
    e.OverColor = ini.ReadInteger(s, "MouseOverColour", -1);
    e.DownColor = ini.ReadInteger(s, "PressedColour", -1);
    e.NormalColor2 = skin.GetColor(ini.ReadString(s, "NormalColour2", ""), skin.Colors.ButtonText);
    e.OverColor2 = skin.GetColor(ini.ReadString(s, "MouseOverColour2", ""), skin.Colors.ButtonText);
    e.DownColor2 = skin.GetColor(ini.ReadString(s, "PressedColour2", ""), skin.Colors.ButtonText);
}

void TSkinData::ReadObject(std::unique_ptr<TDataSkinObject>& slot, const std::string& s) {
    slot.reset();
    std::string image = FIni->ReadString(s, "Image", "");
    if (image.empty()) return;
    auto e = std::make_unique<TDataSkinObject>(s);
    Readbmp(e->Map, image);
    ReadCommon(*this, *FIni, *e, s, true);
    slot = std::move(e);
}

void TSkinData::ReadObject2(std::unique_ptr<TDataSkinBorder>& slot, const std::string& s,
                            const std::string& secondKey) {
    slot.reset();
    std::string image = FIni->ReadString(s, "Image", "");
    if (image.empty()) return;
    auto e = std::make_unique<TDataSkinBorder>(s);
    Readbmp(e->Map, image);
    ReadCommon(*this, *FIni, *e, s, false);
    std::string second = FIni->ReadString(s, secondKey, "");
    if (!second.empty()) Readbmp(e->Map2, second);
    slot = std::move(e);
}

void TSkinData::ReadBoxLabel(std::unique_ptr<TDataSkinBoxLabel>& slot, const std::string& s) {
    slot.reset();
    std::string image = FIni->ReadString(s, "Image", "");
    if (image.empty()) return;
    auto e = std::make_unique<TDataSkinBoxLabel>(s);
    Readbmp(e->Map, image);
    ReadCommon(*this, *FIni, *e, s, false);
    e->BGAlignment = FIni->ReadInteger(s, "BackgroundAlignment", 0);
    e->BGLeftShift = ReadPixels(*FIni, s, "BackgroundLeftShift", 0);
    e->BGRightShift = ReadPixels(*FIni, s, "BackgroundRightShift", 0);
    slot = std::move(e);
}

void TSkinData::ReadMenuBar(std::unique_ptr<TDataSkinObject>& slot, const std::string& s) {
    slot.reset();
    std::string image = FIni->ReadString(s, "menuBar", "");
    if (image.empty()) return;
    auto e = std::make_unique<TDataSkinObject>("MenuBar");
    Readbmp(e->Map, image);
    e->Tile = std::min(FIni->ReadInteger(s, "TileMenu", 1), 1);
    e->Margins = TMargins{ReadPixels(*FIni, s, "TileLeftMenu", 1), 0, ReadPixels(*FIni, s, "TileRightMenu", 1), 0};
    slot = std::move(e);
}

// The larger scales the skin carries picture sets for: numbers between 100 and 500 per
// cent, apart by commas or spaces; anything else in the list is passed over.
void TSkinData::ReadPictureSets() {
    FPictureSets.clear();
    const std::string text = FIni->ReadString("Scales", "Sets", "");
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find_first_of(", \t", at);
        const std::string item = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? text.size() : end + 1;
        if (item.empty() || item.size() > 3 || item.find_first_not_of("0123456789") != std::string::npos) continue;
        const int percent = std::stoi(item);
        if (percent > 100 && percent <= 500) FPictureSets.push_back(percent);
    }
    std::sort(FPictureSets.begin(), FPictureSets.end());
    FPictureSets.erase(std::unique(FPictureSets.begin(), FPictureSets.end()), FPictureSets.end());
}

std::string TSkinData::PictureNameAt(const std::string& Name, int Percent) {
    const size_t dot = Name.rfind('.');
    std::string name = Name;
    name.insert(dot == std::string::npos ? name.size() : dot, "@" + std::to_string(Percent));
    return name;
}

void TSkinData::Readbmp(TBitmap& bitmap, const std::string& fileName) {
    bitmap.Clear();
    auto sep = fileName.find_last_of("\\/");
    std::string name = sep == std::string::npos ? fileName : fileName.substr(sep + 1);
    auto dot = name.rfind('.');
    // The extension is compared byte for byte: "X.BMP" is not read.
    if (name.empty() || dot == std::string::npos || name.compare(dot, std::string::npos, ".bmp") != 0) return;
    if (!FReader) return;
    if (!FPictureSuffix.empty()) name.insert(dot, FPictureSuffix);
    TMemoryStream file;
    FReader->readfile(name, file);
    if (file.Size() == 0) return;
    // The size is checked before any pixel memory is taken: a few bytes of run-length
    // data can declare a picture of tens of megabytes.
    int64_t width = 0, height = 0;
    if (ReadBmpSize(file.Bytes().data(), file.Bytes().size(), width, height) &&
        (width > kMaxSkinPictureSide || height > kMaxSkinPictureSide)) {
        RefusedPictures.push_back(name + " is " + std::to_string(width) + " x " + std::to_string(height) + " pixels");
        return;
    }
    // A picture that does not decode stays empty; the rest of the skin still loads.
    if (!ReadBmp(file.Bytes().data(), file.Bytes().size(), bitmap)) {
        bitmap.Clear();
        return;
    }
    // The painters and composites work on 24-bit pictures; a 32-bit file is converted once here.
    bitmap.SetPixelFormat(pf24bit);
}

}  // namespace quorin
