// The pictures of the program's skins, one function per bitmap: the default skin's in
// quorin::skingen, the slate skin's in quorin::skingen::slate.
#pragma once

#include "Canvas.h"

namespace quorin::skingen {

// Height of the caption strip, and the size of one caption-button frame.
constexpr int kTitleHeight = 30;
constexpr int kCaptionButtonW = 28;
constexpr int kCaptionButtonH = 20;
// Where the caption buttons sit in the strip (the description's Ycoord).
constexpr int kCaptionButtonY = 5;
// The same for the slate skin.
constexpr int kSlateTitleHeight = 34;
constexpr int kSlateCaptionButtonW = 26;
constexpr int kSlateCaptionButtonH = 22;
constexpr int kSlateCaptionButtonY = 6;

TArtCanvas DrawLeft();
TArtCanvas DrawRight();
TArtCanvas DrawTop();
TArtCanvas DrawBottom();
TArtCanvas DrawTextBack();
TArtCanvas DrawMenuBar();
TArtCanvas DrawCloseButton();
TArtCanvas DrawMaximizeButton();
TArtCanvas DrawRestoreButton();
TArtCanvas DrawMinimizeButton();
TArtCanvas DrawMdiControls();
TArtCanvas DrawButton();
TArtCanvas DrawCheckBox();
TArtCanvas DrawRadio();
TArtCanvas DrawProgress();
TArtCanvas DrawProgressChunk();
TArtCanvas DrawTabs();
TArtCanvas DrawTabBorder();
TArtCanvas DrawTabPane();
TArtCanvas DrawStatusBar();
TArtCanvas DrawHeaderbar();
TArtCanvas DrawComboButton();
TArtCanvas DrawExtraImages();
TArtCanvas DrawScrollbar();
TArtCanvas DrawHorzScroll();
TArtCanvas DrawVertScroll();
TArtCanvas DrawHorzThumb();
TArtCanvas DrawVertThumb();
TArtCanvas DrawMenuBackground();
TArtCanvas DrawMenuItem();
TArtCanvas DrawTrackThumbHorz();
TArtCanvas DrawTrackThumbDown();
TArtCanvas DrawUpDownVert();
TArtCanvas DrawUpDownHorz();

// The slate skin's pictures, one per picture of the default skin.
namespace slate {
TArtCanvas DrawLeft();
TArtCanvas DrawRight();
TArtCanvas DrawTop();
TArtCanvas DrawBottom();
TArtCanvas DrawTextBack();
TArtCanvas DrawMenuBar();
TArtCanvas DrawCloseButton();
TArtCanvas DrawMaximizeButton();
TArtCanvas DrawRestoreButton();
TArtCanvas DrawMinimizeButton();
TArtCanvas DrawMdiControls();
TArtCanvas DrawButton();
TArtCanvas DrawCheckBox();
TArtCanvas DrawRadio();
TArtCanvas DrawProgress();
TArtCanvas DrawProgressChunk();
TArtCanvas DrawTabs();
TArtCanvas DrawTabBorder();
TArtCanvas DrawTabPane();
TArtCanvas DrawStatusBar();
TArtCanvas DrawHeaderbar();
TArtCanvas DrawComboButton();
TArtCanvas DrawExtraImages();
TArtCanvas DrawScrollbar();
TArtCanvas DrawHorzScroll();
TArtCanvas DrawVertScroll();
TArtCanvas DrawHorzThumb();
TArtCanvas DrawVertThumb();
TArtCanvas DrawMenuBackground();
TArtCanvas DrawMenuItem();
TArtCanvas DrawTrackThumbHorz();
TArtCanvas DrawTrackThumbDown();
TArtCanvas DrawUpDownVert();
TArtCanvas DrawUpDownHorz();

} // namespace slate

} // namespace quorin::skingen
