// The release's version as a user meets it in both Windows programs: the version resources
// Explorer shows, and "--version" on the command line (the window program answers without
// opening its window).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QuorinVersion.h"
#include "support/GuiHarness.h"

namespace quorin::gui {
namespace {

struct TProgram {
    const char* File;
    const char* Description;
    const char* VersionLine;
};

const TProgram kPrograms[] = {
    {"CANConfig.exe", "QUORIN-Q1 configuration tool", "CANConfig " QUORIN_VERSION_STRING "\r\n"},
    {"quorin-cli.exe", "QUORIN-Q1 command-line configuration tool", "quorin-cli " QUORIN_VERSION_STRING "\r\n"},
};

std::wstring ProgramPath(const TProgram& p) { return HostPath(std::string(QUORIN_BINARY_DIR) + "/" + p.File); }

std::string VersionString(const std::vector<BYTE>& info, const wchar_t* name) {
    wchar_t* text = nullptr;
    UINT length = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&text), &length) || !text) return "<none>";
    return Narrow(text);
}

class ReleaseVersion : public ::testing::TestWithParam<TProgram> {};

TEST_P(ReleaseVersion, ResourceCarriesTheProjectVersion) {
    const std::wstring path = ProgramPath(GetParam());
    DWORD ignored = 0;
    std::vector<BYTE> info(GetFileVersionInfoSizeW(path.c_str(), &ignored));
    ASSERT_FALSE(info.empty()) << "no version resource in " << GetParam().File;
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, DWORD(info.size()), info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    const DWORD ms = MAKELONG(QUORIN_VERSION_MINOR, QUORIN_VERSION_MAJOR), ls = MAKELONG(0, QUORIN_VERSION_PATCH);
    EXPECT_EQ(fixed->dwFileVersionMS, ms);
    EXPECT_EQ(fixed->dwFileVersionLS, ls);
    EXPECT_EQ(fixed->dwProductVersionMS, ms);
    EXPECT_EQ(fixed->dwProductVersionLS, ls);
    EXPECT_EQ(VersionString(info, L"FileVersion"), QUORIN_VERSION_RC_STRING);
    EXPECT_EQ(VersionString(info, L"ProductVersion"), QUORIN_VERSION_STRING);
    EXPECT_EQ(VersionString(info, L"ProductName"), "QUORINConifg");
    EXPECT_EQ(VersionString(info, L"FileDescription"), GetParam().Description);
    EXPECT_EQ(VersionString(info, L"OriginalFilename"), GetParam().File);
}

// "--version" among other arguments, output into a pipe as a script reads it. The window
// program would write its start-up log at its first paint: no log means no window.
TEST_P(ReleaseVersion, VersionOptionPrintsAndExits) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring startupLog = std::wstring(temp) + L"quorin-version-test.log";
    DeleteFileW(startupLog.c_str());
    SetEnvironmentVariableW(L"QUORIN_STARTUP_LOG", startupLog.c_str());

    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, &sa, 0));
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = writeEnd;
    PROCESS_INFORMATION pi{};
    const std::wstring exe = ProgramPath(GetParam());
    std::wstring command = L"\"" + exe + L"\" \"--version\"";
    const bool started =
        CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(writeEnd);
    SetEnvironmentVariableW(L"QUORIN_STARTUP_LOG", nullptr);
    ASSERT_TRUE(started);

    // The line fits the pipe's buffer, so the program never waits for this reader.
    const bool ended = WaitForSingleObject(pi.hProcess, 20000) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(pi.hProcess, 1);
    DWORD status = 1;
    GetExitCodeProcess(pi.hProcess, &status);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::string output;
    char buffer[256];
    DWORD ready = 0, got = 0;
    while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &ready, nullptr) && ready &&
           ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got)
        output.append(buffer, got);
    CloseHandle(readEnd);

    EXPECT_TRUE(ended) << GetParam().File << " --version is still running";
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(output, GetParam().VersionLine);
    EXPECT_EQ(GetFileAttributesW(startupLog.c_str()), INVALID_FILE_ATTRIBUTES) << "the window was opened";
    DeleteFileW(startupLog.c_str());
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, ReleaseVersion, ::testing::ValuesIn(kPrograms),
                         [](const auto& info) { return info.index == 0 ? "CANConfig" : "QuorinCli"; });

}  // namespace
}  // namespace quorin::gui
