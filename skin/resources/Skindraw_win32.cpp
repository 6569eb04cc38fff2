#include "skin/resources/Skindraw_win32.h"

#include <new>
#include <vector>

namespace quorin {
namespace {

TRect Shifted(const TRect& r, const TRect& area) {
    return Rect(r.Left - area.Left, r.Top - area.Top, r.Right - area.Left, r.Bottom - area.Top);
}

void Blit(HDC dc, const TRect& area, const TBitmap& bitmap) {
    if (bitmap.Empty()) return;
    TBitmapDC source(bitmap, dc);
    BitBlt(dc, area.Left, area.Top, area.Width(), area.Height(), source.Handle(), 0, 0, SRCCOPY);
}

}  // namespace

void DrawOnDC(HDC dc, const TRect& area, bool readFirst, const std::function<void(TBitmap& canvas)>& draw) {
    if (!dc || area.IsEmpty()) return;
    // Painting runs inside window procedures: a picture too large for memory is left undrawn
    // (the native look shows through) rather than letting an exception cross the system's frames.
    try {
        TBitmap canvas(area.Width(), area.Height());
        if (readFirst) {
            TBitmapDC target(canvas, dc);
            BitBlt(target.Handle(), 0, 0, area.Width(), area.Height(), dc, area.Left, area.Top, SRCCOPY);
        }
        draw(canvas);
        Blit(dc, area, canvas);
    } catch (const std::bad_alloc&) {}
}

void Bitmapdraw(HDC dc, const TRect& rect, const TBitmap& image) {
    const TRect part = IntersectRect(Rect(0, 0, rect.Width(), rect.Height()), image.BoundsRect());
    if (part.IsEmpty()) return;
    TBitmapDC source(image, dc);
    BitBlt(dc, rect.Left, rect.Top, part.Width(), part.Height(), source.Handle(), 0, 0, SRCCOPY);
}

void DrawTranmap(HDC dc, const TRect& rect, const TBitmap& image, TColor key) {
    if (rect.IsInverted()) return;
    const TRect part = IntersectRect(Rect(0, 0, rect.Width(), rect.Height()), image.BoundsRect());
    const TRect area = Bounds(rect.Left, rect.Top, part.Width(), part.Height());
    DrawOnDC(dc, area, true, [&](TBitmap& canvas) { DrawTranmap(canvas, canvas.BoundsRect(), image, key); });
}

void DrawRect2(HDC dc, const TRect& rect, const TBitmap& image, const TMargins& margins, const TFrameOptions& options) {
    if (rect.IsInverted()) return;
    try {
        const TBitmap map = GetHMap(rect, image, margins, options);
        if (options.Trans)
            DrawTranmap(dc, rect, map, KeyColor);
        else
            Bitmapdraw(dc, rect, map);
    } catch (const std::bad_alloc&) {}
}

void DrawBorder(HDC dc, const TRect& rect, const TBitmap& image, const TMargins& margins,
                const TFrameOptions& options) {
    // The centre keeps what the DC shows, so the area is read first.
    DrawOnDC(dc, rect, true,
             [&](TBitmap& canvas) { DrawBorder(canvas, canvas.BoundsRect(), image, margins, options); });
}

void DrawRectTile(HDC dc, const TRect& rect, const TBitmap& image, const TMargins& margins,
                  const TFrameOptions& options) {
    if (rect.IsInverted()) return;
    DrawOnDC(dc, rect, options.Trans,
             [&](TBitmap& canvas) { DrawRectTile(canvas, canvas.BoundsRect(), image, margins, options); });
}

void DrawRectH(HDC dc, const TRect& rect, const TBitmap& image, const TMargins& margins, const TFrameOptions& options) {
    DrawOnDC(dc, rect, true, [&](TBitmap& canvas) { DrawRectH(canvas, canvas.BoundsRect(), image, margins, options); });
}

void DrawRectV(HDC dc, const TRect& rect, const TBitmap& image, const TMargins& margins, const TFrameOptions& options) {
    DrawOnDC(dc, rect, true, [&](TBitmap& canvas) { DrawRectV(canvas, canvas.BoundsRect(), image, margins, options); });
}

void DrawRect1(HDC dc, const TRect& rect, const TBitmap& image, const TFrameOptions& options) {
    if (rect.IsInverted()) return;
    DrawOnDC(dc, rect, true, [&](TBitmap& canvas) { DrawRect1(canvas, canvas.BoundsRect(), image, options); });
}

void DrawRect3(HDC dc, const TRect& rect, const TBitmap& image, const TFrameOptions& options) {
    if (rect.IsInverted()) return;
    // The frame may overhang the rectangle: the area is where the frame lands.
    const TRect f = FrameRect(image, options.Frame, options.Frames);
    const TRect area = Bounds(rect.Left + (rect.Width() - f.Width()) / 2, rect.Top + (rect.Height() - f.Height()) / 2,
                              f.Width(), f.Height());
    DrawOnDC(dc, area, true, [&](TBitmap& canvas) { DrawRect3(canvas, Shifted(rect, area), image, options); });
}

void DrawBGbmp(HDC dc, const TRect& target, const TBitmap& image, const TRect& source) {
    const int32_t w = source.Width(), h = source.Height();
    if (w <= 0 || h <= 0 || target.IsEmpty()) return;
    // Whole tiles may reach past the target by less than one tile.
    const TRect area = Rect(target.Left, target.Top, target.Left + (target.Width() + w - 1) / w * w,
                            target.Top + (target.Height() + h - 1) / h * h);
    DrawOnDC(dc, area, false, [&](TBitmap& canvas) { DrawBGbmp(canvas, Shifted(target, area), image, source); });
}

void GradFill(HDC dc, const TRect& rect, TColor start, TColor end, int direction) {
    RECT box;
    const int kind = GetClipBox(dc, &box);
    if (kind == NULLREGION || kind == ERROR) return;
    try {
        GradientBands(rect, start, end, direction, FromRECT(box), [&](const TRect& band, TColor color) {
            TGdiObject<HBRUSH> brush(CreateSolidBrush(static_cast<COLORREF>(color)));
            const RECT r = ToRECT(band);
            FillRect(dc, &r, brush.Get());
        });
    } catch (const std::bad_alloc&) {}
}

namespace {

// Adds one batch of traced rectangles to the region: one region call per batch.
void AddRectangles(HRGN result, const TRect* rects, size_t count, std::vector<uint8_t>& buffer) {
    if (count == 0 || !result) return;
    buffer.assign(sizeof(RGNDATAHEADER) + count * sizeof(RECT), 0);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = static_cast<DWORD>(count);
    data->rdh.nRgnSize = static_cast<DWORD>(count * sizeof(RECT));
    TRect bounds = rects[0];
    auto* out = reinterpret_cast<RECT*>(data->Buffer);
    for (size_t i = 0; i < count; ++i) {
        out[i] = ToRECT(rects[i]);
        bounds = Rect(Min(bounds.Left, rects[i].Left), Min(bounds.Top, rects[i].Top), Max(bounds.Right, rects[i].Right),
                      Max(bounds.Bottom, rects[i].Bottom));
    }
    data->rdh.rcBound = ToRECT(bounds);
    TGdiObject<HRGN> part(ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()), data));
    if (part) CombineRgn(result, result, part.Get(), RGN_OR);
}

}  // namespace

TGdiObject<HRGN> BitmapToRgn(TBitmap& image, int32_t dx, int32_t dy, TColor key, uint8_t redTolerance,
                             uint8_t greenTolerance, uint8_t blueTolerance) {
    TGdiObject<HRGN> result(CreateRectRgn(0, 0, 0, 0));
    std::vector<uint8_t> buffer;
    try {
        BitmapToRegion(image, dx, dy, key, redTolerance, greenTolerance, blueTolerance,
                       [&](const TRect* rects, size_t count) { AddRectangles(result.Get(), rects, count, buffer); });
    } catch (const std::bad_alloc&) {
        result.Reset();  // no region: the window keeps its plain rectangle
    }
    return result;
}

void DrawParentImage(HWND control, HDC dc) {
    HWND parent = GetParent(control);
    if (!parent || !dc) return;
    RECT bounds;
    GetWindowRect(control, &bounds);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&bounds), 2);
    RECT client;
    GetClientRect(control, &client);
    TSavedDC saved(dc);
    OffsetViewportOrgEx(dc, -bounds.left, -bounds.top, nullptr);
    IntersectClipRect(dc, bounds.left, bounds.top, bounds.left + client.right, bounds.top + client.bottom);
    SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageW(parent, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
}

}  // namespace quorin
