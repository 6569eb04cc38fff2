#pragma once
// Windows BMP files: the format of every skin image. The reader takes files of 1, 4, 8, 24
// and 32 bits per pixel, stored bottom-up or top-down, run-length coded 4- and 8-bit files,
// and 32-bit files that declare the standard channel masks; anything else, and any damaged
// or truncated file, gives an empty image rather than a guess. Every length in the file is checked against what
// remains before it is used. The writer stores 24- or 32-bit files as the bitmap holds them.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "skin/resources/Bitmap.h"

namespace quorin {

// Decodes a BMP file held in memory. Returns false (and leaves the image empty) when the data
// is not a BMP file this reader takes. 1-, 4-, 8- and 24-bit files become 24-bit bitmaps,
// 32-bit files 32-bit bitmaps. A file with no pixels (width or height 0) gives an empty image
// and true.
bool ReadBmp(const uint8_t* data, size_t size, TBitmap& image);
inline bool ReadBmp(std::span<const uint8_t> data, TBitmap& image) { return ReadBmp(data.data(), data.size(), image); }

// The size a BMP file declares, read from its header alone, so a caller can refuse a picture
// before any pixel memory is taken for it. False when the header is not one ReadBmp takes.
bool ReadBmpSize(const uint8_t* data, size_t size, int64_t& width, int64_t& height);
// Encodes the bitmap as a bottom-up BMP file of its own pixel format.
std::vector<uint8_t> WriteBmp(const TBitmap& image);

// The same through files; false when the file cannot be read or written (or is not a BMP).
bool LoadBmpFile(const std::string& path, TBitmap& image);
bool SaveBmpFile(const std::string& path, const TBitmap& image);

}  // namespace quorin
