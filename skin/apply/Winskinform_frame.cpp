// Frame sizes, the non-client size, hit testing, frame painting, the caption text and
// the window region.
#include "skin/apply/Winskinform.h"

namespace quorin {

void TWinSkinForm::InitSkinData() {}
void TWinSkinForm::UpdateNc(HDC DC) {}
void TWinSkinForm::DrawFLine(HDC DC) {}
void TWinSkinForm::Drawborder(int Index, const RECT& Rect, HDC DC) {}
void TWinSkinForm::DrawCaptionText(TBitmap& Strip, const RECT& TitleRect) {}
void TWinSkinForm::DrawIcon(HDC DC, const RECT& Rect) {}
void TWinSkinForm::GetIcon(TBitmap& Bitmap) {}
void TWinSkinForm::WMNCCalcSize(TMessage& Message) { Default(Message); }
void TWinSkinForm::WMNCHitTest(TMessage& Message) { Default(Message); }
void TWinSkinForm::WMNCPaint(TMessage& Message) { Default(Message); }
void TWinSkinForm::WMNCActive(TMessage& Message) { Default(Message); }
void TWinSkinForm::WMActive(TMessage& Message) { Default(Message); }
void TWinSkinForm::WMSize(TMessage& Message) { Default(Message); }
void TWinSkinForm::WMWINDOWPOSCHANGED(TMessage& Message) { Default(Message); }
void TWinSkinForm::WMWindowPosChanging(TMessage& Message) { Default(Message); }
void TWinSkinForm::WMERASEBKGND(TMessage& Message) { Default(Message); }
void TWinSkinForm::WMCtlcolor(TMessage& Message) { Default(Message); }
void TWinSkinForm::WMReCreateWnd(TMessage& Message) { Default(Message); }
POINT TWinSkinForm::GetWinXY(int X, int Y) const { return POINT{}; }
void TWinSkinForm::Cropwindow() {}
void TWinSkinForm::Uncropwindow() {}
void TWinSkinForm::getClipMap(TBitmap& Bitmap) {}
void TWinSkinForm::GetBorderSize() {}
void TWinSkinForm::ResizeForm(bool KeepClientRect) {}
void TWinSkinForm::KeepClient() {}
void TWinSkinForm::Refresh() {}
void TWinSkinForm::RePaint(HDC DC) {}

} // namespace quorin
