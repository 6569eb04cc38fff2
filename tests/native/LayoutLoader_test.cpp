#include "forms/LayoutLoader.h"

#include "support/TestComponents.h"

#include <gtest/gtest.h>

using namespace quorin;
using namespace quorin::test;

namespace {

const char* kLayout = R"(Root1: TTestRoot {
  Tag = 3
  First: TTestThing {
    Count = 4
    Level = 255
    Flag = true
    Shape = shBox
    Options = <opRed, opBlue>
    Text = "转换参数   "
    Buddy = Second
    Part.Name = "Times New Roman"
    Part.Size = -21
    Lines = ["a", "b"]
    Items = ({ Caption = "Port" Width = 100 } { Caption = "Frame Type" })
    Data = bin{00FF10}
    OnClick = ThingClick
    OnCount = ThingCount
    Inner: TTestThing { Tag = 7 }
  }
  Second: TTestThing { OnClick = ThingClick Count = cntMany }
}
)";

}  // namespace

TEST(LayoutLoader, CreatesComponentsSetsPropertiesAndWiresHandlers) {
    TTestRoot root(nullptr);
    LoadLayoutText(&root, kLayout);
    EXPECT_EQ(root.Name(), "Root1");
    EXPECT_EQ(root.Tag(), 3);
    ASSERT_EQ(root.ComponentCount(), 3);
    EXPECT_EQ(root.Components(1)->Name(), "Inner") << "creation order is the order of the text";
    ASSERT_NE(root.First, nullptr);
    ASSERT_NE(root.Second, nullptr);
    TTestThing& f = *root.First;
    EXPECT_EQ(f.Count, 4);
    EXPECT_EQ(f.Level, 255);
    EXPECT_TRUE(f.Flag);
    EXPECT_EQ(f.Shape, TShape::shBox);
    EXPECT_EQ(f.Options, 5u);
    EXPECT_EQ(f.Text, "转换参数   ");
    EXPECT_EQ(f.Buddy, root.Second) << "a reference may name a component that comes later";
    EXPECT_EQ(f.Part.Name(), "Times New Roman");
    EXPECT_EQ(f.Part.Size(), -21);
    EXPECT_EQ(f.Lines.Text(), "a\r\nb\r\n");
    ASSERT_EQ(f.Items.Count(), 2);
    EXPECT_EQ(f.Items.ItemAs<TTestItem>(0)->Width, 100);
    EXPECT_EQ(f.Items.ItemAs<TTestItem>(1)->Width, 50);
    EXPECT_EQ(f.Data, (std::vector<uint8_t>{0x00, 0xFF, 0x10}));
    EXPECT_EQ(f.ParentSeen, &root);
    EXPECT_EQ(static_cast<TTestThing*>(root.FindComponent("Inner"))->ParentSeen, &f);
    EXPECT_EQ(f.LoadedCalls, 1);
    EXPECT_EQ(root.Second->Count, 1000) << "an integer property takes its named values";
    EXPECT_EQ(f.ComponentState() & csLoading, 0u);
    f.OnClick(&f);
    root.Second->OnClick(root.Second);
    EXPECT_EQ(root.Calls, (std::vector<std::string>{"click First", "click Second"}));
    int n = 1;
    f.OnCount(&f, n);
    EXPECT_EQ(n, 2);
}

TEST(LayoutLoader, StoredPropertiesReadBackEqual) {
    TTestRoot root(nullptr);
    LoadLayoutText(&root, kLayout);
    LayoutObject o;
    o.name = "Copy";
    o.className = "TTestThing";
    o.properties = StoredLayoutProperties(*root.First);
    o.properties.erase(std::remove_if(o.properties.begin(), o.properties.end(),
                                      [](const LayoutProperty& p) { return p.path == "Buddy"; }),
                       o.properties.end());
    TTestRoot other(nullptr);
    LayoutObject wrapper;
    wrapper.name = "Other";
    wrapper.className = "TTestRoot";
    o.name = "First";
    wrapper.children.push_back(o);
    LoadLayoutText(&other, WriteLayout(wrapper));
    TTestThing& c = *other.First;
    EXPECT_EQ(c.Options, 5u);
    EXPECT_EQ(c.Text, root.First->Text);
    EXPECT_EQ(c.Part.Name(), "Times New Roman");
    EXPECT_EQ(c.Items.ItemAs<TTestItem>(0)->Caption, "Port");
    EXPECT_EQ(c.Data, root.First->Data);
    EXPECT_EQ(c.Lines.Count(), 2);
}

struct FaultCase {
    const char* body;  // placed inside "R: TTestRoot {\n" ... "}" from line 2 on
    int line;
    const char* fragment;
};

class LayoutLoaderFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(LayoutLoaderFault, IsRefusedNamingTheLine) {
    TTestRoot root(nullptr);
    const std::string text = std::string("R: TTestRoot {\n") + GetParam().body + "\n}\n";
    try {
        LoadLayoutText(&root, text);
        FAIL() << "accepted:\n" << text;
    } catch (const ELayoutError& e) {
        EXPECT_EQ(e.Line(), GetParam().line) << e.what();
        EXPECT_NE(std::string(e.what()).find(GetParam().fragment), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, LayoutLoaderFault,
    ::testing::Values(
        FaultCase{"  A: TNoSuchClass {}", 2, "unknown class \"TNoSuchClass\""},
        FaultCase{"  A: TTestPart {}", 2, "cannot be created"},
        FaultCase{"  A: TTestThing {\n    Captoin = \"x\"\n  }", 3, "unknown property \"Captoin\" of TTestThing"},
        FaultCase{"  A: TTestThing { Part.Colour = 1 }", 2, "unknown property \"Colour\" of TTestPart"},
        FaultCase{"  A: TTestThing { Text.Size = 1 }", 2, "no properties of its own"},
        FaultCase{"  A: TTestThing {\n\n    Count = \"4\"\n  }", 4, "takes an integer, not a string"},
        FaultCase{"  A: TTestThing { Flag = 1 }", 2, "true or false"},
        FaultCase{"  A: TTestThing { Shape = shTriangle }", 2, "invalid value shTriangle"},
        FaultCase{"  A: TTestThing { Options = <opPink> }", 2, "invalid element opPink"},
        FaultCase{"  A: TTestThing { Level = 256 }", 2, "out of range"},
        FaultCase{"  A: TTestThing { Count = cntFew }", 2, "invalid value cntFew"},
        FaultCase{"  A: TTestThing { Tag = clRed }", 2, "takes an integer, not an identifier"},
        FaultCase{"  A: TTestThing { Tag = 0x100000000 }", 2, "out of range"},
        FaultCase{"  A: TTestThing { Count = -1 }", 2, "Count cannot be negative"},
        FaultCase{"  A: TTestThing { ReadOnlyNumber = 1 }", 2, "read-only"},
        FaultCase{"  A: TTestThing { Part = B }", 2, "is an object"},
        FaultCase{"  A: TTestThing { Buddy = Nobody }", 2, "unknown component \"Nobody\""},
        FaultCase{"  A: TTestThing {}\n  B: TTestThing { Buddy = R }", 3, "takes a TTestThing, but R is a TTestRoot"},
        FaultCase{"  A: TTestThing { OnClick = NoSuchHandler }", 2, "unknown event handler \"NoSuchHandler\""},
        FaultCase{"  A: TTestThing { OnClick = ThingCount }", 2, "does not fit the event OnClick"},
        FaultCase{"  A: TTestThing { Items = ({ Width = 1 }\n { Height = 2 }) }", 3,
                  "unknown property \"Height\" of TTestItem"},
        FaultCase{"  A: TTestThing { Lines = \"x\" }", 2, "takes a string list"},
        FaultCase{"  A: TTestThing { Data = \"00\" }", 2, "takes a binary value"},
        FaultCase{"  A: TTestThing {}\n  a: TTestThing {}", 3, "already exists"},
        FaultCase{"  First: TTestRoot {}", 2, "field wants a TTestThing"},
        FaultCase{"  A: TTestThing {\n  B: TTestThing { Tag = x }}", 3, "takes an integer, not an identifier"},
        FaultCase{"  A: TTestThing \n  { Count = 1", 1, "\"R\" is not closed"}));

TEST(LayoutLoader, ARefusedLayoutLeavesNothingHalfLoadedBehind) {
    auto* root = new TTestRoot(nullptr);
    EXPECT_THROW(LoadLayoutText(root, "R: TTestRoot { A: TTestThing {} B: TTestThing { Count = \"x\" } }"),
                 ELayoutError);
    EXPECT_EQ(root->ComponentState() & csLoading, 0u);
    EXPECT_EQ(root->ComponentCount(), 2);
    delete root;  // frees what was created so far
}
