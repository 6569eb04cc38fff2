// The Language menu: the program's texts in Chinese or English, switched at run time. The
// texts come from the string tables; which control shows which text is app/LanguageTable.
// The choice is remembered per user and applied before the window is first shown; a
// language an administrator's policy sets comes before it and cannot be changed here.
#include "app/UnitCANConfig.h"

#include "app/LanguageTable.h"
#include "app/Settings.h"
#include "app/UnitAbout.h"

#include <initializer_list>
#include <optional>

namespace quorin {

namespace {

// Texts that the commands put into the window, not the layout: which of Ids stands there
// now, in whichever language, so that it can be shown again in the language in force.
std::optional<unsigned> ShownId(const std::string& Now, std::initializer_list<unsigned> Ids) {
    if (Now.empty()) return std::nullopt;
    for (unsigned id : Ids)
        for (TLanguage language : kLanguages)
            if (LoadStr(id, language) == Now) return id;
    return std::nullopt;
}

// The language a policy fixes; a policy value the program does not know fixes nothing.
std::optional<TLanguage> PolicyLanguage() {
    const auto code = ReadPolicy(kSettingLanguage);
    return code ? LanguageFromCode(*code) : std::nullopt;
}

}  // namespace

void TFormCANConfig::InitLanguage() {
    if (const auto fixed = PolicyLanguage())
        SetCurrentLanguage(*fixed);
    else if (const auto code = ReadSetting(kSettingLanguage))
        if (const auto language = LanguageFromCode(*code)) SetCurrentLanguage(*language);
    // Said once, where the window's status goes: the operator learns why a menu choice
    // does not move.
    if (PolicyLanguage() || ReadPolicy(kSettingSkin) || PolicyFlag(kPolicyDisableSkinFiles))
        StatusBar1->Panels()[1]->SetText(LoadStr(IDS_POLICY_NOTE));
    // The Skin submenu is made by InitSkins, after this, in the language already in force.
    RelabelWindows();
}

void TFormCANConfig::LanguageItemClick(TObject* Sender) {
    const TLanguage language = Sender == English1 ? TLanguage::English : TLanguage::Chinese;
    if (language != CurrentLanguage()) {
        SetCurrentLanguage(language);
        WriteSetting(kSettingLanguage, LanguageCode(language));
        ApplyLanguage();
    }
    CheckLanguageItem();
}

void TFormCANConfig::ApplyLanguage() {
    RelabelWindows();
    BuildSkinMenu();
}

void TFormCANConfig::RelabelWindows() {
    const TLanguage language = CurrentLanguage();
    RelabelForm(*this, language);
    if (AboutBox) RelabelForm(*AboutBox, language);
    ButtonOpenRS232->SetCaption(LoadStr(CommOpened ? IDS_CLOSE_PORT : IDS_OPEN_PORT));
    if (ComboBoxCommIndex->Items().Count() == 0)
        if (const auto id = ShownId(ComboBoxCommIndex->Text(), {IDS_NO_PORT_FOUND}))
            ComboBoxCommIndex->SetText(LoadStr(*id));
    TStatusPanel* status = StatusBar1->Panels()[1];
    if (const auto id = ShownId(status->Text(), {IDS_STATUS_READ_FAILED, IDS_STATUS_READ_DONE, IDS_WRITE_FAILED,
                                                 IDS_STATUS_WRITE_DONE, IDS_POLICY_NOTE}))
        status->SetText(LoadStr(*id));
    CheckLanguageItem();
}

void TFormCANConfig::CheckLanguageItem() {
    ChineseSimplified1->SetChecked(CurrentLanguage() == TLanguage::Chinese);
    English1->SetChecked(CurrentLanguage() == TLanguage::English);
    const bool free = !PolicyLanguage();
    ChineseSimplified1->SetEnabled(free);
    English1->SetEnabled(free);
}

}  // namespace quorin
