// Figures of the serial channel on pseudo-terminals: how long a byte takes from the line
// to the receive ring, what an idle open port costs in processor time, and how long the
// start-up port scan takes with some ports present.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "link/SerialPortPath.h"
#include "link/VCI.h"

namespace {

class TPty {
public:
    TPty() {
        FMaster = posix_openpt(O_RDWR | O_NOCTTY);
        grantpt(FMaster);
        unlockpt(FMaster);
        FPath = ptsname(FMaster);
        termios tio{};
        tcgetattr(FMaster, &tio);
        cfmakeraw(&tio);
        tcsetattr(FMaster, TCSANOW, &tio);
    }
    ~TPty() { close(FMaster); }
    int Master() const { return FMaster; }
    const std::string& Path() const { return FPath; }

private:
    int FMaster = -1;
    std::string FPath;
};

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// From the write on the device side to the byte being countable in the ring.
void BM_LineToRingLatency(benchmark::State& state) {
    TPty pty;
    quorin::SetPortPath(1, pty.Path());
    if (VCI_OpenDevice(1) != 1) {
        state.SkipWithError("cannot open the pseudo-terminal");
        return;
    }
    const uint8_t byte = 0x5A;
    uint32_t sink[16];
    for (auto _ : state) {
        if (write(pty.Master(), &byte, 1) != 1) break;
        while (VCI_GetReceiveNum(1, 0) == 0) {}
        VCI_ReadDevice(1, 0, sink, 16, 0);
    }
    VCI_CloseDevice(1);
}
BENCHMARK(BM_LineToRingLatency)->UseRealTime()->Unit(benchmark::kMicrosecond);

// Processor time of one open port whose line is quiet, as a share of one core.
void BM_IdleOpenPortCpu(benchmark::State& state) {
    TPty pty;
    quorin::SetPortPath(1, pty.Path());
    if (VCI_OpenDevice(1) != 1) {
        state.SkipWithError("cannot open the pseudo-terminal");
        return;
    }
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        const double c0 = ProcessCpuSeconds();
        const auto w0 = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        cpu += ProcessCpuSeconds() - c0;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count();
    }
    state.counters["cpu_percent_of_a_core"] = 100.0 * cpu / wall;
    VCI_CloseDevice(1);
}
BENCHMARK(BM_IdleOpenPortCpu)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

// The start-up scan: open and close every port number from 0 to 23; the first N name
// pseudo-terminals, the others name nothing.
void BM_PortScan(benchmark::State& state) {
    const int present = static_cast<int>(state.range(0));
    std::vector<std::unique_ptr<TPty>> ptys;
    for (int n = 0; n < 24; ++n) {
        if (n < present) {
            ptys.push_back(std::make_unique<TPty>());
            quorin::SetPortPath(n, ptys.back()->Path());
        } else {
            quorin::SetPortPath(n, "/dev/quorin-no-such-port" + std::to_string(n));
        }
    }
    int found = 0;
    for (auto _ : state) {
        found = 0;
        for (int n = 0; n <= 23; ++n) {
            if (VCI_OpenDevice(n) != 0) {
                ++found;
                VCI_CloseDevice(n);
            }
        }
    }
    state.counters["ports_found"] = found;
}
BENCHMARK(BM_PortScan)->Arg(0)->Arg(2)->Arg(8)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
