// skingen OUTDIR [SKIN]: draws every bitmap of a skin of the program into OUTDIR (Windows
// BMP, 24 bits, magenta transparent): SKIN is "default" (the built-in skin, when none is
// given) or "slate". The file names are the ones the skins' descriptions name; the build
// packs them with a description into a packed skin.
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

// Both skins draw the same pictures under the same names; only the drawing differs.
#define QUORIN_PICTURES(NS) \
    {"frameleft.bmp", NS::DrawLeft}, \
    {"frameright.bmp", NS::DrawRight}, \
    {"frametop.bmp", NS::DrawTop}, \
    {"framebottom.bmp", NS::DrawBottom}, \
    {"captiontext.bmp", NS::DrawTextBack}, \
    {"menubar.bmp", NS::DrawMenuBar}, \
    {"btnclose.bmp", NS::DrawCloseButton}, \
    {"btnmaximize.bmp", NS::DrawMaximizeButton}, \
    {"btnrestore.bmp", NS::DrawRestoreButton}, \
    {"btnminimize.bmp", NS::DrawMinimizeButton}, \
    {"mdicontrols.bmp", NS::DrawMdiControls}, \
    {"button.bmp", NS::DrawButton}, \
    {"checkbox.bmp", NS::DrawCheckBox}, \
    {"radio.bmp", NS::DrawRadio}, \
    {"progress.bmp", NS::DrawProgress}, \
    {"progresschunk.bmp", NS::DrawProgressChunk}, \
    {"tabs.bmp", NS::DrawTabs}, \
    {"tabborder.bmp", NS::DrawTabBorder}, \
    {"tabpane.bmp", NS::DrawTabPane}, \
    {"statusbar.bmp", NS::DrawStatusBar}, \
    {"header.bmp", NS::DrawHeaderbar}, \
    {"combobutton.bmp", NS::DrawComboButton}, \
    {"comboarrow.bmp", NS::DrawExtraImages}, \
    {"scrollbar.bmp", NS::DrawScrollbar}, \
    {"scrolltrackh.bmp", NS::DrawHorzScroll}, \
    {"scrolltrackv.bmp", NS::DrawVertScroll}, \
    {"scrollthumbh.bmp", NS::DrawHorzThumb}, \
    {"scrollthumbv.bmp", NS::DrawVertThumb}, \
    {"menubg.bmp", NS::DrawMenuBackground}, \
    {"menuitem.bmp", NS::DrawMenuItem}, \
    {"trackthumb.bmp", NS::DrawTrackThumbHorz}, \
    {"trackthumbdown.bmp", NS::DrawTrackThumbDown}, \
    {"updownv.bmp", NS::DrawUpDownVert}, \
    {"updownh.bmp", NS::DrawUpDownHorz},

const Picture kDefaultPictures[] = {QUORIN_PICTURES(quorin::skingen)};
const Picture kSlatePictures[] = {QUORIN_PICTURES(quorin::skingen::slate)};
#undef QUORIN_PICTURES

} // namespace

int main(int argc, char** argv) {
    const std::string skin = argc == 3 ? argv[2] : "default";
    if ((argc != 2 && argc != 3) || (skin != "default" && skin != "slate")) {
        std::fprintf(stderr, "usage: skingen OUTDIR [default|slate]\n");
        return 2;
    }
    const std::string dir = argv[1];
    try {
        if (skin == "slate")
            for (const Picture& p : kSlatePictures) p.draw().SaveBmp(dir + "/" + p.file);
        else
            for (const Picture& p : kDefaultPictures) p.draw().SaveBmp(dir + "/" + p.file);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "skingen: %s\n", e.what());
        return 1;
    }
    return 0;
}
