#include "forms/LayoutText.h"

#include <gtest/gtest.h>

#include <random>

using namespace quorin;

namespace {

LayoutValue ValueOf(const std::string& valueText) {
    const LayoutObject o = ParseLayout("X: TX { P = " + valueText + " }");
    EXPECT_EQ(o.properties.size(), 1u);
    return o.properties.at(0).value;
}

}  // namespace

TEST(LayoutText, ReadsObjectsPropertiesAndChildrenInOrder) {
    const char* text = R"(# the About box
AboutBox: TAboutBox {
  Left = 200
  Caption = "About"
  Panel1: TPanel {
    BevelOuter = bvLowered
    ProductName: TLabel { Left = 88 Top = 16 Caption = "QUORIN" }
  }
  Font.Name = "MS Sans Serif"
  OKButton: TButton { Default = true OnClick = OKButtonClick }
}
)";
    const LayoutObject o = ParseLayout(text);
    EXPECT_EQ(o.name, "AboutBox");
    EXPECT_EQ(o.className, "TAboutBox");
    ASSERT_EQ(o.properties.size(), 3u);
    EXPECT_EQ(o.properties[2].path, "Font.Name");
    EXPECT_EQ(o.properties[2].line, 9);
    EXPECT_EQ(o.properties[2].column, 3);
    ASSERT_EQ(o.children.size(), 2u);
    EXPECT_EQ(o.children[0].name, "Panel1");
    EXPECT_EQ(o.children[0].children[0].Find("Top")->value.integer, 16);
    EXPECT_EQ(o.children[1].Find("OnClick")->value, LayoutValue::Ident("OKButtonClick"));
    EXPECT_EQ(o.children[1].Find("Default")->value, LayoutValue::Bool(true));
}

struct ValueCase {
    const char* text;
    LayoutValue expected;
};

class LayoutTextValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(LayoutTextValue, ReadsValue) { EXPECT_EQ(ValueOf(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Kinds, LayoutTextValue,
    ::testing::Values(
        ValueCase{"0", LayoutValue::Int(0)}, ValueCase{"-4", LayoutValue::Int(-4)},
        ValueCase{"0x8000000F", LayoutValue::Int(0x8000000F)}, ValueCase{"0xffffffffffffffff", LayoutValue::Int(-1)},
        ValueCase{"-9223372036854775808", LayoutValue::Int(INT64_MIN)},
        ValueCase{"9223372036854775807", LayoutValue::Int(INT64_MAX)}, ValueCase{"\"\"", LayoutValue::Str("")},
        ValueCase{"\"转换参数\"", LayoutValue::Str("转换参数")},
        ValueCase{"\"trailing   \"", LayoutValue::Str("trailing   ")},
        ValueCase{"\"a\\\"b\\\\c\\n\\r\\t\"", LayoutValue::Str("a\"b\\c\n\r\t")},
        ValueCase{"\"\\u00e9\\u8F6C\"", LayoutValue::Str("é转")},
        ValueCase{"\"\\uD83D\\uDE00\"", LayoutValue::Str("\xF0\x9F\x98\x80")},
        ValueCase{"\"ab\" + \"cd\"\n  + \"ef\"", LayoutValue::Str("abcdef")},
        ValueCase{"bsDialog", LayoutValue::Ident("bsDialog")}, ValueCase{"bin", LayoutValue::Ident("bin")},
        ValueCase{"false", LayoutValue::Bool(false)}, ValueCase{"[]", LayoutValue::StrList({})},
        ValueCase{"[\"0\", \"1\" + \"2\"]", LayoutValue::StrList({"0", "12"})}, ValueCase{"<>", LayoutValue::SetOf({})},
        ValueCase{"< xcMainMenu , xcCombo >", LayoutValue::SetOf({"xcMainMenu", "xcCombo"})},
        ValueCase{"bin{}", LayoutValue::Bin({})},
        ValueCase{"bin { 00 ff\n 7A\r\n }", LayoutValue::Bin({0x00, 0xFF, 0x7A})},
        ValueCase{"()", LayoutValue::ItemList({})}));

TEST(LayoutText, ReadsCollectionItems) {
    const LayoutValue v = ValueOf("( { Caption = \"Port\" Width = 100 } {} { Alignment = taCenter } )");
    ASSERT_EQ(v.kind, LayoutValueKind::Items);
    ASSERT_EQ(v.items.size(), 3u);
    EXPECT_EQ(v.items[0].properties[1].value, LayoutValue::Int(100));
    EXPECT_TRUE(v.items[1].properties.empty());
    EXPECT_EQ(v.items[2].properties[0].path, "Alignment");
}

struct BadCase {
    const char* text;
    int line;
    int column;
    const char* fragment;
};

class LayoutTextMalformed : public ::testing::TestWithParam<BadCase> {};

TEST_P(LayoutTextMalformed, IsRefusedNamingLineAndColumn) {
    const BadCase& c = GetParam();
    try {
        ParseLayout(c.text);
        FAIL() << "accepted: " << c.text;
    } catch (const ELayoutError& e) {
        EXPECT_EQ(e.Line(), c.line) << e.what();
        EXPECT_EQ(e.Column(), c.column) << e.what();
        EXPECT_NE(std::string(e.what()).find(c.fragment), std::string::npos) << e.what();
        EXPECT_EQ(std::string(e.what()).rfind("Layout line " + std::to_string(c.line) + ", column ", 0), 0u)
            << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, LayoutTextMalformed,
                         ::testing::Values(BadCase{"", 1, 1, "empty"}, BadCase{"  # only a comment\n", 2, 1, "empty"},
                                           BadCase{"A: TA {", 1, 1, "not closed"},
                                           BadCase{"A: TA {\n  B = 1\n", 1, 1, "not closed"},
                                           BadCase{"A TA {}", 1, 3, "expected ':'"},
                                           BadCase{"A: {}", 1, 4, "class name"},
                                           BadCase{"A: TA {}\nB: TB {}", 2, 1, "after the end"},
                                           BadCase{"A: TA {\n  Caption \"x\"\n}", 2, 11, "expected '='"},
                                           BadCase{"A: TA {\n  Caption = \"x\n}", 2, 13, "not closed"},
                                           BadCase{"A: TA { P = \"\\q\" }", 1, 15, "unknown escape"},
                                           BadCase{"A: TA { P = \"\\u12\" }", 1, 18, "4 hexadecimal"},
                                           BadCase{"A: TA { P = \"\\uD800x\" }", 1, 20, "surrogate"},
                                           BadCase{"A: TA { P = \"\xC3\x28\" }", 1, 14, "UTF-8"},
                                           BadCase{"A: TA { P = \"\xE8\xBD\" }", 1, 14, "UTF-8"},
                                           BadCase{"A: TA { P = \"\xC0\xAF\" }", 1, 14, "UTF-8"},
                                           BadCase{"A: TA { P = 99999999999999999999 }", 1, 13, "out of range"},
                                           BadCase{"A: TA { P = 0x11112222333344445 }", 1, 13, "16 digits"},
                                           BadCase{"A: TA { P = 12ab }", 1, 15, "in a number"},
                                           BadCase{"A: TA { P = - 3 }", 1, 14, "digits after '-'"},
                                           BadCase{"A: TA { P = 0x }", 1, 15, "hexadecimal digits"},
                                           BadCase{"A: TA { P = bin{ABC} }", 1, 20, "odd number"},
                                           BadCase{"A: TA { P = bin{AZ} }", 1, 18, "hexadecimal digits"},
                                           BadCase{"A: TA { P = bin{00", 1, 16, "not closed"},
                                           BadCase{"A: TA { P = [\"a\" \"b\"] }", 1, 18, "expected ',' or ']'"},
                                           BadCase{"A: TA { P = [\"a\",] }", 1, 18, "expected a string"},
                                           BadCase{"A: TA { P = <a b> }", 1, 16, "expected ',' or '>'"},
                                           BadCase{"A: TA { P = ({ W = 1 }", 1, 23, "'{' or ')'"},
                                           BadCase{"A: TA { P = \"a\" + 3 }", 1, 19, "string after '+'"},
                                           BadCase{"A: TA { P = }", 1, 13, "expected a value"},
                                           BadCase{"A: TA { Font. = 1 }", 1, 14, "after '.'"},
                                           BadCase{"A: TA { P = \"a\tb\x01\" }", 1, 17, "control character"}));

TEST(LayoutText, DeepNestingIsRefusedNotCrashing) {
    std::string text;
    for (int i = 0; i < 100000; ++i) text += "A: TA {\n";
    EXPECT_THROW(ParseLayout(text), ELayoutError);
    std::string items = "A: TA { P = ";
    for (int i = 0; i < 100000; ++i) items += "({ P = ";
    EXPECT_THROW(ParseLayout(items), ELayoutError);
}

TEST(LayoutText, NestingUpToTheLimitIsRead) {
    std::string text;
    for (int i = 0; i < kLayoutMaxDepth; ++i) text += "A: TA {\n";
    for (int i = 0; i < kLayoutMaxDepth; ++i) text += "}\n";
    EXPECT_NO_THROW(ParseLayout(text));
}

TEST(LayoutText, ByteOrderMarkIsSkipped) {
    EXPECT_EQ(ParseLayout("\xEF\xBB\xBF"
                          "A: TA {}")
                  .name,
              "A");
}

// The skin engine stores its packed skin and its skin store items as binary values: every
// byte must come back exactly, whatever the length.
class LayoutTextBinary : public ::testing::TestWithParam<size_t> {};

TEST_P(LayoutTextBinary, RoundTripsBytesExactly) {
    std::mt19937 rng{static_cast<unsigned>(GetParam())};
    std::vector<uint8_t> bytes(GetParam());
    for (auto& b : bytes) b = uint8_t(rng());
    LayoutObject o;
    o.name = "SkinData1";
    o.className = "TSkinData";
    o.properties.push_back({"SkinStream", LayoutValue::Bin(bytes)});
    const std::string text = WriteLayout(o);
    const LayoutObject back = ParseLayout(text);
    EXPECT_EQ(back.properties.at(0).value.bytes, bytes);
}

INSTANTIATE_TEST_SUITE_P(Lengths, LayoutTextBinary, ::testing::Values(0u, 1u, 31u, 32u, 33u, 4096u, 62827u));

TEST(LayoutText, WriterOutputReadsBackEqual) {
    LayoutObject root;
    root.name = "FormCANConfig";
    root.className = "TFormCANConfig";
    root.properties = {
        {"Caption", LayoutValue::Str("QUORIN 配置工具")},
        {"Color", LayoutValue::Int(int64_t(0x8000000F))},
        {"Font.Name", LayoutValue::Str("MS Sans Serif")},
        {"Label", LayoutValue::Str(std::string("quote\" back\\ nl\n cr\r tab\t del\x7f nul") + '\0' + " end" +
                                   std::string(200, 'x'))},
        {"Items", LayoutValue::StrList({"透明转换", "", "Extend   Frame"})},
        {"SkinControls", LayoutValue::SetOf({"xcMainMenu", "xcTab"})},
        {"Visible", LayoutValue::Bool(false)},
        {"OnClick", LayoutValue::Ident("Exit1Click")},
        {"Columns",
         LayoutValue::ItemList(
             {LayoutItem{{{"Caption", LayoutValue::Str("Port")}, {"Width", LayoutValue::Int(100)}}}, LayoutItem{}})},
        {"Empty", LayoutValue::ItemList({})},
    };
    LayoutObject child;
    child.name = "Exit1";
    child.className = "TMenuItem";
    root.children.push_back(child);
    const std::string text = WriteLayout(root);
    EXPECT_EQ(ParseLayout(text), root) << text;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find('\n', start);
        EXPECT_LE(end - start, 100u) << "long line in\n" << text;
        start = end + 1;
    }
}

TEST(LayoutText, WriterRefusesWhatTheFormatCannotHold) {
    LayoutObject o;
    o.name = "bad name";
    o.className = "TX";
    EXPECT_THROW(WriteLayout(o), Exception);
    o.name = "A";
    o.properties = {{"P", LayoutValue::Str("\xFF")}};
    EXPECT_THROW(WriteLayout(o), Exception);
    o.properties = {{"P", LayoutValue::Ident("true")}};
    EXPECT_THROW(WriteLayout(o), Exception);
}
