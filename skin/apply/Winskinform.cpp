// Attaching a skin applier to a window, finishing, unskinning, the window-procedure
// tables, the form hook and the MDI client hook.
#include "skin/apply/Winskinform.h"

namespace quorin {

QUORIN_DEFINE_CLASS(TWinSkinForm, TComponent) {}

bool SkinFramePainting = true;

TWinSkinForm::TWinSkinForm(TComponent* AOwner) : TComponent(AOwner) {
    FCanvas = new TCanvas;
    FDblClickTime = GetDoubleClickTime();
}

TWinSkinForm::~TWinSkinForm() {
    DeleteControls();
    FControlListAlive = false;
    delete FCanvas;
}

TWinSkinForm* FindSkinForm(HWND Window) { return nullptr; }

void TNCObject::MouseDown() {}
void TNCObject::MouseUp() {}
void TNCObject::MouseEnter() {}
void TNCObject::MouseLeave() {}

void TWinSkinForm::InitTform(TSkinData* SkinData, TCustomForm* Form) {}
void TWinSkinForm::InitDlg(TSkinData* SkinData) {}
void TWinSkinForm::InitSkin(TSkinData* SkinData) {}
void TWinSkinForm::WinWndProc(TMessage& Message) { Default(Message); }
void TWinSkinForm::Default(TMessage& Message) { FHook.Default(Message); }
void TWinSkinForm::NewWndProc(TMessage& Message) { Default(Message); }
void TWinSkinForm::SkinChange() {}
void TWinSkinForm::UnSubclass() {}
void TWinSkinForm::UnSubclass2() {}
void TWinSkinForm::UnSubclass3() {}
void TWinSkinForm::AfterSkin() {}
void TWinSkinForm::StopUpdate() {}
void TWinSkinForm::BeginUpdate() {}
void TWinSkinForm::GetWindowstate() {}
void TWinSkinForm::GetFormstyle() {}
void TWinSkinForm::OnTimer(TObject* Sender) {}
void TWinSkinForm::SubclassMDI() {}
void TWinSkinForm::UnSubclassMDI() {}
void TWinSkinForm::DefaultMDI(TMessage& Message) { Default(Message); }
void TWinSkinForm::WinMDIProc(TMessage& Message) { Default(Message); }

} // namespace quorin
