// The serial channel's Win32 back end under Wine, on ports that the test set-up maps to
// virtual converters (tools/vconv-ports.sh: COM0, COM3, COM7, COM12 and COM23), and the
// program's export table.
#include "link/VCI.h"

#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "link/ReceiveRing.h"

namespace quorin {
namespace {

// A path of the build machine as this Windows process sees it.
std::wstring HostPath(const std::string& unixPath) {
    std::wstring w = L"Z:";
    for (char c : unixPath) w += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return w;
}

// The converter's state file says whether its port is published.
bool ConverterOn(int port) {
    const std::wstring state = HostPath(QUORIN_BINARY_DIR "/../vconv/port" + std::to_string(port) + ".control.state");
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

class VCIWin32 : public ::testing::TestWithParam<int32_t> {
protected:
    void SetUp() override {
        if (!ConverterOn(GetParam())) GTEST_SKIP() << "no virtual converter on COM" << GetParam() << " (tools/vconv-ports.sh start)";
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
    auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(at(fileOffset(dir.VirtualAddress), sizeof(IMAGE_EXPORT_DIRECTORY)));
    if (!exports) return names;
    auto table = reinterpret_cast<const DWORD*>(at(fileOffset(exports->AddressOfNames), 4 * exports->NumberOfNames));
    if (!table) return names;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        if (const char* name = at(fileOffset(table[i]), 1)) names.insert(name);
    return names;
}

const std::set<std::string> kChannelExports = {"VCI_OpenDevice",    "VCI_CloseDevice",   "VCI_ReadDevice",
                                               "_VCI_WriteDevice", "VCI_GetReceiveNum", "VCI_ClearBuffer"};

TEST(VCIExports, TheProgramExportsTheSixFunctionsByTheirExactNames) {
    const std::wstring exe = HostPath(QUORIN_BINARY_DIR "/CANConfig.exe");
    if (GetFileAttributesW(exe.c_str()) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "CANConfig.exe not built";
    EXPECT_EQ(ExportedNames(exe), kChannelExports);
    // And they resolve by name in a loaded image, as another program would look them up.
    for (const auto& name : kChannelExports) EXPECT_NE(GetProcAddress(GetModuleHandleW(nullptr), name.c_str()), nullptr) << name;
}

TEST(VCIExports, AnyProgramLinkingTheChannelExportsIt) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(ExportedNames(self), kChannelExports);
}

} // namespace
} // namespace quorin
