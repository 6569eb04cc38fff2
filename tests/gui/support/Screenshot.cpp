// A window's picture as the screen shows it, written as a PNG (8-bit RGB, stored deflate
// blocks: no compression library needed, and the files stay small enough for a window).
#include "GuiHarness.h"

#include <array>
#include <cstdio>
#include <memory>

namespace quorin::gui {
namespace {

struct DcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct ScreenDc {
    HDC dc = GetDC(nullptr);
    ~ScreenDc() { ReleaseDC(nullptr, dc); }
};
struct GdiObject {
    HGDIOBJ object;
    ~GdiObject() { DeleteObject(object); }
};
struct Selection {
    HDC dc;
    HGDIOBJ previous;
    ~Selection() { SelectObject(dc, previous); }
};

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    static const auto table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void PutBE32(std::vector<uint8_t>& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(uint8_t(v >> s));
}

void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    PutBE32(out, uint32_t(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    PutBE32(out, Crc32(body.data(), body.size()));
}

std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint8_t>& rgbRows) {
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr;
    PutBE32(ihdr, uint32_t(width));
    PutBE32(ihdr, uint32_t(height));
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter, no interlace
    Chunk(png, "IHDR", ihdr);

    // zlib stream of stored blocks, then the Adler-32 of the raw data.
    std::vector<uint8_t> z = {0x78, 0x01};
    uint32_t a = 1, b = 0;
    for (uint8_t v : rgbRows) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    size_t pos = 0;
    do {
        const size_t n = std::min<size_t>(65535, rgbRows.size() - pos);
        const bool last = pos + n == rgbRows.size();
        z.push_back(last ? 1 : 0);
        z.push_back(uint8_t(n));
        z.push_back(uint8_t(n >> 8));
        z.push_back(uint8_t(~n));
        z.push_back(uint8_t(~n >> 8));
        z.insert(z.end(), rgbRows.begin() + pos, rgbRows.begin() + pos + n);
        pos += n;
    } while (pos < rgbRows.size());
    PutBE32(z, (b << 16) | a);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", {});
    return png;
}

}  // namespace

bool SaveWindowPng(HWND window, const std::string& path) {
    RECT r{};
    if (!GetWindowRect(window, &r)) return false;
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return false;

    ScreenDc screen;
    std::unique_ptr<HDC__, DcDeleter> memory(CreateCompatibleDC(screen.dc));
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    GdiObject dib{CreateDIBSection(screen.dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0)};
    if (!dib.object || !bits) return false;
    {
        Selection sel{memory.get(), SelectObject(memory.get(), dib.object)};
        if (!BitBlt(memory.get(), 0, 0, width, height, screen.dc, r.left, r.top, SRCCOPY | CAPTUREBLT)) return false;
        GdiFlush();
    }

    std::vector<uint8_t> rows;
    rows.reserve(size_t(height) * (size_t(width) * 3 + 1));
    const auto* px = static_cast<const uint8_t*>(bits);
    for (int y = 0; y < height; ++y) {
        rows.push_back(0);  // filter: none
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = px + (size_t(y) * width + x) * 4;
            rows.push_back(p[2]);
            rows.push_back(p[1]);
            rows.push_back(p[0]);
        }
    }
    const auto png = EncodePng(width, height, rows);
    const std::wstring file = HostPath(path);
    for (size_t slash = file.find(L'\\', 3); slash != std::wstring::npos; slash = file.find(L'\\', slash + 1))
        CreateDirectoryW(file.substr(0, slash).c_str(), nullptr);
    FILE* f = _wfopen(file.c_str(), L"wb");
    if (!f) return false;
    const bool ok = fwrite(png.data(), 1, png.size(), f) == png.size();
    return fclose(f) == 0 && ok;
}

}  // namespace quorin::gui
