// The menu bar in the frame's menu row, opening its drop-downs, accelerators, and the
// owner-drawn items of menus.
#include "skin/apply/Winskinform.h"

namespace quorin {

QUORIN_DEFINE_CLASS(TWinSkinMenu, TComponent) {}

TWinSkinMenu::TWinSkinMenu(TComponent* AOwner, TSkinData* SkinData, TWinSkinForm* SkinForm)
    : TComponent(AOwner), FSkinData(SkinData), FSkinForm(SkinForm) {}
TWinSkinMenu::~TWinSkinMenu() = default;
void TWinSkinMenu::UpdataBtn() {}
void TWinSkinMenu::UpdataBtn1() {}
void TWinSkinMenu::UpdataBtn2(HMENU Menu) {}
void TWinSkinMenu::SetMenuRect() {}
void TWinSkinMenu::DrawMenu(HDC DC, const RECT& Rect) {}
TMenuBtn* TWinSkinMenu::FindBtn(POINT Point) const { return nullptr; }
void TWinSkinMenu::MouseMove(POINT Point) {}
void TWinSkinMenu::FreeButtons() { FButtons.clear(); }
bool TWinSkinMenu::RightToLeft() const { return false; }

void TMenuBtn::Draw() {}

bool TWinSkinForm::CheckMenu(TMenuBtn* Button) { return false; }
void TWinSkinForm::ClickButton(TMenuBtn* Button) {}
void TWinSkinForm::CancelMenu() {}
TMenuBtn* TWinSkinForm::FindButtonFromAccel(WPARAM Key) const { return nullptr; }
void TWinSkinForm::CMDialogChar(TMessage& Message) { Default(Message); }
void TWinSkinForm::MenuSelect(TMessage& Message) { Default(Message); }
void TWinSkinForm::WMCommand(TMessage& Message) { Default(Message); }
void TWinSkinForm::WMINITMENU(HMENU Menu) {}
void TWinSkinForm::InitMainMenu(TComponent* Container, bool Enable, bool Recurse) {}
void TWinSkinForm::InitPopMenu(TComponent* Container, bool Enable, bool Recurse) {}
void TWinSkinForm::InitToolbarMenu(TMenuItem* Item, bool Enable) {}
void TWinSkinForm::DrawMenuItem(TObject* Sender, TCanvas& Canvas, RECT Rect, bool Selected) {}
void TWinSkinForm::MeasureItemPop(TObject* Sender, TCanvas& Canvas, int& Width, int& Height) {}
void TWinSkinForm::MeasureItem(TObject* Sender, TCanvas& Canvas, int& Width, int& Height) {}
void TWinSkinForm::DrawItemText(TMenuItem* Item, TCanvas& Canvas, RECT Rect, bool Selected) {}
void TWinSkinForm::DrawMenuCaption(TCanvas& Canvas, RECT Rect) {}
void TWinSkinForm::DefaultMenuItem(TObject* Sender, TCanvas& Canvas, RECT Rect, bool Selected) {}
void TWinSkinForm::WMDRAWITEM(TMessage& Message) { Default(Message); }
void TWinSkinForm::WMMEASUREITEM(TMessage& Message) { Default(Message); }
void TWinSkinForm::ToolBarDrawButton(TObject* Sender, TObject* Button, int State, bool& DefaultDraw) {}
void TWinSkinForm::ToolBarDrawBackground(TObject* Sender, const RECT& Rect, bool& DefaultDraw) {}

} // namespace quorin
