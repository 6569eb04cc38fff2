#include "Canvas.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace quorin::skingen {

TRGB Mix(TRGB a, TRGB b, double t) {
    auto ch = [t](uint8_t x, uint8_t y) { return static_cast<uint8_t>(std::lround(x + (y - x) * t)); };
    return TRGB{ch(a.r, b.r), ch(a.g, b.g), ch(a.b, b.b)};
}

TArtCanvas::TArtCanvas(int width, int height, TRGB fill)
    : width_(width), height_(height), px_(static_cast<size_t>(width) * height, fill) {}

TRGB TArtCanvas::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return Magenta;
    return px_[static_cast<size_t>(y) * width_ + x];
}

void TArtCanvas::Set(int x, int y, TRGB c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    px_[static_cast<size_t>(y) * width_ + x] = c;
}

void TArtCanvas::FillRect(int x0, int y0, int x1, int y1, TRGB c) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) Set(x, y, c);
}

void TArtCanvas::FrameRect(int x0, int y0, int x1, int y1, TRGB c) {
    FillRect(x0, y0, x1, y0 + 1, c);
    FillRect(x0, y1 - 1, x1, y1, c);
    FillRect(x0, y0, x0 + 1, y1, c);
    FillRect(x1 - 1, y0, x1, y1, c);
}

void TArtCanvas::GradientV(int x0, int y0, int x1, int y1, TRGB top, TRGB bottom) {
    int h = y1 - y0;
    for (int y = y0; y < y1; ++y) {
        TRGB c = h > 1 ? Mix(top, bottom, double(y - y0) / (h - 1)) : top;
        FillRect(x0, y, x1, y + 1, c);
    }
}

void TArtCanvas::GradientH(int x0, int y0, int x1, int y1, TRGB left, TRGB right) {
    int w = x1 - x0;
    for (int x = x0; x < x1; ++x) {
        TRGB c = w > 1 ? Mix(left, right, double(x - x0) / (w - 1)) : left;
        FillRect(x, y0, x + 1, y1, c);
    }
}

namespace {
// Distance of a pixel centre from the centre of the corner circle it belongs to, or a
// negative value when the pixel is not in a corner square.
double CornerDistance(int x, int y, int x0, int y0, int x1, int y1, int r, bool top, bool bottom) {
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

void TArtCanvas::CutCorners(int x0, int y0, int x1, int y1, int r, bool top, bool bottom) {
    if (r <= 0) return;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            double d = CornerDistance(x, y, x0, y0, x1, y1, r, top, bottom);
            if (d > r) Set(x, y, Magenta);
        }
}

void TArtCanvas::RoundRect(int x0, int y0, int x1, int y1, int r, TRGB outline, TRGB fillTop, TRGB fillBottom) {
    GradientV(x0, y0, x1, y1, fillTop, fillBottom);
    FrameRect(x0, y0, x1, y1, outline);
    if (r <= 0) return;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            double d = CornerDistance(x, y, x0, y0, x1, y1, r, true, true);
            if (d < 0) continue;
            if (d > r)
                Set(x, y, Magenta);
            else if (d > r - 1.0)
                Set(x, y, outline);
        }
}

void TArtCanvas::Line(double x0, double y0, double x1, double y1, double thickness, TRGB c) {
    // Every pixel whose centre lies within half the thickness of the segment.
    double half = thickness / 2.0;
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
            if (qx * qx + qy * qy <= half * half + 1e-9) Set(x, y, c);
        }
}

void TArtCanvas::Blit(const TArtCanvas& src, int x, int y) {
    for (int j = 0; j < src.height_; ++j)
        for (int i = 0; i < src.width_; ++i) Set(x + i, y + j, src.At(i, j));
}

void TArtCanvas::MirrorH() {
    for (int y = 0; y < height_; ++y)
        std::reverse(px_.begin() + static_cast<size_t>(y) * width_, px_.begin() + static_cast<size_t>(y + 1) * width_);
}

void TArtCanvas::MirrorV() {
    for (int y = 0; y < height_ / 2; ++y)
        std::swap_ranges(px_.begin() + static_cast<size_t>(y) * width_,
                         px_.begin() + static_cast<size_t>(y + 1) * width_,
                         px_.begin() + static_cast<size_t>(height_ - 1 - y) * width_);
}

TArtCanvas TArtCanvas::Transposed() const {
    TArtCanvas t(height_, width_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) t.Set(y, x, At(x, y));
    return t;
}

std::vector<uint8_t> TArtCanvas::ToBmp() const {
    const uint32_t stride = (static_cast<uint32_t>(width_) * 3 + 3) & ~3u;
    const uint32_t imageSize = stride * static_cast<uint32_t>(height_);
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
    put32(18, static_cast<uint32_t>(width_));
    put32(22, static_cast<uint32_t>(height_));  // positive: bottom-up rows
    put16(26, 1);
    put16(28, 24);
    put32(34, imageSize);
    put32(38, 3780);  // 96 dpi
    put32(42, 3780);
    for (int y = 0; y < height_; ++y) {
        uint8_t* row = out.data() + 54 + static_cast<size_t>(height_ - 1 - y) * stride;
        for (int x = 0; x < width_; ++x) {
            TRGB c = At(x, y);
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
