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

// Every picture of a skin: the file name its description names, and the function that
// draws it. Both skins have the same pictures; only the drawing differs.
#define QUORIN_SKIN_PICTURES(X)                 \
    X("frameleft.bmp", DrawLeft)                \
    X("frameright.bmp", DrawRight)              \
    X("frametop.bmp", DrawTop)                  \
    X("framebottom.bmp", DrawBottom)            \
    X("captiontext.bmp", DrawTextBack)          \
    X("menubar.bmp", DrawMenuBar)               \
    X("btnclose.bmp", DrawCloseButton)          \
    X("btnmaximize.bmp", DrawMaximizeButton)    \
    X("btnrestore.bmp", DrawRestoreButton)      \
    X("btnminimize.bmp", DrawMinimizeButton)    \
    X("mdicontrols.bmp", DrawMdiControls)       \
    X("button.bmp", DrawButton)                 \
    X("checkbox.bmp", DrawCheckBox)             \
    X("radio.bmp", DrawRadio)                   \
    X("progress.bmp", DrawProgress)             \
    X("progresschunk.bmp", DrawProgressChunk)   \
    X("tabs.bmp", DrawTabs)                     \
    X("tabborder.bmp", DrawTabBorder)           \
    X("tabpane.bmp", DrawTabPane)               \
    X("statusbar.bmp", DrawStatusBar)           \
    X("header.bmp", DrawHeaderbar)              \
    X("combobutton.bmp", DrawComboButton)       \
    X("comboarrow.bmp", DrawExtraImages)        \
    X("scrollbar.bmp", DrawScrollbar)           \
    X("scrolltrackh.bmp", DrawHorzScroll)       \
    X("scrolltrackv.bmp", DrawVertScroll)       \
    X("scrollthumbh.bmp", DrawHorzThumb)        \
    X("scrollthumbv.bmp", DrawVertThumb)        \
    X("menubg.bmp", DrawMenuBackground)         \
    X("menuitem.bmp", DrawMenuItem)             \
    X("trackthumb.bmp", DrawTrackThumbHorz)     \
    X("trackthumbdown.bmp", DrawTrackThumbDown) \
    X("updownv.bmp", DrawUpDownVert)            \
    X("updownh.bmp", DrawUpDownHorz)

#define QUORIN_DECLARE_PICTURE(file, draw) TArtCanvas draw();
QUORIN_SKIN_PICTURES(QUORIN_DECLARE_PICTURE)
// The slate skin's pictures.
namespace slate {
QUORIN_SKIN_PICTURES(QUORIN_DECLARE_PICTURE)
}  // namespace slate
#undef QUORIN_DECLARE_PICTURE

}  // namespace quorin::skingen
