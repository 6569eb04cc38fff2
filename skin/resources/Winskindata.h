// TSkinData: one skin in memory, and the switch that turns skinning on and off.
//
// The component holds the packed skin (as stored in the main window's layout or read
// from a file), unpacks it, reads its description into the skin elements, colours and
// caption buttons, and builds the composite pictures the painters use. Activation is
// handed to the skin manager, which applies the skin to the windows on its timer.
//
// This header is the single place that names the unit's parts:
//   Winskindata.cpp           construction, properties, queries, activation, load operations
//   Winskindata_reader.cpp    reading a description into the elements
//   Winskindata_compose.cpp   frame counts and the composite pictures
//   Winskindata_colors.cpp    colour texts and the colour table
//   Winskindata_skin3rd.cpp   the default map of third-party control classes
//   Winskindata_dpi.cpp       the skin at another display scale
//   Winskindata_win32.cpp / Winskindata_posix.cpp   fonts, icons, metrics, text conversion
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "forms/Classes.h"
#include "forms/Dpi.h"
#include "forms/OwnedHandle.h"
#include "forms/Streams.h"
#include "forms/StringList.h"
#include "skin/resources/Bitmap.h"
#include "skin/resources/SkinElements.h"
#include "skin/resources/SkinTypes.h"
#include "skin/resources/Skinmanage.h"

namespace quorin {

class TControl;
class TQuickIni;
class TSkinReader;
class TSkinData;
class TSkinStore;

// The colour table of a skin, from its [Colours] section.
struct TSkinColors {
    TColor WindowText = SystemColor(scWindowText);
    TColor TitleTextActive = SystemColor(scCaptionText);
    TColor TitleTextNoActive = SystemColor(scInactiveCaptionText);
    TColor ButtonFace = SystemColor(scBtnFace);
    TColor ButtonText = SystemColor(scBtnText);
    TColor ButtonHilight = SystemColor(scBtnHighlight);
    TColor Buttonlight = SystemColor(scBtnHighlight);
    TColor ButtonShadow = SystemColor(scBtnShadow);
    TColor ButtonDkShadow = SystemColor(sc3DDkShadow);
    TColor HilightText = SystemColor(scHighlightText);
    TColor Hilight = SystemColor(scHighlight);
    TColor Menubar = SystemColor(scBtnFace);
    TColor MenuBarText = SystemColor(scMenuText);
    TColor MenuText = SystemColor(scMenuText);
    TColor Menu = SystemColor(scMenu);
    TColor Scrollbar = SystemColor(scScrollbar);
};

// Opaque platform handles (HFONT, HBRUSH on Windows; null elsewhere).
using TPlatformFont = void*;
using TPlatformBrush = void*;
void FreeFontHandle(TPlatformFont font);
void FreeBrushHandle(TPlatformBrush brush);
struct TPlatformFontTraits {
    using THandleType = TPlatformFont;
    static bool Valid(TPlatformFont Handle) { return Handle != nullptr; }
    static void Free(TPlatformFont Handle) { FreeFontHandle(Handle); }
};
struct TPlatformBrushTraits {
    using THandleType = TPlatformBrush;
    static bool Valid(TPlatformBrush Handle) { return Handle != nullptr; }
    static void Free(TPlatformBrush Handle) { FreeBrushHandle(Handle); }
};

// Asked before a window is skinned: aName is its class name; clearing DoSkin refuses it.
using TOnFormSkin = std::function<void(TObject* Sender, const std::string& aName, bool& DoSkin)>;
// Asked per control by the control walk before it chooses a painter. Sender is the
// window's skin applier, Form the container being walked, ControlClass the control's
// class name in upper case. A handler that wants to paint the control itself sets
// SkinnedControl to a painter it created (owned by the control); the walk then attaches
// that painter and chooses nothing else. Left null, the walk goes on as usual.
using TOnSkinControl = std::function<void(TObject* Sender, TSkinData* SkinData, TComponent* Form, TControl* Control,
                                          const std::string& ControlClass, TObject*& SkinnedControl)>;

class TSkinData : public TComponent {
    QUORIN_CLASS(TSkinData, TComponent)
public:
    explicit TSkinData(TComponent* AOwner);
    ~TSkinData() override;

    // ---- Published properties ------------------------------------------------------
    bool GetActive() const { return FActive; }
    void SetActive(bool value);
    int32_t DisableTag = 99;
    TSkinControls SkinControls;
    TSkinOptions Options;
    TStringList& Skin3rd() { return FSkin3rd; }
    const TStringList& Skin3rd() const { return FSkin3rd; }
    void SetSkin3rd(const TStrings& lines) { FSkin3rd.Assign(lines); }
    const std::string& GetSkinFile() const { return FSkinFile; }
    void SetSkinFile(const std::string& fileName) { LoadFromFile(fileName); }
    // Display only: "(Good)" at design time while a skin is held, else "(none)".
    std::string GetSkinStore() const;
    void SetSkinStore(const std::string&) {}
    TSkinFormType SkinFormtype = sfMainform;
    std::string GetVersion() const { return "3.99.03.03"; }
    void SetVersion(const std::string&) {}
    bool MenuUpdate = true;
    bool MenuMerge = false;
    TOnFormSkin OnFormSkin;
    TNotifyEvent OnSkinChanged;
    TOnSkinControl OnSkinControl;

    // The binary property SkinStream: int32 length, then the packed skin.
    // ReadData takes the property's bytes; the length is bounded by what is there.
    void ReadData(TStream& stream);
    void WriteData(TStream& stream) const;

    // ---- Framework life cycle -------------------------------------------------------
    // Inside a designer (never in this program) and while the stored layout is read.
    bool Designing() const { return (ComponentState() & csDesigning) != 0; }
    bool Reading() const { return (ComponentState() & csLoading) != 0; }
    // After the stored layout has been read.
    void Loaded() override;

    // ---- Loading --------------------------------------------------------------------
    void LoadFromFile(const std::string& fileName);
    void LoadFromStream(TStream& stream);
    void LoadFromCollection(TSkinStore* store, int index);
    // Unpacks the held packed skin and reads its description. False when the archive is
    // refused (the elements keep what they held) or at design time.
    bool LoadSkin();
    // Reads every element from the description being loaded. The path is not used.
    void LoadFromIni(const std::string& path = {});
    bool Loading() const { return FLoading; }
    TMemoryStream& PackedSkin() { return FSkinStream; }

    // ---- Queries for the painters -----------------------------------------------------
    TColor GetColor(const std::string& text, TColor defaultColor) const;
    bool GetPrecolor(TColor& color, int index) const;
    TColor GetCaptionColor() const;
    // Number of consecutive sections prefix0, prefix1, ... whose key has a value
    // (while a description is being read; 0 otherwise).
    int GetSectionNum(const std::string& prefix, const std::string& key) const;
    static std::string GetFileName(const std::string& name);
    // Sets a published enumeration property of the object from its identifier text
    // ("bsNone"); anything else (no such property, another kind, an unknown identifier)
    // changes nothing.
    static void ChangeProperty(TObject* object, const std::string& propertyName, const std::string& value);
    // The platform's scroll-bar geometry of a window; false without it. info points to
    // the platform's SCROLLBARINFO.
    static bool GetScrollBarInfo(TWindowHandle window, int32_t object, void* info);

    // ---- Activation and notification ---------------------------------------------------
    void UpdateSkin();
    void Install();
    void Uninstall();
    void EnableSkin(bool value);
    void SkinForm(TWindowHandle window);
    void ChangeForm(TWindowHandle form);
    void UpdateSkinControl(TWindowHandle form, void* control);
    void UpdateMenu(TWindowHandle form);
    void AddNestForm(TWindowHandle host, TWindowHandle nested);
    void DeleteGraphicControl(TWindowHandle form, void* control);
    void UpdateMainMenu(bool value);
    void InstallThread(uint32_t threadId);
    void UnInstallThread(uint32_t threadId);
    void DoFormSkin(TWindowHandle window, const std::string& className, bool& doSkin);
    void DoSkinChanged();
    void DoDebug(const std::string& text);
    std::vector<std::string>* DebugLines = nullptr;

    // ---- Display scale ------------------------------------------------------------------
    // The one place that hands out pictures and metrics for a DPI. At the DPI the skin's
    // pictures were drawn for (96) it is this object; at another, a companion made from
    // this one: every picture at the size it is shown (frames and margins kept apart), the
    // margins, caption-button places, caption font and icon at that scale, the rest copied.
    // A companion lives as long as this object and is made again in place whenever this
    // one reads another skin, so painters holding it see the new skin as they see this one.
    TSkinData* ForDpi(int Dpi);
    // The skin a companion was made from (this object for a skin that was read).
    TSkinData* DpiSource() { return FDpiSource ? FDpiSource : this; }
    // The scale of this object's pictures against the skin's own.
    const TDpiScale& DpiScale() const { return FDpiScale; }
    // The larger scales (in per cent, ascending) the skin carries pictures drawn for, besides
    // its own 100 % ones: [Scales] Sets of the description. Each set holds the pictures again
    // under the names of the 100 % ones with "@PERCENT" before the extension
    // (frameleft@150.bmp). A companion takes its pictures from the smallest set at or above
    // its scale (as they are, or scaled down), from the largest above that, else from the
    // 100 % pictures; a picture whose size in a set does not fit the set's scale is not taken.
    const std::vector<int>& PictureSets() const { return FPictureSets; }
    // The name a picture of the description has in the set for a scale.
    static std::string PictureNameAt(const std::string& Name, int Percent);
    // The elements read from the set for a scale (Percent among PictureSets()), read as the
    // skin's own are; null when the skin has no such set or it cannot be read. Made on first
    // use and kept until another skin is read.
    const TSkinData* PictureSet(int Percent);

    // ---- Skin elements (null where the skin has none) -----------------------------------
    std::unique_ptr<TDataSkinBorder> Border[4];  // Left, Right, Top, Bottom
    TDataSkinBorder* Left() const { return Border[0].get(); }
    TDataSkinBorder* Right() const { return Border[1].get(); }
    TDataSkinBorder* Top() const { return Border[2].get(); }
    TDataSkinBorder* Bottom() const { return Border[3].get(); }
    std::unique_ptr<TDataSkinButton> Buttons;
    std::unique_ptr<TDataSkinTitle> Title;
    std::vector<std::unique_ptr<TDataSkinSysButton>> SysButtons;
    // Pictures named by the description and left empty because they declare more than
    // kMaxSkinPictureSide pixels on a side ("name is W x H pixels"), for the skin check.
    std::vector<std::string> RefusedPictures;
    std::unique_ptr<TDataSkinBorder> Progress;
    std::unique_ptr<TDataSkinObject> ProgressChunk;
    std::unique_ptr<TDataSkinObject> MenuBar;
    std::unique_ptr<TDataSkinObject> GroupBoxEdge;
    std::unique_ptr<TDataSkinBoxLabel> GroupBox;
    std::unique_ptr<TDataSkinBorder> Tabs;
    std::unique_ptr<TDataSkinObject> StatusBarEdges;
    std::unique_ptr<TDataSkinObject> TabPane;
    std::unique_ptr<TDataSkinObject> ToolBars;
    std::unique_ptr<TDataSkinBorder> ComboButton;
    std::unique_ptr<TDataSkinObject> SunkEdge;
    std::unique_ptr<TDataSkinObject> ExtraImages;
    std::unique_ptr<TDataSkinObject> Headerbar;
    std::unique_ptr<TDataSkinObject> MenuItem;
    std::unique_ptr<TDataSkinObject> MenuBackground;
    std::unique_ptr<TDataSkinObject> Scrollbar;
    std::unique_ptr<TDataSkinObject> HorzScroll;
    std::unique_ptr<TDataSkinObject> VertScroll;
    std::unique_ptr<TDataSkinObject> HorzScrollThumb;
    std::unique_ptr<TDataSkinObject> VertScrollThumb;
    std::unique_ptr<TDataSkinObject> TrackbarThumbHorz;
    std::unique_ptr<TDataSkinObject> TrackbarThumbVert;
    std::unique_ptr<TDataSkinObject> TrackbarThumbLeft;
    std::unique_ptr<TDataSkinObject> TrackbarThumbRight;
    std::unique_ptr<TDataSkinObject> TrackbarThumbUp;
    std::unique_ptr<TDataSkinObject> TrackbarThumbDown;
    std::unique_ptr<TDataSkinBorder> UpDownHorz;
    std::unique_ptr<TDataSkinBorder> UpDownVert;
    std::unique_ptr<TDataSkinObject> Track;
    std::unique_ptr<TDataSkinObject> TrackVert;
    std::unique_ptr<TDataSkinObject> ComboxArrow;
    std::unique_ptr<TDataSkinObject> Toolbar;
    std::unique_ptr<TDataSkinObject> MinCaption;

    // ---- Colours and other state -------------------------------------------------------
    TSkinColors Colors;
    TColor CaptionColor = SystemColor(scBtnFace);
    std::vector<TColor> PreColors;                    // one per [Colour...] section, in file order
    std::array<TColor, 10> CustomColors;              // [Customcolors] Color0 .. Color9
    TOwnedHandle<TPlatformBrushTraits> BtnFaceBrush;  // solid brush of ButtonFace
    std::string SkinName;                             // [TitlebarSkin] SkinName
    // Glyphs of the system menu: restore, maximize, minimize, close; 16 x 16 each,
    // black on white (white is transparent).
    std::array<TBitmap, 4> Glyphs;
    TBitmap AppIcon;  // the program's small icon, magenta transparent
    TOwnedHandle<TPlatformFontTraits> CaptionFont;
    int32_t MaxWidth = 0, MaxHeight = 0;     // the screen's maximized window size
    TWindowHandle LastFormWindow = nullptr;  // the window last offered to DoFormSkin
    TWinContainers Containers;               // container kinds the control walk enters

    // ---- Description reader (one load) ----------------------------------------------
    void ReadBord();
    void ReadColor();
    void ReadSysButton();
    void CreateMdibtn(int firstIndex);
    void ReadButton();
    void ReadTitle(TDataSkinTitle& title, const std::string& section);
    void ReadProgress(std::unique_ptr<TDataSkinBorder>& slot, const std::string& section);
    void ReadObject(std::unique_ptr<TDataSkinObject>& slot, const std::string& section);
    void ReadObject2(std::unique_ptr<TDataSkinBorder>& slot, const std::string& section, const std::string& secondKey);
    void ReadBoxLabel(std::unique_ptr<TDataSkinBoxLabel>& slot, const std::string& section);
    void ReadMenuBar(std::unique_ptr<TDataSkinObject>& slot, const std::string& section);
    void ReadTrack(std::unique_ptr<TDataSkinObject>& slot, const std::string& resourceName);
    void Readbmp(TBitmap& bitmap, const std::string& fileName);
    void ReadPictureSets();
    void ReadRGB(const std::string& section, const std::string& key, TColor& color);
    void SetFrame();
    void ReBuildCombobox();
    void ReBuildComboxArrow();
    void RebuildToolbar();
    void CreateMinCaption();
    void CreateCaptionFont();
    void GetAppIcon();

private:
    void RequestAction(int action);
    void MakeCurrent();
    void ClearElements();
    void FreeSysButtons();
    void MakeButtonFaceBrush();
    // Hands the reason a load failed to the debug hook; never throws.
    void ReportLoadError(const char* reason) noexcept;

    bool FActive = false;
    bool FLoading = true;
    TStringList FSkin3rd;
    std::string FSkinFile;
    TMemoryStream FSkinStream;
    void CopyScaled(const TSkinData& Source, const TSkinData* Set, int SetPercent, const TDpiScale& Scale);
    std::map<int, std::unique_ptr<TSkinData>> FDpiSets;
    std::vector<int> FPictureSets;
    struct TPictureSetSlot {
        std::unique_ptr<TSkinData> Skin;  // null when the set could not be read
        uint32_t Generation = ~0u;        // the skin's generation it was read from
    };
    std::map<int, TPictureSetSlot> FSetSkins;
    std::string FPictureSuffix;  // a picture set: the suffix of its pictures' names
    TSkinData* FDpiSource = nullptr;
    TDpiScale FDpiScale;
    uint32_t FGeneration = 0;  // counts the skins read into this object
    uint32_t FMadeFrom = ~0u;  // a companion: the source's generation it was made from
    // Valid only while LoadSkin runs.
    TQuickIni* FIni = nullptr;
    TSkinReader* FReader = nullptr;
};

// The 116 default lines of Skin3rd, class=kind, in their stored order.
const std::vector<std::string>& DefaultSkin3rd();

// ---- Free functions of the unit ----------------------------------------------------
TColor RGBToColor(int32_t r, int32_t g, int32_t b);
// Three decimal numbers red, green, blue; missing numbers count as 0.
TColor strcolor(const std::string& text);
// Target takes the source's size and pixel format and a copy of its pixels.
void CopyBMP(const TBitmap& source, TBitmap& target);
// 8-bit text (UTF-8 in this program) to and from UTF-16.
std::u16string StrToWideStr(const std::string& text);
std::string WideStringToStringEx(const std::u16string& text);
// A UTF-16 string from a zero-terminated buffer: its first length characters, or all
// of it when length is -1.
std::u16string _WStr(const char16_t* text, int length);
// Code page of 8-bit text: 0 means the program's own (UTF-8).
extern uint32_t DefaultUserCodePage;
extern bool Win32PlatformIsUnicode;

// The built-in track images (16 x 4 and 4 x 16) by resource name: "TRACK", "TRACKVERT".
TBitmap BuiltinTrackImage(const std::string& resourceName);

// Platform part (Winskindata_win32.cpp / Winskindata_posix.cpp).
int32_t SystemMetricHScrollArrow();  // width of a horizontal scroll arrow
void ScreenMaximizedSize(int32_t& width, int32_t& height);
// The system's caption font; at a DPI when one is given (0: as the system has it).
TPlatformFont MakeCaptionFont(int Dpi = 0);
TPlatformBrush MakeSolidBrush(TColor color);
// Draws the application's small icon (or its big one) onto a magenta bitmap of the
// small-icon size; false, leaving the bitmap alone, when the program has no icon.
// At a DPI when one is given, the small-icon size there.
bool DrawApplicationIcon(TBitmap& bitmap, int Dpi = 0);
bool PlatformScrollBarInfo(TWindowHandle window, int32_t object, void* info);
// Whether the platform offers the scroll-bar geometry call at all.
bool PlatformHasScrollBarInfo();
// Asks for a leave notification when the mouse leaves the window (where the platform can).
void DoTrackMouse(TWindowHandle window);
// Draws UTF-16 text; returns the platform's result (0 where there is no platform).
int Tnt_DrawTextW(void* dc, const std::u16string& text, TRect& rect, uint32_t format);
// For a skin running inside a library: shares the host's manager.
void SkinDll(const TSkinManageBase& host);

}  // namespace quorin
