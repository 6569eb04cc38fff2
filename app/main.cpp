// Program entry: creates the main window, then runs the message loop until the main window
// closes. The About box is made when it is first asked for.
#include "app/FirstPaintLog.h"
#include "app/UnitAbout.h"
#include "app/UnitCANConfig.h"
#include "app/VersionOption.h"
#include "skin/apply/Winskindlg.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace quorin;
    if (AnswerVersionOption()) return 0;
    InstallFirstPaintLog();
    SkinFormsBeforeShow();  // no frame of a form reaches the screen unskinned
    try {
        Application->Initialize();
        LogStartupStep("initialize");
        Application->CreateForm(FormCANConfig);  // the first form: the main window
        LogStartupStep("main-form");
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
