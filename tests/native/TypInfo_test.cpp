#include "forms/TypInfo.h"

#include "support/TestComponents.h"

#include <gtest/gtest.h>

using namespace quorin;
using namespace quorin::test;

struct TextCase {
    const char* path;
    const char* set;
    const char* expected;  // GetPropValue after SetPropValue
};

class TypInfoText : public ::testing::TestWithParam<TextCase> {};

TEST_P(TypInfoText, SetsAndReadsBackAsText) {
    TTestThing t(nullptr);
    SetPropValue(&t, GetParam().path, GetParam().set);
    EXPECT_EQ(GetPropValue(&t, GetParam().path), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Kinds, TypInfoText,
                         ::testing::Values(TextCase{"Tag", "99", "99"}, TextCase{"Tag", "0x15B3", "5555"},
                                           TextCase{"Count", "$10", "16"}, TextCase{"Flag", "True", "True"},
                                           TextCase{"Flag", "false", "False"}, TextCase{"Shape", "SHROUND", "shRound"},
                                           TextCase{"Options", "[opBlue, opRed]", "[opRed,opBlue]"},
                                           TextCase{"Options", "", "[]"},
                                           TextCase{"Text", " blanks kept ", " blanks kept "},
                                           TextCase{"Part.Name", "Times New Roman", "Times New Roman"},
                                           TextCase{"Part.Size", "-21", "-21"}));

TEST(TypInfo, ReadsKindsAndAbsentProperties) {
    TTestThing t(nullptr);
    EXPECT_EQ(PropType(&t, "Lines"), TPropKind::Strings);
    EXPECT_EQ(PropType(&t, "Items"), TPropKind::Collection);
    EXPECT_EQ(PropType(&t, "Data"), TPropKind::Binary);
    EXPECT_EQ(PropType(&t, "OnClick"), TPropKind::Method);
    EXPECT_EQ(PropType(&t, "Buddy"), TPropKind::Object);
    EXPECT_FALSE(IsPublishedProp(&t, "Caption"));
    EXPECT_FALSE(IsPublishedProp(&t, "Part.Colour"));
    EXPECT_FALSE(IsPublishedProp(&t, "Text.Length")) << "a string has no sub-properties";
    EXPECT_FALSE(IsPublishedProp(nullptr, "Tag"));
    EXPECT_EQ(GetPropValue(&t, "Lines"), "");
    EXPECT_THROW(GetPropValue(&t, "Caption"), EPropertyError);
}

TEST(TypInfo, RefusesBadValues) {
    TTestThing t(nullptr);
    EXPECT_THROW(SetPropValue(&t, "Tag", "12x"), EConvertError);
    EXPECT_THROW(SetPropValue(&t, "Shape", "shTriangle"), EPropertyError);
    EXPECT_THROW(SetPropValue(&t, "Options", "opRed,opPink"), EPropertyError);
    EXPECT_THROW(SetPropValue(&t, "ReadOnlyNumber", "1"), EPropertyError);
    EXPECT_THROW(SetOrdProp(&t, "Shape", 3), EPropertyError);
    EXPECT_THROW(SetStrProp(&t, "Tag", "1"), EPropertyError);
    EXPECT_THROW(SetPropValue(&t, "Lines", "x"), EPropertyError);
    EXPECT_EQ(t.Shape, TShape::shNone);
}

TEST(TypInfo, ObjectPropertiesCheckTheClass) {
    TTestRoot root(nullptr);
    auto* a = new TTestThing(&root);
    auto* b = new TTestThing(&root);
    SetObjectProp(a, "Buddy", b);
    EXPECT_EQ(GetObjectProp(a, "Buddy"), b);
    EXPECT_THROW(SetObjectProp(a, "Buddy", &root), EPropertyError);
    EXPECT_EQ(GetObjectProp(a, "Part"), &a->Part);
    EXPECT_THROW(SetObjectProp(a, "Part", nullptr), EPropertyError) << "a part cannot be replaced";
}

TEST(TypInfo, EventsTakeHandlersOfTheirOwnSignatureOnly) {
    TTestThing t(nullptr);
    EXPECT_FALSE(IsMethodAssigned(&t, "OnClick"));
    int clicks = 0;
    SetMethodProp(&t, "OnClick", std::any(TNotifyEvent([&](TObject*) { ++clicks; })));
    EXPECT_TRUE(IsMethodAssigned(&t, "OnClick"));
    t.OnClick(&t);
    EXPECT_EQ(clicks, 1);
    EXPECT_THROW(SetMethodProp(&t, "OnCount", std::any(TNotifyEvent([](TObject*) {}))), EPropertyError);
    const std::any saved = GetMethodProp(&t, "OnClick");
    SetMethodProp(&t, "OnClick", std::any());
    EXPECT_FALSE(IsMethodAssigned(&t, "OnClick"));
    SetMethodProp(&t, "OnClick", saved);
    t.OnClick(&t);
    EXPECT_EQ(clicks, 2);
}
