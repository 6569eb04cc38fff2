// The skin manager's window side: hooks, the lists of skinned windows and menus, actions.
#include "skin/apply/Winskindlg.h"

namespace quorin {

TSkinManage::TSkinManage(bool Library) {}
TSkinManage::~TSkinManage() = default;
void TSkinManage::InstallHook() {}
bool TSkinManage::AddForm(TWindowHandle window) { return false; }
void TSkinManage::AddOwnerForm(TComponent* owner) {}
void TSkinManage::DeleteSysbtn(TSkinData* skin) {}
void TSkinManage::UpdateSkinControl(TWindowHandle form, void* control) {}
void TSkinManage::UpdateMenu(TWindowHandle form) {}
void TSkinManage::AddNestForm(TWindowHandle host, TWindowHandle nested) {}
void TSkinManage::DeleteGraphicControl(TWindowHandle form, void* control) {}
void TSkinManage::UpdateMainMenu() {}
void TSkinManage::RefreshFrames() {}
void TSkinManage::RunAction(int action, TSkinData* skin) { TSkinManageBase::RunAction(action, skin); }
void TSkinManage::ActiveForm(TCustomForm* Form) {}
TWinSkinForm* TSkinManage::FindSkinForm(HWND Window) const { return nullptr; }
TCustomForm* TSkinManage::FindTForm(HWND Window) const { return nullptr; }
bool TSkinManage::NestedForm(HWND Window) const { return false; }
void TSkinManage::FindSkindata(TSkinData*& SkinData, HWND Window) const { SkinData = nullptr; }
bool TSkinManage::OnBeforeSkin(HWND Window, const std::string& ClassName) { return true; }
void TSkinManage::DeleteForm(HWND Window) {}
void TSkinManage::DeleteDeleted() {}
void TSkinManage::DeleteAllForms() {}
bool TSkinManage::AddMenu(HWND Window) { return false; }
void TSkinManage::DeleteMenu(HWND Window) {}
TWinSkinPopMenu* TSkinManage::FindSkinMenu(HWND Window) const { return nullptr; }
void TSkinManage::SetPopMenu() {}
void TSkinManage::SetHMenu(HMENU Menu) {}
const TBitmap* TSkinManage::GetMenuBg(HMENU Menu) const { return nullptr; }
void TSkinManage::DeleteAllMenus() {}
void TSkinManage::SetMDIMax(bool Value) { FMDIMax = Value; }
int TSkinManage::GetMDIChildNum() const { return 0; }
void TSkinManage::FormFreed(TWinSkinForm* Form) {}

TSkinManage* SkinManage() { return dynamic_cast<TSkinManage*>(SkinManager); }
void RegisterSkinManager() {}

} // namespace quorin
