#include <windows.h>

#include "forms/Handles.h"
#include "skin/resources/Bitmap.h"

namespace quorin {

// A bottom-up DIB section: GDI can select it into a memory DC and blit it to a window,
// while the CPU writes the same memory through ScanLine.
uint8_t* AllocatePixels(int32_t width, int32_t height, int bitsPerPixel, void** handle) {
    *handle = nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: bottom-up rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bitsPerPixel);
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    TGdiObject<HBITMAP> bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return nullptr;
    // A fresh DIB section is zeroed by the system already.
    *handle = bitmap.Release();
    return static_cast<uint8_t*>(bits);
}

void ReleasePixels(uint8_t*, void* handle) {
    if (handle) DeleteObject(static_cast<HBITMAP>(handle));
}

// GDI may batch drawing calls; flushing makes their results visible in the pixel memory.
void SyncPixels() { GdiFlush(); }

}  // namespace quorin
