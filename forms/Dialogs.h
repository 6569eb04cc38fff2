// The system's file dialogs, asked for one path. Windows only.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace quorin {

struct TFileDialogArgs {
    HWND Owner = nullptr;
    std::string Title;       // "" for the system's own
    std::string Filter;      // pairs of description and pattern: "Profiles (*.json)|*.json|All files (*.*)|*.*"
    std::string DefaultExt;  // added to a typed name without one: "json"
    std::string FileName;    // proposed name or path
    std::string InitialDir;
};

// The path the operator chose (UTF-8), or nullopt when the dialog was cancelled. The open
// dialog takes only an existing file; the save dialog asks before replacing one.
std::optional<std::string> PromptForOpenFile(const TFileDialogArgs& Args);
std::optional<std::string> PromptForSaveFile(const TFileDialogArgs& Args);

}  // namespace quorin
