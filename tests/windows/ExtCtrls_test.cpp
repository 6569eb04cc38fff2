// Timers tick through the message loop; a disabled one stays silent.
#include "forms/ExtCtrls.h"
#include "forms/Forms.h"

#include <gtest/gtest.h>

using namespace quorin;

TEST(ExtCtrls, TimerTicksWhileEnabledOnly) {
    Application->Initialize();
    TTimer timer(nullptr);
    int ticks = 0;
    timer.OnTimer = [&](TObject*) {
        if (++ticks == 3) timer.SetEnabled(false);
    };
    timer.SetInterval(10);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 500) {
        Application->ProcessMessages();
        Sleep(5);
    }
    EXPECT_EQ(ticks, 3) << "disabled from its own handler, it ticks no more";
}

TEST(ExtCtrls, ExceptionInATimerGoesToTheExceptionDisplay) {
    Application->Initialize();
    std::string shown;
    Application->OnException = [&](TObject*, const std::exception& e) { shown = e.what(); };
    TTimer timer(nullptr);
    timer.SetInterval(10);
    timer.OnTimer = [&](TObject*) {
        timer.SetEnabled(false);
        throw Exception("tick failed");
    };
    const DWORD start = GetTickCount();
    while (shown.empty() && GetTickCount() - start < 1000) {
        Application->ProcessMessages();
        Sleep(5);
    }
    Application->OnException = nullptr;
    EXPECT_EQ(shown, "tick failed");
}
