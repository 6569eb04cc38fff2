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

#define QUORIN_DEFAULT_PICTURE(file, draw) {file, quorin::skingen::draw},
#define QUORIN_SLATE_PICTURE(file, draw) {file, quorin::skingen::slate::draw},
const Picture kDefaultPictures[] = {QUORIN_SKIN_PICTURES(QUORIN_DEFAULT_PICTURE)};
const Picture kSlatePictures[] = {QUORIN_SKIN_PICTURES(QUORIN_SLATE_PICTURE)};
#undef QUORIN_DEFAULT_PICTURE
#undef QUORIN_SLATE_PICTURE

}  // namespace

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
