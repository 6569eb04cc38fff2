// What an assistive client (a screen reader) is told of a caption: the text without its
// access-key marker, and the key itself. Captions mark their key with "&" ("&Open",
// "A && B" for a literal "&"); texts of the Chinese tables mark it the Windows way, with
// the key in brackets after the words ("波特率(&B)："), which is dropped whole since the
// key is told apart. Portable (tested natively); texts are UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace quorin {

// The caption as it reads: marker dropped ("&&" becomes "&"), a bracketed marker dropped
// whole, blanks at either end trimmed, and for a menu item's text whatever follows a tab
// (its shortcut's description) left out.
std::string TextWithoutMarker(std::string_view Caption);

// The access key of a caption, upper-cased where it is a letter: the character after the
// first single "&" ("" when there is none or the "&" is last).
std::string MarkerKey(std::string_view Caption);

// The access key as a shortcut: "Alt+B", or "" without a marker. A menu bar's item
// without a marker is opened by its first character, as the system's menu bars do
// (FirstCharacter).
std::string AltShortcut(std::string_view Caption, bool FirstCharacter = false);

// The part of a menu item's text after its tab ("Ctrl+O"), or "".
std::string MenuShortcutText(std::string_view Caption);

}  // namespace quorin
