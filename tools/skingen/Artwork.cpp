// The pictures of the default skin: a light, flat look with a deep blue caption, drawn
// pixel-exact for 96 dpi and again at each larger scale (see Canvas.h). Magenta (255, 0, 255) marks transparent pixels.
//
// Frame layouts (what each frame of a strip shows) follow what the painters expect:
//   frame borders      2 frames: active, inactive (Left/Right side by side, Top/Bottom stacked)
//   push button        5 frames: normal, pressed, disabled, hot, focused
//   check box, radio   4 frames: off, on, off disabled, on disabled
//   caption buttons    4 frames: normal, pressed, hot, inactive
//   combo button       4 frames: normal, pressed, disabled, hot
//   tabs               5 frames: normal, selected, disabled, hot, focused
//   scroll bar        23 frames: arrows up, down, left, right (normal, hot, pressed,
//                      disabled each), vertical track (normal, pressed), horizontal track
//                      (normal, pressed), size grip
//   scroll tracks      4 frames: normal, hot, pressed, disabled
//   scroll thumbs      3 frames: normal, hot, pressed
//   up-down            8 frames: first arrow normal, hot, pressed, disabled, then the second
//   MDI controls      12 columns: minimize, restore, close; 4 frames each as caption buttons
#include "Artwork.h"

#include <cmath>

namespace quorin::skingen {
namespace {

// The palette.
constexpr TRGB kCaption{45, 95, 147};        // active caption and frame
constexpr TRGB kCaptionLight{60, 113, 168};  // top of the active caption gradient
// Dark enough for the light inactive caption text to stay readable.
constexpr TRGB kCaptionInactive{84, 94, 108};
constexpr TRGB kCaptionInactiveLight{96, 106, 120};
constexpr TRGB kFrameOutline{28, 62, 99};
constexpr TRGB kFrameOutlineInactive{70, 79, 92};
constexpr TRGB kFace{240, 242, 245};  // ButtonFace
constexpr TRGB kWhite{255, 255, 255};
constexpr TRGB kBorder{174, 183, 196};  // control borders
constexpr TRGB kBorderLight{208, 213, 220};
constexpr TRGB kAccent{43, 108, 176};
constexpr TRGB kAccentLight{90, 143, 208};
constexpr TRGB kHotFill{234, 242, 252};
constexpr TRGB kPressFill{214, 228, 245};
constexpr TRGB kDisabledFill{243, 244, 246};
constexpr TRGB kText{30, 36, 44};
constexpr TRGB kGlyph{70, 80, 94};
constexpr TRGB kGlyphDisabled{170, 177, 188};
constexpr TRGB kTrack{232, 235, 239};
constexpr TRGB kThumb{192, 199, 209};
constexpr TRGB kThumbHot{166, 175, 188};
constexpr TRGB kThumbPressed{132, 143, 158};
constexpr TRGB kCloseHot{214, 64, 58};
constexpr TRGB kCloseDown{176, 44, 40};

enum class Arrow { Up, Down, Left, Right };

// A chevron centred at (cx, cy), size = half its width.
void Chevron(TArtCanvas& c, double cx, double cy, double size, Arrow dir, TRGB color, double thickness = 1.6) {
    switch (dir) {
    case Arrow::Down:
        c.Line(cx - size, cy - size / 2, cx, cy + size / 2, thickness, color);
        c.Line(cx, cy + size / 2, cx + size, cy - size / 2, thickness, color);
        break;
    case Arrow::Up:
        c.Line(cx - size, cy + size / 2, cx, cy - size / 2, thickness, color);
        c.Line(cx, cy - size / 2, cx + size, cy + size / 2, thickness, color);
        break;
    case Arrow::Left:
        c.Line(cx + size / 2, cy - size, cx - size / 2, cy, thickness, color);
        c.Line(cx - size / 2, cy, cx + size / 2, cy + size, thickness, color);
        break;
    case Arrow::Right:
        c.Line(cx - size / 2, cy - size, cx + size / 2, cy, thickness, color);
        c.Line(cx + size / 2, cy, cx - size / 2, cy + size, thickness, color);
        break;
    }
}

// One caption-frame side column: outline outside, caption colour over the title part,
// the frame colour below, rounded top corner.
TArtCanvas FrameSide(bool active, int titleHeight, int height) {
    const int w = 4;
    TArtCanvas c(w, height);
    TRGB outline = active ? kFrameOutline : kFrameOutlineInactive;
    TRGB top = active ? kCaptionLight : kCaptionInactiveLight;
    TRGB body = active ? kCaption : kCaptionInactive;
    c.GradientV(0, 0, w, titleHeight, top, body);
    c.FillRect(0, titleHeight, w, height, body);
    c.FillRect(0, 0, 1, height, outline);
    c.FillRect(0, 0, w, 1, outline);
    c.FillRect(0, height - 1, w, height, outline);
    // The cut top-left corner of the window (the region follows the magenta pixels): two
    // pixels along the diagonal transparent, the next on it the outline, at any scale.
    const double k = c.Factor();
    for (int y = 0; y < c.PixelsHigh() && y < 3 * k; ++y)
        for (int x = 0; x < c.PixelsWide() && x < 3 * k; ++x) {
            const double u = (x + 0.5) / k + (y + 0.5) / k;
            if (u <= 2)
                c.SetPixel(x, y, Magenta);
            else if (u <= 3)
                c.SetPixel(x, y, outline);
        }
    return c;
}

}  // namespace

// ---- Window frame ----------------------------------------------------------------------

TArtCanvas DrawLeft() {
    TArtCanvas c(8, 64, TFrames{2});
    c.Blit(FrameSide(true, kTitleHeight, 64), 0, 0);
    c.Blit(FrameSide(false, kTitleHeight, 64), 4, 0);
    return c;
}

TArtCanvas DrawRight() {
    TArtCanvas c(8, 64, TFrames{2});
    TArtCanvas a = FrameSide(true, kTitleHeight, 64), i = FrameSide(false, kTitleHeight, 64);
    a.MirrorH();
    i.MirrorH();
    c.Blit(a, 0, 0);
    c.Blit(i, 4, 0);
    return c;
}

TArtCanvas DrawTop() {
    const int w = 60;
    TArtCanvas c(w, 2 * kTitleHeight, TFrames{1, 2});
    for (int f = 0; f < 2; ++f) {
        int y0 = f * kTitleHeight;
        TRGB top = f == 0 ? kCaptionLight : kCaptionInactiveLight;
        TRGB body = f == 0 ? kCaption : kCaptionInactive;
        c.GradientV(0, y0, w, y0 + kTitleHeight, top, body);
        c.FillRect(0, y0, w, y0 + 1, f == 0 ? kFrameOutline : kFrameOutlineInactive);
    }
    return c;
}

TArtCanvas DrawBottom() {
    const int w = 60, h = 4;
    TArtCanvas c(w, 2 * h, TFrames{1, 2});
    for (int f = 0; f < 2; ++f) {
        c.FillRect(0, f * h, w, f * h + h, f == 0 ? kCaption : kCaptionInactive);
        c.FillRect(0, f * h + h - 1, w, f * h + h, f == 0 ? kFrameOutline : kFrameOutlineInactive);
    }
    return c;
}

TArtCanvas DrawTextBack() {
    // Behind the caption text: the caption itself, so the text sits on the bar.
    TArtCanvas c(40, kTitleHeight, TFrames{2});
    c.GradientV(0, 0, 20, kTitleHeight, kCaptionLight, kCaption);
    c.GradientV(20, 0, 40, kTitleHeight, kCaptionInactiveLight, kCaptionInactive);
    c.FillRect(0, 0, 40, 1, kFrameOutline);
    c.FillRect(20, 0, 40, 1, kFrameOutlineInactive);
    return c;
}

TArtCanvas DrawMenuBar() {
    TArtCanvas c(40, 20, TFrames{2});
    for (int f = 0; f < 2; ++f) {
        c.FillRect(f * 20, 0, f * 20 + 20, 20, TRGB{247, 248, 250});
        c.FillRect(f * 20, 19, f * 20 + 20, 20, kBorderLight);
    }
    return c;
}

// ---- Caption buttons ------------------------------------------------------------------------

namespace {

enum class CaptionGlyph { Close, Maximize, Restore, Minimize };

void DrawCaptionGlyph(TArtCanvas& c, int x0, int y0, int w, int h, CaptionGlyph g, TRGB color) {
    double cx = x0 + w / 2.0 - 0.5, cy = y0 + h / 2.0 - 0.5;
    switch (g) {
    case CaptionGlyph::Close:
        c.Line(cx - 4, cy - 4, cx + 4, cy + 4, 1.5, color);
        c.Line(cx - 4, cy + 4, cx + 4, cy - 4, 1.5, color);
        break;
    case CaptionGlyph::Maximize: {
        int l = static_cast<int>(cx - 4), t = static_cast<int>(cy - 4);
        c.FrameRect(l, t, l + 10, t + 10, color);
        c.FillRect(l, t + 1, l + 10, t + 2, color);
        break;
    }
    case CaptionGlyph::Restore: {
        int l = static_cast<int>(cx - 4), t = static_cast<int>(cy - 4);
        c.FillRect(l + 2, t, l + 10, t + 1, color);
        c.FillRect(l + 9, t, l + 10, t + 8, color);
        c.FrameRect(l, t + 2, l + 8, t + 10, color);
        c.FillRect(l, t + 3, l + 8, t + 4, color);
        break;
    }
    case CaptionGlyph::Minimize: {
        int l = static_cast<int>(cx - 4), t = static_cast<int>(cy + 3);
        c.FillRect(l, t, l + 10, t + 2, color);
        break;
    }
    }
}

// The caption's own colours behind a caption button (the buttons are drawn opaque), so
// the button blends into the bar at its place in the strip.
void CaptionBackground(TArtCanvas& c, int x0, int w, int h, bool active) {
    c.GradientVPart(x0, 0, x0 + w, h, -kCaptionButtonY, kTitleHeight, active ? kCaptionLight : kCaptionInactiveLight,
                    active ? kCaption : kCaptionInactive);
}

// 4 frames: normal, pressed, hot, inactive: the glyph on the caption, on a rounded plate
// when hot or pressed.
TArtCanvas CaptionButton(CaptionGlyph g) {
    const int w = kCaptionButtonW, h = kCaptionButtonH;
    TArtCanvas c(4 * w, h, TFrames{4});
    const bool close = g == CaptionGlyph::Close;
    for (int f = 0; f < 4; ++f) {
        int x0 = f * w;
        TArtCanvas back(w, h);
        CaptionBackground(back, 0, w, h, f != 3);
        TRGB glyph = kWhite;
        if (f == 1)
            c.RoundRect(x0, 0, x0 + w, h, 3, close ? kCloseDown : TRGB{31, 70, 112},
                        close ? kCloseDown : TRGB{31, 70, 112}, close ? kCloseDown : TRGB{31, 70, 112});
        if (f == 2)
            c.RoundRect(x0, 0, x0 + w, h, 3, close ? kCloseHot : kCaptionLight, close ? kCloseHot : TRGB{84, 134, 186},
                        close ? kCloseHot : TRGB{70, 122, 176});
        if (f == 3) glyph = TRGB{226, 230, 236};
        c.Underlay(back, x0, 0);
        DrawCaptionGlyph(c, x0, 0, w, h, g, glyph);
    }
    return c;
}

}  // namespace

TArtCanvas DrawCloseButton() { return CaptionButton(CaptionGlyph::Close); }
TArtCanvas DrawMaximizeButton() { return CaptionButton(CaptionGlyph::Maximize); }
TArtCanvas DrawRestoreButton() { return CaptionButton(CaptionGlyph::Restore); }
TArtCanvas DrawMinimizeButton() { return CaptionButton(CaptionGlyph::Minimize); }

TArtCanvas DrawMdiControls() {
    // Minimize, restore, close of a maximized MDI child, 16 x 14, in the menu row.
    const int w = 16, h = 14;
    TArtCanvas c(12 * w, h, TFrames{12});
    const CaptionGlyph glyphs[3] = {CaptionGlyph::Minimize, CaptionGlyph::Restore, CaptionGlyph::Close};
    for (int b = 0; b < 3; ++b)
        for (int f = 0; f < 4; ++f) {
            int x0 = (4 * b + f) * w;
            c.FillRect(x0, 0, x0 + w, h, TRGB{247, 248, 250});
            if (f == 1) c.RoundRect(x0, 0, x0 + w, h, 2, kAccent, kPressFill, kPressFill);
            if (f == 2) c.RoundRect(x0, 0, x0 + w, h, 2, kAccentLight, kHotFill, kHotFill);
            c.FillKey(x0, 0, x0 + w, h, TRGB{247, 248, 250});
            // The caption glyph as in a box 2 pixels larger on every side, cut to the frame.
            TArtCanvas g(w, h);
            DrawCaptionGlyph(g, -2, -2, w + 4, h + 4, glyphs[b], f == 3 ? kGlyphDisabled : kText);
            c.Overlay(g, x0, 0);
        }
    return c;
}

// ---- Push buttons, check boxes, radio buttons --------------------------------------------

TArtCanvas DrawButton() {
    const int w = 24, h = 24;
    TArtCanvas c(5 * w, h, TFrames{5});
    struct Look {
        TRGB outline, top, bottom;
    };
    const Look looks[5] = {
        {kBorder, kWhite, TRGB{243, 245, 248}},        // normal
        {kAccent, kPressFill, TRGB{204, 220, 241}},    // pressed
        {kBorderLight, kDisabledFill, kDisabledFill},  // disabled
        {kAccentLight, kWhite, kHotFill},              // hot
        {kAccent, kWhite, TRGB{243, 245, 248}},        // focused
    };
    for (int f = 0; f < 5; ++f) {
        int x0 = f * w;
        c.RoundRect(x0, 0, x0 + w, h, 3, looks[f].outline, looks[f].top, looks[f].bottom);
        if (f == 4) c.FrameRect(x0 + 1, 1, x0 + w - 1, h - 1, TRGB{180, 205, 235});
    }
    return c;
}

TArtCanvas DrawCheckBox() {
    const int s = 13;
    TArtCanvas c(4 * s, s, TFrames{4});
    for (int f = 0; f < 4; ++f) {
        int x0 = f * s;
        bool on = f == 1 || f == 3, disabled = f >= 2;
        if (on && !disabled) {
            c.RoundRect(x0, 0, x0 + s, s, 2, kAccent, kAccent, kAccent);
        } else {
            c.RoundRect(x0, 0, x0 + s, s, 2, disabled ? kBorderLight : kBorder, disabled ? kDisabledFill : kWhite,
                        disabled ? kDisabledFill : kWhite);
        }
        if (on) {
            TRGB mark = disabled ? kGlyphDisabled : kWhite;
            c.Line(x0 + 3, 6.5, x0 + 5.5, 9, 1.6, mark);
            c.Line(x0 + 5.5, 9, x0 + 9.5, 3.5, 1.6, mark);
        }
    }
    return c;
}

TArtCanvas DrawRadio() {
    const int s = 13;
    TArtCanvas c(4 * s, s, TFrames{4});
    for (int f = 0; f < 4; ++f) {
        int x0 = f * s;
        bool on = f == 1 || f == 3, disabled = f >= 2;
        TRGB outline = disabled ? kBorderLight : on ? kAccent : kBorder;
        c.RoundRect(x0, 0, x0 + s, s, 6, outline, disabled ? kDisabledFill : kWhite, disabled ? kDisabledFill : kWhite);
        if (on) {
            c.Disc(x0 + s / 2.0, s / 2.0, 2.6, disabled ? kGlyphDisabled : kAccent);
        }
    }
    return c;
}

// ---- Progress, tabs, status bar, header ------------------------------------------------------

TArtCanvas DrawProgress() {
    // Frame 1 the trough, frame 2 the filled bar.
    const int w = 20, h = 14;
    TArtCanvas c(2 * w, h, TFrames{2});
    c.RoundRect(0, 0, w, h, 3, kBorder, TRGB{226, 230, 235}, kTrack);
    c.RoundRect(w, 0, 2 * w, h, 3, kAccent, kAccentLight, kAccent);
    return c;
}

TArtCanvas DrawProgressChunk() {
    TArtCanvas c(8, 12);
    c.GradientV(0, 0, 8, 12, kAccentLight, kAccent);
    c.FillRect(7, 0, 8, 12, TRGB{236, 241, 248});
    return c;
}

TArtCanvas DrawTabs() {
    const int w = 24, h = 22;
    TArtCanvas c(5 * w, h, TFrames{5});
    for (int f = 0; f < 5; ++f) {
        int x0 = f * w;
        bool selected = f == 1 || f == 4;
        TRGB outline = f == 2 ? kBorderLight : kBorder;
        TRGB top = selected ? kWhite : f == 3 ? kHotFill : f == 2 ? kDisabledFill : TRGB{230, 233, 238};
        TRGB bottom = selected ? kWhite : f == 3 ? kHotFill : f == 2 ? kDisabledFill : TRGB{222, 226, 232};
        c.RoundRect(x0, 0, x0 + w, h + 4, 4, outline, top, bottom);  // the rounding only shows at the top
        if (selected) c.FillRect(x0 + 1, 0, x0 + w - 1, 2, kAccent);
        if (!selected) c.FillRect(x0, h - 1, x0 + w, h, kBorder);
    }
    return c;
}

TArtCanvas DrawTabBorder() {
    TArtCanvas c(30, 30);
    c.FillRect(0, 0, 30, 30, kWhite);
    c.FrameRect(0, 0, 30, 30, kBorder);
    return c;
}

TArtCanvas DrawTabPane() {
    TArtCanvas c(30, 30);
    c.FillRect(0, 0, 30, 30, kFace);
    c.FrameRect(0, 0, 30, 30, kBorder);
    c.FrameRect(1, 1, 29, 29, kWhite);
    return c;
}

TArtCanvas DrawStatusBar() {
    // Frames: the bar, a panel, the size grip corner.
    const int s = 12;
    TArtCanvas c(3 * s, s, TFrames{3});
    c.FillRect(0, 0, s, s, kFace);
    c.FillRect(0, 0, s, 1, kBorderLight);
    c.FillRect(s, 0, 2 * s, s, kFace);
    c.FillRect(s, 0, 2 * s, 1, kBorderLight);
    c.FillRect(2 * s - 1, 2, 2 * s, s - 2, kBorder);
    c.FillRect(2 * s, 0, 3 * s, s, kFace);
    c.FillRect(2 * s, 0, 3 * s, 1, kBorderLight);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j <= i; ++j)
            c.FillRect(2 * s + 9 - 3 * j, 9 - 3 * (i - j), 2 * s + 11 - 3 * j, 11 - 3 * (i - j), kThumbPressed);
    return c;
}

TArtCanvas DrawHeaderbar() {
    // Frames: normal, hot, pressed, disabled, sorted.
    const int w = 20, h = 20;
    TArtCanvas c(5 * w, h, TFrames{5});
    const TRGB tops[5] = {kWhite, kHotFill, kPressFill, kDisabledFill, kWhite};
    const TRGB bottoms[5] = {TRGB{240, 242, 245}, kHotFill, kPressFill, kDisabledFill, TRGB{240, 242, 245}};
    for (int f = 0; f < 5; ++f) {
        int x0 = f * w;
        c.GradientV(x0, 0, x0 + w, h, tops[f], bottoms[f]);
        c.FillRect(x0, h - 1, x0 + w, h, kBorder);
        c.FillRect(x0 + w - 1, 3, x0 + w, h - 3, kBorderLight);
        if (f == 4) c.FillRect(x0, h - 2, x0 + w, h - 1, kAccent);
    }
    return c;
}

// ---- Combo box ------------------------------------------------------------------------------

TArtCanvas DrawComboButton() {
    const int w = 18, h = 21;
    TArtCanvas c(4 * w, h, TFrames{4});
    struct Look {
        TRGB outline, fill;
        TRGB glyph;
    };
    const Look looks[4] = {
        {kBorder, TRGB{246, 247, 249}, kGlyph},
        {kAccent, kPressFill, kText},
        {kBorderLight, kDisabledFill, kGlyphDisabled},
        {kAccentLight, kHotFill, kText},
    };
    for (int f = 0; f < 4; ++f) {
        // Rounded on the right only: the plate starts left of the frame and is cut.
        TArtCanvas frame(w, h);
        frame.RoundRect(-4, 0, w, h, 3, looks[f].outline, looks[f].fill, looks[f].fill);
        frame.FillRect(0, 0, 1, h, looks[f].outline);
        Chevron(frame, w / 2.0, h / 2.0 - 0.5, 3.5, Arrow::Down, looks[f].glyph);
        c.Blit(frame, f * w, 0);
    }
    return c;
}

TArtCanvas DrawExtraImages() {
    // The drop-down arrow alone, 5 frames as the push button.
    const int w = 9, h = 6;
    TArtCanvas c(5 * w, h, TFrames{5});
    const TRGB colors[5] = {kGlyph, kText, kGlyphDisabled, kText, kText};
    for (int f = 0; f < 5; ++f) Chevron(c, f * w + 4, 2.5, 3.5, Arrow::Down, colors[f]);
    return c;
}

// ---- Scroll bars ----------------------------------------------------------------------------

namespace {

void ArrowButton(TArtCanvas& c, int x0, int s, int state, Arrow dir) {
    // state: 0 normal, 1 hot, 2 pressed, 3 disabled
    c.FillRect(x0, 0, x0 + s, s, kTrack);
    if (state == 1) c.RoundRect(x0 + 1, 1, x0 + s - 1, s - 1, 2, kThumb, kThumb, kThumb);
    if (state == 2) c.RoundRect(x0 + 1, 1, x0 + s - 1, s - 1, 2, kThumbPressed, kThumbPressed, kThumbPressed);
    if (state == 1 || state == 2) c.CutCorners(x0 + 1, 1, x0 + s - 1, s - 1, 2);
    c.FillKey(x0, 0, x0 + s, s, kTrack);
    TRGB glyph = state == 3 ? kGlyphDisabled : state == 2 ? kWhite : kGlyph;
    Chevron(c, x0 + s / 2.0 - 0.5, s / 2.0 - 0.5, 3.5, dir, glyph);
}

}  // namespace

TArtCanvas DrawScrollbar() {
    const int s = 17;
    TArtCanvas c(23 * s, s, TFrames{23});
    const Arrow dirs[4] = {Arrow::Up, Arrow::Down, Arrow::Left, Arrow::Right};
    for (int d = 0; d < 4; ++d)
        for (int st = 0; st < 4; ++st) ArrowButton(c, (4 * d + st) * s, s, st, dirs[d]);
    // Tracks: vertical normal and pressed, horizontal normal and pressed.
    for (int i = 0; i < 4; ++i) {
        int x0 = (16 + i) * s;
        c.FillRect(x0, 0, x0 + s, s, i % 2 ? TRGB{220, 224, 230} : kTrack);
    }
    // Size grip.
    int x0 = 20 * s;
    c.FillRect(x0, 0, x0 + s, s, kTrack);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j <= i; ++j)
            c.FillRect(x0 + 13 - 4 * j, 13 - 4 * (i - j), x0 + 15 - 4 * j, 15 - 4 * (i - j), kThumbPressed);
    // Two spare frames: the corner between two bars.
    c.FillRect(21 * s, 0, 23 * s, s, kTrack);
    return c;
}

TArtCanvas DrawHorzScroll() {
    const int w = 17, h = 17;
    TArtCanvas c(4 * w, h, TFrames{4});
    const TRGB fills[4] = {kTrack, TRGB{226, 229, 234}, TRGB{214, 219, 226}, TRGB{240, 242, 245}};
    for (int f = 0; f < 4; ++f) {
        c.FillRect(f * w, 0, f * w + w, h, fills[f]);
        c.FillRect(f * w, 0, f * w + w, 1, kBorderLight);
    }
    return c;
}

TArtCanvas DrawVertScroll() {
    TArtCanvas c = DrawHorzScroll();
    // The same look along the other axis: the edge line runs down the left side.
    TArtCanvas v(c.Width(), c.Height(), TFrames{4});
    for (int f = 0; f < 4; ++f) {
        v.FillRect(f * 17, 0, f * 17 + 17, 17, c.At(f * 17 + 8, 8));
        v.FillRect(f * 17, 0, f * 17 + 1, 17, kBorderLight);
    }
    return v;
}

namespace {

TArtCanvas Thumb(int w, int h, bool vertical) {
    TArtCanvas c(3 * w, h, TFrames{3});
    const TRGB fills[3] = {kThumb, kThumbHot, kThumbPressed};
    for (int f = 0; f < 3; ++f) {
        int x0 = f * w;
        c.FillRect(x0, 0, x0 + w, h, kTrack);
        c.RoundRect(x0 + (vertical ? 3 : 0), vertical ? 0 : 3, x0 + w - (vertical ? 3 : 0), h - (vertical ? 0 : 3), 4,
                    fills[f], fills[f], fills[f]);
        c.FillKey(x0, 0, x0 + w, h, kTrack);
    }
    return c;
}

}  // namespace

TArtCanvas DrawHorzThumb() { return Thumb(20, 17, false); }
TArtCanvas DrawVertThumb() { return Thumb(17, 20, true); }

// ---- Menus ----------------------------------------------------------------------------------

TArtCanvas DrawMenuBackground() {
    TArtCanvas c(32, 32);
    c.FillRect(0, 0, 32, 32, kWhite);
    c.FillRect(1, 1, 27, 31, TRGB{246, 247, 249});  // the glyph column
    c.FrameRect(0, 0, 32, 32, kBorder);
    return c;
}

TArtCanvas DrawMenuItem() {
    // Frames: normal, separator, disabled, selected, selected disabled.
    const int w = 24, h = 20;
    TArtCanvas c(5 * w, h, TFrames{5});
    c.FillRect(0, 0, w, h, kWhite);
    c.FillRect(w, 0, 2 * w, h, kWhite);
    c.FillRect(w + 3, h / 2, 2 * w - 3, h / 2 + 1, kBorderLight);
    c.FillRect(2 * w, 0, 3 * w, h, kWhite);
    // Selected: the highlight colour, under the white highlight text.
    c.RoundRect(3 * w, 0, 4 * w, h, 3, kAccentLight, kAccent, kAccent);
    c.RoundRect(4 * w, 0, 5 * w, h, 3, kBorderLight, kDisabledFill, kDisabledFill);
    return c;
}

// ---- Track bar, up-down ------------------------------------------------------------------------

TArtCanvas DrawTrackThumbHorz() {
    // A pill standing upright; 5 frames: normal, hot, pressed, disabled, focused.
    const int w = 11, h = 19;
    TArtCanvas c(5 * w, h, TFrames{5});
    const TRGB fills[5] = {kAccent, kAccentLight, TRGB{31, 80, 135}, kThumb, kAccent};
    for (int f = 0; f < 5; ++f) {
        c.RoundRect(f * w, 0, f * w + w, h, 5, f == 3 ? kThumbHot : TRGB{31, 80, 135}, fills[f], fills[f]);
        if (f == 4) c.FrameRect(f * w + 2, 4, f * w + w - 2, h - 4, kWhite);
    }
    return c;
}

TArtCanvas DrawTrackThumbDown() {
    // A pointer with its tip at the bottom.
    const int w = 11, h = 19;
    TArtCanvas c(5 * w, h, TFrames{5});
    const TRGB fills[5] = {kAccent, kAccentLight, TRGB{31, 80, 135}, kThumb, kAccent};
    for (int f = 0; f < 5; ++f) {
        int x0 = f * w;
        TRGB outline = f == 3 ? kThumbHot : TRGB{31, 80, 135};
        c.RoundRect(x0, 0, x0 + w, 14, 2, outline, fills[f], fills[f]);
        for (int y = 13; y < h; ++y) {
            int inset = y - 13;
            c.FillRect(x0 + inset, y, x0 + w - inset, y + 1, fills[f]);
            c.Set(x0 + inset, y, outline);
            c.Set(x0 + w - 1 - inset, y, outline);
        }
        c.FillRect(x0 + 1, 13, x0 + w - 1, 14, fills[f]);
        if (f == 4) c.FrameRect(x0 + 2, 3, x0 + w - 2, 11, kWhite);
    }
    return c;
}

namespace {

TArtCanvas UpDown(Arrow first, Arrow second, int w, int h) {
    TArtCanvas c(8 * w, h, TFrames{8});
    for (int half = 0; half < 2; ++half)
        for (int st = 0; st < 4; ++st) {
            int x0 = (4 * half + st) * w;
            const TRGB fills[4] = {TRGB{246, 247, 249}, kHotFill, kPressFill, kDisabledFill};
            const TRGB outlines[4] = {kBorder, kAccentLight, kAccent, kBorderLight};
            c.RoundRect(x0, 0, x0 + w, h, 2, outlines[st], fills[st], fills[st]);
            c.CutCorners(x0, 0, x0 + w, h, 0);
            TRGB glyph = st == 3 ? kGlyphDisabled : kText;
            Chevron(c, x0 + w / 2.0 - 0.5, h / 2.0 - 0.5, 2.5, half == 0 ? first : second, glyph, 1.4);
        }
    return c;
}

}  // namespace

TArtCanvas DrawUpDownVert() { return UpDown(Arrow::Up, Arrow::Down, 15, 10); }
TArtCanvas DrawUpDownHorz() { return UpDown(Arrow::Left, Arrow::Right, 10, 15); }

}  // namespace quorin::skingen
