#include "skin/resources/Bmpfile.h"

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <new>

namespace quorin {
namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kCoreHeaderSize = 12;  // the oldest header: 16-bit sizes, 3-byte palette
constexpr size_t kInfoHeaderSize = 40;
constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3;
// Larger than any skin or screen; keeps a damaged header from asking for gigabytes.
constexpr int64_t kMaxSide = 1 << 15;
constexpr int64_t kMaxPixels = int64_t{1} << 24;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}
void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

struct TBmpLayout {
    int64_t width = 0, height = 0;  // height positive; topDown says how rows are stored
    bool topDown = false;
    int bpp = 0;
    std::array<uint8_t, 256 * 3> palette{};  // blue, green, red per entry; unused entries black
    size_t pixels = 0;                       // offset of the pixel data
    uint32_t compression = 0;
};

bool ParseHeader(const uint8_t* data, size_t size, TBmpLayout& bmp) {
    if (size < kFileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M') return false;
    const uint32_t offBits = U32(data + 10);
    const uint32_t headerSize = U32(data + kFileHeaderSize);
    if (headerSize > size - kFileHeaderSize) return false;
    const uint8_t* h = data + kFileHeaderSize;
    size_t pos = kFileHeaderSize + headerSize;
    uint32_t compression = kRgb, colorsUsed = 0;
    size_t paletteEntry = 4;

    if (headerSize == kCoreHeaderSize) {
        bmp.width = U16(h + 4);
        bmp.height = U16(h + 6);
        bmp.bpp = U16(h + 10);
        paletteEntry = 3;
    } else if (headerSize >= kInfoHeaderSize) {
        const int32_t w = static_cast<int32_t>(U32(h + 4));
        const int32_t ht = static_cast<int32_t>(U32(h + 8));
        if (w < 0 || ht == std::numeric_limits<int32_t>::min()) return false;
        bmp.width = w;
        bmp.topDown = ht < 0;
        bmp.height = ht < 0 ? -int64_t{ht} : ht;
        bmp.bpp = U16(h + 14);
        compression = U32(h + 16);
        colorsUsed = U32(h + 32);
    } else {
        return false;
    }
    if (bmp.bpp != 1 && bmp.bpp != 4 && bmp.bpp != 8 && bmp.bpp != 24 && bmp.bpp != 32) return false;
    if (bmp.width > kMaxSide || bmp.height > kMaxSide || bmp.width * bmp.height > kMaxPixels) return false;

    if (compression == kBitfields) {
        // Only 32-bit pixels whose masks say plain blue, green, red bytes.
        if (bmp.bpp != 32) return false;
        const uint8_t* masks = nullptr;
        if (headerSize == kInfoHeaderSize) {  // the masks follow the header
            if (size - pos < 12) return false;
            masks = data + pos;
            pos += 12;
        } else if (headerSize >= kInfoHeaderSize + 12) {  // later headers hold them
            masks = h + kInfoHeaderSize;
        } else {
            return false;
        }
        if (U32(masks) != 0xFF0000 || U32(masks + 4) != 0xFF00 || U32(masks + 8) != 0xFF) return false;
    } else if (compression == kRle8 || compression == kRle4) {
        // Run-length files are bottom-up by definition, and only for their own pixel size.
        if (bmp.bpp != (compression == kRle8 ? 8 : 4) || bmp.topDown) return false;
    } else if (compression != kRgb) {
        return false;
    }
    bmp.compression = compression;

    if (bmp.bpp <= 8) {
        const uint32_t full = 1u << bmp.bpp;
        const uint32_t stored = colorsUsed == 0 ? full : colorsUsed;
        if (stored > 4096 || stored * paletteEntry > size - pos) return false;
        const uint32_t used = stored < full ? stored : full;
        for (uint32_t i = 0; i < used; ++i) std::memcpy(&bmp.palette[i * 3], data + pos + i * paletteEntry, 3);
        pos += stored * paletteEntry;
    }
    // The pixel offset of the file header wins when it points past the palette; some writers
    // leave it 0, and then the pixels follow the palette.
    bmp.pixels = offBits >= pos && offBits <= size ? offBits : pos;
    return true;
}

}  // namespace

// File names are UTF-8 throughout the program; on Windows the narrow file API would read
// them in the ANSI code page instead.
static std::filesystem::path Utf8Path(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

namespace {

// Run-length coded palette pixels: (count, index) pairs, or an escape (0, code): 0 ends a
// row, 1 ends the picture, 2 moves right and up by the next two bytes, 3 and more give that
// many literal indexes padded to a 16-bit boundary. Pixels that the runs skip stay black;
// runs that reach past the picture are cut off. False when the data ends mid-command.
bool DecodeRle(const uint8_t* p, size_t size, const TBmpLayout& bmp, TBitmap& image) {
    const bool four = bmp.compression == kRle4;
    const int32_t W = image.Width(), H = image.Height();
    int64_t x = 0, row = 0;  // row counts from the bottom, as the file stores them
    auto put = [&](int index) {
        if (x < W && row < H) {
            uint8_t* d = image.ScanLine(static_cast<int32_t>(H - 1 - row)) + x * 3;
            std::memcpy(d, &bmp.palette[static_cast<size_t>(index) * 3], 3);
        }
        ++x;
    };
    size_t i = 0;
    while (row < H) {
        if (size - i < 2) return false;
        const uint8_t count = p[i], code = p[i + 1];
        i += 2;
        if (count > 0) {
            for (int k = 0; k < count && x < W; ++k) put(four ? (k % 2 ? code & 0x0F : code >> 4) : code);
            continue;
        }
        if (code == 0) {
            x = 0;
            ++row;
        } else if (code == 1) {
            break;
        } else if (code == 2) {
            if (size - i < 2) return false;
            x += p[i];
            row += p[i + 1];
            i += 2;
        } else {
            const size_t bytes = four ? (code + 1u) / 2 : code;
            const size_t padded = bytes + (bytes & 1);
            if (size - i < padded) return false;
            for (int k = 0; k < code; ++k) put(four ? (k % 2 ? p[i + k / 2] & 0x0F : p[i + k / 2] >> 4) : p[i + k]);
            i += padded;
        }
    }
    return true;
}

}  // namespace

bool ReadBmpSize(const uint8_t* data, size_t size, int64_t& width, int64_t& height) {
    TBmpLayout bmp;
    if (!data || !ParseHeader(data, size, bmp)) return false;
    width = bmp.width;
    height = bmp.height;
    return true;
}

bool ReadBmp(const uint8_t* data, size_t size, TBitmap& image) {
    image.Clear();
    if (!data) return false;
    TBmpLayout bmp;
    if (!ParseHeader(data, size, bmp)) return false;
    const TPixelFormat format = bmp.bpp == 32 ? pf32bit : pf24bit;
    if (bmp.width == 0 || bmp.height == 0) {
        image.SetPixelFormat(format);
        return true;
    }
    if (bmp.compression == kRle8 || bmp.compression == kRle4) {
        if (bmp.pixels > size) return false;
        try {
            TBitmap decoded(static_cast<int32_t>(bmp.width), static_cast<int32_t>(bmp.height), pf24bit);
            if (!DecodeRle(data + bmp.pixels, size - bmp.pixels, bmp, decoded)) return false;
            image = std::move(decoded);
            return true;
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    const size_t stride = DibStride(static_cast<int32_t>(bmp.width), bmp.bpp);
    // The last row may come without its padding.
    const size_t lastRow = (static_cast<size_t>(bmp.width) * bmp.bpp + 7) / 8;
    const size_t needed = stride * static_cast<size_t>(bmp.height - 1) + lastRow;
    if (bmp.pixels > size || needed > size - bmp.pixels) return false;

    try {
        TBitmap decoded(static_cast<int32_t>(bmp.width), static_cast<int32_t>(bmp.height), format);
        const int32_t W = decoded.Width(), H = decoded.Height();
        for (int32_t y = 0; y < H; ++y) {
            const int32_t stored = bmp.topDown ? y : H - 1 - y;
            const uint8_t* s = data + bmp.pixels + static_cast<size_t>(stored) * stride;
            uint8_t* d = decoded.ScanLine(y);
            switch (bmp.bpp) {
            case 32: std::memcpy(d, s, static_cast<size_t>(W) * 4); break;
            case 24: std::memcpy(d, s, static_cast<size_t>(W) * 3); break;
            default: {
                const int bits = bmp.bpp, perByte = 8 / bits, mask = (1 << bits) - 1;
                for (int32_t x = 0; x < W; ++x, d += 3) {
                    const int shift = 8 - bits * (x % perByte + 1);
                    const int index = (s[x / perByte] >> shift) & mask;
                    std::memcpy(d, &bmp.palette[static_cast<size_t>(index) * 3], 3);
                }
            }
            }
        }
        image = std::move(decoded);
    } catch (const std::bad_alloc&) {
        image.Clear();
        return false;
    }
    return true;
}

std::vector<uint8_t> WriteBmp(const TBitmap& image) {
    const int bpp = image.PixelFormat() == pf32bit ? 32 : 24;
    const size_t pixelBytes = image.Stride() * static_cast<size_t>(image.Height());
    const size_t offset = kFileHeaderSize + kInfoHeaderSize;
    std::vector<uint8_t> out;
    out.reserve(offset + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, static_cast<uint32_t>(offset + pixelBytes));
    Put32(out, 0);  // reserved
    Put32(out, static_cast<uint32_t>(offset));
    Put32(out, kInfoHeaderSize);
    Put32(out, static_cast<uint32_t>(image.Width()));
    Put32(out, static_cast<uint32_t>(image.Height()));  // bottom-up, as the bitmap stores its rows
    Put16(out, 1);                                      // planes
    Put16(out, static_cast<uint32_t>(bpp));
    Put32(out, kRgb);
    Put32(out, static_cast<uint32_t>(pixelBytes));
    Put32(out, 2835);  // 72 dots per inch, in dots per metre
    Put32(out, 2835);
    Put32(out, 0);  // colours used
    Put32(out, 0);  // important colours
    if (pixelBytes) {
        // The bitmap's memory is already a bottom-up, padded DIB: one block copy.
        const uint8_t* bits = image.ScanLine(image.Height() - 1);
        out.insert(out.end(), bits, bits + pixelBytes);
    }
    return out;
}

bool LoadBmpFile(const std::string& path, TBitmap& image) {
    image.Clear();
    std::ifstream in(Utf8Path(path), std::ios::binary);
    if (!in) return false;
    const std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ReadBmp(data.data(), data.size(), image);
}

bool SaveBmpFile(const std::string& path, const TBitmap& image) {
    const std::vector<uint8_t> data = WriteBmp(image);
    std::ofstream out(Utf8Path(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    out.close();
    return static_cast<bool>(out);
}

}  // namespace quorin
