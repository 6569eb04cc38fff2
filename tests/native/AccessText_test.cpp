// What a screen reader is told of a caption: the text without its key marker, the key.
#include "forms/AccessText.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

struct TCaseText {
    const char* Caption;
    const char* Name;
    const char* Key;
    const char* Alt;          // AltShortcut without and with the first-character fallback
    const char* AltOrFirst;
};

TEST(AccessText, NameAndKeyOfACaption) {
    const TCaseText cases[] = {
        {"&Open", "Open", "O", "Alt+O", "Alt+O"},
        {"E&xit", "Exit", "X", "Alt+X", "Alt+X"},
        {"A && B", "A & B", "", "", "Alt+A"},
        {"&& &then", "& then", "T", "Alt+T", "Alt+T"},
        {"波特率(&B)：  ", "波特率：", "B", "Alt+B", "Alt+B"},
        {"Mode:     ", "Mode:", "", "", "Alt+M"},
        {"转换模式:     ", "转换模式:", "", "", "Alt+转"},
        {"&转换", "转换", "转", "Alt+转", "Alt+转"},
        {"Open profile...\tCtrl+O", "Open profile...", "", "", "Alt+O"},
        {"trailing &", "trailing &", "", "", "Alt+T"},
        {"&", "&", "", "", "Alt+&"},
        {"", "", "", "", ""},
        {"\tonly a shortcut", "", "", "", ""},
        {"& space", "space", "", "", "Alt+S"},
    };
    for (const TCaseText& c : cases) {
        SCOPED_TRACE(c.Caption);
        EXPECT_EQ(TextWithoutMarker(c.Caption), c.Name);
        EXPECT_EQ(MarkerKey(c.Caption), c.Key);
        EXPECT_EQ(AltShortcut(c.Caption), c.Alt);
        EXPECT_EQ(AltShortcut(c.Caption, true), c.AltOrFirst);
    }
    EXPECT_EQ(MenuShortcutText("Open profile...\tCtrl+O "), "Ctrl+O");
    EXPECT_EQ(MenuShortcutText("Exit"), "");
}

}  // namespace
}  // namespace quorin
