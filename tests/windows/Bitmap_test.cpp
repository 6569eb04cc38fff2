// The DIB-section storage: what the CPU writes through ScanLine is what GDI sees, and back.
#include "skin/resources/Bitmap.h"

#include <gtest/gtest.h>

#include "skin/resources/Gdi_win32.h"

namespace quorin {
namespace {

TEST(BitmapDib, GdiSeesTheCpuPixelsAndTheCpuSeesGdiDrawing) {
    TBitmap b(5, 4);
    ASSERT_NE(nullptr, b.Handle());
    DIBSECTION info{};
    ASSERT_EQ(static_cast<int>(sizeof(info)), GetObjectW(b.Handle(), sizeof(info), &info));
    EXPECT_EQ(24, info.dsBm.bmBitsPixel);
    EXPECT_GT(info.dsBmih.biHeight, 0);  // bottom-up
    EXPECT_EQ(b.Bits(), info.dsBm.bmBits);

    b.SetPixel(1, 0, ColorFromRGB(200, 10, 20));
    TBitmapDC dc(b);
    ASSERT_NE(nullptr, dc.Handle());
    EXPECT_EQ(RGB(200, 10, 20), GetPixel(dc.Handle(), 1, 0));

    TGdiObject<HBRUSH> brush(CreateSolidBrush(RGB(1, 2, 3)));
    RECT r{2, 3, 4, 4};
    ::FillRect(dc.Handle(), &r, brush.Get());
    EXPECT_EQ(ColorFromRGB(1, 2, 3), b.Pixel(2, 3));
    EXPECT_EQ(ColorFromRGB(1, 2, 3), b.Pixel(3, 3));
    EXPECT_EQ(0, b.Pixel(4, 3));
}

TEST(BitmapDib, BlitBetweenBitmapsCopiesPixels) {
    TBitmap src(3, 3, pf32bit), dst(3, 3);
    src.Fill(0x00FF00);
    src.SetPixel(2, 2, 0x0000FF);
    {
        TBitmapDC s(src), d(dst);
        ASSERT_TRUE(BitBlt(d.Handle(), 0, 0, 3, 3, s.Handle(), 0, 0, SRCCOPY));
    }
    EXPECT_EQ(0x00FF00, dst.Pixel(0, 0));
    EXPECT_EQ(0x0000FF, dst.Pixel(2, 2));
}

}  // namespace
}  // namespace quorin
