// The skin description reader on anything: the first byte chooses what the rest is.
//   even: a packed skin, loaded as it stands (archive, codec and reader together);
//   odd:  a description, packed into a well-formed archive beside a few bitmaps (one of
//         them damaged), so the fuzzer spends its time on the description itself.
// Whatever comes in, loading must end without a fault and leave a consistent component.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "forms/Streams.h"
#include "skin/resources/Bmpfile.h"
#include "skin/resources/Skinread.h"
#include "skin/resources/Winconvert.h"
#include "skin/resources/Winskindata.h"

using namespace quorin;

namespace {

std::vector<uint8_t> Bmp(int w, int h, TColor color) {
    TBitmap b(w, h);
    b.Fill(color);
    return WriteBmp(b);
}

std::vector<uint8_t> PackedSkin(const std::string& description) {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files = {
        {"a.bmp", Bmp(6, 4, 0xFF00FF)},
        {"b.bmp", Bmp(11, 4, 0x336699)},
        {"c.bmp", Bmp(24, 2, 0x123456)},
        {"bad.bmp", std::vector<uint8_t>{'B', 'M', 1, 2, 3}},
        {"skin.ini", std::vector<uint8_t>(description.begin(), description.end())},
        // Pictures for larger scales: one of the size its scale gives, one of another.
        {"a@150.bmp", Bmp(9, 6, 0xFF00FF)},
        {"b@150.bmp", Bmp(12, 5, 0x336699)},
        {"c@200.bmp", Bmp(48, 4, 0x123456)},
    };
    std::vector<TSkinArchiveFile> entries;
    for (auto& f : files) entries.push_back({f.first, std::move(f.second)});
    std::vector<uint8_t> archive = BuildSkinArchive(entries);
    return PackSkinBytes(archive.data(), archive.size());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The wrong-format message would go to standard error on every refused archive.
    SetSkinMessageHandler([](const std::string&) {});
    return 0;
}

// Room for the default skin packed (about 11 KB) or its description; a larger input only
// makes each load slower.
constexpr size_t kMaxInput = 16384;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > kMaxInput) return 0;
    std::vector<uint8_t> packed;
    if (data[0] & 1) {
        packed = PackedSkin(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    } else {
        packed.assign(data + 1, data + size);
        // Unpacking a declared 60 MB of nothing teaches the fuzzer little and takes long;
        // the codec's own bound on the declared size is tested with the codec. Up to
        // 256 KB keeps the default skin (157 KB unpacked).
        if (packed.size() >= 4 && (packed[3] != 0 || packed[2] > 0x03)) return 0;
    }
    TSkinData skin(nullptr);
    TMemoryStream stream(packed);
    skin.LoadFromStream(stream);
    // A complete read leaves frame counts the painters can divide by.
    if (!skin.Loading()) {
        for (auto& b : skin.Border)
            if (b->Frame < 1) __builtin_trap();
        for (auto& b : skin.SysButtons)
            if (!b || b->Frame < 1) __builtin_trap();
        // The skin at other scales: from a set where the description names one, else from
        // its own pictures; the same frames either way.
        for (int dpi : {120, 144, 192}) {
            const TSkinData* scaled = skin.ForDpi(dpi);
            for (int i = 0; i < 4; ++i)
                if (!scaled->Border[i] || scaled->Border[i]->Frame != skin.Border[i]->Frame) __builtin_trap();
        }
    }
    return 0;
}
