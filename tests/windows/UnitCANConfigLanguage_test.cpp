// The string tables and the relabelling of the real windows made from their stored
// layouts: every id has a text in every language, the Chinese block is the layouts' own
// text, and in each language every visible text is in that language and fits its control.
#include "app/LanguageTable.h"
#include "app/Settings.h"
#include "app/StringIds.h"
#include "app/UnitAbout.h"
#include "app/UnitCANConfig.h"
#include "forms/Dpi.h"
#include "forms/WinText.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace quorin {
namespace {

// Ids that have a text in some language block of the program's string tables.
BOOL CALLBACK CollectLanguage(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR out) {
    auto& ids = *reinterpret_cast<std::set<unsigned>*>(out);
    const HRSRC res = FindResourceExW(module, type, name, language);
    const auto* p = static_cast<const WCHAR*>(LockResource(LoadResource(module, res)));
    const WCHAR* end = p + SizeofResource(module, res) / sizeof(WCHAR);
    const unsigned first = (unsigned(reinterpret_cast<uintptr_t>(name)) - 1) * 16;
    for (unsigned i = 0; i < 16 && p < end; ++i) {
        if (*p) ids.insert(first + i);
        p += 1 + *p;
    }
    return TRUE;
}
BOOL CALLBACK CollectBlock(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR out) {
    EnumResourceLanguagesW(module, type, name, CollectLanguage, out);
    return TRUE;
}

TEST(StringTables, EveryIdHasATextInEveryLanguage) {
    std::set<unsigned> ids;
    EnumResourceNamesW(GetModuleHandleW(nullptr), RT_STRING, CollectBlock, LONG_PTR(&ids));
    ASSERT_GT(ids.size(), 100u);
    for (unsigned id : ids)
        for (TLanguage language : kLanguages)
            EXPECT_FALSE(LoadStr(id, language).empty()) << "id " << id << " has no text in " << LanguageCode(language);
    for (const TLabelRow& row : LabelRows()) EXPECT_TRUE(ids.count(row.Id)) << row.Component << " shows id " << row.Id;
}

bool HasCjk(const std::string& text) {
    for (wchar_t c : ToWide(text))
        if ((c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF)) return true;
    return false;
}

// The main window and the About box as start-up makes them, in Chinese (no remembered
// language).
class Language : public testing::Test {
protected:
    static void SetUpTestSuite() {
        DeleteSetting(kSettingLanguage);
        SetCurrentLanguage(TLanguage::Chinese);
        Form = new TFormCANConfig(Application);
        AboutBox = new TAboutBox(Application);
        Form->Show();
        AboutBox->Show();
    }
    static void TearDownTestSuite() {
        SetCurrentLanguage(TLanguage::Chinese);
        delete AboutBox;
        delete Form;
        AboutBox = nullptr;
        Form = nullptr;
        DeleteSetting(kSettingLanguage);
    }
    void TearDown() override { Switch(TLanguage::Chinese); }
    static void Switch(TLanguage language) {
        SetCurrentLanguage(language);
        Form->ApplyLanguage();
    }
    static TFormCANConfig* Form;
};
TFormCANConfig* Language::Form = nullptr;

TEST_F(Language, TheChineseBlockHoldsTheStoredLayoutsTextsExactly) {
    for (const TLabelRow& row : LabelRows()) {
        const TCustomForm& form = std::string(row.Form) == "AboutBox" ? static_cast<TCustomForm&>(*AboutBox) : *Form;
        const auto shown = LabelText(form, row);
        ASSERT_TRUE(shown) << row.Form << "." << row.Component << " [" << row.Index << "] is not in the layout";
        EXPECT_EQ(*shown, LoadStr(row.Id, TLanguage::Chinese))
            << row.Form << "." << row.Component << " [" << row.Index << "]";
    }
}

// A control's text and the room its control gives it, in pixels.
struct TFit {
    std::string Name, Text;
    int Room;
};

int TextWidth(HWND window, const std::string& text) {
    std::wstring w = ToWide(text);
    w.erase(w.find_last_not_of(L' ') + 1);  // trailing blanks are the stored layout's padding
    std::erase(w, L'&');
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, HGDIOBJ(SendMessageW(window, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, w.c_str(), int(w.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return size.cx;
}

// Every visible text of a form's visible controls with its room: a label its width, a
// button its width less the bevel, a check box less its box, a group box less the frame's
// ends, a list-only combo box each item less the drop-down button, a column its width;
// the margins at the form's scale.
std::vector<TFit> Fits(TCustomForm& form) {
    std::vector<TFit> fits;
    const TDpiScale s = form.FormDpiScale();
    const int arrow = SystemMetricForDpi(SM_CXVSCROLL, s.Dpi);
    for (int i = 0; i < form.ComponentCount(); ++i) {
        auto* control = dynamic_cast<TControl*>(form.Components(i));
        if (!control) continue;
        bool shown = true;
        for (TControl* c = control; c && shown; c = c->Parent()) shown = c->Visible();
        if (!shown) continue;
        TWinControl* windowed = dynamic_cast<TWinControl*>(control);
        HWND measure = windowed ? windowed->Handle() : control->Parent()->Handle();
        const std::string name = control->Name();
        auto add = [&](const std::string& text, int room) {
            if (!text.empty()) fits.push_back({name, text, room - TextWidth(measure, text)});
        };
        if (dynamic_cast<TLabel*>(control))
            add(control->Caption(), control->Width());
        else if (dynamic_cast<TCheckBox*>(control))
            add(control->Caption(), control->Width() - s.Scale(18));
        else if (dynamic_cast<TButton*>(control))
            add(control->Caption(), control->Width() - s.Scale(6));
        else if (dynamic_cast<TGroupBox*>(control))
            add(control->Caption(), control->Width() - s.Scale(16));
        else if (auto* box = dynamic_cast<TComboBox*>(control); box && box->Style() == TComboBoxStyle::csDropDownList) {
            for (int k = 0; k < box->Items().Count(); ++k) add(box->Items()[k], box->Width() - arrow - s.Scale(6));
        } else if (auto* list = dynamic_cast<TListView*>(control)) {
            for (int k = 0; k < list->Columns().Count(); ++k)
                add(list->Columns().Items(k)->Caption(), s.Scale(list->Columns().Items(k)->Width()) - s.Scale(12));
        }
    }
    return fits;
}

class LanguageOfEveryText : public Language, public testing::WithParamInterface<TLanguage> {};

TEST_P(LanguageOfEveryText, IsTheLanguageInForceAndFitsItsControl) {
    Switch(GetParam());
    for (TCustomForm* form : {static_cast<TCustomForm*>(Form), static_cast<TCustomForm*>(AboutBox)}) {
        // Every page in turn, as the operator sees it.
        for (int page = 0; page < 5; ++page) {
            if (form == Form) Form->PageControlQUORINQ1->SetActivePageIndex(page);
            for (const TFit& fit : Fits(*form)) {
                EXPECT_GE(fit.Room, 0) << fit.Name << " clips \"" << fit.Text << "\" by " << -fit.Room << " px";
                if (GetParam() == TLanguage::English) {
                    EXPECT_FALSE(HasCjk(fit.Text)) << fit.Name << ": " << fit.Text;
                }
            }
            if (form != Form) break;
        }
        if (GetParam() != TLanguage::English) continue;
        EXPECT_FALSE(HasCjk(form->Caption())) << form->Caption();
        for (int i = 0; i < form->ComponentCount(); ++i)
            if (auto* item = dynamic_cast<TMenuItem*>(form->Components(i)); item && item != Form->ChineseSimplified1) {
                EXPECT_FALSE(HasCjk(item->Caption())) << item->Name() << ": " << item->Caption();
            }
    }
    Form->PageControlQUORINQ1->SetActivePageIndex(1);
}

INSTANTIATE_TEST_SUITE_P(Language, LanguageOfEveryText, testing::Values(TLanguage::Chinese, TLanguage::English),
                         [](const testing::TestParamInfo<TLanguage>& info) {
                             return std::string(LanguageCode(info.param)) == "en" ? "English" : "Chinese";
                         });

// The same check at every display scale the program is made for: the windows told that
// their DPI changed, as the system tells them on a monitor of that scale.
class LanguageAtScale : public Language, public testing::WithParamInterface<std::tuple<TLanguage, int>> {
protected:
    static void ScaleTo(TCustomForm& form, int dpi) {
        RECT r{};
        GetWindowRect(form.Handle(), &r);
        SendMessageW(form.Handle(), kWmDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&r));
    }
    void TearDown() override {
        ScaleTo(*Form, 96);
        ScaleTo(*AboutBox, 96);
        Language::TearDown();
    }
};

TEST_P(LanguageAtScale, EveryTextFitsItsControl) {
    const auto [language, dpi] = GetParam();
    Switch(language);
    ScaleTo(*Form, dpi);
    ScaleTo(*AboutBox, dpi);
    for (TCustomForm* form : {static_cast<TCustomForm*>(Form), static_cast<TCustomForm*>(AboutBox)}) {
        ASSERT_EQ(form->FormDpiScale().Dpi, dpi);
        for (int page = 0; page < 5; ++page) {
            if (form == Form) Form->PageControlQUORINQ1->SetActivePageIndex(page);
            for (const TFit& fit : Fits(*form))
                EXPECT_GE(fit.Room, 0) << fit.Name << " clips \"" << fit.Text << "\" by " << -fit.Room << " px at "
                                       << dpi;
            if (form != Form) break;
        }
    }
    Form->PageControlQUORINQ1->SetActivePageIndex(1);
}

INSTANTIATE_TEST_SUITE_P(
    Scales, LanguageAtScale,
    testing::Combine(testing::Values(TLanguage::Chinese, TLanguage::English), testing::Values(120, 144, 192, 240)),
    [](const testing::TestParamInfo<std::tuple<TLanguage, int>>& info) {
        return std::string(LanguageCode(std::get<0>(info.param)) == std::string("en") ? "English" : "Chinese") +
               std::to_string(std::get<1>(info.param));
    });

TEST_F(Language, ASwitchKeepsSelectionsAndChecksTheLanguageItem) {
    Form->ComboBoxSwitchMode->SetItemIndex(2);
    Form->ComboBoxtBaudrateIndexB->SetItemIndex(14);
    Form->ComboBoxUARTParityBitIndex->SetItemIndex(-1);
    Switch(TLanguage::English);
    EXPECT_EQ(Form->ComboBoxSwitchMode->ItemIndex(), 2);
    EXPECT_EQ(Form->ComboBoxSwitchMode->Text(), "Formatted");
    EXPECT_EQ(Form->ComboBoxtBaudrateIndexB->Text(), "Reserved 7");
    EXPECT_EQ(Form->ComboBoxUARTParityBitIndex->ItemIndex(), -1);
    EXPECT_TRUE(Form->English1->Checked());
    EXPECT_FALSE(Form->ChineseSimplified1->Checked());
    EXPECT_EQ(AboutBox->OKButton->Caption(), "OK");
    EXPECT_EQ(AboutBox->ProductName->Caption(), "QUORIN Config V1.0 for the following product:");

    // The time a switch takes, there and back, for the record (not a limit).
    std::vector<double> ms;
    for (int i = 0; i < 10; ++i) {
        const auto start = std::chrono::steady_clock::now();
        Switch(i % 2 ? TLanguage::English : TLanguage::Chinese);
        UpdateWindow(Form->Handle());
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("switching languages: median %.1f ms\n", ms[ms.size() / 2]);
    RecordProperty("switch_median_ms", std::to_string(ms[ms.size() / 2]));

    Switch(TLanguage::Chinese);
    EXPECT_EQ(Form->ComboBoxSwitchMode->Text(), "格式转换");
    EXPECT_TRUE(Form->ChineseSimplified1->Checked());
    Form->ComboBoxSwitchMode->SetItemIndex(0);
    Form->ComboBoxtBaudrateIndexB->SetItemIndex(0);
    Form->ComboBoxUARTParityBitIndex->SetItemIndex(0);
}

// An administrator's policies, as Group Policy writes them (HKLM of the test's prefix), for
// one case: a choice they fix is checked and unavailable, the rest of its menu stays open,
// and the window says why in its status.
struct TPolicyCase {
    const char* Name;
    const wchar_t* Language;  // REG_SZ values, or null for none
    const wchar_t* Skin;
    DWORD DisableSkinFiles;
    const wchar_t* UserSkin;  // the user's own choice, which a policy comes before
    bool LanguageFixed;
    const char* CheckedSkin;  // the caption of the Skin item checked
    bool SkinItemsEnabled, LoadEnabled, Note;
};

// A skin file outside the program's skins folder: the build's own Slate skin, as a
// Windows path.
constexpr wchar_t kSkinElsewhere[] = L"(slate elsewhere)";
std::wstring UserSkin(const wchar_t* value) {
    if (std::wstring(value) != kSkinElsewhere) return value;
    std::wstring path = L"Z:" + ToWide(std::string(QUORIN_BINARY_DIR) + "/skins/slate.skn");
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

class PolicyValues {
public:
    explicit PolicyValues(const TPolicyCase& c) {
        Clear();
        if (c.Language) SetText(kPolicyKey, HKEY_LOCAL_MACHINE, L"Language", c.Language);
        if (c.Skin) SetText(kPolicyKey, HKEY_LOCAL_MACHINE, L"Skin", c.Skin);
        if (c.DisableSkinFiles)
            RegSetKeyValueW(HKEY_LOCAL_MACHINE, kPolicyKey, L"DisableSkinFiles", REG_DWORD, &c.DisableSkinFiles,
                            sizeof(DWORD));
        if (c.UserSkin) SetText(kSettingsKey, HKEY_CURRENT_USER, L"Skin", UserSkin(c.UserSkin).c_str());
    }
    ~PolicyValues() { Clear(); }

private:
    static void SetText(const wchar_t* key, HKEY root, const wchar_t* name, const wchar_t* value) {
        RegSetKeyValueW(root, key, name, REG_SZ, value, DWORD((wcslen(value) + 1) * sizeof(wchar_t)));
    }
    static void Clear() {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kPolicyKey);
        DeleteSetting(kSettingSkin);
        DeleteSetting(kSettingLanguage);
    }
};

class Policies : public testing::TestWithParam<TPolicyCase> {};

TEST_P(Policies, FixTheirChoicesInTheMenus) {
    const TPolicyCase& c = GetParam();
    SetCurrentLanguage(TLanguage::Chinese);
    PolicyValues policy(c);
    auto* form = new TFormCANConfig(Application);
    form->BuildSkinMenu();  // as the program's message loop does once the first frame is out
    EXPECT_EQ(CurrentLanguage(), c.LanguageFixed ? TLanguage::English : TLanguage::Chinese);
    EXPECT_EQ(form->English1->Checked(), c.LanguageFixed);
    EXPECT_EQ(form->ChineseSimplified1->Enabled(), !c.LanguageFixed);
    EXPECT_EQ(form->English1->Enabled(), !c.LanguageFixed);
    std::vector<std::string> checked;
    for (int i = 0; i < form->Skin1->Count(); ++i) {
        const TMenuItem* item = form->Skin1->Items(i);
        if (item->Caption() == "-") continue;
        if (item->Checked()) checked.push_back(item->Caption());
        const bool load = i == form->Skin1->Count() - 1;
        EXPECT_EQ(item->Enabled(), load ? c.LoadEnabled : c.SkinItemsEnabled) << item->Caption();
    }
    EXPECT_EQ(checked, std::vector<std::string>{c.CheckedSkin});
    EXPECT_EQ(form->StatusBar1->Panels()[1]->Text() == LoadStr(IDS_POLICY_NOTE), c.Note);
    delete form;
    SetCurrentLanguage(TLanguage::Chinese);
}

// NoSkinFiles: the user's skin is a file from elsewhere, which is not loaded once skin files
// are forbidden (and is, without the policy). The skin in force outlives a window in this
// process, so a case that leaves another skin in force comes after those expecting the
// built-in one.
INSTANTIATE_TEST_SUITE_P(
    Language, Policies,
    testing::Values(
        TPolicyCase{"None", nullptr, nullptr, 0, nullptr, false, "Built-in skin", true, true, false},
        TPolicyCase{"UnknownLanguageFixesNothing", L"fr", nullptr, 0, nullptr, false, "Built-in skin", true, true,
                    false},
        TPolicyCase{"NoSkinFiles", nullptr, nullptr, 1, kSkinElsewhere, false, "Built-in skin", true, false, true},
        TPolicyCase{"SkinFileFromElsewhere", nullptr, nullptr, 0, kSkinElsewhere, false, "slate", true, true, false},
        TPolicyCase{"LanguageAndSkin", L"en", L"none", 0, L"default", true, "No skin", false, false, true}),
    [](const testing::TestParamInfo<TPolicyCase>& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace quorin
