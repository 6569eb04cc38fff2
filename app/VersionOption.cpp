#include "app/VersionOption.h"

#include <windows.h>

#include <string>

#include "QuorinVersion.h"
#include "forms/Handles.h"

namespace quorin {
namespace {

// The arguments after the program's name, split at blanks with quotes removed: enough to
// see one plain option, without loading the shell's library into every start.
bool AskedForVersion() {
    const wchar_t* p = GetCommandLineW();
    bool quoted = false;
    for (; *p && (quoted || (*p != L' ' && *p != L'\t')); ++p)
        if (*p == L'"') quoted = !quoted;
    std::wstring arg;
    for (;; ++p) {
        if (*p == L'"') {
            quoted = !quoted;
        } else if (*p && (quoted || (*p != L' ' && *p != L'\t'))) {
            arg += *p;
        } else {
            if (arg == L"--version") return true;
            arg.clear();
            if (!*p) return false;
        }
    }
}

bool Usable(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }

}  // namespace

bool AnswerVersionOption() {
    if (!AskedForVersion()) return false;
    static const char kText[] = "CANConfig " QUORIN_VERSION_STRING "\r\n";
    // A GUI program gets no console of its own; its standard output is only set when the
    // caller redirected it. Otherwise the prompt it was started from is borrowed.
    // The standard handle belongs to the process; only the console we open is ours to close.
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    TKernelHandle opened;
    if (!Usable(out) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        opened.Reset(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
        out = opened.Get();
    }
    if (Usable(out)) {
        DWORD written = 0;
        WriteFile(out, kText, DWORD(sizeof kText - 1), &written, nullptr);
    }
    return true;
}

}  // namespace quorin
