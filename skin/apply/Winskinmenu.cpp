// Pop-up menu windows drawn with the skin's menu border and background.
#include "skin/apply/Winskinmenu.h"

namespace quorin {

TWinSkinPopMenu::~TWinSkinPopMenu() { UnSubClass(); }
void TWinSkinPopMenu::InitSkin(HWND Window, TSkinData* SkinData, int Kind) {}
void TWinSkinPopMenu::UnSubClass() { FHook.Unhook(); }
void TWinSkinPopMenu::WinWndProc(TMessage& Message) { Default(Message); }
void TWinSkinPopMenu::Default(TMessage& Message) { FHook.Default(Message); }
void TWinSkinPopMenu::NcPaint(HDC DC, HRGN Update) {}
void TWinSkinPopMenu::WMPrint(TMessage& Message) { Default(Message); }
void TWinSkinPopMenu::WMPrintClient(TMessage& Message) { Default(Message); }
void TWinSkinPopMenu::WMERASEBKGND(TMessage& Message) { Default(Message); }
void TWinSkinPopMenu::UpdateMenu() {}

} // namespace quorin
