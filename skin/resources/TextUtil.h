// Small text rules shared by the skin archive and the INI store. Skin texts are
// single-byte; only the ASCII letters have a case here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorin {

// Splits a text into lines as a string list does: a line ends at CR, LF or CR LF, and a
// final line end adds no empty line.
std::vector<std::string> SplitLines(std::string_view text);

// Lower-cases the letters A to Z only.
std::string LowerCaseAscii(std::string text);

// Removes leading and trailing characters with codes 0 to 32.
std::string_view TrimControl(std::string_view text);

}  // namespace quorin
