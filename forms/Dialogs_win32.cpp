#include "forms/Dialogs.h"

#include "forms/SysUtils.h"
#include "forms/WinText.h"

#include <commdlg.h>

namespace quorin {

namespace {

using TFileDialogFunction = BOOL(WINAPI*)(OPENFILENAMEW*);

// The dialogs' library, with the shell libraries it brings, is loaded when a dialog is
// first asked for: linked, every start of the program would load them before its window.
TFileDialogFunction FileDialogFunction(bool Save) {
    static const HMODULE library = LoadLibraryExW(L"comdlg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!library) return nullptr;
    return reinterpret_cast<TFileDialogFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, Save ? "GetSaveFileNameW" : "GetOpenFileNameW")));
}

// The dialog wants the pairs separated by NUL and the list ended by two.
std::wstring FilterList(const std::string& Filter) {
    std::wstring out = ToWide(Filter);
    for (auto& c : out)
        if (c == L'|') c = L'\0';
    out.push_back(L'\0');
    out.push_back(L'\0');
    return out;
}

std::optional<std::string> Prompt(const TFileDialogArgs& Args, bool Save) {
    // Room for a long path; a name longer than the buffer ends the dialog with an error,
    // which reads as cancelled.
    std::wstring file(32768, L'\0');
    const std::wstring proposed = ToWide(Args.FileName);
    if (proposed.size() < file.size()) proposed.copy(file.data(), proposed.size());
    const std::wstring filter = FilterList(Args.Filter), title = ToWide(Args.Title), ext = ToWide(Args.DefaultExt),
                       dir = ToWide(Args.InitialDir);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = Args.Owner;
    ofn.lpstrFilter = Args.Filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = DWORD(file.size());
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
    ofn.lpstrInitialDir = dir.empty() ? nullptr : dir.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                (Save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const TFileDialogFunction show = FileDialogFunction(Save);
    if (!show) throw Exception("The file dialog is not available on this system");
    if (!show(&ofn)) return std::nullopt;
    return ToUtf8(file.c_str());
}

}  // namespace

std::optional<std::string> PromptForOpenFile(const TFileDialogArgs& Args) { return Prompt(Args, false); }
std::optional<std::string> PromptForSaveFile(const TFileDialogArgs& Args) { return Prompt(Args, true); }

}  // namespace quorin
