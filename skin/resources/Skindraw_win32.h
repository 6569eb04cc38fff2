#pragma once
// The drawing primitives on a device context, for painters that draw straight onto a window.
// Each call composes with the portable primitives and puts the result on the DC: opaque
// results in one blit; transparent ones by reading the covered area first, so key-coloured
// pixels keep what the DC showed. The DC's clipping applies to the final blit.
#include <windows.h>

#include <functional>

#include "skin/resources/Gdi_win32.h"
#include "skin/resources/Imgutil.h"
#include "skin/resources/Skindraw.h"
#include "skin/resources/Skinregion.h"

namespace quorin {

// Lets `draw` paint the pixels of `area` of the DC: the canvas's (0, 0) is the area's
// top-left corner. With readFirst the canvas starts as a copy of what the DC shows there.
void DrawOnDC(HDC dc, const TRect& area, bool readFirst, const std::function<void(TBitmap& canvas)>& draw);

// Copies a whole bitmap (or the part that fits the rectangle) to the DC opaquely.
void Bitmapdraw(HDC dc, const TRect& rect, const TBitmap& image);
void DrawTranmap(HDC dc, const TRect& rect, const TBitmap& image, TColor key);

void DrawRect2(HDC dc, const TRect& rect, const TBitmap& image, const TMargins& margins, const TFrameOptions& options);
void DrawBorder(HDC dc, const TRect& rect, const TBitmap& image, const TMargins& margins, const TFrameOptions& options);
void DrawRectTile(HDC dc, const TRect& rect, const TBitmap& image, const TMargins& margins,
                  const TFrameOptions& options);
void DrawRectH(HDC dc, const TRect& rect, const TBitmap& image, const TMargins& margins, const TFrameOptions& options);
void DrawRectV(HDC dc, const TRect& rect, const TBitmap& image, const TMargins& margins, const TFrameOptions& options);
void DrawRect1(HDC dc, const TRect& rect, const TBitmap& image, const TFrameOptions& options);
void DrawRect3(HDC dc, const TRect& rect, const TBitmap& image, const TFrameOptions& options);
void DrawBGbmp(HDC dc, const TRect& target, const TBitmap& image, const TRect& source);

// Gradient bands painted with solid brushes, limited to the DC's clip box.
void GradFill(HDC dc, const TRect& rect, TColor start, TColor end, int direction);

// A window region covering every pixel of the image that is not the key colour, built from
// the traced rectangles 2000 at a time. The caller owns it (Release() it into SetWindowRgn).
TGdiObject<HRGN> BitmapToRgn(TBitmap& image, int32_t dx, int32_t dy, TColor key, uint8_t redTolerance,
                             uint8_t greenTolerance, uint8_t blueTolerance);

// Paints what the control's parent shows under the control into the DC (for controls drawn
// on their parent's picture): the parent erases and paints itself into the DC, shifted so
// that the control's area lands at the DC's origin and clipped to the control.
void DrawParentImage(HWND control, HDC dc);

inline RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }
inline TRect FromRECT(const RECT& r) { return TRect{r.left, r.top, r.right, r.bottom}; }

}  // namespace quorin
