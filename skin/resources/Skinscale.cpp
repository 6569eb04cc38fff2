// Area-averaging, part-by-part scaling of skin pictures.
#include "skin/resources/Skinscale.h"

#include <algorithm>
#include <array>
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
    for (int ty = 0; ty < th; ++ty) {
        const TSpan& dy = down[size_t(ty)];
        for (int tx = 0; tx < tw; ++tx) {
            const TSpan& dx = across[size_t(tx)];
            double r = 0, g = 0, b = 0, colour = 0, key = 0;
            for (size_t j = 0; j < dy.Weights.size(); ++j) {
                const int sy = SourceRect.Top + dy.First + int(j);
                for (size_t i = 0; i < dx.Weights.size(); ++i) {
                    const double w = dy.Weights[j] * dx.Weights[i];
                    const TColor c = Source.Pixel(SourceRect.Left + dx.First + int(i), sy);
                    if (c == KeyColor) {
                        key += w;
                        continue;
                    }
                    r += w * (c & 0xFF);
                    g += w * ((c >> 8) & 0xFF);
                    b += w * ((c >> 16) & 0xFF);
                    colour += w;
                }
            }
            TColor out = KeyColor;
            if (colour > 0 && key < 0.5) {
                auto channel = [&](double v) { return std::clamp(int(v / colour + 0.5), 0, 255); };
                out = TColor(channel(r) | (channel(g) << 8) | (channel(b) << 16));
                // A mean that lands on the key colour by chance must not become transparent.
                if (out == KeyColor) out = TColor(KeyColor - 1);
            }
            Target.SetPixel(TargetRect.Left + tx, TargetRect.Top + ty, out);
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

TBitmap ScaleFramedPicture(const TBitmap& Source, const TFramedPicture& Layout, const TDpiScale& Scale) {
    if (Source.Empty()) return Source;
    if (Scale.Identity()) return Source;
    const int frames = std::max(Layout.Frames, 1);
    const int length = Layout.Stacked ? Source.Height() : Source.Width();
    if (length % frames != 0)
        return ScaleArea(Source, std::max(Scale.Scale(Source.Width()), 1), std::max(Scale.Scale(Source.Height()), 1));
    const int fw = Layout.Stacked ? Source.Width() : Source.Width() / frames;
    const int fh = Layout.Stacked ? Source.Height() / frames : Source.Height();
    const int tfw = std::max(Scale.Scale(fw), 1), tfh = std::max(Scale.Scale(fh), 1);
    // The cut lines of one frame, in the source and in the target; margins that do not fit
    // the frame are the frame's (a skin checker reports them; here they must not cross).
    const TMargins& m = Layout.Margins;
    auto cuts = [](int size, int first, int last, int target, const TDpiScale& s) {
        first = std::clamp(first, 0, size);
        last = std::clamp(last, 0, size - first);
        int tFirst = std::min(s.Scale(first), target), tLast = std::min(s.Scale(last), target - tFirst);
        return std::array<std::pair<int, int>, 4>{
            {{0, 0}, {first, tFirst}, {size - last, target - tLast}, {size, target}}};
    };
    const auto xs = cuts(fw, m.Left, m.Right, tfw, Scale);
    const auto ys = cuts(fh, m.Top, m.Bottom, tfh, Scale);
    TBitmap out(Layout.Stacked ? tfw : tfw * frames, Layout.Stacked ? tfh * frames : tfh, Source.PixelFormat());
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

}  // namespace quorin
