// The pictures of the default skin, one function per bitmap.
#pragma once

#include "Canvas.h"

namespace quorin::skingen {

// Height of the caption strip, and the size of one caption-button frame.
constexpr int kTitleHeight = 30;
constexpr int kCaptionButtonW = 28;
constexpr int kCaptionButtonH = 20;
// Where the caption buttons sit in the strip (the description's Ycoord).
constexpr int kCaptionButtonY = 5;

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

} // namespace quorin::skingen
