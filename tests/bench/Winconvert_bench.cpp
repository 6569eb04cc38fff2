// Codec speed on skin-like data: 400 KB of bitmap rows (runs, gradients, noise) and
// description text, about the size of a real packed skin's archive.
#include "skin/resources/Skinread.h"
#include "skin/resources/Winconvert.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

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
} // namespace

void* operator new(size_t n)
{
    auto* p = static_cast<unsigned char*>(std::malloc(n + kHeader));
    if (!p)
        throw std::bad_alloc();
    *reinterpret_cast<size_t*>(p) = n;
    g_heap.current += n;
    g_heap.peak = std::max(g_heap.peak, g_heap.current);
    return p + kHeader;
}

void operator delete(void* q) noexcept
{
    if (!q)
        return;
    auto* p = static_cast<unsigned char*>(q) - kHeader;
    g_heap.current -= *reinterpret_cast<size_t*>(p);
    std::free(p);
}

void operator delete(void* q, size_t) noexcept { operator delete(q); }

namespace {

std::vector<uint8_t> SkinLikeInput(size_t size)
{
    std::mt19937 rng(42);
    std::vector<uint8_t> out;
    while (out.size() < size) {
        switch (rng() % 4) {
        case 0: // a bitmap row: a gradient with a magenta key border
            for (int x = 0; x < 240; ++x) {
                const bool key = x < 4 || x > 235;
                out.push_back(key ? 0xFF : static_cast<uint8_t>(x));
                out.push_back(key ? 0x00 : static_cast<uint8_t>(x / 2 + 40));
                out.push_back(key ? 0xFF : static_cast<uint8_t>(200 - x / 3));
            }
            break;
        case 1: // a flat row
            out.insert(out.end(), 720, static_cast<uint8_t>(0xC0 + rng() % 8));
            break;
        case 2: // noisy anti-aliased pixels
            for (int k = 0; k < 300; ++k)
                out.push_back(static_cast<uint8_t>(rng()));
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

const std::vector<uint8_t>& Input()
{
    static const std::vector<uint8_t> input = SkinLikeInput(400 * 1024);
    return input;
}

void BM_Pack(benchmark::State& state)
{
    const auto& in = Input();
    for (auto _ : state)
        benchmark::DoNotOptimize(LZHPackBytes(in.data(), in.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}
BENCHMARK(BM_Pack)->Unit(benchmark::kMillisecond);

void BM_Unpack(benchmark::State& state)
{
    const auto& in = Input();
    const auto packed = LZHPackBytes(in.data(), in.size());
    state.counters["ratio"] = static_cast<double>(packed.size()) / static_cast<double>(in.size());
    for (auto _ : state)
        benchmark::DoNotOptimize(LZHUnpackBytes(packed.data(), packed.size(), in.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}
BENCHMARK(BM_Unpack)->Unit(benchmark::kMillisecond);

// The skin load path: unpack a packed skin and read its archive directory and bodies.
void BM_LoadPackedSkin(benchmark::State& state)
{
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
void BM_UnpackPeakHeap(benchmark::State& state)
{
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

} // namespace
