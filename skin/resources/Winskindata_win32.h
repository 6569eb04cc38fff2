// The optional user-interface calls, looked up in user32.dll when the program starts;
// null where the platform lacks them. Windows only.
#pragma once

#include <windows.h>

namespace quorin {

using TGetScrollBarInfo = BOOL(WINAPI*)(HWND, LONG, PSCROLLBARINFO);
using TTrackMouseEvent = BOOL(WINAPI*)(LPTRACKMOUSEEVENT);
using TGetComboBoxInfo = BOOL(WINAPI*)(HWND, PCOMBOBOXINFO);
using TDisableProcessWindowsGhosting = void(WINAPI*)();

extern TGetScrollBarInfo pGetScrollBarInfo;
extern TTrackMouseEvent pTrackMouseEvent;
extern TGetComboBoxInfo pGetComboBoxInfo;
extern TDisableProcessWindowsGhosting pDisableProcessWindowsGhosting;

}  // namespace quorin
