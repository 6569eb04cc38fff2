// A tiny drawing surface for the skin artwork: 24-bit pixels, rectangles, rounded
// rectangles, lines and gradients, written out as Windows BMP files. Self-contained so
// the artwork can be regenerated on any machine with a C++ compiler.
//
// Pictures are drawn at a display scale (SetDrawPercent: 100, 150, 200). Every coordinate
// the artwork gives is a 100 % one; the canvas draws it at the scale, each frame of a strip
// at the size the program scales that frame to (its 100 % size times the scale, rounded),
// so a picture drawn at 150 % has exactly the size and margins the program would give the
// 100 % picture at 150 %, drawn sharp instead of stretched. Lines, curves and gradients
// are drawn at the scale's resolution; at 100 % every pixel is what it always was.
#pragma once

#include <cstdint>
#include <functional>
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

// The scale every canvas made from now on draws at, in per cent.
void SetDrawPercent(int Percent);
int DrawPercent();
// A 100 % length at the scale, rounded half away from zero as the program scales lengths.
int ScaledLength(int Length);

// How a picture is cut into frames: Across frames side by side, Down frames stacked.
struct TFrames {
    int Across = 1, Down = 1;
};

class TArtCanvas {
public:
    TArtCanvas(int width, int height, TRGB fill = Magenta);
    TArtCanvas(int width, int height, TFrames frames, TRGB fill = Magenta);

    // The 100 % size.
    int Width() const { return x_.Length; }
    int Height() const { return y_.Length; }
    // The colour at a 100 % position (the first pixel it covers at the scale).
    TRGB At(int x, int y) const;
    // Fills the 100 % pixel (every pixel it covers at the scale).
    void Set(int x, int y, TRGB c);

    void FillRect(int x0, int y0, int x1, int y1, TRGB c);  // x1, y1 exclusive
    void FrameRect(int x0, int y0, int x1, int y1, TRGB c);
    // Vertical gradient from top colour to bottom colour over the rectangle.
    void GradientV(int x0, int y0, int x1, int y1, TRGB top, TRGB bottom);
    // The part y0..y1 of a vertical gradient that runs over Length rows from row From
    // (which may lie above the canvas): a piece of a longer strip.
    void GradientVPart(int x0, int y0, int x1, int y1, int From, int Length, TRGB top, TRGB bottom);
    void GradientH(int x0, int y0, int x1, int y1, TRGB left, TRGB right);
    // A rounded rectangle: outside the corners stays as it is (magenta), the outline is
    // one pixel wide, the inside is filled (flat or with a vertical gradient).
    void RoundRect(int x0, int y0, int x1, int y1, int radius, TRGB outline, TRGB fillTop, TRGB fillBottom);
    // Clears the corners of the rectangle outside the given radius to magenta.
    void CutCorners(int x0, int y0, int x1, int y1, int radius, bool top = true, bool bottom = true);
    // A line of the given thickness between pixel centres.
    void Line(double x0, double y0, double x1, double y1, double thickness, TRGB c);
    // A disc around a point (not a pixel centre) with a radius.
    void Disc(double cx, double cy, double radius, TRGB c);
    // Copies another canvas in at (x, y).
    void Blit(const TArtCanvas& src, int x, int y);
    // Copies the pixels of another canvas that are not magenta in at (x, y).
    void Overlay(const TArtCanvas& src, int x, int y);
    // Where this canvas is magenta, the pixels of another canvas put at (x, y).
    void Underlay(const TArtCanvas& src, int x, int y);
    // Magenta pixels of the rectangle become c.
    void FillKey(int x0, int y0, int x1, int y1, TRGB c);
    // Every pixel at the scale through a function (colour changes that keep the shapes).
    void MapPixels(const std::function<TRGB(TRGB)>& f);
    // Mirrors left to right in place.
    void MirrorH();
    void MirrorV();

    // The pixels at the scale, for shapes drawn pixel by pixel at the scale's resolution:
    // their number, one pixel, and the factor against 100 %.
    int PixelsWide() const { return pw_; }
    int PixelsHigh() const { return ph_; }
    TRGB Pixel(int px, int py) const;
    void SetPixel(int px, int py, TRGB c);
    double Factor() const { return percent_ / 100.0; }

    std::vector<uint8_t> ToBmp() const;
    void SaveBmp(const std::string& path) const;

private:
    // One axis: 100 % positions to pixels at the scale, frame by frame.
    struct TAxis {
        int Length = 0;  // 100 %
        int Frame = 0;   // 100 % length of one frame
        int Percent = 100;
        int Edge(int x) const;      // a 100 % pixel edge
        double At(double x) const;  // a 100 % position between edges
        int Pixels() const { return Edge(Length); }
    };

    TAxis x_, y_;
    int percent_;
    int pw_, ph_;
    std::vector<TRGB> px_;
};

}  // namespace quorin::skingen
