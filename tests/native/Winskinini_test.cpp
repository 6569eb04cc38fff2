#include "skin/resources/Winskinini.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "skin/resources/Winconvert.h"

using namespace quorin;

namespace {

TQuickIni Load(const std::string& text) {
    TMemoryStream m(std::vector<uint8_t>(text.begin(), text.end()));
    TQuickIni ini;
    ini.LoadFromStream(&m);
    return ini;
}

std::vector<std::string> Items(const TStrings& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list.Get(i));
    return out;
}

std::string Saved(const TQuickIni& ini) {
    TMemoryStream m;
    ini.SaveToStream(&m);
    return {m.Bytes().begin(), m.Bytes().end()};
}

// The index must always be what a rebuild from the lines gives.
void ExpectIndexTrue(const TQuickIni& ini) {
    TQuickIni copy;
    TStringList lines;
    for (const auto& l : ini.Lines()) lines.Add(l);
    copy.SetIniFile(lines);
    ASSERT_EQ(ini.Sections().size(), copy.Sections().size());
    for (size_t i = 0; i < ini.Sections().size(); ++i) {
        EXPECT_EQ(ini.Sections()[i].header, copy.Sections()[i].header);
        EXPECT_EQ(ini.Sections()[i].line, copy.Sections()[i].line);
    }
}

const char* const kSkin =
    "; a skin description\r\n"
    "orphan=before any section\r\n"
    "[Buttons]\r\n"
    "  Bitmap = Buttons.bmp  \r\n"
    "Empty=\r\n"
    "Trans=1\r\n"
    "trans=2\r\n"
    "\r\n"
    "[Colours]\r\n"
    "Hex=0x1F\r\n"
    "Dollar=$1F\r\n"
    "Bad=12abc\r\n"
    "Neg=-5\r\n"
    "Two=2\r\n"
    "Zero=0\r\n"
    "Big=0xFFFFFFFF\r\n"
    "Over=2147483648\r\n"
    "[ Personality ]\r\n"
    "LeftFrame=3\r\n"
    "[colours]\r\n"
    "Hex=99\r\n";

}  // namespace

TEST(QuickIniLoad, EveryLineEndGivesTheSameLines) {
    const auto crlf = Load("[A]\r\nx=1\r\ny=2\r\n").Lines();
    EXPECT_EQ(Load("[A]\nx=1\ny=2").Lines(), crlf);
    EXPECT_EQ(Load("[A]\rx=1\ry=2\r").Lines(), crlf);
    EXPECT_EQ(Load("[A]\r\nx=1\ny=2\r").Lines(), crlf);
    EXPECT_EQ(crlf, (std::vector<std::string>{"[A]", "x=1", "y=2"}));
}

TEST(QuickIniLoad, DropsBlankAndCommentLinesAndTrims) {
    const TQuickIni ini = Load("  ; comment\r\n\t\r\n   [S]  \r\n ;x=1\r\n\x01 k = v \x1f\r\n");
    EXPECT_EQ(ini.Lines(), (std::vector<std::string>{"[S]", "k = v"}));
    ASSERT_EQ(ini.Sections().size(), 1u);
    EXPECT_EQ(ini.Sections()[0].header, "[S]");
    EXPECT_EQ(ini.Sections()[0].line, 0);
    EXPECT_EQ(Saved(ini), "[S]\r\nk = v\r\n");
}

TEST(QuickIniLoad, ReadsFromTheStreamPositionAndStopsAtNul) {
    const std::string text = std::string("skip[A]\r\nx=1\r\ny=2", 17) + std::string("\0[B]\r\nz=3", 9);
    TMemoryStream m(std::vector<uint8_t>(text.begin(), text.end()));
    m.SetPosition(4);
    TQuickIni ini;
    ini.LoadFromStream(&m);
    EXPECT_EQ(ini.Lines(), (std::vector<std::string>{"[A]", "x=1", "y=2"}));
    ini.LoadFromStream(nullptr);  // a null stream changes nothing
    EXPECT_EQ(ini.Lines().size(), 3u);
}

TEST(QuickIniLoad, HostileTextsLoadWithoutFault) {
    // One very long line without an end, a text of NULs, only line ends.
    const std::string longLine = "[S]\n" + std::string(1 << 20, 'k') + "=" + std::string(1000, 'v');
    const TQuickIni a = Load(longLine);
    ASSERT_EQ(a.Lines().size(), 2u);
    EXPECT_EQ(a.ReadString("S", std::string(1 << 20, 'K'), "d"), std::string(1000, 'v'));
    EXPECT_TRUE(Load(std::string(100, '\0')).Lines().empty());
    EXPECT_TRUE(Load(std::string(100000, '\n')).Lines().empty());
    EXPECT_EQ(Load("[").Lines(), (std::vector<std::string>{"["}));
    EXPECT_TRUE(Load("[").Sections().empty());
}

class QuickIniStrings : public ::testing::TestWithParam<std::tuple<const char*, const char*, const char*>> {};

TEST_P(QuickIniStrings, ReadStringFollowsTheLookupRules) {
    const TQuickIni ini = Load(kSkin);
    const auto& [section, key, expected] = GetParam();
    EXPECT_EQ(ini.ReadString(section, key, "<default>"), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lookups, QuickIniStrings,
    ::testing::Values(std::make_tuple("Buttons", "bitmap", "Buttons.bmp"),
                      std::make_tuple("Buttons", "BITMAP", "Buttons.bmp"),
                      std::make_tuple("BUTTONS", "Bitmap", "Buttons.bmp"),
                      std::make_tuple("Buttons", " bitmap", "<default>"),        // the key is not trimmed
                      std::make_tuple("Buttons", "Empty", "<default>"),          // empty value
                      std::make_tuple("Buttons", "trans", "1"),                  // first occurrence wins
                      std::make_tuple("Buttons", "orphan", "<default>"),         // before any section
                      std::make_tuple("Buttons", "Hex", "<default>"),            // other section's key
                      std::make_tuple("Colours", "hex", "0x1F"),                 // first [Colours] wins
                      std::make_tuple("Personality", "LeftFrame", "<default>"),  // blanks inside brackets
                      std::make_tuple(" Personality ", "LeftFrame", "3"),
                      std::make_tuple("Missing", "x", "<default>")));

class QuickIniIntegers : public ::testing::TestWithParam<std::pair<const char*, int32_t>> {};

TEST_P(QuickIniIntegers, ReadIntegerTakesDecimalAndHexOrTheDefault) {
    const TQuickIni ini = Load(kSkin);
    EXPECT_EQ(ini.ReadInteger("Colours", GetParam().first, 77), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Values, QuickIniIntegers,
                         ::testing::Values(std::make_pair("Hex", 31), std::make_pair("Dollar", 31),
                                           std::make_pair("Bad", 77), std::make_pair("Neg", -5),
                                           std::make_pair("Big", -1), std::make_pair("Over", 77),
                                           std::make_pair("Missing", 77)));

TEST(QuickIniRead, ReadBoolIsTrueForAnyNonZeroNumber) {
    const TQuickIni ini = Load(kSkin);
    EXPECT_TRUE(ini.ReadBool("Colours", "Two", false));
    EXPECT_FALSE(ini.ReadBool("Colours", "Zero", true));
    EXPECT_TRUE(ini.ReadBool("Colours", "Missing", true));
    EXPECT_FALSE(ini.ReadBool("Colours", "Missing", false));
    EXPECT_FALSE(ini.ReadBool("Colours", "Bad", false));
}

TEST(QuickIniRead, SectionListings) {
    const TQuickIni ini = Load("[Colours]\r\nA=1\r\nnot a key\r\nB = 2\r\n[ Personality ]\r\n[Empty]\r\n");
    TStringList list;
    list.Add("stale");
    ini.ReadSections(list);
    EXPECT_EQ(Items(list), (std::vector<std::string>{"Colours", "Personality", "Empty"}));
    ini.ReadSection("colours", list);
    EXPECT_EQ(Items(list), (std::vector<std::string>{"a", "b"}));
    ini.ReadSectionValues("Colours", list);
    EXPECT_EQ(Items(list), (std::vector<std::string>{"A=1", "not a key", "B = 2"}));
    ini.ReadSection("Empty", list);
    EXPECT_TRUE(Items(list).empty());
    ini.ReadSectionValues("Missing", list);
    EXPECT_TRUE(Items(list).empty());
}

TEST(QuickIniWrite, NewKeyGoesBeforeTheNextHeaderAndLaterSectionsStillRead) {
    TQuickIni ini = Load("[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
    ini.WriteString("A", "NewKey", "v");
    EXPECT_EQ(ini.Lines(), (std::vector<std::string>{"[A]", "x=1", "NewKey=v", "[B]", "y=2"}));
    EXPECT_EQ(ini.ReadString("B", "y", ""), "2");
    EXPECT_EQ(ini.ReadString("A", "newkey", ""), "v");
    ExpectIndexTrue(ini);
}

TEST(QuickIniWrite, ReplacesAppendsAndAddsSections) {
    TQuickIni ini = Load("[A]\r\nKey=1\r\nkey=2\r\n");
    ini.WriteString("a", "KEY", "3");  // first occurrence replaced, key written as given
    EXPECT_EQ(ini.Lines(), (std::vector<std::string>{"[A]", "KEY=3", "key=2"}));
    ini.WriteString("A", "z", "last");  // end of the lines: appended
    EXPECT_EQ(ini.Lines().back(), "z=last");
    ini.WriteInteger("New", "n", -42);
    ini.WriteBool("New", "flag", true);
    ini.WriteBool("New", "off", false);
    ini.WriteString("Only", "", "ignored");
    EXPECT_EQ(ini.Lines(), (std::vector<std::string>{"[A]", "KEY=3", "key=2", "z=last", "[New]", "n=-42", "flag=1",
                                                     "off=0", "[Only]"}));
    EXPECT_EQ(ini.ReadInteger("New", "N", 0), -42);
    EXPECT_EQ(ini.ReadString("New", "flag", ""), "1");
    ExpectIndexTrue(ini);
}

TEST(QuickIniWrite, IndexStaysTrueWhenAWrittenLineLooksLikeAHeader) {
    TQuickIni ini = Load("[A]\r\n[B]\r\nb=1\r\n");
    ini.WriteString("A", "[x", "y]");
    ExpectIndexTrue(ini);
    EXPECT_EQ(ini.GetSectionIndex("B"), 2);
    EXPECT_EQ(ini.ReadString("B", "b", ""), "1");
}

TEST(QuickIniEdit, DeleteKeyAndEraseSectionKeepTheIndexTrue) {
    TQuickIni ini = Load("[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n[C]\r\nw=4\r\n");
    ini.DeleteKey("A", "X");
    EXPECT_EQ(ini.ReadString("A", "x", "gone"), "gone");
    EXPECT_EQ(ini.GetSectionIndex("B"), 2);
    ini.DeleteKey("A", "missing");
    ini.DeleteKey("Missing", "y");
    ini.DeleteKey("A", "");
    EXPECT_EQ(ini.Lines().size(), 6u);
    ExpectIndexTrue(ini);

    ini.EraseSection("b");  // not at line 0: an empty line stands in its place
    EXPECT_EQ(ini.Lines(), (std::vector<std::string>{"[A]", "y=2", "", "[C]", "w=4"}));
    EXPECT_EQ(ini.GetSectionIndex("B"), -1);
    EXPECT_EQ(ini.GetSectionIndex("C"), 3);
    EXPECT_EQ(ini.ReadString("C", "w", ""), "4");
    ExpectIndexTrue(ini);

    ini.EraseSection("A");  // at line 0 (taking the blank line it now ends with): no stand-in
    EXPECT_EQ(ini.Lines(), (std::vector<std::string>{"[C]", "w=4"}));
    ExpectIndexTrue(ini);
    EXPECT_EQ(Saved(ini), "[C]\r\nw=4\r\n");
}

TEST(QuickIniFiles, SavesAndLoadsPlainAndPackedFiles) {
    const std::string base = std::string(QUORIN_BINARY_DIR) + "/winskinini_test";
    TQuickIni ini = Load(kSkin);
    ini.SaveToFile(base + ".ini");
    ini.SavetoZip(base + ".zip");
    TQuickIni plain, packed;
    plain.LoadFromFile(base + ".ini");
    packed.LoadFromZip(base + ".zip");
    EXPECT_EQ(plain.Lines(), ini.Lines());
    EXPECT_EQ(packed.Lines(), ini.Lines());

    // The packed file is a packed skin of the saved text.
    TMemoryStream zip;
    zip.LoadFromFile(base + ".zip");
    const std::string text = Saved(ini);
    EXPECT_EQ(zip.Bytes(), PackSkinBytes(reinterpret_cast<const uint8_t*>(text.data()), text.size()));

    EXPECT_THROW(plain.LoadFromFile(base + ".missing"), EFOpenError);
    std::remove((base + ".ini").c_str());
    std::remove((base + ".zip").c_str());
}

TEST(QuickIniFiles, PackedFileDeclaringAnAbsurdSizeIsRefused) {
    const std::string path = std::string(QUORIN_BINARY_DIR) + "/winskinini_bad.zip";
    TMemoryStream(std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0x7F, 0, 0}).SaveToFile(path);
    TQuickIni ini = Load("[A]\r\n");
    EXPECT_THROW(ini.LoadFromZip(path), ElzhException);
    std::remove(path.c_str());
}
