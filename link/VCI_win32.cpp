// The serial channel on Win32 communication ports: synchronous handles with time-outs, a
// binary line, one reader thread per open port polling the driver's input queue every
// millisecond, and the port's own settings given back when it closes.
#include "link/VCI.h"
#include "link/SerialProbe.h"
#include "link/VCI_win32.h"

#include <windows.h>
#include <process.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <utility>

#include "forms/Handles.h"
#include "link/ReceiveRing.h"

namespace quorin {
namespace {

constexpr DWORD kReadBufferSize = 200003;
// How long closing waits for the reader to see its flag; it needs one pass (a millisecond
// and a read of what is already queued), so this is normally never reached.
constexpr DWORD kCloseWaitMs = 200;
// A reader stuck in its read gets these to end after its read is cancelled, and after the
// port's handle is closed under it. Closing never waits longer than the three together:
// the window must not freeze on a driver that ignores both.
constexpr DWORD kCancelWaitMs = 200;
constexpr DWORD kHandleClosedWaitMs = 1000;
// A write the line does not take (hardware flow control held off, a driver that stalls)
// fails after this long plus a millisecond per byte, instead of freezing its caller.
constexpr DWORD kWriteStallMs = 2000;
constexpr DWORD kWriteMsPerByte = 1;

std::atomic<TPortReadCall> GPortRead{&ReadFile};

// The lock lives as long as the program, so no path can take a deleted one: a read from a
// port that was never opened, or a reader that outlived a failed wait.
class TLock {
public:
    TLock() { InitializeCriticalSection(&FSection); }
    ~TLock() { DeleteCriticalSection(&FSection); }
    TLock(const TLock&) = delete;
    TLock& operator=(const TLock&) = delete;
    void Enter() { EnterCriticalSection(&FSection); }
    void Leave() { LeaveCriticalSection(&FSection); }

private:
    CRITICAL_SECTION FSection;
};

class THold {
public:
    explicit THold(TLock& lock) : FLock(lock) { FLock.Enter(); }
    ~THold() { FLock.Leave(); }
    THold(const THold&) = delete;
    THold& operator=(const THold&) = delete;

private:
    TLock& FLock;
};

struct TDevice {
    TKernelHandle Claim;  // the port's name claimed for this process, see VCI_OpenDevice
    TKernelHandle Port;
    DCB SavedState{};  // the port as it was found, put back at close
    COMMTIMEOUTS SavedTimeouts{};
    std::atomic<LONG> Running{0};
    TKernelHandle ReceiveEvent;  // never signalled: VCI_ReadDevice's wait is a plain delay
    // Kept past a close while the reader has not ended: the slot is not opened again until
    // it has, since that reader still writes into Buffer when its read returns.
    TKernelHandle Reader;
    TPortReadCall Read = &ReadFile;  // taken at open, for that open's reader
    TLock Lock;                      // guards the ring
    uint8_t Buffer[kReadBufferSize];

    // A program that ends with a port open stops its reader before the slot goes away.
    ~TDevice();
};

TDevice GDevices[kDeviceCount];

TDevice* OpenDevice(int32_t port) {
    if (!ValidPort(port) || !GDevices[port].Port) return nullptr;
    return &GDevices[port];
}

// A binary line at 115200 baud, 8 data bits, no parity, one stop bit. The protocol's
// bytes take every value, so nothing may act on them: no XON/XOFF either way (0x11 and
// 0x13 are data, and a received 0x13 would stop our own output), no parity check, no
// error-character replacement, no null stripping, no abort on a line error. Hardware
// flow control and the DTR/RTS lines stay as the driver has them; the time-outs bound
// every read and write whatever they do.
bool SetBinaryLine(HANDLE port, DCB found) {
    DCB& dcb = found;
    dcb.BaudRate = CBR_115200;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    if (!SetCommState(port, &dcb)) return false;
    // A read returns at once with what is queued (the reader asks only for that); a write
    // has its bound.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.WriteTotalTimeoutMultiplier = kWriteMsPerByte;
    timeouts.WriteTotalTimeoutConstant = kWriteStallMs;
    return SetCommTimeouts(port, &timeouts) != FALSE;
}

void RestoreLine(HANDLE port, DCB state, COMMTIMEOUTS timeouts) {
    SetCommTimeouts(port, &timeouts);
    SetCommState(port, &state);
}

unsigned __stdcall ReaderThread(void* argument) {
    const auto port = static_cast<int32_t>(reinterpret_cast<intptr_t>(argument));
    TDevice& device = GDevices[port];
    const HANDLE handle = device.Port.Get();
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
    TReceiveRing& ring = *DeviceReceiveRing(port);
    const TPortReadCall read = device.Read;
    auto running = [&] { return device.Running.load(std::memory_order_acquire) == 1; };
    while (running()) {
        Sleep(1);
        DWORD errors = 0;
        COMSTAT status{};
        ClearCommError(handle, &errors, &status);  // also clears any line error
        if (status.cbInQue == 0) continue;
        // A close that gave up waiting may have closed the handle meanwhile.
        if (!running()) break;
        // Only what is queued, so the synchronous read returns at once.
        DWORD got = 0;
        if (!read(handle, device.Buffer, std::min(status.cbInQue, kReadBufferSize), &got, nullptr) || got == 0)
            continue;
        // A read that returns after the port was closed leaves the ring alone.
        if (!running()) break;
        for (DWORD i = 0; i < got; ++i) {
            THold hold(device.Lock);
            ring.Put(device.Buffer[i]);  // a full ring drops the byte
        }
    }
    return 0;
}

bool ReaderEnded(const TDevice& device, DWORD waitMs) {
    return !device.Reader || WaitForSingleObject(device.Reader.Get(), waitMs) != WAIT_TIMEOUT;
}

// Stops the reader and releases the port, waiting a bounded time at each step. The reader
// sees its flag within one pass; one stuck in a read that a driver blocks is cancelled,
// and failing that the handle is closed under it, which ends a read on every driver. The
// port and its claim are released in any case; a reader that outlives all this keeps the
// slot from opening again until it ends (see VCI_OpenDevice).
void CloseDevice(TDevice& device) {
    device.Running.store(0, std::memory_order_release);
    bool ended = ReaderEnded(device, kCloseWaitMs);
    if (!ended) {
        CancelSynchronousIo(device.Reader.Get());
        ended = ReaderEnded(device, kCancelWaitMs);
    }
    RestoreLine(device.Port.Get(), device.SavedState, device.SavedTimeouts);
    device.Port.Reset();
    if (!ended) ended = ReaderEnded(device, kHandleClosedWaitMs);
    if (ended) device.Reader.Reset();
    device.ReceiveEvent.Reset();
    device.Claim.Reset();
}

// A program that ends with a port open closes it the same way, so its exit cannot hang.
TDevice::~TDevice() {
    if (Port) CloseDevice(*this);
}

}  // namespace

TPortReadCall SetPortReadCall(TPortReadCall call) {
    const TPortReadCall previous = GPortRead.exchange(call != nullptr ? call : &ReadFile);
    return previous;
}

}  // namespace quorin

using namespace quorin;

namespace quorin {
namespace {

// What an open takes before its reader starts: every check that decides whether the port
// opens at all. Everything is released again when the parts go out of scope unused.
struct TAcquired {
    TKernelHandle Claim;
    TKernelHandle Port;
    DCB State{};
    COMMTIMEOUTS Timeouts{};
};

// Claims the port and reads its settings, changing nothing on the line.
bool ClaimPort(int32_t port, TAcquired& out) {
    if (!ValidPort(port)) return false;
    TDevice& device = GDevices[port];
    if (device.Port) return false;
    // The reader of the last open, still stuck in a read, owns the slot's buffer.
    if (!ReaderEnded(device, 0)) return false;
    device.Reader.Reset();

    // A port is used by one program at a time. The driver refuses a second opener on
    // Windows; the named claim makes the channel refuse it too where a driver lets it
    // through (Wine shares a serial device between processes).
    wchar_t claimName[48] = {};
    std::swprintf(claimName, 48, L"Local\\QuorinSerialPort%d", static_cast<int>(port));
    TKernelHandle claim(CreateMutexW(nullptr, FALSE, claimName));
    if (!claim || GetLastError() == ERROR_ALREADY_EXISTS) return false;

    // The device namespace reaches every port; a plain "COM10" would name a file.
    wchar_t name[24] = {};
    std::swprintf(name, 24, L"\\\\.\\COM%d", static_cast<int>(port));
    TKernelHandle handle(CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!handle) return false;
    out.State.DCBlength = sizeof out.State;
    if (!GetCommState(handle.Get(), &out.State) || !GetCommTimeouts(handle.Get(), &out.Timeouts)) return false;
    out.Claim = std::move(claim);
    out.Port = std::move(handle);
    return true;
}

}  // namespace

bool ProbeSerialPort(int32_t port) {
    TAcquired acquired;
    return ClaimPort(port, acquired);
}

}  // namespace quorin

extern "C" int32_t VCI_OpenDevice(int32_t port) {
    TAcquired acquired;
    if (!ClaimPort(port, acquired)) return 0;
    const HANDLE line = acquired.Port.Get();
    if (!SetBinaryLine(line, acquired.State)) {
        RestoreLine(line, acquired.State, acquired.Timeouts);
        return 0;
    }
    PurgeComm(line, PURGE_TXCLEAR | PURGE_RXCLEAR);
    TKernelHandle event(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!event) {
        RestoreLine(line, acquired.State, acquired.Timeouts);
        return 0;
    }
    TDevice& device = GDevices[port];
    {
        THold hold(device.Lock);
        DeviceReceiveRing(port)->Clear();
    }

    // Everything acquired so far is released again if the reader cannot start, so a
    // failed open never leaves the port held.
    device.Claim = std::move(acquired.Claim);
    device.Port = std::move(acquired.Port);
    device.SavedState = acquired.State;
    device.SavedTimeouts = acquired.Timeouts;
    device.ReceiveEvent = std::move(event);
    device.Read = GPortRead.load();
    device.Running.store(1, std::memory_order_release);
    const uintptr_t thread =
        _beginthreadex(nullptr, 0, ReaderThread, reinterpret_cast<void*>(static_cast<intptr_t>(port)), 0, nullptr);
    if (thread == 0) {
        device.Running.store(0);
        device.ReceiveEvent.Reset();
        RestoreLine(line, device.SavedState, device.SavedTimeouts);
        device.Port.Reset();
        device.Claim.Reset();
        return 0;
    }
    device.Reader.Reset(reinterpret_cast<HANDLE>(thread));
    return 1;
}

extern "C" int32_t VCI_CloseDevice(int32_t port) {
    TDevice* device = OpenDevice(port);
    if (device == nullptr) return 1;
    CloseDevice(*device);
    return 1;
}

extern "C" uint32_t VCI_ReadDevice(int32_t port, int32_t channel, uint32_t* elements, uint32_t count, uint32_t waitMs) {
    if (!ValidPort(port) || channel != 0) return 0;
    TDevice& device = GDevices[port];
    if (device.ReceiveEvent) WaitForSingleObject(device.ReceiveEvent.Get(), waitMs);
    if (elements == nullptr || count == 0) return 0;
    TReceiveRing& ring = *DeviceReceiveRing(port);
    const uint32_t limit = std::min(ring.Count(), count);
    THold hold(device.Lock);
    return ring.Take(elements, limit);
}

extern "C" int32_t _VCI_WriteDevice(int32_t port, const uint8_t* bytes, uint32_t count) {
    TDevice* device = OpenDevice(port);
    if (device == nullptr || (bytes == nullptr && count > 0)) return 0;
    // The port's write time-out ends a write the line does not take; what it leaves
    // unsent is discarded, so the next transaction starts on an empty queue.
    DWORD written = 0;
    if (WriteFile(device->Port.Get(), bytes, count, &written, nullptr) && written == count) return 1;
    PurgeComm(device->Port.Get(), PURGE_TXABORT | PURGE_TXCLEAR);
    return 0;
}

extern "C" uint32_t VCI_GetReceiveNum(int32_t port, int32_t channel) {
    if (!ValidPort(port) || channel != 0) return 0;
    return DeviceReceiveRing(port)->Count();
}

extern "C" int32_t VCI_ClearBuffer(int32_t port, int32_t channel) {
    if (!ValidPort(port) || channel != 0) return 0;
    // Under the lock: a reset between the reader's store and its index update would
    // otherwise leave stale slots inside the ring.
    THold hold(GDevices[port].Lock);
    DeviceReceiveRing(port)->Clear();
    return 1;
}
