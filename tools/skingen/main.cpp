// skingen OUTDIR: draws every bitmap of the default skin into OUTDIR (Windows BMP,
// 24 bits, magenta transparent). The file names are the ones the skin's description
// names; the build packs them with the description into the program's skin.
#include <cstdio>
#include <exception>
#include <string>

#include "Artwork.h"

using namespace quorin::skingen;

namespace {

struct Picture {
    const char* file;
    TArtCanvas (*draw)();
};

const Picture kPictures[] = {
    {"frameleft.bmp", DrawLeft},
    {"frameright.bmp", DrawRight},
    {"frametop.bmp", DrawTop},
    {"framebottom.bmp", DrawBottom},
    {"captiontext.bmp", DrawTextBack},
    {"menubar.bmp", DrawMenuBar},
    {"btnclose.bmp", DrawCloseButton},
    {"btnmaximize.bmp", DrawMaximizeButton},
    {"btnrestore.bmp", DrawRestoreButton},
    {"btnminimize.bmp", DrawMinimizeButton},
    {"mdicontrols.bmp", DrawMdiControls},
    {"button.bmp", DrawButton},
    {"checkbox.bmp", DrawCheckBox},
    {"radio.bmp", DrawRadio},
    {"progress.bmp", DrawProgress},
    {"progresschunk.bmp", DrawProgressChunk},
    {"tabs.bmp", DrawTabs},
    {"tabborder.bmp", DrawTabBorder},
    {"tabpane.bmp", DrawTabPane},
    {"statusbar.bmp", DrawStatusBar},
    {"header.bmp", DrawHeaderbar},
    {"combobutton.bmp", DrawComboButton},
    {"comboarrow.bmp", DrawExtraImages},
    {"scrollbar.bmp", DrawScrollbar},
    {"scrolltrackh.bmp", DrawHorzScroll},
    {"scrolltrackv.bmp", DrawVertScroll},
    {"scrollthumbh.bmp", DrawHorzThumb},
    {"scrollthumbv.bmp", DrawVertThumb},
    {"menubg.bmp", DrawMenuBackground},
    {"menuitem.bmp", DrawMenuItem},
    {"trackthumb.bmp", DrawTrackThumbHorz},
    {"trackthumbdown.bmp", DrawTrackThumbDown},
    {"updownv.bmp", DrawUpDownVert},
    {"updownh.bmp", DrawUpDownHorz},
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: skingen OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    try {
        for (const Picture& p : kPictures) p.draw().SaveBmp(dir + "/" + p.file);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "skingen: %s\n", e.what());
        return 1;
    }
    return 0;
}
