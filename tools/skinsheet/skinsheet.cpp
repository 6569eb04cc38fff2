// skinsheet: lays BMP files side by side in one PNG, so a person can look at skin images and
// the pictures composed from them. Key-coloured (magenta) pixels can be shown as a
// chequerboard to make the transparent parts stand out.
//
//   skinsheet [--scale N] [--key] [--width PIXELS] OUT.png IMAGE.bmp...
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "skin/resources/Blit.h"
#include "skin/resources/Bmpfile.h"
#include "skin/resources/Pngfile.h"

using namespace quorin;

namespace {

constexpr int kGap = 8;
constexpr TColor kBackground = 0x808080;

int Usage() {
    std::fprintf(stderr, "usage: skinsheet [--scale N] [--key] [--width PIXELS] OUT.png IMAGE.bmp...\n");
    return 2;
}

// Replaces key-coloured pixels with a 4-pixel chequerboard.
void ShowKey(TBitmap& image) {
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            if (image.Pixel(x, y) == KeyColor) image.SetPixel(x, y, ((x / 4 + y / 4) % 2) ? 0xFFFFFF : 0xCCCCCC);
}

}  // namespace

int main(int argc, char** argv) {
    int scale = 1, width = 1024;
    bool key = false;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--scale" && i + 1 < argc)
            scale = std::atoi(argv[++i]);
        else if (a == "--width" && i + 1 < argc)
            width = std::atoi(argv[++i]);
        else if (a == "--key")
            key = true;
        else if (!a.empty() && a[0] == '-')
            return Usage();
        else
            files.push_back(a);
    }
    if (files.size() < 2 || scale < 1 || scale > 16 || width < 16 || width > 16384) return Usage();

    // Place the images row by row, wrapping at the sheet width.
    struct TPlaced {
        TBitmap image;
        TRect at;
    };
    std::vector<TPlaced> placed;
    int x = kGap, y = kGap, rowHeight = 0, sheetWidth = 0;
    int failures = 0;
    for (size_t i = 1; i < files.size(); ++i) {
        TBitmap image;
        if (!LoadBmpFile(files[i], image) || image.Empty()) {
            std::fprintf(stderr, "skinsheet: %s: not a readable BMP file\n", files[i].c_str());
            ++failures;
            continue;
        }
        if (key) ShowKey(image);
        const int w = image.Width() * scale, h = image.Height() * scale;
        if (x > kGap && x + w + kGap > width) {
            x = kGap;
            y += rowHeight + kGap;
            rowHeight = 0;
        }
        placed.push_back({std::move(image), Bounds(x, y, w, h)});
        x += w + kGap;
        rowHeight = std::max(rowHeight, h);
        sheetWidth = std::max(sheetWidth, x);
    }
    if (placed.empty()) return 1;

    TBitmap sheet(sheetWidth, y + rowHeight + kGap);
    sheet.Fill(kBackground);
    for (const TPlaced& p : placed) StretchCopy(sheet, p.at, p.image, p.image.BoundsRect());
    if (!SavePngFile(files[0], sheet)) {
        std::fprintf(stderr, "skinsheet: cannot write %s\n", files[0].c_str());
        return 1;
    }
    std::printf("%s: %d x %d, %zu images\n", files[0].c_str(), sheet.Width(), sheet.Height(), placed.size());
    return failures ? 1 : 0;
}
