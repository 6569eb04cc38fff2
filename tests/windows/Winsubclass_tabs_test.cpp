// Tab painters on the real main window and on tab controls with the tabs at every side:
// what the screen shows against the skin's tab pictures, switching pages by mouse and
// keyboard, close buttons, and skins without tab pictures. Also the track bar.
#include "SkinPainterTest.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

#include "forms/ComCtrls.h"
#include "forms/StdCtrls.h"

namespace quorin::painters {
namespace {

// The colour of the tab picture's frame (from 1) one pixel inside its outer edge, in the
// middle: the accent line of the current tab, the plain top of the others.
TColor TabEdgeColor(const TSkinData& skin, int frame) {
    const TBitmap& map = skin.Tabs->Map;
    const int fw = map.Width() / (skin.Tabs->Frame > 0 ? skin.Tabs->Frame : 5);
    return map.Pixel((frame - 1) * fw + fw / 2, 1);
}

RECT TabRect(HWND tabs, int index) {
    RECT r{};
    SendMessageW(tabs, TCM_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&r));
    return r;
}

// Whether the band along the tab's outer edge shows the colour, on the screen.
bool EdgeShows(HWND tabs, int index, TTabSide side, TColor color) {
    const RECT r = TabRect(tabs, index);
    for (int d = -2; d <= 4; ++d) {
        POINT p{};
        switch (side) {
        case tsTop: p = {(r.left + r.right) / 2, r.top + d}; break;
        case tsBottom: p = {(r.left + r.right) / 2, r.bottom - 1 - d}; break;
        case tsLeft: p = {r.left + d, (r.top + r.bottom) / 2}; break;
        case tsRight: p = {r.right - 1 - d, (r.top + r.bottom) / 2}; break;
        }
        if (Near(ScreenPixel(ToScreen(tabs, p)), color, 4)) return true;
    }
    return false;
}

// The colour in the middle of the tab picture's frame (from 1): white for the current tab,
// the plain grey of the others.
TColor TabFillColor(const TSkinData& skin, int frame) {
    const TBitmap& map = skin.Tabs->Map;
    const int fw = map.Width() / (skin.Tabs->Frame > 0 ? skin.Tabs->Frame : 5);
    return map.Pixel((frame - 1) * fw + fw / 2, map.Height() / 2);
}

// A point inside the tab, clear of its caption: near the start of the tab along the strip,
// halfway across it.
POINT FillProbe(HWND tabs, int index, TTabSide side) {
    const RECT r = TabRect(tabs, index);
    const int midX = (r.left + r.right) / 2, midY = (r.top + r.bottom) / 2;
    switch (side) {
    case tsLeft: return POINT{midX, r.bottom - 4};
    case tsRight: return POINT{midX, r.top + 3};
    default: return POINT{r.left + 3, midY + 1};
    }
}

// The current tab shows frame 2 of the picture, every other tab frame 1.
void ExpectTabFrames(const TSkinData& skin, HWND tabs, TTabSide side) {
    const int current = int(SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
    const int count = int(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const TColor seen = ScreenPixel(ToScreen(tabs, FillProbe(tabs, i, side)));
        EXPECT_TRUE(Near(TabFillColor(skin, i == current ? 2 : 1), seen, 6))
            << "tab " << i << (i == current ? " (current)" : "") << " shows " << std::hex << seen;
    }
}

// Dark pixels within a control's bounds on its parent: text was drawn there.
int InkIn(TControl* control) {
    RECT r = control->BoundsRect();
    HWND parent = control->Parent()->Handle();
    MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&r), 2);
    TBitmap shot = GrabScreen(r);
    int ink = 0;
    for (int y = 0; y < shot.Height(); ++y)
        for (int x = 0; x < shot.Width(); ++x) {
            const TColor c = shot.Pixel(x, y);
            if ((c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF) < 300) ++ink;
        }
    return ink;
}

class TabPainters : public SkinnedMainWindow {
protected:
    // The applier's control walk over the main window: tab painters on every page control
    // and page (and the painters of the other controls beside them).
    void SkinMainWindowPages() {
        Skin->InitControls(Form);
        for (int i = 0; i < Form->ComponentCount(); ++i) {
            auto* c = dynamic_cast<TWinControl*>(Form->Components(i));
            if (!c || !c->HandleAllocated()) continue;
            TSkinControl* p = Skin->Lookupcontrol(c->Handle());
            if (dynamic_cast<TPageControl*>(c)) {
                EXPECT_TRUE(p && p->ClassName() == "TSkinTab") << c->Name();
            } else if (dynamic_cast<TTabSheet*>(c)) {
                EXPECT_TRUE(p && p->ClassName() == "TSkinTabSheet") << c->Name();
            }
        }
        RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump(100);
    }
    TSkinTab* PainterOf(TWinControl* control) {
        return dynamic_cast<TSkinTab*>(Skin->Lookupcontrol(control->Handle()));
    }
};

TEST_F(TabPainters, MainWindowPagesAreDrawnFromTheSkinWithLegibleLabels) {
    SkinMainWindowPages();
    const TSkinData& skin = *Form->SkinData1;
    // Every page of the inner page control in turn, labels checked on each.
    TPageControl* inner = Form->PageControlQUORINQ1;
    for (int page = 0; page < inner->PageCount(); ++page) {
        TTabSheet* sheet = inner->Pages(page);
        if (!sheet->TabVisible()) continue;
        inner->SetActivePage(sheet);
        Pump(80);
        SCOPED_TRACE(sheet->Caption());
        ExpectTabFrames(skin, Form->PageControlCANConfig->Handle(), tsTop);
        ExpectTabFrames(skin, inner->Handle(), tsTop);
        for (int i = 0; i < sheet->ControlCount(); ++i) {
            auto* label = dynamic_cast<TLabel*>(sheet->Controls(i));
            if (label && label->Visible() && !label->Caption().empty()) {
                EXPECT_GT(InkIn(label), 10) << label->Name() << " not legible";
            }
        }
        SaveShot(Form->Handle(), "main-window-page-" + std::to_string(page));
    }
}

TEST_F(TabPainters, PagesSwitchByMouseAndArrowKeys) {
    SkinMainWindowPages();
    TPageControl* pages = Form->PageControlQUORINQ1;
    HWND tabs = pages->Handle();
    const int first = pages->TabIndex();
    const int count = int(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    ASSERT_GE(count, 2);
    const int target = (first + 1) % count;
    const RECT r = TabRect(tabs, target);
    ClickAt(ToScreen(tabs, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
    EXPECT_EQ(target, pages->TabIndex());
    EXPECT_EQ(pages->ActivePage()->TabIndex(), target);
    ExpectTabFrames(*Form->SkinData1, tabs, tsTop);
    // The click focused the strip; the arrow keys turn the pages.
    EXPECT_EQ(tabs, GetFocus());
    PressKey(VK_LEFT);
    EXPECT_EQ(first, pages->TabIndex());
    PressKey(VK_RIGHT);
    EXPECT_EQ(target, pages->TabIndex());
    EXPECT_EQ(pages->ActivePage()->TabIndex(), target);
    ExpectTabFrames(*Form->SkinData1, tabs, tsTop);
}

// A DC that already carries an offset (a transparent control painting its parent's
// background into its own DC) keeps it: the strip lands under the control, not with its
// corner at the control's corner.
TEST_F(TabPainters, StripKeepsTheOffsetTheDCCarries) {
    SkinMainWindowPages();
    TSkinTab* painter = PainterOf(Form->PageControlCANConfig);
    ASSERT_NE(nullptr, painter);
    RECT r;
    GetWindowRect(painter->FHandle, &r);
    OffsetRect(&r, -r.left, -r.top);
    TBitmap whole(r.right, r.bottom), part(r.right, r.bottom);
    {
        TBitmapDC dc(whole);
        painter->DrawControl(dc.Handle(), r);
    }
    const POINT at{r.right / 3, 6};
    {
        TBitmapDC dc(part);
        SetViewportOrgEx(dc.Handle(), -at.x, -at.y, nullptr);
        painter->DrawControl(dc.Handle(), r);
    }
    int same = 0, total = 0;
    for (int y = 0; y < r.bottom - at.y; y += 3)
        for (int x = 0; x < r.right - at.x; x += 5, ++total)
            same += part.Pixel(x, y) == whole.Pixel(x + at.x, y + at.y);
    EXPECT_GT(same, total * 98 / 100) << same << " of " << total;
}

// Columns from the first to the last pixel of text inside the area of the picture: a
// pixel that differs clearly from the row's background at the area's left edge.
int InkWidth(const TBitmap& b, const RECT& area) {
    auto differs = [](TColor a, TColor c) {
        int d = 0;
        for (int shift : {0, 8, 16}) d += std::abs(int((a >> shift) & 0xFF) - int((c >> shift) & 0xFF));
        return d > 90;
    };
    int first = -1, last = -1;
    const int left = std::max(0, int(area.left));
    for (int x = left; x < std::min(b.Width(), int(area.right)); ++x)
        for (int y = std::max(0, int(area.top)); y < std::min(b.Height(), int(area.bottom)); ++y) {
            if (differs(b.Pixel(x, y), b.Pixel(left, y))) {
                if (first < 0) first = x;
                last = x;
                break;
            }
        }
    return first < 0 ? 0 : last - first + 1;
}

TBitmap Composed(TSkinControl* painter) {
    RECT r;
    GetWindowRect(painter->FHandle, &r);
    OffsetRect(&r, -r.left, -r.top);
    TBitmap b(r.right, r.bottom);
    TBitmapDC dc(b);
    painter->DrawControl(dc.Handle(), r);
    return b;
}

// "&" in a caption as the native control shows it: a tab takes it as the prefix of an
// underlined letter ("W&W" as wide as "WW"), a status bar panel shows it as it is.
TEST_F(TabPainters, AmpersandsAsTheNativeControlsShowThem) {
    SkinMainWindowPages();
    auto* tabs = new TTabControl(Form);
    tabs->SetParent(Form->TabSheet26);
    Form->PageControlQUORINQ1->SetActivePage(Form->TabSheet26);
    tabs->SetBounds(20, 10, 300, 120);
    for (const char* t : {"WW", "W&W"}) tabs->Tabs().Add(t);
    tabs->SetTabs(tabs->Tabs());
    Pump(40);
    auto* tabPainter = Attach<TSkinTab>("TSkinTab", tabs, 2);
    const TBitmap strip = Composed(tabPainter);
    auto textBand = [&](int index) {
        RECT r = TabRect(tabs->Handle(), index);
        InflateRect(&r, -4, -3);
        return r;
    };
    const int plainTab = InkWidth(strip, textBand(0)), prefixedTab = InkWidth(strip, textBand(1));
    EXPECT_GT(plainTab, 6);
    EXPECT_NEAR(prefixedTab, plainTab, 1) << "the tab shows W&W as an underlined WW";

    TSkinControl* bar = Skin->Lookupcontrol(Form->StatusBar1->Handle());
    ASSERT_NE(nullptr, bar);
    RECT part{};
    SendMessageW(bar->FHandle, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&part));
    InflateRect(&part, -2, -2);
    auto panelInk = [&](const wchar_t* text) {
        SendMessageW(bar->FHandle, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(text));
        return InkWidth(Composed(bar), part);
    };
    const int plainPanel = panelInk(L"WW"), ampersandPanel = panelInk(L"W&W");
    EXPECT_GT(plainPanel, 6);
    EXPECT_GE(ampersandPanel, plainPanel + 4) << "the panel shows the ampersand";
    delete tabs;
}

// The pane is composed once for a size and copied on later paints: it follows the control
// when it grows.
TEST_F(TabPainters, PaneFollowsTheControlsSize) {
    auto* tabs = new TTabControl(Form);
    tabs->SetParent(Form->TabSheet26);
    Form->PageControlQUORINQ1->SetActivePage(Form->TabSheet26);
    tabs->SetBounds(20, 10, 200, 120);
    for (const char* t : {"One", "Two"}) tabs->Tabs().Add(t);
    tabs->SetTabs(tabs->Tabs());
    Pump(40);
    auto* painter = Attach<TSkinTab>("TSkinTab", tabs, 2);
    // The pane's bottom-right corner, 3 pixels in: a corner of the picture, copied as it is.
    auto corner = [&](const TBitmap& b) { return b.Pixel(b.Width() - 3, b.Height() - 3); };
    TBitmap first;
    painter->Compose(first);
    const TColor expected = painter->FPaneMap.Pixel(painter->FPaneMap.Width() - 3, painter->FPaneMap.Height() - 3);
    EXPECT_EQ(corner(first), expected);
    TBitmap again;
    painter->Compose(again);
    EXPECT_EQ(again.Pixel(100, 80), first.Pixel(100, 80)) << "the same pane on the next paint";
    tabs->SetBounds(20, 10, 260, 170);
    Pump(40);
    TBitmap grown;
    painter->Compose(grown);
    ASSERT_EQ(grown.Width(), first.Width() + 60);
    ASSERT_EQ(grown.Height(), first.Height() + 50);
    EXPECT_EQ(corner(grown), expected) << "the corner moved with the control";
    delete tabs;
}

// Tabs at every side of a tab control with a label on it: the pictures turn with the side,
// and the label is painted again over the composed control.
class TabSides : public TabPainters, public testing::WithParamInterface<TTabPosition> {};

TEST_P(TabSides, DrawnFromTheTurnedPictures) {
    auto* tabs = new TTabControl(Form);
    tabs->SetParent(Form->TabSheet26);
    Form->PageControlQUORINQ1->SetActivePage(Form->TabSheet26);
    tabs->SetBounds(20, 10, 300, 200);
    tabs->SetTabPosition(GetParam());
    for (const char* t : {"转换参数", "Second", "Third"}) tabs->Tabs().Add(t);
    tabs->SetTabs(tabs->Tabs());
    tabs->SetTabIndex(1);
    auto* label = new TLabel(Form);
    label->SetParent(tabs);
    label->SetBounds(110, 90, 80, 13);
    label->SetCaption("标签文字");
    Pump(40);
    auto* painter = Attach<TSkinTab>("TSkinTab", tabs, 2);
    Pump(80);
    const TTabSide side = TTabSide(int(GetParam()));
    EXPECT_EQ(side, painter->FSide);
    ExpectTabFrames(*Form->SkinData1, tabs->Handle(), side);
    EXPECT_GT(InkIn(label), 10);
    SaveShot(tabs->Handle(), "tab-control-side-" + std::to_string(int(side)));
}

INSTANTIATE_TEST_SUITE_P(Sides, TabSides,
                         testing::Values(TTabPosition::tpTop, TTabPosition::tpBottom, TTabPosition::tpLeft,
                                         TTabPosition::tpRight));

// A page control with Tag 7777: a click on a tab's close button sends CN_TabClose with the
// tab's index to the skinned window; a press released elsewhere sends nothing.
class CloseButtons : public TabPainters, public testing::WithParamInterface<int> {};

TEST_P(CloseButtons, ClickSendsTabCloseWithTheIndex) {
    auto* pages = new TPageControl(Form);
    pages->SetParent(Form->TabSheet26);
    Form->PageControlQUORINQ1->SetActivePage(Form->TabSheet26);
    pages->SetBounds(10, 10, 400, 150);
    pages->SetTag(TagTabClose);
    for (const char* t : {"First", "第二页", "Third"}) {
        auto* sheet = new TTabSheet(Form);
        sheet->SetPageControl(pages);
        sheet->SetCaption(t);
    }
    pages->SetActivePageIndex(0);
    Pump(40);
    auto* painter = Attach<TSkinTab>("TSkinTab", pages);
    ASSERT_TRUE(painter->FCloseButtons);
    Pump(80);
    std::vector<std::pair<WPARAM, LPARAM>> closed;
    TWndMethod formProc = Form->WindowProc;
    Form->WindowProc = [&](TMessage& m) {
        if (m.Msg == CN_TabClose) closed.emplace_back(m.WParam, m.LParam);
        formProc(m);
    };
    const int index = GetParam();
    RECT tab = TabRect(pages->Handle(), index);
    OffsetRect(&tab, 0, 1);
    const RECT cross = painter->CloseRect(tab);
    const POINT at = ToScreen(pages->Handle(), POINT{(cross.left + cross.right) / 2, (cross.top + cross.bottom) / 2});
    // The caption stays clear of the cross.
    SaveShot(pages->Handle(), "close-buttons");
    DragFromTo(at, POINT{at.x, at.y + 60}, 2);
    EXPECT_TRUE(closed.empty()) << "released away from the button";
    ClickAt(at);
    ASSERT_EQ(1u, closed.size());
    EXPECT_EQ(reinterpret_cast<WPARAM>(pages->Handle()), closed[0].first);
    EXPECT_EQ(LPARAM(index), closed[0].second);
    EXPECT_EQ(0, pages->ActivePageIndex()) << "the close button does not switch pages";
    Form->WindowProc = formProc;
}

INSTANTIATE_TEST_SUITE_P(Tabs, CloseButtons, testing::Values(0, 1, 2));

// A skin without a usable tab or pane picture leaves the page control native.
enum class TBrokenTabs { NoTabs, EmptyTabs, PaneStyleWithoutPane, NoBorder };
class MissingTabPictures : public TabPainters, public testing::WithParamInterface<TBrokenTabs> {};

TEST_P(MissingTabPictures, LeaveThePageControlNative) {
    auto skin = CopySkin();
    TColor accent = TabEdgeColor(*skin, 2);
    switch (GetParam()) {
    case TBrokenTabs::NoTabs: skin->Tabs.reset(); break;
    case TBrokenTabs::EmptyTabs: skin->Tabs->Map.Clear(); break;
    case TBrokenTabs::PaneStyleWithoutPane:
        skin->Tabs->Style = 1;
        skin->TabPane.reset();
        break;
    case TBrokenTabs::NoBorder: skin->Tabs->Map2.Clear(); break;
    }
    TPageControl* pages = Form->PageControlCANConfig;
    auto* painter = Attach<TSkinTab>("TSkinTab", pages, 0, skin.get());
    Pump(80);
    EXPECT_FALSE(painter->Drawable());
    EXPECT_FALSE(EdgeShows(pages->Handle(), pages->TabIndex(), tsTop, accent)) << "the native tab shows";
    delete painter;
}

INSTANTIATE_TEST_SUITE_P(Skins, MissingTabPictures,
                         testing::Values(TBrokenTabs::NoTabs, TBrokenTabs::EmptyTabs, TBrokenTabs::PaneStyleWithoutPane,
                                         TBrokenTabs::NoBorder));

// The track bar's thumb from the skin, through the control's custom draw; without thumb
// pictures the native thumb stays.
class TrackBarThumb : public TabPainters, public testing::WithParamInterface<bool> {};

TEST_P(TrackBarThumb, DrawnFromTheSkinOnlyWhenItHasThePicture) {
    auto skin = CopySkin();
    const bool skinned = GetParam();
    const TDataSkinObject& picture = *skin->TrackbarThumbDown;
    const int fw = picture.Map.Width() / 5;
    const TColor fill = picture.Map.Pixel(fw / 2, picture.Map.Height() / 3);
    if (!skinned) {
        skin->TrackbarThumbDown.reset();
        skin->TrackbarThumbHorz->Map.Clear();
    }
    Form->PageControlQUORINQ1->SetActivePage(Form->TabSheet26);
    auto* track = new TTrackBar(Form);
    track->SetParent(Form->TabSheet26);
    track->SetBounds(20, 20, 200, 40);
    track->SetPosition(5);
    Pump(30);
    Attach("TSkinTrackBar", track, 0, skin.get());
    track->Invalidate();
    Pump(80);
    RECT thumb{};
    SendMessageW(track->Handle(), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const POINT centre =
        ToScreen(track->Handle(), POINT{(thumb.left + thumb.right) / 2, thumb.top + (thumb.bottom - thumb.top) / 3});
    EXPECT_EQ(skinned, Near(fill, ScreenPixel(centre)));
    // Dragging the skinned thumb still moves the position.
    const int before = track->Position();
    DragFromTo(centre, POINT{centre.x + 60, centre.y});
    EXPECT_GT(track->Position(), before);
}

INSTANTIATE_TEST_SUITE_P(Skins, TrackBarThumb, testing::Bool());

// Figure for the closing note: composing the main window's outer tab strip and pane.
TEST_F(TabPainters, FigureTabStripPaint) {
    if (!std::getenv("QUORIN_FIGURES")) GTEST_SKIP() << "set QUORIN_FIGURES=1 to measure";
    SkinMainWindowPages();
    TSkinTab* painter = PainterOf(Form->PageControlCANConfig);
    ASSERT_NE(nullptr, painter);
    HDC dc = GetWindowDC(painter->FHandle);
    RECT r;
    GetWindowRect(painter->FHandle, &r);
    OffsetRect(&r, -r.left, -r.top);
    const double us = MicrosPerCall(200, [&] { painter->DrawControl(dc, r); });
    ReleaseDC(painter->FHandle, dc);
    RecordProperty("tab_strip_paint_us", std::to_string(us));
    std::printf("[figures] main window tab control painted (strip and pane, composed and copied): %.1f us\n", us);
}

}  // namespace
}  // namespace quorin::painters
