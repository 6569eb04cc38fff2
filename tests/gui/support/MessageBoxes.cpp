// Message boxes of the program: dialogs of class #32770 whose text is a static control.
#include "GuiHarness.h"

namespace quorin::gui {
namespace {

BOOL CALLBACK CollectChildren(HWND w, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
    return TRUE;
}

MessageBoxInfo Describe(HWND box) {
    MessageBoxInfo info;
    info.window = box;
    info.caption = WindowText(box);
    std::vector<HWND> children;
    EnumChildWindows(box, CollectChildren, LPARAM(&children));
    std::string longest;
    for (HWND c : children) {
        const std::string cls = ClassOf(c);
        const int id = GetDlgCtrlID(c);
        if (_stricmp(cls.c_str(), "Button") == 0) {
            info.buttons.emplace_back(id, WindowText(c));
        } else if (_stricmp(cls.c_str(), "Static") == 0) {
            // The message is the static with id 0xFFFF; the icon is a static without text.
            std::string t = WindowText(c);
            if (id == 0xFFFF && !t.empty()) info.text = t;
            if (t.size() > longest.size()) longest = t;
        }
    }
    if (info.text.empty()) info.text = longest;
    return info;
}

}  // namespace

std::optional<MessageBoxInfo> RunningApp::CurrentMessageBox() const {
    for (HWND w : TopLevelWindows())
        if (ClassOf(w) == "#32770") return Describe(w);
    return std::nullopt;
}

std::optional<MessageBoxInfo> RunningApp::WaitMessageBox(DWORD timeoutMs) const {
    std::optional<MessageBoxInfo> box;
    WaitUntil(
        [&] {
            box = CurrentMessageBox();
            return box.has_value();
        },
        timeoutMs);
    return box;
}

bool RunningApp::PressButton(const MessageBoxInfo& box, int id) {
    HWND button = GetDlgItem(box.window, id);
    if (!button) return false;
    // The same notification a click on the button sends to the box.
    PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(button));
    return WaitUntil([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); });
}

}  // namespace quorin::gui
