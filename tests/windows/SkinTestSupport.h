// Helpers shared by the in-process tests of the skin applier: the program's own skin,
// loaded without activating it, and a way to read a pixel of what a painter drew.
#pragma once

#include <windows.h>

#include <string>

#include "forms/LayoutLoader.h"
#include "forms/LayoutText.h"
#include "skin/resources/Winskindata.h"

namespace quorin::skintest {

inline std::string ResourceText(const wchar_t* name) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, name, MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (!info) return {};
    HGLOBAL data = LoadResource(module, info);
    const char* bytes = static_cast<const char*>(LockResource(data));
    return std::string(bytes, SizeofResource(module, info));
}

// Reads the default skin of the main window's layout into the component (its elements
// and colours), without registering it with a skin manager.
inline bool LoadDefaultSkin(TSkinData& skin) {
    LayoutObject form = ParseLayout(ResourceText(L"TFORMCANCONFIG"));
    const LayoutObject* stored = form.Child("SkinData1");
    if (!stored) return false;
    const LayoutProperty* stream = stored->Find("SkinStream");
    if (!stream) return false;
    ApplyLayoutProperty(&skin, *stream, nullptr);
    return !skin.Loading();
}

inline void PumpMessages(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    MSG msg;
    do {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    } while (GetTickCount() - start < milliseconds);
}

} // namespace quorin::skintest
