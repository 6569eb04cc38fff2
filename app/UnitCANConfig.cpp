// The main window's life cycle and its menu commands, and the connection state.
#include "app/UnitCANConfig.h"

#include "app/FirstPaintLog.h"
#include "app/Strings.h"
#include "app/UnitAbout.h"
#include "link/VCI.h"
#include "skin/apply/Skinclasses.h"

#include <windows.h>

#include <deque>

namespace quorin {

TFormCANConfig* FormCANConfig = nullptr;
bool CommOpened = false;
int32_t OpenedCommIndex = 0;

QUORIN_DEFINE_CLASS(TFormCANConfig, TForm) {}

namespace {

std::deque<std::function<void()>> StepsAfterFirstPaint;
bool RunningStepsAfterFirstPaint = false;

void CALLBACK RunStepsAfterFirstPaint(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    // A step that shows a box runs the box's message loop, in which a timer set meanwhile
    // fires: the loop below runs that step once the box is answered.
    if (RunningStepsAfterFirstPaint) return;
    const HWND main = FormCANConfig && FormCANConfig->HandleAllocated() ? FormCANConfig->Handle() : nullptr;
    if (!main || !IsWindowVisible(main)) {
        SetTimer(nullptr, 0, USER_TIMER_MINIMUM, RunStepsAfterFirstPaint);
        return;
    }
    UpdateWindow(main);
    RunningStepsAfterFirstPaint = true;
    while (!StepsAfterFirstPaint.empty()) {
        auto step = std::move(StepsAfterFirstPaint.front());
        StepsAfterFirstPaint.pop_front();
        try {
            step();
        } catch (...) {
            Application->HandleException(FormCANConfig);
        }
    }
    RunningStepsAfterFirstPaint = false;
}

}  // namespace

void RunAfterFirstPaint(std::function<void()> Step) {
    StepsAfterFirstPaint.push_back(std::move(Step));
    SetTimer(nullptr, 0, 0, RunStepsAfterFirstPaint);
}

TFormCANConfig::TFormCANConfig(TComponent* AOwner) : TForm(AOwner) {
    // The layout holds the skin components, so the loader must know their classes.
    RegisterSkinClasses();
    BindComponentFields();
    RegisterEventHandlers();
    InitLayout(L"TFORMCANCONFIG");
}

void TFormCANConfig::RegisterEventHandlers() {
    RegisterHandler("FormCreate", &TFormCANConfig::FormCreate);
    RegisterHandler("FormClose", &TFormCANConfig::FormClose);
    RegisterHandler("Exit1Click", &TFormCANConfig::Exit1Click);
    RegisterHandler("AboutCANConfig1Click", &TFormCANConfig::AboutCANConfig1Click);
    RegisterHandler("ButtonOpenRS232Click", &TFormCANConfig::ButtonOpenRS232Click);
    RegisterHandler("ButtonReadParameterClick", &TFormCANConfig::ButtonReadParameterClick);
    RegisterHandler("ButtonWriteParameterClick", &TFormCANConfig::ButtonWriteParameterClick);
    RegisterHandler("ComboBoxSwitchModeChange", &TFormCANConfig::ComboBoxSwitchModeChange);
    RegisterHandler("CheckBoxBuadrateCustomClick", &TFormCANConfig::CheckBoxBuadrateCustomClick);
    RegisterHandler("ButtonVandrelFilterIDAddClick", &TFormCANConfig::ButtonVandrelFilterIDAddClick);
    RegisterHandler("ButtonVandrelFilterIDDeleteClick", &TFormCANConfig::ButtonVandrelFilterIDDeleteClick);
    RegisterHandler("CheckBoxVandrelFilterEnableClick", &TFormCANConfig::CheckBoxVandrelFilterEnableClick);
    RegisterHandler("OpenProfile1Click", &TFormCANConfig::OpenProfile1Click);
    RegisterHandler("SaveProfile1Click", &TFormCANConfig::SaveProfile1Click);
    RegisterHandler("CompareProfile1Click", &TFormCANConfig::CompareProfile1Click);
    RegisterHandler("RecentProfileClick", &TFormCANConfig::RecentProfileClick);
    RegisterHandler("LanguageItemClick", &TFormCANConfig::LanguageItemClick);
}

void TFormCANConfig::BindComponentFields() {
    BindField("Label2", Label2);
    BindField("GroupBox2", GroupBox2);
    BindField("ComboBoxCommIndex", ComboBoxCommIndex);
    BindField("ButtonOpenRS232", ButtonOpenRS232);
    BindField("ButtonReadParameter", ButtonReadParameter);
    BindField("ButtonWriteParameter", ButtonWriteParameter);
    BindField("GroupBox3", GroupBox3);
    BindField("PageControlCANConfig", PageControlCANConfig);
    BindField("TabSheet1", TabSheet1);
    BindField("PageControlQUORINQ1", PageControlQUORINQ1);
    BindField("TabSheet15", TabSheet15);
    BindField("ListViewVandrelBasicInfo", ListViewVandrelBasicInfo);
    BindField("TabSheet2", TabSheet2);
    BindField("CheckBoxCANFrameInfoEnable", CheckBoxCANFrameInfoEnable);
    BindField("CheckBoxCANIDInfoEnable", CheckBoxCANIDInfoEnable);
    BindField("GroupBox4", GroupBox4);
    BindField("Label10", Label10);
    BindField("Label25", Label25);
    BindField("EditUARTFrameInterVal", EditUARTFrameInterVal);
    BindField("EditCANFrameInterval", EditCANFrameInterval);
    BindField("GroupBox5", GroupBox5);
    BindField("Label7", Label7);
    BindField("Label5", Label5);
    BindField("ComboBoxCANIDOffset", ComboBoxCANIDOffset);
    BindField("ComboBoxCANIDLen", ComboBoxCANIDLen);
    BindField("GroupBox6", GroupBox6);
    BindField("Label4", Label4);
    BindField("Label6", Label6);
    BindField("ComboBoxSwitchMode", ComboBoxSwitchMode);
    BindField("ComboBoxSwtichRoute", ComboBoxSwtichRoute);
    BindField("TabSheet3", TabSheet3);
    BindField("Label9", Label9);
    BindField("Label11", Label11);
    BindField("Label12", Label12);
    BindField("Label13", Label13);
    BindField("Label16", Label16);
    BindField("ComboBoxUARTBuadrateIndex", ComboBoxUARTBuadrateIndex);
    BindField("ComboBoxUARTStopBitIndex", ComboBoxUARTStopBitIndex);
    BindField("ComboBoxUARTDataBitIndex", ComboBoxUARTDataBitIndex);
    BindField("ComboBoxUARTMode", ComboBoxUARTMode);
    BindField("ComboBoxUARTParityBitIndex", ComboBoxUARTParityBitIndex);
    BindField("TabSheet23", TabSheet23);
    BindField("Label17", Label17);
    BindField("Label18", Label18);
    BindField("Label19", Label19);
    BindField("Label20", Label20);
    BindField("Label21", Label21);
    BindField("GroupBox18", GroupBox18);
    BindField("Label14", Label14);
    BindField("Label15", Label15);
    BindField("ComboBoxtBaudrateIndexB", ComboBoxtBaudrateIndexB);
    BindField("ComboBoxtBaudrateIndexA", ComboBoxtBaudrateIndexA);
    BindField("ComboBoxFDStandard", ComboBoxFDStandard);
    BindField("ComboBoxCANType", ComboBoxCANType);
    BindField("ComboBoxCANFrameType", ComboBoxCANFrameType);
    BindField("ComboBoxBitRateSwitch", ComboBoxBitRateSwitch);
    BindField("EditCANID", EditCANID);
    BindField("GroupBox1", GroupBox1);
    BindField("Label23", Label23);
    BindField("Label24", Label24);
    BindField("EditBaudrateA", EditBaudrateA);
    BindField("EditBaudrateB", EditBaudrateB);
    BindField("CheckBoxBuadrateCustom", CheckBoxBuadrateCustom);
    BindField("TabSheet25", TabSheet25);
    BindField("Label36", Label36);
    BindField("Label38", Label38);
    BindField("Label39", Label39);
    BindField("Label22", Label22);
    BindField("GroupBox29", GroupBox29);
    BindField("ListViewVandrelFrameID", ListViewVandrelFrameID);
    BindField("ComboBoxVandrelFrameType", ComboBoxVandrelFrameType);
    BindField("EditVandrelStartID", EditVandrelStartID);
    BindField("EditVandrelEndID", EditVandrelEndID);
    BindField("ButtonVandrelFilterIDAdd", ButtonVandrelFilterIDAdd);
    BindField("ButtonVandrelFilterIDDelete", ButtonVandrelFilterIDDelete);
    BindField("CheckBoxVandrelFilterEnable", CheckBoxVandrelFilterEnable);
    BindField("ComboBoxVandrelPort", ComboBoxVandrelPort);
    BindField("TabSheet26", TabSheet26);
    BindField("TabSheet4", TabSheet4);
    BindField("Panel5", Panel5);
    BindField("PageControlOsmerk", PageControlOsmerk);
    BindField("TabSheet5", TabSheet5);
    BindField("ListViewOsmerkBasicInfo", ListViewOsmerkBasicInfo);
    BindField("TabSheet6", TabSheet6);
    BindField("GroupBox7", GroupBox7);
    BindField("Label26", Label26);
    BindField("Label27", Label27);
    BindField("EditOsmerkCAN0BTR0", EditOsmerkCAN0BTR0);
    BindField("EditOsmerkCAN0BTR1", EditOsmerkCAN0BTR1);
    BindField("GroupBox8", GroupBox8);
    BindField("Label28", Label28);
    BindField("Label29", Label29);
    BindField("EditOsmerkCAN1BTR0", EditOsmerkCAN1BTR0);
    BindField("EditOsmerkCAN1BTR1", EditOsmerkCAN1BTR1);
    BindField("TabSheet7", TabSheet7);
    BindField("Label30", Label30);
    BindField("Label31", Label31);
    BindField("Label32", Label32);
    BindField("Label33", Label33);
    BindField("GroupBox9", GroupBox9);
    BindField("ListViewOsmerkFrameID", ListViewOsmerkFrameID);
    BindField("ComboBoxOsmerkFrameType", ComboBoxOsmerkFrameType);
    BindField("EditOsmerkStartID", EditOsmerkStartID);
    BindField("EditOsmerkEndID", EditOsmerkEndID);
    BindField("ButtonOsmerkFilterIDAdd", ButtonOsmerkFilterIDAdd);
    BindField("ButtonOsmerkFilterIDDelete", ButtonOsmerkFilterIDDelete);
    BindField("CheckBoxOsmerkFilterEnable", CheckBoxOsmerkFilterEnable);
    BindField("ComboBoxOsmerkPort", ComboBoxOsmerkPort);
    BindField("MaskEdit7", MaskEdit7);
    BindField("MaskEdit8", MaskEdit8);
    BindField("TabSheet8", TabSheet8);
    BindField("TreeViewDeviceType", TreeViewDeviceType);
    BindField("StatusBar1", StatusBar1);
    BindField("MainMenu1", MainMenu1);
    BindField("File1", File1);
    BindField("OpenProfile1", OpenProfile1);
    BindField("SaveProfile1", SaveProfile1);
    BindField("CompareProfile1", CompareProfile1);
    BindField("N4", N4);
    BindField("RecentProfile1", RecentProfile1);
    BindField("RecentProfile2", RecentProfile2);
    BindField("RecentProfile3", RecentProfile3);
    BindField("RecentProfile4", RecentProfile4);
    BindField("N5", N5);
    BindField("Exit1", Exit1);
    BindField("Window1", Window1);
    BindField("Vandrel1", Vandrel1);
    BindField("N1", N1);
    BindField("N2", N2);
    BindField("N3", N3);
    BindField("Skin1", Skin1);
    BindField("Language1", Language1);
    BindField("ChineseSimplified1", ChineseSimplified1);
    BindField("English1", English1);
    BindField("Help1", Help1);
    BindField("AboutCANConfig1", AboutCANConfig1);
    BindField("ImageList1", ImageList1);
    BindField("SkinData1", SkinData1);
    BindField("SkinCaption1", SkinCaption1);
}

void TFormCANConfig::FormCreate(TObject* Sender) {
    LogStartupStep("layout");
    // The steps that need more than the layout (the ports, the remembered profiles,
    // language and skin) each report their own failure and leave the others to run: a
    // window without one of them is still a window to work in.
    auto optional = [this](void (TFormCANConfig::*step)()) {
        try {
            (this->*step)();
        } catch (...) {
            Application->HandleException(this);
        }
    };
    optional(&TFormCANConfig::ScanCommPorts);
    LogStartupStep("port-scan");
    UpdateFilterControls();
    // The layout keeps the page that was last edited in front; the operator starts on
    // the conversion page.
    PageControlQUORINQ1->SetActivePageIndex(1);
    // Every row added on the filter page takes its port from this hidden box.
    ComboBoxVandrelPort->Items().Clear();
    ComboBoxVandrelPort->Items().AddObject("CAN0", 0);
    ComboBoxVandrelPort->Items().AddObject("CAN1", 1);
    ComboBoxVandrelPort->SetItemIndex(1);
    ComboBoxSwitchModeChange(nullptr);
    optional(&TFormCANConfig::InitProfiles);
    optional(&TFormCANConfig::InitLanguage);
    optional(&TFormCANConfig::InitSkins);
    LogStartupStep("form-create");
}

void TFormCANConfig::ClosePortOnExit() {
    if (!CommOpened) return;
    ButtonOpenRS232->SetCaption(LoadStr(IDS_OPEN_PORT));
    CommOpened = false;
    ButtonReadParameter->SetEnabled(false);
    ButtonWriteParameter->SetEnabled(false);
    // The port box stays as it is: the window is going away.
    VCI_CloseDevice(OpenedCommIndex);
}

void TFormCANConfig::FormClose(TObject* Sender, TCloseAction& Action) { ClosePortOnExit(); }

void TFormCANConfig::Exit1Click(TObject* Sender) {
    ClosePortOnExit();
    Close();
}

// Made on the first showing, not with the program: the first frame of the main window does
// not wait for a box that may never be asked for. Kept for the next showing.
void TFormCANConfig::AboutCANConfig1Click(TObject* Sender) {
    if (!AboutBox) Application->CreateForm(AboutBox);
    AboutBox->ShowModal();
}

}  // namespace quorin
