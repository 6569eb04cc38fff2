#pragma once
// A small PNG writer for looking at composed pictures (contact sheets, screenshots): 8-bit
// RGB, no filtering, deflate's stored blocks. Files are larger than compressed ones but any
// viewer opens them, and the writer needs no library.
#include <cstdint>
#include <string>
#include <vector>

#include "skin/resources/Bitmap.h"

namespace quorin {

std::vector<uint8_t> WritePng(const TBitmap& image);
bool SavePngFile(const std::string& path, const TBitmap& image);

// The checksums of the format, exposed for tests: CRC-32 of each chunk, Adler-32 of the rows.
uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);
uint32_t Adler32(const uint8_t* data, size_t size, uint32_t adler = 1);

}  // namespace quorin
