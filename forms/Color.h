#pragma once
// Colours as the framework and the skin engine store them: red in the lowest byte, then green, then blue.
// A value with the top bit set, 0x80000000 + n, names the platform's system colour n.
#include <cstdint>

namespace quorin {

using TColor = int32_t;

// Magenta marks the transparent pixels of every skin image.
constexpr TColor KeyColor = 0xFF00FF;

constexpr uint8_t ColorRed(TColor c) { return static_cast<uint8_t>(c & 0xFF); }
constexpr uint8_t ColorGreen(TColor c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
constexpr uint8_t ColorBlue(TColor c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }
constexpr TColor ColorFromRGB(uint8_t r, uint8_t g, uint8_t b) { return static_cast<TColor>(r | (g << 8) | (b << 16)); }

constexpr bool IsSystemColor(TColor c) { return c < 0; }
constexpr TColor SystemColor(int n) { return static_cast<TColor>(0x80000000u | static_cast<uint32_t>(n)); }

// The current value of system colour n (n & 0xFF): the desktop's colour on Windows,
// a fixed classic scheme elsewhere, so portable code and its tests give stable results.
TColor GetSystemColor(int n);

// Resolves a system colour to plain RGB; a plain colour is returned without its top byte.
inline TColor ColorToRGB(TColor c) { return IsSystemColor(c) ? GetSystemColor(c & 0xFF) : (c & 0xFFFFFF); }

}  // namespace quorin
