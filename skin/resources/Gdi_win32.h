#pragma once
// Owning wrappers for the GDI objects that the skin engine creates, and a memory DC that
// shows a TBitmap to GDI. Windows only.
#include <windows.h>

#include <utility>

#include "skin/resources/Bitmap.h"

namespace quorin {

// Owns one GDI object (brush, pen, region, font, bitmap) and deletes it at the end of its scope.
template <class THandle>
class TGdiObject {
 public:
  TGdiObject() = default;
  explicit TGdiObject(THandle handle) : FHandle(handle) {}
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;
  TGdiObject(TGdiObject&& other) noexcept : FHandle(std::exchange(other.FHandle, nullptr)) {}
  TGdiObject& operator=(TGdiObject&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.FHandle, nullptr));
    return *this;
  }
  ~TGdiObject() { Reset(); }

  THandle Get() const { return FHandle; }
  explicit operator bool() const { return FHandle != nullptr; }
  // Gives the object away, for calls that take ownership (SetWindowRgn).
  THandle Release() { return std::exchange(FHandle, nullptr); }
  void Reset(THandle handle = nullptr) {
    if (FHandle) DeleteObject(FHandle);
    FHandle = handle;
  }

 private:
  THandle FHandle = nullptr;
};

using TRegionHandle = TGdiObject<HRGN>;
using TBrushHandle = TGdiObject<HBRUSH>;

// A memory DC with a bitmap's DIB section selected into it for the DC's lifetime, so the
// bitmap can be the source or target of blits. The bitmap must outlive the DC.
class TBitmapDC {
 public:
  explicit TBitmapDC(const TBitmap& bitmap, HDC compatible = nullptr)
      : FDC(CreateCompatibleDC(compatible)) {
    if (FDC && bitmap.Handle()) FOld = SelectObject(FDC, bitmap.Handle());
  }
  TBitmapDC(const TBitmapDC&) = delete;
  TBitmapDC& operator=(const TBitmapDC&) = delete;
  ~TBitmapDC() {
    if (!FDC) return;
    if (FOld) SelectObject(FDC, FOld);
    DeleteDC(FDC);
  }

  HDC Handle() const { return FDC; }

 private:
  HDC FDC = nullptr;
  HGDIOBJ FOld = nullptr;
};

}  // namespace quorin
