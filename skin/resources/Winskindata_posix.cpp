// Without a window system: fixed metrics of a 96-dpi desktop, no fonts, brushes or icons.
#include "skin/resources/Winskindata.h"

namespace quorin {

bool Win32PlatformIsUnicode = false;

int32_t SystemMetricHScrollArrow() { return 17; }
void ScreenMaximizedSize(int32_t& width, int32_t& height) {
    width = 1288;
    height = 1002;
}
TPlatformFont MakeCaptionFont(int) { return nullptr; }
void FreeFontHandle(TPlatformFont) {}
TPlatformBrush MakeSolidBrush(TColor) { return nullptr; }
void FreeBrushHandle(TPlatformBrush) {}
bool DrawApplicationIcon(TBitmap&, int) { return false; }
bool PlatformHasScrollBarInfo() { return false; }
bool PlatformScrollBarInfo(TWindowHandle, int32_t, void*) { return false; }
void DoTrackMouse(TWindowHandle) {}
int Tnt_DrawTextW(void*, const std::u16string&, TRect&, uint32_t) { return 0; }

}  // namespace quorin
