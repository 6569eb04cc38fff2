#pragma once
// A memory DC that shows a TBitmap to GDI. Windows only.
#include <windows.h>

#include "forms/Handles.h"
#include "skin/resources/Bitmap.h"

namespace quorin {

// A memory DC with a bitmap's DIB section selected into it for the DC's lifetime, so the
// bitmap can be the source or target of blits. The bitmap must outlive the DC.
class TBitmapDC {
public:
    explicit TBitmapDC(const TBitmap& bitmap, HDC compatible = nullptr)
        : FDC(compatible), FSelected(FDC.Handle(), bitmap.Handle()) {}

    HDC Handle() const { return FDC.Handle(); }

private:
    TMemoryDC FDC;
    TSelectObject FSelected;
};

}  // namespace quorin
