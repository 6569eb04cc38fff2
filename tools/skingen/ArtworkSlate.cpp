// The pictures of the second skin, "Quorin Slate": a dark caption, frame, menus, push
// buttons, tabs, headers and bars with light text around light pages. Every geometry
// the engine reads differs from the default skin's on purpose: 7-pixel sides and bottom,
// a 34-pixel title strip whose top corners are rounded by transparent pixels, 26 x 22
// caption buttons at another offset, a taller menu row picture, wider button and tab
// margins. The pages stay light because the window's labels and check boxes keep the
// text colour of the stored layout. Pictures whose shape the default skin already has
// (scroll bars, thumbs, up-down, progress, combo button) are its pictures in slate tones.
#include "Artwork.h"

#include <algorithm>
#include <cmath>

namespace quorin::skingen::slate {
namespace {

constexpr int kSide = 7;
constexpr int kCorner = 7;  // radius of the rounded top corners
constexpr int kBottom = 7;
constexpr int kButtonW = kSlateCaptionButtonW, kButtonH = kSlateCaptionButtonH;

constexpr TRGB kCaption{34, 38, 46};
constexpr TRGB kCaptionLight{48, 54, 64};
constexpr TRGB kCaptionInactive{66, 72, 82};
constexpr TRGB kCaptionInactiveLight{76, 82, 92};
constexpr TRGB kOutline{14, 16, 20};
constexpr TRGB kOutlineInactive{44, 48, 54};
constexpr TRGB kAccent{30, 110, 104};
constexpr TRGB kAccentLight{48, 150, 140};
constexpr TRGB kGlyph{236, 239, 244};
constexpr TRGB kGlyphInactive{196, 202, 210};
constexpr TRGB kFace{62, 67, 77};
constexpr TRGB kFaceDark{54, 59, 68};
constexpr TRGB kHot{78, 84, 96};
constexpr TRGB kEdge{22, 25, 30};
constexpr TRGB kDisabled{50, 54, 60};
constexpr TRGB kMenu{40, 44, 52};
constexpr TRGB kPage{228, 231, 236};
constexpr TRGB kPageEdge{150, 158, 170};
constexpr TRGB kCloseHot{200, 60, 54};
constexpr TRGB kCloseDown{160, 40, 36};

// The caption's colour at row y of the strip, active or not.
TRGB CaptionAt(int y, bool active) {
    const double t = std::clamp(y / double(kSlateTitleHeight - 1), 0.0, 1.0);
    return active ? Mix(kCaptionLight, kCaption, t) : Mix(kCaptionInactiveLight, kCaptionInactive, t);
}

// One side column: caption colours over the title part, the frame below, the outline
// outside and a rounded top corner whose outside is transparent.
TArtCanvas FrameSide(bool active, int height) {
    TArtCanvas c(kSide, height);
    c.GradientV(0, 0, kSide, kSlateTitleHeight, CaptionAt(0, active), CaptionAt(kSlateTitleHeight - 1, active));
    c.FillRect(0, kSlateTitleHeight, kSide, height, CaptionAt(kSlateTitleHeight - 1, active));
    const TRGB outline = active ? kOutline : kOutlineInactive;
    c.FillRect(0, 0, 1, height, outline);
    c.FillRect(0, 0, kSide, 1, outline);
    c.FillRect(0, height - 1, kSide, height, outline);
    // The corner's circle, drawn at the scale's resolution.
    const double k = c.Factor(), r = kCorner * k;
    for (int y = 0; y < r; ++y)
        for (int x = 0; x < r; ++x) {
            const double dx = r - x - 0.5, dy = r - y - 0.5;
            const double d = std::sqrt(dx * dx + dy * dy);
            if (d > r)
                c.SetPixel(x, y, Magenta);
            else if (d > r - 1.2 * k)
                c.SetPixel(x, y, outline);
        }
    return c;
}

// What the light skin draws in light neutral tones, turned into slate tones; coloured
// pixels and transparency stay.
TArtCanvas Slated(TArtCanvas c) {
    c.MapPixels([](TRGB p) {
        if (p == Magenta) return p;
        const int hi = std::max({p.r, p.g, p.b}), lo = std::min({p.r, p.g, p.b});
        if (hi - lo >= 48) return p;
        const double v = (p.r + p.g + p.b) / 3.0;
        const int n = static_cast<int>(std::lround(30 + (255 - v) * 0.72));
        return TRGB{uint8_t(std::min(255, n)), uint8_t(std::min(255, n + 4)), uint8_t(std::min(255, n + 10))};
    });
    return c;
}

enum class Glyph { Close, Maximize, Restore, Minimize };

void DrawGlyph(TArtCanvas& c, int x0, int w, int h, Glyph g, TRGB color) {
    const double cx = x0 + w / 2.0 - 0.5, cy = h / 2.0 - 0.5;
    const int l = static_cast<int>(cx - 4), t = static_cast<int>(cy - 4);
    switch (g) {
    case Glyph::Close:
        c.Line(cx - 4, cy - 4, cx + 4, cy + 4, 1.6, color);
        c.Line(cx - 4, cy + 4, cx + 4, cy - 4, 1.6, color);
        break;
    case Glyph::Maximize:
        c.FrameRect(l, t, l + 10, t + 10, color);
        c.FrameRect(l + 1, t + 1, l + 9, t + 9, color);
        break;
    case Glyph::Restore:
        c.FrameRect(l + 3, t, l + 10, t + 7, color);
        c.FillRect(l, t + 3, l + 7, t + 10, CaptionAt(kSlateCaptionButtonY + t + 3, true));
        c.FrameRect(l, t + 3, l + 7, t + 10, color);
        break;
    case Glyph::Minimize: c.FillRect(l, t + 8, l + 10, t + 10, color); break;
    }
}

// 4 frames: normal, pressed, hot, inactive; a rounded plate when hot or pressed.
TArtCanvas CaptionButton(Glyph g) {
    TArtCanvas c(4 * kButtonW, kButtonH, TFrames{4});
    const bool close = g == Glyph::Close;
    for (int f = 0; f < 4; ++f) {
        const int x0 = f * kButtonW;
        // The caption strip's own rows behind the button, at its place in the strip.
        c.GradientVPart(x0, 0, x0 + kButtonW, kButtonH, -kSlateCaptionButtonY, kSlateTitleHeight, CaptionAt(0, f != 3),
                        CaptionAt(kSlateTitleHeight - 1, f != 3));
        TArtCanvas plate(kButtonW, kButtonH);
        if (f == 1)
            plate.RoundRect(0, 0, kButtonW, kButtonH, 4, close ? kCloseDown : kEdge, close ? kCloseDown : kAccent,
                            close ? kCloseDown : kAccent);
        if (f == 2)
            plate.RoundRect(0, 0, kButtonW, kButtonH, 4, close ? kCloseHot : kHot, close ? kCloseHot : kHot,
                            close ? kCloseHot : kHot);
        c.Overlay(plate, x0, 0);
        DrawGlyph(c, x0, kButtonW, kButtonH, g, f == 3 ? kGlyphInactive : kGlyph);
    }
    return c;
}

}  // namespace

TArtCanvas DrawLeft() {
    const int h = 80;
    TArtCanvas c(2 * kSide, h, TFrames{2});
    c.Blit(FrameSide(true, h), 0, 0);
    c.Blit(FrameSide(false, h), kSide, 0);
    return c;
}

TArtCanvas DrawRight() {
    const int h = 80;
    TArtCanvas c(2 * kSide, h, TFrames{2});
    TArtCanvas a = FrameSide(true, h), i = FrameSide(false, h);
    a.MirrorH();
    i.MirrorH();
    c.Blit(a, 0, 0);
    c.Blit(i, kSide, 0);
    return c;
}

TArtCanvas DrawTop() {
    const int w = 64, h = kSlateTitleHeight;
    TArtCanvas c(w, 2 * h, TFrames{1, 2});
    for (int f = 0; f < 2; ++f) {
        c.GradientV(0, f * h, w, f * h + h, CaptionAt(0, f == 0), CaptionAt(h - 1, f == 0));
        c.FillRect(0, f * h, w, f * h + 1, f == 0 ? kOutline : kOutlineInactive);
        // A thin accent line under the active caption.
        if (f == 0) c.FillRect(0, h - 2, w, h - 1, kAccent);
    }
    return c;
}

TArtCanvas DrawBottom() {
    const int w = 64;
    TArtCanvas c(w, 2 * kBottom, TFrames{1, 2});
    for (int f = 0; f < 2; ++f) {
        c.FillRect(0, f * kBottom, w, (f + 1) * kBottom, f == 0 ? kCaption : kCaptionInactive);
        c.FillRect(0, (f + 1) * kBottom - 1, w, (f + 1) * kBottom, f == 0 ? kOutline : kOutlineInactive);
    }
    return c;
}

TArtCanvas DrawTextBack() {
    TArtCanvas c(40, kSlateTitleHeight, TFrames{2});
    c.GradientV(0, 0, 20, kSlateTitleHeight, CaptionAt(0, true), CaptionAt(kSlateTitleHeight - 1, true));
    c.GradientV(20, 0, 40, kSlateTitleHeight, CaptionAt(0, false), CaptionAt(kSlateTitleHeight - 1, false));
    return c;
}

TArtCanvas DrawMenuBar() {
    // Taller than the row the window gives it: the engine stretches it to the row.
    const int w = 24, h = 26;
    TArtCanvas c(2 * w, h, TFrames{2});
    for (int f = 0; f < 2; ++f) {
        c.GradientV(f * w, 0, (f + 1) * w, h, TRGB{46, 50, 59}, kMenu);
        c.FillRect(f * w, h - 1, (f + 1) * w, h, kEdge);
    }
    return c;
}

TArtCanvas DrawCloseButton() { return CaptionButton(Glyph::Close); }
TArtCanvas DrawMaximizeButton() { return CaptionButton(Glyph::Maximize); }
TArtCanvas DrawRestoreButton() { return CaptionButton(Glyph::Restore); }
TArtCanvas DrawMinimizeButton() { return CaptionButton(Glyph::Minimize); }
TArtCanvas DrawMdiControls() { return Slated(skingen::DrawMdiControls()); }

TArtCanvas DrawButton() {
    // 5 frames: normal, pressed, disabled, hot, focused; 30 x 30 with 6-pixel margins.
    const int s = 30;
    TArtCanvas c(5 * s, s, TFrames{5});
    struct Look {
        TRGB outline, top, bottom;
    };
    const Look looks[5] = {
        {kEdge, kFace, kFaceDark},       {kEdge, kAccent, TRGB{26, 98, 92}}, {TRGB{40, 44, 50}, kDisabled, kDisabled},
        {kEdge, kHot, TRGB{70, 76, 88}}, {kAccentLight, kFace, kFaceDark},
    };
    for (int f = 0; f < 5; ++f) {
        c.RoundRect(f * s, 0, f * s + s, s, 5, looks[f].outline, looks[f].top, looks[f].bottom);
        if (f == 4) c.FrameRect(f * s + 1, 1, f * s + s - 1, s - 1, kAccent);
    }
    return c;
}

TArtCanvas DrawCheckBox() { return skingen::DrawCheckBox(); }
TArtCanvas DrawRadio() { return skingen::DrawRadio(); }
TArtCanvas DrawProgress() { return Slated(skingen::DrawProgress()); }
TArtCanvas DrawProgressChunk() { return skingen::DrawProgressChunk(); }

TArtCanvas DrawTabs() {
    // 5 frames: normal, selected, disabled, hot, focused; the selected tab is the page's
    // own light colour so it joins the page.
    const int w = 28, h = 26;
    TArtCanvas c(5 * w, h, TFrames{5});
    for (int f = 0; f < 5; ++f) {
        const int x0 = f * w;
        const bool selected = f == 1 || f == 4;
        const TRGB fill = selected ? kPage : f == 3 ? kHot : f == 2 ? kDisabled : kFace;
        c.RoundRect(x0, 0, x0 + w, h + 6, 6, selected ? kPageEdge : kEdge, fill, selected ? kPage : kFaceDark);
        if (selected)
            c.FillRect(x0 + 2, 1, x0 + w - 2, 3, kAccent);
        else
            c.FillRect(x0, h - 1, x0 + w, h, kPageEdge);
    }
    return c;
}

TArtCanvas DrawTabPane() {
    TArtCanvas c(30, 30);
    c.FillRect(0, 0, 30, 30, kPage);
    c.FrameRect(0, 0, 30, 30, kPageEdge);
    return c;
}

// The pane's own edge around the pages.
TArtCanvas DrawTabBorder() { return DrawTabPane(); }

TArtCanvas DrawStatusBar() { return Slated(skingen::DrawStatusBar()); }
TArtCanvas DrawHeaderbar() { return Slated(skingen::DrawHeaderbar()); }
TArtCanvas DrawComboButton() { return Slated(skingen::DrawComboButton()); }
TArtCanvas DrawExtraImages() { return Slated(skingen::DrawExtraImages()); }
TArtCanvas DrawScrollbar() { return Slated(skingen::DrawScrollbar()); }
TArtCanvas DrawHorzScroll() { return Slated(skingen::DrawHorzScroll()); }
TArtCanvas DrawVertScroll() { return Slated(skingen::DrawVertScroll()); }
TArtCanvas DrawHorzThumb() { return Slated(skingen::DrawHorzThumb()); }
TArtCanvas DrawVertThumb() { return Slated(skingen::DrawVertThumb()); }

TArtCanvas DrawMenuBackground() {
    TArtCanvas c(32, 32);
    c.FillRect(0, 0, 32, 32, kMenu);
    c.FillRect(1, 1, 27, 31, TRGB{46, 50, 59});
    c.FrameRect(0, 0, 32, 32, kEdge);
    return c;
}

TArtCanvas DrawMenuItem() {
    // 5 frames: normal, separator, disabled, selected, selected disabled.
    const int w = 24, h = 22;
    TArtCanvas c(5 * w, h, TFrames{5});
    c.FillRect(0, 0, 3 * w, h, kMenu);
    c.FillRect(w + 3, h / 2, 2 * w - 3, h / 2 + 1, TRGB{70, 76, 86});
    c.RoundRect(3 * w, 0, 4 * w, h, 4, kAccentLight, kAccent, kAccent);
    c.RoundRect(4 * w, 0, 5 * w, h, 4, kDisabled, kDisabled, kDisabled);
    return c;
}

TArtCanvas DrawTrackThumbHorz() { return skingen::DrawTrackThumbHorz(); }
TArtCanvas DrawTrackThumbDown() { return skingen::DrawTrackThumbDown(); }
TArtCanvas DrawUpDownVert() { return Slated(skingen::DrawUpDownVert()); }
TArtCanvas DrawUpDownHorz() { return Slated(skingen::DrawUpDownHorz()); }

}  // namespace quorin::skingen::slate
