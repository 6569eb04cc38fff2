// The primitives on device contexts and window regions, through GDI as the painters use them.
#include "skin/resources/Skindraw_win32.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorin {
namespace {

constexpr TColor kGreen = 0x00FF00;

std::vector<RECT> RegionRects(HRGN region) {
    const DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<uint8_t> buffer(size);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    if (!size || !GetRegionData(region, size, data)) return {};
    const RECT* r = reinterpret_cast<const RECT*>(data->Buffer);
    return std::vector<RECT>(r, r + data->rdh.nCount);
}

TEST(BitmapToRgn, SingleOpaquePixelBecomesOneRectangle) {
    TBitmap image(3, 1);
    image.Fill(KeyColor);
    image.SetPixel(1, 0, 0x0000FF);
    TGdiObject<HRGN> region = BitmapToRgn(image, 10, 20, KeyColor, 1, 1, 1);
    ASSERT_TRUE(region);
    const auto rects = RegionRects(region.Get());
    ASSERT_EQ(1u, rects.size());
    EXPECT_EQ(11, rects[0].left);
    EXPECT_EQ(20, rects[0].top);
    EXPECT_EQ(12, rects[0].right);
    EXPECT_EQ(21, rects[0].bottom);
}

TEST(BitmapToRgn, ThousandsOfRunsEndInOneRegionOnARealWindow) {
    // A 700 x 30 strip with a comb of 1-pixel teeth in every row: over 10000 runs.
    TBitmap image(700, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 700; ++x) image.SetPixel(x, y, (x + y) % 2 ? KeyColor : kGreen);
    TGdiObject<HRGN> region = BitmapToRgn(image, 0, 0, KeyColor, 1, 1, 1);
    ASSERT_TRUE(region);
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 700, 30, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    ASSERT_NE(0, SetWindowRgn(window, region.Release(), FALSE));
    TGdiObject<HRGN> copy(CreateRectRgn(0, 0, 0, 0));
    ASSERT_EQ(COMPLEXREGION, GetWindowRgn(window, copy.Get()));
    for (int y = 0; y < 30; y += 7)
        for (int x = 0; x < 700; x += 13)
            EXPECT_EQ((x + y) % 2 == 0, PtInRegion(copy.Get(), x, y) != 0) << x << "," << y;
    EXPECT_EQ(10500u, RegionRects(copy.Get()).size());
    DestroyWindow(window);
}

TEST(BitmapToRgn, ImageWithoutPixelsGivesAnEmptyRegion) {
    TBitmap image;
    TGdiObject<HRGN> region = BitmapToRgn(image, 0, 0, KeyColor, 1, 1, 1);
    ASSERT_TRUE(region);
    RECT box;
    EXPECT_EQ(NULLREGION, GetRgnBox(region.Get(), &box));
}

TEST(DrawOnDC, TransparentFrameKeepsWhatTheDCShowed) {
    TBitmap image(6, 3);  // two 3 x 3 frames
    image.Fill(0x0000FF);
    image.SetPixel(4, 1, KeyColor);
    TBitmap target(8, 8);
    target.Fill(kGreen);
    {
        TBitmapDC dc(target);
        DrawRect2(dc.Handle(), Rect(2, 2, 5, 5), image, Rect(1, 1, 1, 1), {.Frame = 2, .Frames = 2, .Trans = true});
    }
    EXPECT_EQ(0x0000FF, target.Pixel(2, 2));
    EXPECT_EQ(kGreen, target.Pixel(3, 3));
    EXPECT_EQ(0x0000FF, target.Pixel(4, 4));
    EXPECT_EQ(kGreen, target.Pixel(5, 5));
}

TEST(DrawOnDC, FrameOverhangingItsRectangleIsDrawnWhole) {
    TBitmap image(5, 5);
    image.Fill(0x0000FF);
    TBitmap target(10, 10);
    target.Fill(kGreen);
    {
        TBitmapDC dc(target);
        DrawRect3(dc.Handle(), Rect(4, 4, 5, 5), image, {});
    }
    EXPECT_EQ(kGreen, target.Pixel(1, 1));
    EXPECT_EQ(0x0000FF, target.Pixel(2, 2));
    EXPECT_EQ(0x0000FF, target.Pixel(6, 6));
    EXPECT_EQ(kGreen, target.Pixel(7, 7));
}

TEST(GradFillDC, PaintsOnlyInsideTheClipBox) {
    TBitmap target(4, 10);
    target.Fill(kGreen);
    {
        TBitmapDC dc(target);
        IntersectClipRect(dc.Handle(), 0, 3, 4, 6);
        GradFill(dc.Handle(), Rect(0, 0, 4, 10), 0x000000, 0x0000FF, 1);
    }
    const std::vector<TColor>& table = GradientTable(10, 0x000000, 0x0000FF);
    EXPECT_EQ(kGreen, target.Pixel(0, 2));
    for (int y = 3; y < 6; ++y) EXPECT_EQ(table[static_cast<size_t>(y)], target.Pixel(3, y)) << y;
    EXPECT_EQ(kGreen, target.Pixel(0, 6));
}

LRESULT CALLBACK GreenParent(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        RECT r;
        GetClientRect(window, &r);
        TGdiObject<HBRUSH> brush(CreateSolidBrush(RGB(0, 255, 0)));
        FillRect(reinterpret_cast<HDC>(wParam), &r, brush.Get());
        return 1;
    }
    if (message == WM_PAINT && wParam) {
        // A blue square at (10, 10)-(20, 20) of the parent.
        TGdiObject<HBRUSH> brush(CreateSolidBrush(RGB(0, 0, 255)));
        RECT r{10, 10, 20, 20};
        FillRect(reinterpret_cast<HDC>(wParam), &r, brush.Get());
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(DrawParentImage, ShowsTheParentUnderTheControl) {
    WNDCLASSW cls{};
    cls.lpfnWndProc = GreenParent;
    cls.lpszClassName = L"QuorinPixelsParent";
    RegisterClassW(&cls);
    HWND parent =
        CreateWindowExW(0, cls.lpszClassName, L"", WS_POPUP, 0, 0, 40, 40, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, parent);
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 15, 15, 10, 10, parent, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, child);
    TBitmap target(10, 10);
    {
        TBitmapDC dc(target);
        DrawParentImage(child, dc.Handle());
    }
    EXPECT_EQ(0xFF0000, target.Pixel(0, 0));  // parent (15, 15): inside the blue square
    EXPECT_EQ(0xFF0000, target.Pixel(4, 4));
    EXPECT_EQ(kGreen, target.Pixel(5, 5));  // parent (20, 20): outside it
    EXPECT_EQ(kGreen, target.Pixel(9, 9));
    DestroyWindow(parent);
    UnregisterClassW(cls.lpszClassName, nullptr);
}

}  // namespace
}  // namespace quorin
