#pragma once
// Test pictures whose pixels say where they came from, so a test can tell which source
// pixel a drawing put at each target pixel.
#include "skin/resources/Bitmap.h"

namespace quorin::testing {

// A colour that encodes a source position; blue 1 keeps it apart from black and magenta.
constexpr TColor Coord(int x, int y) { return ColorFromRGB(static_cast<uint8_t>(x), static_cast<uint8_t>(y), 1); }

inline TBitmap CoordImage(int w, int h, TPixelFormat format = pf24bit) {
    TBitmap b(w, h, format);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.SetPixel(x, y, Coord(x, y));
    return b;
}

inline TBitmap Filled(int w, int h, TColor c, TPixelFormat format = pf24bit) {
    TBitmap b(w, h, format);
    b.Fill(c);
    return b;
}

}  // namespace quorin::testing
