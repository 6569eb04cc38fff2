// Display scale on the real main window made from its stored layout, with the skin it
// carries: the window told that its DPI changed (as the system tells it when it moves to a
// monitor of another scale) scales every control, font, column and its client size from
// the stored values, the skinned frame follows, and going back gives the stored geometry
// to the pixel.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "app/UnitCANConfig.h"
#include "forms/ComCtrls.h"
#include "forms/Dpi.h"
#include "forms/Menus.h"
#include "forms/WinText.h"
#include "forms/StdCtrls.h"
#include "skin/apply/Winskinform.h"
#include "skin/apply/Winsubclass.h"
#include "skin/resources/Winskindata.h"
#include "SkinPainterTest.h"

namespace quorin {
namespace {

using painters::Pump;
using painters::PumpUntil;

// What a control shows: its rectangle in its parent's client area and its font's height.
struct TShown {
    RECT Rect{};
    LONG FontHeight = 0;
};

std::map<std::string, TShown> Shown(TCustomForm& Form) {
    std::map<std::string, TShown> out;
    for (int i = 0; i < Form.ComponentCount(); ++i) {
        auto* c = dynamic_cast<TWinControl*>(Form.Components(i));
        if (!c || !c->HandleAllocated()) continue;
        TShown s;
        GetWindowRect(c->Handle(), &s.Rect);
        MapWindowPoints(HWND_DESKTOP, GetParent(c->Handle()), reinterpret_cast<POINT*>(&s.Rect), 2);
        LOGFONTW lf{};
        if (HGDIOBJ f = HGDIOBJ(SendMessageW(c->Handle(), WM_GETFONT, 0, 0)); f && GetObjectW(f, sizeof lf, &lf))
            s.FontHeight = lf.lfHeight;
        out[c->Name()] = s;
    }
    return out;
}

SIZE ClientSize(HWND w) {
    RECT r{};
    GetClientRect(w, &r);
    return SIZE{r.right, r.bottom};
}

// The frame's sides: the window's width less its client width, and its top (title and menu row).
SIZE FrameSides(HWND w) {
    RECT window{}, client{};
    GetWindowRect(w, &window);
    GetClientRect(w, &client);
    POINT origin{0, 0};
    ClientToScreen(w, &origin);
    return SIZE{(window.right - window.left) - client.right, origin.y - window.top};
}

void ChangeDpi(HWND w, int Dpi, int From) {
    RECT r{};
    GetWindowRect(w, &r);
    const TDpiScale s{Dpi, From};
    RECT suggested{r.left, r.top, r.left + s.Scale(r.right - r.left), r.top + s.Scale(r.bottom - r.top)};
    SendMessageW(w, kWmDpiChanged, MAKEWPARAM(Dpi, Dpi), reinterpret_cast<LPARAM>(&suggested));
    Pump(100);
}

TWinSkinForm* ApplierOf(HWND w) { return FindSkinForm(w); }

class DpiChange : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Application->Initialize(); }
    void SetUp() override {
        Form = new TFormCANConfig(Application);
        Form->SetLeft(10);
        Form->SetTop(10);
        Form->Show();
        HWND w = Form->Handle();
        // The skin takes the window on its timer; its frame has 4-pixel sides.
        ASSERT_TRUE(PumpUntil([&] { return SendMessageW(w, CN_IsSkinned, 0, 0) == 1 && FrameSides(w).cx == 8; }, 8000))
            << "the carried skin did not take the window";
        Pump(200);
    }
    void TearDown() override {
        delete Form;
        Pump(50);
    }
    TFormCANConfig* Form = nullptr;
};

TEST_F(DpiChange, ScalesFromTheStoredValuesAndComesBackExactly) {
    HWND w = Form->Handle();
    ASSERT_EQ(DpiForWindow(w), 96) << "the test runs at 96 DPI";
    const auto stored = Shown(*Form);
    const SIZE storedClient = ClientSize(w);
    const SIZE storedFrame = FrameSides(w);
    EXPECT_EQ(storedClient.cx, 694);
    EXPECT_EQ(storedClient.cy, 419);
    TListView* list = nullptr;
    for (int i = 0; i < Form->ComponentCount() && !list; ++i) list = dynamic_cast<TListView*>(Form->Components(i));
    ASSERT_TRUE(list && list->Columns().Count() > 0);
    list->HandleNeeded();
    const int column = int(SendMessageW(list->Handle(), LVM_GETCOLUMNWIDTH, 0, 0));

    for (int dpi : {120, 192, 144}) {
        SCOPED_TRACE("at " + std::to_string(dpi) + " DPI");
        ChangeDpi(w, dpi, Form->FormDpiScale().Dpi);
        const TDpiScale s{dpi, 96};
        EXPECT_EQ(Form->FormDpiScale().Dpi, dpi);
        const SIZE client = ClientSize(w);
        EXPECT_NEAR(client.cx, s.Scale(694), 1);
        EXPECT_NEAR(client.cy, s.Scale(419), 1);
        for (const auto& [name, was] : Shown(*Form)) {
            const TShown& at96 = stored.at(name);
            SCOPED_TRACE(name);
            EXPECT_EQ(was.FontHeight, s.Scale(at96.FontHeight));
            // A page covers its page control's display area, which the tabs' font sets.
            if (dynamic_cast<TTabSheet*>(Form->FindComponent(name))) continue;
            EXPECT_NEAR(was.Rect.left, s.Scale(at96.Rect.left), 1);
            EXPECT_NEAR(was.Rect.top, s.Scale(at96.Rect.top), 1);
            EXPECT_NEAR(was.Rect.right - was.Rect.left, s.Scale(at96.Rect.right - at96.Rect.left), 1);
            // A combo box's closed height follows its font, not its stored height.
            if (!dynamic_cast<TComboBox*>(Form->FindComponent(name))) {
                EXPECT_NEAR(was.Rect.bottom - was.Rect.top, s.Scale(at96.Rect.bottom - at96.Rect.top), 1);
            }
        }
        EXPECT_EQ(int(SendMessageW(list->Handle(), LVM_GETCOLUMNWIDTH, 0, 0)), s.Scale(column));
        // The frame follows: the skin's sides and title strip at the new scale.
        TWinSkinForm* applier = ApplierOf(w);
        ASSERT_TRUE(applier);
        EXPECT_EQ(applier->FSkinData->DpiScale().Dpi, dpi);
        EXPECT_EQ(applier->FSkinData->DpiSource(), Form->SkinData1);
        const SIZE frame = FrameSides(w);
        EXPECT_EQ(frame.cx, s.Scale(Form->SkinData1->Left()->Map.Width() / FrameCount(Form->SkinData1->Left())) +
                                s.Scale(Form->SkinData1->Right()->Map.Width() / FrameCount(Form->SkinData1->Right())));
        EXPECT_EQ(applier->FSkinData->Top()->Map.Height() / FrameCount(applier->FSkinData->Top()),
                  s.Scale(Form->SkinData1->Top()->Map.Height() / FrameCount(Form->SkinData1->Top())));
        EXPECT_GT(frame.cy, storedFrame.cy);
        // The painters show the skin at the new scale once the change is over: a push
        // button's top edge is the button picture's row 1 at that scale (at 200 % still
        // its outline, at 100 % the face below it).
        if (auto* button = dynamic_cast<TWinControl*>(Form->FindComponent("ButtonOpenRS232"))) {
            const TBitmap& picture = applier->FSkinData->Buttons->Map;
            const int fw = picture.Width() / 5;
            RECT r{};
            GetClientRect(button->Handle(), &r);
            const TColor shown = painters::ScreenPixel(painters::ToScreen(button->Handle(), POINT{r.right / 2, 1}));
            bool found = false;
            for (int f = 0; f < 5; ++f) found = found || picture.Pixel(f * fw + fw / 2, 1) == shown;
            EXPECT_TRUE(found) << "the button shows " << std::hex << shown;
        }
        // A menu item is measured at least as wide as its text in the menu font of the new
        // DPI, the font it is drawn in (measured in a font of 96 DPI it was cut at 200 %).
        for (int i = 0; i < Form->ComponentCount(); ++i) {
            auto* item = dynamic_cast<TMenuItem*>(Form->Components(i));
            if (!item || !item->ShortCut() || !item->Command()) continue;
            MEASUREITEMSTRUCT mis{};
            mis.CtlType = ODT_MENU;
            mis.itemID = item->Command();
            SendMessageW(w, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
            NONCLIENTMETRICSW ncm{};
            ASSERT_TRUE(NonClientMetricsForDpi(ncm, dpi));
            const HFONT font = CreateFontIndirectW(&ncm.lfMenuFont);
            const HDC dc = GetDC(w);
            const HGDIOBJ was = SelectObject(dc, font);
            const std::wstring text = ToWide(item->Caption() + "    " + ShortCutToText(item->ShortCut()));
            SIZE size{};
            GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
            SelectObject(dc, was);
            ReleaseDC(w, dc);
            DeleteObject(font);
            EXPECT_GE(int(mis.itemWidth), size.cx) << item->Caption();
        }
    }

    ChangeDpi(w, 96, Form->FormDpiScale().Dpi);
    EXPECT_EQ(ClientSize(w).cx, storedClient.cx);
    EXPECT_EQ(ClientSize(w).cy, storedClient.cy);
    EXPECT_EQ(FrameSides(w).cx, storedFrame.cx);
    EXPECT_EQ(FrameSides(w).cy, storedFrame.cy);
    EXPECT_EQ(ApplierOf(w)->FSkinData, Form->SkinData1) << "at 96 DPI the skin's own pictures";
    for (const auto& [name, now] : Shown(*Form)) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(EqualRect(&now.Rect, &stored.at(name).Rect));
        EXPECT_EQ(now.FontHeight, stored.at(name).FontHeight);
    }
    EXPECT_EQ(int(SendMessageW(list->Handle(), LVM_GETCOLUMNWIDTH, 0, 0)), column);
}

}  // namespace
}  // namespace quorin
