// skingen OUTDIR [SKIN [PERCENT...]]: draws every bitmap of a skin of the program into
// OUTDIR (Windows BMP, 24 bits, magenta transparent): SKIN is "default" (the built-in skin,
// when none is given) or "slate". The file names are the ones the skins' descriptions name;
// the build packs them with a description into a packed skin. Each PERCENT (above 100)
// draws the pictures again at that display scale, named with it (frameleft@150.bmp), for
// the description's [Scales] Sets.
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <vector>
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

// The file name of a picture in the set of a scale.
std::string NameAt(const std::string& file, int percent) {
    if (percent == 100) return file;
    const size_t dot = file.rfind('.');
    return file.substr(0, dot) + "@" + std::to_string(percent) + file.substr(dot);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string skin = argc >= 3 ? argv[2] : "default";
    std::vector<int> percents{100};
    for (int i = 3; i < argc; ++i) {
        const int p = std::atoi(argv[i]);
        if (p <= 100 || p > 500) percents.clear();
        if (percents.empty()) break;
        percents.push_back(p);
    }
    if (argc < 2 || (skin != "default" && skin != "slate") || percents.empty()) {
        std::fprintf(stderr, "usage: skingen OUTDIR [default|slate [PERCENT...]]   (PERCENT above 100, at most 500)\n");
        return 2;
    }
    const std::string dir = argv[1];
    try {
        for (int percent : percents) {
            SetDrawPercent(percent);
            for (const Picture& p :
                 skin == "slate" ? std::vector<Picture>(std::begin(kSlatePictures), std::end(kSlatePictures))
                                 : std::vector<Picture>(std::begin(kDefaultPictures), std::end(kDefaultPictures)))
                p.draw().SaveBmp(dir + "/" + NameAt(p.file, percent));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "skingen: %s\n", e.what());
        return 1;
    }
    return 0;
}
