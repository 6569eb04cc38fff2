// The Language menu of the real program: the remembered choice at start-up, switching by
// the menu and back with the operator's values kept, and a message box in each language.
// The texts of the windowless labels and of the menus, and the fit of every text in its
// control, are checked in the program's own process (tests/windows/UnitCANConfigLanguage_test).
#include "support/GuiHarness.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace quorin::gui {
namespace {

using Rows = std::vector<std::vector<std::string>>;

constexpr wchar_t kKey[] = L"Software\\QUORIN\\CANConfig";
constexpr wchar_t kValue[] = L"Language";
constexpr int kLanguageMenu = 2;  // File, Window, Language, About
constexpr int kFilterPage = 4;

// The remembered language in the registry the program reads (the test shares its Wine
// prefix): set (or removed) for one test and removed after it, so no other test starts in
// English.
class RememberedLanguage {
public:
    explicit RememberedLanguage(const wchar_t* code) {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, kValue);
        if (code)
            RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_SZ, code, DWORD((wcslen(code) + 1) * sizeof(wchar_t)));
    }
    ~RememberedLanguage() { RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, kValue); }
    static std::string Read() {
        wchar_t buffer[32]{};
        DWORD size = sizeof buffer;
        if (RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
            return "(none)";
        return Narrow(buffer);
    }
};

bool HasCjk(const std::string& text) {
    for (wchar_t c : Widen(text))
        if ((c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF)) return true;
    return false;
}

BOOL CALLBACK CollectNamed(HWND w, LPARAM out) {
    if (!QuorinNameOf(w).empty()) reinterpret_cast<std::vector<HWND>*>(out)->push_back(w);
    return TRUE;
}

// Every text the operator can see in the program's windowed controls: captions, edit and
// combo texts, combo items, tabs, column headers and status panels. The labels are painted
// by their parents and are checked in the program's process.
std::vector<std::string> VisibleTexts(const RunningApp& app, HWND root) {
    std::vector<std::string> texts{WindowText(root)};
    std::vector<HWND> windows;
    EnumChildWindows(root, CollectNamed, LPARAM(&windows));
    for (HWND w : windows) {
        if (!(GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE)) continue;
        const std::string name = QuorinNameOf(w);
        texts.push_back(WindowText(w));
        const std::string cls = ClassOf(w);
        if (cls == "ComboBox")
            for (const auto& item : app.ComboItems(name)) texts.push_back(item);
        if (cls == "SysTabControl32")
            for (const auto& tab : app.TabCaptions(name)) texts.push_back(tab);
        if (cls == "SysListView32")
            for (const auto& column : app.ListColumns(name)) texts.push_back(column);
        if (cls == "msctls_statusbar32")
            for (int panel = 0; panel < 2; ++panel) texts.push_back(app.StatusPanelText(name, panel));
    }
    return texts;
}

void ExpectNoCjk(const std::vector<std::string>& texts, const char* where) {
    for (const auto& t : texts) EXPECT_FALSE(HasCjk(t)) << where << ": \"" << t << "\"";
}

// Start greater than end on the filter page: the warning of the language in force.
std::optional<MessageBoxInfo> StartAboveEndBox(RunningApp& app) {
    if (!app.SelectTab("PageControlQUORINQ1", kFilterPage)) return std::nullopt;
    if (!app.Checked("CheckBoxVandrelFilterEnable")) app.Click("CheckBoxVandrelFilterEnable");
    app.SetText("EditVandrelStartID", "7FF");
    app.SetText("EditVandrelEndID", "100");
    app.ClickAsync("ButtonVandrelFilterIDAdd");
    auto box = app.WaitMessageBox();
    if (box) app.PressButton(*box, IDOK);
    // The menu takes keys again once the box is gone and the window it disabled is back.
    WaitUntil([&] { return !app.CurrentMessageBox() && IsWindowEnabled(app.MainWindow()); });
    return box;
}

TEST(Language, StartsInTheRememberedEnglishWithEveryWindowAndMessageInEnglish) {
    RememberedLanguage remembered(L"en");
    RunningApp app;
    ASSERT_TRUE(app.Started()) << app.Failure();
    // The menu is walked by keys: the skin must have taken the menu bar over first.
    ASSERT_TRUE(WaitMainWindowSkinned(app.MainWindow()));

    EXPECT_EQ(WindowText(app.MainWindow()), "QUORIN Configuration Tool");
    EXPECT_EQ(app.TabCaptions("PageControlQUORINQ1"),
              (std::vector<std::string>{"Basic info", "Conversion", "Serial port", "CAN", "Filters"}));
    EXPECT_EQ(app.Text("ButtonOpenRS232"), "Open port");
    ExpectNoCjk(VisibleTexts(app, app.MainWindow()), "main window");

    app.ChooseMenu({-1, 0});  // Help > About QUORIN
    HWND about = app.WaitWindow("AboutBox");
    ASSERT_NE(about, nullptr);
    ExpectNoCjk(VisibleTexts(app, about), "About box");
    EXPECT_TRUE(SaveWindowPng(about, std::string(QUORIN_BINARY_DIR) + "/screenshots/AboutBox-en.png"));
    app.ClickAsync("OKButton");
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(about) && IsWindowEnabled(app.MainWindow()); }));

    const auto english = StartAboveEndBox(app);
    ASSERT_TRUE(english);
    EXPECT_EQ(english->caption, "Warning");
    EXPECT_EQ(english->text, "The start ID must not be greater than the end ID.");

    // Back to Chinese by the menu: the Parts' message again, word for word.
    app.ChooseMenu({kLanguageMenu, 0});
    ASSERT_TRUE(WaitUntil([&] { return WindowText(app.MainWindow()) == "QUORIN 配置工具"; }));
    EXPECT_EQ(RememberedLanguage::Read(), "zh-CN");
    const auto chinese = StartAboveEndBox(app);
    ASSERT_TRUE(chinese);
    EXPECT_EQ(chinese->caption, "Warning");
    EXPECT_EQ(chinese->text, "Start ID must be smaller than End ID!");
}

// The operator's state, as the test reads it from outside.
struct TState {
    std::vector<int> indexes;
    Rows filters;
    bool filterEnabled;
    bool portBoxEnabled;
    bool readEnabled;
    bool operator==(const TState&) const = default;
};

const char* const kCombos[] = {"ComboBoxSwitchMode",      "ComboBoxSwtichRoute",   "ComboBoxUARTParityBitIndex",
                               "ComboBoxCANFrameType",    "ComboBoxBitRateSwitch", "ComboBoxtBaudrateIndexA",
                               "ComboBoxtBaudrateIndexB", "ComboBoxCommIndex"};

TState StateOf(const RunningApp& app) {
    TState s{};
    for (const char* c : kCombos) s.indexes.push_back(app.ComboIndex(c));
    s.filters = app.ListRows("ListViewVandrelFrameID");
    s.filterEnabled = app.Checked("CheckBoxVandrelFilterEnable");
    s.portBoxEnabled = app.Enabled("ComboBoxCommIndex");
    s.readEnabled = app.Enabled("ButtonReadParameter");
    return s;
}

TEST(Language, SwitchingByTheMenuKeepsValuesAndComesBackToTheStoredTexts) {
    RememberedLanguage remembered(nullptr);
    RunningApp app;
    ASSERT_TRUE(app.Started()) << app.Failure();
    // The menu is walked by keys: the skin must have taken the menu bar over first.
    ASSERT_TRUE(WaitMainWindowSkinned(app.MainWindow()));
    const std::vector<std::string> storedModes = app.ComboItems("ComboBoxSwitchMode");
    const std::vector<std::string> storedRateA = app.ComboItems("ComboBoxtBaudrateIndexA");
    const std::vector<std::string> storedTabs = app.TabCaptions("PageControlQUORINQ1");
    ASSERT_EQ(storedModes, (std::vector<std::string>{"透明转换", "透明带标识转换", "格式转换"}));

    // Some of everything: the port open and read (the status text), then selections, a
    // reserved bit rate and two filters.
    ASSERT_TRUE(app.Click("ButtonOpenRS232"));
    ASSERT_EQ(app.Text("ButtonOpenRS232"), "关闭串口");
    ASSERT_TRUE(app.Click("ButtonReadParameter"));
    ASSERT_EQ(app.StatusPanelText("StatusBar1", 1), "Read device parameter succeed!");
    ASSERT_TRUE(app.SelectComboIndex("ComboBoxSwitchMode", 1));
    ASSERT_TRUE(app.SelectComboIndex("ComboBoxSwtichRoute", 2));
    ASSERT_TRUE(app.SelectTab("PageControlQUORINQ1", 2));
    ASSERT_TRUE(WaitUntil([&] { return app.Showing("ComboBoxUARTParityBitIndex"); }));
    ASSERT_TRUE(app.SelectComboIndex("ComboBoxUARTParityBitIndex", 2));
    ASSERT_TRUE(app.SelectTab("PageControlQUORINQ1", 3));
    ASSERT_TRUE(WaitUntil([&] { return app.Showing("ComboBoxCANFrameType"); }));
    ASSERT_TRUE(app.SelectComboIndex("ComboBoxCANFrameType", 1));
    ASSERT_TRUE(app.SelectComboIndex("ComboBoxBitRateSwitch", 1));
    ASSERT_TRUE(app.SelectComboIndex("ComboBoxtBaudrateIndexA", 2));
    ASSERT_TRUE(app.SelectTab("PageControlQUORINQ1", kFilterPage));
    ASSERT_TRUE(WaitUntil([&] { return app.Showing("CheckBoxVandrelFilterEnable"); }));
    ASSERT_TRUE(app.Click("CheckBoxVandrelFilterEnable"));
    ASSERT_TRUE(app.Click("ButtonVandrelFilterIDAdd"));
    ASSERT_TRUE(app.SelectComboIndex("ComboBoxVandrelFrameType", 1));
    ASSERT_TRUE(app.Click("ButtonVandrelFilterIDAdd"));
    const TState before = StateOf(app);
    ASSERT_EQ(before.filters.size(), 2u);

    app.ChooseMenu({kLanguageMenu, 1});  // Language > English
    ASSERT_TRUE(WaitUntil([&] { return WindowText(app.MainWindow()) == "QUORIN Configuration Tool"; }));
    EXPECT_EQ(RememberedLanguage::Read(), "en");
    EXPECT_EQ(StateOf(app), before);
    EXPECT_EQ(app.Text("ButtonOpenRS232"), "Close port");
    EXPECT_EQ(app.StatusPanelText("StatusBar1", 1), "Parameters read");
    EXPECT_EQ(app.Text("ComboBoxSwitchMode"), "Transparent+ID");
    EXPECT_EQ(app.Text("ComboBoxtBaudrateIndexA"), "Reserved 2");
    EXPECT_TRUE(app.Showing("ListViewVandrelFrameID")) << "the page in front stays in front";
    ExpectNoCjk(VisibleTexts(app, app.MainWindow()), "after the switch");
    for (int page : {0, 1, 2, 3, 4}) {
        ASSERT_TRUE(app.SelectTab("PageControlQUORINQ1", page));
        WaitUntil([&] { return app.TabIndex("PageControlQUORINQ1") == page; });
        Sleep(300);  // for the picture only: the new page paints a moment after its tab
        EXPECT_TRUE(SaveWindowPng(
            app.MainWindow(),
            std::string(QUORIN_BINARY_DIR) + "/screenshots/FormCANConfig-en-page" + std::to_string(page) + ".png"));
    }

    app.ChooseMenu({kLanguageMenu, 0});  // Language > 简体中文
    ASSERT_TRUE(WaitUntil([&] { return WindowText(app.MainWindow()) == "QUORIN 配置工具"; }));
    EXPECT_EQ(RememberedLanguage::Read(), "zh-CN");
    EXPECT_EQ(StateOf(app), before);
    EXPECT_EQ(app.Text("ButtonOpenRS232"), "关闭串口");
    EXPECT_EQ(app.StatusPanelText("StatusBar1", 1), "Read device parameter succeed!");
    EXPECT_EQ(app.ComboItems("ComboBoxSwitchMode"), storedModes);
    EXPECT_EQ(app.ComboItems("ComboBoxtBaudrateIndexA"), storedRateA);
    EXPECT_EQ(app.TabCaptions("PageControlQUORINQ1"), storedTabs);

    ASSERT_TRUE(app.Click("ButtonOpenRS232"));
    app.CloseBox();
    EXPECT_EQ(app.WaitExit(), std::optional<DWORD>(0));
}

// An administrator's policies (HKLM of the prefix, where Group Policy writes them) against
// the user's own choices, for one test; the user's values are put back as they were, so
// the test can run against an installed program in a prefix whose settings must stay.
class AdministratorAndUser {
public:
    AdministratorAndUser() {
        for (auto& [name, value] : saved_) value = Read(name);
        Write(HKEY_CURRENT_USER, kKey, L"Language", L"zh-CN");
        Write(HKEY_CURRENT_USER, kKey, L"Skin", L"none");
        Write(HKEY_LOCAL_MACHINE, kPolicy, L"Language", L"en");
        Write(HKEY_LOCAL_MACHINE, kPolicy, L"Skin", L"default");
        const DWORD forbid = 1;
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, kPolicy, L"DisableSkinFiles", REG_DWORD, &forbid, sizeof forbid);
    }
    ~AdministratorAndUser() {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kPolicy);
        for (const auto& [name, value] : saved_)
            if (value)
                Write(HKEY_CURRENT_USER, kKey, name, value->c_str());
            else
                RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, name);
    }

private:
    static constexpr wchar_t kPolicy[] = L"Software\\Policies\\QUORIN\\CANConfig";
    static void Write(HKEY root, const wchar_t* key, const wchar_t* name, const wchar_t* value) {
        RegSetKeyValueW(root, key, name, REG_SZ, value, DWORD((wcslen(value) + 1) * sizeof(wchar_t)));
    }
    static std::optional<std::wstring> Read(const wchar_t* name) {
        wchar_t buffer[1024]{};
        DWORD size = sizeof buffer;
        if (RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
            return std::nullopt;
        return std::wstring(buffer);
    }
    std::pair<const wchar_t*, std::optional<std::wstring>> saved_[2] = {{L"Language", {}}, {L"Skin", {}}};
};

TEST(Policy, TheAdministratorsChoicesComeBeforeTheUsersAndTheirMenuItemsDoNotAnswer) {
    AdministratorAndUser values;
    RunningApp app;
    ASSERT_TRUE(app.Started()) << app.Failure();
    // The policy's skin although the user chose none, its language although the user chose
    // Chinese, and the note saying so.
    ASSERT_TRUE(WaitMainWindowSkinned(app.MainWindow()));
    EXPECT_EQ(WindowText(app.MainWindow()), "QUORIN Configuration Tool");
    EXPECT_EQ(app.Text("ButtonOpenRS232"), "Open port");
    EXPECT_EQ(app.StatusPanelText("StatusBar1", 1),
              "Some choices are set by your administrator and cannot be changed here.");

    // Language > 简体中文 is unavailable: choosing it changes nothing. The About box opens
    // only once the menu has let go, by when the choice above has been handled.
    app.ChooseMenu({kLanguageMenu, 0});
    app.PressKey(VK_ESCAPE);
    app.PressKey(VK_ESCAPE);
    app.ChooseMenu({-1, 0});  // Help > About QUORIN
    HWND about = app.WaitWindow("AboutBox");
    ASSERT_NE(about, nullptr);
    app.ClickAsync("OKButton");
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(about) && IsWindowEnabled(app.MainWindow()); }));
    EXPECT_EQ(WindowText(app.MainWindow()), "QUORIN Configuration Tool");
    EXPECT_EQ(RememberedLanguage::Read(), "zh-CN") << "the user's own choice stays as it was";

    app.CloseBox();
    EXPECT_EQ(app.WaitExit(), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace quorin::gui
