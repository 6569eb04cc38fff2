// The manager's timer on Windows: a thread timer of the user-interface thread, so the
// action runs from the message loop once the windows that it skins exist.
#include <windows.h>

#include "skin/resources/Skinmanage.h"

namespace quorin {
namespace {

void CALLBACK ManagerTimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    // The manager is single; a stale timer of a freed manager is killed here.
    if (SkinManager && SkinManager->TimerRunning()) {
        SkinManager->OnTimer();
    } else {
        KillTimer(nullptr, id);
    }
}

}  // namespace

void TSkinManageBase::StartTimer(int interval) {
    // SetTimer with the id of a running thread timer replaces its interval.
    FTimerId = SetTimer(nullptr, FTimerId, static_cast<UINT>(interval > 0 ? interval : 1), ManagerTimerProc);
    FTimerRunning = FTimerId != 0;
}

void TSkinManageBase::StopTimer() {
    if (FTimerId) KillTimer(nullptr, FTimerId);
    FTimerId = 0;
    FTimerRunning = false;
}

}  // namespace quorin
