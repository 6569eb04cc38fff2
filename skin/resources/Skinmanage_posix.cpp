// Without a message loop the manager's timer is a flag: the request is recorded with
// its interval, and whoever drives the program (a test) runs OnTimer.
#include "skin/resources/Skinmanage.h"

namespace quorin {

void TSkinManageBase::StartTimer(int interval) { FTimerRunning = true; }
void TSkinManageBase::StopTimer() { FTimerRunning = false; }

}  // namespace quorin
