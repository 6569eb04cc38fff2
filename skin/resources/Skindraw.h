#pragma once
// The skin engine's drawing primitives: cutting frames out of skin images and putting them
// on a target whole, stretched, tiled, as three parts or as a nine-part frame whose corners
// keep their size. They hold no state. The target is a TBitmap and a rectangle in it; on
// Windows, Skindraw_win32.h offers the same calls on a device context.
//
// A skin image holds `frameCount` equal frames side by side, or one below the other when
// `vertical` is set; frames are numbered from 1. A frame count below 1 counts as 1. A frame
// index outside the strip cuts from outside the image, which copies nothing.
#include <string_view>

#include "skin/resources/Bitmap.h"

namespace quorin {

// The rectangle of frame `frameIndex` in a strip (integer division truncates).
TRect FrameRect(const TBitmap& image, int frameIndex, int frameCount, bool vertical = false);

// A new bitmap of the rectangle's size holding the nine-part rendering of one frame:
// corners at their size, edges stretched along one axis, the centre stretched (or repeated
// when `tile` is set). Margins that do not fit the target collapse to 0 in that axis.
// An inverted rectangle gives an empty bitmap.
TBitmap GetHMap(const TRect& rect, const TBitmap& image, const TMargins& margins, int frameIndex,
                int frameCount, bool tile, bool vertical);

// GetHMap put at the rectangle, with the key colour transparent when `trans` is set.
void DrawRect2(TBitmap& canvas, const TRect& rect, const TBitmap& image, const TMargins& margins,
               int frameIndex, int frameCount, bool trans, bool tile, bool vertical);

// Only the eight border parts of the nine-part rendering, straight onto the target; the
// centre keeps what the target had.
void DrawBorder(TBitmap& canvas, const TRect& rect, const TBitmap& image, const TMargins& margins,
                int frameIndex, int frameCount, bool vertical);

// Three parts across: left and right parts stretched to the height, the middle repeated.
void DrawRectTile(TBitmap& canvas, const TRect& rect, const TBitmap& image, const TMargins& margins,
                  int frameIndex, int frameCount, bool trans, bool vertical);

// Three parts across, all stretched; a target narrower than the frame gets the whole frame.
void DrawRectH(TBitmap& canvas, const TRect& rect, const TBitmap& image, const TMargins& margins,
               int frameIndex, int frameCount, bool vertical);

// Three parts down, all stretched; a target lower than the frame gets the whole frame.
void DrawRectV(TBitmap& canvas, const TRect& rect, const TBitmap& image, const TMargins& margins,
               int frameIndex, int frameCount, bool vertical);

// One frame of a horizontal strip stretched over the whole rectangle.
void DrawRect1(TBitmap& canvas, const TRect& rect, const TBitmap& image, int frameIndex,
               int frameCount, bool trans);

// One frame of a horizontal strip at its own size, centred in the rectangle (a frame larger
// than the rectangle overhangs it evenly).
void DrawRect3(TBitmap& canvas, const TRect& rect, const TBitmap& image, int frameIndex,
               int frameCount, bool trans);

// A new bitmap of the rectangle's size: with mode 0 the frame cut into top, middle and bottom
// bands, each stretched to the full width; any other mode leaves it black.
TBitmap GetThumbMap(const TRect& rect, const TBitmap& image, const TMargins& margins, int frameIndex,
                    int frameCount, int mode);

// Fills the target rectangle with whole copies of the source rectangle, starting at its
// top-left corner; the last row and column of tiles may spill past the target.
void DrawBGbmp(TBitmap& canvas, const TRect& target, const TBitmap& image, const TRect& source);

// Copies the image (from its top-left, at most the rectangle's size) to the rectangle's
// top-left corner, keeping the target wherever the image has the key colour.
void DrawTranmap(TBitmap& canvas, const TRect& rect, const TBitmap& image, TColor key);

// Copies the image (from its top-left, at most the rectangle's size) opaquely.
void Bitmapdraw(TBitmap& canvas, const TRect& rect, const TBitmap& image);

inline int32_t Max(int32_t a, int32_t b) { return a > b ? a : b; }
inline int32_t Min(int32_t a, int32_t b) { return a < b ? a : b; }

// Logging hook of the skin engine; its text is not kept anywhere.
inline void SkinAddLog(std::string_view) {}

}  // namespace quorin
