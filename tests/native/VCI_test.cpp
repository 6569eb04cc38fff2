// The serial channel on real pseudo-terminals: the test plays the device on the
// controlling side while the channel opens the terminal side as a numbered port.
#include "link/VCI.h"
#include "link/SerialProbe.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstring>
#include <numeric>
#include <tuple>

#include "link/ReceiveRing.h"
#include "link/SerialPortPath.h"
#include "support/PseudoTerminal.h"

using namespace std::chrono_literals;

namespace quorin {
namespace {

using test::TPseudoTerminal;
using test::WaitUntil;

std::vector<uint8_t> Pattern(std::size_t n, uint8_t start = 0) {
    std::vector<uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(start + i);
    return v;
}

class VCITest : public ::testing::Test {
protected:
    static constexpr int32_t kPort = 3;

    void SetUp() override { ASSERT_TRUE(SetPortPath(kPort, Pty.Path())); }
    void TearDown() override {
        for (int32_t n = 0; n < kDeviceCount; ++n) VCI_CloseDevice(n);
    }
    void Open() { ASSERT_EQ(VCI_OpenDevice(kPort), 1); }
    // Sends bytes from the device side and waits until the reader has put them all.
    void Arrive(const std::vector<uint8_t>& bytes) {
        const uint32_t before = VCI_GetReceiveNum(kPort, 0);
        Pty.Send(bytes);
        ASSERT_TRUE(WaitUntil([&] { return VCI_GetReceiveNum(kPort, 0) >= before + bytes.size(); }, 5000ms));
    }

    TPseudoTerminal Pty;
};

struct TReadCase {
    std::size_t Waiting;
    uint32_t Asked;
    uint32_t Delivered;
    uint32_t Left;
};

class VCIReadTest : public VCITest, public ::testing::WithParamInterface<TReadCase> {};

TEST_P(VCIReadTest, DeliversWhatIsWaitingUpToTheCountInArrivalOrder) {
    const TReadCase c = GetParam();
    Open();
    const auto sent = Pattern(c.Waiting, 7);
    Arrive(sent);
    std::vector<uint32_t> elements(c.Asked + 1, 0xDEADBEEF);
    EXPECT_EQ(VCI_ReadDevice(kPort, 0, elements.data(), c.Asked, 0), c.Delivered);
    for (uint32_t i = 0; i < c.Delivered; ++i) ASSERT_EQ(elements[i], sent[i]) << "element " << i;
    EXPECT_EQ(elements[c.Delivered], 0xDEADBEEFu) << "wrote past the delivered bytes";
    EXPECT_EQ(VCI_GetReceiveNum(kPort, 0), c.Left);
}

INSTANTIATE_TEST_SUITE_P(Amounts, VCIReadTest,
                         ::testing::Values(TReadCase{5, 240, 5, 0}, TReadCase{300, 240, 240, 60},
                                           TReadCase{240, 240, 240, 0}, TReadCase{0, 240, 0, 0},
                                           TReadCase{10, 0, 0, 10}));

TEST_F(VCITest, ReadsContinueWhereTheLastOneStopped) {
    Open();
    Arrive(Pattern(300));
    std::vector<uint32_t> a(240), b(240);
    ASSERT_EQ(VCI_ReadDevice(kPort, 0, a.data(), 240, 0), 240u);
    ASSERT_EQ(VCI_ReadDevice(kPort, 0, b.data(), 240, 0), 60u);
    EXPECT_EQ(b[0], 240u);
    EXPECT_EQ(b[59], static_cast<uint32_t>(static_cast<uint8_t>(299)));
}

TEST_F(VCITest, CountsAWrappedRing) {
    TReceiveRing& ring = *DeviceReceiveRing(kPort);
    ring.SetIndices(10, 199990);
    EXPECT_EQ(VCI_GetReceiveNum(kPort, 0), 21u);
    std::vector<uint32_t> out(30);
    EXPECT_EQ(VCI_ReadDevice(kPort, 0, out.data(), 30, 0), 21u);
    EXPECT_EQ(VCI_GetReceiveNum(kPort, 0), 0u);
}

TEST_F(VCITest, FullRingDropsTheNextByteAndKeepsWhatItHolds) {
    Open();
    const auto sent = Pattern(TReceiveRing::kCapacity);
    Arrive(sent);
    ASSERT_EQ(VCI_GetReceiveNum(kPort, 0), TReceiveRing::kCapacity);
    Pty.Send({0xEE});
    // The reader drains the line at once; give it time to try the put.
    ASSERT_TRUE(WaitUntil([&] {
        int queued = 0;
        return ioctl(Pty.Master(), TIOCOUTQ, &queued) == 0 && queued == 0;
    }));
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(VCI_GetReceiveNum(kPort, 0), TReceiveRing::kCapacity);
    std::vector<uint32_t> out(TReceiveRing::kCapacity + 1);
    ASSERT_EQ(VCI_ReadDevice(kPort, 0, out.data(), static_cast<uint32_t>(out.size()), 0), TReceiveRing::kCapacity);
    EXPECT_EQ(out[0], sent[0]);
    EXPECT_EQ(out[TReceiveRing::kCapacity - 1], sent.back());
}

TEST_F(VCITest, ClearBufferEmptiesChannelZeroOnly) {
    Open();
    Arrive(Pattern(50));
    EXPECT_EQ(VCI_ClearBuffer(kPort, 1), 0);
    EXPECT_EQ(VCI_GetReceiveNum(kPort, 0), 50u);
    EXPECT_EQ(VCI_ClearBuffer(kPort, 0), 1);
    EXPECT_EQ(VCI_GetReceiveNum(kPort, 0), 0u);
}

// A reset racing the reader's put could leave stale slots inside the ring; with the reset
// under the lock, whatever follows a clear is a gap-free run of the line's bytes.
TEST_F(VCITest, ClearWhileBytesStreamInNeverExposesStaleSlots) {
    Open();
    std::atomic<bool> stop{false};
    std::thread device([&] {
        uint8_t next = 0;
        while (!stop) {
            std::vector<uint8_t> chunk(64);
            for (auto& b : chunk) b = next++;
            Pty.Send(chunk);
        }
    });
    // The reader keeps draining the line, so the writer never sticks and always ends.
    struct TJoin {
        std::atomic<bool>& Stop;
        std::thread& Thread;
        ~TJoin() {
            Stop = true;
            Thread.join();
        }
    } join{stop, device};
    std::vector<uint32_t> out(4096);
    int checked = 0;
    for (int round = 0; round < 300; ++round) {
        VCI_ClearBuffer(kPort, 0);
        std::this_thread::sleep_for(1ms);
        const uint32_t n = VCI_ReadDevice(kPort, 0, out.data(), static_cast<uint32_t>(out.size()), 0);
        for (uint32_t i = 1; i < n; ++i) {
            ASSERT_EQ(out[i], (out[i - 1] + 1) & 0xFF) << "round " << round << " element " << i;
            ++checked;
        }
    }
    EXPECT_GT(checked, 0);
}

TEST_F(VCITest, WriteSendsEveryByteToTheLine) {
    Open();
    const auto frame = Pattern(243, 0xAA);
    EXPECT_EQ(_VCI_WriteDevice(kPort, frame.data(), static_cast<uint32_t>(frame.size())), 1);
    EXPECT_EQ(Pty.Receive(frame.size(), 2000ms), frame);
}

TEST_F(VCITest, WriteToAPortThatIsNotOpenFails) {
    const uint8_t b[4] = {0xCC, 0xDD, 0, 0};
    EXPECT_EQ(_VCI_WriteDevice(kPort, b, 4), 0);
}

TEST_F(VCITest, OpenSetsABinaryLineKeepsHardwareFlowAndCloseGivesTheLineBackByteForByte) {
    termios before{};
    ASSERT_EQ(tcgetattr(Pty.Master(), &before), 0);
    cfsetispeed(&before, B9600);
    cfsetospeed(&before, B9600);
    before.c_cflag = (before.c_cflag & ~(CSIZE | CLOCAL)) | CS7 | PARENB | CSTOPB | CRTSCTS;
    before.c_iflag |= IXON | IXOFF | IXANY | ICRNL | INPCK;
    before.c_lflag |= ICANON | ECHO | ISIG | IEXTEN;
    before.c_oflag |= OPOST | ONLCR;
    ASSERT_EQ(tcsetattr(Pty.Master(), TCSANOW, &before), 0);
    ASSERT_EQ(tcgetattr(Pty.Master(), &before), 0);

    Open();
    termios after{};
    ASSERT_EQ(tcgetattr(Pty.Master(), &after), 0);
    EXPECT_EQ(cfgetispeed(&after), static_cast<speed_t>(B115200));
    EXPECT_EQ(cfgetospeed(&after), static_cast<speed_t>(B115200));
    EXPECT_EQ(after.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(after.c_cflag & (PARENB | PARODD | CSTOPB), 0u);
    EXPECT_NE(after.c_cflag & CRTSCTS, 0u) << "hardware flow control changed";
    EXPECT_NE(after.c_cflag & CLOCAL, 0u) << "reception waits on the modem lines";
    EXPECT_EQ(after.c_iflag & (IXON | IXOFF | IXANY), 0u) << "XON/XOFF would eat 0x11 and 0x13";
    EXPECT_EQ(after.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | INPCK | PARMRK), 0u);
    EXPECT_EQ(after.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(after.c_oflag & OPOST, 0u);

    EXPECT_EQ(VCI_CloseDevice(kPort), 1);
    termios closed{};
    ASSERT_EQ(tcgetattr(Pty.Master(), &closed), 0);
    EXPECT_EQ(std::memcmp(&closed, &before, sizeof before), 0) << "the line was not given back as it was";
}

// Both ways, every byte value, on a raw line and on one as the kernel makes it: the
// values a terminal acts on (XON 0x11, XOFF 0x13, CR, LF, interrupt, literal-next, end of
// file, delete) arrive as data.
class VCILineTest : public ::testing::TestWithParam<TPseudoTerminal::TStart> {
protected:
    static constexpr int32_t kPort = 9;
    void SetUp() override {
        ASSERT_TRUE(SetPortPath(kPort, Pty.Path()));
        ASSERT_EQ(VCI_OpenDevice(kPort), 1);
    }
    void TearDown() override { VCI_CloseDevice(kPort); }
    std::vector<uint8_t> Collect(std::size_t count) {
        std::vector<uint32_t> elements(count);
        uint32_t got = 0;
        WaitUntil([&] {
            got += VCI_ReadDevice(kPort, 0, elements.data() + got, static_cast<uint32_t>(count - got), 0);
            return got == count;
        });
        return std::vector<uint8_t>(elements.begin(), elements.begin() + got);
    }
    TPseudoTerminal Pty{GetParam()};
};

TEST_P(VCILineTest, EveryByteValueCrossesBothWaysUnchanged) {
    std::vector<uint8_t> bytes = Pattern(256);
    for (const uint8_t special : {0x11, 0x13, 0x0D, 0x0A, 0x03, 0x16, 0x04, 0x7F, 0x11, 0x11, 0x13, 0x13})
        bytes.push_back(special);
    ASSERT_EQ(_VCI_WriteDevice(kPort, bytes.data(), static_cast<uint32_t>(bytes.size())), 1);
    EXPECT_EQ(Pty.Receive(bytes.size() + 1, 300ms), bytes);
    Pty.Send(bytes);
    EXPECT_EQ(Collect(bytes.size()), bytes);
}

TEST_P(VCILineTest, AReceivedXoffDoesNotStopTheHostsOutput) {
    Pty.Send({0x13});
    EXPECT_EQ(Collect(1), std::vector<uint8_t>{0x13});
    const auto frame = Pattern(243, 0x40);
    ASSERT_EQ(_VCI_WriteDevice(kPort, frame.data(), static_cast<uint32_t>(frame.size())), 1);
    EXPECT_EQ(Pty.Receive(frame.size(), 2000ms), frame);
}

INSTANTIATE_TEST_SUITE_P(Lines, VCILineTest,
                         ::testing::Values(TPseudoTerminal::TStart::Raw, TPseudoTerminal::TStart::AsFound),
                         [](const auto& info) {
                             return info.param == TPseudoTerminal::TStart::Raw ? "Raw" : "AsFound";
                         });

// Another program's terminal (here a child that holds the terminal side in canonical mode,
// as a shell or a login prompt would): the channel neither opens nor probes it, and its
// settings stay as they were, byte for byte. Once the program lets go, the port opens.
TEST(VCINeighbour, ALineAnotherProgramHoldsIsRefusedAndLeftAsItWas) {
    TPseudoTerminal pty(TPseudoTerminal::TStart::AsFound);
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
        close(pty.Master());  // the far end is the test, not the holder
        const int fd = open(pty.Path().c_str(), O_RDWR | O_NOCTTY);
        if (write(ready[1], "x", 1) != 1 || fd < 0) _exit(1);
        pause();
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    termios before{};
    ASSERT_EQ(tcgetattr(pty.Master(), &before), 0);
    ASSERT_NE(before.c_lflag & ICANON, 0u);

    constexpr int32_t kPort = 11;
    ASSERT_TRUE(SetPortPath(kPort, pty.Path()));
    EXPECT_EQ(VCI_OpenDevice(kPort), 0);
    EXPECT_FALSE(ProbeSerialPort(kPort));
    termios after{};
    ASSERT_EQ(tcgetattr(pty.Master(), &after), 0);
    EXPECT_EQ(std::memcmp(&after, &before, sizeof before), 0) << "the other program's line was changed";

    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    close(ready[0]);
    close(ready[1]);
    EXPECT_TRUE(ProbeSerialPort(kPort));
    EXPECT_EQ(VCI_OpenDevice(kPort), 1);
    VCI_CloseDevice(kPort);
}

TEST_F(VCITest, OpenDiscardsWhatTheLineHeldBefore) {
    Pty.Send(Pattern(20));
    Open();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(VCI_GetReceiveNum(kPort, 0), 0u);
}

TEST_F(VCITest, OpenEmptiesTheRing) {
    DeviceReceiveRing(kPort)->SetIndices(100, 0);
    Open();
    EXPECT_EQ(VCI_GetReceiveNum(kPort, 0), 0u);
}

TEST_F(VCITest, CloseEndsTheReaderAndReopenStartsExactlyOne) {
    const int idle = test::ThreadCount();
    Open();
    EXPECT_EQ(test::ThreadCount(), idle + 1);
    EXPECT_EQ(VCI_CloseDevice(kPort), 1);
    EXPECT_EQ(test::ThreadCount(), idle) << "the reader outlived the close";
    Open();
    EXPECT_EQ(test::ThreadCount(), idle + 1);
    // The new reader works.
    Arrive(Pattern(3));
    EXPECT_EQ(VCI_CloseDevice(kPort), 1);
    EXPECT_EQ(test::ThreadCount(), idle);
}

TEST_F(VCITest, ProbeAnswersAsAnOpenWouldAndHoldsNothing) {
    const int idle = test::ThreadCount();
    EXPECT_TRUE(ProbeSerialPort(kPort));
    EXPECT_EQ(test::ThreadCount(), idle) << "the probe started a thread";
    Open();
    EXPECT_FALSE(ProbeSerialPort(kPort)) << "a port open here";
    Arrive(Pattern(3));
    ASSERT_TRUE(SetPortPath(kPort + 1, "/nonexistent/tty"));
    EXPECT_FALSE(ProbeSerialPort(kPort + 1)) << "no device";
}

TEST_F(VCITest, ClosingAPortThatIsNotOpenReturnsOneAndChangesNothing) {
    DeviceReceiveRing(kPort)->SetIndices(7, 2);
    const int fds = test::OpenFdCount();
    EXPECT_EQ(VCI_CloseDevice(kPort), 1);
    EXPECT_EQ(VCI_CloseDevice(kPort), 1);
    EXPECT_EQ(VCI_GetReceiveNum(kPort, 0), 5u);
    EXPECT_EQ(test::OpenFdCount(), fds);
    DeviceReceiveRing(kPort)->Clear();
}

TEST_F(VCITest, APortHeldOpenCannotBeOpenedAgain) {
    Open();
    EXPECT_EQ(VCI_OpenDevice(kPort), 0) << "second open of the same port";
    ASSERT_TRUE(SetPortPath(4, Pty.Path()));
    EXPECT_EQ(VCI_OpenDevice(4), 0) << "the same device under another number";
    // The refused opens did not disturb the open port.
    Arrive(Pattern(4));
    VCI_CloseDevice(kPort);
    EXPECT_EQ(VCI_OpenDevice(4), 1) << "the device is free again after the close";
}

TEST_F(VCITest, AFailedOpenReleasesEverythingItAcquired) {
    const int fds = test::OpenFdCount();
    const int threads = test::ThreadCount();
    ASSERT_TRUE(SetPortPath(5, "/dev/null"));  // opens, but is no serial line
    EXPECT_EQ(VCI_OpenDevice(5), 0);
    ASSERT_TRUE(SetPortPath(6, "/nonexistent/tty"));
    EXPECT_EQ(VCI_OpenDevice(6), 0);
    EXPECT_EQ(test::OpenFdCount(), fds);
    EXPECT_EQ(test::ThreadCount(), threads);
    // The slot is free: the same number opens once it names a real line.
    ASSERT_TRUE(SetPortPath(5, Pty.Path()));
    EXPECT_EQ(VCI_OpenDevice(5), 1);
}

TEST(VCIPortPath, DefaultsFollowThePcNumberingAndRefuseBadNumbers) {
    EXPECT_EQ(PortPath(0), "");
    EXPECT_EQ(PortPath(-1), "");
    EXPECT_FALSE(SetPortPath(24, "/dev/null"));
    EXPECT_FALSE(SetPortPath(-1, "/dev/null"));
}

// Port numbers outside 0 to 23 and channels other than 0 are refused by every function
// and leave the rings alone.
class VCIRefusalTest : public ::testing::TestWithParam<std::tuple<int32_t, int32_t>> {};

TEST_P(VCIRefusalTest, RefusesAndTouchesNothing) {
    const auto [port, channel] = GetParam();
    TReceiveRing& ring = *DeviceReceiveRing(3);
    ring.SetIndices(40, 10);
    uint32_t elements[8] = {};
    const uint8_t bytes[4] = {1, 2, 3, 4};
    if (port < 0 || port >= kDeviceCount) {
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

INSTANTIATE_TEST_SUITE_P(BadNumbers, VCIRefusalTest,
                         ::testing::Values(std::make_tuple(-1, 0), std::make_tuple(24, 0),
                                           std::make_tuple(INT32_MIN, 0), std::make_tuple(3, 1), std::make_tuple(3, -1),
                                           std::make_tuple(3, 255)));

}  // namespace
}  // namespace quorin
