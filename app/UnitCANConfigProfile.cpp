// The File menu's profiles: open, save, compare with the converter, the recent files, a
// profile named on the command line or dropped on the window.
//
// A profile goes into and out of the window through the same mapping as a read and a
// write (link/CANConfigReadParameter.h, link/CANConfigWriteParameter.h): opening shows
// the profile's block as a read shows the converter's, saving collects the block as Write
// does. The controls stay the only store of the settings, and a saved profile written by
// quorin-cli gives the converter exactly the bytes that Write would have sent.
#include "app/UnitCANConfig.h"

#include "app/FormParameterPage.h"
#include "app/Settings.h"
#include "app/Strings.h"
#include "app/UnitCompare.h"
#include "app/WarningBox.h"
#include "forms/Dialogs.h"
#include "forms/WinText.h"
#include "link/CANConfigWriteParameter.h"
#include "profile/Profile.h"
#include "profile/ProfileFile.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <stdlib.h>
#include <initializer_list>

namespace quorin {
namespace {

constexpr std::size_t kRecentProfiles = 4;

// Puts the arguments in place of the "%s" and "%d" of a text, in order.
std::string FormatText(std::string text, std::initializer_list<std::string> args) {
    std::size_t from = 0;
    for (const auto& arg : args) {
        std::size_t at = from;
        while ((at = text.find('%', at)) != std::string::npos && at + 1 < text.size() && text[at + 1] != 's' &&
               text[at + 1] != 'd')
            ++at;
        if (at == std::string::npos || at + 1 >= text.size()) break;
        text.replace(at, 2, arg);
        from = at + arg.size();
    }
    return text;
}

void Warn(const std::string& text) { ShowWarningBox(text, LoadStr(IDS_PROFILE_WARNING_TITLE)); }

void SetStatus(TFormCANConfig& form, const std::string& text) { form.StatusBar1->Panels()[1]->SetText(text); }

// The page a profile is shown on: every settings control as a read fills it, but not the
// identity list, which belongs to the converter last read and not to a file.
class TSettingsOnlyPage : public TFormParameterPage {
public:
    using TFormParameterPage::TFormParameterPage;
    void ClearRows(std::string_view name) override {
        if (name != names::BasicInfo) TFormParameterPage::ClearRows(name);
    }
    void AddRow(std::string_view name, const std::vector<std::string>& cells) override {
        if (name != names::BasicInfo) TFormParameterPage::AddRow(name, cells);
    }
};

// The identity the last read showed, taken back from the identity list's descriptions
// ("0x0001", "0002 Series", "QUORIN-Q1", "1", "10", "12-34-AB-CD"); all zero before the
// first read.
TDeviceIdentity ShownIdentity(const TParameterPage& page) {
    TDeviceIdentity id;
    if (page.RowCount(names::BasicInfo) < 6) return id;
    auto cell = [&](int row) {
        const auto cells = page.Row(names::BasicInfo, row);
        return cells.size() > 1 ? cells[1] : std::string();
    };
    auto number = [](const std::string& text, int base) {
        return static_cast<uint16_t>(std::strtoul(text.c_str(), nullptr, base));
    };
    const std::string vendor = cell(0);
    if (vendor.rfind("0x", 0) != 0) return id;  // not read yet
    id.VendorId = number(vendor.substr(2), 16);
    id.ProductType = number(cell(1), 16);
    id.HardwareVersion = number(cell(3), 10);
    id.FirmwareVersion = number(cell(4), 10);
    const std::string serial = cell(5);
    for (std::size_t i = 0; i < 4 && i * 3 + 2 <= serial.size(); ++i)
        id.SerialNumber[i] = static_cast<uint8_t>(std::strtoul(serial.substr(i * 3, 2).c_str(), nullptr, 16));
    return id;
}

std::string FullPath(const std::string& path) {
    const std::wstring wide = ToWide(path);
    const DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0) return path;
    std::wstring full(n, L'\0');
    const DWORD got = GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
    if (got == 0 || got >= n) return path;
    full.resize(got);
    return ToUtf8(full);
}

bool SamePath(const std::string& a, const std::string& b) {
    // Windows file names do not tell case apart.
    return CompareStringOrdinal(ToWide(a).c_str(), -1, ToWide(b).c_str(), -1, TRUE) == CSTR_EQUAL;
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> RecentProfiles() {
    auto list = ReadSettingList(kSettingRecentProfiles);
    if (list.size() > kRecentProfiles) list.resize(kRecentProfiles);
    return list;
}

// The paths the recent items show, in their order: a click opens the file its caption
// names, whatever another instance has written to the list since.
std::vector<std::string> ShownRecent;

TMenuItem* RecentItem(TFormCANConfig& form, std::size_t index) {
    TMenuItem* items[] = {form.RecentProfile1, form.RecentProfile2, form.RecentProfile3, form.RecentProfile4};
    return index < kRecentProfiles ? items[index] : nullptr;
}

void ShowRecentProfiles(TFormCANConfig& form, const std::vector<std::string>& list) {
    ShownRecent = list;
    for (std::size_t i = 0; i < kRecentProfiles; ++i) {
        TMenuItem* item = RecentItem(form, i);
        if (i < list.size()) {
            // An ampersand in a path is a character, not an access key.
            std::string path;
            for (char c : list[i]) path += c == '&' ? std::string("&&") : std::string(1, c);
            item->SetCaption("&" + std::to_string(i + 1) + " " + path);
        }
        item->SetVisible(i < list.size());
    }
    form.N5->SetVisible(!list.empty());
}

// Newest first, each file once, at most four.
void RememberProfile(TFormCANConfig& form, const std::string& path) {
    auto list = RecentProfiles();
    list.erase(std::remove_if(list.begin(), list.end(), [&](const std::string& p) { return SamePath(p, path); }),
               list.end());
    list.insert(list.begin(), path);
    if (list.size() > kRecentProfiles) list.resize(kRecentProfiles);
    WriteSettingList(kSettingRecentProfiles, list);
    ShowRecentProfiles(form, list);
}

void ForgetProfile(TFormCANConfig& form, const std::string& path) {
    auto list = RecentProfiles();
    list.erase(std::remove_if(list.begin(), list.end(), [&](const std::string& p) { return SamePath(p, path); }),
               list.end());
    WriteSettingList(kSettingRecentProfiles, list);
    ShowRecentProfiles(form, list);
}

// The dialog opens in the folder of the most recent profile of `recent`, the list as read
// once by the caller.
TFileDialogArgs DialogArgs(TFormCANConfig& form, unsigned title, const std::vector<std::string>& recent) {
    TFileDialogArgs args;
    args.Owner = form.Handle();
    args.Title = LoadStr(title);
    args.Filter = LoadStr(IDS_PROFILE_FILTER);
    args.DefaultExt = "json";
    if (!recent.empty()) {
        const std::string& last = recent.front();
        const auto slash = last.find_last_of("\\/");
        // A file in a drive's root folder: "C:\\", as "C:" alone is the drive's current folder.
        if (slash != std::string::npos) args.InitialDir = last.substr(0, slash == 2 && last[1] == ':' ? 3 : slash);
    }
    return args;
}

bool IsProfileName(const std::string& path) {
    return path.size() >= 5 &&
           CompareStringOrdinal(ToWide(path.substr(path.size() - 5)).c_str(), -1, L".json", -1, TRUE) == CSTR_EQUAL;
}

// A value as the comparison shows it: a text without the quotes of its JSON form.
std::string ShownValue(const std::string& json) {
    if (json.size() >= 2 && json.front() == '"' && json.back() == '"') return json.substr(1, json.size() - 2);
    return json;
}

}  // namespace

void TFormCANConfig::InitProfiles() {
    ShowRecentProfiles(*this, RecentProfiles());
    // Another instance may have changed the list meanwhile; the operator comes back to this
    // window before he can open its menu, so the menu is brought up to date then. (A menu
    // being opened cannot change: any change of an item remakes the native menu.)
    OnActivate = [this, previous = OnActivate](TObject* Sender) {
        if (previous) previous(Sender);
        ShowRecentProfiles(*this, RecentProfiles());
    };
    OnDropFiles = [this](TObject* Sender, const std::vector<std::string>& Files) { FormDropFiles(Sender, Files); };
    SetAcceptFiles(true);
}

bool TFormCANConfig::OpenProfileFile(const std::string& Path) {
    const std::string path = FullPath(Path);
    std::string text, why;
    if (!profile::ReadProfileFile(path, text, why)) {
        Warn(FormatText(LoadStr(IDS_PROFILE_CANNOT_READ), {path, why}));
        return false;
    }
    TDeviceSettings settings;
    const auto issues = profile::SettingsFromProfileText(text, settings);
    if (!issues.empty()) {
        // A box the screen can hold: the first issues, and how many more there are.
        constexpr std::size_t kShownIssues = 20;
        std::string list;
        for (std::size_t i = 0; i < issues.size() && i < kShownIssues; ++i)
            list += "\n    " + profile::IssueText(issues[i]);
        if (issues.size() > kShownIssues)
            list += "\n" + FormatText(LoadStr(IDS_PROFILE_MORE_ISSUES), {std::to_string(issues.size() - kShownIssues)});
        Warn(FormatText(LoadStr(IDS_PROFILE_INVALID), {path, list}));
        return false;
    }
    TSettingsOnlyPage page(*this);
    ShowDeviceParameter(0, page, EncodeParameterBlock(settings));
    SetStatus(*this, FormatText(LoadStr(IDS_PROFILE_OPENED_STATUS), {path}));
    RememberProfile(*this, path);
    return true;
}

void TFormCANConfig::OpenStartupProfile() {
    // The run-time library has split the command line already (the program's entry is
    // the wide one).
    for (int i = 1; i < __argc; ++i) {
        const std::string arg = __wargv && __wargv[i] ? ToUtf8(__wargv[i]) : std::string();
        if (!arg.empty() && arg[0] != '-') {  // options belong to others
            // Opened once the window is up, so that a warning about it shows over the
            // window and after any other start-up message, not stacked with it.
            RunAfterFirstPaint([this, arg] { OpenProfileFile(arg); });
            return;
        }
    }
}

void TFormCANConfig::OpenProfile1Click(TObject* Sender) {
    if (const auto path = PromptForOpenFile(DialogArgs(*this, IDS_PROFILE_OPEN_TITLE, RecentProfiles())))
        OpenProfileFile(*path);
}

void TFormCANConfig::SaveProfile1Click(TObject* Sender) {
    // Collected before the dialog, as Write collects: a text the conversion refuses is
    // reported by the application's exception display and nothing is asked or written.
    // Ctrl+S reaches here before the focused control sees the key, so an in-place edit
    // may still be open: what it shows is saved.
    CommitPendingEdits(*this);
    TFormParameterPage page(*this);
    TDeviceSettings settings = DecodeParameterBlock(CollectParameterBlock(0, page));
    settings.Identity = ShownIdentity(page);
    // One read of the list for the folder and the name proposed: another instance may
    // change it at any moment.
    const auto recent = RecentProfiles();
    auto args = DialogArgs(*this, IDS_PROFILE_SAVE_TITLE, recent);
    if (!recent.empty()) {
        const std::string& last = recent.front();
        const auto slash = last.find_last_of("\\/");
        args.FileName = slash == std::string::npos ? last : last.substr(slash + 1);
    }
    const auto chosen = PromptForSaveFile(args);
    if (!chosen) return;
    const std::string path = FullPath(*chosen);
    std::string why;
    if (!profile::SaveProfileFile(path, profile::ProfileText(settings), why)) {
        Warn(FormatText(LoadStr(IDS_PROFILE_CANNOT_SAVE), {path, why}));
        return;
    }
    SetStatus(*this, FormatText(LoadStr(IDS_PROFILE_SAVED_STATUS), {path}));
    RememberProfile(*this, path);
}

void TFormCANConfig::CompareProfile1Click(TObject* Sender) {
    if (!CommOpened) {
        Warn(LoadStr(IDS_PROFILE_COMPARE_NO_PORT));
        return;
    }
    CommitPendingEdits(*this);
    TFormParameterPage page(*this);
    const TParameterBlock window = CollectParameterBlock(0, page);
    TFormCommandButtons buttons(*this);
    TParameterBlock converter{};
    if (!ReadDeviceParameter({OpenedCommIndex, &buttons}, 0, converter)) {
        Warn(FormatText(LoadStr(IDS_PROFILE_COMPARE_READ_FAILED), {std::to_string(OpenedCommIndex)}));
        return;
    }
    std::vector<TCompareRow> rows;
    for (const auto& d : profile::ProfileDifferenceList(converter, window))
        rows.push_back({d.Path, ShownValue(d.Device), ShownValue(d.Profile)});
    ShowCompareBox(rows);
}

void TFormCANConfig::RecentProfileClick(TObject* Sender) {
    for (std::size_t i = 0; i < ShownRecent.size(); ++i) {
        if (Sender != RecentItem(*this, i)) continue;
        const std::string path = ShownRecent[i];
        if (!FileExists(path)) {
            ForgetProfile(*this, path);
            Warn(FormatText(LoadStr(IDS_PROFILE_RECENT_MISSING), {path}));
            return;
        }
        OpenProfileFile(path);
        return;
    }
}

void TFormCANConfig::FormDropFiles(TObject* Sender, const std::vector<std::string>& Files) {
    // While a modal box is up (the comparison, a message, a file dialog) the window is
    // disabled, but a drop still reaches it: opening then would change the settings under
    // the box and stack a second box on it. The drop is refused, audibly.
    if (!IsWindowEnabled(Handle())) {
        MessageBeep(MB_ICONWARNING);
        return;
    }
    const auto profile = std::find_if(Files.begin(), Files.end(), IsProfileName);
    if (profile != Files.end()) OpenProfileFile(*profile);
}

}  // namespace quorin
