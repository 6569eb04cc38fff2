// UTF-8 <-> UTF-16 at the boundary to the W API. Windows only.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace quorin {

inline std::wstring ToWide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring out(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), out.data(), n);
    return out;
}

inline std::string ToUtf8(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// Wide text as the portable code's UTF-16 text: the same code units.
inline std::u16string ToU16(std::wstring_view wide) { return std::u16string(wide.begin(), wide.end()); }

// The text of a window, whatever its length.
inline std::wstring WindowTextW(HWND hwnd) {
    const int len = GetWindowTextLengthW(hwnd);
    if (len <= 0) return {};
    std::wstring text(size_t(len) + 1, L'\0');
    const int got = GetWindowTextW(hwnd, text.data(), len + 1);
    text.resize(size_t(got > 0 ? got : 0));
    return text;
}

}  // namespace quorin
