// Loading the program's default skin: unpacking, parsing the description, decoding every
// bitmap and building the composite pictures, as the main window does at start-up.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>

#include "skin/resources/Winskindata.h"

namespace {

std::vector<uint8_t> DefaultSkin() {
    std::ifstream f(std::string(QUORIN_BINARY_DIR) + "/skin/default/default.skn", std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

// Loads the default skin over and over; Dpi 0 stops there, another makes it at that scale.
void LoadDefaultSkin(benchmark::State& state, int Dpi) {
    const std::vector<uint8_t> packed = DefaultSkin();
    if (packed.empty()) {
        state.SkipWithError("default skin not built");
        return;
    }
    for (auto _ : state) {
        quorin::TSkinData skin(nullptr);
        quorin::TMemoryStream stream(packed);
        skin.LoadFromStream(stream);
        benchmark::DoNotOptimize(Dpi ? skin.ForDpi(Dpi)->Scrollbar.get() : skin.Scrollbar.get());
    }
    quorin::FreeSkinManager();
}

void BM_LoadDefaultSkin(benchmark::State& state) { LoadDefaultSkin(state, 0); }
BENCHMARK(BM_LoadDefaultSkin)->Unit(benchmark::kMillisecond);

// The skin loaded and made at a display scale, as a window on a monitor of that scale
// needs it: at 150 and 200 % the pictures drawn for the scale are unpacked and taken as
// they are, at 125 and 175 % the next larger set is scaled down (at 96 DPI the load alone).
void BM_LoadDefaultSkinAtDpi(benchmark::State& state) { LoadDefaultSkin(state, int(state.range(0))); }
BENCHMARK(BM_LoadDefaultSkinAtDpi)->Arg(96)->Arg(120)->Arg(144)->Arg(168)->Arg(192)->Unit(benchmark::kMillisecond);

// The component alone (its default lists and glyphs), to separate it from the load.
void BM_ConstructSkinData(benchmark::State& state) {
    for (auto _ : state) {
        quorin::TSkinData skin(nullptr);
        benchmark::DoNotOptimize(&skin);
    }
}
BENCHMARK(BM_ConstructSkinData)->Unit(benchmark::kMicrosecond);

}  // namespace
