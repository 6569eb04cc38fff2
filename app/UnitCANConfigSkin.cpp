// The Window menu's Skin submenu: the built-in skin, the skin files in skins\ beside the
// program, a skin file anywhere, or no skin. The choice restyles every open window at once
// and is remembered per user (value "Skin": "default", "none", a file name from skins\,
// or a full path). A skin file that cannot be used is refused before anything is
// replaced: the operator reads which file and why, and the skin in force stays. An
// administrator's policy may fix the skin (every item unavailable) or forbid skin files
// from outside skins\ (Load skin file... unavailable, such a remembered file not loaded).
// While the system's high-contrast mode is on, no skin is in force, whatever is chosen:
// the windows draw with the system's colours. A choice made meanwhile is remembered and
// comes into force, like the one before it, when the mode goes off.
#include "app/UnitCANConfig.h"

#include "app/Settings.h"
#include "app/Strings.h"
#include "app/WarningBox.h"
#include "forms/Dialogs.h"
#include "forms/HighContrast.h"
#include "forms/WinText.h"
#include "skin/apply/Winskindlg.h"
#include "skin/resources/Skincheck.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace quorin {
namespace {

constexpr char kSkinBuiltIn[] = "default";
constexpr char kSkinNone[] = "none";

// The skin in force, as the setting names it, and the built-in skin's bytes to return to.
std::string CurrentSkin = kSkinBuiltIn;
std::vector<uint8_t> BuiltInSkin;
// What the policies fix, read once at start-up.
bool SkinFixed = false;
bool SkinFilesForbidden = false;
// The system's high-contrast mode as last asked.
bool HighContrast = false;

std::string ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path, n);
    const auto slash = p.find_last_of(L"\\/");
    return ToUtf8(slash == std::wstring::npos ? std::wstring() : p.substr(0, slash));
}

std::string SkinsFolder() { return ProgramFolder() + "\\skins"; }

// A bare file name lives in skins\; anything with a folder in it is a path of its own.
bool IsBareName(const std::string& value) { return value.find_first_of("\\/:") == std::string::npos; }

std::string SkinPath(const std::string& value) { return IsBareName(value) ? SkinsFolder() + "\\" + value : value; }

std::string FileNameOf(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The .skn files of skins\, by name.
std::vector<std::string> SkinFiles() {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    const TFindHandle find(FindFirstFileW(ToWide(SkinsFolder() + "\\*.skn").c_str(), &found));
    if (!find) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(ToUtf8(found.cFileName));
    } while (FindNextFileW(find.Get(), &found));
    std::sort(names.begin(), names.end());
    return names;
}

std::string MenuTextOf(const std::string& fileName) {
    const auto dot = fileName.find_last_of('.');
    return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

// "The skin file %1 cannot be used: %2. ..." with the file and the reason.
std::string RefusalText(const std::string& path, const std::string& reason) {
    std::string text = LoadStr(IDS_SKIN_CANNOT_USE);
    auto put = [&](const char* mark, const std::string& value) {
        const auto at = text.find(mark);
        if (at != std::string::npos) text.replace(at, 2, value);
    };
    put("%1", path);
    put("%2", reason);
    return text;
}

// Runs once from the message loop, after the handler that asked for it has returned (a
// menu item must not be freed inside its own click).
void CALLBACK SkinMenuLater(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (FormCANConfig) FormCANConfig->BuildSkinMenu();
}

void Later() { SetTimer(nullptr, 0, 0, SkinMenuLater); }

// Skin file names as Windows compares them: "Slate.skn" is "slate.skn".
bool SameSkinName(const std::string& a, const std::string& b) {
    return CompareStringOrdinal(ToWide(a).c_str(), -1, ToWide(b).c_str(), -1, TRUE) == CSTR_EQUAL;
}

bool LoadPackedSkin(TSkinData& skin, const std::vector<uint8_t>& bytes) {
    TMemoryStream& packed = skin.PackedSkin();
    packed.Clear();
    packed.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    packed.SetPosition(0);
    return skin.LoadSkin();
}

// Puts a checked skin in force. While the windows are not skinned yet (start-up) the
// skin's pending first application carries it; afterwards every skinned window takes it
// at once, or, coming from no skin, every window is skinned again. False when the skin
// data will not load it after all: the skin held before is loaded again, as it was.
bool PutSkinInForce(TSkinData& skin, const std::vector<uint8_t>& bytes, bool startUp) {
    const std::vector<uint8_t> previous = skin.PackedSkin().Bytes();
    // The windows keep their old look on the screen until the change has run: loading the
    // skin replaces the pictures they are drawn from at once, the change comes on the
    // manager's timer.
    TSkinManage* manager = !startUp && !HighContrast && skin.GetActive() ? SkinManage() : nullptr;
    if (manager) manager->HoldWindows();
    if (!LoadPackedSkin(skin, bytes)) {
        LoadPackedSkin(skin, previous);
        if (manager) manager->ReleaseWindows();
        return false;
    }
    if (startUp || HighContrast) return true;
    if (skin.GetActive())
        skin.UpdateSkin();
    else
        skin.SetActive(true);
    if (manager && !manager->TimerRunning()) manager->ReleaseWindows();  // no change is coming
    return true;
}

// Checks and applies the skin the setting value names; false with the reason when it
// cannot be used, and nothing has changed then.
bool UseSkin(TSkinData& skin, const std::string& value, bool startUp, std::string& reason) {
    if (value == kSkinNone) {
        if (skin.GetActive()) skin.SetActive(false);
        return true;
    }
    std::vector<uint8_t> bytes;
    if (value == kSkinBuiltIn) {
        bytes = BuiltInSkin;
    } else {
        if (!ReadSkinFile(SkinPath(value), bytes, reason)) return false;
        const TSkinCheck check = CheckPackedSkin(bytes, TSkinCheckDepth::Usability);
        if (!check.Usable()) {
            reason = check.Unusable;
            return false;
        }
        bytes = PackedSkinOf(bytes);  // what was checked, without a stored length in front
    }
    if (PutSkinInForce(skin, bytes, startUp)) return true;
    reason = LoadStr(IDS_SKIN_NOT_LOADED);
    return false;
}

// A click on an item of the Skin submenu: Value names the skin as the setting does, and
// is empty for "Load skin file...".
void SkinItemClick(TFormCANConfig& Form, const std::string& Value) {
    std::string value = Value;
    if (value.empty()) {
        TFileDialogArgs args;
        args.Owner = Form.Handle();
        args.Title = LoadStr(IDS_SKIN_LOAD_TITLE);
        args.Filter = LoadStr(IDS_SKIN_FILTER);
        args.DefaultExt = "skn";
        args.InitialDir = SkinsFolder();
        const std::optional<std::string> chosen = PromptForOpenFile(args);
        if (!chosen) return;
        value = *chosen;
        // A file of skins\ is remembered by its name, so the folder may move with the program.
        const std::string inFolder = SkinPath(FileNameOf(value));
        if (CompareStringOrdinal(ToWide(inFolder).c_str(), -1, ToWide(value).c_str(), -1, TRUE) == CSTR_EQUAL)
            value = FileNameOf(value);
    }
    if (SameSkinName(value, CurrentSkin)) return;
    std::string reason;
    if (!UseSkin(*Form.SkinData1, value, false, reason)) {
        ShowWarningBox(RefusalText(SkinPath(value), reason), LoadStr(IDS_SKIN_WARNING));
        return;
    }
    CurrentSkin = value;
    WriteSetting(kSettingSkin, value);
    // The menu shows the new choice: at once when only the check mark moves; a menu whose
    // items change is rebuilt once this click has returned (the clicked item is freed then).
    if (!Form.MoveSkinCheck()) Later();
}

}  // namespace

void TFormCANConfig::InitSkins() {
    BuiltInSkin = SkinData1->PackedSkin().Bytes();
    const std::optional<std::string> fixed = ReadPolicy(kSettingSkin);
    SkinFixed = fixed && !fixed->empty();
    SkinFilesForbidden = PolicyFlag(kPolicyDisableSkinFiles);
    std::optional<std::string> remembered = SkinFixed ? fixed : ReadSetting(kSettingSkin);
    if (!SkinFixed && SkinFilesForbidden && remembered && !IsBareName(*remembered)) remembered.reset();
    if (remembered && !remembered->empty() && *remembered != kSkinBuiltIn) {
        std::string reason;
        if (UseSkin(*SkinData1, *remembered, true, reason)) {
            CurrentSkin = *remembered;
        } else {
            // The built-in skin stays; the operator learns why once the window is up.
            RunAfterFirstPaint([text = RefusalText(SkinPath(*remembered), reason)] {
                ShowWarningBox(text, LoadStr(IDS_SKIN_WARNING));
            });
        }
    }
    HighContrast = HighContrastOn();
    if (HighContrast && SkinData1->GetActive()) SkinData1->SetActive(false);
    // The skins folder is read once the window has painted: its first frame has no use
    // for the submenu.
    Later();
}

namespace {

// Runs from the message loop, after the window that heard of the change has returned: the
// skin is not taken off a window from inside its own skinned window procedure.
void CALLBACK HighContrastLater(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (!FormCANConfig || !FormCANConfig->SkinData1) return;
    TSkinData& skin = *FormCANConfig->SkinData1;
    const bool on = HighContrastOn();
    if (on == HighContrast) return;
    HighContrast = on;
    if (on) {
        if (skin.GetActive()) skin.SetActive(false);
    } else if (CurrentSkin != kSkinNone && !skin.GetActive()) {
        skin.SetActive(true);
    }
}

}  // namespace

void TFormCANConfig::FollowHighContrast() { SetTimer(nullptr, 0, 0, HighContrastLater); }

void TFormCANConfig::WndProc(TMessage& Message) {
    if (Message.Msg == WM_SETTINGCHANGE || Message.Msg == WM_SYSCOLORCHANGE) FollowHighContrast();
    TForm::WndProc(Message);
}

namespace {

// The Skin submenu as it should read: caption and value of each item (a separator and
// "Load skin file..." have no value).
TFormCANConfig::TSkinMenuEntries SkinMenuEntries() {
    TFormCANConfig::TSkinMenuEntries entries;
    entries.emplace_back(LoadStr(IDS_MENU_SKIN_BUILTIN), kSkinBuiltIn);
    const std::vector<std::string> files = SkinFiles();
    for (const std::string& f : files) entries.emplace_back(MenuTextOf(f), f);
    // A skin from elsewhere stays listed while it is in force.
    if (CurrentSkin != kSkinBuiltIn && CurrentSkin != kSkinNone &&
        std::none_of(files.begin(), files.end(), [](const std::string& f) { return SameSkinName(f, CurrentSkin); }))
        entries.emplace_back(MenuTextOf(FileNameOf(CurrentSkin)), CurrentSkin);
    entries.emplace_back(LoadStr(IDS_MENU_SKIN_NONE), kSkinNone);
    entries.emplace_back("-", std::string());
    entries.emplace_back(LoadStr(IDS_MENU_SKIN_LOAD), std::string());
    return entries;
}

// The values of the submenu's items as last built, in order.
std::vector<std::string> SkinMenuValues;

}  // namespace

// Every change to a menu remakes the window's native menus, which closes a menu being
// walked; so when the submenu already holds the items it should, only the check mark moves.
bool TFormCANConfig::MoveSkinCheck(const TSkinMenuEntries& Entries) {
    if (!Skin1) return true;
    if (int(Entries.size()) != Skin1->Count() || Entries.size() != SkinMenuValues.size()) return false;
    for (size_t i = 0; i < Entries.size(); ++i)
        if (Skin1->Items(int(i))->Caption() != Entries[i].first || SkinMenuValues[i] != Entries[i].second) return false;
    for (size_t i = 0; i < SkinMenuValues.size(); ++i)
        if (!SkinMenuValues[i].empty() && SameSkinName(SkinMenuValues[i], CurrentSkin))
            Skin1->Items(int(i))->SetChecked(true);
    return true;
}

bool TFormCANConfig::MoveSkinCheck() { return MoveSkinCheck(SkinMenuEntries()); }

void TFormCANConfig::BuildSkinMenu() {
    if (!Skin1) return;
    const TSkinMenuEntries entries = SkinMenuEntries();
    if (MoveSkinCheck(entries)) return;
    Skin1->Clear();
    SkinMenuValues.clear();
    for (const auto& [caption, value] : entries) {
        auto* item = new TMenuItem(this);
        item->SetCaption(caption);
        item->SetEnabled(!SkinFixed && !(value.empty() && SkinFilesForbidden));
        if (!value.empty()) {
            item->SetRadioItem(true);
            item->SetGroupIndex(1);
            item->SetChecked(SameSkinName(value, CurrentSkin));
        }
        if (caption != "-") item->OnClick = [this, value](TObject*) { SkinItemClick(*this, value); };
        Skin1->Add(item);
        SkinMenuValues.push_back(value);
    }
}

}  // namespace quorin
