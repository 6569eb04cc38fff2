#include "app/Strings.h"

#include "forms/WinText.h"

#include <windows.h>

namespace quorin {

namespace {

struct TLanguageRow {
    TLanguage Language;
    const char* Code;
    LANGID Id;
};

constexpr TLanguageRow kLanguageRows[] = {
    {TLanguage::Chinese, "zh-CN", MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)},
    {TLanguage::English, "en", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)},
};

const TLanguageRow& RowOf(TLanguage Language) {
    for (const auto& r : kLanguageRows)
        if (r.Language == Language) return r;
    return kLanguageRows[0];
}

TLanguage GLanguage = TLanguage::Chinese;

}  // namespace

const char* LanguageCode(TLanguage Language) { return RowOf(Language).Code; }

std::optional<TLanguage> LanguageFromCode(std::string_view Code) {
    for (const auto& r : kLanguageRows)
        if (Code == r.Code) return r.Language;
    return std::nullopt;
}

TLanguage CurrentLanguage() { return GLanguage; }
void SetCurrentLanguage(TLanguage Language) { GLanguage = Language; }

std::string LoadStr(unsigned Id) { return LoadStr(Id, GLanguage); }

std::string LoadStr(unsigned Id, TLanguage Language) {
    // A string table resource holds 16 texts, each a length-prefixed UTF-16 run; the block
    // of id n is resource n / 16 + 1. LoadStringW would take the thread's language, not ours.
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC res = FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(Id / 16 + 1), RowOf(Language).Id);
    if (!res) return {};
    const HGLOBAL loaded = LoadResource(module, res);
    const auto* p = static_cast<const WCHAR*>(loaded ? LockResource(loaded) : nullptr);
    if (!p) return {};
    const DWORD size = SizeofResource(module, res) / sizeof(WCHAR);
    const WCHAR* end = p + size;
    for (unsigned i = 0; i < Id % 16; ++i) {
        if (p >= end || *p > end - p - 1) return {};
        p += 1 + *p;
    }
    if (p >= end || *p > end - p - 1) return {};
    return ToUtf8(std::wstring_view(p + 1, *p));
}

}  // namespace quorin
