#include "skin/resources/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace quorin {

TBitmap::TBitmap(int32_t width, int32_t height, TPixelFormat format) : FFormat(format) {
    Allocate(width, height, format);
}

TBitmap::TBitmap(const TBitmap& other)
    : Transparent(other.Transparent), TransparentColor(other.TransparentColor), FFormat(other.FFormat) {
    Allocate(other.FWidth, other.FHeight, other.FFormat);
    if (FBits) {
        other.Sync();
        std::memcpy(FBits, other.FBits, FStride * static_cast<size_t>(FHeight));
    }
}

TBitmap::TBitmap(TBitmap&& other) noexcept { *this = std::move(other); }

TBitmap& TBitmap::operator=(const TBitmap& other) {
    if (this != &other) {
        TBitmap copy(other);
        *this = std::move(copy);
    }
    return *this;
}

TBitmap& TBitmap::operator=(TBitmap&& other) noexcept {
    if (this != &other) {
        Release();
        FWidth = std::exchange(other.FWidth, 0);
        FHeight = std::exchange(other.FHeight, 0);
        FFormat = other.FFormat;
        FStride = std::exchange(other.FStride, 0);
        FBits = std::exchange(other.FBits, nullptr);
        FHandle = std::exchange(other.FHandle, nullptr);
        Transparent = other.Transparent;
        TransparentColor = other.TransparentColor;
    }
    return *this;
}

TBitmap::~TBitmap() { Release(); }

void TBitmap::Allocate(int32_t width, int32_t height, TPixelFormat format) {
    Release();
    FFormat = format;
    if (width <= 0 || height <= 0) return;
    const int bpp = format == pf32bit ? 32 : 24;
    void* handle = nullptr;
    uint8_t* bits = AllocatePixels(width, height, bpp, &handle);
    if (!bits) throw std::bad_alloc();
    FWidth = width;
    FHeight = height;
    FStride = DibStride(width, bpp);
    FBits = bits;
    FHandle = handle;
}

void TBitmap::Release() {
    if (FBits || FHandle) ReleasePixels(FBits, FHandle);
    FBits = nullptr;
    FHandle = nullptr;
    FWidth = FHeight = 0;
    FStride = 0;
}

void TBitmap::Sync() const {
    if (FHandle) SyncPixels();
}

void TBitmap::Clear() { Release(); }

void TBitmap::SetSize(int32_t width, int32_t height) {
    if (width == FWidth && height == FHeight) return;
    TBitmap resized(width, height, FFormat);
    const int32_t w = std::min(width, FWidth);
    const int32_t h = std::min(height, FHeight);
    for (int32_t y = 0; y < h && w > 0; ++y)
        std::memcpy(resized.ScanLine(y), ScanLine(y), static_cast<size_t>(w) * BytesPerPixel());
    resized.Transparent = Transparent;
    resized.TransparentColor = TransparentColor;
    *this = std::move(resized);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == FFormat) return;
    if (Empty()) {
        FFormat = format;
        return;
    }
    TBitmap converted(FWidth, FHeight, format);
    const int from = BytesPerPixel(), to = converted.BytesPerPixel();
    for (int32_t y = 0; y < FHeight; ++y) {
        const uint8_t* s = ScanLine(y);
        uint8_t* d = converted.ScanLine(y);
        for (int32_t x = 0; x < FWidth; ++x, s += from, d += to) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    }
    converted.Transparent = Transparent;
    converted.TransparentColor = TransparentColor;
    *this = std::move(converted);
}

uint8_t* TBitmap::ScanLine(int32_t y) {
    if (y < 0 || y >= FHeight) return nullptr;
    Sync();
    return FBits + static_cast<size_t>(FHeight - 1 - y) * FStride;
}

const uint8_t* TBitmap::ScanLine(int32_t y) const {
    if (y < 0 || y >= FHeight) return nullptr;
    Sync();
    return FBits + static_cast<size_t>(FHeight - 1 - y) * FStride;
}

TColor TBitmap::Pixel(int32_t x, int32_t y) const {
    if (x < 0 || x >= FWidth || y < 0 || y >= FHeight) return -1;
    const uint8_t* p = ScanLine(y) + static_cast<size_t>(x) * BytesPerPixel();
    return ColorFromRGB(p[2], p[1], p[0]);
}

void TBitmap::SetPixel(int32_t x, int32_t y, TColor color) {
    if (x < 0 || x >= FWidth || y < 0 || y >= FHeight) return;
    color = ColorToRGB(color);
    uint8_t* p = ScanLine(y) + static_cast<size_t>(x) * BytesPerPixel();
    p[0] = ColorBlue(color);
    p[1] = ColorGreen(color);
    p[2] = ColorRed(color);
}

void TBitmap::FillRect(const TRect& rect, TColor color) {
    const TRect r = IntersectRect(rect, BoundsRect());
    if (r.IsEmpty()) return;
    color = ColorToRGB(color);
    const uint8_t b = ColorBlue(color), g = ColorGreen(color), red = ColorRed(color);
    const int bpp = BytesPerPixel();
    for (int32_t y = r.Top; y < r.Bottom; ++y) {
        uint8_t* p = ScanLine(y) + static_cast<size_t>(r.Left) * bpp;
        for (int32_t x = r.Left; x < r.Right; ++x, p += bpp) {
            p[0] = b;
            p[1] = g;
            p[2] = red;
            if (bpp == 4) p[3] = 0;
        }
    }
}

}  // namespace quorin
