#include "profile/ProfileFile.h"

#include <windows.h>

#include <atomic>

#include "forms/Handles.h"

namespace quorin::profile {

namespace {

std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

// The system's sentence for an error code, as UTF-8 without the trailing full stop and
// line break.
std::string Reason(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD n =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = n && buffer ? std::wstring(buffer, n) : std::wstring();
    if (buffer) LocalFree(buffer);
    while (!text.empty() &&
           (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.'))
        text.pop_back();
    if (text.empty()) return "system error " + std::to_string(error);
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size, nullptr, nullptr);
    return utf8;
}

}  // namespace

bool ReadProfileFile(const std::string& path, std::string& text, std::string& why, std::size_t maxSize) {
    TKernelHandle file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        why = Reason(GetLastError());
        return false;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size)) {
        why = Reason(GetLastError());
        return false;
    }
    if (static_cast<uint64_t>(size.QuadPart) > maxSize) {
        why = TooLargeReason(maxSize);
        return false;
    }
    text.assign(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    const bool ok = text.empty() || ReadFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
    const DWORD error = GetLastError();
    file.Reset();
    if (!ok) {
        why = Reason(error);
        return false;
    }
    text.resize(read);  // the file may have shrunk since it was measured
    return true;
}

bool SaveProfileFile(const std::string& path, const std::string& text, std::string& why) {
    static std::atomic<unsigned> counter{0};
    const std::wstring target = Wide(path);
    const std::wstring temp =
        target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++) + L".tmp";
    TKernelHandle file(
        CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        why = Reason(GetLastError());
        return false;
    }
    DWORD written = 0;
    bool ok = text.empty() || (WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                               written == text.size());
    // On the disk before the name points at it, or a crash could leave an empty profile.
    ok = ok && FlushFileBuffers(file.Get());
    DWORD error = ok ? 0 : GetLastError();
    // Closed before the rename: a file still open cannot take the profile's name.
    file.Reset();
    // One step that replaces an existing profile; a plain rename refuses an existing target.
    if (ok && !MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ok = false;
        error = GetLastError();
    }
    if (!ok) {
        why = Reason(error ? error : ERROR_WRITE_FAULT);
        DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace quorin::profile
