#include "app/WarningBox.h"

#include "forms/WinText.h"

#include <windows.h>

namespace quorin {

void ShowWarningBox(const std::string& Text, const std::string& Caption) {
    // MB_TASKMODAL: without an owner a box would leave every other window of the thread
    // enabled, and a second click or a close of the main window would run while this
    // handler is still waiting for the answer.
    MessageBoxW(nullptr, ToWide(Text).c_str(), ToWide(Caption).c_str(), MB_OK | MB_ICONWARNING | MB_TASKMODAL);
}

}  // namespace quorin
