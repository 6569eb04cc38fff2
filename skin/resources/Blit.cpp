#include "skin/resources/Blit.h"

#include <cstring>
#include <vector>

namespace quorin {
namespace {

// Source coordinate for each target coordinate in [first, last) of a target span that starts
// at dst0 and is dlen long, over a source span at src0 of slen pixels: floor(i * slen / dlen).
int32_t MapCoordinate(int32_t i, int32_t dlen, int32_t src0, int32_t slen) {
    return src0 + static_cast<int32_t>(static_cast<int64_t>(i) * slen / dlen);
}

void Transfer(TBitmap& dst, const TRect& dstRect, const TBitmap& src, const TRect& srcRect, const TColor* key) {
    const int32_t dw = dstRect.Width(), dh = dstRect.Height();
    const int32_t sw = srcRect.Width(), sh = srcRect.Height();
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || dst.Empty() || src.Empty()) return;
    const TRect clip = IntersectRect(dstRect, dst.BoundsRect());
    if (clip.IsEmpty()) return;

    // Column map for the visible columns; -1 marks a source column outside the source.
    std::vector<int32_t> columns(static_cast<size_t>(clip.Width()));
    bool contiguous = sw == dw;
    for (int32_t x = clip.Left; x < clip.Right; ++x) {
        int32_t sx = MapCoordinate(x - dstRect.Left, dw, srcRect.Left, sw);
        if (sx < 0 || sx >= src.Width()) {
            sx = -1;
            contiguous = false;
        }
        columns[static_cast<size_t>(x - clip.Left)] = sx;
    }

    const int sb = src.BytesPerPixel(), db = dst.BytesPerPixel();
    const bool plain = !key && contiguous && sb == db;
    uint8_t kb = 0, kg = 0, kr = 0;
    if (key) {
        const TColor k = ColorToRGB(*key);
        kb = ColorBlue(k), kg = ColorGreen(k), kr = ColorRed(k);
    }
    for (int32_t y = clip.Top; y < clip.Bottom; ++y) {
        const int32_t sy = MapCoordinate(y - dstRect.Top, dh, srcRect.Top, sh);
        if (sy < 0 || sy >= src.Height()) continue;
        const uint8_t* srow = src.ScanLine(sy);
        uint8_t* drow = dst.ScanLine(y) + static_cast<size_t>(clip.Left) * db;
        if (plain) {
            std::memmove(drow, srow + static_cast<size_t>(columns[0]) * sb, static_cast<size_t>(clip.Width()) * db);
            continue;
        }
        for (size_t i = 0; i < columns.size(); ++i, drow += db) {
            if (columns[i] < 0) continue;
            const uint8_t* s = srow + static_cast<size_t>(columns[i]) * sb;
            if (key && s[0] == kb && s[1] == kg && s[2] == kr) continue;
            drow[0] = s[0];
            drow[1] = s[1];
            drow[2] = s[2];
        }
    }
}

}  // namespace

void StretchCopy(TBitmap& dst, const TRect& dstRect, const TBitmap& src, const TRect& srcRect) {
    Transfer(dst, dstRect, src, srcRect, nullptr);
}

void StretchCopyTransparent(TBitmap& dst, const TRect& dstRect, const TBitmap& src, const TRect& srcRect, TColor key) {
    Transfer(dst, dstRect, src, srcRect, &key);
}

}  // namespace quorin
