#pragma once
// Tracing a window shape from a picture: every pixel that is not the key colour belongs to
// the shape. The result is a list of one-row rectangles, handed out in batches so that a
// platform can build its region piecewise (Skinregion_win32.h builds a window region).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "skin/resources/Bitmap.h"

namespace quorin {

// Rectangles are handed on whenever this many have been collected, and once more at the end.
constexpr size_t RegionBatchSize = 2000;

// A pixel matches the key when each channel lies between the key's channel and the key's
// channel plus its tolerance (capped at 255), both included. Each maximal run of
// non-matching pixels [x0, x1) in row y becomes (x0 + dx, y + dy, x1 + dx, y + 1 + dy), rows
// from the top, runs from the left. The image is converted to 32 bits in place. `flush`
// receives the batches (the last one possibly empty, so a caller always gets one call).
void BitmapToRegion(TBitmap& image, int32_t dx, int32_t dy, TColor key, uint8_t redTolerance, uint8_t greenTolerance,
                    uint8_t blueTolerance, const std::function<void(const TRect* rects, size_t count)>& flush);

// The same, collecting every rectangle.
std::vector<TRect> BitmapToRegion(TBitmap& image, int32_t dx, int32_t dy, TColor key, uint8_t redTolerance,
                                  uint8_t greenTolerance, uint8_t blueTolerance);

}  // namespace quorin
