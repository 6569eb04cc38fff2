#pragma once
// Owning wrappers for the GDI objects that the skin engine creates, and a memory DC that
// shows a TBitmap to GDI. Windows only.
#include <windows.h>

#include <utility>

#include "skin/resources/Bitmap.h"

namespace quorin {

// Owns one GDI object (brush, pen, region, font, bitmap) and deletes it at the end of its scope.
template <class THandle>
class TGdiHandle {
 public:
  TGdiHandle() = default;
  explicit TGdiHandle(THandle handle) : FHandle(handle) {}
  TGdiHandle(const TGdiHandle&) = delete;
  TGdiHandle& operator=(const TGdiHandle&) = delete;
  TGdiHandle(TGdiHandle&& other) noexcept : FHandle(std::exchange(other.FHandle, nullptr)) {}
  TGdiHandle& operator=(TGdiHandle&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.FHandle, nullptr));
    return *this;
  }
  ~TGdiHandle() { Reset(); }

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

using TRegionHandle = TGdiHandle<HRGN>;
using TBrushHandle = TGdiHandle<HBRUSH>;

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
