// Caption buttons, the non-client mouse, window-state commands, the system menu, and
// keeping the native caption from showing.
#include "skin/apply/Winskinform.h"

namespace quorin {

void TWinSysButton::Draw() { Form->DrawSysbtn(this, State); }

TWinSysButton* TWinSkinForm::FindBtn(POINT Point) const { return nullptr; }
void TWinSkinForm::SetSysbtnRect() {}
bool TWinSkinForm::Checkvisible(int Index) { return false; }
void TWinSkinForm::DrawAllSysbtn(TBitmap& Canvas, const RECT& Rect) {}
void TWinSkinForm::DrawSysbtn(TWinSysButton* Button, int Frame) {}
void TWinSkinForm::DeleteSysbtn() {}
void TWinSkinForm::WMNCMouseMove(TMessage& Message) { Default(Message); }
void TWinSkinForm::WMNCLButtonDown(TMessage& Message) { Default(Message); }
void TWinSkinForm::WMNCLButtonUp(TMessage& Message) { Default(Message); }
void TWinSkinForm::WMNCLBUTTONDBLCLK(TMessage& Message) { Default(Message); }
void TWinSkinForm::WMNCRButtonUp(TMessage& Message) { Default(Message); }
void TWinSkinForm::WMSysCommand(TMessage& Message) { Default(Message); }
void TWinSkinForm::WMGetMinMaxInfo(TMessage& Message) { Default(Message); }
void TWinSkinForm::SysBtnAction(int X, int Y) {}
void TWinSkinForm::Maximize() {}
void TWinSkinForm::Minimize() {}
void TWinSkinForm::Restore() {}
void TWinSkinForm::RestoreMDI() {}
void TWinSkinForm::MDIChildAction(UINT Command) {}
bool TWinSkinForm::MDIChildMax() const { return false; }
void TWinSkinForm::PopSysmenu(POINT Point) {}
void TWinSkinForm::CreateSysmenu() {}
void TWinSkinForm::CreateSysmenu2() {}
void TWinSkinForm::AddSysMenuitem(const std::string& Caption, int Index) {}
bool TWinSkinForm::CheckSysmenu() const { return false; }
void TWinSkinForm::DoSysMenu(TObject* Sender) {}
void TWinSkinForm::DoSysMenu2(TObject* Sender) {}
void TWinSkinForm::EnableSysbtn(bool Enable) {}
void TWinSkinForm::UpdateStyle(bool Hide) {}

} // namespace quorin
