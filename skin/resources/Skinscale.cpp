// Area-averaging, part-by-part scaling of skin pictures.
#include "skin/resources/Skinscale.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace quorin {
namespace {

// For one axis: the source pixels each target pixel covers, with the share of each.
struct TSpan {
    int First = 0;
    std::vector<double> Weights;  // of source pixels First, First + 1, ...; they add up to 1
};

std::vector<TSpan> AxisSpans(int SourceLength, int TargetLength) {
    std::vector<TSpan> spans(size_t(std::max(TargetLength, 0)));
    const double step = double(SourceLength) / TargetLength;
    for (int t = 0; t < TargetLength; ++t) {
        const double from = t * step, to = (t + 1) * step;
        TSpan& s = spans[size_t(t)];
        s.First = std::min(int(from), SourceLength - 1);
        for (int p = s.First; p < SourceLength && p < to; ++p) {
            const double cover = std::min(to, double(p + 1)) - std::max(from, double(p));
            if (cover > 0) s.Weights.push_back(cover / step);
        }
        if (s.Weights.empty()) s.Weights.push_back(1.0);
    }
    return spans;
}

}  // namespace

void ScaleAreaInto(TBitmap& Target, const TRect& TargetRect, const TBitmap& Source, const TRect& SourceRect) {
    const int sw = SourceRect.Width(), sh = SourceRect.Height();
    const int tw = TargetRect.Width(), th = TargetRect.Height();
    if (sw <= 0 || sh <= 0 || tw <= 0 || th <= 0) return;
    const std::vector<TSpan> across = AxisSpans(sw, tw), down = AxisSpans(sh, th);
    // Rows are taken once each: reaching a pixel through the bitmap's accessors would
    // finish the platform's pending drawing at every pixel.
    const int sbpp = Source.BytesPerPixel(), tbpp = Target.BytesPerPixel();
    std::vector<const uint8_t*> rows(static_cast<size_t>(sh));
    for (int y = 0; y < sh; ++y) rows[size_t(y)] = Source.ScanLine(SourceRect.Top + y) + size_t(SourceRect.Left) * sbpp;
    for (int ty = 0; ty < th; ++ty) {
        const TSpan& dy = down[size_t(ty)];
        uint8_t* out = Target.ScanLine(TargetRect.Top + ty) + size_t(TargetRect.Left) * tbpp;
        for (int tx = 0; tx < tw; ++tx, out += tbpp) {
            const TSpan& dx = across[size_t(tx)];
            double r = 0, g = 0, b = 0, colour = 0, key = 0;
            for (size_t j = 0; j < dy.Weights.size(); ++j) {
                const uint8_t* row = rows[size_t(dy.First) + j];
                for (size_t i = 0; i < dx.Weights.size(); ++i) {
                    const double w = dy.Weights[j] * dx.Weights[i];
                    const uint8_t* p = row + (size_t(dx.First) + i) * size_t(sbpp);  // blue, green, red
                    if (p[2] == 0xFF && p[1] == 0 && p[0] == 0xFF) {
                        key += w;
                        continue;
                    }
                    b += w * p[0];
                    g += w * p[1];
                    r += w * p[2];
                    colour += w;
                }
            }
            if (colour > 0 && key < 0.5) {
                auto channel = [&](double v) { return uint8_t(std::clamp(int(v / colour + 0.5), 0, 255)); };
                out[0] = channel(b);
                out[1] = channel(g);
                out[2] = channel(r);
                // A mean that lands on the key colour by chance must not become transparent.
                if (out[2] == 0xFF && out[1] == 0 && out[0] == 0xFF) out[2] = 0xFE;
            } else {
                out[0] = 0xFF;
                out[1] = 0;
                out[2] = 0xFF;
            }
        }
    }
}

TBitmap ScaleArea(const TBitmap& Source, int Width, int Height) {
    TBitmap out(Width, Height, Source.PixelFormat());
    out.Transparent = Source.Transparent;
    out.TransparentColor = Source.TransparentColor;
    ScaleAreaInto(out, out.BoundsRect(), Source, Source.BoundsRect());
    return out;
}

TMargins MarginsInFrame(const TMargins& m, int Width, int Height) {
    TMargins r;
    r.Left = std::clamp(m.Left, 0, std::max(Width, 0));
    r.Right = std::clamp(m.Right, 0, std::max(Width, 0) - r.Left);
    r.Top = std::clamp(m.Top, 0, std::max(Height, 0));
    r.Bottom = std::clamp(m.Bottom, 0, std::max(Height, 0) - r.Top);
    return r;
}

TPictureSize FramedPictureSize(int Width, int Height, const TFramedPicture& Layout, const TDpiScale& Scale) {
    if (Width <= 0 || Height <= 0) return {};
    if (Scale.Identity()) return {Width, Height};
    const int frames = std::max(Layout.Frames, 1);
    const int length = Layout.Stacked ? Height : Width;
    if (length % frames != 0) return {std::max(Scale.Scale(Width), 1), std::max(Scale.Scale(Height), 1)};
    const int fw = Layout.Stacked ? Width : Width / frames, fh = Layout.Stacked ? Height / frames : Height;
    const int tfw = std::max(Scale.Scale(fw), 1), tfh = std::max(Scale.Scale(fh), 1);
    return {Layout.Stacked ? tfw : tfw * frames, Layout.Stacked ? tfh * frames : tfh};
}

TBitmap ResampleFramedPicture(const TBitmap& Source, const TFramedPicture& Layout, TPictureSize Target,
                              const TMargins& TargetMargins) {
    if (Source.Empty() || Target.Width <= 0 || Target.Height <= 0) return Source;
    const int frames = std::max(Layout.Frames, 1);
    const int length = Layout.Stacked ? Source.Height() : Source.Width();
    const int targetLength = Layout.Stacked ? Target.Height : Target.Width;
    if (length % frames != 0 || targetLength % frames != 0) return ScaleArea(Source, Target.Width, Target.Height);
    const int fw = Layout.Stacked ? Source.Width() : Source.Width() / frames;
    const int fh = Layout.Stacked ? Source.Height() / frames : Source.Height();
    const int tfw = Layout.Stacked ? Target.Width : Target.Width / frames;
    const int tfh = Layout.Stacked ? Target.Height / frames : Target.Height;
    // The cut lines of one frame, in the source and in the target; margins that do not fit
    // the frame are the frame's (a skin checker reports them; here they must not cross).
    const TMargins m = MarginsInFrame(Layout.Margins, fw, fh);
    const TMargins tm = MarginsInFrame(TargetMargins, tfw, tfh);
    const std::array<std::pair<int, int>, 4> xs{{{0, 0}, {m.Left, tm.Left}, {fw - m.Right, tfw - tm.Right}, {fw, tfw}}};
    const std::array<std::pair<int, int>, 4> ys{{{0, 0}, {m.Top, tm.Top}, {fh - m.Bottom, tfh - tm.Bottom}, {fh, tfh}}};
    TBitmap out(Target.Width, Target.Height, Source.PixelFormat());
    out.Transparent = Source.Transparent;
    out.TransparentColor = Source.TransparentColor;
    for (int f = 0; f < frames; ++f) {
        const int sx0 = Layout.Stacked ? 0 : f * fw, sy0 = Layout.Stacked ? f * fh : 0;
        const int tx0 = Layout.Stacked ? 0 : f * tfw, ty0 = Layout.Stacked ? f * tfh : 0;
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 3; ++i) {
                const TRect from{sx0 + xs[i].first, sy0 + ys[j].first, sx0 + xs[i + 1].first, sy0 + ys[j + 1].first};
                const TRect to{tx0 + xs[i].second, ty0 + ys[j].second, tx0 + xs[i + 1].second, ty0 + ys[j + 1].second};
                ScaleAreaInto(out, to, Source, from);
            }
    }
    return out;
}

TBitmap ScaleFramedPicture(const TBitmap& Source, const TFramedPicture& Layout, const TDpiScale& Scale) {
    if (Source.Empty()) return Source;
    if (Scale.Identity()) return Source;
    const TPictureSize target = FramedPictureSize(Source.Width(), Source.Height(), Layout, Scale);
    const int frames = std::max(Layout.Frames, 1);
    if ((Layout.Stacked ? Source.Height() : Source.Width()) % frames != 0)
        return ScaleArea(Source, target.Width, target.Height);
    const int fw = Layout.Stacked ? Source.Width() : Source.Width() / frames;
    const int fh = Layout.Stacked ? Source.Height() / frames : Source.Height();
    const TMargins m = MarginsInFrame(Layout.Margins, fw, fh);
    return ResampleFramedPicture(
        Source, TFramedPicture{frames, Layout.Stacked, m}, target,
        TMargins{Scale.Scale(m.Left), Scale.Scale(m.Top), Scale.Scale(m.Right), Scale.Scale(m.Bottom)});
}

}  // namespace quorin
