#include "app/Settings.h"

#include "forms/WinText.h"

#include <windows.h>

namespace quorin {

namespace {

// The key, opened for what the caller needs; closed with the object.
class TSettingsKey {
public:
    explicit TSettingsKey(bool Write, bool Policy = false) {
        const LSTATUS s = Policy  ? RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPolicyKey, 0, KEY_READ, &FKey)
                          : Write ? RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0,
                                                    KEY_READ | KEY_WRITE, nullptr, &FKey, nullptr)
                                  : RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &FKey);
        if (s != ERROR_SUCCESS) FKey = nullptr;
    }
    ~TSettingsKey() {
        if (FKey) RegCloseKey(FKey);
    }
    TSettingsKey(const TSettingsKey&) = delete;
    TSettingsKey& operator=(const TSettingsKey&) = delete;
    HKEY Get() const { return FKey; }

private:
    HKEY FKey = nullptr;
};

// A value's raw UTF-16 data of the expected type, bounded; nullopt when absent or other.
std::optional<std::wstring> ReadRaw(const char* Name, DWORD Type, bool Policy = false) {
    TSettingsKey key(false, Policy);
    if (!key.Get()) return std::nullopt;
    const std::wstring name = ToWide(Name);
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || type != Type)
        return std::nullopt;
    // A remembered choice is short; anything huge is not ours.
    if (bytes > 64 * 1024) return std::nullopt;
    std::wstring data(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD got = DWORD(data.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got) !=
            ERROR_SUCCESS ||
        type != Type)
        return std::nullopt;
    data.resize(got / sizeof(wchar_t));
    return data;
}

bool WriteRaw(const char* Name, DWORD Type, const std::wstring& Data) {
    TSettingsKey key(true);
    if (!key.Get()) return false;
    return RegSetValueExW(key.Get(), ToWide(Name).c_str(), 0, Type, reinterpret_cast<const BYTE*>(Data.c_str()),
                          DWORD((Data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

std::optional<std::string> ReadText(const char* Name, bool Policy) {
    auto data = ReadRaw(Name, REG_SZ, Policy);
    if (!data) return std::nullopt;
    // The stored terminator, if any, and anything after it are not part of the text.
    const auto end = data->find(L'\0');
    if (end != std::wstring::npos) data->resize(end);
    return ToUtf8(*data);
}

}  // namespace

std::optional<std::string> ReadSetting(const char* Name) { return ReadText(Name, false); }

std::optional<std::string> ReadPolicy(const char* Name) { return ReadText(Name, true); }

bool PolicyFlag(const char* Name) {
    TSettingsKey key(false, true);
    DWORD type = 0, value = 0, bytes = sizeof value;
    return key.Get() &&
           RegQueryValueExW(key.Get(), ToWide(Name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes) ==
               ERROR_SUCCESS &&
           type == REG_DWORD && value != 0;
}

bool WriteSetting(const char* Name, const std::string& Value) { return WriteRaw(Name, REG_SZ, ToWide(Value)); }

std::vector<std::string> ReadSettingList(const char* Name) {
    std::vector<std::string> out;
    const auto data = ReadRaw(Name, REG_MULTI_SZ);
    if (!data) return out;
    std::size_t start = 0;
    while (start < data->size()) {
        std::size_t end = data->find(L'\0', start);
        if (end == std::wstring::npos) end = data->size();
        if (end == start) break;  // the empty text that closes the list
        out.push_back(ToUtf8(std::wstring_view(*data).substr(start, end - start)));
        start = end + 1;
    }
    return out;
}

bool WriteSettingList(const char* Name, const std::vector<std::string>& Values) {
    std::wstring data;
    for (const auto& v : Values) {
        if (v.empty()) continue;  // an empty text would end the list early
        data += ToWide(v);
        data.push_back(L'\0');
    }
    // WriteRaw adds the final terminator that closes the list.
    return WriteRaw(Name, REG_MULTI_SZ, data);
}

bool DeleteSetting(const char* Name) {
    TSettingsKey key(true);
    if (!key.Get()) return false;
    const LSTATUS s = RegDeleteValueW(key.Get(), ToWide(Name).c_str());
    return s == ERROR_SUCCESS || s == ERROR_FILE_NOT_FOUND;
}

}  // namespace quorin
