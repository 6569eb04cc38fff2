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

// Which frame of a skin image a drawing call cuts, and how it puts it down. A call reads
// the fields its comment names and ignores the others:
// `DrawRect2(canvas, r, image, margins, {.Frame = 2, .Frames = 3, .Trans = true})`.
struct TFrameOptions {
    int Frame = 1;          // the frame to draw, from 1
    int Frames = 1;         // the frames in the strip
    bool Trans = false;     // pixels of the key colour keep what the target had
    bool Tile = false;      // the centre is repeated instead of stretched
    bool Vertical = false;  // the frames lie one below the other
};

// A new bitmap of the rectangle's size holding the nine-part rendering of one frame:
// corners at their size, edges stretched along one axis, the centre stretched (or repeated
// with Tile). Margins that do not fit the target collapse to 0 in that axis. An inverted
// rectangle gives an empty bitmap. Reads Frame, Frames, Tile, Vertical.
TBitmap GetHMap(const TRect& rect, const TBitmap& image, const TMargins& margins, const TFrameOptions& options);

// GetHMap put at the rectangle, with the key colour transparent with Trans. Reads every field.
void DrawRect2(TBitmap& canvas, const TRect& rect, const TBitmap& image, const TMargins& margins,
               const TFrameOptions& options);

// Only the eight border parts of the nine-part rendering, straight onto the target; the
// centre keeps what the target had. Reads Frame, Frames, Vertical.
void DrawBorder(TBitmap& canvas, const TRect& rect, const TBitmap& image, const TMargins& margins,
                const TFrameOptions& options);

// Three parts across: left and right parts stretched to the height, the middle repeated.
// Reads Frame, Frames, Trans, Vertical.
void DrawRectTile(TBitmap& canvas, const TRect& rect, const TBitmap& image, const TMargins& margins,
                  const TFrameOptions& options);

// Three parts across, all stretched; a target narrower than the frame gets the whole frame.
// Reads Frame, Frames, Vertical.
void DrawRectH(TBitmap& canvas, const TRect& rect, const TBitmap& image, const TMargins& margins,
               const TFrameOptions& options);

// Three parts down, all stretched; a target lower than the frame gets the whole frame.
// Reads Frame, Frames, Vertical.
void DrawRectV(TBitmap& canvas, const TRect& rect, const TBitmap& image, const TMargins& margins,
               const TFrameOptions& options);

// One frame of a horizontal strip stretched over the whole rectangle. Reads Frame, Frames,
// Trans.
void DrawRect1(TBitmap& canvas, const TRect& rect, const TBitmap& image, const TFrameOptions& options);

// One frame of a horizontal strip at its own size, centred in the rectangle (a frame larger
// than the rectangle overhangs it evenly). Reads Frame, Frames, Trans.
void DrawRect3(TBitmap& canvas, const TRect& rect, const TBitmap& image, const TFrameOptions& options);

// A new bitmap of the rectangle's size: with mode 0 the frame cut into top, middle and bottom
// bands, each stretched to the full width; any other mode leaves it black.
TBitmap GetThumbMap(const TRect& rect, const TBitmap& image, const TMargins& margins, int frameIndex, int frameCount,
                    int mode);

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
