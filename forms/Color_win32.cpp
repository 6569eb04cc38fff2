#include "forms/Color.h"

#include <windows.h>

namespace quorin {

TColor GetSystemColor(int n) {
    // COLORREF has red in its lowest byte too, so the value passes unchanged.
    return static_cast<TColor>(GetSysColor(n & 0xFF) & 0xFFFFFF);
}

}  // namespace quorin
