#include "skin/resources/Winskindata.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <new>
#include <set>

#include "forms/LayoutLoader.h"
#include "skin/resources/Skinread.h"
#include "skin/resources/Winskinstore.h"
#include "support/SkinPacking.h"

// While armed, every allocation of at least this many bytes fails, as on a machine out of
// memory; 0 disarms. (The compiler cannot see that this operator new takes from malloc.)
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
namespace {
std::atomic<std::size_t> GFailAllocationsFrom{0};
}

void* operator new(std::size_t size) {
    const std::size_t limit = GFailAllocationsFrom.load(std::memory_order_relaxed);
    if (limit != 0 && size >= limit) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace quorin {
namespace {

using testing::Bytes;
using testing::MakeBmp;
using testing::MakePackedSkin;

constexpr int32_t kMagenta = 0xFF00FF;

// A skin data component with no owner, and the skin manager freed after each test so
// that activation requests start from a clean manager.
class SkinDataTest : public ::testing::Test {
protected:
    void TearDown() override { FreeSkinManager(); }

    // Loads a packed skin made of the description and files through LoadFromStream.
    void Load(TSkinData& skin, const std::string& description,
              const std::vector<std::pair<std::string, Bytes>>& files = {}) {
        TMemoryStream packed(MakePackedSkin(description, files));
        skin.LoadFromStream(packed);
    }
};

// ---- Defaults and enumerations ---------------------------------------------------------------

TEST_F(SkinDataTest, ConstructorGivesThePublishedDefaults) {
    TSkinData skin(nullptr);
    EXPECT_FALSE(skin.GetActive());
    EXPECT_EQ(skin.DisableTag, 99);
    EXPECT_EQ(skin.SkinControls.Bits(), 0x1FFFFBu);  // all 22 but xcMenuItem and xcFastReport
    EXPECT_EQ(skin.Options.Bits(), 0x0048);
    EXPECT_EQ(skin.Containers.Bits(), 0x03FF);
    EXPECT_EQ(skin.SkinFormtype, sfMainform);
    EXPECT_EQ(skin.GetVersion(), "3.99.03.03");
    EXPECT_TRUE(skin.MenuUpdate);
    EXPECT_FALSE(skin.MenuMerge);
    EXPECT_EQ(skin.GetSkinStore(), "(none)");
    EXPECT_TRUE(skin.Loading());
    // The frame borders, Buttons and Title exist from the start, with empty images.
    for (auto& b : skin.Border) ASSERT_TRUE(b && b->Map.Empty());
    ASSERT_TRUE(skin.Buttons && skin.Title);
    EXPECT_FALSE(skin.MenuItem);
    EXPECT_EQ(skin.CustomColors[9], 0xFFFFFF);
}

TEST_F(SkinDataTest, DisplayOnlyPropertiesIgnoreWrites) {
    TSkinData skin(nullptr);
    skin.SetVersion("1.0");
    skin.SetSkinStore("(Good)");
    EXPECT_EQ(skin.GetVersion(), "3.99.03.03");
    EXPECT_EQ(skin.GetSkinStore(), "(none)");
}

TEST(SkinEnumerations, OrdinalsFollowTheStoredOrder) {
    EXPECT_EQ(SkinControlTypeNames().size(), 22u);
    EXPECT_EQ(SkinControlTypeName(xcFastReport), "xcFastReport");
    EXPECT_EQ(SkinControlTypeName(static_cast<TSkinControlType>(9)), "xcScrollbar");
    EXPECT_EQ(SkinOptionNames().size(), 9u);
    EXPECT_EQ(SkinOptionName(static_cast<TSkinOption>(6)), "xoToolbarBK");
    EXPECT_EQ(SkinFormTypeNames(), (std::vector<std::string>{"sfMainform", "sfOnlyThisForm", "sfDialog", "sfDLL"}));
    EXPECT_EQ(WinContainerName(xccPageScroller), "xccPageScroller");
    EXPECT_EQ(SkinControlTypeFromName("xcTrackBar"), xcTrackBar);
    EXPECT_FALSE(SkinOptionFromName("xopreview").has_value());
}

TEST(Skin3rdDefaults, HoldsExactlyThe116LinesInOrder) {
    const auto& lines = DefaultSkin3rd();
    ASSERT_EQ(lines.size(), 116u);
    EXPECT_EQ(lines.front(), "TPngBitBtn=pngbitbtn");
    EXPECT_EQ(lines[5], "TComboboxex=combobox");
    EXPECT_EQ(lines.back(), "TOVCDBNUMERICFIELD=Edit");
    // Three class names occur twice, each time next to its twin.
    std::multiset<std::string> names;
    for (const auto& l : lines) names.insert(l.substr(0, l.find('=')));
    EXPECT_EQ(names.size() - std::set<std::string>(names.begin(), names.end()).size(), 3u);
    for (const char* twice : {"TLMDFontSizeCombobox", "TWWDBCombobox", "TDBCheckboxEh"})
        EXPECT_EQ(names.count(twice), 2u) << twice;
    // TDBCheckboxEh follows TLMDGroupBox; kinds keep their case.
    auto at = std::find(lines.begin(), lines.end(), "TLMDGroupBox=Groupbox");
    ASSERT_NE(at, lines.end());
    EXPECT_EQ(*(at + 1), "TDBCheckboxEh=Checkbox");
    EXPECT_EQ(*(at + 2), "TDBCheckboxEh=Checkbox");
    TSkinData skin(nullptr);
    EXPECT_EQ(skin.Skin3rd().Count(), 116);
}

// ---- Colours and small queries -----------------------------------------------------------------

struct ColorCase {
    const char* text;
    int32_t expected;
};

class StrColor : public ::testing::TestWithParam<ColorCase> {};

TEST_P(StrColor, ParsesRedGreenBlue) { EXPECT_EQ(strcolor(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Texts, StrColor,
                         ::testing::Values(ColorCase{"244 244 244", 0xF4F4F4}, ColorCase{"197 231 246", 0xF6E7C5},
                                           ColorCase{"  10,20,30  ", 0x1E140A}, ColorCase{"1 2 3 4", 0x030201},
                                           ColorCase{"300 0 0", 300 & 0xFF},
                                           ColorCase{"99999999999 0 0", static_cast<int32_t>(99999999999LL & 0xFF)},
                                           ColorCase{"-5 7 9", 0x090705}, ColorCase{"1 2", 0x000201},
                                           ColorCase{"1,2,3,", 0x030201}, ColorCase{"", 0}, ColorCase{"red", 0}));

TEST(SkinColors, EmptyTextGivesTheDefault) {
    TSkinData skin(nullptr);
    EXPECT_EQ(skin.GetColor("", SystemColor(15)), SystemColor(15));
    EXPECT_EQ(skin.GetColor("   ", 0x123456), 0x123456);
    EXPECT_EQ(skin.GetColor("244 244 244", SystemColor(15)), 0xF4F4F4);
    EXPECT_EQ(RGBToColor(0x1FF, 2, 3), 0x0302FF);
}

TEST(SkinQueries, FileNameIsTheTextBeforeTheFirstDot) {
    EXPECT_EQ(TSkinData::GetFileName("button.bmp"), "button");
    EXPECT_EQ(TSkinData::GetFileName("a.b.c"), "a");
    EXPECT_EQ(TSkinData::GetFileName("noext"), "");
}

TEST(SkinQueries, ChangePropertySetsOnlyEnumerations) {
    TSkinData skin(nullptr);
    TSkinData::ChangeProperty(&skin, "SkinFormtype", "sfDialog");
    EXPECT_EQ(skin.SkinFormtype, sfDialog);
    TSkinData::ChangeProperty(&skin, "SkinFormtype", "sfNothing");  // unknown identifier
    EXPECT_EQ(skin.SkinFormtype, sfDialog);
    TSkinData::ChangeProperty(&skin, "DisableTag", "5");  // not an enumeration
    EXPECT_EQ(skin.DisableTag, 99);
    TSkinData::ChangeProperty(&skin, "Missing", "x");
    TSkinData::ChangeProperty(nullptr, "SkinFormtype", "sfDLL");
}

TEST(SkinText, Utf8AndUtf16RoundTrip) {
    const std::string text = "\xE8\xBD\xAC\xE6\x8D\xA2 ok \xF0\x9F\x98\x80";  // two CJK characters, an emoji
    std::u16string wide = StrToWideStr(text);
    EXPECT_EQ(wide.size(), 8u);  // 2 + " ok " + a surrogate pair
    EXPECT_EQ(WideStringToStringEx(wide), text);
    EXPECT_EQ(StrToWideStr("\xE8\xBD"), u"\uFFFD\uFFFD");  // a cut sequence does not read past the end
    const char16_t buffer[] = u"abcdef";
    EXPECT_EQ(_WStr(buffer, 3), u"abc");
    EXPECT_EQ(_WStr(buffer, -1), u"abcdef");
}

// ---- The description reader ---------------------------------------------------------------------

TEST_F(SkinDataTest, SysButtonSectionsAreKeptUpperCasedWithTheFrameRules) {
    TSkinData skin(nullptr);
    Load(skin,
         "[button0]\nButtonImage=narrow.bmp\nAction=0\n"
         "[Button1]\nButtonImage=wide.bmp\nAction=1\n"
         "[BUTTON2]\nButtonImage=narrow.bmp\nAction=-1\nVisibility=0\n"
         "[Button3]\nButtonImage=narrow.bmp\nAction=-1\n"  // dropped: action -1, visibility not 0
         "[Button4]\nButtonImage=narrow.bmp\nAction=3\n"
         "[Button5]\nAction=5\n"
         "[Buttons]\nBitmap=narrow.bmp\n[Button.Radio]\nImage=x.bmp\n[Button]\nImage=x.bmp\n",
         {{"narrow.bmp", MakeBmp(54, 21, 0x101010)}, {"wide.bmp", MakeBmp(162, 21, 0x202020)}});
    ASSERT_EQ(skin.SysButtons.size(), 5u + 3u);
    EXPECT_EQ(skin.SysButtons[0]->Name, "BUTTON0");
    EXPECT_EQ(skin.SysButtons[0]->Frame, 3);  // 54 / 21 = 2.6
    EXPECT_EQ(skin.SysButtons[1]->Frame, 6);  // 162 / 21 = 7.7
    EXPECT_EQ(skin.SysButtons[2]->Name, "BUTTON2");
    EXPECT_EQ(skin.SysButtons[2]->Frame, 6);  // action -1 always 6
    EXPECT_EQ(skin.SysButtons[2]->Visibility1, -1);
    EXPECT_EQ(skin.SysButtons[3]->Name, "BUTTON4");
    EXPECT_TRUE(skin.SysButtons[3]->Map.Empty());  // the icon button shows the window's icon
    EXPECT_EQ(skin.SysButtons[4]->Frame, 6);       // no image
    EXPECT_EQ(skin.SysButtons[4]->CombineOp, -1);
    for (int i = 0; i < 3; ++i) {
        const auto& mdi = *skin.SysButtons[5 + i];
        EXPECT_EQ(mdi.Action, 7 + i);
        EXPECT_EQ(mdi.Align, 100);
        EXPECT_EQ(mdi.Visibility, 100);
        EXPECT_EQ(mdi.Visibility1, 100);
        EXPECT_EQ(mdi.Frame, 4);
    }
}

TEST_F(SkinDataTest, MdiControlsAreCutIntoTheThreeExtraButtons) {
    TSkinData skin(nullptr);
    // 12 columns of 10 pixels: column c has the colour c.
    Load(skin, "[MDICONTROLS]\nImage=mdi.bmp\n", {{"mdi.bmp", MakeBmp(120, 9, [](int x, int) { return x / 10; })}});
    ASSERT_EQ(skin.SysButtons.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const TBitmap& m = skin.SysButtons[i]->Map;
        ASSERT_EQ(m.Width(), 40);
        ASSERT_EQ(m.Height(), 9);
        EXPECT_EQ(m.Pixel(0, 0), 4 * i);
        EXPECT_EQ(m.Pixel(39, 8), 4 * i + 3);
        EXPECT_EQ(skin.SysButtons[i]->XCoord, 14 * (3 - i));
    }
}

TEST_F(SkinDataTest, FrameCountsAndMarginsFollowTheReaderRules) {
    TSkinData skin(nullptr);
    Load(skin,
         "[Tab.Pane]\nImage=a.bmp\nTopHeight=9\nLeftWidth=2\nRightWidth=5\nBottomHeight=4\n"
         "[Headerbar]\nImage=a.bmp\nframe=4\n"
         "[MenuItem]\nImage=a.bmp\nFrame=3\n"
         "[Progress.Chunk]\nImage=a.bmp\nFrame=7\n"
         "[Scrollbar]\nImage=a.bmp\n[HorzScrollThumb]\nImage=a.bmp\nFrameCount=2\n[VertScrollThumb]\nImage=a.bmp\n"
         "[Progress]\nBitmap=a.bmp\nStyle=1\nTile=5\n",
         {{"a.bmp", MakeBmp(40, 20, 0x303030)}});
    ASSERT_TRUE(skin.TabPane && skin.Headerbar && skin.MenuItem && skin.ProgressChunk);
    EXPECT_EQ(skin.TabPane->Margins, (TMargins{2, 4, 4, 4}));
    EXPECT_EQ(skin.TabPane->Frame, 1);
    EXPECT_EQ(skin.Headerbar->Frame, 4);
    EXPECT_EQ(skin.MenuItem->Frame, 5);
    EXPECT_EQ(skin.ProgressChunk->Frame, 7);
    EXPECT_EQ(skin.Scrollbar->Frame, 23);
    EXPECT_EQ(skin.HorzScrollThumb->Frame, 2);
    EXPECT_EQ(skin.VertScrollThumb->Frame, 3);
    ASSERT_TRUE(skin.Progress);
    EXPECT_EQ(skin.Progress->Frame, 1);
    EXPECT_EQ(skin.Progress->Tile, 1);
    EXPECT_EQ(skin.Buttons->Frame, 5);
    EXPECT_EQ(skin.Title->Frame, 2);
}

TEST_F(SkinDataTest, HeaderbarWithoutFrameGetsFive) {
    TSkinData skin(nullptr);
    Load(skin, "[Headerbar]\nImage=a.bmp\n", {{"a.bmp", MakeBmp(10, 10, 0)}});
    ASSERT_TRUE(skin.Headerbar);
    EXPECT_EQ(skin.Headerbar->Frame, 5);
}

TEST_F(SkinDataTest, ColoursComeFromTheColoursSectionOrTheSystem) {
    TSkinData skin(nullptr);
    Load(skin,
         "[Colours]\nButtonFace=244 244 244\nWindowText=\nHilight=1 2 3\n"
         "[Colour1]\ncolor=10 20 30\n[colourRed]\ncolor=255 0 0\n[Colours2]\n[Customcolors]\nColor3=1 1 1\n");
    EXPECT_EQ(skin.Colors.ButtonFace, 0xF4F4F4);
    EXPECT_EQ(skin.Colors.Menubar, 0xF4F4F4);  // follows ButtonFace
    EXPECT_EQ(skin.Colors.WindowText, SystemColor(8));
    EXPECT_EQ(skin.Colors.Buttonlight, SystemColor(20));
    EXPECT_EQ(skin.Colors.Hilight, 0x030201);
    // Every section named Colour... but Colours itself, in file order.
    ASSERT_EQ(skin.PreColors.size(), 3u);
    EXPECT_EQ(skin.PreColors[0], 0x1E140A);
    EXPECT_EQ(skin.PreColors[1], 0x0000FF);
    EXPECT_EQ(skin.PreColors[2], SystemColor(8));
    TColor c = 0;
    EXPECT_TRUE(skin.GetPrecolor(c, 1));
    EXPECT_EQ(c, 0x0000FF);
    EXPECT_FALSE(skin.GetPrecolor(c, 3));
    EXPECT_FALSE(skin.GetPrecolor(c, -1));
    EXPECT_EQ(skin.CustomColors[3], 0x010101);
    EXPECT_EQ(skin.CustomColors[4], 0xFFFFFF);
}

TEST_F(SkinDataTest, EmptyButtonFaceGivesTheSystemButtonFace) {
    TSkinData skin(nullptr);
    Load(skin, "[Colours]\nButtonFace=\n");
    EXPECT_EQ(skin.Colors.ButtonFace, SystemColor(15));
    EXPECT_EQ(skin.CaptionColor, SystemColor(15));
}

TEST_F(SkinDataTest, WithoutTrackSectionsTheBuiltInTrackImagesAreUsed) {
    TSkinData skin(nullptr);
    Load(skin, "[Colours]\n");
    ASSERT_TRUE(skin.Track && skin.TrackVert);
    const TBitmap& h = skin.Track->Map;
    ASSERT_EQ(h.Width(), 16);
    ASSERT_EQ(h.Height(), 4);
    EXPECT_EQ(skin.Track->Margins, (TMargins{3, 3, 3, 3}));
    EXPECT_EQ(skin.Track->Frame, 1);
    EXPECT_EQ(skin.Track->Tile, 0);
    // Row 1: silver, silver, twelve grey, white, white; row 3 starts grey, silver.
    EXPECT_EQ(h.Pixel(1, 0), 0xC0C0C0);
    EXPECT_EQ(h.Pixel(2, 0), 0x808080);
    EXPECT_EQ(h.Pixel(13, 0), 0x808080);
    EXPECT_EQ(h.Pixel(14, 0), 0xFFFFFF);
    EXPECT_EQ(h.Pixel(0, 2), 0x808080);
    EXPECT_EQ(h.Pixel(1, 2), 0xC0C0C0);
    EXPECT_EQ(h.Pixel(2, 3), 0xFFFFFF);
    const TBitmap& v = skin.TrackVert->Map;
    ASSERT_EQ(v.Width(), 4);
    ASSERT_EQ(v.Height(), 16);
    EXPECT_EQ(v.Pixel(2, 0), 0x808080);
    EXPECT_EQ(v.Pixel(0, 1), 0xC0C0C0);
    EXPECT_EQ(v.Pixel(0, 13), 0x808080);
    EXPECT_EQ(v.Pixel(1, 13), 0xFFFFFF);
    EXPECT_EQ(v.Pixel(0, 14), 0xFFFFFF);
}

TEST_F(SkinDataTest, ImageNamesNeedALowerCaseBmpExtension) {
    TSkinData skin(nullptr);
    Load(skin,
         "[ExtraImages]\nImage=PICS\\A.BMP\n[MenuItem]\nImage=c:\\skins\\a.bmp\n"
         "[Headerbar]\nImage=missing.bmp\n[Scrollbar]\nImage=a.png\n",
         {{"A.BMP", MakeBmp(8, 8, 1)}});
    ASSERT_TRUE(skin.ExtraImages && skin.MenuItem && skin.Headerbar && skin.Scrollbar);
    EXPECT_TRUE(skin.ExtraImages->Map.Empty());  // extension in capitals
    EXPECT_EQ(skin.MenuItem->Map.Width(), 8);    // path dropped, entry found case-insensitively
    EXPECT_TRUE(skin.Headerbar->Map.Empty());    // not in the archive
    EXPECT_TRUE(skin.Scrollbar->Map.Empty());    // not a bitmap name
}

TEST_F(SkinDataTest, ElementsWithoutImageKeyStayEmpty) {
    TSkinData skin(nullptr);
    Load(skin, "[MenuItem]\nFrame=3\n[Tabs]\nBorder=a.bmp\n", {{"a.bmp", MakeBmp(4, 4, 0)}});
    EXPECT_FALSE(skin.MenuItem);
    EXPECT_FALSE(skin.Tabs);
    EXPECT_FALSE(skin.Progress);
    EXPECT_FALSE(skin.MenuBar);
    EXPECT_FALSE(skin.Loading());
}

TEST_F(SkinDataTest, ComboArrowIsTheComboButtonOnButtonFaceWithoutSunkEdge) {
    TSkinData skin(nullptr);
    Load(skin, "[Colours]\nButtonFace=1 2 3\n[ComboButton]\nImage=c.bmp\n",
         {{"c.bmp", MakeBmp(8, 4, [](int x, int) { return x < 4 ? kMagenta : 0x445566; })}});
    ASSERT_TRUE(skin.ComboButton && skin.ComboxArrow);
    EXPECT_EQ(skin.ComboButton->Frame, 4);
    // The second picture is the first mirrored.
    EXPECT_EQ(skin.ComboButton->Map2.Pixel(0, 0), 0x445566);
    EXPECT_EQ(skin.ComboButton->Map2.Pixel(7, 0), kMagenta);
    EXPECT_EQ(skin.ComboxArrow->Map.Pixel(0, 0), 0x030201);
    EXPECT_EQ(skin.ComboxArrow->Map.Pixel(7, 0), 0x445566);
    EXPECT_EQ(skin.ComboxArrow->Frame, 4);
    EXPECT_EQ(skin.ComboButton->Map.Pixel(0, 0), kMagenta);  // the element's own picture is kept
}

TEST_F(SkinDataTest, SunkEdgeAndComboButtonBuildTheComboPicture) {
    TSkinData skin(nullptr);
    Load(skin,
         "[SunkEdge]\nImage=s.bmp\nLeftWidth=1\nTopHeight=1\nRightWidth=1\nBottomHeight=1\n"
         "[ComboButton]\nImage=b.bmp\n",
         {{"s.bmp", MakeBmp(40, 10, 0x111111)}, {"b.bmp", MakeBmp(40, 10, 0x222222)}});
    ASSERT_TRUE(skin.SunkEdge && skin.ComboButton && skin.ComboxArrow);
    const int b = SystemMetricHScrollArrow() + 2;
    const TBitmap& pic = skin.ComboButton->Map;
    ASSERT_EQ(pic.Width(), 50 * 4);
    ASSERT_EQ(pic.Height(), 21);
    EXPECT_EQ(skin.ComboButton->Style, 2);
    EXPECT_EQ(skin.ComboButton->Margins, (TMargins{2, 1, b + 2, 1}));
    EXPECT_EQ(skin.SunkEdge->Margins, (TMargins{b + 2, 1, 2, 1}));
    EXPECT_EQ(pic.Pixel(0, 0), 0x111111);                  // the edge
    EXPECT_EQ(pic.Pixel(10, 10), kMagenta);                // the edit area is left transparent
    EXPECT_EQ(pic.Pixel(49, 10), 0x222222);                // the button at the right
    EXPECT_EQ(skin.SunkEdge->Map.Pixel(0, 10), 0x222222);  // mirrored: the button at the left
    ASSERT_EQ(skin.ComboxArrow->Map.Width(), 17 * 4);
    EXPECT_EQ(skin.ComboxArrow->Frame, 4);
    EXPECT_EQ(skin.ComboxArrow->Map.Pixel(16, 16), 0x222222);
}

TEST_F(SkinDataTest, CaptionColourIsThePixelOfTheTopBorder) {
    TSkinData skin(nullptr);
    // Two frames stacked: the active one is red at the sampled point.
    Load(skin, "[Personality]\nTop=t.bmp\nTopFrame=2\n",
         {{"t.bmp", MakeBmp(30, 40, [](int x, int y) { return y < 20 ? 0x0000FF : 0x00FF00; })}});
    EXPECT_EQ(skin.CaptionColor, 0x0000FF);
    ASSERT_TRUE(skin.Toolbar);
    EXPECT_EQ(skin.Toolbar->Map.Width(), 10);
    EXPECT_EQ(skin.Toolbar->Map.Height(), 40);
    EXPECT_EQ(skin.Toolbar->Frame, 1);
    skin.CreateMinCaption();
    ASSERT_TRUE(skin.MinCaption);
    EXPECT_EQ(skin.MinCaption->Map.Pixel(40, 14), 0x0000FF);
    EXPECT_EQ(skin.MinCaption->Map.Pixel(0, 0), 0x000080);  // Blend(black, red, 50)
}

TEST_F(SkinDataTest, ZeroFrameCountsBecomeOne) {
    TSkinData skin(nullptr);
    Load(skin, "[Personality]\nTop=t.bmp\nTopFrame=0\nLeft=t.bmp\nLeftFrame=-2\n[Progress.Chunk]\nImage=t.bmp\n",
         {{"t.bmp", MakeBmp(6, 6, 0x010203)}});
    EXPECT_EQ(skin.Top()->Frame, 1);
    EXPECT_EQ(skin.Left()->Frame, 1);
    EXPECT_EQ(skin.ProgressChunk->Frame, 1);
    EXPECT_EQ(skin.CaptionColor, 0x010203);
}

TEST_F(SkinDataTest, FrameBordersReadTheirHeightsAsMargins) {
    TSkinData skin(nullptr);
    Load(skin,
         "[Personality]\nLeft=a.bmp\nLeftTopHeight=30\nLeftBotHeight=4\nLeftStretch=3\n"
         "Top=a.bmp\nTopTopHeight=5\nTopBotHeight=6\nTopTrans=0\n",
         {{"a.bmp", MakeBmp(4, 4, 0)}});
    EXPECT_EQ(skin.Left()->Margins, (TMargins{0, 30, 0, 4}));
    EXPECT_EQ(skin.Left()->Tile, 1);
    EXPECT_EQ(skin.Left()->Trans, 1);
    EXPECT_EQ(skin.Top()->Margins, (TMargins{5, 0, 6, 0}));
    EXPECT_EQ(skin.Top()->Trans, 0);
    EXPECT_EQ(skin.Right()->Frame, 1);
}

TEST_F(SkinDataTest, ArchiveWithAWrongMarkLoadsNothingAndKeepsTheSkin) {
    TSkinData skin(nullptr);
    Load(skin, "[MenuItem]\nImage=a.bmp\n", {{"a.bmp", MakeBmp(4, 4, 0)}});
    ASSERT_TRUE(skin.MenuItem);
    Bytes archive = testing::MakeSkinArchive({{"skin.ini", Bytes{'[', 'x', ']'}}});
    archive[0] = 0x21;  // mark 20001
    std::vector<std::string> shown;
    TSkinMessageHandler previous = SetSkinMessageHandler([&](const std::string& text) { shown.push_back(text); });
    TMemoryStream packed(testing::PackSkin(archive));
    skin.LoadFromStream(packed);
    SetSkinMessageHandler(previous);
    EXPECT_TRUE(skin.Loading());
    EXPECT_TRUE(skin.MenuItem);
    EXPECT_EQ(shown, std::vector<std::string>{"This is Older Skin File\rPlease update to new version !"});
}

// Damaged skins load what they can and never crash.
class DamagedSkin : public SkinDataTest, public ::testing::WithParamInterface<int> {};

TEST_P(DamagedSkin, TruncatedPackedSkinDoesNotCrash) {
    int messages = 0;
    TSkinMessageHandler previous = SetSkinMessageHandler([&](const std::string&) { ++messages; });
    Bytes full =
        MakePackedSkin("[MenuItem]\nImage=a.bmp\n[Colours]\nButtonFace=1 2 3\n", {{"a.bmp", MakeBmp(30, 30, 7)}});
    Bytes cut(full.begin(), full.begin() + std::min<size_t>(full.size(), GetParam()));
    TSkinData skin(nullptr);
    TMemoryStream packed(cut);
    skin.LoadFromStream(packed);
    SetSkinMessageHandler(previous);
    EXPECT_LE(messages, 1);  // at most the wrong-format message
}

INSTANTIATE_TEST_SUITE_P(Lengths, DamagedSkin, ::testing::Values(0, 3, 4, 9, 40, 200, 100000));

TEST_F(SkinDataTest, DamagedBitmapGivesAnEmptyImage) {
    TSkinData skin(nullptr);
    Bytes bmp = MakeBmp(20, 20, 0);
    bmp.resize(60);  // header says 20 x 20, the pixels are missing
    Load(skin, "[MenuItem]\nImage=a.bmp\n[Scrollbar]\nImage=b.bmp\n", {{"a.bmp", bmp}, {"b.bmp", MakeBmp(5, 5, 0)}});
    ASSERT_TRUE(skin.MenuItem && skin.Scrollbar);
    EXPECT_TRUE(skin.MenuItem->Map.Empty());
    EXPECT_EQ(skin.Scrollbar->Map.Width(), 5);
}

// The codec's tables are the largest allocation of a small skin's load.
TEST_F(SkinDataTest, ALoadThatRunsOutOfMemoryReportsToTheDebugHookAndKeepsRunning) {
    const Bytes packed = MakePackedSkin("[MenuItem]\nImage=a.bmp\n", {{"a.bmp", MakeBmp(4, 4, 0)}});
    TSkinData skin(nullptr);
    std::vector<std::string> lines;
    skin.DebugLines = &lines;
    TMemoryStream stream(packed);
    GFailAllocationsFrom = 16 * 1024;
    skin.LoadFromStream(stream);
    GFailAllocationsFrom = 0;
    EXPECT_TRUE(skin.Loading());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "The skin was not loaded: LZH : Cannot get memory for dictionary tables");

    skin.LoadFromStream(stream);
    EXPECT_FALSE(skin.Loading()) << "the same skin loads once memory is back";
    EXPECT_TRUE(skin.MenuItem);
    EXPECT_EQ(lines.size(), 1u);
}

// ---- The SkinStream property ---------------------------------------------------------------------

TEST_F(SkinDataTest, SkinStreamRoundTripsAndLoads) {
    TSkinData skin(nullptr);
    Bytes packed = MakePackedSkin("[TitlebarSkin]\nSkinName=Round trip\n", {});
    TMemoryStream in(packed);
    skin.LoadFromStream(in);
    TMemoryStream stored;
    skin.WriteData(stored);
    ASSERT_EQ(stored.Size(), static_cast<int64_t>(packed.size() + 4));
    TSkinData copy(nullptr);
    stored.SetPosition(0);
    copy.ReadData(stored);
    EXPECT_EQ(copy.SkinName, "Round trip");
    EXPECT_FALSE(copy.Loading());
    EXPECT_EQ(copy.PackedSkin().Bytes(), packed);
}

TEST_F(SkinDataTest, SkinStreamLongerThanItsBytesTakesWhatIsThere) {
    Bytes packed = MakePackedSkin("[TitlebarSkin]\nSkinName=Short\n", {});
    Bytes prop{0xFF, 0xFF, 0xFF, 0x7F};  // declares 2 GB
    prop.insert(prop.end(), packed.begin(), packed.end());
    TSkinData skin(nullptr);
    TMemoryStream s(prop);
    skin.ReadData(s);
    EXPECT_EQ(skin.PackedSkin().Size(), static_cast<int64_t>(packed.size()));
    EXPECT_EQ(skin.SkinName, "Short");
}

TEST_F(SkinDataTest, EmptySkinStreamLoadsNothing) {
    TSkinData skin(nullptr);
    TMemoryStream s(Bytes{0, 0, 0, 0});
    skin.ReadData(s);
    EXPECT_TRUE(skin.Loading());
    TMemoryStream out;
    skin.WriteData(out);
    EXPECT_EQ(out.Bytes(), (Bytes{0, 0, 0, 0}));
}

// ---- Activation -------------------------------------------------------------------------------

TEST_F(SkinDataTest, LoadedWithoutASkinSwitchesActiveOff) {
    TSkinData skin(nullptr);
    skin.SetComponentState(csLoading, true);
    skin.SetActive(true);
    skin.SetComponentState(csLoading, false);
    skin.Loaded();
    EXPECT_FALSE(skin.GetActive());
    ASSERT_TRUE(SkinManager);
    EXPECT_FALSE(SkinManager->TimerRunning());
}

TEST_F(SkinDataTest, LoadedWithASkinRequestsSkinningIn250Ms) {
    TSkinData skin(nullptr);
    int changed = 0;
    skin.OnSkinChanged = [&](TObject* sender) {
        EXPECT_EQ(sender, &skin);
        ++changed;
    };
    skin.SetComponentState(csLoading, true);
    skin.SetActive(true);
    TMemoryStream packed(MakePackedSkin("[Colours]\n", {}));
    Bytes prop{static_cast<uint8_t>(packed.Size()), static_cast<uint8_t>(packed.Size() >> 8), 0, 0};
    prop.insert(prop.end(), packed.Bytes().begin(), packed.Bytes().end());
    TMemoryStream stored(prop);
    skin.ReadData(stored);
    skin.SetComponentState(csLoading, false);
    skin.Loaded();
    EXPECT_TRUE(skin.GetActive());
    ASSERT_TRUE(SkinManager);
    EXPECT_EQ(SkinManager->FAction, 1);
    EXPECT_EQ(SkinManager->TimerInterval(), 250);
    EXPECT_TRUE(SkinManager->TimerRunning());
    EXPECT_EQ(SkinManager->SkinDatas().size(), 1u);
    SkinManager->OnTimer();
    EXPECT_TRUE(SkinManager->FSkinning);
    EXPECT_FALSE(SkinManager->TimerRunning());
    EXPECT_EQ(changed, 1);
    skin.SetActive(false);
    EXPECT_EQ(SkinManager->FAction, 2);
    SkinManager->OnTimer();
    EXPECT_FALSE(SkinManager->FSkinning);
    EXPECT_EQ(changed, 2);
}

TEST_F(SkinDataTest, LoadedDropsMenuItemWhenTheMainMenuIsSkinned) {
    TSkinData withMenu(nullptr);
    withMenu.SkinControls.Include(xcMenuItem);
    withMenu.Loaded();
    EXPECT_FALSE(withMenu.SkinControls.Contains(xcMenuItem));
    EXPECT_TRUE(withMenu.SkinControls.Contains(xcSystemMenu));
    // Without the platform's scroll-bar geometry, scroll bars are not skinned.
    EXPECT_EQ(withMenu.SkinControls.Contains(xcScrollbar), PlatformHasScrollBarInfo());
    TSkinData noMenu(nullptr);
    noMenu.SkinControls.Exclude(xcMainMenu);
    noMenu.Loaded();
    EXPECT_FALSE(noMenu.SkinControls.Contains(xcSystemMenu));
}

TEST_F(SkinDataTest, SetActiveWhileLoadingOrReadingRequestsNothing) {
    TSkinData skin(nullptr);
    skin.SetActive(true);  // no skin read yet
    EXPECT_TRUE(skin.GetActive());
    EXPECT_TRUE(!SkinManager || !SkinManager->TimerRunning());
}

TEST_F(SkinDataTest, SkinOfOneFormRequestsOnAndOff) {
    TSkinData skin(nullptr);
    skin.SkinFormtype = sfOnlyThisForm;
    TMemoryStream packed(MakePackedSkin("[Colours]\n", {}));
    skin.LoadFromStream(packed);
    skin.SetActive(true);
    ASSERT_TRUE(SkinManager);
    EXPECT_EQ(SkinManager->FAction, 1);
    EXPECT_EQ(SkinManager->FCurrentSkin, &skin);
    skin.SetActive(false);
    EXPECT_EQ(SkinManager->FAction, 2);
}

TEST_F(SkinDataTest, DialogSkinRaisesTheSkinCounterOnLoad) {
    TSkinData skin(nullptr);
    skin.SkinFormtype = sfDialog;
    EnsureSkinManager()->FEnabled = false;
    skin.Loaded();
    EXPECT_TRUE(SkinManager->FEnabled);
    EXPECT_EQ(SkinManager->FSkinCount, 1);
}

TEST_F(SkinDataTest, DisabledManagerOnlySwitchesTheSkinningFlag) {
    TSkinData skin(nullptr);
    skin.EnableSkin(false);
    skin.Install();
    EXPECT_TRUE(SkinManager->FSkinning);
    EXPECT_FALSE(SkinManager->TimerRunning());
    skin.Uninstall();
    EXPECT_FALSE(SkinManager->FSkinning);
}

TEST_F(SkinDataTest, SkinChangeIsReportedAfterRequestsOfASkinNeverLoaded) {
    TSkinData skin(nullptr);
    int changed = 0;
    skin.OnSkinChanged = [&](TObject*) { ++changed; };
    skin.Install();
    SkinManager->OnTimer();
    skin.Uninstall();
    SkinManager->OnTimer();
    EXPECT_EQ(changed, 2);
}

TEST_F(SkinDataTest, ChangeFormRecordsTheWindowForAction7) {
    TSkinData skin(nullptr);
    int window = 0;
    skin.ChangeForm(&window);
    EXPECT_EQ(SkinManager->FChangeWindow, &window);
    EXPECT_EQ(SkinManager->FAction, 7);
}

TEST_F(SkinDataTest, FreedSkinIsForgottenByTheManager) {
    auto skin = std::make_unique<TSkinData>(nullptr);
    skin->Install();
    EXPECT_EQ(SkinManager->FSkinData, skin.get());
    skin->Loaded();
    skin.reset();
    EXPECT_TRUE(SkinManager->SkinDatas().empty());
    EXPECT_EQ(SkinManager->FSkinData, nullptr);
    SkinManager->OnTimer();  // the pending action finds no skin and does nothing
}

TEST_F(SkinDataTest, FormSkinFilterRefusesCalendarsAndReportPreviews) {
    TSkinData skin(nullptr);
    bool doSkin = true;
    skin.DoFormSkin(nullptr, "SysMonthCal32", doSkin);
    EXPECT_FALSE(doSkin);
    doSkin = true;
    skin.DoFormSkin(nullptr, "TfrPreviewForm", doSkin);
    EXPECT_TRUE(doSkin);
    skin.SkinControls.Include(xcFastReport);
    skin.DoFormSkin(nullptr, "TfrPreviewForm", doSkin);
    EXPECT_FALSE(doSkin);
    skin.OnFormSkin = [](TObject*, const std::string& name, bool& d) { d = name == "TFormCANConfig"; };
    doSkin = true;
    skin.DoFormSkin(nullptr, "SysMonthCal32", doSkin);
    EXPECT_FALSE(doSkin);
    std::vector<std::string> lines;
    skin.DebugLines = &lines;
    skin.DoDebug("one");
    EXPECT_EQ(lines, std::vector<std::string>{"one"});
}

TEST_F(SkinDataTest, MissingSkinFileChangesNothing) {
    TSkinData skin(nullptr);
    TMemoryStream packed(MakePackedSkin("[TitlebarSkin]\nSkinName=Kept\n", {}));
    skin.LoadFromStream(packed);
    skin.SetSkinFile("/nonexistent/skin.skn");
    EXPECT_EQ(skin.GetSkinFile(), "/nonexistent/skin.skn");
    EXPECT_EQ(skin.SkinName, "Kept");
    EXPECT_FALSE(skin.Loading());
}

TEST_F(SkinDataTest, SkinFileIsReadFromDisk) {
    const std::string path = ::testing::TempDir() + "/skindata_file.skn";
    Bytes packed = MakePackedSkin("[TitlebarSkin]\nSkinName=From file\n", {});
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(packed.data()), packed.size());
    TSkinData skin(nullptr);
    skin.SetSkinFile(path);
    EXPECT_EQ(skin.SkinName, "From file");
    ASSERT_TRUE(SkinManager);  // UpdateSkin made this the current skin
    EXPECT_EQ(SkinManager->FCurrentSkin, &skin);
}

TEST_F(SkinDataTest, SkinStoreItemsLoadByIndex) {
    TSkinStore store(nullptr);
    for (const char* name : {"First", "Second"}) {
        Bytes packed = MakePackedSkin(std::string("[TitlebarSkin]\nSkinName=") + name + "\n", {});
        TMemoryStream data(packed);
        store.Store().Add()->ReadData(data);
    }
    TSkinData skin(nullptr);
    skin.LoadFromCollection(&store, 1);
    EXPECT_EQ(skin.SkinName, "Second");
    skin.LoadFromCollection(&store, 2);  // past the end: nothing
    skin.LoadFromCollection(&store, -1);
    skin.LoadFromCollection(nullptr, 0);
    EXPECT_EQ(skin.SkinName, "Second");
    EXPECT_FALSE(skin.Loading());
    skin.LoadFromCollection(&store, 0);
    EXPECT_EQ(skin.SkinName, "First");
}

// ---- The stored layout --------------------------------------------------------------------------

TEST_F(SkinDataTest, StoredLayoutSetsEveryPublishedProperty) {
    Bytes packed = MakePackedSkin("[TitlebarSkin]\nSkinName=From layout\n", {});
    std::string hex;
    Bytes prop{static_cast<uint8_t>(packed.size()), static_cast<uint8_t>(packed.size() >> 8), 0, 0};
    prop.insert(prop.end(), packed.begin(), packed.end());
    for (uint8_t b : prop) {
        static const char* digits = "0123456789ABCDEF";
        hex += digits[b >> 4];
        hex += digits[b & 15];
    }
    TComponent root(nullptr);
    LoadLayoutText(&root,
                   "Root: TComponent {\n"
                   "  SkinData1: TSkinData {\n"
                   "    Active = true\n    DisableTag = 98\n"
                   "    SkinControls = <xcMainMenu, xcCombo, xcMenuItem>\n"
                   "    Options = <xoPreview, xoToolbarBK, xoMenuBG>\n"
                   "    Skin3rd = [\"TMine=button\"]\n"
                   "    SkinStore = \"(Good)\"\n    SkinFormtype = sfMainform\n    Version = \"3.99.03.03\"\n"
                   "    MenuUpdate = true\n    MenuMerge = false\n"
                   "    SkinStream = bin {" +
                       hex +
                       "}\n"
                       "  }\n}\n");
    auto* skin = dynamic_cast<TSkinData*>(root.FindComponent("SkinData1"));
    ASSERT_TRUE(skin);
    EXPECT_EQ(skin->DisableTag, 98);
    EXPECT_TRUE(skin->SkinControls.Contains(xcCombo));
    EXPECT_FALSE(skin->SkinControls.Contains(xcMenuItem));  // dropped by Loaded: the main menu is skinned
    EXPECT_TRUE(skin->Options.Contains(xoMenuBG));
    ASSERT_EQ(skin->Skin3rd().Count(), 1);
    EXPECT_EQ(skin->Skin3rd()[0], "TMine=button");
    EXPECT_EQ(skin->SkinName, "From layout");
    EXPECT_TRUE(skin->GetActive());
    ASSERT_TRUE(SkinManager);
    EXPECT_EQ(SkinManager->FAction, 1);
    EXPECT_TRUE(SkinManager->TimerRunning());
}

TEST_F(SkinDataTest, MainWindowLayoutCarriesTheSkinComponentWithTheDefaults) {
    std::ifstream f(std::string(QUORIN_SOURCE_DIR) + "/app/FormCANConfig.layout", std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(f), {});
    LayoutObject form = ParseLayout(text);
    const LayoutObject* stored = form.Child("SkinData1");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->className, "TSkinData");
    ASSERT_TRUE(form.Child("SkinCaption1"));
    // Apply every stored property to a fresh component, as the loader does.
    TSkinData skin(nullptr);
    skin.SetComponentState(csLoading, true);
    for (const LayoutProperty& p : stored->properties) ApplyLayoutProperty(&skin, p, nullptr);
    skin.SetComponentState(csLoading, false);
    EXPECT_TRUE(skin.GetActive());
    EXPECT_EQ(skin.DisableTag, 99);
    EXPECT_EQ(skin.SkinControls.Bits(), 0x1FFFFBu);
    EXPECT_EQ(skin.Options.Bits(), 0x0048);
    EXPECT_EQ(skin.SkinFormtype, sfMainform);
    ASSERT_EQ(skin.Skin3rd().Count(), 116);
    for (int i = 0; i < 116; ++i) EXPECT_EQ(skin.Skin3rd()[i], DefaultSkin3rd()[i]) << i;
    // Read without the build's help the skin stream is empty, and the skin switches off.
    skin.Loaded();
    EXPECT_FALSE(skin.GetActive());
}

// ---- The default skin ------------------------------------------------------------------------------

Bytes ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), {});
}

TEST_F(SkinDataTest, DefaultSkinLoadsEveryElementItDefines) {
    Bytes packed = ReadFile(std::string(QUORIN_BINARY_DIR) + "/skin/default/default.skn");
    ASSERT_FALSE(packed.empty()) << "the build packs the default skin";
    TSkinData skin(nullptr);
    TMemoryStream s(packed);
    skin.LoadFromStream(s);
    ASSERT_FALSE(skin.Loading());
    EXPECT_EQ(skin.SkinName, "Quorin Light");
    for (auto& b : skin.Border) {
        ASSERT_FALSE(b->Map.Empty()) << b->Name;
        EXPECT_EQ(b->Frame, 2) << b->Name;
        EXPECT_EQ(b->Map.Width() % (b->Name == "Left" || b->Name == "Right" ? 2 : 1), 0);
    }
    EXPECT_EQ(skin.Top()->Map.Height() / skin.Top()->Frame, 30);  // the caption height
    EXPECT_EQ(skin.Left()->Map.Width() / skin.Left()->Frame, 4);
    struct Expect {
        const TDataSkinObject* e;
        int frames;
    };
    const Expect expected[] = {
        {skin.Buttons.get(), 5},
        {skin.Title.get(), 2},
        {skin.Progress.get(), 2},
        {skin.ProgressChunk.get(), 1},
        {skin.MenuBar.get(), 2},
        {skin.Tabs.get(), 5},
        {skin.StatusBarEdges.get(), 3},
        {skin.TabPane.get(), 1},
        {skin.ComboButton.get(), 4},
        {skin.ExtraImages.get(), 5},
        {skin.Headerbar.get(), 5},
        {skin.MenuItem.get(), 5},
        {skin.MenuBackground.get(), 1},
        {skin.Scrollbar.get(), 23},
        {skin.HorzScroll.get(), 4},
        {skin.VertScroll.get(), 4},
        {skin.HorzScrollThumb.get(), 3},
        {skin.VertScrollThumb.get(), 3},
        {skin.TrackbarThumbHorz.get(), 5},
        {skin.TrackbarThumbDown.get(), 5},
        {skin.UpDownHorz.get(), 8},
        {skin.UpDownVert.get(), 8},
        {skin.Toolbar.get(), 1},
        {skin.ComboxArrow.get(), 4},
        {skin.Track.get(), 1},
        {skin.TrackVert.get(), 1},
    };
    for (const Expect& x : expected) {
        ASSERT_TRUE(x.e);
        EXPECT_FALSE(x.e->Map.Empty()) << x.e->Name;
        EXPECT_EQ(x.e->Frame, x.frames) << x.e->Name;
        // Every strip divides evenly into its frames.
        EXPECT_EQ(x.e->Map.Width() % x.frames, 0) << x.e->Name;
    }
    ASSERT_TRUE(skin.Tabs);
    EXPECT_FALSE(skin.Tabs->Map2.Empty());
    EXPECT_EQ(skin.Buttons->CheckFrame, 4);
    EXPECT_EQ(skin.Buttons->RadioFrame, 4);
    // The typical description has no sunken edge, group box, tool bar or track sections.
    EXPECT_FALSE(skin.SunkEdge);
    EXPECT_FALSE(skin.GroupBox);
    EXPECT_FALSE(skin.GroupBoxEdge);
    EXPECT_FALSE(skin.ToolBars);
    EXPECT_EQ(skin.Track->Map.Width(), 16);  // built in
    // Caption buttons: close, maximize, restore, minimize, the icon; then the MDI three.
    ASSERT_EQ(skin.SysButtons.size(), 8u);
    const int actions[] = {0, 1, 1, 2, 3, 7, 8, 9};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(skin.SysButtons[i]->Action, actions[i]) << i;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(skin.SysButtons[i]->Frame, 4);
        EXPECT_EQ(skin.SysButtons[i]->Map.Width(), 4 * 28);
    }
    EXPECT_TRUE(skin.SysButtons[4]->Map.Empty());
    for (int i = 5; i < 8; ++i) EXPECT_EQ(skin.SysButtons[i]->Map.Width(), 64);
    EXPECT_EQ(skin.Colors.ButtonFace, 0xF5F2F0);
    EXPECT_EQ(skin.CaptionColor, skin.Top()->Map.Pixel(20, 10));
}

}  // namespace
}  // namespace quorin
