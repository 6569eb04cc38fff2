// The serial channel on POSIX terminals (termios). Same contract as the Win32 back end:
// exclusive open by port number, a binary line at 115200 8N1, both queues discarded, a
// reader thread polling every millisecond into the receive ring, and the line's own
// settings given back when the port closes.
#include "link/VCI.h"
#include "link/SerialProbe.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "link/PortHolders.h"
#include "link/ReceiveRing.h"
#include "link/SerialPortPath.h"

namespace quorin {
namespace {

constexpr std::size_t kReadBufferSize = 200003;
// A write that makes no progress for this long (a peer that never drains the line) fails
// instead of freezing the caller.
constexpr int kWriteStallMs = 2000;

class TFd {
public:
    TFd() = default;
    explicit TFd(int fd) : FFd(fd) {}
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    TFd(TFd&& other) noexcept : FFd(std::exchange(other.FFd, -1)) {}
    ~TFd() { Reset(); }
    int Get() const { return FFd; }
    bool Valid() const { return FFd >= 0; }
    int Release() { return std::exchange(FFd, -1); }
    void Reset(int fd = -1) {
        if (FFd >= 0) ::close(FFd);
        FFd = fd;
    }

private:
    int FFd = -1;
};

struct TDevice {
    TFd Port;
    termios Saved{};  // the line as it was found, put back at close
    std::atomic<int32_t> Running{0};
    std::thread Reader;
    std::mutex Lock;  // guards the ring
    std::string Path;
    uint8_t Buffer[kReadBufferSize];

    // A program that ends with a port open must not end with a joinable reader.
    ~TDevice() {
        Running.store(0);
        if (Reader.joinable()) Reader.join();
    }
};

TDevice GDevices[kDeviceCount];
std::once_flag GDefaultPaths;

void SetDefaultPaths() {
    std::call_once(GDefaultPaths, [] {
        for (int32_t n = 1; n < kDeviceCount; ++n) GDevices[n].Path = "/dev/ttyS" + std::to_string(n - 1);
    });
}

TDevice* OpenDevice(int32_t port) {
    if (!ValidPort(port) || !GDevices[port].Port.Valid()) return nullptr;
    return &GDevices[port];
}

// A binary line at 115200 baud, 8 data bits, no parity, one stop bit. The protocol's
// bytes take every value, so nothing may act on them: no XON/XOFF in either direction
// (0x11 and 0x13 are data, and a received 0x13 would stop our own output), no parity
// marking, stripping or newline translation, no canonical lines, echo or signals, and the
// modem-status lines do not gate reception. Hardware flow control stays as the driver
// has it; a write stalled by it fails after kWriteStallMs.
bool SetBinaryLine(int fd, const termios& found) {
    termios tio = found;
    cfmakeraw(&tio);
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | IUCLC | IMAXBEL);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARODD | CMSPAR);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (cfsetispeed(&tio, B115200) != 0 || cfsetospeed(&tio, B115200) != 0) return false;
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

void ReaderThread(int32_t port) {
    TDevice& device = GDevices[port];
    const int fd = device.Port.Get();
    // One step above normal, as far as the process may raise it; without the right to,
    // the reader runs at normal priority, which only costs latency under load.
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), -2);
    TReceiveRing& ring = *DeviceReceiveRing(port);
    while (device.Running.load(std::memory_order_acquire) == 1) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        int queued = 0;
        if (ioctl(fd, FIONREAD, &queued) != 0 || queued <= 0) continue;
        const auto want = std::min<std::size_t>(static_cast<std::size_t>(queued), kReadBufferSize);
        const ssize_t got = ::read(fd, device.Buffer, want);
        if (got <= 0) continue;
        for (ssize_t i = 0; i < got; ++i) {
            std::lock_guard<std::mutex> hold(device.Lock);
            ring.Put(device.Buffer[i]);  // a full ring drops the byte
        }
    }
}

}  // namespace

bool SetPortPath(int32_t port, const std::string& path) {
    if (!ValidPort(port)) return false;
    SetDefaultPaths();
    GDevices[port].Path = path;
    return true;
}

std::string PortPath(int32_t port) {
    if (!ValidPort(port)) return {};
    SetDefaultPaths();
    return GDevices[port].Path;
}

}  // namespace quorin

using namespace quorin;

namespace quorin {
namespace {

// Every check that decides whether the port opens at all, without touching the line: the
// descriptor comes back claimed (locked and exclusive) with the line's settings in
// `found`, and is released again when the caller drops it. A port another program uses
// is refused before anything about it changes.
TFd ClaimPort(int32_t port, termios& found, TScanAge age) {
    if (!ValidPort(port)) return TFd(-1);
    SetDefaultPaths();
    TDevice& device = GDevices[port];
    if (device.Port.Valid() || device.Path.empty()) return TFd(-1);

    // Non-blocking, so neither a missing carrier nor an undrained line can hang a call. A
    // line another program keeps exclusive refuses the open (EBUSY) here.
    TFd fd(::open(device.Path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.Valid()) return TFd(-1);
    // Not shared: another opener of this port (in any process using this channel) fails.
    if (flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) return TFd(-1);
    if (!isatty(fd.Get())) return TFd(-1);
    // An exclusive line let through anyway (the superuser passes that check) is still
    // another program's, and so is one any other process has open.
    int exclusive = 0;
    if (ioctl(fd.Get(), TIOCGEXCL, &exclusive) == 0 && exclusive != 0) return TFd(-1);
    if (HeldByAnotherProgram(fd.Get(), age)) return TFd(-1);
    if (ioctl(fd.Get(), TIOCEXCL) != 0 || tcgetattr(fd.Get(), &found) != 0) {
        ioctl(fd.Get(), TIOCNXCL);
        return TFd(-1);
    }
    return fd;
}

// Gives the line back as it was found and lets other openers in again.
void ReleasePort(int fd, const termios& found) {
    tcsetattr(fd, TCSANOW, &found);
    ioctl(fd, TIOCNXCL);
}

}  // namespace

bool ProbeSerialPort(int32_t port) {
    termios found{};
    TFd fd = ClaimPort(port, found, TScanAge::Recent);
    if (!fd.Valid()) return false;
    ioctl(fd.Get(), TIOCNXCL);
    return true;
}

}  // namespace quorin

extern "C" int32_t VCI_OpenDevice(int32_t port) {
    termios found{};
    TFd fd = ClaimPort(port, found, TScanAge::Fresh);
    if (!fd.Valid()) return 0;
    if (!SetBinaryLine(fd.Get(), found)) {
        ReleasePort(fd.Get(), found);
        return 0;
    }
    tcflush(fd.Get(), TCIOFLUSH);
    TDevice& device = GDevices[port];
    device.Saved = found;

    {
        std::lock_guard<std::mutex> hold(device.Lock);
        DeviceReceiveRing(port)->Clear();
    }
    device.Port.Reset(fd.Release());
    device.Running.store(1, std::memory_order_release);
    try {
        device.Reader = std::thread(ReaderThread, port);
    } catch (...) {
        device.Running.store(0);
        ReleasePort(device.Port.Get(), device.Saved);
        device.Port.Reset();
        return 0;
    }
    return 1;
}

extern "C" int32_t VCI_CloseDevice(int32_t port) {
    TDevice* device = OpenDevice(port);
    if (device == nullptr) return 1;
    // The reader sees the flag within one pass (a millisecond and a non-blocking read), and
    // is gone before the descriptor closes, so it never reads a closed or reused one.
    device->Running.store(0, std::memory_order_release);
    if (device->Reader.joinable()) device->Reader.join();
    ReleasePort(device->Port.Get(), device->Saved);
    device->Port.Reset();
    return 1;
}

extern "C" uint32_t VCI_ReadDevice(int32_t port, int32_t channel, uint32_t* elements, uint32_t count, uint32_t waitMs) {
    if (!ValidPort(port) || channel != 0) return 0;
    // Nothing ever signals the receive event, so the wait is a plain delay.
    if (waitMs > 0 && GDevices[port].Port.Valid()) std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
    if (elements == nullptr || count == 0) return 0;
    TReceiveRing& ring = *DeviceReceiveRing(port);
    const uint32_t limit = std::min(ring.Count(), count);
    std::lock_guard<std::mutex> hold(GDevices[port].Lock);
    return ring.Take(elements, limit);
}

extern "C" int32_t _VCI_WriteDevice(int32_t port, const uint8_t* bytes, uint32_t count) {
    TDevice* device = OpenDevice(port);
    if (device == nullptr || (bytes == nullptr && count > 0)) return 0;
    const int fd = device->Port.Get();
    uint32_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd, bytes + done, count - done);
        if (n > 0) {
            done += static_cast<uint32_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return 0;
        pollfd wait{fd, POLLOUT, 0};
        if (poll(&wait, 1, kWriteStallMs) <= 0 || (wait.revents & (POLLERR | POLLHUP | POLLNVAL))) return 0;
    }
    return 1;
}

extern "C" uint32_t VCI_GetReceiveNum(int32_t port, int32_t channel) {
    if (!ValidPort(port) || channel != 0) return 0;
    return DeviceReceiveRing(port)->Count();
}

extern "C" int32_t VCI_ClearBuffer(int32_t port, int32_t channel) {
    if (!ValidPort(port) || channel != 0) return 0;
    // Under the lock: a reset between the reader's store and its index update would
    // otherwise leave stale slots inside the ring.
    std::lock_guard<std::mutex> hold(GDevices[port].Lock);
    DeviceReceiveRing(port)->Clear();
    return 1;
}
