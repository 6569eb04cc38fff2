// The virtual converter as a separate process on a real pseudo-terminal, driven through
// the serial channel the way the tool drives a converter.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "link/SerialPortPath.h"
#include "link/VCI.h"
#include "support/PseudoTerminal.h"

using namespace std::chrono_literals;

namespace quorin {
namespace {

using Bytes = std::vector<uint8_t>;
constexpr int32_t kPort = 9;

uint8_t Checksum(const Bytes& block) {
    uint8_t sum = 0;
    for (std::size_t i = 1; i < 240; ++i) sum = static_cast<uint8_t>(sum + (block[i] & 0x0F) + (block[i] >> 4));
    return static_cast<uint8_t>(~sum);
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// One converter process with its link, log and control file in a fresh directory.
class TConverter {
public:
    explicit TConverter(std::vector<std::string> extra = {}) {
        char dir[] = "/tmp/vconv-test-XXXXXX";
        FDir = ::mkdtemp(dir);
        std::vector<std::string> args = {
            std::string(QUORIN_BINARY_DIR) + "/tools/vconv", "--link", Link(), "--log", Log(), "--control", Control()};
        args.insert(args.end(), extra.begin(), extra.end());
        FPid = ::fork();
        if (FPid == 0) {
            std::vector<char*> argv;
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            if (!::freopen("/dev/null", "w", stdout)) ::_exit(126);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        test::WaitUntil([&] { return Exists(Link()); });
    }
    ~TConverter() {
        VCI_CloseDevice(kPort);
        ::kill(FPid, SIGTERM);
        ::waitpid(FPid, nullptr, 0);
        std::error_code ignored;
        std::filesystem::remove_all(FDir, ignored);
    }
    std::string Link() const { return FDir + "/com"; }
    std::string Log() const { return FDir + "/log"; }
    std::string Control() const { return FDir + "/control"; }

    // Writes a control change and waits until the converter has applied it.
    void Set(const std::string& lines) {
        const std::string seq = std::to_string(++FSeq);
        {
            std::ofstream out(Control() + ".tmp");
            out << lines << "\nseq=" << seq << "\n";
        }
        std::rename((Control() + ".tmp").c_str(), Control().c_str());
        ASSERT_TRUE(test::WaitUntil(
            [&] { return ReadText(Control() + ".state").find("seq=" + seq + "\n") != std::string::npos; }));
    }

    void Open() {
        ASSERT_TRUE(SetPortPath(kPort, Link()));
        ASSERT_EQ(VCI_OpenDevice(kPort), 1);
    }

private:
    std::string FDir;
    pid_t FPid = -1;
    int FSeq = 0;
};

void Send(const Bytes& frame) {
    ASSERT_EQ(_VCI_WriteDevice(kPort, frame.data(), static_cast<uint32_t>(frame.size())), 1);
}

// Everything that came within the time, once the line has been quiet for a while.
Bytes Collect(std::chrono::milliseconds within) {
    const auto end = std::chrono::steady_clock::now() + within;
    while (std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(5ms);
    std::vector<uint32_t> elements(1000);
    const uint32_t n = VCI_ReadDevice(kPort, 0, elements.data(), 1000, 0);
    return Bytes(elements.begin(), elements.begin() + n);
}

Bytes ReadRequest() { return {0xCC, 0xDD, 0x00, 0x00}; }

Bytes WriteFrame(Bytes block) {
    block[0] = Checksum(block);
    Bytes frame(3 + block.size());
    frame[0] = 0xAA;
    frame[1] = 0xBB;
    std::copy(block.begin(), block.end(), frame.begin() + 3);
    return frame;
}

// The converter's answer: whatever came once a whole block is in and the line has then been
// quiet for a moment, or all that came within two seconds (a loaded machine can hold the
// converter past the program's 300 ms; what is measured here is what it answers, not when).
Bytes ReadBlock() {
    VCI_ClearBuffer(kPort, 0);
    Send(ReadRequest());
    const auto end = std::chrono::steady_clock::now() + 2s;
    uint32_t seen = 0;
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(50ms);
        const uint32_t now = VCI_GetReceiveNum(kPort, 0);
        if (now >= 240 && now == seen) break;
        seen = now;
    }
    return Collect(0ms);
}

TEST(VirtualConverter, AnswersAReadWithAChecksummedBlockAndItsIdentity) {
    TConverter converter;
    converter.Open();
    const Bytes block = ReadBlock();
    ASSERT_EQ(block.size(), 240u);
    EXPECT_EQ(block[0], Checksum(block));
    EXPECT_NE(block[1] | block[2], 0) << "no vendor identifier";
    EXPECT_EQ(block[198], 3) << "default baud rate item 9600";
    EXPECT_EQ(block[229], 1) << "default identifier length 1";
}

TEST(VirtualConverter, StoresTheSettingsOfAWriteAndKeepsItsIdentity) {
    TConverter converter;
    converter.Open();
    const Bytes before = ReadBlock();
    Bytes block(240, 0);
    for (std::size_t i = 15; i < 240; ++i) block[i] = static_cast<uint8_t>(i * 7);
    VCI_ClearBuffer(kPort, 0);
    Send(WriteFrame(block));
    const Bytes after = ReadBlock();
    ASSERT_EQ(after.size(), 240u);
    EXPECT_EQ(Bytes(after.begin() + 1, after.begin() + 15), Bytes(before.begin() + 1, before.begin() + 15));
    EXPECT_EQ(Bytes(after.begin() + 15, after.end()), Bytes(block.begin() + 15, block.end()));
    EXPECT_EQ(after[0], Checksum(after));
}

TEST(VirtualConverter, IgnoresAWriteWithAWrongChecksum) {
    TConverter converter;
    converter.Open();
    const Bytes before = ReadBlock();
    Bytes frame = WriteFrame(Bytes(240, 0x42));
    frame[3] ^= 0xFF;
    Send(frame);
    EXPECT_EQ(ReadBlock(), before);
}

TEST(VirtualConverter, FindsARequestBehindNoiseAndAfterAnAbandonedFrame) {
    TConverter converter;
    converter.Open();
    Send({0x13, 0xAA, 0xBB, 0x00, 0x01, 0x02});  // a write frame that stops after 3 bytes
    std::this_thread::sleep_for(400ms);
    EXPECT_EQ(ReadBlock().size(), 240u);
    const std::string log = ReadText(converter.Log());
    EXPECT_NE(log.find("RX? 13 AA BB 00 01 02"), std::string::npos) << log;
}

TEST(VirtualConverter, LogsEveryFrameInHex) {
    TConverter converter;
    converter.Open();
    const Bytes block = ReadBlock();
    const std::string log = ReadText(converter.Log());
    EXPECT_NE(log.find("RX CC DD 00 00\n"), std::string::npos) << log;
    char head[16];
    std::snprintf(head, sizeof head, "TX %02X %02X %02X", block[0], block[1], block[2]);
    EXPECT_NE(log.find(head), std::string::npos) << log;
}

// Each fault mode, as the host sees it when it reads the block.
struct TFaultCase {
    const char* Fault;
    std::size_t Size;    // bytes that arrive within the host's 300 ms
    bool ChecksumRight;  // of the first 240 (when 240 or more arrived)
};

class VirtualConverterFault : public ::testing::TestWithParam<TFaultCase> {};

TEST_P(VirtualConverterFault, AnswersAsTheModeSays) {
    const TFaultCase c = GetParam();
    TConverter converter({"--fault", c.Fault, "--late-ms", "5000"});  // late: past the wait below
    converter.Open();
    const Bytes got = ReadBlock();
    ASSERT_EQ(got.size(), c.Size);
    if (got.size() >= 240) {
        const Bytes first(got.begin(), got.begin() + 240);
        EXPECT_EQ(first[0] == Checksum(first), c.ChecksumRight);
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, VirtualConverterFault,
                         ::testing::Values(TFaultCase{"none", 240, true}, TFaultCase{"silent", 0, false},
                                           TFaultCase{"short", 239, false}, TFaultCase{"long", 241, true},
                                           TFaultCase{"checksum", 240, false}, TFaultCase{"late", 0, false},
                                           TFaultCase{"noise", 248, false}),
                         [](const auto& info) { return std::string(info.param.Fault); });

TEST(VirtualConverter, LateAnswerArrivesAfterItsDelay) {
    TConverter converter({"--fault", "late", "--late-ms", "600"});
    converter.Open();
    VCI_ClearBuffer(kPort, 0);
    Send(ReadRequest());
    EXPECT_EQ(Collect(300ms).size(), 0u);
    EXPECT_EQ(Collect(1000ms).size(), 240u);
}

TEST(VirtualConverter, NoiseComesBeforeAnIntactBlock) {
    TConverter converter({"--fault", "noise"});
    converter.Open();
    const Bytes got = ReadBlock();
    ASSERT_GT(got.size(), 240u);
    const Bytes block(got.end() - 240, got.end());
    EXPECT_EQ(block[0], Checksum(block));
}

TEST(VirtualConverter, CorruptModeChangesAByteOfAWrite) {
    TConverter converter({"--fault", "corrupt"});
    converter.Open();
    Bytes block(240, 0);
    block[239] = 0x10;
    Send(WriteFrame(block));
    const Bytes back = ReadBlock();
    ASSERT_EQ(back.size(), 240u);
    EXPECT_EQ(back[0], Checksum(back)) << "the read-back itself is well formed";
    EXPECT_NE(back[239], 0x10);
    EXPECT_EQ(Bytes(back.begin() + 15, back.end() - 1), Bytes(block.begin() + 15, block.end() - 1));
}

TEST(VirtualConverter, SilentModeStoresNothing) {
    TConverter converter;
    converter.Open();
    const Bytes before = ReadBlock();
    converter.Set("fault=silent");
    Send(WriteFrame(Bytes(240, 0x42)));
    converter.Set("fault=none");
    EXPECT_EQ(ReadBlock(), before);
}

TEST(VirtualConverter, HangupDropsTheLineAndThePortVanishes) {
    TConverter converter({"--fault", "hangup"});
    converter.Open();
    EXPECT_EQ(ReadBlock().size(), 0u);
    EXPECT_TRUE(test::WaitUntil([&] { return !Exists(converter.Link()); }));
    VCI_CloseDevice(kPort);
    EXPECT_EQ(VCI_OpenDevice(kPort), 0);
    // Told to be present again, it comes back on a fresh line that answers.
    converter.Set("fault=none\npresent=1");
    ASSERT_TRUE(Exists(converter.Link()));
    converter.Open();
    EXPECT_EQ(ReadBlock().size(), 240u);
}

TEST(VirtualConverter, ControlFileSwitchesFaultsAndPresenceWhileRunning) {
    TConverter converter;
    converter.Set("fault=short");
    converter.Open();
    EXPECT_EQ(ReadBlock().size(), 239u);
    converter.Set("fault=none");
    EXPECT_EQ(ReadBlock().size(), 240u);
    VCI_CloseDevice(kPort);

    converter.Set("present=0");
    EXPECT_FALSE(Exists(converter.Link()));
    EXPECT_EQ(VCI_OpenDevice(kPort), 0);
    converter.Set("present=1");
    converter.Open();
    EXPECT_EQ(ReadBlock().size(), 240u);
}

TEST(VirtualConverter, ResetRestoresTheDefaultBlock) {
    TConverter converter;
    converter.Open();
    const Bytes before = ReadBlock();
    Send(WriteFrame(Bytes(240, 0x42)));
    ASSERT_NE(ReadBlock(), before);
    converter.Set("reset=1");
    EXPECT_EQ(ReadBlock(), before);
}

}  // namespace
}  // namespace quorin
