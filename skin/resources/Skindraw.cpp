#include "skin/resources/Skindraw.h"

#include "skin/resources/Blit.h"

namespace quorin {

namespace {

// Keeps numbers from a skin description within a range where the rectangle arithmetic below
// cannot overflow; anything that large lies far outside every bitmap anyway.
int32_t Bounded(int64_t v) {
    constexpr int64_t kLimit = int64_t{1} << 24;
    return static_cast<int32_t>(v < -kLimit ? -kLimit : (v > kLimit ? kLimit : v));
}

}  // namespace

TRect FrameRect(const TBitmap& image, int frameIndex, int frameCount, bool vertical) {
    if (frameCount < 1) frameCount = 1;
    frameIndex = Bounded(frameIndex);
    if (vertical) {
        const int32_t fh = image.Height() / frameCount;
        return Bounds(0, (frameIndex - 1) * fh, image.Width(), fh);
    }
    const int32_t fw = image.Width() / frameCount;
    return Bounds((frameIndex - 1) * fw, 0, fw, image.Height());
}

namespace {

// The nine parts, in the order in which they are drawn (later parts cover spill of earlier
// ones). Each target rectangle is relative to the rendering's origin.
struct TNinePart {
    TRect target, source;
    bool draw;
    bool centre;
};

void NineParts(int32_t W, int32_t H, const TRect& frame, TMargins m, TNinePart (&parts)[9]) {
    m = Rect(Bounded(m.Left), Bounded(m.Top), Bounded(m.Right), Bounded(m.Bottom));
    if (W < m.Left + m.Right) m.Left = m.Right = 0;
    if (H < m.Top + m.Bottom) m.Top = m.Bottom = 0;
    const int32_t L = m.Left, T = m.Top, R = m.Right, B = m.Bottom;
    const int32_t sx = frame.Left, sy = frame.Top, fw = frame.Width(), fh = frame.Height();
    parts[0] = {Rect(0, 0, L, T), Rect(sx, sy, sx + L, sy + T), L > 0 && T > 0, false};
    parts[1] = {Rect(0, H - B, L, H), Rect(sx, sy + fh - B, sx + L, sy + fh), L > 0 && B > 0, false};
    parts[2] = {Rect(W - R, 0, W, T), Rect(sx + fw - R, sy, sx + fw, sy + T), R > 0 && T > 0, false};
    parts[3] = {Rect(0, T, L, H - B), Rect(sx, sy + T, sx + L, sy + fh - B), L > 0, false};
    parts[4] = {Rect(L, 0, W - R, T), Rect(sx + L, sy, sx + fw - R, sy + T), T > 0, false};
    parts[5] = {Rect(L, T, W - R, H - B), Rect(sx + L, sy + T, sx + fw - R, sy + fh - B), true, true};
    parts[6] = {Rect(W - R, H - B, W, H), Rect(sx + fw - R, sy + fh - B, sx + fw, sy + fh), R > 0 && B > 0, false};
    parts[7] = {Rect(W - R, T, W, H - B), Rect(sx + fw - R, sy + T, sx + fw, sy + fh - B), R > 0, false};
    parts[8] = {Rect(L, H - B, W - R, H), Rect(sx + L, sy + fh - B, sx + fw - R, sy + fh), B > 0, false};
}

TRect Offset(const TRect& r, int32_t dx, int32_t dy) {
    return Rect(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy);
}

}  // namespace

TBitmap GetHMap(const TRect& rect, const TBitmap& image, const TMargins& margins, const TFrameOptions& options) {
    const int32_t W = rect.Width(), H = rect.Height();
    if (W <= 0 || H <= 0) return TBitmap();
    TBitmap result(W, H);
    TNinePart parts[9];
    NineParts(W, H, FrameRect(image, options.Frame, options.Frames, options.Vertical), margins, parts);
    for (const TNinePart& p : parts) {
        if (!p.draw) continue;
        if (p.centre && options.Tile)
            DrawBGbmp(result, p.target, image, p.source);
        else
            StretchCopy(result, p.target, image, p.source);
    }
    return result;
}

void DrawRect2(TBitmap& canvas, const TRect& rect, const TBitmap& image, const TMargins& margins,
               const TFrameOptions& options) {
    if (rect.IsInverted()) return;
    const TBitmap map = GetHMap(rect, image, margins, options);
    if (options.Trans)
        DrawTranmap(canvas, rect, map, KeyColor);
    else
        Bitmapdraw(canvas, rect, map);
}

void DrawBorder(TBitmap& canvas, const TRect& rect, const TBitmap& image, const TMargins& margins,
                const TFrameOptions& options) {
    TNinePart parts[9];
    NineParts(rect.Width(), rect.Height(), FrameRect(image, options.Frame, options.Frames, options.Vertical), margins,
              parts);
    for (const TNinePart& p : parts)
        if (p.draw && !p.centre) StretchCopy(canvas, Offset(p.target, rect.Left, rect.Top), image, p.source);
}

void DrawRectTile(TBitmap& canvas, const TRect& rect, const TBitmap& image, const TMargins& margins,
                  const TFrameOptions& options) {
    if (rect.IsInverted()) return;
    const int32_t W = rect.Width(), H = rect.Height();
    if (W == 0 || H == 0) return;
    const TRect f = FrameRect(image, options.Frame, options.Frames, options.Vertical);
    const int32_t sx = f.Left, sy = f.Top, fw = f.Width(), fh = f.Height();
    const int32_t L = Bounded(margins.Left), R = Bounded(margins.Right);
    TBitmap scratch(W, H);
    StretchCopy(scratch, Rect(0, 0, L, H), image, Rect(sx, sy, sx + L, sy + fh));
    const int32_t m = fw - L - R;
    if (m > 0)
        for (int32_t x = L; x < W - R; x += m)
            StretchCopy(scratch, Rect(x, 0, x + m, H), image, Rect(sx + L, sy, sx + L + m, sy + fh));
    StretchCopy(scratch, Rect(W - R, 0, W, H), image, Rect(sx + fw - R, sy, sx + fw, sy + fh));
    if (options.Trans)
        DrawTranmap(canvas, rect, scratch, KeyColor);
    else
        Bitmapdraw(canvas, rect, scratch);
}

void DrawRectH(TBitmap& canvas, const TRect& rect, const TBitmap& image, const TMargins& margins,
               const TFrameOptions& options) {
    const TRect f = FrameRect(image, options.Frame, options.Frames, options.Vertical);
    const int32_t x = rect.Left, y = rect.Top, W = rect.Width(), H = rect.Height();
    const int32_t sx = f.Left, sy = f.Top, fw = f.Width(), fh = f.Height();
    const int32_t L = Bounded(margins.Left), R = Bounded(margins.Right);
    if (W < fw) {
        StretchCopy(canvas, rect, image, f);
        return;
    }
    StretchCopy(canvas, Bounds(x, y, L, H), image, Bounds(sx, sy, L, fh));
    StretchCopy(canvas, Bounds(x + L, y, W - L - R, H), image, Bounds(sx + L, sy, fw - L - R, fh));
    StretchCopy(canvas, Bounds(x + W - R, y, R, H), image, Bounds(sx + fw - R, sy, R, fh));
}

void DrawRectV(TBitmap& canvas, const TRect& rect, const TBitmap& image, const TMargins& margins,
               const TFrameOptions& options) {
    const TRect f = FrameRect(image, options.Frame, options.Frames, options.Vertical);
    const int32_t x = rect.Left, y = rect.Top, W = rect.Width(), H = rect.Height();
    const int32_t sx = f.Left, sy = f.Top, fw = f.Width(), fh = f.Height();
    const int32_t T = Bounded(margins.Top), B = Bounded(margins.Bottom);
    if (H < fh) {
        StretchCopy(canvas, rect, image, f);
        return;
    }
    StretchCopy(canvas, Bounds(x, y, W, T), image, Bounds(sx, sy, fw, T));
    StretchCopy(canvas, Bounds(x, y + T, W, H - T - B), image, Bounds(sx, sy + T, fw, fh - T - B));
    StretchCopy(canvas, Bounds(x, y + H - B, W, B), image, Bounds(sx, sy + fh - B, fw, B));
}

void DrawRect1(TBitmap& canvas, const TRect& rect, const TBitmap& image, const TFrameOptions& options) {
    if (rect.IsInverted()) return;
    const TRect f = FrameRect(image, options.Frame, options.Frames);
    if (options.Trans)
        StretchCopyTransparent(canvas, rect, image, f, KeyColor);
    else
        StretchCopy(canvas, rect, image, f);
}

void DrawRect3(TBitmap& canvas, const TRect& rect, const TBitmap& image, const TFrameOptions& options) {
    if (rect.IsInverted()) return;
    const TRect f = FrameRect(image, options.Frame, options.Frames);
    const int32_t x = rect.Left + (rect.Width() - f.Width()) / 2;
    const int32_t y = rect.Top + (rect.Height() - f.Height()) / 2;
    const TRect target = Bounds(x, y, f.Width(), f.Height());
    if (options.Trans)
        StretchCopyTransparent(canvas, target, image, f, KeyColor);
    else
        StretchCopy(canvas, target, image, f);
}

TBitmap GetThumbMap(const TRect& rect, const TBitmap& image, const TMargins& margins, int frameIndex, int frameCount,
                    int mode) {
    const int32_t W = rect.Width(), H = rect.Height();
    if (W <= 0 || H <= 0) return TBitmap();
    TBitmap result(W, H);
    if (mode != 0) return result;
    const TRect f = FrameRect(image, frameIndex, frameCount);
    const int32_t sx = f.Left, fw = f.Width(), fh = f.Height();
    const int32_t T = Bounded(margins.Top), B = Bounded(margins.Bottom);
    if (T > 0) StretchCopy(result, Rect(0, 0, W, T), image, Rect(sx, 0, sx + fw, T));
    StretchCopy(result, Rect(0, T, W, H - B), image, Rect(sx, T, sx + fw, fh - B));
    if (B > 0) StretchCopy(result, Rect(0, H - B, W, H), image, Rect(sx, fh - B, sx + fw, fh));
    return result;
}

void DrawBGbmp(TBitmap& canvas, const TRect& target, const TBitmap& image, const TRect& source) {
    const int32_t w = source.Width(), h = source.Height();
    if (w <= 0 || h <= 0) return;
    // The tile is cut once; what lies outside the image stays black in every copy.
    TBitmap tile(w, h);
    CopyRect(tile, 0, 0, image, source);
    const TRect visible = IntersectRect(target, canvas.BoundsRect());
    if (visible.IsEmpty()) return;
    // Start at the first tile that reaches the visible part; tiles keep the target's grid.
    auto first = [](int64_t start, int64_t from, int64_t step) {
        return from > start ? start + (from - start) / step * step : start;
    };
    for (int64_t x = first(target.Left, visible.Left, w); x < visible.Right; x += w)
        for (int64_t y = first(target.Top, visible.Top, h); y < visible.Bottom; y += h)
            CopyRect(canvas, static_cast<int32_t>(x), static_cast<int32_t>(y), tile, tile.BoundsRect());
}

void DrawTranmap(TBitmap& canvas, const TRect& rect, const TBitmap& image, TColor key) {
    if (rect.IsInverted()) return;
    const TRect part = IntersectRect(Rect(0, 0, rect.Width(), rect.Height()), image.BoundsRect());
    StretchCopyTransparent(canvas, Bounds(rect.Left, rect.Top, part.Width(), part.Height()), image, part, key);
}

void Bitmapdraw(TBitmap& canvas, const TRect& rect, const TBitmap& image) {
    const TRect part = IntersectRect(Rect(0, 0, rect.Width(), rect.Height()), image.BoundsRect());
    CopyRect(canvas, rect.Left, rect.Top, image, part);
}

}  // namespace quorin
