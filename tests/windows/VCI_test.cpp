// The serial channel's Win32 back end under Wine, on ports that the test set-up maps to
// virtual converters (tools/vconv-ports.sh: COM0, COM3, COM7, COM12 and COM23), and the
// program's export table.
#include "link/VCI.h"

#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "link/ReceiveRing.h"
#include "link/SerialProbe.h"
#include "link/VCI_win32.h"

namespace quorin {
namespace {

// A path of the build machine as this Windows process sees it.
std::wstring HostPath(const std::string& unixPath) {
    std::wstring w = L"Z:";
    for (char c : unixPath) w += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return w;
}

// Where tools/vconv-ports.sh keeps the converters' files: the build's vconv folder, or the
// one of the test lane this program runs in (QUORIN_VCONV_DIR, set by tools/test.sh).
std::string ConverterDirectory() {
    const char* lane = std::getenv("QUORIN_VCONV_DIR");
    return lane && *lane ? std::string(lane) : std::string(QUORIN_BINARY_DIR) + "/../vconv";
}

// The converter's state file says whether its port is published.
bool ConverterOn(int port) {
    const std::wstring state = HostPath(ConverterDirectory() + "/port" + std::to_string(port) + ".control.state");
    std::ifstream in(state.c_str());
    std::string line;
    while (std::getline(in, line))
        if (line == "present=1") return true;
    return false;
}

int ThreadCount() {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 e{};
    e.dwSize = sizeof e;
    int n = 0;
    for (BOOL ok = Thread32First(snap, &e); ok; ok = Thread32Next(snap, &e))
        if (e.th32OwnerProcessID == GetCurrentProcessId()) ++n;
    CloseHandle(snap);
    return n;
}

uint8_t Checksum(const std::vector<uint8_t>& block) {
    uint8_t sum = 0;
    for (std::size_t i = 1; i < 240; ++i) sum = static_cast<uint8_t>(sum + (block[i] & 0x0F) + (block[i] >> 4));
    return static_cast<uint8_t>(~sum);
}

// Sends a read request and collects what comes back within about a second.
std::vector<uint8_t> Exchange(int32_t port) {
    VCI_ClearBuffer(port, 0);
    const uint8_t request[4] = {0xCC, 0xDD, 0x00, 0x00};
    EXPECT_EQ(_VCI_WriteDevice(port, request, 4), 1);
    for (int i = 0; i < 100 && VCI_GetReceiveNum(port, 0) < 240; ++i) Sleep(10);
    Sleep(20);
    std::vector<uint32_t> elements(400);
    const uint32_t n = VCI_ReadDevice(port, 0, elements.data(), 400, 0);
    return std::vector<uint8_t>(elements.begin(), elements.begin() + n);
}

std::string HexBytes(const std::vector<uint8_t>& bytes) {
    std::string text;
    char digits[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(digits, sizeof digits, i ? " %02X" : "%02X", bytes[i]);
        text += digits;
    }
    return text;
}

// Applies control lines to a converter and waits until it has (its state file repeats
// the change's sequence number).
bool SetConverter(int port, const std::string& lines) {
    static int seq = 1000;
    const std::string base = ConverterDirectory() + "/port" + std::to_string(port) + ".control";
    const std::string tag = "seq=" + std::to_string(++seq);
    {
        std::ofstream out(HostPath(base + ".new").c_str(), std::ios::trunc);
        out << tag << "\n" << lines << "\n";
    }
    MoveFileExW(HostPath(base + ".new").c_str(), HostPath(base).c_str(), MOVEFILE_REPLACE_EXISTING);
    for (int i = 0; i < 300; ++i) {
        std::ifstream in(HostPath(base + ".state").c_str());
        std::string line;
        while (std::getline(in, line))
            if (line == tag) return true;
        Sleep(10);
    }
    return false;
}

class VCIWin32 : public ::testing::TestWithParam<int32_t> {
protected:
    void SetUp() override {
        if (!ConverterOn(GetParam()))
            GTEST_SKIP() << "no virtual converter on COM" << GetParam() << " (tools/vconv-ports.sh start)";
    }
    void TearDown() override { VCI_CloseDevice(GetParam()); }
};

TEST_P(VCIWin32, OpensWritesReadsAndCloses) {
    const int32_t port = GetParam();
    ASSERT_EQ(VCI_OpenDevice(port), 1);
    const auto block = Exchange(port);
    ASSERT_EQ(block.size(), 240u);
    EXPECT_EQ(block[0], Checksum(block));
    EXPECT_EQ(VCI_CloseDevice(port), 1);
    EXPECT_EQ(_VCI_WriteDevice(port, block.data(), 4), 0) << "wrote to a closed port";
}

// COM0 and COM3 are below ten; COM12 and COM23 need the device namespace to open at all.
INSTANTIATE_TEST_SUITE_P(Ports, VCIWin32, ::testing::Values(0, 3, 12, 23),
                         [](const auto& info) { return "COM" + std::to_string(info.param); });

class VCIWin32Port : public ::testing::Test {
protected:
    static constexpr int32_t kPort = 7;
    void SetUp() override {
        if (!ConverterOn(kPort)) GTEST_SKIP() << "no virtual converter on COM7 (tools/vconv-ports.sh start)";
    }
    void TearDown() override { VCI_CloseDevice(kPort); }
};

// A second copy of this test program that holds a port open through the channel until
// told to let go (or ten seconds pass), then ends before any test runs.
const bool GHolder = [] {
    wchar_t value[16] = {};
    if (GetEnvironmentVariableW(L"QUORIN_TEST_HOLD_PORT", value, 16) == 0) return false;
    const int port = _wtoi(value);
    HANDLE held = CreateEventW(nullptr, TRUE, FALSE, L"Local\\QuorinTestPortHeld");
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, L"Local\\QuorinTestPortRelease");
    if (VCI_OpenDevice(port) == 1) SetEvent(held);
    WaitForSingleObject(release, 10000);
    VCI_CloseDevice(port);
    ExitProcess(0);
}();

// Runs a holder of the port in another process for the life of the object.
class THolder {
public:
    explicit THolder(int port) {
        FHeld = CreateEventW(nullptr, TRUE, FALSE, L"Local\\QuorinTestPortHeld");
        FRelease = CreateEventW(nullptr, TRUE, FALSE, L"Local\\QuorinTestPortRelease");
        ResetEvent(FHeld);
        ResetEvent(FRelease);
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        SetEnvironmentVariableW(L"QUORIN_TEST_HOLD_PORT", std::to_wstring(port).c_str());
        STARTUPINFOW si{};
        si.cb = sizeof si;
        std::wstring line = L"\"" + std::wstring(self) + L"\"";
        if (CreateProcessW(self, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &FProcess)) {
            CloseHandle(FProcess.hThread);
            HANDLE both[2] = {FHeld, FProcess.hProcess};
            Holding = WaitForMultipleObjects(2, both, FALSE, 20000) == WAIT_OBJECT_0;
        }
        SetEnvironmentVariableW(L"QUORIN_TEST_HOLD_PORT", nullptr);
    }
    ~THolder() {
        SetEvent(FRelease);
        if (FProcess.hProcess) {
            WaitForSingleObject(FProcess.hProcess, 20000);
            CloseHandle(FProcess.hProcess);
        }
        CloseHandle(FHeld);
        CloseHandle(FRelease);
    }
    bool Holding = false;

private:
    HANDLE FHeld, FRelease;
    PROCESS_INFORMATION FProcess{};
};

TEST_F(VCIWin32Port, APortHeldOpenByAnotherProgramFailsToOpenAndIsFreeAfterwards) {
    {
        THolder other(kPort);
        ASSERT_TRUE(other.Holding) << "the other program could not open COM7";
        EXPECT_EQ(VCI_OpenDevice(kPort), 0);
    }
    EXPECT_EQ(VCI_OpenDevice(kPort), 1) << "the failed open left the port blocked";
    EXPECT_EQ(VCI_OpenDevice(kPort), 0) << "opened twice";
}

// The port list's probe: what an open would say, with no reader started and nothing held.
TEST_F(VCIWin32Port, ProbeAnswersAsAnOpenWouldAndHoldsNothing) {
    const int idle = ThreadCount();
    EXPECT_TRUE(ProbeSerialPort(kPort));
    EXPECT_EQ(ThreadCount(), idle) << "the probe started a thread";
    ASSERT_EQ(VCI_OpenDevice(kPort), 1) << "the probe left the port held";
    EXPECT_FALSE(ProbeSerialPort(kPort)) << "a port open here";
    EXPECT_EQ(Exchange(kPort).size(), 240u) << "the probe disturbed the open port";
    VCI_CloseDevice(kPort);
    {
        THolder other(kPort);
        ASSERT_TRUE(other.Holding) << "the other program could not open COM7";
        EXPECT_FALSE(ProbeSerialPort(kPort)) << "a port open in another program";
    }
    EXPECT_FALSE(ProbeSerialPort(15)) << "no device";
    EXPECT_FALSE(ProbeSerialPort(24)) << "out of range";
}

TEST_F(VCIWin32Port, CloseEndsTheReaderAndReopenStartsExactlyOne) {
    const int idle = ThreadCount();
    ASSERT_EQ(VCI_OpenDevice(kPort), 1);
    EXPECT_EQ(ThreadCount(), idle + 1);
    EXPECT_EQ(VCI_CloseDevice(kPort), 1);
    EXPECT_EQ(ThreadCount(), idle) << "the reader outlived the close";
    ASSERT_EQ(VCI_OpenDevice(kPort), 1);
    EXPECT_EQ(ThreadCount(), idle + 1);
    EXPECT_EQ(Exchange(kPort).size(), 240u);
}

TEST_F(VCIWin32Port, TheHandleIsClosedWhenCloseReturns) {
    ASSERT_EQ(VCI_OpenDevice(kPort), 1);
    VCI_CloseDevice(kPort);
    HANDLE again = CreateFileW(L"\\\\.\\COM7", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(again, INVALID_HANDLE_VALUE);
    if (again != INVALID_HANDLE_VALUE) CloseHandle(again);
}

DCB CommState(HANDLE port) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    EXPECT_TRUE(GetCommState(port, &dcb));
    return dcb;
}

// Read back through a second handle while the channel holds the port (Wine shares a
// serial device between handles, see VCI_OpenDevice).
TEST_F(VCIWin32Port, OpenSetsABinaryLineKeepsHardwareFlowAndCloseGivesTheSettingsBack) {
    HANDLE port = CreateFileW(L"\\\\.\\COM7", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    DCB original = CommState(port);
    DCB odd = original;
    odd.BaudRate = CBR_9600;
    odd.ByteSize = 7;
    odd.Parity = EVENPARITY;
    odd.StopBits = TWOSTOPBITS;
    odd.fOutxCtsFlow = TRUE;
    odd.fRtsControl = RTS_CONTROL_HANDSHAKE;
    odd.fOutX = odd.fInX = TRUE;
    odd.XonChar = 0x11;
    odd.XoffChar = 0x13;
    ASSERT_TRUE(SetCommState(port, &odd));
    const DCB before = CommState(port);  // as the driver keeps them
    ASSERT_EQ(before.BaudRate, static_cast<DWORD>(CBR_9600));

    ASSERT_EQ(VCI_OpenDevice(kPort), 1);
    const DCB after = CommState(port);
    VCI_CloseDevice(kPort);
    const DCB closed = CommState(port);
    SetCommState(port, &original);
    CloseHandle(port);
    EXPECT_EQ(after.BaudRate, static_cast<DWORD>(CBR_115200));
    EXPECT_EQ(after.ByteSize, 8);
    EXPECT_EQ(after.Parity, NOPARITY);
    EXPECT_EQ(after.StopBits, ONESTOPBIT);
    EXPECT_EQ(after.fOutX, 0u) << "a received 0x13 would stop the output";
    EXPECT_EQ(after.fInX, 0u);
    EXPECT_EQ(after.fBinary, 1u);
    EXPECT_EQ(after.fNull, 0u);
    EXPECT_EQ(after.fErrorChar, 0u);
    EXPECT_EQ(after.fOutxCtsFlow, before.fOutxCtsFlow);
    EXPECT_EQ(after.fRtsControl, before.fRtsControl);
    EXPECT_EQ(after.fDtrControl, before.fDtrControl);
    EXPECT_EQ(closed.BaudRate, before.BaudRate);
    EXPECT_EQ(closed.ByteSize, before.ByteSize);
    EXPECT_EQ(closed.Parity, before.Parity);
    EXPECT_EQ(closed.StopBits, before.StopBits);
    EXPECT_EQ(closed.fOutX, before.fOutX);
    EXPECT_EQ(closed.fInX, before.fInX);
}

// Every byte value crosses the line both ways on the converters' lines, which start as the
// kernel makes them (XON/XOFF on): the converter answers a read request with a block that
// holds 0x11 and 0x13, and the channel delivers all 240 bytes.
TEST_F(VCIWin32Port, ABlockFullOfXonXoffArrivesWhole) {
    std::vector<uint8_t> block(240);
    for (std::size_t i = 1; i < 240; ++i) block[i] = i % 3 == 0 ? 0x11 : i % 3 == 1 ? 0x13 : static_cast<uint8_t>(i);
    block[0] = Checksum(block);
    ASSERT_TRUE(SetConverter(kPort, "block=" + HexBytes(block)));
    ASSERT_EQ(VCI_OpenDevice(kPort), 1);
    EXPECT_EQ(Exchange(kPort), block);
    VCI_CloseDevice(kPort);
    SetConverter(kPort, "reset=1");
}

// A line whose output is stopped (as an XOFF does on a line that obeys it, or a
// handshake line held off): the write fails within the port's write time-out instead of
// waiting for ever, and the port works again once the line moves.
TEST_F(VCIWin32Port, AWriteTheLineDoesNotTakeFailsWithinItsBound) {
    ASSERT_EQ(VCI_OpenDevice(kPort), 1);
    ASSERT_TRUE(SetConverter(kPort, "stop-output=1"));
    struct TWrite {
        int32_t Result = -1;
        static DWORD WINAPI Run(void* self) {
            std::vector<uint8_t> frame(243, 0x55);
            static_cast<TWrite*>(self)->Result = _VCI_WriteDevice(7, frame.data(), 243);
            return 0;
        }
    } write;
    HANDLE thread = CreateThread(nullptr, 0, &TWrite::Run, &write, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    // Far beyond the bound (2 s and a millisecond a byte): only a write that hangs misses it.
    const bool ended = WaitForSingleObject(thread, 20000) == WAIT_OBJECT_0;
    SetConverter(kPort, "stop-output=0");
    if (!ended) WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_TRUE(ended) << "the write waited past its bound";
    EXPECT_EQ(write.Result, 0) << "a write the line did not take was reported as done";
    EXPECT_EQ(Exchange(kPort).size(), 240u) << "the port does not work once the line moves";
}

// Reads that a driver blocks and that cancelling does not break: one ends when the port's
// handle is closed under it, the other only when the test lets it go.
HANDLE GReadEntered = nullptr;
HANDLE GReadRelease = nullptr;

BOOL WINAPI ReadEndedByClose(HANDLE port, LPVOID, DWORD, LPDWORD got, LPOVERLAPPED) {
    SetEvent(GReadEntered);
    DWORD flags = 0;
    while (GetHandleInformation(port, &flags)) Sleep(5);
    *got = 0;
    SetLastError(ERROR_OPERATION_ABORTED);
    return FALSE;
}

BOOL WINAPI ReadThatNeverEnds(HANDLE, LPVOID, DWORD, LPDWORD got, LPOVERLAPPED) {
    SetEvent(GReadEntered);
    WaitForSingleObject(GReadRelease, 60000);
    *got = 0;
    return FALSE;
}

struct TStuckRead {
    const char* name;
    TPortReadCall call;
    bool endsWhenClosed;
};

class VCIWin32StuckRead : public ::testing::TestWithParam<TStuckRead> {
protected:
    static constexpr int32_t kPort = 7;
    void SetUp() override {
        if (!ConverterOn(kPort)) GTEST_SKIP() << "no virtual converter on COM7 (tools/vconv-ports.sh start)";
        GReadEntered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        GReadRelease = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        Idle = ThreadCount();
    }
    void TearDown() override {
        SetEvent(GReadRelease);
        WaitUntilIdle();
        VCI_CloseDevice(kPort);
        CloseHandle(GReadEntered);
        CloseHandle(GReadRelease);
    }
    bool WaitUntilIdle() {
        for (int i = 0; i < 250; ++i, Sleep(20))
            if (ThreadCount() == Idle) return true;
        return false;
    }
    int Idle = 0;
};

TEST_P(VCIWin32StuckRead, CloseReturnsReleasesThePortAndReopensOnceTheReaderHasEnded) {
    const TPortReadCall previous = SetPortReadCall(GetParam().call);
    const int32_t opened = VCI_OpenDevice(kPort);
    SetPortReadCall(previous);  // only this open's reader reads through the double
    ASSERT_EQ(opened, 1);
    const uint8_t request[4] = {0xCC, 0xDD, 0x00, 0x00};
    ASSERT_EQ(_VCI_WriteDevice(kPort, request, 4), 1);
    ASSERT_EQ(WaitForSingleObject(GReadEntered, 5000), WAIT_OBJECT_0) << "the answer never reached the reader";

    const DWORD start = GetTickCount();
    EXPECT_EQ(VCI_CloseDevice(kPort), 1);
    const DWORD took = GetTickCount() - start;
    std::printf("close with a reader stuck in its read: %lu ms\n", took);
    EXPECT_LT(took, 10000u) << "close waited for the stuck reader";
    {
        THolder other(kPort);
        EXPECT_TRUE(other.Holding) << "the closed port stayed claimed";
    }
    if (GetParam().endsWhenClosed) {
        EXPECT_EQ(ThreadCount(), Idle) << "the reader outlived the close";
    } else {
        EXPECT_EQ(VCI_OpenDevice(kPort), 0) << "reopened while the last reader may still write its buffer";
        SetEvent(GReadRelease);
        ASSERT_TRUE(WaitUntilIdle()) << "the released reader did not end";
    }
    ASSERT_EQ(VCI_OpenDevice(kPort), 1);
    EXPECT_EQ(Exchange(kPort).size(), 240u);
}

INSTANTIATE_TEST_SUITE_P(Reads, VCIWin32StuckRead,
                         ::testing::Values(TStuckRead{"EndedByClosingTheHandle", &ReadEndedByClose, true},
                                           TStuckRead{"NeverEnding", &ReadThatNeverEnds, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(VCIWin32Absent, APortWithNoDeviceFailsAndStaysClosed) {
    EXPECT_EQ(VCI_OpenDevice(15), 0);
    EXPECT_EQ(VCI_CloseDevice(15), 1);
    const uint8_t b[1] = {0};
    EXPECT_EQ(_VCI_WriteDevice(15, b, 1), 0);
}

class VCIWin32Refusal : public ::testing::TestWithParam<std::tuple<int32_t, int32_t>> {};

TEST_P(VCIWin32Refusal, RefusesAndTouchesNothing) {
    const auto [port, channel] = GetParam();
    TReceiveRing& ring = *DeviceReceiveRing(3);
    ring.SetIndices(40, 10);
    uint32_t elements[8] = {};
    const uint8_t bytes[4] = {1, 2, 3, 4};
    if (!ValidPort(port)) {
        EXPECT_EQ(VCI_OpenDevice(port), 0);
        EXPECT_EQ(VCI_CloseDevice(port), 1);
        EXPECT_EQ(_VCI_WriteDevice(port, bytes, 4), 0);
    }
    EXPECT_EQ(VCI_ReadDevice(port, channel, elements, 8, 0), 0u);
    EXPECT_EQ(VCI_GetReceiveNum(port, channel), 0u);
    EXPECT_EQ(VCI_ClearBuffer(port, channel), 0);
    EXPECT_EQ(ring.Count(), 30u);
    ring.Clear();
}

INSTANTIATE_TEST_SUITE_P(BadNumbers, VCIWin32Refusal,
                         ::testing::Values(std::make_tuple(-1, 0), std::make_tuple(24, 0), std::make_tuple(3, 1),
                                           std::make_tuple(3, -1)));

// The names a module exports, read from its file.
std::set<std::string> ExportedNames(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::set<std::string> names;
    auto at = [&](std::size_t offset, std::size_t size) -> const char* {
        return offset + size <= file.size() ? file.data() + offset : nullptr;
    };
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(at(0, sizeof(IMAGE_DOS_HEADER)));
    if (!dos) return names;
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(at(dos->e_lfanew, sizeof(IMAGE_NT_HEADERS64)));
    if (!nt) return names;
    const auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (dir.VirtualAddress == 0) return names;
    auto sections = reinterpret_cast<const IMAGE_SECTION_HEADER*>(
        at(dos->e_lfanew + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) + nt->FileHeader.SizeOfOptionalHeader,
           sizeof(IMAGE_SECTION_HEADER) * nt->FileHeader.NumberOfSections));
    if (!sections) return names;
    auto fileOffset = [&](DWORD rva) -> std::size_t {
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const auto& s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
                return rva - s.VirtualAddress + s.PointerToRawData;
        }
        return file.size();
    };
    auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(
        at(fileOffset(dir.VirtualAddress), sizeof(IMAGE_EXPORT_DIRECTORY)));
    if (!exports) return names;
    auto table = reinterpret_cast<const DWORD*>(at(fileOffset(exports->AddressOfNames), 4 * exports->NumberOfNames));
    if (!table) return names;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        if (const char* name = at(fileOffset(table[i]), 1)) names.insert(name);
    return names;
}

const std::set<std::string> kChannelExports = {"VCI_OpenDevice",   "VCI_CloseDevice",   "VCI_ReadDevice",
                                               "_VCI_WriteDevice", "VCI_GetReceiveNum", "VCI_ClearBuffer"};

TEST(VCIExports, TheProgramExportsTheSixFunctionsByTheirExactNames) {
    const std::wstring exe = HostPath(std::string(QUORIN_BINARY_DIR) + "/CANConfig.exe");
    if (GetFileAttributesW(exe.c_str()) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "CANConfig.exe not built";
    EXPECT_EQ(ExportedNames(exe), kChannelExports);
    // And they resolve by name in a loaded image, as another program would look them up.
    for (const auto& name : kChannelExports)
        EXPECT_NE(GetProcAddress(GetModuleHandleW(nullptr), name.c_str()), nullptr) << name;
}

TEST(VCIExports, AnyProgramLinkingTheChannelExportsIt) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(ExportedNames(self), kChannelExports);
}

}  // namespace
}  // namespace quorin
