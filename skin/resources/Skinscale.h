// Skin pictures at another display scale. A skin's pictures are drawn for one scale; when a
// window needs another, each picture is made again at the size it will be shown:
//   - by area averaging: every target pixel is the mean of the source area it covers, so
//     shrinking loses no detail to skipped pixels and enlarging by a whole factor repeats
//     pixels exactly;
//   - part by part: a framed picture (several frames side by side or stacked, each with
//     fixed margins) is cut at its frame and margin lines and each of the nine parts of
//     every frame is scaled apart, so corners stay whole and no edge smears into the
//     middle or into the next frame;
//   - keeping transparency: pixels of the key colour stay the key colour (a target pixel
//     is key where key pixels cover at least half of it, else the mean of the others), so
//     regions traced from the key colour keep their shape.
#pragma once

#include "forms/Dpi.h"
#include "skin/resources/Bitmap.h"
#include "skin/resources/Rect.h"

namespace quorin {

// The source rectangle scaled into the target rectangle (both inside their bitmaps).
void ScaleAreaInto(TBitmap& Target, const TRect& TargetRect, const TBitmap& Source, const TRect& SourceRect);
// A whole picture at a size.
TBitmap ScaleArea(const TBitmap& Source, int Width, int Height);

// How a picture is laid out: its frames (side by side, or stacked for the top and bottom
// frame sides) and the margins of each frame.
struct TFramedPicture {
    int Frames = 1;
    bool Stacked = false;
    TMargins Margins;
};
// The picture at a scale: each frame becomes Scale(frame size), its margins Scale(margin).
// A picture whose frames do not divide it is scaled as a whole.
TBitmap ScaleFramedPicture(const TBitmap& Source, const TFramedPicture& Layout, const TDpiScale& Scale);

struct TPictureSize {
    int Width = 0, Height = 0;
    bool operator==(const TPictureSize&) const = default;
};
// The size ScaleFramedPicture gives a picture of Width x Height: what a set of pictures
// drawn for that scale must measure.
TPictureSize FramedPictureSize(int Width, int Height, const TFramedPicture& Layout, const TDpiScale& Scale);
// A picture drawn for one scale made again at the size of another: Layout's margins are the
// source's own, each frame becomes Target / frames with TargetMargins. Used where a skin
// carries pictures drawn for a larger scale, so that the result has exactly the size and
// margins the 100 % picture would be scaled to. Scaled as a whole where the frames divide
// neither picture.
TBitmap ResampleFramedPicture(const TBitmap& Source, const TFramedPicture& Layout, TPictureSize Target,
                              const TMargins& TargetMargins);
// Margins that fit a frame of Width x Height: each side at most what the frame holds, the
// right and bottom ones at most what the left and top leave.
TMargins MarginsInFrame(const TMargins& Margins, int Width, int Height);

}  // namespace quorin
