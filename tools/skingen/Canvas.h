// A tiny drawing surface for the skin artwork: 24-bit pixels, rectangles, rounded
// rectangles, lines and gradients, written out as Windows BMP files. Self-contained so
// the artwork can be regenerated on any machine with a C++ compiler.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorin::skingen {

struct TRGB {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(TRGB, TRGB) = default;
};

constexpr TRGB Magenta{255, 0, 255};

// Linear mix: t = 0 gives a, t = 1 gives b.
TRGB Mix(TRGB a, TRGB b, double t);

class TArtCanvas {
public:
    TArtCanvas(int width, int height, TRGB fill = Magenta);

    int Width() const { return width_; }
    int Height() const { return height_; }
    TRGB At(int x, int y) const;
    void Set(int x, int y, TRGB c);

    void FillRect(int x0, int y0, int x1, int y1, TRGB c);  // x1, y1 exclusive
    void FrameRect(int x0, int y0, int x1, int y1, TRGB c);
    // Vertical gradient from top colour to bottom colour over the rectangle.
    void GradientV(int x0, int y0, int x1, int y1, TRGB top, TRGB bottom);
    void GradientH(int x0, int y0, int x1, int y1, TRGB left, TRGB right);
    // A rounded rectangle: outside the corners stays as it is (magenta), the outline is
    // one pixel wide, the inside is filled (flat or with a vertical gradient).
    void RoundRect(int x0, int y0, int x1, int y1, int radius, TRGB outline, TRGB fillTop, TRGB fillBottom);
    // Clears the corners of the rectangle outside the given radius to magenta.
    void CutCorners(int x0, int y0, int x1, int y1, int radius, bool top = true, bool bottom = true);
    // A line of the given thickness between pixel centres.
    void Line(double x0, double y0, double x1, double y1, double thickness, TRGB c);
    // Copies another canvas in at (x, y).
    void Blit(const TArtCanvas& src, int x, int y);
    // Mirrors left to right in place.
    void MirrorH();
    void MirrorV();
    // Transposes (x, y) -> (y, x); turns a vertical part into a horizontal one.
    TArtCanvas Transposed() const;

    std::vector<uint8_t> ToBmp() const;
    void SaveBmp(const std::string& path) const;

private:
    int width_, height_;
    std::vector<TRGB> px_;
};

}  // namespace quorin::skingen
