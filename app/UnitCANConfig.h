// The main window of the configuration tool: the port group, the QUORIN-Q1 parameter
// pages, the status bar and the menu, all created from the window's stored layout
// (FormCANConfig.layout), and the connection state that the protocol code shares.
//
// The handlers live in several files, one per concern: this unit's own file has the
// window's life cycle and menu commands; UnitCANConfigPorts.cpp the port selection and
// the Open button; UnitCANConfigRules.cpp the mode and custom bit-rate rules;
// UnitCANConfigFilter.cpp the filter list editor; UnitCANConfigParameter.cpp the
// Read and Write buttons.
#pragma once

#include "forms/ComCtrls.h"
#include "forms/ExtCtrls.h"
#include "forms/Forms.h"
#include "forms/ImgList.h"
#include "forms/Mask.h"
#include "forms/Menus.h"
#include "forms/StdCtrls.h"
#include "skin/apply/Skincaption.h"
#include "skin/resources/Winskindata.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace quorin {

class TFormCANConfig : public TForm {
    QUORIN_CLASS(TFormCANConfig, TForm)
public:
    // Creates the window from its stored layout; FormCreate runs at the end.
    explicit TFormCANConfig(TComponent* AOwner);

    // One field per component of the layout, bound by name when the layout is loaded.
    // The window itself and the port group.
    TLabel* Label2 = nullptr;
    TGroupBox* GroupBox2 = nullptr;
    TComboBox* ComboBoxCommIndex = nullptr;
    TButton* ButtonOpenRS232 = nullptr;
    TButton* ButtonReadParameter = nullptr;
    TButton* ButtonWriteParameter = nullptr;

    // The device-parameter group and its page controls.
    TGroupBox* GroupBox3 = nullptr;
    TPageControl* PageControlCANConfig = nullptr;
    TTabSheet* TabSheet1 = nullptr;
    TPageControl* PageControlQUORINQ1 = nullptr;

    // Page 0, device identity.
    TTabSheet* TabSheet15 = nullptr;
    TListView* ListViewVandrelBasicInfo = nullptr;

    // Page 1, conversion.
    TTabSheet* TabSheet2 = nullptr;
    TCheckBox* CheckBoxCANFrameInfoEnable = nullptr;
    TCheckBox* CheckBoxCANIDInfoEnable = nullptr;
    TGroupBox* GroupBox4 = nullptr;
    TLabel* Label10 = nullptr;
    TLabel* Label25 = nullptr;
    TEdit* EditUARTFrameInterVal = nullptr;
    TEdit* EditCANFrameInterval = nullptr;
    TGroupBox* GroupBox5 = nullptr;
    TLabel* Label7 = nullptr;
    TLabel* Label5 = nullptr;
    TComboBox* ComboBoxCANIDOffset = nullptr;
    TComboBox* ComboBoxCANIDLen = nullptr;
    TGroupBox* GroupBox6 = nullptr;
    TLabel* Label4 = nullptr;
    TLabel* Label6 = nullptr;
    TComboBox* ComboBoxSwitchMode = nullptr;
    TComboBox* ComboBoxSwtichRoute = nullptr;

    // Page 2, serial side.
    TTabSheet* TabSheet3 = nullptr;
    TLabel* Label9 = nullptr;
    TLabel* Label11 = nullptr;
    TLabel* Label12 = nullptr;
    TLabel* Label13 = nullptr;
    TLabel* Label16 = nullptr;
    TComboBox* ComboBoxUARTBuadrateIndex = nullptr;
    TComboBox* ComboBoxUARTStopBitIndex = nullptr;
    TComboBox* ComboBoxUARTDataBitIndex = nullptr;
    TComboBox* ComboBoxUARTMode = nullptr;
    TComboBox* ComboBoxUARTParityBitIndex = nullptr;

    // Page 3, CAN side.
    TTabSheet* TabSheet23 = nullptr;
    TLabel* Label17 = nullptr;
    TLabel* Label18 = nullptr;
    TLabel* Label19 = nullptr;
    TLabel* Label20 = nullptr;
    TLabel* Label21 = nullptr;
    TGroupBox* GroupBox18 = nullptr;
    TLabel* Label14 = nullptr;
    TLabel* Label15 = nullptr;
    TComboBox* ComboBoxtBaudrateIndexB = nullptr;
    TComboBox* ComboBoxtBaudrateIndexA = nullptr;
    TComboBox* ComboBoxFDStandard = nullptr;
    TComboBox* ComboBoxCANType = nullptr;
    TComboBox* ComboBoxCANFrameType = nullptr;
    TComboBox* ComboBoxBitRateSwitch = nullptr;
    TEdit* EditCANID = nullptr;
    TGroupBox* GroupBox1 = nullptr;
    TLabel* Label23 = nullptr;
    TLabel* Label24 = nullptr;
    TEdit* EditBaudrateA = nullptr;
    TEdit* EditBaudrateB = nullptr;
    TCheckBox* CheckBoxBuadrateCustom = nullptr;

    // Page 4, filters.
    TTabSheet* TabSheet25 = nullptr;
    TLabel* Label36 = nullptr;
    TLabel* Label38 = nullptr;
    TLabel* Label39 = nullptr;
    TLabel* Label22 = nullptr;
    TGroupBox* GroupBox29 = nullptr;
    TListView* ListViewVandrelFrameID = nullptr;
    TComboBox* ComboBoxVandrelFrameType = nullptr;
    TEdit* EditVandrelStartID = nullptr;
    TEdit* EditVandrelEndID = nullptr;
    TButton* ButtonVandrelFilterIDAdd = nullptr;
    TButton* ButtonVandrelFilterIDDelete = nullptr;
    TCheckBox* CheckBoxVandrelFilterEnable = nullptr;
    TComboBox* ComboBoxVandrelPort = nullptr;

    // Page 5, an empty page whose tab is hidden.
    TTabSheet* TabSheet26 = nullptr;

    // A second device's pages, kept but never shown.
    TTabSheet* TabSheet4 = nullptr;
    TPanel* Panel5 = nullptr;
    TPageControl* PageControlOsmerk = nullptr;
    TTabSheet* TabSheet5 = nullptr;
    TListView* ListViewOsmerkBasicInfo = nullptr;
    TTabSheet* TabSheet6 = nullptr;
    TGroupBox* GroupBox7 = nullptr;
    TLabel* Label26 = nullptr;
    TLabel* Label27 = nullptr;
    TEdit* EditOsmerkCAN0BTR0 = nullptr;
    TEdit* EditOsmerkCAN0BTR1 = nullptr;
    TGroupBox* GroupBox8 = nullptr;
    TLabel* Label28 = nullptr;
    TLabel* Label29 = nullptr;
    TEdit* EditOsmerkCAN1BTR0 = nullptr;
    TEdit* EditOsmerkCAN1BTR1 = nullptr;
    TTabSheet* TabSheet7 = nullptr;
    TLabel* Label30 = nullptr;
    TLabel* Label31 = nullptr;
    TLabel* Label32 = nullptr;
    TLabel* Label33 = nullptr;
    TGroupBox* GroupBox9 = nullptr;
    TListView* ListViewOsmerkFrameID = nullptr;
    TComboBox* ComboBoxOsmerkFrameType = nullptr;
    TEdit* EditOsmerkStartID = nullptr;
    TEdit* EditOsmerkEndID = nullptr;
    TButton* ButtonOsmerkFilterIDAdd = nullptr;
    TButton* ButtonOsmerkFilterIDDelete = nullptr;
    TCheckBox* CheckBoxOsmerkFilterEnable = nullptr;
    TComboBox* ComboBoxOsmerkPort = nullptr;
    TMaskEdit* MaskEdit7 = nullptr;
    TMaskEdit* MaskEdit8 = nullptr;
    TTabSheet* TabSheet8 = nullptr;

    // Hidden and unused.
    TTreeView* TreeViewDeviceType = nullptr;

    // Status bar, main menu and the unused image list.
    TStatusBar* StatusBar1 = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* File1 = nullptr;
    TMenuItem* OpenProfile1 = nullptr;
    TMenuItem* SaveProfile1 = nullptr;
    TMenuItem* CompareProfile1 = nullptr;
    TMenuItem* N4 = nullptr;
    TMenuItem* RecentProfile1 = nullptr;
    TMenuItem* RecentProfile2 = nullptr;
    TMenuItem* RecentProfile3 = nullptr;
    TMenuItem* RecentProfile4 = nullptr;
    TMenuItem* N5 = nullptr;
    TMenuItem* Exit1 = nullptr;
    TMenuItem* Window1 = nullptr;
    TMenuItem* Vandrel1 = nullptr;
    TMenuItem* N1 = nullptr;
    TMenuItem* N2 = nullptr;
    TMenuItem* N3 = nullptr;
    TMenuItem* Skin1 = nullptr;
    TMenuItem* Language1 = nullptr;
    TMenuItem* ChineseSimplified1 = nullptr;
    TMenuItem* English1 = nullptr;
    TMenuItem* Help1 = nullptr;
    TMenuItem* AboutCANConfig1 = nullptr;
    TImageList* ImageList1 = nullptr;

    // The skin of the program's windows and the caption component.
    TSkinData* SkinData1 = nullptr;
    TSkinCaption* SkinCaption1 = nullptr;

    // ---- event handlers, wired by name from the layout ----
    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Exit1Click(TObject* Sender);
    void AboutCANConfig1Click(TObject* Sender);
    void ButtonOpenRS232Click(TObject* Sender);
    void ButtonReadParameterClick(TObject* Sender);
    void ButtonWriteParameterClick(TObject* Sender);
    void ComboBoxSwitchModeChange(TObject* Sender);
    void CheckBoxBuadrateCustomClick(TObject* Sender);
    void ButtonVandrelFilterIDAddClick(TObject* Sender);
    void ButtonVandrelFilterIDDeleteClick(TObject* Sender);
    void CheckBoxVandrelFilterEnableClick(TObject* Sender);
    // File menu: profiles (UnitCANConfigProfile.cpp).
    void OpenProfile1Click(TObject* Sender);
    void SaveProfile1Click(TObject* Sender);
    void CompareProfile1Click(TObject* Sender);
    void RecentProfileClick(TObject* Sender);
    // A file dropped on the window: the first .json among them is opened.
    void FormDropFiles(TObject* Sender, const std::vector<std::string>& Files);
    // Language menu (UnitCANConfigLanguage.cpp).
    void LanguageItemClick(TObject* Sender);

    // ---- operations without event wiring ----
    // Lists the ports that open (COM0 to COM23) and enables Open when there is one.
    void ScanCommPorts();
    void AddFilterID();
    void DeleteFilterID();
    // Enables the filter editor's controls exactly when filtering is switched on.
    void UpdateFilterControls();

    // Start-up steps of the features beyond the window's own, run at the end of FormCreate:
    // the recent profiles (UnitCANConfigProfile.cpp), the remembered language
    // (UnitCANConfigLanguage.cpp) and the remembered skin with the Skin submenu
    // (UnitCANConfigSkin.cpp).
    void InitProfiles();
    // Fills the settings controls from a profile file as a read from a converter would,
    // leaving the identity list alone and sending nothing; a file that cannot be read or is
    // no valid profile is reported and the window stays as it was. True when opened.
    bool OpenProfileFile(const std::string& Path);
    // Opens the profile named on the command line (CANConfig.exe PROFILE.json), if any.
    void OpenStartupProfile();
    void InitLanguage();
    void InitSkins();
    // Relabels every window of the program in CurrentLanguage(); the values, selections,
    // the open port and the filter list stay as they are.
    void ApplyLanguage();
    // Brings the Skin submenu up to date, in the current language, the current skin
    // checked: its items made anew only when they are not the ones it should list.
    void BuildSkinMenu();
    // Moves the Skin submenu's check mark to the current skin when its items are the ones
    // it should list; false, and nothing changed, when the items themselves must change.
    using TSkinMenuEntries = std::vector<std::pair<std::string, std::string>>;
    bool MoveSkinCheck();
    bool MoveSkinCheck(const TSkinMenuEntries& Entries);
    // Asks whether the system's high-contrast mode is on and, when that changed, takes
    // the skin off every window (the system's colours draw them) or puts the chosen skin
    // back; the remembered skin stays as it is (UnitCANConfigSkin.cpp).
    void FollowHighContrast();

protected:
    void WndProc(TMessage& Message) override;

private:
    void BindComponentFields();
    void RegisterEventHandlers();
    // What closing the window does to an open port (FormClose and Exit1Click).
    void ClosePortOnExit();
    // Sets the texts of this window and the About box in CurrentLanguage(), and checks the
    // language's menu item (UnitCANConfigLanguage.cpp).
    void RelabelWindows();
    void CheckLanguageItem();
};

// The main window, set by start-up.
extern TFormCANConfig* FormCANConfig;

// Runs Step from the message loop once the main window shows and has been painted, after
// every step queued before it has returned: the start-up messages (a refused skin, a
// profile that cannot be opened) come one after another over the window, never stacked.
void RunAfterFirstPaint(std::function<void()> Step);

// Starts trying the serial ports on a thread of their own, before the main window is made;
// the window takes the result when it fills its port box. Without it the window tries
// them itself.
void StartPortScan();

// The connection: true while a port is open, and the number of the port last opened (it
// keeps its value after the port closes). Every serial-channel call of the protocol code
// passes OpenedCommIndex.
extern bool CommOpened;
extern int32_t OpenedCommIndex;

}  // namespace quorin
