// The skin data component on Windows: the skin the program carries in its main window's
// layout, loaded from the program's own resources, with the platform's icon, font,
// brush and the skin manager's timer.
#include "skin/resources/Winskindata.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "forms/LayoutLoader.h"
#include "forms/LayoutText.h"
#include "skin/apply/Skincaption.h"
#include "skin/apply/Skinclasses.h"
#include "skin/resources/Gdi_win32.h"
#include "SkinTestSupport.h"

namespace quorin {
namespace {

using skintest::ResourceText;

// Runs the thread's message loop for a while, so that thread timers fire.
void PumpMessages(DWORD milliseconds) {
    DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < milliseconds) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(5);
    }
}

class SkinDataWin : public ::testing::Test {
protected:
    void TearDown() override { FreeSkinManager(); }
};

TEST_F(SkinDataWin, ProgramCarriesTheDefaultSkinAndAppliesItOnTheTimer) {
    std::string text = ResourceText(L"TFORMCANCONFIG");
    ASSERT_FALSE(text.empty());
    LayoutObject form = ParseLayout(text);
    const LayoutObject* stored = form.Child("SkinData1");
    ASSERT_TRUE(stored);
    const LayoutProperty* stream = stored->Find("SkinStream");
    ASSERT_TRUE(stream);
    ASSERT_GT(stream->value.bytes.size(), 1000u) << "the build stores the packed skin in the layout";

    TSkinData skin(nullptr);
    int changed = 0;
    skin.OnSkinChanged = [&](TObject*) { ++changed; };
    skin.SetComponentState(csLoading, true);
    for (const LayoutProperty& p : stored->properties) ApplyLayoutProperty(&skin, p, nullptr);
    skin.SetComponentState(csLoading, false);
    ASSERT_FALSE(skin.Loading());
    skin.Loaded();
    EXPECT_TRUE(skin.GetActive());
    EXPECT_EQ(skin.SkinName, "Quorin Light");
    ASSERT_TRUE(skin.MenuItem && skin.Scrollbar && skin.Tabs && skin.ComboxArrow);
    EXPECT_EQ(skin.Scrollbar->Frame, 23);
    EXPECT_TRUE(skin.SkinControls.Contains(xcScrollbar));  // the platform reports scroll-bar geometry
    EXPECT_NE(skin.CaptionFont, nullptr);
    EXPECT_NE(skin.BtnFaceBrush, nullptr);
    // The program's icon, on magenta, at the small-icon size.
    ASSERT_FALSE(skin.AppIcon.Empty());
    EXPECT_EQ(skin.AppIcon.Width(), GetSystemMetrics(SM_CXSMICON));
    EXPECT_TRUE(skin.AppIcon.Transparent);

    // Skinning is requested, and carried out by the manager's timer from the message loop.
    ASSERT_TRUE(SkinManager);
    EXPECT_EQ(SkinManager->FAction, 1);
    EXPECT_FALSE(SkinManager->FSkinning);
    PumpMessages(600);
    EXPECT_TRUE(SkinManager->FSkinning);
    EXPECT_FALSE(SkinManager->TimerRunning());
    EXPECT_EQ(changed, 1);
}

TEST_F(SkinDataWin, SkinClassesAreKnownToTheLayoutLoader) {
    RegisterSkinClasses();
    TComponent root(nullptr);
    LoadLayoutText(&root,
                   "Root: TComponent {\n  SkinCaption1: TSkinCaption {\n    SkinAlpha = 200\n  }\n"
                   "  SkinData1: TSkinData {\n    DisableTag = 7\n  }\n}\n");
    auto* caption = dynamic_cast<TSkinCaption*>(root.FindComponent("SkinCaption1"));
    ASSERT_TRUE(caption);
    EXPECT_TRUE(caption->GetActive());
    EXPECT_EQ(SkinCaptionAlpha, 200);
    auto* skin = dynamic_cast<TSkinData*>(root.FindComponent("SkinData1"));
    ASSERT_TRUE(skin);
    EXPECT_EQ(skin->DisableTag, 7);
    EXPECT_FALSE(skin->GetActive());
}

TEST_F(SkinDataWin, WideTextIsDrawnThroughThePlatform) {
    TBitmap canvas(200, 40);
    canvas.Fill(0xFFFFFF);
    TRect rect{0, 0, 200, 40};
    int height;
    {
        TBitmapDC dc(canvas);
        height = Tnt_DrawTextW(dc.Handle(), u"QUORIN \u8F6C\u6362", rect, DT_SINGLELINE);
    }
    GdiFlush();
    EXPECT_GT(height, 0);
    bool inked = false;
    for (int x = 0; x < 200 && !inked; ++x)
        for (int y = 0; y < 40 && !inked; ++y) inked = canvas.Pixel(x, y) != 0xFFFFFF;
    EXPECT_TRUE(inked);
    EXPECT_GT(SystemMetricHScrollArrow(), 0);
}

}  // namespace
}  // namespace quorin
