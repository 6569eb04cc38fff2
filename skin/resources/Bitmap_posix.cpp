#include <cstdlib>

#include "skin/resources/Bitmap.h"

namespace quorin {

uint8_t* AllocatePixels(int32_t width, int32_t height, int bitsPerPixel, void** handle) {
    *handle = nullptr;
    const size_t stride = DibStride(width, bitsPerPixel);
    if (stride == 0 || static_cast<size_t>(height) > SIZE_MAX / stride) return nullptr;
    return static_cast<uint8_t*>(std::calloc(stride * static_cast<size_t>(height), 1));
}

void ReleasePixels(uint8_t* bits, void*) { std::free(bits); }

void SyncPixels() {}

}  // namespace quorin
