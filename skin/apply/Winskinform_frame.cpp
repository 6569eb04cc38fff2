// Frame sizes, the non-client size, hit testing, frame painting, the caption text and
// the window region.
#include "skin/apply/Winskinform.h"

#include <optional>

#include "forms/Dpi.h"
#include "forms/Forms.h"
#include "forms/WinText.h"
#include "skin/apply/Winskindlg.h"
#include "skin/resources/Gdi_win32.h"
#include "skin/resources/Skindraw_win32.h"
#include "skin/resources/Winskindata.h"

namespace quorin {

namespace {

// Frames of an element as a divisor: a skin that says 0 (or less) has one.

std::wstring WindowTextOf(HWND Window) {
    const int length = GetWindowTextLengthW(Window);
    if (length <= 0) return {};
    std::wstring text(size_t(length) + 1, L'\0');
    const int got = GetWindowTextW(Window, text.data(), length + 1);
    text.resize(size_t(got > 0 ? got : 0));
    return text;
}

}  // namespace

// ======================= frame sizes and caption buttons =======================

TDataSkinBorder* TWinSkinForm::BorderElement(int Index) const {
    if (!FSkinData || Index < 1 || Index > 4) return nullptr;
    return FSkinData->Border[Index - 1].get();
}

void TWinSkinForm::InitSkinData() {
    if (!FSkinData || FSkinData->DpiSource()->Loading()) return;
    // A skin read since (or one that was being read when this window was skinned) has its
    // companion at this window's scale made now.
    UseSkinForDpi();
    if (FBorderKind == bkNoCaption) {
        FBorderLeft = FTitleHeight = FBorderRight = FBorderBottom = 0;
        FMenuHeight = 0;
    } else {
        auto across = [](const TDataSkinBorder* e) {
            return e && !e->Map.Empty() ? e->Map.Width() / FrameCount(e) : 0;
        };
        auto down = [](const TDataSkinBorder* e) { return e && !e->Map.Empty() ? e->Map.Height() / FrameCount(e) : 0; };
        FTitleHeight = down(FSkinData->Top());
        FBorderLeft = across(FSkinData->Left());
        FBorderRight = across(FSkinData->Right());
        FBorderBottom = down(FSkinData->Bottom());
    }
    DeleteSysbtn();
    FHotObject = nullptr;
    FSysButtons.clear();
    for (auto& element : FSkinData->SysButtons) {
        if (!element) continue;
        if (element->Action == 3 || element->Action == 11) {
            GetIcon(FIconBitmap);
            if (element->Map.Empty() && !FIconBitmap.Empty()) element->Map = FIconBitmap;
            if (FSkinData->AppIcon.Empty() && !FIconBitmap.Empty()) {
                FSkinData->AppIcon = FIconBitmap;
                FSkinData->AppIcon.Transparent = true;
                FSkinData->AppIcon.TransparentColor = KeyColor;
            }
            element->Frame = 1;
        }
        FSysButtons.push_back(std::make_unique<TWinSysButton>(this, element.get()));
    }
}

// ======================= the icon =======================

void TWinSkinForm::GetIcon(TBitmap& Bitmap) {
    const int dpi = WindowDpi();
    const int cx = SystemMetricForDpi(SM_CXSMICON, dpi), cy = SystemMetricForDpi(SM_CYSMICON, dpi);
    FIconSize = cx;
    if (cx <= 0 || cy <= 0) return;
    Bitmap.SetSize(cx, cy);
    Bitmap.Fill(KeyColor);
    FIcon = nullptr;
    if (!FHandle || !IsWindow(FHandle)) return;
    FIcon = reinterpret_cast<HICON>(SendMessageW(FHandle, WM_GETICON, ICON_SMALL, 0));
    if (!FIcon) FIcon = reinterpret_cast<HICON>(SendMessageW(FHandle, WM_GETICON, ICON_BIG, 0));
    if (!FIcon) return;
    TIconHandle copy(static_cast<HICON>(CopyImage(FIcon, IMAGE_ICON, cx, cy, LR_COPYFROMRESOURCE)));
    if (!copy) copy.Reset(static_cast<HICON>(CopyImage(FIcon, IMAGE_ICON, cx, cy, 0)));
    if (!copy) return;
    {
        TBitmapDC dc(Bitmap);
        DrawIconEx(dc.Handle(), 0, 0, copy.Get(), cx, cy, 0, nullptr, DI_NORMAL);
    }
    Bitmap.Transparent = true;
    Bitmap.TransparentColor = KeyColor;
}

void TWinSkinForm::DrawIcon(HDC DC, const RECT& Rect) {
    if (FIcon) {
        DrawIconEx(DC, Rect.left, Rect.top, FIcon, FIconSize, FIconSize, 0, nullptr, DI_NORMAL);
        return;
    }
    if (!FIconBitmap.Empty()) DrawTranmap(DC, FromRECT(Rect), FIconBitmap, KeyColor);
}

// ======================= non-client size and hit testing =======================

void TWinSkinForm::WMNCCalcSize(TMessage& Message) {
    auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam);
    // The proposed window rectangle, before the native frame takes its share.
    const RECT window = params ? params->rgrc[0] : RECT{};
    Default(Message);
    if (!Message.WParam || !params) {
        Message.Result = 0;
        return;
    }
    const bool keepNative = (FFormStyle == fsfMDIChild && FWinState != wsfNormal) || FBorderKind == bkNoCaption;
    if (!keepNative) {
        RECT& r = params->rgrc[0];
        r.left = window.left + FBorderLeft;
        r.top = window.top + FTitleHeight + FMenuHeight;
        r.right = window.right - FBorderRight;
        r.bottom = window.bottom - FBorderBottom;
        if (r.right < r.left) r.right = r.left;
        if (r.bottom < r.top) r.bottom = r.top;
    }
    params->rgrc[1] = params->rgrc[0];
    Message.Result = WVR_VALIDRECTS;
}

POINT TWinSkinForm::GetWinXY(int X, int Y) const {
    POINT p{X, Y};
    ScreenToClient(FHandle, &p);
    if (!(FFormStyle == fsfMDIChild && FWinState == wsfMinimized)) {
        p.x += FBorderLeft;
        p.y += FTitleHeight + FMenuHeight;
    }
    return p;
}

void TWinSkinForm::WMNCHitTest(TMessage& Message) {
    Default(Message);
    // The native frame places its caption buttons, system-menu box and menu bar where the
    // skinned frame draws something else: those answers mean nothing here.
    switch (Message.Result) {
    case HTNOWHERE:
    case HTCAPTION:
    case HTSYSMENU:
    case HTMENU:
    case HTMINBUTTON:
    case HTMAXBUTTON:
    case HTCLOSE:
    case HTHELP: Message.Result = HTNOWHERE; break;
    default: return;
    }
    const POINT screen = LParamPoint(Message.LParam);
    const POINT p = GetWinXY(screen.x, screen.y);
    if (p.y > 3) Message.Result = HTCAPTION;
    if (p.y > FTitleHeight && FMenuHeight > 0) Message.Result = HTMENU;
}

// ======================= painting the frame =======================

void TWinSkinForm::WMNCPaint(TMessage& Message) {
    UpdateStyle(true);
    if (SkinFramePainting) {
        if ((FFormStyle == fsfMDIChild && FWinState == wsfMaximized) || FBorderKind == bkNoCaption)
            Default(Message);
        else
            UpdateNc(nullptr);
    }
    Message.Result = 0;
}

TBitmap TWinSkinForm::BorderPicture(int Index, int Width, int Height, bool Active) const {
    const TDataSkinBorder* e = BorderElement(Index);
    if (!e || e->Map.Empty() || Width <= 0 || Height <= 0) return TBitmap();
    const int frames = FrameCount(e);
    const int frame = (Active || frames == 1) ? 1 : 2;
    return GetHMap(Rect(0, 0, Width, Height), e->Map, e->Margins,
                   {.Frame = frame, .Frames = frames, .Tile = e->Tile == 1, .Vertical = Index > 2});
}

void TWinSkinForm::Drawborder(int Index, const RECT& Rect, HDC DC) {
    if (Rect.right < Rect.left || Rect.bottom < Rect.top) return;
    const TBitmap piece = BorderPicture(Index, Rect.right - Rect.left, Rect.bottom - Rect.top, FActive);
    if (!piece.Empty()) Bitmapdraw(DC, FromRECT(Rect), piece);
}

void TWinSkinForm::UpdateNc(HDC DC) {
    if (!FHandle || !FSkinData || FSkinData->Loading()) return;
    if (FStatus != sfsSkinned && FStatus != sfsChanging) return;
    if (FBorderKind == bkNoCaption || (FFormStyle == fsfMDIChild && FWinState == wsfMaximized)) return;
    try {
        // The DC we were given, or the window's own, given back however the drawing ends.
        std::optional<TWindowDC> taken;
        const HDC dc = DC ? DC : taken.emplace(FHandle).Handle();
        if (!dc) return;
        RECT r{};
        if (!GetWindowRect(FHandle, &r)) return;
        FWindowRect = r;
        FWidth = r.right - r.left;
        FHeight = r.bottom - r.top;
        const int W = FWidth, H = FHeight;
        if (W <= 0 || H <= 0) return;
        if (FWinState == wsfMinimized) {
            DrawFLine(dc);
        } else {
            Drawborder(1, RECT{0, 0, FBorderLeft, H}, dc);
            Drawborder(2, RECT{W - FBorderRight, 0, W, H}, dc);
            Drawborder(4, RECT{FBorderLeft, H - FBorderBottom, W - FBorderRight, H}, dc);
            DrawFLine(dc);
            const RECT menu{FBorderLeft, FTitleHeight, W - FBorderRight, FTitleHeight + FMenuHeight};
            if (FMenuBar) {
                FMenuBar->DrawMenu(dc, menu);
            } else if (FMenuHeight > 0) {
                TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorRef(FSkinData->Colors.ButtonFace)));
                FillRect(dc, &menu, brush.Get());
            }
        }
    } catch (...) {
        // A frame left half painted is mended by the next WM_NCPAINT.
    }
    FHotObject = nullptr;
}

void TWinSkinForm::DrawFLine(HDC DC) {
    const int W = FWidth, H = FHeight;
    if (W <= 0 || H <= 0) return;
    RECT title{};
    if (FWinState != wsfMinimized) {
        if (FTitleHeight <= 0) return;
        FTitleBitmap.SetSize(W, FTitleHeight);
        {
            TBitmapDC strip(FTitleBitmap, DC);
            BitBlt(strip.Handle(), 0, 0, W, FTitleHeight, DC, 0, 0, SRCCOPY);
        }
        title = RECT{FBorderLeft, 0, W - FBorderRight, FTitleHeight};
    } else {
        FTitleBitmap.SetSize(W, H);
        FTitleBitmap.Fill(FSkinData->Colors.ButtonFace);
        title = RECT{0, 0, W, FTitleHeight};
    }
    {
        TBitmapDC strip(FTitleBitmap, DC);
        Drawborder(3, title, strip.Handle());
    }
    DrawCaptionText(FTitleBitmap, title);
    SetSysbtnRect();
    DrawAllSysbtn(FTitleBitmap, title);
    {
        TBitmapDC strip(FTitleBitmap, DC);
        BitBlt(DC, 0, 0, FTitleBitmap.Width(), FTitleBitmap.Height(), strip.Handle(), 0, 0, SRCCOPY);
    }
    SetBkMode(DC, OPAQUE);
}

// The window's text in the title strip, placed by the skin's caption layout: the Title
// element's left and right margins bound it, its top margin moves it down, its alignment
// (0 left, 1 right, 2 centred) places it, and its colours follow the window's activity.
// TextLeft and TextRight record where the text ended up, for the buttons placed beside it.
void TWinSkinForm::DrawCaptionText(TBitmap& Strip, const RECT& TitleRect) {
    const TDataSkinTitle* t = FSkinData ? FSkinData->Title.get() : nullptr;
    const int W = Strip.Width();
    int left = t ? t->Margins.Left : FBorderLeft + 4;
    int right = W - (t ? t->Margins.Right : FBorderRight + 4);
    if (FWinState == wsfMinimized) right = W - 4;
    if (left < TitleRect.left) left = TitleRect.left;
    if (right > TitleRect.right) right = TitleRect.right;
    FTextLeft = left;
    FTextRight = left;
    if (right <= left) return;
    const std::wstring text = WindowTextOf(FHandle);
    if (text.empty()) return;

    TBitmapDC dc(Strip);
    if (!dc.Handle()) return;
    TSelectObject font(dc.Handle(), FCaptionFont);
    RECT measure{0, 0, 0, 0};
    DrawTextW(dc.Handle(), text.c_str(), int(text.size()), &measure, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    const int width = std::min<int>(measure.right - measure.left, right - left);
    const int alignment = t ? t->Alignment : 0;
    int x = left;
    if (alignment == 1)
        x = right - width;
    else if (alignment == 2)
        x = left + (right - left - width) / 2;
    FTextLeft = x;
    FTextRight = x + width;

    const int top = TitleRect.top + (t ? t->Margins.Top : 0);
    RECT area{x, top, x + width, TitleRect.bottom};
    if (t && t->BackMode != 0 && !t->Map.Empty()) {
        const int frames = FrameCount(t);
        TBitmap back = t->Map;
        DrawRect1(Strip, Rect(x - t->BackLeft, TitleRect.top, x + width + t->BackRight, TitleRect.bottom), back,
                  {.Frame = FActive || frames == 1 ? 1 : 2, .Frames = frames, .Trans = t->Trans != 0});
    }
    TColor color = FActive ? FSkinData->Colors.TitleTextActive : FSkinData->Colors.TitleTextNoActive;
    if (t) {
        const TColor own = FActive ? t->ActiveColor : t->InactiveColor;
        if (own != clNoTitleColor && own >= 0) color = own;
    }
    SetBkMode(dc.Handle(), TRANSPARENT);
    SetTextColor(dc.Handle(), ColorRef(color));
    DrawTextW(dc.Handle(), text.c_str(), int(text.size()), &area,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | DT_LEFT);
    GdiFlush();
}

void TWinSkinForm::getClipMap(TBitmap& Bitmap) {
    RECT r{};
    if (!FHandle || !GetWindowRect(FHandle, &r) || r.right <= r.left || r.bottom <= r.top) return;
    const int W = r.right - r.left, H = r.bottom - r.top;
    FWidth = W;
    FHeight = H;
    Bitmap.SetSize(W, H);
    Bitmap.Fill(FSkinData ? FSkinData->Colors.ButtonFace : SystemColor(scBtnFace));
    TBitmapDC dc(Bitmap);
    Drawborder(1, RECT{0, 0, FBorderLeft, H}, dc.Handle());
    Drawborder(2, RECT{W - FBorderRight, 0, W, H}, dc.Handle());
    const uint8_t state = FWinState;
    if (FWinState == wsfMinimized) FWinState = wsfNormal;
    DrawFLine(dc.Handle());
    FWinState = state;
    Drawborder(4, RECT{FBorderLeft, H - FBorderBottom, W - FBorderRight, H}, dc.Handle());
    GdiFlush();
}

void TWinSkinForm::RePaint(HDC DC) {
    if (!FHandle || !IsWindow(FHandle)) return;
    if (DC) UpdateNc(DC);
    RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

// ======================= activation and size changes =======================

void TWinSkinForm::WMNCActive(TMessage& Message) {
    FActive = Message.WParam != 0;
    if (FTimer) {
        FTimer->SetEnabled(FActive);
        if (!FActive) {
            if (FHotControl) {
                TSkinControl* control = FHotControl;
                FHotControl = nullptr;
                control->MouseLeave();
            }
            for (TSkinControl* p : std::vector<TSkinControl*>(FControlList))
                if (p->FMouseState & msHot) p->MouseLeave();
        }
    }
    if (FFormStyle == fsfMDIFrame && FMDIClient)
        SendMessageW(FMDIClient, WM_NCACTIVATE, Message.WParam, 0);
    else if (FFormStyle == fsfMDIChild)
        Default(Message);
    if (!(FFormStyle == fsfMDIChild && FWinState == wsfMaximized)) UpdateNc(nullptr);
    Message.Result = 1;
}

void TWinSkinForm::WMActive(TMessage& Message) {
    FActive = LOWORD(Message.WParam) != WA_INACTIVE;
    Default(Message);
}

void TWinSkinForm::WMSize(TMessage& Message) {
    Default(Message);
    switch (Message.WParam) {
    case SIZE_RESTORED: FWinState = wsfNormal; break;
    case SIZE_MINIMIZED: FWinState = wsfMinimized; break;
    case SIZE_MAXIMIZED: FWinState = wsfMaximized; break;
    default: break;
    }
    if (FWinState == wsfMinimized || (FStatus != sfsSkinned && FStatus != sfsChanging)) return;
    TSkinManage* manager = SkinManage();
    const bool mdiMax = manager && manager->FMDIMax;
    if (FFormStyle != fsfMDIChild || (FWinState == wsfNormal && !mdiMax)) Cropwindow();
}

void TWinSkinForm::WMWINDOWPOSCHANGED(TMessage& Message) {
    GetWindowstate();
    Default(Message);
}

void TWinSkinForm::WMWindowPosChanging(TMessage& Message) { Default(Message); }

void TWinSkinForm::WMERASEBKGND(TMessage& Message) {
    Default(Message);
    if (FForm || !FSkinData) return;
    RECT r{};
    GetClientRect(FHandle, &r);
    TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorRef(FSkinData->Colors.ButtonFace)));
    FillRect(reinterpret_cast<HDC>(Message.WParam), &r, brush.Get());
    Message.Result = 1;
}

void TWinSkinForm::WMCtlcolor(TMessage& Message) {
    Default(Message);
    if (FForm || !FSkinData) return;
    SetBkMode(reinterpret_cast<HDC>(Message.WParam), TRANSPARENT);
    if (FSkinData->BtnFaceBrush) Message.Result = reinterpret_cast<LRESULT>(FSkinData->BtnFaceBrush.Get());
}

void TWinSkinForm::WMReCreateWnd(TMessage& Message) {
    const HWND old = reinterpret_cast<HWND>(Message.WParam);
    for (size_t i = FControlList.size(); i-- > 0;) {
        TSkinControl* p = FControlList[i];
        if (p->FHandle != old) continue;
        const bool listView = dynamic_cast<TSkinListView*>(p) != nullptr;
        TControl* control = p->FControl;
        DeleteControl(p);
        p->FSkinForm = nullptr;
        delete p;
        if (!control) return;
        TSkinControl* fresh = NewSkinControl(listView ? "TSkinListView" : "TSkinScrollbar", control);
        if (auto* bar = dynamic_cast<TSkinScrollbar*>(fresh))
            bar->InitScrollbar(control, FSkinData, this, FCanvas.get());
        return;
    }
}

// ======================= resizing =======================

void TWinSkinForm::GetBorderSize() {
    RECT client{}, window{};
    if (!GetClientRect(FHandle, &client) || !GetWindowRect(FHandle, &window)) return;
    FClientRect = client;
    FExtraWidth = (window.right - window.left) - client.right;
    FExtraHeight = (window.bottom - window.top) - client.bottom;
}

void TWinSkinForm::Refresh() {
    if (FHandle && IsWindow(FHandle))
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
}

void TWinSkinForm::ResizeForm(bool KeepClientRect) {
    if (!FHandle || !IsWindow(FHandle)) return;
    if (IsZoomed(FHandle)) {
        Refresh();
        return;
    }
    if (KeepClientRect || FIsDialog || FStatus == sfsChanging) GetClientRect(FHandle, &FClientRect);
    int cw = FClientRect.right - FClientRect.left;
    int ch = FClientRect.bottom - FClientRect.top;
    if (FForm && !KeepClientRect && !FIsDialog && FStatus != sfsChanging) {
        cw = FForm->ClientWidth();
        ch = FForm->ClientHeight();
        // The native menu bar, gone since the window was attached, has left its row in
        // the client area: the content is what the window showed under the native frame.
        if (FHadNativeMenu && !GetMenu(FHandle) && FFormStyle != fsfMDIChild) {
            cw = FAttachClient.right - FAttachClient.left;
            ch = FAttachClient.bottom - FAttachClient.top;
        }
    }
    int width = cw + FBorderLeft + FBorderRight;
    const int height = ch + FTitleHeight + FBorderBottom + FMenuHeight;
    if (FIsDialog && !KeepClientRect) {
        const std::wstring text = WindowTextOf(FHandle);
        std::optional<TClientDC> dc(std::in_place, FHandle);
        if (dc->Handle()) {
            SIZE size{};
            {
                // The font goes back into the DC before the DC goes back to the system.
                TSelectObject font(dc->Handle(), FCaptionFont);
                GetTextExtentPoint32W(dc->Handle(), text.c_str(), int(text.size()), &size);
            }
            dc.reset();
            const TDataSkinTitle* t = FSkinData ? FSkinData->Title.get() : nullptr;
            const int need = (t ? t->Margins.Left : 0) + size.cx + (t ? t->Margins.Right : 0);
            if (need > width) {
                const int shift = (need - width) / 2;
                for (HWND child = GetWindow(FHandle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                    RECT r{};
                    GetWindowRect(child, &r);
                    MapWindowPoints(HWND_DESKTOP, FHandle, reinterpret_cast<POINT*>(&r), 2);
                    SetWindowPos(child, nullptr, r.left + shift, r.top, 0, 0,
                                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                }
                width = need;
            }
        }
    }
    SetWindowPos(FHandle, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// ======================= the window region =======================

HRGN TWinSkinForm::BuildRegion(int W, int H) {
    const bool anyTrans = [&] {
        for (int i = 1; i <= 4; ++i)
            if (const TDataSkinBorder* e = BorderElement(i); e && e->Trans == 1) return true;
        return false;
    }();
    if (!anyTrans) return CreateRectRgn(0, 0, W, H);
    TGdiObject<HRGN> region(CreateRectRgn(FBorderLeft, FTitleHeight, W - FBorderRight, H - FBorderBottom));
    if (FBorderKind == bkNoCaption) return region.Release();
    auto piece = [&](int Index, RECT r, bool traced) -> TGdiObject<HRGN> {
        if (r.right <= r.left || r.bottom <= r.top) return TGdiObject<HRGN>(CreateRectRgn(0, 0, 0, 0));
        if (traced) {
            // The active frame gives the shape, so the region does not change with activation.
            TBitmap scratch = BorderPicture(Index, r.right - r.left, r.bottom - r.top, true);
            if (!scratch.Empty()) {
                TGdiObject<HRGN> traced = BitmapToRgn(scratch, r.left, r.top, KeyColor, 0, 0, 0);
                if (traced) return traced;
            }
        }
        return TGdiObject<HRGN>(CreateRectRgn(r.left, r.top, r.right, r.bottom));
    };
    auto trans = [&](int Index) {
        const TDataSkinBorder* e = BorderElement(Index);
        return e && e->Trans == 1;
    };
    TGdiObject<HRGN> left = piece(1, RECT{0, 0, FBorderLeft, H}, trans(1) && H > 1);
    TGdiObject<HRGN> right = piece(2, RECT{W - FBorderRight, 0, W, H}, trans(2) && H > 1);
    TGdiObject<HRGN> bottom =
        piece(4, RECT{FBorderLeft, H - FBorderBottom, W - FBorderRight, H}, trans(4) && FBorderBottom > 1);
    const RECT topRect{FBorderLeft, 0, W - FBorderRight, FTitleHeight};
    TGdiObject<HRGN> top = piece(3, topRect, trans(3) && FTitleHeight > 1 && topRect.right > topRect.left);
    CombineRgn(left.Get(), left.Get(), right.Get(), RGN_OR);
    CombineRgn(top.Get(), top.Get(), bottom.Get(), RGN_OR);
    CombineRgn(left.Get(), left.Get(), top.Get(), RGN_OR);
    CombineRgn(region.Get(), region.Get(), left.Get(), RGN_OR);
    return region.Release();
}

void TWinSkinForm::Cropwindow() {
    if (FStatus == sfsDestroyed || !FSkinFrame || !FHandle || !IsWindow(FHandle)) return;
    RECT r{};
    if (!GetWindowRect(FHandle, &r) || r.right <= r.left || r.bottom <= r.top) return;
    if (FFormStyle == fsfMDIChild && FWinState != wsfNormal) return;
    const int W = r.right - r.left, H = r.bottom - r.top;
    if (W == FRegionWidth && H == FRegionHeight && FFormStyle != fsfMDIChild && FStatus != sfsChanging) return;
    if (FRegion) {
        // The system owns the region it was given; ours is only a record of it.
        FRegion = nullptr;
    }
    TGdiObject<HRGN> region(BuildRegion(W, H));
    if (!region) return;
    FRegionWidth = W;
    FRegionHeight = H;
    // The system takes the region only when SetWindowRgn succeeds.
    if (SetWindowRgn(FHandle, region.Get(), TRUE)) {
        FRegion = region.Release();
        FRegionSet = true;
    }
}

void TWinSkinForm::Uncropwindow() {
    if (!FRegionSet) return;
    FRegion = nullptr;
    FRegionSet = false;
    FRegionWidth = FRegionHeight = 0;
    if (FHandle && IsWindow(FHandle)) SetWindowRgn(FHandle, nullptr, FFormStyle == fsfMDIChild);
}

}  // namespace quorin
