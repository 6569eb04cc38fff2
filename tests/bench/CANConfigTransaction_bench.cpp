// How long the read and the write transactions really take against the virtual
// converter on a pseudo-terminal: the fixed waits plus the line and the host's overhead.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "link/CANConfigWriteParameter.h"
#include "tests/native/support/ConverterProcess.h"

namespace quorin {
namespace {

constexpr int32_t kPort = 7;

std::string ConverterProgram() {
    // The benchmarks live in build/<preset>/bench, the converter in build/<preset>/tools.
    return (std::filesystem::canonical("/proc/self/exe").parent_path().parent_path() / "tools" / "vconv").string();
}

void BM_ReadDeviceParameter(benchmark::State& state) {
    test::TConverterProcess converter({}, ConverterProgram());
    if (!converter.Open(kPort)) return state.SkipWithError("cannot open the converter's line");
    TParameterBlock block;
    for (auto _ : state) {
        if (!ReadDeviceParameter({kPort, nullptr}, 0, block)) state.SkipWithError("read failed");
    }
}
BENCHMARK(BM_ReadDeviceParameter)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_WriteDeviceParameter(benchmark::State& state) {
    test::TConverterProcess converter({}, ConverterProgram());
    if (!converter.Open(kPort)) return state.SkipWithError("cannot open the converter's line");
    TParameterBlock block = EncodeParameterBlock(WindowDefaultSettings());
    for (auto _ : state) {
        if (WriteDeviceParameter({kPort, nullptr}, 0, block) != TWriteOutcome::Success)
            state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_WriteDeviceParameter)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace quorin
