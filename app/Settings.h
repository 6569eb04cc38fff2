// The program's remembered choices, per user: values under
// HKEY_CURRENT_USER\Software\QUORIN\CANConfig. A value that is missing, of another type or
// unreadable reads as absent, and the program goes on with its default; a write that fails
// leaves the earlier value as it was.
//
// An administrator may fix some of them for every user of the PC: the same value names
// under HKEY_LOCAL_MACHINE\Software\Policies\QUORIN\CANConfig (where Group Policy writes
// them), which the program reads before the user's and does not let the menus change.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quorin {

// The registry key, below HKEY_CURRENT_USER.
inline constexpr wchar_t kSettingsKey[] = L"Software\\QUORIN\\CANConfig";

// The values: the language ("zh-CN" or "en"), the skin ("default", "none", a file name from
// skins\ beside the exe, or a full path) and the most recent profiles, newest first.
inline constexpr char kSettingLanguage[] = "Language";
inline constexpr char kSettingSkin[] = "Skin";
inline constexpr char kSettingRecentProfiles[] = "RecentProfiles";

// The policy key, below HKEY_LOCAL_MACHINE, and its value that forbids loading skin files
// from outside skins\ (REG_DWORD, non-zero: forbidden).
inline constexpr wchar_t kPolicyKey[] = L"Software\\Policies\\QUORIN\\CANConfig";
inline constexpr char kPolicyDisableSkinFiles[] = "DisableSkinFiles";

// A REG_SZ policy value, as UTF-8; nullopt when no policy sets it.
std::optional<std::string> ReadPolicy(const char* Name);
// A REG_DWORD policy value that is set and non-zero.
bool PolicyFlag(const char* Name);

// A REG_SZ value, as UTF-8.
std::optional<std::string> ReadSetting(const char* Name);
bool WriteSetting(const char* Name, const std::string& Value);

// A REG_MULTI_SZ value, as a list of UTF-8 texts (empty when absent).
std::vector<std::string> ReadSettingList(const char* Name);
bool WriteSettingList(const char* Name, const std::vector<std::string>& Values);

bool DeleteSetting(const char* Name);

}  // namespace quorin
