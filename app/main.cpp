// Program entry: creates the main window and the About box, then runs the message loop
// until the main window closes.
#include "app/FirstPaintLog.h"
#include "app/UnitAbout.h"
#include "app/UnitCANConfig.h"
#include "app/VersionOption.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace quorin;
    if (AnswerVersionOption()) return 0;
    InstallFirstPaintLog();
    try {
        Application->Initialize();
        LogStartupStep("initialize");
        Application->CreateForm(FormCANConfig);  // the first form: the main window
        LogStartupStep("main-form");
        Application->CreateForm(AboutBox);  // hidden until the About command
        LogStartupStep("about-box");
        FormCANConfig->OpenStartupProfile();  // CANConfig.exe PROFILE.json
        Application->Run();
    } catch (const Exception& e) {
        Application->ShowException(e);
    } catch (...) {
        // Whatever else escapes is shown the same way, with no text of its own.
        Application->ShowException(Exception(""));
    }
    return 0;
}
