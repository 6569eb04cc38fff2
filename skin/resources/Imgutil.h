#pragma once
// Colour and image utilities of the skin engine: blending, a saturation measure, gradients,
// key-colour replacement, grey-scale, mirroring and rotation. The image walkers run when a
// skin is loaded; Blend, GetHSV and GradFill also at paint time.
#include <functional>
#include <vector>

#include "skin/resources/Bitmap.h"

namespace quorin {

// Mixes two colours: w parts of a and (d - w) parts of b, where d is 100 for w below 100 and
// 1000 from 100 up (so weights from 100 up are tenths of a percent). System colours are
// resolved first; channels are rounded, and clamped to 0..255 for weights outside 0..d.
TColor Blend(TColor a, TColor b, int w);

// A saturation measure 0..255 of a plain colour; 200 for any colour whose three channels are
// all below 160 (dark and greyish colours count as fairly saturated).
int GetHSV(TColor c);

// The colour table of an n-band gradient from start to end (plain RGB colours), from a
// cache of 16 tables reused cyclically, because the same bars are redrawn constantly.
const std::vector<TColor>& GradientTable(int n, TColor start, TColor end);

// The bands of a gradient over rect (direction 1 top to bottom, any other left to right)
// that lie inside clip, each with its colour. System colours are resolved.
void GradientBands(const TRect& rect, TColor start, TColor end, int direction, const TRect& clip,
                   const std::function<void(const TRect& band, TColor color)>& fill);

// Fills rect of the canvas with the gradient, limited to the canvas (and to clip, if given).
void GradFill(TBitmap& canvas, const TRect& rect, TColor start, TColor end, int direction);
void GradFill(TBitmap& canvas, const TRect& rect, TColor start, TColor end, int direction, const TRect& clip);

// Converts the image to 24 bits and replaces every pixel that is exactly the key colour
// (255, 0, 255) with the colour (a system colour is resolved).
void ChangeTrans(TBitmap& image, TColor color);

// Converts the image to 24 bits; each pixel becomes grey (r + g + b) div 3.
void ConvertBitmapToGrayscale(TBitmap& image);

// In-place mirroring and rotation; the image keeps its pixel format.
void SpiegelnHorizontal(TBitmap& image);  // left to right
void SpiegelnVertikal(TBitmap& image);    // top to bottom
void Drehen90Grad(TBitmap& image);        // clockwise: (x, y) goes to (H - 1 - y, x)
void Drehen270Grad(TBitmap& image);       // counter-clockwise: (x, y) goes to (y, W - 1 - x)
void Drehen180Grad(TBitmap& image);       // (x, y) goes to (W - 1 - x, H - 1 - y)

// A new 24-bit bitmap turned 90 degrees counter-clockwise; an empty bitmap when the image
// is not a 24-bit one.
TBitmap Rotate90(const TBitmap& image);

}  // namespace quorin
