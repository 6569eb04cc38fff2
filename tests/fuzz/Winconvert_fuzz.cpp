// The codec on hostile bytes: any stream must decode to exactly the size asked for, and
// anything packed must unpack to itself.
#include "skin/resources/Winconvert.h"

#include <cstdlib>
#include <cstring>

using namespace quorin;

// Two bytes and a 14-bit declared size: a larger input adds no new decode, and the round
// trip's cost grows with it.
constexpr size_t kMaxInput = 16385;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2 || size > kMaxInput) return 0;
    // The first two bytes choose the declared size (up to 16 KB) for the decode.
    const size_t declared = (static_cast<size_t>(data[0]) | static_cast<size_t>(data[1]) << 8) & 0x3FFF;
    const auto text = LZHUnpackBytes(data + 2, size - 2, declared);
    if (text.size() != declared) std::abort();

    // The bound on a packed skin's declared size, at 64 KB: every declared size up to it
    // is decoded in full, so a larger bound only makes runs slower.
    std::vector<uint8_t> out;
    if (UnpackSkinBytes(data, size, out, 1 << 16) && out.size() > (1u << 16)) std::abort();

    const auto packed = LZHPackBytes(data, size);
    const auto back = LZHUnpackBytes(packed.data(), packed.size(), size);
    if (back.size() != size || std::memcmp(back.data(), data, size) != 0) std::abort();
    return 0;
}
