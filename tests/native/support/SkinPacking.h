// Test helpers that make skins: 24-bit BMP files, skin archives and packed skins, so a
// test can describe a skin in a few lines and load it through the real reader.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace quorin::testing {

using Bytes = std::vector<uint8_t>;

// A 24-bit BMP of width x height; pixel(x, y) gives the colour (red in the low byte).
Bytes MakeBmp(int width, int height, const std::function<int32_t(int x, int y)>& pixel);
Bytes MakeBmp(int width, int height, int32_t fill);

// A skin archive (format mark 20000, name list, sizes, bodies) of the named files.
Bytes MakeSkinArchive(const std::vector<std::pair<std::string, Bytes>>& files);
// The archive packed: 4-byte size, then the LZHUF stream.
Bytes PackSkin(const Bytes& archive);
// A packed skin of one description and some files.
Bytes MakePackedSkin(const std::string& description, const std::vector<std::pair<std::string, Bytes>>& files);

}  // namespace quorin::testing
