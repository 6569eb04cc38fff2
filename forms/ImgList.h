// An image list: equal images cut from one bitmap strip, magenta transparent.
// Windows only.
#pragma once

#include "forms/Classes.h"

#include <windows.h>
#include <commctrl.h>

#include <vector>

namespace quorin {

class TImageList : public TComponent {
    QUORIN_CLASS(TImageList, TComponent)
public:
    explicit TImageList(TComponent* AOwner);
    ~TImageList() override;
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    int Count() const;
    // The native image list, made when first asked.
    HIMAGELIST Handle();
    // Replaces the images with those of a bitmap file's bytes (BMP, 24 or 32 bits per
    // pixel, or 8 with a palette), cut into Width x Height images left to right; magenta
    // is transparent. A malformed bitmap raises EInvalidGraphic and changes nothing.
    void SetBitmap(const std::vector<uint8_t>& BmpBytes);
    const std::vector<uint8_t>& Bitmap() const { return FBitmap; }
    void Clear();
    bool Draw(HDC DC, int X, int Y, int Index, bool Enabled = true);

private:
    void Rebuild();
    int FWidth = 16, FHeight = 16;
    std::vector<uint8_t> FBitmap;
    HIMAGELIST FHandle = nullptr;
};

class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

}  // namespace quorin
