#include "skin/resources/Pngfile.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>

namespace quorin {
namespace {

void PutBE32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
    PutBE32(out, static_cast<uint32_t>(body.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    PutBE32(out, Crc32(out.data() + start, out.size() - start));
}

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

uint32_t Adler32(const uint8_t* data, size_t size, uint32_t adler) {
    uint32_t a = adler & 0xFFFF, b = adler >> 16;
    for (size_t i = 0; i < size; ++i) {
        a = (a + data[i]) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

std::vector<uint8_t> WritePng(const TBitmap& image) {
    const uint32_t W = static_cast<uint32_t>(image.Width() > 0 ? image.Width() : 0);
    const uint32_t H = static_cast<uint32_t>(image.Height() > 0 ? image.Height() : 0);
    // Raw scan lines: a filter byte (0, none) and red, green, blue per pixel.
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(H) * (1 + 3 * static_cast<size_t>(W)));
    const int bpp = image.BytesPerPixel();
    for (uint32_t y = 0; y < H; ++y) {
        raw.push_back(0);
        const uint8_t* p = image.ScanLine(static_cast<int32_t>(y));
        for (uint32_t x = 0; x < W; ++x, p += bpp) {
            raw.push_back(p[2]);
            raw.push_back(p[1]);
            raw.push_back(p[0]);
        }
    }
    // The compressed-data stream: its two-byte header, stored blocks of at most 65535 bytes
    // each, and the Adler-32 of the raw rows.
    std::vector<uint8_t> z = {0x78, 0x01};
    size_t pos = 0;
    do {
        const size_t n = std::min<size_t>(65535, raw.size() - pos);
        const bool last = pos + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<uint8_t>(n));
        z.push_back(static_cast<uint8_t>(n >> 8));
        z.push_back(static_cast<uint8_t>(~n));
        z.push_back(static_cast<uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + static_cast<ptrdiff_t>(pos), raw.begin() + static_cast<ptrdiff_t>(pos + n));
        pos += n;
    } while (pos < raw.size());
    PutBE32(z, Adler32(raw.data(), raw.size()));

    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBE32(header, W);
    PutBE32(header, H);
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter, no interlace
    Chunk(out, "IHDR", header);
    Chunk(out, "IDAT", z);
    Chunk(out, "IEND", {});
    return out;
}

bool SavePngFile(const std::string& path, const TBitmap& image) {
    const std::vector<uint8_t> data = WritePng(image);
    std::ofstream out(std::filesystem::path(std::u8string(path.begin(), path.end())),
                      std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    out.close();
    return static_cast<bool>(out);
}

}  // namespace quorin
