// Codec speed on skin-like data: 400 KB of bitmap rows (runs, gradients, noise) and
// description text, about the size of a real packed skin's archive.
#include "skin/resources/Skinread.h"
#include "skin/resources/Winconvert.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include <algorithm>
#include <cstdlib>
#include <new>

using namespace quorin;

// The replaced operator new takes its memory from malloc, which the compiler cannot see.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

// Heap accounting for the peak-memory figure: every allocation carries its size in front.
namespace {
struct HeapCount {
    size_t current = 0;
    size_t peak = 0;
} g_heap;
constexpr size_t kHeader = alignof(std::max_align_t);
}  // namespace

void* operator new(size_t n) {
    auto* p = static_cast<unsigned char*>(std::malloc(n + kHeader));
    if (!p) throw std::bad_alloc();
    *reinterpret_cast<size_t*>(p) = n;
    g_heap.current += n;
    g_heap.peak = std::max(g_heap.peak, g_heap.current);
    return p + kHeader;
}

void operator delete(void* q) noexcept {
    if (!q) return;
    auto* p = static_cast<unsigned char*>(q) - kHeader;
    g_heap.current -= *reinterpret_cast<size_t*>(p);
    std::free(p);
}

void operator delete(void* q, size_t) noexcept { operator delete(q); }

namespace {

std::vector<uint8_t> SkinLikeInput(size_t size) {
    std::mt19937 rng(42);
    std::vector<uint8_t> out;
    while (out.size() < size) {
        switch (rng() % 4) {
        case 0:  // a bitmap row: a gradient with a magenta key border
            for (int x = 0; x < 240; ++x) {
                const bool key = x < 4 || x > 235;
                out.push_back(key ? 0xFF : static_cast<uint8_t>(x));
                out.push_back(key ? 0x00 : static_cast<uint8_t>(x / 2 + 40));
                out.push_back(key ? 0xFF : static_cast<uint8_t>(200 - x / 3));
            }
            break;
        case 1:  // a flat row
            out.insert(out.end(), 720, static_cast<uint8_t>(0xC0 + rng() % 8));
            break;
        case 2:  // noisy anti-aliased pixels
            for (int k = 0; k < 300; ++k) out.push_back(static_cast<uint8_t>(rng()));
            break;
        default: {
            const std::string line = "Frame" + std::to_string(rng() % 40) + "=" + std::to_string(rng() % 5000) + "\r\n";
            out.insert(out.end(), line.begin(), line.end());
        }
        }
    }
    out.resize(size);
    return out;
}

const std::vector<uint8_t>& Input() {
    static const std::vector<uint8_t> input = SkinLikeInput(400 * 1024);
    return input;
}

// The fixed mix the codec's figures are quoted on (about 395 KB), built the same way on
// every run: a 24-bit bitmap of 400 x 240 pixels as a skin stores it (flat panels,
// gradients, a bevel, anti-aliased text-like noise), the skin's INI text, 64 KB of random
// bytes that do not compress, and a long run of one byte.
std::vector<uint8_t> BenchmarkMix() {
    std::vector<uint8_t> out;
    auto le = [&out](uint32_t v, int n) {
        for (int i = 0; i < n; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    constexpr int W = 400, H = 240;
    constexpr uint32_t kPixels = W * H * 3;
    out.insert(out.end(), {'B', 'M'});
    le(54 + kPixels, 4);
    le(0, 4);
    le(54, 4);
    le(40, 4);
    le(W, 4);
    le(H, 4);
    le(1, 2);
    le(24, 2);
    le(0, 4);
    le(kPixels, 4);
    le(2835, 4);
    le(2835, 4);
    le(0, 4);
    le(0, 4);
    std::mt19937 rng(7);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            uint8_t b = 0xF0, g = 0xF0, r = 0xF0;  // a flat face
            if (x < 2 || y < 2 || x >= W - 2 || y >= H - 2) {
                b = 0xFF, g = 0x00, r = 0xFF;  // the transparent key
            } else if (y < 26) {
                b = static_cast<uint8_t>(0x80 + x * 100 / W), g = static_cast<uint8_t>(0x40 + y * 3),
                r = 0x20;  // title gradient
            } else if (x == 2 || y == 26) {
                b = g = r = 0xFF;  // bevel light
            } else if (x == W - 3 || y == H - 3) {
                b = g = r = 0x80;  // bevel shadow
            } else if (y % 24 > 8 && y % 24 < 20 && x % 160 < 100 && rng() % 3 == 0) {
                const auto v = static_cast<uint8_t>(rng());
                b = g = r = v;  // anti-aliased glyph edges
            }
            out.insert(out.end(), {b, g, r});
        }
    }
    for (int i = 0; out.size() < 54 + kPixels + 24 * 1024; ++i) {
        const std::string line = "[Element" + std::to_string(i) + "]\r\nImage=element" + std::to_string(i % 34) +
                                 ".bmp\r\nFrameCount=" + std::to_string(1 + i % 4) +
                                 "\r\nLeft=" + std::to_string(i % 7) + "\r\nTop=" + std::to_string(i % 5) +
                                 "\r\nFontColor=" + std::to_string(rng() % 0x1000000) + "\r\nTrans=1\r\n\r\n";
        out.insert(out.end(), line.begin(), line.end());
    }
    for (int i = 0; i < 64 * 1024; ++i) out.push_back(static_cast<uint8_t>(rng()));
    out.insert(out.end(), 16 * 1024, 0x00);
    return out;
}

const std::vector<uint8_t>& Mix() {
    static const std::vector<uint8_t> mix = BenchmarkMix();
    return mix;
}

void BM_PackMix(benchmark::State& state) {
    const auto& in = Mix();
    for (auto _ : state) benchmark::DoNotOptimize(LZHPackBytes(in.data(), in.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
    state.counters["input_kb"] = static_cast<double>(in.size()) / 1024.0;
}
BENCHMARK(BM_PackMix)->Unit(benchmark::kMillisecond);

void BM_UnpackMix(benchmark::State& state) {
    const auto& in = Mix();
    const auto packed = LZHPackBytes(in.data(), in.size());
    state.counters["ratio"] = static_cast<double>(packed.size()) / static_cast<double>(in.size());
    for (auto _ : state) benchmark::DoNotOptimize(LZHUnpackBytes(packed.data(), packed.size(), in.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}
BENCHMARK(BM_UnpackMix)->Unit(benchmark::kMillisecond);

void BM_Pack(benchmark::State& state) {
    const auto& in = Input();
    for (auto _ : state) benchmark::DoNotOptimize(LZHPackBytes(in.data(), in.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}
BENCHMARK(BM_Pack)->Unit(benchmark::kMillisecond);

void BM_Unpack(benchmark::State& state) {
    const auto& in = Input();
    const auto packed = LZHPackBytes(in.data(), in.size());
    state.counters["ratio"] = static_cast<double>(packed.size()) / static_cast<double>(in.size());
    for (auto _ : state) benchmark::DoNotOptimize(LZHUnpackBytes(packed.data(), packed.size(), in.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}
BENCHMARK(BM_Unpack)->Unit(benchmark::kMillisecond);

// The skin load path: unpack a packed skin and read its archive directory and bodies.
void BM_LoadPackedSkin(benchmark::State& state) {
    const auto& in = Input();
    std::vector<TSkinArchiveFile> files;
    for (int i = 0; i < 34; ++i) {
        const size_t part = in.size() / 35;
        files.push_back({"image" + std::to_string(i) + ".bmp",
                         std::vector<uint8_t>(in.begin() + static_cast<long>(part * i),
                                              in.begin() + static_cast<long>(part * (i + 1)))});
    }
    files.push_back({"skin.ini", std::vector<uint8_t>(in.end() - 2000, in.end())});
    const auto archive = BuildSkinArchive(files);
    const auto packed = PackSkinBytes(archive.data(), archive.size());
    for (auto _ : state) {
        TSkinReader reader;
        benchmark::DoNotOptimize(reader.Loadfromstream(packed.data(), packed.size()));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * archive.size()));
}
BENCHMARK(BM_LoadPackedSkin)->Unit(benchmark::kMillisecond);

// Peak heap use of one unpack of the 400 KB input: the codec tables plus the output.
void BM_UnpackPeakHeap(benchmark::State& state) {
    const auto& in = Input();
    const auto packed = LZHPackBytes(in.data(), in.size());
    size_t peak = 0;
    for (auto _ : state) {
        g_heap.peak = g_heap.current;
        const size_t base = g_heap.current;
        benchmark::DoNotOptimize(LZHUnpackBytes(packed.data(), packed.size(), in.size()));
        peak = std::max(peak, g_heap.peak - base);
    }
    state.counters["peak_heap_kb"] = static_cast<double>(peak) / 1024.0;
}
BENCHMARK(BM_UnpackPeakHeap)->Unit(benchmark::kMillisecond);

}  // namespace
