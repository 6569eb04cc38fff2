// Reading and operating the program's controls from outside. Messages whose arguments
// are pointers (list view, tab and status bar texts) go through a RemoteBuffer in the
// program's address space; plain text messages are marshalled by the system.
#include "GuiHarness.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace quorin::gui {
namespace {

constexpr DWORD kSendTimeout = 5000;

LRESULT Send(HWND w, UINT msg, WPARAM wp = 0, LPARAM lp = 0, DWORD timeout = kSendTimeout, bool* ok = nullptr) {
    DWORD_PTR result = 0;
    const bool sent = SendMessageTimeoutW(w, msg, wp, lp, SMTO_NORMAL, timeout, &result) != 0;
    if (ok) *ok = sent;
    return LRESULT(result);
}

// Asks a list view or tab control for a text into remote memory and reads it back.
// `header` is the structure the message takes, `textField` the offset of its pszText
// pointer; the text buffer follows the structure in the same allocation.
template <class T>
std::string RemoteText(HANDLE process, HWND w, UINT msg, WPARAM wp, T item, LPWSTR T::*textField, int T::*maxField) {
    constexpr int kChars = 1024;
    RemoteBuffer mem(process, sizeof(T) + kChars * sizeof(wchar_t));
    if (!mem) return {};
    auto* remoteText = reinterpret_cast<wchar_t*>(static_cast<char*>(mem.Address()) + sizeof(T));
    item.*textField = remoteText;
    item.*maxField = kChars;
    std::vector<wchar_t> text(kChars, L'\0');
    if (!mem.Write(&item, sizeof item) || !mem.Write(text.data(), text.size() * sizeof(wchar_t), sizeof(T))) return {};
    Send(w, msg, wp, LPARAM(mem.Address()));
    if (!mem.Read(text.data(), text.size() * sizeof(wchar_t), sizeof(T))) return {};
    text.back() = L'\0';
    return Narrow(text.data());
}

}  // namespace

HWND RunningApp::ControlOrFail(const std::string& name, const char* what) const {
    HWND w = Window(name);
    if (w && (!IsWindowEnabled(w) || !IsWindowVisible(w))) {
        ADD_FAILURE() << "cannot " << what << " " << name << ": it is "
                      << (!IsWindowVisible(w) ? "not showing" : "disabled");
        return nullptr;
    }
    return w;
}

std::string RunningApp::Text(const std::string& name) const { return WindowText(Window(name)); }

bool RunningApp::Enabled(const std::string& name) const {
    HWND w = Window(name);
    return w && IsWindowEnabled(w);
}

bool RunningApp::Visible(const std::string& name) const {
    HWND w = Window(name);
    return w && (GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE);
}

bool RunningApp::Showing(const std::string& name) const {
    HWND w = Window(name);
    return w && IsWindowVisible(w);
}

bool RunningApp::Checked(const std::string& name) const {
    HWND w = Window(name);
    return w && Send(w, BM_GETCHECK) == BST_CHECKED;
}

RECT RunningApp::ClientRectIn(const std::string& name, HWND reference) const {
    RECT r{};
    if (HWND w = Window(name)) {
        GetWindowRect(w, &r);
        MapWindowPoints(HWND_DESKTOP, reference, reinterpret_cast<POINT*>(&r), 2);
    }
    return r;
}

std::vector<std::string> RunningApp::ComboItems(const std::string& name) const {
    std::vector<std::string> items;
    HWND w = Window(name);
    if (!w) return items;
    const int count = int(Send(w, CB_GETCOUNT));
    for (int i = 0; i < count; ++i) {
        const int len = int(Send(w, CB_GETLBTEXTLEN, i));
        std::wstring text(size_t(len < 0 ? 0 : len) + 1, L'\0');
        const int got = int(Send(w, CB_GETLBTEXT, i, LPARAM(text.data())));
        text.resize(got < 0 ? 0 : size_t(got));
        items.push_back(Narrow(text));
    }
    return items;
}

int RunningApp::ComboIndex(const std::string& name) const {
    HWND w = Window(name);
    return w ? int(Send(w, CB_GETCURSEL)) : -1;
}

intptr_t RunningApp::ComboItemData(const std::string& name, int index) const {
    HWND w = Window(name);
    return w ? intptr_t(Send(w, CB_GETITEMDATA, index)) : -1;
}

std::vector<std::string> RunningApp::ListColumns(const std::string& name) const {
    std::vector<std::string> columns;
    HWND w = Window(name);
    if (!w) return columns;
    HWND header = HWND(Send(w, LVM_GETHEADER));
    const int count = header ? int(Send(header, HDM_GETITEMCOUNT)) : 0;
    for (int i = 0; i < count; ++i) {
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT;
        columns.push_back(
            RemoteText(pi_.hProcess, w, LVM_GETCOLUMNW, WPARAM(i), col, &LVCOLUMNW::pszText, &LVCOLUMNW::cchTextMax));
    }
    return columns;
}

std::vector<std::vector<std::string>> RunningApp::ListRows(const std::string& name) const {
    std::vector<std::vector<std::string>> rows;
    HWND w = Window(name);
    if (!w) return rows;
    HWND header = HWND(Send(w, LVM_GETHEADER));
    const int columns = header ? int(Send(header, HDM_GETITEMCOUNT)) : 1;
    const int count = int(Send(w, LVM_GETITEMCOUNT));
    for (int r = 0; r < count; ++r) {
        std::vector<std::string> row;
        for (int c = 0; c < (columns < 1 ? 1 : columns); ++c) {
            LVITEMW item{};
            item.iSubItem = c;
            row.push_back(RemoteText(pi_.hProcess, w, LVM_GETITEMTEXTW, WPARAM(r), item, &LVITEMW::pszText,
                                     &LVITEMW::cchTextMax));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<int> RunningApp::SelectedRows(const std::string& name) const {
    std::vector<int> rows;
    HWND w = Window(name);
    if (!w) return rows;
    const int count = int(Send(w, LVM_GETITEMCOUNT));
    for (int r = 0; r < count; ++r)
        if (Send(w, LVM_GETITEMSTATE, r, LVIS_SELECTED) & LVIS_SELECTED) rows.push_back(r);
    return rows;
}

std::string RunningApp::StatusPanelText(const std::string& name, int panel) const {
    HWND w = Window(name);
    if (!w) return {};
    const int len = LOWORD(Send(w, SB_GETTEXTLENGTHW, panel));
    RemoteBuffer mem(pi_.hProcess, (size_t(len) + 1) * sizeof(wchar_t));
    if (!mem) return {};
    Send(w, SB_GETTEXTW, panel, LPARAM(mem.Address()));
    std::wstring text(size_t(len) + 1, L'\0');
    if (!mem.Read(text.data(), text.size() * sizeof(wchar_t))) return {};
    text.resize(size_t(len));
    // Leading tabs only centre or right-align the text in the panel.
    text.erase(0, text.find_first_not_of(L'\t') == std::wstring::npos ? text.size() : text.find_first_not_of(L'\t'));
    return Narrow(text);
}

std::vector<std::string> RunningApp::TabCaptions(const std::string& name) const {
    std::vector<std::string> tabs;
    HWND w = Window(name);
    if (!w) return tabs;
    const int count = int(Send(w, TCM_GETITEMCOUNT));
    for (int i = 0; i < count; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        tabs.push_back(
            RemoteText(pi_.hProcess, w, TCM_GETITEMW, WPARAM(i), item, &TCITEMW::pszText, &TCITEMW::cchTextMax));
    }
    return tabs;
}

int RunningApp::TabIndex(const std::string& name) const {
    HWND w = Window(name);
    return w ? int(Send(w, TCM_GETCURSEL)) : -1;
}

bool RunningApp::Click(const std::string& name, DWORD timeoutMs) {
    HWND w = ControlOrFail(name, "click");
    if (!w) return false;
    bool sent = false;
    Send(w, BM_CLICK, 0, 0, timeoutMs, &sent);
    if (!sent)
        ADD_FAILURE() << "the click on " << name << " did not return within " << timeoutMs
                      << " ms (a modal window? use ClickAsync)";
    return sent;
}

bool RunningApp::ClickAsync(const std::string& name) {
    HWND w = ControlOrFail(name, "click");
    return w && PostMessageW(w, BM_CLICK, 0, 0);
}

bool RunningApp::SelectComboIndex(const std::string& name, int index) {
    HWND w = ControlOrFail(name, "choose an item of");
    if (!w) return false;
    if (index < 0 || index >= int(Send(w, CB_GETCOUNT))) {
        ADD_FAILURE() << name << " has no item " << index;
        return false;
    }
    Send(w, CB_SETCURSEL, index);
    // A pick from the drop-down ends with this notification to the parent.
    bool sent = false;
    Send(GetParent(w), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(w), CBN_SELCHANGE), LPARAM(w), 15000, &sent);
    return sent;
}

bool RunningApp::SelectComboText(const std::string& name, const std::string& text) {
    const auto items = ComboItems(name);
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == text) return SelectComboIndex(name, int(i));
    ADD_FAILURE() << name << " has no item \"" << text << "\"";
    return false;
}

bool RunningApp::SetText(const std::string& name, const std::string& text) {
    HWND w = ControlOrFail(name, "type into");
    if (!w) return false;
    const std::wstring wide = Widen(text);
    bool sent = false;
    Send(w, WM_SETTEXT, 0, LPARAM(wide.c_str()), kSendTimeout, &sent);
    return sent;
}

bool RunningApp::SelectRows(const std::string& name, const std::vector<int>& rows) {
    HWND w = ControlOrFail(name, "select rows of");
    if (!w) return false;
    RemoteBuffer mem(pi_.hProcess, sizeof(LVITEMW));
    if (!mem) return false;
    auto set = [&](int row, UINT state) {
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED;
        item.state = state;
        return mem.Write(&item, sizeof item) && Send(w, LVM_SETITEMSTATE, WPARAM(row), LPARAM(mem.Address()));
    };
    bool ok = set(-1, 0);  // row -1: every row
    for (int r : rows) ok = set(r, LVIS_SELECTED) && ok;
    return ok;
}

bool RunningApp::SelectTab(const std::string& name, int index) {
    HWND w = ControlOrFail(name, "choose a tab of");
    if (!w) return false;
    RemoteBuffer mem(pi_.hProcess, sizeof(RECT));
    RECT r{};
    if (!mem || !Send(w, TCM_GETITEMRECT, index, LPARAM(mem.Address())) || !mem.Read(&r, sizeof r)) {
        ADD_FAILURE() << name << " shows no tab " << index;
        return false;
    }
    // A click in the middle of the tab: the control itself notifies its parent.
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(w, WM_LBUTTONUP, 0, at);
    return WaitUntil([&] { return int(Send(w, TCM_GETCURSEL)) == index; }, kSendTimeout);
}

}  // namespace quorin::gui
