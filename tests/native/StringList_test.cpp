#include "forms/StringList.h"

#include <gtest/gtest.h>

using namespace quorin;

struct TextSplitCase {
    const char* text;
    std::vector<std::string> lines;
};

class StringListText : public ::testing::TestWithParam<TextSplitCase> {};

TEST_P(StringListText, SplitsAtAnyLineEnd) {
    TStringList l;
    l.SetText(GetParam().text);
    std::vector<std::string> got;
    for (int i = 0; i < l.Count(); ++i) got.push_back(l[i]);
    EXPECT_EQ(got, GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(LineEnds, StringListText,
                         ::testing::Values(TextSplitCase{"", {}}, TextSplitCase{"a", {"a"}},
                                           TextSplitCase{"a\r\nb\r\n", {"a", "b"}},
                                           TextSplitCase{"a\nb\rc", {"a", "b", "c"}},
                                           TextSplitCase{"\r\n\r\n", {"", ""}}, TextSplitCase{"x  \n", {"x  "}}));

TEST(StringList, ItemsCarryAnIntegerBesideTheirText) {
    TStringList l;
    l.AddObject("CAN0", 0);
    l.AddObject("CAN1", 1);
    l.Insert(0, "first");
    EXPECT_EQ(l.Objects(2), 1);
    EXPECT_EQ(l.IndexOfObject(1), 2);
    l.Exchange(0, 2);
    EXPECT_EQ(l[0], "CAN1");
    EXPECT_EQ(l.Objects(0), 1);
    l.Move(0, 2);
    EXPECT_EQ(l.CommaText(), "CAN0,first,CAN1");
}

TEST(StringList, OutOfRangeIndexesRaise) {
    TStringList l;
    l.Add("a");
    EXPECT_THROW(l.Get(1), EStringListError);
    EXPECT_THROW(l.Get(-1), EStringListError);
    EXPECT_THROW(l.Delete(1), EStringListError);
    EXPECT_THROW(l.Insert(2, "x"), EStringListError);
    EXPECT_NO_THROW(l.Insert(1, "x"));
}

TEST(StringList, NameValueLines) {
    TStringList l;
    l.SetText("TCheckBox=checkbox\r\nTPanel=panel\r\nnoequals\r\n");
    EXPECT_EQ(l.Values("tpanel"), "panel");
    EXPECT_EQ(l.Values("noequals"), "");
    EXPECT_EQ(l.Names(0), "TCheckBox");
    l.SetValue("TPanel", "nil");
    EXPECT_EQ(l[1], "TPanel=nil");
    l.SetValue("TPanel", "");
    EXPECT_EQ(l.Count(), 2);
}

TEST(StringList, CommaTextQuotesWhatNeedsIt) {
    TStringList l;
    l.Add("plain");
    l.Add("Extend   Frame");
    l.Add("say \"hi\"");
    l.Add("");
    const std::string text = l.CommaText();
    EXPECT_EQ(text, "plain,\"Extend   Frame\",\"say \"\"hi\"\"\",\"\"");
    TStringList back;
    back.SetCommaText(text);
    EXPECT_TRUE(back.Equals(l));
}

TEST(StringList, SortedListFindsAndRefusesDuplicatesWhenAsked) {
    TStringList l;
    l.SetSorted(true);
    l.Add("b");
    l.Add("a");
    l.Add("c");
    EXPECT_EQ(l.CommaText(), "a,b,c");
    EXPECT_EQ(l.Add("b"), 1) << "dupIgnore returns the existing line";
    EXPECT_EQ(l.Count(), 3);
    l.SetDuplicates(TDuplicates::dupError);
    EXPECT_THROW(l.Add("a"), EStringListError);
    EXPECT_THROW(l.Insert(0, "z"), EStringListError);
}

TEST(StringList, ChangeEventIsHeldBackDuringAnUpdate) {
    TStringList l;
    int changes = 0;
    l.OnChange = [&](TObject*) { ++changes; };
    l.BeginUpdate();
    l.Add("a");
    l.Add("b");
    EXPECT_EQ(changes, 0);
    l.EndUpdate();
    EXPECT_EQ(changes, 1);
    l.Add("c");
    EXPECT_EQ(changes, 2);
}
