#include "skin/resources/Skinregion.h"

#include <algorithm>

namespace quorin {

void BitmapToRegion(TBitmap& image, int32_t dx, int32_t dy, TColor key, uint8_t redTolerance, uint8_t greenTolerance,
                    uint8_t blueTolerance, const std::function<void(const TRect* rects, size_t count)>& flush) {
    key = ColorToRGB(key);
    const int kr = ColorRed(key), kg = ColorGreen(key), kb = ColorBlue(key);
    const int hr = std::min(255, kr + redTolerance), hg = std::min(255, kg + greenTolerance),
              hb = std::min(255, kb + blueTolerance);
    auto matches = [&](const uint8_t* p) {
        return p[2] >= kr && p[2] <= hr && p[1] >= kg && p[1] <= hg && p[0] >= kb && p[0] <= hb;
    };

    image.SetPixelFormat(pf32bit);
    std::vector<TRect> batch;
    batch.reserve(500);
    const int32_t W = image.Width();
    for (int32_t y = 0; y < image.Height(); ++y) {
        const uint8_t* row = image.ScanLine(y);
        int32_t x = 0;
        while (x < W) {
            while (x < W && matches(row + 4 * static_cast<size_t>(x))) ++x;
            if (x == W) break;
            const int32_t x0 = x;
            while (x < W && !matches(row + 4 * static_cast<size_t>(x))) ++x;
            batch.push_back(Rect(x0 + dx, y + dy, x + dx, y + 1 + dy));
            if (batch.size() == RegionBatchSize) {
                flush(batch.data(), batch.size());
                batch.clear();
            }
        }
    }
    flush(batch.data(), batch.size());
}

std::vector<TRect> BitmapToRegion(TBitmap& image, int32_t dx, int32_t dy, TColor key, uint8_t redTolerance,
                                  uint8_t greenTolerance, uint8_t blueTolerance) {
    std::vector<TRect> all;
    BitmapToRegion(image, dx, dy, key, redTolerance, greenTolerance, blueTolerance,
                   [&](const TRect* rects, size_t count) { all.insert(all.end(), rects, rects + count); });
    return all;
}

}  // namespace quorin
