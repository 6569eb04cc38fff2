// The program's languages and the texts it shows in them, read from the string tables of
// the resource script (app/Strings.rc; ids in app/StringIds.h). The language in force is
// the program's, not the system's: the operator chooses it in the Language menu, and it is
// remembered per user (app/Settings.h, value "Language").
#pragma once

#include "app/StringIds.h"

#include <optional>
#include <string>
#include <string_view>

namespace quorin {

enum class TLanguage { Chinese, English };

// Every language the tables have, in menu order.
inline constexpr TLanguage kLanguages[] = {TLanguage::Chinese, TLanguage::English};

// The language's word in the settings ("zh-CN", "en") and back; an unknown word is nullopt.
const char* LanguageCode(TLanguage Language);
std::optional<TLanguage> LanguageFromCode(std::string_view Code);

// The language texts are loaded in from now on. Setting it changes no window: the windows
// relabel themselves when the operator switches.
TLanguage CurrentLanguage();
void SetCurrentLanguage(TLanguage Language);

// The text of an id as UTF-8, in the current or the given language; "" when that language
// has no such text (a test makes sure none is missing).
std::string LoadStr(unsigned Id);
std::string LoadStr(unsigned Id, TLanguage Language);

}  // namespace quorin
