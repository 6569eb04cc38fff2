// What a paint costs under a skin made to eat memory or time: each hostile skin loaded as
// the window loads it, then a push button (120 x 30, the skin's margins and tiling) and
// every caption button painted. peak_MB is the process's peak resident size after the
// load and the paints; run one skin per process (--benchmark_filter) to read it per skin.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <fstream>
#include <iterator>

#include "skin/resources/Skindraw.h"
#include "skin/resources/Winskindata.h"
#include "tests/common/HostileSkins.h"

namespace quorin {
namespace {

const std::vector<testing::THostileSkin>& Skins() {
    static const std::vector<testing::THostileSkin> skins = [] {
        std::ifstream in(std::string(QUORIN_BINARY_DIR) + "/skin/default/default.skn", std::ios::binary);
        return testing::MakeHostileSkins({std::istreambuf_iterator<char>(in), {}});
    }();
    return skins;
}

void Paint(const TSkinData& skin, TBitmap& canvas) {
    const TDataSkinButton& b = *skin.Buttons;
    if (!b.Map.Empty())
        DrawRect2(canvas, TRect{0, 0, 120, 30}, b.Map, b.Margins, {.Frames = 5, .Trans = true, .Tile = b.Tile != 0});
    for (const auto& sys : skin.SysButtons)
        if (sys && !sys->Map.Empty())
            DrawRect2(canvas, TRect{0, 0, 20, 20}, sys->Map, TMargins{}, {.Frames = std::max(1, sys->Frame)});
}

void BM_HostileSkinPaint(benchmark::State& state) {
    const testing::THostileSkin& hostile = Skins()[static_cast<size_t>(state.range(0))];
    state.SetLabel(hostile.Name);
    TSkinData skin(nullptr);
    TMemoryStream packed(hostile.Bytes);
    skin.LoadFromStream(packed);
    TBitmap canvas(120, 30);
    for (auto _ : state) {
        Paint(skin, canvas);
        benchmark::DoNotOptimize(canvas.Bits());
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_HostileSkinPaint)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quorin
