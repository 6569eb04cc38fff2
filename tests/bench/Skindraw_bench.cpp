// Paint-time cost of the nine-part rendering and load-time cost of tracing a title strip.
#include <benchmark/benchmark.h>

#include "skin/resources/Skindraw.h"
#include "skin/resources/Skinregion.h"

namespace quorin {
namespace {

// A three-frame button strip of 60 x 24 frames, with key-coloured rounded corners.
TBitmap ButtonStrip() {
    TBitmap image(180, 24);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 180; ++x)
            image.SetPixel(x, y, ColorFromRGB(static_cast<uint8_t>(x), static_cast<uint8_t>(y * 8), 90));
    for (int f = 0; f < 3; ++f)
        for (int c = 0; c < 3; ++c) {
            image.SetPixel(f * 60 + c, 0, KeyColor);
            image.SetPixel(f * 60 + 59 - c, 0, KeyColor);
            image.SetPixel(f * 60 + c, 23, KeyColor);
            image.SetPixel(f * 60 + 59 - c, 23, KeyColor);
        }
    return image;
}

void BM_NinePart640x480(benchmark::State& state) {
    const TBitmap image = ButtonStrip();
    const bool tile = state.range(0) != 0;
    for (auto _ : state) {
        TBitmap map = GetHMap(Rect(0, 0, 640, 480), image, Rect(8, 6, 8, 6), {.Frame = 2, .Frames = 3, .Tile = tile});
        benchmark::DoNotOptimize(map.Bits());
    }
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(BM_NinePart640x480)->Arg(0)->Arg(1)->ArgName("tile")->Unit(benchmark::kMicrosecond);

void BM_DrawRect2Transparent640x480(benchmark::State& state) {
    const TBitmap image = ButtonStrip();
    TBitmap canvas(640, 480);
    for (auto _ : state) {
        DrawRect2(canvas, Rect(0, 0, 640, 480), image, Rect(8, 6, 8, 6), {.Frame = 2, .Frames = 3, .Trans = true});
        benchmark::DoNotOptimize(canvas.Bits());
    }
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(BM_DrawRect2Transparent640x480)->Unit(benchmark::kMicrosecond);

// A 700 x 30 title strip: opaque with rounded top corners and a key-coloured notch per
// caption button, as a skinned frame traces it when the window is resized.
void BM_BitmapToRegionTitle700x30(benchmark::State& state) {
    TBitmap strip(700, 30);
    strip.Fill(0x804020);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5 - y; ++x) {
            strip.SetPixel(x, y, KeyColor);
            strip.SetPixel(699 - x, y, KeyColor);
        }
    for (int b = 0; b < 3; ++b) strip.FillRect(Rect(610 + 28 * b, 4, 612 + 28 * b, 26), KeyColor);
    size_t rects = 0;
    for (auto _ : state) {
        TBitmap work = strip;
        rects = BitmapToRegion(work, 0, 0, KeyColor, 1, 1, 1).size();
        benchmark::DoNotOptimize(rects);
    }
    state.counters["rects"] = static_cast<double>(rects);
}
BENCHMARK(BM_BitmapToRegionTitle700x30)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quorin
