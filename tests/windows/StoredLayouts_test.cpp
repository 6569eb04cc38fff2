// The program's two stored layouts load into framework forms: every class, property,
// value and handler name they use is known to the framework.
#include "forms/ComCtrls.h"
#include "forms/Forms.h"
#include "forms/LayoutText.h"
#include "forms/StdCtrls.h"
#include "forms/TypInfo.h"
#include "skin/apply/Skinclasses.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace quorin;

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// A form with a no-op handler for every name the layouts wire.
class TLayoutHost : public TForm {
public:
    TLayoutHost(const std::string& text) : TForm(nullptr) {
        // The main window's layout holds the skin components too.
        RegisterSkinClasses();
        for (const char* name :
             {"FormCreate", "ButtonOpenRS232Click", "ButtonReadParameterClick", "ButtonWriteParameterClick",
              "Exit1Click", "AboutCANConfig1Click", "ComboBoxSwitchModeChange", "CheckBoxBuadrateCustomClick",
              "ButtonVandrelFilterIDAddClick", "ButtonVandrelFilterIDDeleteClick", "CheckBoxVandrelFilterEnableClick",
              "OpenProfile1Click", "SaveProfile1Click", "CompareProfile1Click", "RecentProfileClick",
              "LanguageItemClick", "OKButtonClick"})
            RegisterMethod(name, std::any(TNotifyEvent([](TObject*) {})));
        RegisterMethod("FormClose", std::any(TCloseEvent([](TObject*, TCloseAction&) {})));
        InitLayoutText(text);
    }
};

}  // namespace

class StoredLayouts : public ::testing::TestWithParam<const char*> {};

TEST_P(StoredLayouts, LoadAndShow) {
    Application->Initialize();
    const std::string text = ReadFile(std::string(QUORIN_SOURCE_DIR) + "/app/" + GetParam());
    ASSERT_FALSE(text.empty()) << GetParam();
    TLayoutHost* form = nullptr;
    try {
        form = new TLayoutHost(text);
    } catch (const std::exception& e) {
        FAIL() << e.what();
    }
    form->Show();
    Application->ProcessMessages();
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    delete form;
}

INSTANTIATE_TEST_SUITE_P(App, StoredLayouts, ::testing::Values("FormCANConfig.layout", "AboutBox.layout"));
