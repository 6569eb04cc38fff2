// Text conversion, polling and the small window queries the rest of the harness shares.
#include "GuiHarness.h"

namespace quorin::gui {

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring out(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), out.data(), n);
    return out;
}

std::string Narrow(const std::wstring& wide) {
    if (wide.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring HostPath(const std::string& path) {
    std::wstring wide = Widen(path);
    if (!wide.empty() && wide[0] == L'/') {
        for (auto& ch : wide)
            if (ch == L'/') ch = L'\\';
        wide = L"Z:" + wide;
    }
    return wide;
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs, DWORD pollMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(pollMs);
    }
}

bool WaitMainWindowSkinned(HWND main, DWORD timeoutMs) {
    return WaitUntil(
        [&] {
            DWORD_PTR answer = 0;
            if (!SendMessageTimeoutW(main, 0x3523, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer) || answer != 1) return false;
            RECT window{}, client{};
            GetWindowRect(main, &window);
            GetClientRect(main, &client);
            return (window.right - window.left) - client.right == 8;
        },
        timeoutMs);
}

std::string WindowText(HWND window) {
    if (!window) return {};
    // WM_GETTEXT is marshalled across processes; a hung program must not hang the test.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), LPARAM(text.data()), SMTO_ABORTIFHUNG, 5000, &copied))
        return {};
    text.resize(copied);
    return Narrow(text);
}

std::string ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return Narrow(name);
}

std::string QuorinNameOf(HWND window) {
    const auto atom = ATOM(UINT_PTR(GetPropW(window, L"QuorinName")));
    if (!atom) return {};
    wchar_t name[256] = {};
    UINT n = GlobalGetAtomNameW(atom, name, 256);
    return Narrow(std::wstring(name, n));
}

RemoteBuffer::RemoteBuffer(HANDLE process, size_t size) : process_(process) {
    address_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteBuffer::~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
}

bool RemoteBuffer::Write(const void* data, size_t size, size_t offset) const {
    SIZE_T done = 0;
    return address_ && WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, &done) &&
           done == size;
}

bool RemoteBuffer::Read(void* data, size_t size, size_t offset) const {
    SIZE_T done = 0;
    return address_ && ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, &done) &&
           done == size;
}


std::optional<std::wstring> RememberedSkin() {
    wchar_t buf[1024] = {};
    DWORD size = sizeof buf;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\QUORIN\\CANConfig", L"Skin", RRF_RT_REG_SZ, nullptr, buf, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buf);
}

void SetRememberedSkin(const std::optional<std::wstring>& value) {
    if (!value) {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\QUORIN\\CANConfig", L"Skin");
        return;
    }
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\QUORIN\\CANConfig", L"Skin", REG_SZ, value->c_str(),
                    DWORD((value->size() + 1) * sizeof(wchar_t)));
}

}  // namespace quorin::gui
