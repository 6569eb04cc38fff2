// Any bytes: the BMP reader refuses them with an empty image or decodes a picture that the
// writer stores and the reader takes back pixel for pixel; a decoded picture also goes
// through region tracing and a nine-part rendering without reading outside anything.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "skin/resources/Bmpfile.h"
#include "skin/resources/Skindraw.h"
#include "skin/resources/Skinregion.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorin;
    TBitmap image;
    if (!ReadBmp(data, size, image)) {
        if (!image.Empty()) abort();
        return 0;
    }
    // Huge pictures (a few bytes of run-length data can ask for one) only cost time here.
    if (static_cast<int64_t>(image.Width()) * image.Height() > 1 << 20) return 0;
    const std::vector<uint8_t> file = WriteBmp(image);
    TBitmap again;
    if (!ReadBmp(file, again) || again.Width() != image.Width() || again.Height() != image.Height() ||
        again.PixelFormat() != image.PixelFormat())
        abort();
    const size_t row = static_cast<size_t>(image.Width()) * image.BytesPerPixel();
    for (int32_t y = 0; y < image.Height(); ++y)
        if (std::memcmp(again.ScanLine(y), image.ScanLine(y), row) != 0) abort();
    if (image.Empty()) return 0;

    // Margins and frames from the first bytes, so odd values get exercised too.
    const int m = size > 20 ? data[size - 1] % 8 : 2;
    const TBitmap map = GetHMap(Rect(0, 0, 23, 17), image, Rect(m, m + 1, m, m - 1),
                                {.Frame = 1 + m % 3, .Frames = 1 + m % 4, .Tile = m % 2 == 0, .Vertical = m % 3 == 0});
    if (map.Width() != 23 || map.Height() != 17) abort();
    TBitmap traced = image;
    size_t runs = 0;
    BitmapToRegion(traced, 0, 0, KeyColor, 1, 1, 1, [&](const TRect* r, size_t n) {
        for (size_t i = 0; i < n; ++i)
            if (r[i].IsEmpty() || r[i].Left < 0 || r[i].Right > image.Width()) abort();
        runs += n;
    });
    if (runs > static_cast<size_t>(image.Width() / 2 + 1) * static_cast<size_t>(image.Height())) abort();
    return 0;
}
