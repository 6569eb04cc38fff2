#pragma once
// Block transfers between TBitmaps: the portable counterpart of the platform's blits.
// Everything is clipped to both bitmaps; a source pixel outside the source leaves the
// target pixel as it was. Stretching picks whole source pixels and drops or repeats lines
// (no averaging), so skin images keep their exact colours.
#include "skin/resources/Bitmap.h"

namespace quorin {

// Copies srcRect of src onto dstRect of dst, stretched or shrunk to fit. Nothing when either
// rectangle has no area (a rectangle with negative size is not mirrored).
void StretchCopy(TBitmap& dst, const TRect& dstRect, const TBitmap& src, const TRect& srcRect);

// The same, leaving the target unchanged wherever the source pixel is the key colour.
void StretchCopyTransparent(TBitmap& dst, const TRect& dstRect, const TBitmap& src, const TRect& srcRect, TColor key);

// Unstretched copy of srcRect to (x, y).
inline void CopyRect(TBitmap& dst, int32_t x, int32_t y, const TBitmap& src, const TRect& srcRect) {
    StretchCopy(dst, Bounds(x, y, srcRect.Width(), srcRect.Height()), src, srcRect);
}

}  // namespace quorin
