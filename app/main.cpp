// Program entry: creates the main window, then runs the message loop until the main window
// closes. The About box is made when it is first asked for.
#include "app/FirstPaintLog.h"
#include "app/Strings.h"
#include "app/UnitAbout.h"
#include "app/UnitCANConfig.h"
#include "app/VersionOption.h"
#include "forms/Accessible.h"
#include "forms/Handles.h"
#include "skin/apply/Winskindlg.h"

#include <windows.h>

#include <exception>
#include <string>

namespace {

// What screen readers read besides captions, from the string tables in the program's language.
std::string AccessibleWordText(quorin::TAccessibleWord Word) {
    using quorin::TAccessibleWord;
    switch (Word) {
    case TAccessibleWord::Press: return quorin::LoadStr(IDS_ACCESS_PRESS);
    case TAccessibleWord::Check: return quorin::LoadStr(IDS_ACCESS_CHECK);
    case TAccessibleWord::Uncheck: return quorin::LoadStr(IDS_ACCESS_UNCHECK);
    case TAccessibleWord::Switch: return quorin::LoadStr(IDS_ACCESS_SWITCH);
    case TAccessibleWord::Open: return quorin::LoadStr(IDS_ACCESS_OPEN);
    case TAccessibleWord::Execute: return quorin::LoadStr(IDS_ACCESS_EXECUTE);
    case TAccessibleWord::Close: return quorin::LoadStr(IDS_ACCESS_CLOSE);
    case TAccessibleWord::Minimize: return quorin::LoadStr(IDS_ACCESS_MINIMIZE);
    case TAccessibleWord::Maximize: return quorin::LoadStr(IDS_ACCESS_MAXIMIZE);
    case TAccessibleWord::Restore: return quorin::LoadStr(IDS_ACCESS_RESTORE);
    case TAccessibleWord::Help: return quorin::LoadStr(IDS_ACCESS_HELP);
    case TAccessibleWord::MenuBar: return quorin::LoadStr(IDS_ACCESS_MENU_BAR);
    }
    return {};
}

bool IsOpenHandle(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }

// A start that failed ends with status 1, and says why on standard error too (or on the
// prompt the program was started from): there may be no desktop to show a box on, and a
// script or a user at a prompt must not take a window that never came for a success.
int FailedStart(const std::string& reason) {
    using namespace quorin;
    std::string text = LoadStr(IDS_START_FAILED);
    const auto at = text.find("%s");
    if (text.empty() || at == std::string::npos)
        text = "CANConfig could not start: " + reason;
    else
        text.replace(at, 2, reason.empty() ? "?" : reason);
    text += "\r\n";
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    TKernelHandle opened;
    if (!IsOpenHandle(err) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        opened.Reset(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
        err = opened.Get();
    }
    if (IsOpenHandle(err)) {
        DWORD written = 0;
        WriteFile(err, text.data(), DWORD(text.size()), &written, nullptr);
    }
    return 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace quorin;
    if (AnswerVersionOption()) return 0;
    InstallFirstPaintLog();
    StartPortScan();  // beside the making of the window
    SkinFormsBeforeShow();  // no frame of a form reaches the screen unskinned
    SetAccessibleWords(AccessibleWordText);
    try {
        Application->Initialize();
        LogStartupStep("initialize");
        Application->CreateForm(FormCANConfig);  // the first form: the main window
        LogStartupStep("main-form");
        FormCANConfig->OpenStartupProfile();  // CANConfig.exe PROFILE.json
        Application->Run();
    } catch (const Exception& e) {
        Application->ShowException(e);
        return FailedStart(e.Message());
    } catch (const std::exception& e) {
        Application->ShowException(Exception(e.what()));
        return FailedStart(e.what());
    } catch (...) {
        // Whatever else escapes is shown the same way, with no text of its own.
        Application->ShowException(Exception(""));
        return FailedStart("");
    }
    return 0;
}
