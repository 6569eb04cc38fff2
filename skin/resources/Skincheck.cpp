// Checking a packed skin: first whether the program can use it at all (the same steps
// as loading it: the packed size, the bit stream, the archive, the description, the
// frame pictures), then, for a skin author, what it lacks and what it gets wrong.
#include "skin/resources/Skincheck.h"

#include <algorithm>
#include <cstdlib>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <memory>
#include <new>

#include "skin/resources/Skinread.h"
#include "skin/resources/Skinscale.h"
#include "skin/resources/Winconvert.h"
#include "skin/resources/Winskindata.h"
#include "skin/resources/Winskinini.h"

namespace quorin {
namespace {

// The decoder keeps up to 64 bits of input ahead of the symbol it decodes, so it may ask
// for this many bytes past the end of a complete bit stream; a stream that needs more
// was cut short.
constexpr int kDecoderReadAhead = 8;

// Where the description's frame pictures are named.
constexpr const char* kBorderSide[4] = {"left side", "right side", "title strip", "bottom"};
constexpr const char* kBorderKey[4] = {"Left", "Right", "Top", "Bottom"};

class TChecker {
public:
    TChecker(TSkinCheck& result, TSkinCheckDepth depth) : R(result), FDepth(depth) {}

    void Run(const std::vector<uint8_t>& input);

private:
    void Refuse(const std::string& reason) {
        if (R.Unusable.empty()) R.Unusable = reason;
        R.Findings.push_back({TSkinFinding::skError, reason});
    }
    void Error(const std::string& text) { R.Findings.push_back({TSkinFinding::skError, text}); }
    void Note(const std::string& text) { R.Findings.push_back({TSkinFinding::skNote, text}); }

    bool Unpack(const uint8_t* packed, size_t size, std::vector<uint8_t>& archive);
    void CheckFrame(const TSkinData& skin, const TQuickIni& ini);
    void CheckPictureSizes(const TSkinData& skin);
    void CheckBounds(const TQuickIni& ini);
    void CheckMissing(const TSkinData& skin);
    void CheckStrips(const TSkinData& skin);
    void CheckNames(const TQuickIni& ini);
    void CheckContrast(const TSkinData& skin);
    void CheckSets(TSkinData& skin, const TSkinReader& reader);

    TSkinCheck& R;
    TSkinCheckDepth FDepth;
};

// Every element of a loaded skin with its section, for the checks that walk them all.
struct TElementRef {
    const TDataSkinObject* Element;
    const char* Section;
    const char* Fallback;  // what the program does without it
};

std::vector<TElementRef> Elements(const TSkinData& s) {
    return {
        {s.Buttons.get(), "Buttons", "push buttons are drawn by the system"},
        {s.MenuBar.get(), "Personality menuBar", "the menu row is filled with the button face colour"},
        {s.Progress.get(), "Progress", "progress bars are drawn by the system"},
        {s.ProgressChunk.get(), "Progress.Chunk", "the progress bar's second frame fills it"},
        {s.Tabs.get(), "Tabs", "page tabs are drawn by the system"},
        {s.TabPane.get(), "Tab.Pane", "pages are drawn by the system"},
        {s.StatusBarEdges.get(), "StatusBarEdges", "status bars are drawn by the system"},
        {s.Headerbar.get(), "Headerbar", "list headers are drawn by the system"},
        {s.ComboButton.get(), "ComboButton", "combo boxes are drawn by the system"},
        {s.ExtraImages.get(), "ExtraImages", "combo buttons carry no arrow of the skin's own"},
        {s.SunkEdge.get(), "SunkEdge", "combo boxes take the arrow made from ComboButton"},
        {s.GroupBox.get(), "GroupBox", "group box captions are drawn on the face colour"},
        {s.GroupBoxEdge.get(), "GroupBoxEdge", "group box edges are drawn by the system"},
        {s.ToolBars.get(), "ToolBars", "tool bars take the gradient made from the caption colour"},
        {s.Scrollbar.get(), "Scrollbar", "scroll bars are drawn by the system"},
        {s.HorzScroll.get(), "HorzScroll", "horizontal scroll tracks take the Scrollbar frames"},
        {s.VertScroll.get(), "VertScroll", "vertical scroll tracks take the Scrollbar frames"},
        {s.HorzScrollThumb.get(), "HorzScrollThumb", "horizontal scroll thumbs are drawn by the system"},
        {s.VertScrollThumb.get(), "VertScrollThumb", "vertical scroll thumbs are drawn by the system"},
        {s.MenuBackground.get(), "MenuBackground", "menus are filled with the menu colour"},
        {s.MenuItem.get(), "MenuItem", "menu items are drawn on the menu colour"},
        {s.TrackbarThumbHorz.get(), "Trackbar.ThumbHorz", "track bar thumbs are drawn by the system"},
        {s.UpDownHorz.get(), "UpDown.Horz", "horizontal up-down buttons are drawn by the system"},
        {s.UpDownVert.get(), "UpDown.Vert", "vertical up-down buttons are drawn by the system"},
        // Without a [Track] of its own the skin has the built-in track, named after it.
        {s.Track && s.Track->Name == "TRACK" ? nullptr : s.Track.get(), "Track", "track bars use the built-in track"},
    };
}

bool TChecker::Unpack(const uint8_t* packed, size_t size, std::vector<uint8_t>& archive) {
    if (size < 4) {
        Refuse("it is too short to be a packed skin (" + std::to_string(size) + " bytes)");
        return false;
    }
    const int32_t declared = ReadLE32(packed);
    if (declared <= 0 || declared > kMaxUnpackedSize) {
        Refuse("it declares " + std::to_string(declared) + " unpacked bytes, which no skin has (at most " +
               std::to_string(kMaxUnpackedSize) + ")");
        return false;
    }
    // The callback form of the codec tells how far past its end the stream was read.
    size_t pos = 4;
    int64_t missing = 0;
    archive.clear();
    archive.reserve(static_cast<size_t>(declared));
    TLZH lzh;
    lzh.LZHUnpack(
        declared,
        [&](void* buffer, uint16_t count, uint16_t& got) {
            got = static_cast<uint16_t>(std::min<size_t>(count, size - pos));
            std::copy_n(packed + pos, got, static_cast<uint8_t*>(buffer));
            pos += got;
            if (got < count) missing += count - got;
        },
        [&](const void* buffer, uint16_t count, uint16_t& got) {
            const auto* b = static_cast<const uint8_t*>(buffer);
            archive.insert(archive.end(), b, b + count);
            got = count;
        });
    if (missing > kDecoderReadAhead) {
        Refuse("it is damaged or cut short: its packed data ends before the " + std::to_string(declared) +
               " bytes it declares are complete");
        return false;
    }
    return true;
}

}  // namespace

std::vector<uint8_t> PackedSkinOf(const std::vector<uint8_t>& bytes) {
    // The stored property's form (length in front) is taken too.
    if (bytes.size() >= 8 && static_cast<uint32_t>(ReadLE32(bytes.data())) == bytes.size() - 4)
        return std::vector<uint8_t>(bytes.begin() + 4, bytes.end());
    return bytes;
}

namespace {

void TChecker::Run(const std::vector<uint8_t>& input) {
    if (input.empty()) {
        Refuse("the file is empty");
        return;
    }
    const std::vector<uint8_t> packed = PackedSkinOf(input);
    std::vector<uint8_t> archive;
    if (!Unpack(packed.data(), packed.size(), archive)) return;

    // The archive, read as the program reads it; its message about a wrong format is
    // turned into this check's reason instead of being shown.
    TSkinReader reader;
    std::string shown;
    TSkinMessageHandler previous = SetSkinMessageHandler([&](const std::string& text) { shown = text; });
    const bool read = reader.LoadArchive(archive.data(), archive.size());
    SetSkinMessageHandler(std::move(previous));
    if (!read) {
        if (archive.size() >= 4 && ReadLE32(archive.data()) != kSkinArchiveMark)
            Refuse("it is not a skin of this program's format (format mark " +
                   std::to_string(ReadLE32(archive.data())) + " where " + std::to_string(kSkinArchiveMark) +
                   " belongs)");
        else
            Refuse("it is damaged: its directory does not match the files it holds");
        return;
    }
    TMemoryStream description;
    std::string iniName;
    reader.readIni(".ini", description, iniName);
    if (iniName.empty()) {
        Refuse("it holds no description (.ini file)");
        return;
    }
    TQuickIni ini;
    description.SetPosition(0);
    ini.LoadFromStream(&description);

    // The elements, read by the skin data component exactly as the program does.
    TSkinData skin(nullptr);
    std::vector<std::string> debug;
    skin.DebugLines = &debug;
    skin.PackedSkin().Clear();
    skin.PackedSkin().WriteBuffer(packed.data(), static_cast<int64_t>(packed.size()));
    previous = SetSkinMessageHandler([&](const std::string& text) { shown = text; });
    const bool loaded = skin.LoadSkin();
    SetSkinMessageHandler(std::move(previous));
    if (!loaded) {
        Refuse(debug.empty() ? std::string("its description cannot be read") : debug.back());
        return;
    }
    CheckFrame(skin, ini);
    CheckPictureSizes(skin);
    CheckBounds(ini);
    if (FDepth != TSkinCheckDepth::Full) return;
    CheckMissing(skin);
    CheckStrips(skin);
    CheckNames(ini);
    CheckContrast(skin);
    CheckSets(skin, reader);
}

// The load's note on a picture refused by its declared size, by the name the description
// gives (a path before the name is not part of it).
const std::string* RefusedPicture(const TSkinData& skin, const std::string& named) {
    const size_t sep = named.find_last_of("\\/");
    const std::string name = (sep == std::string::npos ? named : named.substr(sep + 1)) + " is ";
    for (const std::string& refused : skin.RefusedPictures)
        if (refused.compare(0, name.size(), name) == 0) return &refused;
    return nullptr;
}

void TChecker::CheckFrame(const TSkinData& skin, const TQuickIni& ini) {
    for (int i = 0; i < 4; ++i) {
        const TDataSkinBorder* b = skin.Border[i].get();
        const std::string named = ini.ReadString("Personality", kBorderKey[i], "");
        if (!b || b->Map.Empty()) {
            if (named.empty())
                Refuse(std::string("its description names no picture for the frame's ") + kBorderSide[i] +
                       " ([Personality] " + kBorderKey[i] + ")");
            else if (const std::string* refused = RefusedPicture(skin, named))
                Refuse("the frame picture " + *refused + " (at most " + std::to_string(kMaxSkinPictureSide) +
                       " on a side)");
            else
                Refuse("the frame picture " + named + " is missing from the skin or is not a readable BMP file");
            continue;
        }
        const bool across = i < 2;  // the sides' frames lie side by side, the strips' stacked
        const int frames = std::max(1, b->Frame);
        const int side = (across ? b->Map.Width() : b->Map.Height()) / frames;
        const int limit = i == 2 ? kMaxSkinTitleHeight : kMaxSkinFrameSide;
        if (side < 1)
            Refuse("the frame picture " + named + " is too small for its " + std::to_string(frames) + " frames");
        else if (side > limit)
            Refuse(std::string("the frame's ") + kBorderSide[i] + " would be " + std::to_string(side) +
                   " pixels thick (at most " + std::to_string(limit) + ")");
    }
}

void TChecker::CheckPictureSizes(const TSkinData& skin) {
    auto check = [&](const TBitmap& map, const std::string& what) {
        if (map.Width() > kMaxSkinPictureSide || map.Height() > kMaxSkinPictureSide)
            Refuse("the picture of " + what + " is " + std::to_string(map.Width()) + " x " +
                   std::to_string(map.Height()) + " pixels (at most " + std::to_string(kMaxSkinPictureSide) +
                   " on a side)");
    };
    for (int i = 0; i < 4; ++i)
        if (skin.Border[i]) check(skin.Border[i]->Map, std::string("[Personality] ") + kBorderKey[i]);
    for (const TElementRef& e : Elements(skin))
        if (e.Element) check(e.Element->Map, std::string("[") + e.Section + "]");
    for (const auto& b : skin.SysButtons)
        if (b) check(b->Map, "[" + b->Name + "]");
    // Pictures refused by their declared size before they were decoded.
    for (const std::string& refused : skin.RefusedPictures) {
        const bool frame = std::any_of(R.Findings.begin(), R.Findings.end(), [&](const TSkinFinding& f) {
            return f.Text.find(refused) != std::string::npos;
        });
        if (!frame)
            Refuse("the picture " + refused + " (at most " + std::to_string(kMaxSkinPictureSide) + " on a side)");
    }
}

// What the program reads bounded, named at every depth: negative margins and positions
// (read as 0) and caption buttons beyond the number read.
void TChecker::CheckBounds(const TQuickIni& ini) {
    static const char* const kPixelKeys[] = {
        "leftwidth",     "rightwidth",    "topheight",     "bottomheight",        "textshift",
        "textshiftvert", "textrightclip", "txtbackleft",   "txtbackright",        "xcoord",
        "ycoord",        "tileleftmenu",  "tilerightmenu", "backgroundleftshift", "backgroundrightshift"};
    auto pixelKey = [](const std::string& key) {
        auto ends = [&](const char* tail) {
            const size_t n = std::strlen(tail);
            return key.size() >= n && key.compare(key.size() - n, n, tail) == 0;
        };
        return ends("topheight") || ends("botheight") ||
               std::any_of(std::begin(kPixelKeys), std::end(kPixelKeys), [&](const char* k) { return key == k; });
    };
    TStringList sections;
    ini.ReadSections(sections);
    int captionButtons = 0;
    for (int i = 0; i < sections.Count(); ++i) {
        const std::string section = sections[i];
        const std::string lower = LowerCaseAscii(section);
        if (lower.compare(0, 6, "button") == 0 && lower != "buttons" && lower != "button" && lower != "button.radio" &&
            lower != "button.checkbox")
            ++captionButtons;
        TStringList keys;
        ini.ReadSection(section, keys);
        for (int j = 0; j < keys.Count(); ++j) {
            const std::string key = keys[j];
            if (!pixelKey(LowerCaseAscii(key))) continue;
            const int32_t value = ini.ReadInteger(section, key, 0);
            if (value < 0)
                Error("[" + section + "] " + key + "=" + std::to_string(value) + " is negative; it counts as 0");
        }
    }
    if (captionButtons > kMaxSkinCaptionButtons)
        Error(std::to_string(captionButtons) + " caption button sections ([Button...]); only the first " +
              std::to_string(kMaxSkinCaptionButtons) + " are read");
}

void TChecker::CheckMissing(const TSkinData& skin) {
    for (const TElementRef& e : Elements(skin))
        if (!e.Element || e.Element->Map.Empty()) Note(std::string("no [") + e.Section + "]: " + e.Fallback);
    bool close = false;
    for (const auto& b : skin.SysButtons)
        if (b && b->Action == 0 && !b->Map.Empty()) close = true;
    if (!close) Error("no caption button closes the window (a [Button...] section with Action=0 and a ButtonImage)");
}

void TChecker::CheckStrips(const TSkinData& skin) {
    auto check = [&](const TDataSkinObject& e, const std::string& what, bool stacked) {
        if (e.Map.Empty()) return;
        const int frames = e.Frame;
        const int length = stacked ? e.Map.Height() : e.Map.Width();
        if (frames < 1) {
            Error(what + ": " + std::to_string(frames) + " frames");
            return;
        }
        if (length % frames != 0)
            Error(what + ": " + std::to_string(frames) + " frames do not divide the picture's " +
                  (stacked ? "height " : "width ") + std::to_string(length));
        const int fw = stacked ? e.Map.Width() : e.Map.Width() / frames;
        const int fh = stacked ? e.Map.Height() / frames : e.Map.Height();
        const TMargins& m = e.Margins;
        if (m.Left + m.Right > fw || m.Top + m.Bottom > fh)
            Error(what + ": margins " + std::to_string(m.Left) + ", " + std::to_string(m.Top) + ", " +
                  std::to_string(m.Right) + ", " + std::to_string(m.Bottom) + " are larger than a frame of " +
                  std::to_string(fw) + " x " + std::to_string(fh));
    };
    for (int i = 0; i < 4; ++i)
        if (skin.Border[i]) check(*skin.Border[i], std::string("[Personality] ") + kBorderKey[i], i >= 2);
    for (const TElementRef& e : Elements(skin))
        if (e.Element) check(*e.Element, std::string("[") + e.Section + "]", false);
    for (const auto& b : skin.SysButtons)
        if (b) check(*b, "[" + b->Name + "]", false);
}

// Sections and keys the program reads, or accepts without reading.
struct TKnownSection {
    const char* Name;               // lower case; a trailing '*' takes any ending
    std::vector<const char*> Keys;  // lower case; empty takes any key
};

const std::vector<TKnownSection>& KnownSections() {
    static const std::vector<const char*> object = {"image",
                                                    "style",
                                                    "leftwidth",
                                                    "rightwidth",
                                                    "topheight",
                                                    "bottomheight",
                                                    "frame",
                                                    "trans",
                                                    "tile",
                                                    "normalcolour",
                                                    "mouseovercolour",
                                                    "pressedcolour",
                                                    "normalcolour2",
                                                    "mouseovercolour2",
                                                    "pressedcolour2"};
    auto with = [](std::vector<const char*> keys, std::initializer_list<const char*> more) {
        keys.insert(keys.end(), more.begin(), more.end());
        return keys;
    };
    static const std::vector<TKnownSection> known = {
        {"titlebarskin", {"skinname", "author", "version"}},
        {"scales", {"sets"}},
        {"skins", {}},
        {"mincaption", {}},
        {"personality",
         {"left",          "lefttopheight",   "leftbotheight",   "leftframe",     "leftstretch",   "lefttrans",
          "right",         "righttopheight",  "rightbotheight",  "rightframe",    "rightstretch",  "righttrans",
          "top",           "toptopheight",    "topbotheight",    "topframe",      "topstretch",    "toptrans",
          "bottom",        "bottomtopheight", "bottombotheight", "bottomframe",   "bottomstretch", "bottomtrans",
          "textback",      "textshift",       "textshiftvert",   "textrightclip", "textalignment", "textbackground",
          "txtbackleft",   "txtbackright",    "activetextr",     "activetextg",   "activetextb",   "inactivetextr",
          "inactivetextg", "inactivetextb",   "menubar",         "tilemenu",      "tileleftmenu",  "tilerightmenu"}},
        {"fonts", {"fontheight"}},
        {"buttons", with(object, {"bitmap", "checkbutton", "radiobutton", "radiobuttonframe", "checkbuttonframe"})},
        {"progress", with(object, {"bitmap"})},
        {"tabs", with(object, {"border"})},
        {"updown.horz", with(object, {"glyphimage"})},
        {"updown.vert", with(object, {"glyphimage"})},
        {"horzscrollthumb", with(object, {"framecount"})},
        {"vertscrollthumb", with(object, {"framecount"})},
        {"groupbox", with(object, {"backgroundalignment", "backgroundleftshift", "backgroundrightshift"})},
        {"progress.chunk", object},
        {"tab.pane", object},
        {"combobutton", object},
        {"extraimages", object},
        {"statusbaredges", object},
        {"headerbar", object},
        {"scrollbar", object},
        {"horzscroll", object},
        {"vertscroll", object},
        {"menubackground", object},
        {"menuitem", object},
        {"groupboxedge", object},
        {"toolbars", object},
        {"sunkedge", object},
        {"track", object},
        {"trackvert", object},
        {"trackbar.thumbhorz", object},
        {"trackbar.thumbvert", object},
        {"trackbar.thumbleft", object},
        {"trackbar.thumbright", object},
        {"trackbar.thumbup", object},
        {"trackbar.thumbdown", object},
        {"mdicontrols", {"image"}},
        {"colours",
         {"windowtext", "titletextactive", "titletextnoactive", "buttonface", "buttontext", "buttonhilight",
          "buttonlight", "buttonshadow", "buttondkshadow", "hilighttext", "hilight", "menubar", "menubartext",
          "menutext", "menu", "scrollbar"}},
        {"customcolors",
         {"color0", "color1", "color2", "color3", "color4", "color5", "color6", "color7", "color8", "color9"}},
        {"colour*", {"color"}},
        {"button*",
         {"buttonimage", "action", "align", "xcoord", "ycoord", "visibility", "visibility1", "combineop", "frame"}},
    };
    return known;
}

const TKnownSection* FindKnown(const std::string& lower) {
    for (const TKnownSection& k : KnownSections()) {
        const std::string name = k.Name;
        if (name.back() == '*' ? lower.compare(0, name.size() - 1, name, 0, name.size() - 1) == 0 : lower == name)
            return &k;
    }
    return nullptr;
}

void TChecker::CheckNames(const TQuickIni& ini) {
    TStringList sections;
    ini.ReadSections(sections);
    for (int i = 0; i < sections.Count(); ++i) {
        const std::string section = sections[i];
        const TKnownSection* known = FindKnown(LowerCaseAscii(section));
        if (!known) {
            Error("unknown section [" + section + "]");
            continue;
        }
        if (known->Keys.empty()) continue;
        TStringList keys;
        ini.ReadSection(section, keys);
        for (int j = 0; j < keys.Count(); ++j) {
            const std::string key = keys[j];
            if (std::none_of(known->Keys.begin(), known->Keys.end(), [&](const char* k) { return key == k; }))
                Error("unknown key " + key + " in [" + section + "]");
        }
    }
}

// The mean colour of a rectangle of a picture, transparent pixels left out: what a text
// drawn there stands on. False when every pixel is transparent.
bool MeanColor(const TBitmap& map, int x0, int y0, int x1, int y1, TColor& mean) {
    int64_t r = 0, g = 0, b = 0, n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const TColor c = map.Pixel(x, y);
            if (c == KeyColor) continue;
            r += ColorRed(c);
            g += ColorGreen(c);
            b += ColorBlue(c);
            ++n;
        }
    if (n == 0) return false;
    mean = ColorFromRGB(uint8_t(r / n), uint8_t(g / n), uint8_t(b / n));
    return true;
}

// Frame `frame` of an element's strip inside its margins (the whole frame when the
// margins leave nothing).
bool FrameColor(const TDataSkinObject* e, int frame, TColor& mean) {
    if (!e || e->Map.Empty() || e->Frame < 1 || frame > e->Frame) return false;
    const int fw = e->Map.Width() / e->Frame, fh = e->Map.Height();
    const TMargins& m = e->Margins;
    const int x0 = (frame - 1) * fw + m.Left, x1 = frame * fw - m.Right, y0 = m.Top, y1 = fh - m.Bottom;
    if (x1 <= x0 || y1 <= y0) return MeanColor(e->Map, (frame - 1) * fw, 0, frame * fw, fh, mean);
    return MeanColor(e->Map, x0, y0, x1, y1, mean);
}

// The title strip's frames are stacked: frame `frame` of the Top picture.
bool TitleColor(const TDataSkinBorder* top, int frame, TColor& mean) {
    if (!top || top->Map.Empty() || top->Frame < 1 || frame > top->Frame) return false;
    const int h = top->Map.Height() / top->Frame;
    return MeanColor(top->Map, top->Margins.Left, (frame - 1) * h, top->Map.Width() - top->Margins.Right, frame * h,
                     mean);
}

std::string Rgb(TColor c) {
    return std::to_string(ColorRed(c)) + " " + std::to_string(ColorGreen(c)) + " " + std::to_string(ColorBlue(c));
}

void TChecker::CheckContrast(const TSkinData& skin) {
    const TSkinColors& c = skin.Colors;
    auto pick = [](TColor given, TColor fallback) { return given != clNoSkinColor ? given : fallback; };
    auto pair = [&](const std::string& what, TColor text, bool haveBack, TColor back) {
        // A colour left to the system follows the operator's settings, not the skin.
        if (!haveBack || IsSystemColor(text) || IsSystemColor(back)) return;
        const double ratio = ContrastRatio(text, back);
        if (ratio < kMinTextContrast) {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.2f", ratio);
            Error(what + ": text " + Rgb(text) + " on " + Rgb(back) + " has a contrast of " + buf + ", below " +
                  std::to_string(kMinTextContrast).substr(0, 3));
        }
    };
    TColor back = 0;
    bool have = TitleColor(skin.Top(), 1, back);
    pair("active caption", c.TitleTextActive, have, back);
    have = TitleColor(skin.Top(), 2, back);
    pair("inactive caption", c.TitleTextNoActive, have, back);
    have = FrameColor(skin.MenuBar.get(), 1, back);
    pair("menu row", c.MenuBarText, have, back);
    have = FrameColor(skin.MenuBackground.get(), 1, back);
    pair("menu", c.MenuText, have, back);
    have = FrameColor(skin.MenuItem.get(), 1, back);
    pair("menu item", c.MenuText, have, back);
    have = FrameColor(skin.MenuItem.get(), 4, back);
    pair("selected menu item", c.HilightText, have, back);
    pair("window text on the face", c.ButtonText, true, c.ButtonFace);
    pair("selection", c.HilightText, true, c.Hilight);
    if (const TDataSkinButton* b = skin.Buttons.get()) {
        // Frames: normal, pressed, disabled, hot, focused.
        const TColor normal = b->HasNormalColor2 ? b->NormalColor2 : c.ButtonText;
        have = FrameColor(b, 1, back);
        pair("push button", normal, have, back);
        have = FrameColor(b, 2, back);
        pair("pressed push button", b->HasDownColor2 ? b->DownColor2 : normal, have, back);
        have = FrameColor(b, 4, back);
        pair("hot push button", b->HasOverColor2 ? b->OverColor2 : normal, have, back);
        have = FrameColor(b, 5, back);
        pair("focused push button", normal, have, back);
    }
    if (const TDataSkinBorder* t = skin.Tabs.get()) {
        // Frames: normal, selected, disabled, hot, focused.
        const TColor normal = pick(t->NormalColor2, c.ButtonText);
        have = FrameColor(t, 1, back);
        pair("page tab", normal, have, back);
        have = FrameColor(t, 2, back);
        pair("selected page tab", pick(t->DownColor2, normal), have, back);
        have = FrameColor(t, 4, back);
        pair("hot page tab", pick(t->OverColor2, normal), have, back);
    }
    if (const TDataSkinObject* s = skin.StatusBarEdges.get()) {
        have = FrameColor(s, 1, back);
        pair("status bar", pick(s->NormalColor, c.ButtonText), have, back);
        have = FrameColor(s, 2, back);
        pair("status bar panel", pick(s->NormalColor, c.ButtonText), have, back);
    }
    if (const TDataSkinObject* h = skin.Headerbar.get()) {
        // Frames: normal, hot, pressed.
        have = FrameColor(h, 1, back);
        pair("list header", pick(h->NormalColor, c.ButtonText), have, back);
        have = FrameColor(h, 2, back);
        pair("hot list header", pick(h->OverColor, pick(h->NormalColor, c.ButtonText)), have, back);
        have = FrameColor(h, 3, back);
        pair("pressed list header", pick(h->DownColor, pick(h->NormalColor, c.ButtonText)), have, back);
    }
}

// Every picture of a skin with the element it belongs to and how it is cut into frames, in
// the same order for the skin and for a set of it.
struct TPictureRef {
    const TBitmap* Map;
    std::string What;
    TFramedPicture Layout;
};

std::vector<TPictureRef> Pictures(const TSkinData& s) {
    std::vector<TPictureRef> out;
    auto add = [&](const TDataSkinObject* e, const std::string& what, bool stacked) {
        if (!e) return;
        out.push_back({&e->Map, what, {e->Frame, stacked, e->Margins}});
        if (const auto* b = dynamic_cast<const TDataSkinBorder*>(e))
            out.push_back({&b->Map2, what + " (second picture)", {e->Frame, stacked, e->Margins}});
    };
    for (int i = 0; i < 4; ++i) add(s.Border[i].get(), std::string("[Personality] ") + kBorderKey[i], i >= 2);
    add(s.Title.get(), "[Personality] TextBack", false);
    for (const TElementRef& e : Elements(s))
        // With a SunkEdge the combo box pictures are composed at a fixed size, at any scale.
        if (!s.SunkEdge || (e.Element != s.SunkEdge.get() && e.Element != s.ComboButton.get()))
            add(e.Element, std::string("[") + e.Section + "]", false);
    if (const TDataSkinButton* b = s.Buttons.get()) {
        out.push_back({&b->CheckMap, "[Buttons] CheckButton", {b->CheckFrame, false, {}}});
        out.push_back({&b->RadioMap, "[Buttons] RadioButton", {b->RadioFrame, false, {}}});
    }
    for (const auto& b : s.SysButtons)
        if (b) add(b.get(), "[" + b->Name + "]", false);
    return out;
}

// The picture sets for larger scales: each named, and each picture of a set at the size
// its scale gives the 100 % picture (the program takes no other).
void TChecker::CheckSets(TSkinData& skin, const TSkinReader& reader) {
    const std::vector<int>& sets = skin.PictureSets();
    std::string named = "100 %";
    for (int p : sets) named += ", " + std::to_string(p) + " %";
    if (!sets.empty()) Note("pictures drawn for " + named);
    // Pictures for a scale no set names are never read.
    std::vector<int> strays;
    for (const std::string& name : reader.Names()) {
        if (!TSkinReader::IsScaledPicture(name)) continue;
        const int p = std::atoi(name.c_str() + name.rfind('@') + 1);
        if (std::find(sets.begin(), sets.end(), p) == sets.end() &&
            std::find(strays.begin(), strays.end(), p) == strays.end())
            strays.push_back(p);
    }
    for (int p : strays)
        Note("pictures for " + std::to_string(p) + " % are in the skin, but [Scales] Sets does not name " +
             std::to_string(p) + ": the program does not read them");
    const std::vector<TPictureRef> own = Pictures(skin);
    for (int p : sets) {
        const std::string at = std::to_string(p) + " %";
        const TSkinData* set = skin.PictureSet(p);
        if (!set) {
            Error("the picture set for " + at + " cannot be read");
            continue;
        }
        const std::vector<TPictureRef> drawn = Pictures(*set);
        const TDpiScale scale{DpiMulDiv(kDefaultDpi, p, 100), kDefaultDpi};
        for (size_t i = 0; i < own.size(); ++i) {
            const TBitmap& mine = *own[i].Map;
            if (mine.Empty()) continue;
            const TBitmap* theirs = i < drawn.size() && drawn[i].What == own[i].What ? drawn[i].Map : nullptr;
            if (!theirs || theirs->Empty()) {
                Note(own[i].What + ": the set for " + at + " has no picture; the 100 % one is scaled");
                continue;
            }
            const TPictureSize need = FramedPictureSize(mine.Width(), mine.Height(), own[i].Layout, scale);
            if (theirs->Width() != need.Width || theirs->Height() != need.Height)
                Error(own[i].What + ": its picture for " + at + " is " + std::to_string(theirs->Width()) + " x " +
                      std::to_string(theirs->Height()) + " pixels, where " + at + " of the " +
                      std::to_string(mine.Width()) + " x " + std::to_string(mine.Height()) + " picture is " +
                      std::to_string(need.Width) + " x " + std::to_string(need.Height) +
                      "; the program scales the 100 % picture instead");
        }
    }
}

}  // namespace

bool TSkinCheck::Clean() const {
    return std::none_of(Findings.begin(), Findings.end(),
                        [](const TSkinFinding& f) { return f.Kind == TSkinFinding::skError; });
}

double ContrastRatio(TColor a, TColor b) {
    auto luminance = [](TColor c) {
        auto channel = [](uint8_t v) {
            const double s = v / 255.0;
            return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(ColorRed(c)) + 0.7152 * channel(ColorGreen(c)) + 0.0722 * channel(ColorBlue(c));
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TSkinCheck CheckPackedSkin(const std::vector<uint8_t>& bytes, TSkinCheckDepth depth) {
    TSkinCheck result;
    try {
        TChecker(result, depth).Run(bytes);
    } catch (const std::bad_alloc&) {
        result.Findings.push_back({TSkinFinding::skError, "there is not enough memory to read it"});
        if (result.Unusable.empty()) result.Unusable = result.Findings.back().Text;
    } catch (const std::exception& e) {
        result.Findings.push_back({TSkinFinding::skError, std::string("it cannot be read: ") + e.what()});
        if (result.Unusable.empty()) result.Unusable = result.Findings.back().Text;
    }
    return result;
}

bool ReadSkinFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& reason) {
    std::error_code ec;
    const auto p = std::filesystem::u8path(path);
    if (!std::filesystem::exists(p, ec)) {
        reason = "the file does not exist";
        return false;
    }
    if (!std::filesystem::is_regular_file(p, ec)) {
        reason = "it is not a file";
        return false;
    }
    const auto size = std::filesystem::file_size(p, ec);
    // A skin larger than its unpacked limit cannot be a packed skin.
    if (ec || size > static_cast<uintmax_t>(kMaxUnpackedSize)) {
        reason = ec ? "the file cannot be read" : "the file is far larger than any skin";
        return false;
    }
    try {
        TMemoryStream m;
        m.LoadFromFile(path);
        bytes = m.Bytes();
    } catch (const std::exception&) {
        reason = "the file cannot be read";
        return false;
    }
    return true;
}

TSkinCheck CheckSkinFile(const std::string& path, TSkinCheckDepth depth) {
    std::vector<uint8_t> bytes;
    std::string reason;
    if (!ReadSkinFile(path, bytes, reason)) {
        TSkinCheck result;
        result.Unusable = reason;
        result.Findings.push_back({TSkinFinding::skError, reason});
        return result;
    }
    return CheckPackedSkin(bytes, depth);
}

}  // namespace quorin
