#include "Canvas.h"

#include "forms/Dpi.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace quorin::skingen {

TRGB Mix(TRGB a, TRGB b, double t) {
    auto ch = [t](uint8_t x, uint8_t y) { return static_cast<uint8_t>(std::lround(x + (y - x) * t)); };
    return TRGB{ch(a.r, b.r), ch(a.g, b.g), ch(a.b, b.b)};
}

namespace {

int gPercent = 100;

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// Distance of a pixel centre from the centre of the corner circle it belongs to, or a
// negative value when the pixel is not in a corner square.
double CornerDistance(int x, int y, double x0, double y0, double x1, double y1, double r, bool top, bool bottom) {
    double cx, cy;
    if (x < x0 + r)
        cx = x0 + r;
    else if (x >= x1 - r)
        cx = x1 - r;
    else
        return -1;
    if (top && y < y0 + r)
        cy = y0 + r;
    else if (bottom && y >= y1 - r)
        cy = y1 - r;
    else
        return -1;
    double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
    return std::sqrt(dx * dx + dy * dy);
}

}  // namespace

void SetDrawPercent(int Percent) { gPercent = Percent > 0 ? Percent : 100; }
int DrawPercent() { return gPercent; }
int ScaledLength(int Length) {
    const int64_t p = int64_t(Length) * gPercent;
    return int(p >= 0 ? (p + 50) / 100 : -((-p + 50) / 100));
}

int TArtCanvas::TAxis::Edge(int x) const {
    if (Percent == 100) return x;
    const int f = FloorDiv(x, Frame), r = x - f * Frame;
    return f * ScaledLength(Frame) + ScaledLength(r);
}

double TArtCanvas::TAxis::At(double x) const {
    if (Percent == 100) return x;
    const double f = std::floor(x / Frame), r = x - f * Frame;
    const int frame = ScaledLength(Frame);
    return f * frame + r * frame / Frame;
}

TArtCanvas::TArtCanvas(int width, int height, TRGB fill) : TArtCanvas(width, height, TFrames{}, fill) {}

TArtCanvas::TArtCanvas(int width, int height, TFrames frames, TRGB fill) : percent_(gPercent) {
    if (frames.Across < 1 || frames.Down < 1 || width % frames.Across != 0 || height % frames.Down != 0)
        throw std::runtime_error("a picture's frames must divide it");
    x_ = TAxis{width, width / frames.Across, percent_};
    y_ = TAxis{height, height / frames.Down, percent_};
    pw_ = x_.Pixels();
    ph_ = y_.Pixels();
    px_.assign(static_cast<size_t>(pw_) * ph_, fill);
}

TRGB TArtCanvas::Pixel(int px, int py) const {
    if (px < 0 || py < 0 || px >= pw_ || py >= ph_) return Magenta;
    return px_[static_cast<size_t>(py) * pw_ + px];
}

void TArtCanvas::SetPixel(int px, int py, TRGB c) {
    if (px < 0 || py < 0 || px >= pw_ || py >= ph_) return;
    px_[static_cast<size_t>(py) * pw_ + px] = c;
}

TRGB TArtCanvas::At(int x, int y) const { return Pixel(x_.Edge(x), y_.Edge(y)); }

void TArtCanvas::Set(int x, int y, TRGB c) { FillRect(x, y, x + 1, y + 1, c); }

void TArtCanvas::FillRect(int x0, int y0, int x1, int y1, TRGB c) {
    const int px1 = x_.Edge(x1), py1 = y_.Edge(y1);
    for (int y = y_.Edge(y0); y < py1; ++y)
        for (int x = x_.Edge(x0); x < px1; ++x) SetPixel(x, y, c);
}

void TArtCanvas::FrameRect(int x0, int y0, int x1, int y1, TRGB c) {
    // A line as wide as the scale has whole pixels for one: 1 at 150 %, 2 at 200 %, the
    // same on every side.
    const int w = std::max(1, percent_ / 100);
    const int l = x_.Edge(x0), t = y_.Edge(y0), r = x_.Edge(x1), b = y_.Edge(y1);
    auto fill = [&](int a, int top, int z, int bottom) {
        for (int y = top; y < bottom; ++y)
            for (int x = a; x < z; ++x) SetPixel(x, y, c);
    };
    fill(l, t, r, t + w);
    fill(l, b - w, r, b);
    fill(l, t, l + w, b);
    fill(r - w, t, r, b);
}

void TArtCanvas::GradientV(int x0, int y0, int x1, int y1, TRGB top, TRGB bottom) {
    const int py0 = y_.Edge(y0), py1 = y_.Edge(y1), h = py1 - py0;
    const int px0 = x_.Edge(x0), px1 = x_.Edge(x1);
    for (int y = py0; y < py1; ++y) {
        TRGB c = h > 1 ? Mix(top, bottom, double(y - py0) / (h - 1)) : top;
        for (int x = px0; x < px1; ++x) SetPixel(x, y, c);
    }
}

void TArtCanvas::GradientVPart(int x0, int y0, int x1, int y1, int From, int Length, TRGB top, TRGB bottom) {
    const int origin = From >= 0 ? y_.Edge(From) : -ScaledLength(-From);
    const int h = ScaledLength(Length);
    const int px0 = x_.Edge(x0), px1 = x_.Edge(x1), py1 = y_.Edge(y1);
    for (int y = y_.Edge(y0); y < py1; ++y) {
        TRGB c = h > 1 ? Mix(top, bottom, std::clamp(double(y - origin) / (h - 1), 0.0, 1.0)) : top;
        for (int x = px0; x < px1; ++x) SetPixel(x, y, c);
    }
}

void TArtCanvas::GradientH(int x0, int y0, int x1, int y1, TRGB left, TRGB right) {
    const int px0 = x_.Edge(x0), px1 = x_.Edge(x1), w = px1 - px0;
    const int py0 = y_.Edge(y0), py1 = y_.Edge(y1);
    for (int x = px0; x < px1; ++x) {
        TRGB c = w > 1 ? Mix(left, right, double(x - px0) / (w - 1)) : left;
        for (int y = py0; y < py1; ++y) SetPixel(x, y, c);
    }
}

void TArtCanvas::CutCorners(int x0, int y0, int x1, int y1, int r, bool top, bool bottom) {
    if (r <= 0) return;
    const int l = x_.Edge(x0), t = y_.Edge(y0), rr = x_.Edge(x1), b = y_.Edge(y1);
    const double radius = r * Factor();
    for (int y = t; y < b; ++y)
        for (int x = l; x < rr; ++x) {
            double d = CornerDistance(x, y, l, t, rr, b, radius, top, bottom);
            if (d > radius) SetPixel(x, y, Magenta);
        }
}

void TArtCanvas::RoundRect(int x0, int y0, int x1, int y1, int r, TRGB outline, TRGB fillTop, TRGB fillBottom) {
    GradientV(x0, y0, x1, y1, fillTop, fillBottom);
    FrameRect(x0, y0, x1, y1, outline);
    if (r <= 0) return;
    const int l = x_.Edge(x0), t = y_.Edge(y0), rr = x_.Edge(x1), b = y_.Edge(y1);
    const double radius = r * Factor(), line = std::max(1, percent_ / 100);
    for (int y = t; y < b; ++y)
        for (int x = l; x < rr; ++x) {
            double d = CornerDistance(x, y, l, t, rr, b, radius, true, true);
            if (d < 0) continue;
            if (d > radius)
                SetPixel(x, y, Magenta);
            else if (d > radius - line)
                SetPixel(x, y, outline);
        }
}

void TArtCanvas::Line(double ax, double ay, double bx, double by, double thickness, TRGB c) {
    // Pixel centres at the scale.
    const double x0 = x_.At(ax + 0.5) - 0.5, y0 = y_.At(ay + 0.5) - 0.5;
    const double x1 = x_.At(bx + 0.5) - 0.5, y1 = y_.At(by + 0.5) - 0.5;
    // Every pixel whose centre lies within half the thickness of the segment.
    double half = thickness * Factor() / 2.0;
    int minx = static_cast<int>(std::floor(std::min(x0, x1) - half - 1));
    int maxx = static_cast<int>(std::ceil(std::max(x0, x1) + half + 1));
    int miny = static_cast<int>(std::floor(std::min(y0, y1) - half - 1));
    int maxy = static_cast<int>(std::ceil(std::max(y0, y1) + half + 1));
    double dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
    for (int y = miny; y <= maxy; ++y)
        for (int x = minx; x <= maxx; ++x) {
            double px = x, py = y;
            double t = len2 > 0 ? ((px - x0) * dx + (py - y0) * dy) / len2 : 0;
            t = std::clamp(t, 0.0, 1.0);
            double qx = x0 + t * dx - px, qy = y0 + t * dy - py;
            if (qx * qx + qy * qy <= half * half + 1e-9) SetPixel(x, y, c);
        }
}

void TArtCanvas::Disc(double cx, double cy, double radius, TRGB c) {
    const double x0 = x_.At(cx), y0 = y_.At(cy), r = radius * Factor();
    for (int y = int(std::floor(y0 - r - 1)); y <= int(std::ceil(y0 + r + 1)); ++y)
        for (int x = int(std::floor(x0 - r - 1)); x <= int(std::ceil(x0 + r + 1)); ++x) {
            const double dx = x + 0.5 - x0, dy = y + 0.5 - y0;
            if (dx * dx + dy * dy <= r * r) SetPixel(x, y, c);
        }
}

void TArtCanvas::Blit(const TArtCanvas& src, int x, int y) {
    const int px = x_.Edge(x), py = y_.Edge(y);
    for (int j = 0; j < src.ph_; ++j)
        for (int i = 0; i < src.pw_; ++i) SetPixel(px + i, py + j, src.Pixel(i, j));
}

void TArtCanvas::Overlay(const TArtCanvas& src, int x, int y) {
    const int px = x_.Edge(x), py = y_.Edge(y);
    for (int j = 0; j < src.ph_; ++j)
        for (int i = 0; i < src.pw_; ++i)
            if (!(src.Pixel(i, j) == Magenta)) SetPixel(px + i, py + j, src.Pixel(i, j));
}

void TArtCanvas::Underlay(const TArtCanvas& src, int x, int y) {
    const int px = x_.Edge(x), py = y_.Edge(y);
    for (int j = 0; j < src.ph_; ++j)
        for (int i = 0; i < src.pw_; ++i)
            if (Pixel(px + i, py + j) == Magenta) SetPixel(px + i, py + j, src.Pixel(i, j));
}

void TArtCanvas::FillKey(int x0, int y0, int x1, int y1, TRGB c) {
    const int px1 = x_.Edge(x1), py1 = y_.Edge(y1);
    for (int y = y_.Edge(y0); y < py1; ++y)
        for (int x = x_.Edge(x0); x < px1; ++x)
            if (Pixel(x, y) == Magenta) SetPixel(x, y, c);
}

void TArtCanvas::MapPixels(const std::function<TRGB(TRGB)>& f) {
    for (TRGB& p : px_) p = f(p);
}

void TArtCanvas::MirrorH() {
    for (int y = 0; y < ph_; ++y)
        std::reverse(px_.begin() + static_cast<size_t>(y) * pw_, px_.begin() + static_cast<size_t>(y + 1) * pw_);
}

void TArtCanvas::MirrorV() {
    for (int y = 0; y < ph_ / 2; ++y)
        std::swap_ranges(px_.begin() + static_cast<size_t>(y) * pw_, px_.begin() + static_cast<size_t>(y + 1) * pw_,
                         px_.begin() + static_cast<size_t>(ph_ - 1 - y) * pw_);
}

std::vector<uint8_t> TArtCanvas::ToBmp() const {
    const uint32_t stride = (static_cast<uint32_t>(pw_) * 3 + 3) & ~3u;
    const uint32_t imageSize = stride * static_cast<uint32_t>(ph_);
    std::vector<uint8_t> out(54 + imageSize, 0);
    auto put16 = [&](size_t at, uint16_t v) {
        out[at] = v & 0xFF;
        out[at + 1] = v >> 8;
    };
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = (v >> (8 * i)) & 0xFF;
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, static_cast<uint32_t>(out.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(pw_));
    put32(22, static_cast<uint32_t>(ph_));  // positive: bottom-up rows
    put16(26, 1);
    put16(28, 24);
    put32(34, imageSize);
    // The picture's own DPI (the stored one scaled to its set) as pixels per metre.
    const int dpi = DpiMulDiv(kDefaultDpi, percent_, 100);
    const uint32_t resolution = static_cast<uint32_t>(DpiMulDiv(dpi, 10000, 254));
    put32(38, resolution);
    put32(42, resolution);
    for (int y = 0; y < ph_; ++y) {
        uint8_t* row = out.data() + 54 + static_cast<size_t>(ph_ - 1 - y) * stride;
        for (int x = 0; x < pw_; ++x) {
            TRGB c = Pixel(x, y);
            row[3 * x] = c.b;
            row[3 * x + 1] = c.g;
            row[3 * x + 2] = c.r;
        }
    }
    return out;
}

void TArtCanvas::SaveBmp(const std::string& path) const {
    std::vector<uint8_t> bytes = ToBmp();
    std::ofstream f(path, std::ios::binary);
    if (!f) throw std::runtime_error("cannot create " + path);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!f) throw std::runtime_error("cannot write " + path);
}

}  // namespace quorin::skingen
