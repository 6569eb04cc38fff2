#include "skin/resources/Imgutil.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace quorin {

TColor Blend(TColor a, TColor b, int w) {
    a = ColorToRGB(a);
    b = ColorToRGB(b);
    const int64_t d = w < 100 ? 100 : 1000;
    auto mix = [&](uint8_t ca, uint8_t cb) {
        const int64_t v = (w * int64_t{ca} + (d - w) * int64_t{cb} + d / 2) / d;
        return static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 255));
    };
    return ColorFromRGB(mix(ColorRed(a), ColorRed(b)), mix(ColorGreen(a), ColorGreen(b)),
                        mix(ColorBlue(a), ColorBlue(b)));
}

int GetHSV(TColor c) {
    const int r = ColorRed(c), g = ColorGreen(c), b = ColorBlue(c);
    if (r < 160 && g < 160 && b < 160) return 200;
    const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
    if (mx == 0) return 0;
    // (max - min) / max * 255, rounded to the nearest integer with halves to even; done in
    // integers so that exact halves are recognised.
    const int num = (mx - mn) * 255;
    int q = num / mx;
    const int twice = 2 * (num % mx);
    if (twice > mx || (twice == mx && (q & 1))) ++q;
    return q;
}

namespace {

struct TGradientCache {
    std::array<std::vector<TColor>, 16> Tables;
    int Next = 0;
};

// One cache per thread: painting happens on the user-interface thread, and a second thread
// (a test, a tool) never sees a table being rebuilt under it.
thread_local TGradientCache GradientCache;

}  // namespace

const std::vector<TColor>& GradientTable(int n, TColor start, TColor end) {
    TGradientCache& cache = GradientCache;
    for (int slot = 15; slot >= 0; --slot) {
        const std::vector<TColor>& t = cache.Tables[static_cast<size_t>(slot)];
        if (static_cast<int>(t.size()) == n && n > 0 && t.front() == start && t.back() == end) return t;
    }
    std::vector<TColor>& t = cache.Tables[static_cast<size_t>(cache.Next)];
    cache.Next = (cache.Next + 1) % 16;
    t.assign(static_cast<size_t>(std::max(n, 0)), 0);
    auto channel = [&](int s, int e, int i) -> uint8_t {
        const int delta = e - s;
        if (n == 1) return static_cast<uint8_t>(s + delta / 2);
        const int m = n - 1;
        return static_cast<uint8_t>(s + static_cast<int>((m / 2 + static_cast<int64_t>(i) * delta) / m));
    };
    for (int i = 0; i < n; ++i)
        t[static_cast<size_t>(i)] =
            ColorFromRGB(channel(ColorRed(start), ColorRed(end), i), channel(ColorGreen(start), ColorGreen(end), i),
                         channel(ColorBlue(start), ColorBlue(end), i));
    return t;
}

void GradientBands(const TRect& rect, TColor start, TColor end, int direction, const TRect& clip,
                   const std::function<void(const TRect& band, TColor color)>& fill) {
    if (IntersectRect(rect, clip).IsEmpty()) return;
    start = ColorToRGB(start);
    end = ColorToRGB(end);
    const bool down = direction == 1;
    const int n = down ? rect.Height() : rect.Width();
    if (n <= 0) return;
    const int32_t before = down ? clip.Top - rect.Top : clip.Left - rect.Left;
    const int32_t after = down ? rect.Bottom - clip.Bottom : rect.Right - clip.Right;
    const int first = std::max(0, before);
    const int last = n - 1 - std::max(0, after);
    const std::vector<TColor>& table = GradientTable(n, start, end);
    for (int i = first; i <= last; ++i) {
        const TRect band = down ? Rect(rect.Left, rect.Top + i, rect.Right, rect.Top + i + 1)
                                : Rect(rect.Left + i, rect.Top, rect.Left + i + 1, rect.Bottom);
        fill(band, table[static_cast<size_t>(i)]);
    }
}

void GradFill(TBitmap& canvas, const TRect& rect, TColor start, TColor end, int direction, const TRect& clip) {
    const TRect visible = IntersectRect(clip, canvas.BoundsRect());
    GradientBands(rect, start, end, direction, visible,
                  [&](const TRect& band, TColor color) { canvas.FillRect(IntersectRect(band, visible), color); });
}

void GradFill(TBitmap& canvas, const TRect& rect, TColor start, TColor end, int direction) {
    GradFill(canvas, rect, start, end, direction, canvas.BoundsRect());
}

void ChangeTrans(TBitmap& image, TColor color) {
    image.SetPixelFormat(pf24bit);
    color = ColorToRGB(color);
    const uint8_t b = ColorBlue(color), g = ColorGreen(color), r = ColorRed(color);
    for (int32_t y = 0; y < image.Height(); ++y) {
        uint8_t* p = image.ScanLine(y);
        for (int32_t x = 0; x < image.Width(); ++x, p += 3)
            if (p[0] == 255 && p[1] == 0 && p[2] == 255) {
                p[0] = b;
                p[1] = g;
                p[2] = r;
            }
    }
}

void ConvertBitmapToGrayscale(TBitmap& image) {
    image.SetPixelFormat(pf24bit);
    for (int32_t y = 0; y < image.Height(); ++y) {
        uint8_t* p = image.ScanLine(y);
        for (int32_t x = 0; x < image.Width(); ++x, p += 3)
            p[0] = p[1] = p[2] = static_cast<uint8_t>((p[0] + p[1] + p[2]) / 3);
    }
}

namespace {

// Builds the turned or mirrored picture in a new bitmap of the given size: target pixel
// (x, y) takes source pixel from(x, y). Both formats are handled, so no pixel is torn apart.
template <class TFrom>
TBitmap Remap(const TBitmap& image, int32_t width, int32_t height, TFrom from) {
    TBitmap out(width, height, image.PixelFormat());
    const int bpp = image.BytesPerPixel();
    std::vector<const uint8_t*> rows(static_cast<size_t>(std::max(image.Height(), 0)));
    for (int32_t y = 0; y < image.Height(); ++y) rows[static_cast<size_t>(y)] = image.ScanLine(y);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* d = out.ScanLine(y);
        for (int32_t x = 0; x < width; ++x, d += bpp) {
            const auto [sx, sy] = from(x, y);
            std::memcpy(d, rows[static_cast<size_t>(sy)] + static_cast<size_t>(sx) * bpp, static_cast<size_t>(bpp));
        }
    }
    out.Transparent = image.Transparent;
    out.TransparentColor = image.TransparentColor;
    return out;
}

struct TXY {
    int32_t x, y;
};

}  // namespace

void SpiegelnHorizontal(TBitmap& image) {
    const int32_t W = image.Width();
    image = Remap(image, W, image.Height(), [&](int32_t x, int32_t y) { return TXY{W - 1 - x, y}; });
}

void SpiegelnVertikal(TBitmap& image) {
    const int32_t H = image.Height();
    image = Remap(image, image.Width(), H, [&](int32_t x, int32_t y) { return TXY{x, H - 1 - y}; });
}

void Drehen90Grad(TBitmap& image) {
    // Source (x, y) lands at (H - 1 - y, x): target (tx, ty) comes from (ty, H - 1 - tx).
    const int32_t H = image.Height();
    image = Remap(image, H, image.Width(), [&](int32_t tx, int32_t ty) { return TXY{ty, H - 1 - tx}; });
}

void Drehen270Grad(TBitmap& image) {
    // Source (x, y) lands at (y, W - 1 - x): target (tx, ty) comes from (W - 1 - ty, tx).
    const int32_t W = image.Width();
    image = Remap(image, image.Height(), W, [&](int32_t tx, int32_t ty) { return TXY{W - 1 - ty, tx}; });
}

void Drehen180Grad(TBitmap& image) {
    const int32_t W = image.Width(), H = image.Height();
    image = Remap(image, W, H, [&](int32_t x, int32_t y) { return TXY{W - 1 - x, H - 1 - y}; });
}

TBitmap Rotate90(const TBitmap& image) {
    if (image.PixelFormat() != pf24bit || image.Empty()) return TBitmap();
    const int32_t W = image.Width();
    return Remap(image, image.Height(), W, [&](int32_t tx, int32_t ty) { return TXY{W - 1 - ty, tx}; });
}

}  // namespace quorin
