// quorin-cli.exe, the Windows build, as a script on the line runs it: under Wine against
// the virtual converters on COM ports, with its exit status, messages and files checked.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "link/VCI.h"
#include "profile/Profile.h"
#include "support/GuiHarness.h"
#include "support/VirtualConverter.h"

namespace quorin::gui {
namespace {

using Bytes = std::vector<uint8_t>;

struct CliRun {
    DWORD status = 0xFFFFFFFF;
    std::string out, err;
};

std::string Slurp(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::wstring TempFile(const wchar_t* name) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + name;
}

// Runs quorin-cli.exe with the command line given, its output into two files.
CliRun RunCli(const std::string& args) {
    const std::wstring exe = HostPath(std::string(QUORIN_BINARY_DIR) + "/quorin-cli.exe");
    const std::wstring outPath = TempFile(L"quorin-cli.out"), errPath = TempFile(L"quorin-cli.err");
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE out = CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);
    HANDLE err = CreateFileW(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi{};
    std::wstring cmd = L"\"" + exe + L"\" " + Widen(args);
    CliRun run;
    if (CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        WaitForSingleObject(pi.hProcess, 60000);
        GetExitCodeProcess(pi.hProcess, &run.status);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(out);
    CloseHandle(err);
    run.out = Slurp(outPath);
    run.err = Slurp(errPath);
    return run;
}

uint8_t Checksum(const Bytes& b) {
    uint8_t sum = 0;
    for (std::size_t i = 1; i < b.size(); ++i) sum = static_cast<uint8_t>(sum + (b[i] & 0x0F) + (b[i] >> 4));
    return static_cast<uint8_t>(~sum);
}

// A converter configured elsewhere: custom bit rate, two filters, and intervals the
// window's signed conversion used to refuse.
Bytes ConfiguredBlock() {
    Bytes b(240, 0);
    b[1] = 0x51, b[2] = 0x43, b[10] = 7;
    b[21] = b[24] = 1;
    b[32] = b[33] = 1;
    b[35] = 1;
    b[36] = 1, b[37] = 3, b[53] = 1;
    b[70] = 0x01, b[134] = 0x07, b[135] = 0xFF;                // 0x100 to 0x7FF
    b[72] = 0x12, b[73] = 0x34, b[139] = 0xFF, b[136] = 0x1F;  // 0x12340000 to 0x1F0000FF
    b[196] = 2;
    b[198] = 8, b[199] = 1, b[203] = 1, b[208] = 1;
    b[204] = 0x78, b[205] = 0x56, b[206] = 0x34, b[207] = 0x12;
    b[210] = 1, b[216] = 0x2E, b[217] = 0x0B, b[218] = 0x05, b[223] = 0x80;
    b[229] = 4;
    b[235] = 0x80;                             // serial frame interval 2^31
    b[236] = b[237] = b[238] = b[239] = 0xFF;  // CAN frame interval 2^32 - 1
    b[0] = Checksum(b);
    return b;
}

Bytes HexBytes(const std::string& text) {
    Bytes bytes;
    std::istringstream in(text);
    unsigned v;
    while (in >> std::hex >> v) bytes.push_back(static_cast<uint8_t>(v));
    return bytes;
}

class QuorinCli : public ::testing::Test {
protected:
    void SetUp() override {
        if (!com3.Running() || !com7.Running()) GTEST_SKIP() << "no virtual converters (tools/vconv-ports.sh start)";
        ASSERT_TRUE(PresentPorts({0, 3, 7, 12, 23}));
    }
    VirtualConverter com3{3}, com7{7};
};

TEST_F(QuorinCli, ReadWriteDiffCarryABlockFromOneComPortToAnother) {
    const Bytes block = ConfiguredBlock();
    ASSERT_TRUE(com3.SetBlock(block));
    const std::string profile = Narrow(TempFile(L"quorin-profile.json"));

    const CliRun read = RunCli("read --port COM3 --out \"" + profile + "\"");
    ASSERT_EQ(read.status, 0u) << read.err;
    EXPECT_NE(Slurp(Widen(profile)).find("\"serial_frame_interval_ms\": 2147483648"), std::string::npos);
    EXPECT_EQ(RunCli("diff --port com7 \"" + profile + "\"").status, 1u);

    com7.MarkLog();
    const CliRun write = RunCli("write --port 7 \"" + profile + "\"");
    ASSERT_EQ(write.status, 0u) << write.err;
    EXPECT_NE(write.err.find("COM7: written and verified"), std::string::npos) << write.err;
    EXPECT_EQ(RunCli("diff --port COM7 \"" + profile + "\"").status, 0u);

    // The second filter's port 3 goes back as 0, as the window writes it after a read, and
    // the read said so.
    EXPECT_NE(read.err.find("filters.entries[1].port"), std::string::npos) << read.err;
    Bytes expected = block;
    expected[37] = 0;
    const Bytes back = HexBytes(RunCli("read --port COM7 --format hex").out);
    ASSERT_EQ(back.size(), 240u);
    EXPECT_TRUE(std::equal(expected.begin() + 15, expected.end(), back.begin() + 15));
}

// A file name beyond the ANSI code page, given on the command line, is the file saved and
// the name the JSON document carries.
TEST_F(QuorinCli, AnOutPathBeyondTheAnsiCodePageIsSavedAndReported) {
    const std::string path = Narrow(TempFile(L"Pr\u00FCfstand-\u03A9.json"));
    DeleteFileW(Widen(path).c_str());
    const CliRun read = RunCli("read --json --port COM3 --out \"" + path + "\"");
    EXPECT_EQ(read.status, 0u) << read.err;
    const auto doc = profile::TJson::parse(read.out, nullptr, false);
    ASSERT_FALSE(doc.is_discarded()) << read.out;
    EXPECT_EQ(doc["ports"][0]["file"], path);
    EXPECT_NE(Slurp(Widen(path)).find("\"serial\""), std::string::npos);
    DeleteFileW(Widen(path).c_str());
}

TEST_F(QuorinCli, SeveralPortsOneSilentOneMissing) {
    const CliRun ports = RunCli("ports");
    EXPECT_EQ(ports.out, "COM0\r\nCOM3\r\nCOM7\r\nCOM12\r\nCOM23\r\n") << ports.out;

    ASSERT_TRUE(com7.SetFault("silent"));
    const std::string profile = Narrow(TempFile(L"quorin-default.json"));
    {
        std::ofstream(Widen(profile).c_str(), std::ios::binary)
            << R"({"conversion": {"mode": "格式转换", "direction": "双向转换",
          "can_id_offset": 2, "can_id_length": 4, "forward_can_frame_info": true, "forward_can_id": false,
          "serial_frame_interval_ms": 4294967295, "can_frame_interval_ms": 10},
          "serial": {"mode": "RS485", "baud_rate": 115200, "data_bits": 8, "stop_bits": 1, "parity": "无校验"},
          "can": {"fd_standard": "ISO", "protocol": "CANFD", "frame_format": "扩展帧", "id": "0x1ABCDEF0",
                  "bit_rate_switch": "是", "bit_rate": {"custom": false, "arbitration": "500Kbps", "data": "2Mbps"}},
          "filters": {"enabled": false, "entries": []}})";
    }
    const CliRun run = RunCli("write --port COM3 --port COM7 --port COM5 \"" + profile + "\"");
    EXPECT_EQ(run.status, 9u) << run.err;
    EXPECT_NE(run.out.find("COM3  ok"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("COM7  readback-failed"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("COM5  not-open"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("[3/3]"), std::string::npos) << run.err;
    EXPECT_EQ(RunCli("diff --port COM3 \"" + profile + "\"").status, 0u);
}

// The block of the one write frame ("RX AA BB 00" and 240 bytes) among a converter's frames.
Bytes WrittenBlock(const std::vector<std::string>& frames, int& count) {
    Bytes block;
    count = 0;
    for (const auto& f : frames)
        if (f.rfind("RX AA BB", 0) == 0) {
            ++count;
            block = HexBytes(f.substr(12));
        }
    return block;
}

const profile::TJson* PortEntry(const profile::TJson& doc, const std::string& port) {
    for (const auto& p : doc["ports"])
        if (p["port"] == port) return &p;
    return nullptr;
}

TEST_F(QuorinCli, SetOnFourComPortsWithOneSilentChangesOnlyTheNamedBytes) {
    VirtualConverter com0{0}, com12{12};
    const Bytes block = ConfiguredBlock();
    ASSERT_TRUE(com3.SetBlock(block));
    ASSERT_TRUE(com12.SetFault("silent"));

    com3.MarkLog();
    const CliRun dry = RunCli("set --dry-run --json --port COM3 serial.baud_rate=57600");
    EXPECT_EQ(dry.status, 0u) << dry.err;
    const auto dryDoc = profile::TJson::parse(dry.out);
    EXPECT_EQ(dryDoc.value("/ports/0/differences/0/setting"_json_pointer, ""), "serial.baud_rate") << dry.out;
    int writes = 0;
    WrittenBlock(com3.FramesSinceMark(), writes);
    EXPECT_EQ(writes, 0) << "a dry run wrote";

    for (auto* c : {&com0, &com3, &com7, &com12}) c->MarkLog();
    const CliRun run = RunCli(
        "set --json --retries 1 --port COM0 --port COM3 --port COM7 --port COM12 "
        "serial.baud_rate=57600 filters.enabled=false");
    EXPECT_EQ(run.status, 6u) << run.err;
    const auto doc = profile::TJson::parse(run.out);
    ASSERT_EQ(doc["ports"].size(), 4u) << run.out;
    const auto* silent = PortEntry(doc, "COM12");
    ASSERT_NE(silent, nullptr);
    EXPECT_EQ((*silent)["tries"], 2);
    EXPECT_NE(run.err.find("COM12: try 1 of 2: no answer"), std::string::npos) << run.err;
    for (const char* port : {"COM0", "COM3", "COM7"}) EXPECT_EQ((*PortEntry(doc, port))["result"], "ok") << port;

    Bytes expected = block;
    expected[198] = 7;
    expected[35] = 0;
    expected[0] = Checksum(expected);
    EXPECT_EQ(WrittenBlock(com3.FramesSinceMark(), writes), expected);
    EXPECT_EQ(writes, 1);
    WrittenBlock(com12.FramesSinceMark(), writes);
    EXPECT_EQ(writes, 0);
}

TEST_F(QuorinCli, ProbeTellsConverterBusyAndSilentPortsApart) {
    ASSERT_TRUE(PresentPorts({3, 7, 12}));
    ASSERT_TRUE(com7.SetFault("silent"));
    ASSERT_EQ(VCI_OpenDevice(12), 1);  // this program holds COM12
    const CliRun run = RunCli("ports --probe --json");
    VCI_CloseDevice(12);
    EXPECT_EQ(run.status, 0u) << run.err;
    const auto doc = profile::TJson::parse(run.out);
    ASSERT_EQ(doc["ports"].size(), 3u) << run.out;
    EXPECT_EQ((*PortEntry(doc, "COM3"))["result"], "converter");
    EXPECT_EQ((*PortEntry(doc, "COM3"))["identity"]["product_code"], "QUORIN-Q1");
    EXPECT_EQ((*PortEntry(doc, "COM7"))["result"], "silent");
    EXPECT_EQ((*PortEntry(doc, "COM12"))["result"], "busy");
    EXPECT_NE(run.err.find("COM3   converter  "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("QUORIN-Q1  20-26-0C-07  105"), std::string::npos) << run.err;
}

// The command line built for Linux, run beside the window: Wine starts a Unix program
// as it starts a Windows one. Its output goes through files.
std::string NativeBuild() { return std::string(QUORIN_BINARY_DIR) + "/../native"; }

std::string LinePath(int port) {
    const char* lane = std::getenv("QUORIN_VCONV_DIR");
    return (lane && *lane ? std::string(lane) : std::string(QUORIN_BINARY_DIR) + "/../vconv") + "/port" +
           std::to_string(port);
}

// Runs a shell script natively. Wine does not wait for a Unix program nor hand it the
// standard handles, so the script keeps its own output and marks its end with a file.
CliRun RunNative(const std::string& script, bool wait = true) {
    static int serial = 0;
    const std::string base =
        LinePath(0) + ".native" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
    {
        std::ofstream file(HostPath(base + ".sh").c_str(), std::ios::binary | std::ios::trunc);
        file << "(" << script << ") >" << base << ".out 2>" << base << ".err\necho $? >" << base << ".status.new\nmv "
             << base << ".status.new " << base << ".status\n";
    }
    const std::wstring exe = HostPath("/bin/sh");
    std::wstring cmd = L"/bin/sh " + Widen(base + ".sh");
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    CliRun run;
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return run;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (!wait) return run;
    if (!WaitUntil([&] { return GetFileAttributesW(HostPath(base + ".status").c_str()) != INVALID_FILE_ATTRIBUTES; },
                   60000))
        return run;
    run.status = static_cast<DWORD>(std::stoul("0" + Slurp(HostPath(base + ".status"))));
    run.out = Slurp(HostPath(base + ".out"));
    run.err = Slurp(HostPath(base + ".err"));
    for (const char* suffix : {".sh", ".out", ".err", ".status"}) DeleteFileW(HostPath(base + suffix).c_str());
    return run;
}

// Every terminal setting of a line, as stty writes them for restoring.
std::string LineSettings(const std::string& path) { return RunNative("stty -F " + path + " -g").out; }

// A terminal program of Linux holds COM12's line as the kernel made it (canonical, echo,
// XON/XOFF), and COM3 is held by the window. The window's port scan, the command lines'
// listings and probes and a read of every port change nothing on the held line, and the
// Linux command line finds both lines busy.
TEST_F(QuorinCli, LinesOfOtherProgramsAreLeftAloneAndTheWindowsPortIsBusy) {
    if (GetFileAttributesW(HostPath(NativeBuild() + "/quorin-cli").c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no native quorin-cli";
    const std::string held = LinePath(12), flag = LinePath(12) + ".holding";
    { std::ofstream(HostPath(flag).c_str()) << "1"; }
    RunNative("exec 3<>" + held + "; while [ -e " + flag + " ]; do sleep 0.1; done", false);
    ASSERT_TRUE(WaitUntil([&] { return !LineSettings(held).empty(); }));
    const std::string before = LineSettings(held);
    ASSERT_FALSE(before.empty());

    RunningApp app;
    ASSERT_TRUE(app.Started()) << app.Failure();
    ASSERT_TRUE(app.SelectComboText("ComboBoxCommIndex", "COM3"));
    ASSERT_TRUE(app.Click("ButtonOpenRS232"));
    EXPECT_EQ(RunCli("ports").status, 0u);
    const std::string q = NativeBuild() + "/quorin-cli";
    const CliRun probe = RunNative(q + " ports --probe --json --port " + held + " --port " + LinePath(3));
    const CliRun all =
        RunNative(q + " read --all --port " + held + " --port " + LinePath(3) + " --out /dev/null/{port}");
    const CliRun list = RunNative(q + " ports --port " + held);
    const std::string after = LineSettings(held);
    DeleteFileW(HostPath(flag).c_str());

    const auto doc = profile::TJson::parse(probe.out);
    ASSERT_TRUE(PortEntry(doc, held) && PortEntry(doc, LinePath(3))) << probe.out << probe.err;
    EXPECT_EQ((*PortEntry(doc, held))["result"], "busy");
    EXPECT_EQ((*PortEntry(doc, LinePath(3)))["result"], "busy") << "the port the window holds";
    EXPECT_NE(all.status, 0u);
    EXPECT_EQ(list.out.find(held), std::string::npos) << list.out;
    EXPECT_EQ(after, before) << "the other program's line was changed";
}

}  // namespace
}  // namespace quorin::gui
