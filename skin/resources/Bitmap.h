#pragma once
// TBitmap: the pixel buffer that every skin image, composed picture and framework bitmap uses.
//
// The layout is that of a device-independent bitmap, so a picture composed here goes to a
// window in one blit: rows are stored bottom-up, each row padded to a multiple of 4 bytes,
// pixels as blue, green, red (and an unused fourth byte at 32 bits). ScanLine(y) hides the
// bottom-up order: row 0 is the top row. On Windows the memory belongs to a DIB section
// (Handle() gives it to GDI); elsewhere it is plain memory.
#include <cstddef>
#include <cstdint>

#include "forms/Color.h"
#include "skin/resources/Rect.h"

#ifdef _WIN32
// The same declarations as <windows.h>, so this header stays free of it.
struct HBITMAP__;
typedef HBITMAP__* HBITMAP;
#endif

namespace quorin {

enum TPixelFormat { pf24bit, pf32bit };

class TBitmap {
public:
    TBitmap() = default;
    TBitmap(int32_t width, int32_t height, TPixelFormat format = pf24bit);
    TBitmap(const TBitmap& other);
    TBitmap(TBitmap&& other) noexcept;
    TBitmap& operator=(const TBitmap& other);
    TBitmap& operator=(TBitmap&& other) noexcept;
    ~TBitmap();

    int32_t Width() const { return FWidth; }
    int32_t Height() const { return FHeight; }
    TPixelFormat PixelFormat() const { return FFormat; }
    int BytesPerPixel() const { return FFormat == pf32bit ? 4 : 3; }
    // Bytes from one row to the next in memory.
    size_t Stride() const { return FStride; }
    bool Empty() const { return FWidth <= 0 || FHeight <= 0; }
    TRect BoundsRect() const { return TRect{0, 0, FWidth, FHeight}; }

    // Changes the size. The pixels of the overlapping top-left part are kept; new ones are black.
    // A width or height of 0 (or less) leaves an empty bitmap. Throws std::bad_alloc when the
    // memory cannot be had.
    void SetSize(int32_t width, int32_t height);
    // Converts the pixels to the given format (24 <-> 32 bits); the fourth byte becomes 0.
    void SetPixelFormat(TPixelFormat format);
    // Releases the pixels; the bitmap becomes empty and keeps its format.
    void Clear();

    // Row y, counted from the top; null outside 0..Height-1.
    uint8_t* ScanLine(int32_t y);
    const uint8_t* ScanLine(int32_t y) const;
    // The whole buffer, bottom row first, as a device-independent bitmap expects it.
    uint8_t* Bits() { return FBits; }
    const uint8_t* Bits() const { return FBits; }

    // One pixel as a colour (red in the lowest byte). Reading outside the bitmap gives -1,
    // writing outside it does nothing; system colours are resolved before writing.
    TColor Pixel(int32_t x, int32_t y) const;
    void SetPixel(int32_t x, int32_t y, TColor color);
    // Fills the part of the rectangle that lies inside the bitmap.
    void FillRect(const TRect& rect, TColor color);
    void Fill(TColor color) { FillRect(BoundsRect(), color); }

    // What a user of the bitmap declares as its transparent colour (for example the
    // application icon with magenta); the drawing functions take their key colour explicitly.
    bool Transparent = false;
    TColor TransparentColor = KeyColor;

#ifdef _WIN32
    // The DIB section that holds the pixels (null when empty); the bitmap keeps ownership.
    HBITMAP Handle() const { return static_cast<HBITMAP>(FHandle); }
#endif

private:
    void Allocate(int32_t width, int32_t height, TPixelFormat format);
    void Release();
    // Completes pending platform drawing into the pixels before the CPU reads or writes them.
    void Sync() const;

    int32_t FWidth = 0;
    int32_t FHeight = 0;
    TPixelFormat FFormat = pf24bit;
    size_t FStride = 0;
    uint8_t* FBits = nullptr;
    void* FHandle = nullptr;  // platform storage (the DIB section on Windows)
};

// Bytes per row of a device-independent bitmap: padded to a multiple of 4.
constexpr size_t DibStride(int32_t width, int bitsPerPixel) {
    return ((static_cast<size_t>(width) * static_cast<size_t>(bitsPerPixel) + 31) / 32) * 4;
}

// Platform storage, one implementation per build (Bitmap_posix.cpp, Bitmap_win32.cpp).
// Allocates zeroed bottom-up pixel memory for width x height at bitsPerPixel; on failure
// returns null bits. Handle receives the platform object that owns the memory.
uint8_t* AllocatePixels(int32_t width, int32_t height, int bitsPerPixel, void** handle);
void ReleasePixels(uint8_t* bits, void* handle);
void SyncPixels();

}  // namespace quorin
