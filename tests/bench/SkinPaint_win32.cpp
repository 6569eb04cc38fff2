// Paint times of the skin on the program's main window against the native drawing of the
// same windows: a push button, a combo box, the current page, the frame; and the frame's
// region and the menu row, which have no native counterpart. Each figure is the median of
// several batches, so that the load of a shared machine falls on both sides alike; the
// ratios are what to compare between builds. Run by tools/bench_paint.sh under Wine.
#include <windows.h>

#include <chrono>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "app/UnitCANConfig.h"
#include "forms/Dpi.h"
#include "forms/Forms.h"
#include "skin/apply/Winskindlg.h"
#include "skin/apply/Winskinform.h"
#include "skin/apply/Winskinmenu.h"
#include "skin/resources/Gdi_win32.h"
#include "skin/resources/Skinmanage.h"
#include "skin/resources/Winskindata.h"
#include "SkinTestSupport.h"

using namespace quorin;

namespace {

// Microseconds per call: the median of Batches batches of Calls calls each.
double MedianMicros(int Batches, int Calls, const std::function<void()>& Work) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    std::vector<double> batch;
    for (int b = 0; b < Batches; ++b) {
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        for (int i = 0; i < Calls; ++i) Work();
        GdiFlush();
        QueryPerformanceCounter(&t1);
        batch.push_back(double(t1.QuadPart - t0.QuadPart) * 1e6 / double(f.QuadPart) / Calls);
    }
    std::sort(batch.begin(), batch.end());
    return batch[batch.size() / 2];
}

// The window as the native control draws it, into a memory DC.
void PrintNative(HWND Window, HDC DC) {
    SendMessageW(Window, WM_PRINT, reinterpret_cast<WPARAM>(DC), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
}

void Redraw(HWND Window, UINT Extra) {
    RedrawWindow(Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | Extra);
}

TSkinControl* PainterOf(TWinSkinForm& Applier, HWND Window) {
    for (TSkinControl* p : Applier.ControlList())
        if (p->FHandle == Window) return p;
    return nullptr;
}

void Row(const char* What, double Native, double Skinned) {
    if (Native > 0)
        std::printf("%-34s native %9.1f us  skinned %9.1f us  ratio %5.2f\n", What, Native, Skinned, Skinned / Native);
    else
        std::printf("%-34s %26s %9.1f us\n", What, "skinned", Skinned);
}

}  // namespace

int main(int argc, char** argv) {
    const int batches = argc > 1 ? std::max(3, atoi(argv[1])) : 9;
    Application->Initialize();
    auto* form = new TFormCANConfig(Application);
    // The bench skins the window itself, at a moment of its choosing: the program's manager
    // stays out of it.
    if (SkinManager) {
        SkinManager->FAction = 0;
        SkinManager->FSkinData = nullptr;
        SkinManager->FSkinning = false;
        SkinManager->FEnabled = false;
    }
    form->Show();
    skintest::PumpMessages(300);
    const HWND window = form->Handle();
    const HWND button = form->ButtonReadParameter->Handle();
    const HWND combo = form->ComboBoxCommIndex->Handle();
    RECT br, cr;
    GetWindowRect(button, &br);
    GetWindowRect(combo, &cr);
    TBitmap target(form->Width() + 64, form->Height() + 64);
    TBitmapDC dc(target);

    const double nativeButton = MedianMicros(batches, 200, [&] { PrintNative(button, dc.Handle()); });
    const double nativeCombo = MedianMicros(batches, 200, [&] { PrintNative(combo, dc.Handle()); });
    const double nativePage = MedianMicros(batches, 10, [&] { Redraw(window, 0); });
    const double nativeFrame = MedianMicros(batches, 50, [&] { Redraw(window, RDW_FRAME); });

    auto* applier = new TWinSkinForm(form);
    applier->SetHandle(window);
    applier->InitTform(form->SkinData1, form);
    PostMessageW(window, CN_SkinActive, 0, 1000);
    skintest::PumpMessages(300);
    if (applier->FStatus != sfsSkinned) {
        std::fprintf(stderr, "the main window was not skinned\n");
        return 1;
    }
    TSkinControl* buttonPainter = PainterOf(*applier, button);
    TSkinControl* comboPainter = PainterOf(*applier, combo);
    if (!buttonPainter || !comboPainter) {
        std::fprintf(stderr, "no painter on the button or the combo box\n");
        return 1;
    }
    const double skinnedButton = MedianMicros(batches, 200, [&] { buttonPainter->PaintControl(dc.Handle()); });
    const double skinnedCombo = MedianMicros(batches, 200, [&] { comboPainter->PaintControl(dc.Handle()); });
    const double skinnedPage = MedianMicros(batches, 10, [&] { Redraw(window, 0); });
    const double skinnedFrame = MedianMicros(batches, 50, [&] { Redraw(window, RDW_FRAME); });
    const double framePaint = MedianMicros(batches, 50, [&] { applier->UpdateNc(nullptr); });
    RECT wr;
    GetWindowRect(window, &wr);
    const double region =
        MedianMicros(batches, 50, [&] { DeleteObject(applier->BuildRegion(wr.right - wr.left, wr.bottom - wr.top)); });
    double menuRow = 0;
    if (applier->FMenuBar)
        menuRow = MedianMicros(batches, 200, [&] {
            applier->FMenuBar->DrawMenu(dc.Handle(), RECT{4, 30, wr.right - wr.left - 4, 30 + applier->FMenuHeight});
        });

    std::printf("main window %ldx%ld, medians of %d batches\n", wr.right - wr.left, wr.bottom - wr.top, batches);
    Row("push button paint", nativeButton, skinnedButton);
    Row("combo box paint", nativeCombo, skinnedCombo);
    Row("current page repaint", nativePage, skinnedPage);
    Row("frame repaint", nativeFrame, skinnedFrame);
    Row("frame composed (UpdateNc)", 0, framePaint);
    Row("frame region built", 0, region);
    if (applier->FMenuBar) Row("menu row drawn", 0, menuRow);

    // The same window at 200 %, as the system tells it on a monitor of that scale: the page
    // and the frame against 100 % (about the area's ratio of 4 is what to expect).
    {
        const auto made = std::chrono::steady_clock::now();
        RECT suggested{wr.left, wr.top, wr.left + 2 * (wr.right - wr.left), wr.top + 2 * (wr.bottom - wr.top)};
        SendMessageW(window, kWmDpiChanged, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
        const double change =
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - made).count();
        skintest::PumpMessages(300);
        RECT w2;
        GetWindowRect(window, &w2);
        const double page200 = MedianMicros(batches, 10, [&] { Redraw(window, 0); });
        const double frame200 = MedianMicros(batches, 50, [&] { applier->UpdateNc(nullptr); });
        std::printf("at 200 %%: main window %ldx%ld, the change itself %.0f us (skin pictures made once)\n",
                    w2.right - w2.left, w2.bottom - w2.top, change);
        std::printf("%-34s 100 %% %9.1f us  200 %% %9.1f us  ratio %5.2f\n", "current page repaint", skinnedPage,
                    page200, page200 / skinnedPage);
        std::printf("%-34s 100 %% %9.1f us  200 %% %9.1f us  ratio %5.2f\n", "frame composed (UpdateNc)", framePaint,
                    frame200, frame200 / framePaint);
    }

    applier->UnSubclass();
    delete applier;
    delete form;
    return 0;
}
