// On Windows the skin engine's operator messages are warning message boxes without an
// owner window.
#include "skin/resources/Skinread.h"

#include <windows.h>

namespace quorin {

void DefaultSkinMessage(const std::string& text) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    MessageBoxW(nullptr, wide.c_str(), L"Warning", MB_OK | MB_ICONWARNING | MB_TASKMODAL);
}

}  // namespace quorin
