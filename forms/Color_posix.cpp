#include "forms/Color.h"

#include <array>

namespace quorin {

// A classic grey desktop scheme, indexed by system colour number.
TColor GetSystemColor(int n) {
    static constexpr std::array<TColor, 31> kScheme = {
        ColorFromRGB(212, 208, 200),  // 0 scroll bar
        ColorFromRGB(58, 110, 165),   // 1 desktop
        ColorFromRGB(10, 36, 106),    // 2 active caption
        ColorFromRGB(128, 128, 128),  // 3 inactive caption
        ColorFromRGB(212, 208, 200),  // 4 menu
        ColorFromRGB(255, 255, 255),  // 5 window
        ColorFromRGB(0, 0, 0),        // 6 window frame
        ColorFromRGB(0, 0, 0),        // 7 menu text
        ColorFromRGB(0, 0, 0),        // 8 window text
        ColorFromRGB(255, 255, 255),  // 9 caption text
        ColorFromRGB(212, 208, 200),  // 10 active border
        ColorFromRGB(212, 208, 200),  // 11 inactive border
        ColorFromRGB(128, 128, 128),  // 12 application workspace
        ColorFromRGB(10, 36, 106),    // 13 highlight
        ColorFromRGB(255, 255, 255),  // 14 highlight text
        ColorFromRGB(212, 208, 200),  // 15 button face
        ColorFromRGB(128, 128, 128),  // 16 button shadow
        ColorFromRGB(128, 128, 128),  // 17 grey text
        ColorFromRGB(0, 0, 0),        // 18 button text
        ColorFromRGB(212, 208, 200),  // 19 inactive caption text
        ColorFromRGB(255, 255, 255),  // 20 button highlight
        ColorFromRGB(64, 64, 64),     // 21 3D dark shadow
        ColorFromRGB(212, 208, 200),  // 22 3D light
        ColorFromRGB(0, 0, 0),        // 23 info text
        ColorFromRGB(255, 255, 225),  // 24 info background
        ColorFromRGB(181, 181, 181),  // 25 unused
        ColorFromRGB(0, 0, 128),      // 26 hot-tracked item
        ColorFromRGB(166, 202, 240),  // 27 active caption gradient
        ColorFromRGB(192, 192, 192),  // 28 inactive caption gradient
        ColorFromRGB(10, 36, 106),    // 29 menu highlight
        ColorFromRGB(212, 208, 200),  // 30 menu bar
    };
    n &= 0xFF;
    return n < static_cast<int>(kScheme.size()) ? kScheme[n] : 0;
}

}  // namespace quorin
