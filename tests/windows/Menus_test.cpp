// Menu shortcut texts and the item tree.
#include "forms/Menus.h"

#include <gtest/gtest.h>

using namespace quorin;

struct ShortCutCase {
    TShortCut shortcut;
    const char* text;
};

class MenuShortCut : public ::testing::TestWithParam<ShortCutCase> {};

TEST_P(MenuShortCut, Text) { EXPECT_EQ(ShortCutToText(GetParam().shortcut), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(Keys, MenuShortCut,
                         ::testing::Values(ShortCutCase{0, ""}, ShortCutCase{TShortCut(scCtrl | 'S'), "Ctrl+S"},
                                           ShortCutCase{TShortCut(scShift | VK_DELETE), "Shift+Del"},
                                           ShortCutCase{VK_F1, "F1"},
                                           ShortCutCase{TShortCut(scCtrl | scAlt | VK_F12), "Ctrl+Alt+F12"}));

TEST(Menus, ItemsNestAndAreFreedWithTheirParent) {
    TMainMenu menu(nullptr);
    auto* file = new TMenuItem(nullptr);
    auto* exit = new TMenuItem(nullptr);
    menu.Items()->Add(file);
    file->Add(exit);
    EXPECT_EQ(exit->GetParentMenu(), &menu);
    EXPECT_EQ(menu.FindItem(exit->Command()), exit);
    EXPECT_THROW(exit->Add(file), EComponentError) << "an item cannot hold its own parent";
    HMENU bar = menu.Handle();
    EXPECT_EQ(GetMenuItemCount(bar), 1);
    EXPECT_EQ(GetMenuItemCount(file->Handle()), 1);
    delete file;  // frees exit too
    EXPECT_EQ(menu.Items()->Count(), 0);
}
