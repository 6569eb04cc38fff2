// The page control and its tab sheets.
#include "forms/ComCtrls.h"

#include "forms/Forms.h"
#include "forms/ImgList.h"
#include "forms/Accessible.h"
#include "forms/WinText.h"

#include <algorithm>

namespace quorin {

// ======================= TTabSheet =======================

QUORIN_DEFINE_CLASS(TTabSheet, TWinControl) {
    p.Ref<TPageControl>("PageControl", &TTabSheet::PageControl, &TTabSheet::SetPageControl);
    p.Bool("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible);
    p.Int("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex, -1, INT32_MAX);
    p.Int("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex, -1, INT32_MAX);
}

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
    FColor = clBtnFace;
    FParentColor = true;
    FVisible = false;  // the page control shows its active page
}

TTabSheet::~TTabSheet() {
    if (FPageControl) FPageControl->RemovePage(this);
}

void TTabSheet::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN;
    Params.ExStyle |= WS_EX_CONTROLPARENT;
}

void TTabSheet::SetParent(TWinControl* AParent) {
    if (auto* pc = dynamic_cast<TPageControl*>(AParent)) {
        SetPageControl(pc);
        return;
    }
    if (FPageControl) FPageControl->RemovePage(this);
    TWinControl::SetParent(AParent);
}

void TTabSheet::SetPageControl(TPageControl* Value) {
    if (Value == FPageControl) return;
    if (FPageControl) FPageControl->RemovePage(this);
    TWinControl::SetParent(Value);
    if (Value) Value->InsertPage(this);
}

int TTabSheet::PageIndex() const {
    if (!FPageControl) return -1;
    const auto& pages = FPageControl->FPages;
    return int(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int Value) {
    if (!FPageControl) return;
    auto& pages = FPageControl->FPages;
    pages.erase(std::find(pages.begin(), pages.end(), this));
    Value = std::clamp(Value, 0, int(pages.size()));
    pages.insert(pages.begin() + Value, this);
    FPageControl->UpdateTabs();
}

int TTabSheet::TabIndex() const {
    if (!FPageControl || !FTabVisible) return -1;
    int index = 0;
    for (TTabSheet* p : FPageControl->FPages) {
        if (p == this) return index;
        if (p->FTabVisible) ++index;
    }
    return -1;
}

void TTabSheet::SetTabVisible(bool Value) {
    if (Value == FTabVisible) return;
    FTabVisible = Value;
    if (FPageControl) FPageControl->UpdateTabs();
}

void TTabSheet::SetImageIndex(int Value) {
    FImageIndex = Value;
    if (FPageControl) FPageControl->UpdateTabs();
}

void TTabSheet::TextChanged() {
    TWinControl::TextChanged();
    if (FPageControl) FPageControl->UpdateTabs();
}

// ======================= TPageControl =======================

QUORIN_DEFINE_CLASS(TPageControl, TWinControl) {
    p.Ref<TTabSheet>("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage);
    p.Enum<TTabStyle>("Style", &TPageControl::Style, &TPageControl::SetStyle, {"tsTabs", "tsButtons", "tsFlatButtons"});
    p.Enum<TTabPosition>("TabPosition", &TPageControl::TabPosition, &TPageControl::SetTabPosition,
                         {"tpTop", "tpBottom", "tpLeft", "tpRight"});
    p.Bool("MultiLine", &TPageControl::MultiLine, &TPageControl::SetMultiLine);
    p.Bool("HotTrack", &TPageControl::HotTrack, &TPageControl::SetHotTrack);
    p.Ref<TImageList>("Images", &TPageControl::Images, &TPageControl::SetImages);
    p.Int("TabHeight", &TPageControl::TabHeight, &TPageControl::SetTabHeight, 0, 1000);
    p.Int("TabWidth", &TPageControl::TabWidth, &TPageControl::SetTabWidth, 0, 1000);
    p.Event("OnChange", &TPageControl::OnChange);
    p.Event("OnChanging", &TPageControl::OnChanging);
}

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner) {
    FColor = clBtnFace;
    FParentColor = true;
    FTabStop = true;
    FWidth = 289;
    FHeight = 193;
}

TPageControl::~TPageControl() {
    // The pages are freed with the other child controls after this object is gone.
    for (TTabSheet* p : FPages) p->FPageControl = nullptr;
    FPages.clear();
    FActivePage = nullptr;
}

void TPageControl::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClass = WC_TABCONTROLW;
    Params.Style |= WS_CLIPCHILDREN | TCS_FOCUSONBUTTONDOWN;
    Params.ExStyle |= WS_EX_CONTROLPARENT;
    if (FStyle == TTabStyle::tsButtons) Params.Style |= TCS_BUTTONS;
    if (FStyle == TTabStyle::tsFlatButtons) Params.Style |= TCS_BUTTONS | TCS_FLATBUTTONS;
    if (FMultiLine) Params.Style |= TCS_MULTILINE;
    if (FHotTrack) Params.Style |= TCS_HOTTRACK;
    if (FTabWidth > 0 || FTabHeight > 0) Params.Style |= TCS_FIXEDWIDTH;
    switch (FTabPosition) {
    case TTabPosition::tpBottom: Params.Style |= TCS_BOTTOM; break;
    case TTabPosition::tpLeft: Params.Style |= TCS_VERTICAL | TCS_MULTILINE; break;
    case TTabPosition::tpRight: Params.Style |= TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE; break;
    default: break;
    }
}

void TPageControl::InitializeWnd() {
    if (FImages) SendMessageW(FHandle, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImages->Handle()));
    SendTabSize();
    UpdateTabs();
}

void TPageControl::SendTabSize() {
    const TDpiScale scale = DpiScale();
    if (FHandle && (FTabWidth > 0 || FTabHeight > 0))
        SendMessageW(FHandle, TCM_SETITEMSIZE, 0, MAKELPARAM(scale.Scale(FTabWidth), scale.Scale(FTabHeight)));
}

void TPageControl::ScaleForDpi(const TDpiScale& Scale) {
    TWinControl::ScaleForDpi(Scale);
    SendTabSize();
    // The pages cover the display area, whose top follows the tabs' font.
    UpdatePages();
}

void TPageControl::Loaded() {
    TWinControl::Loaded();
    if (!FActivePage && !FPages.empty()) FActivePage = FindNextPage(nullptr, true, true);
    UpdatePages();
}

void TPageControl::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FImages) FImages = nullptr;
}

void TPageControl::InsertPage(TTabSheet* Page) {
    FPages.push_back(Page);
    Page->FPageControl = this;
    UpdateTabs();
    UpdatePages();
}

void TPageControl::RemovePage(TTabSheet* Page) {
    TTabSheet* next = Page == FActivePage ? FindNextPage(Page, true, true) : FActivePage;
    if (next == Page) next = nullptr;
    FPages.erase(std::remove(FPages.begin(), FPages.end(), Page), FPages.end());
    Page->FPageControl = nullptr;
    if (FActivePage == Page) FActivePage = nullptr;
    if (!FDestroying) {
        UpdateTabs();
        if (!FActivePage) SetActivePage(next);
    }
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurrentPage, bool GoForward, bool CheckTabVisible) const {
    if (FPages.empty()) return nullptr;
    const int n = int(FPages.size());
    auto it = std::find(FPages.begin(), FPages.end(), CurrentPage);
    int index = it == FPages.end() ? (GoForward ? n - 1 : 0) : int(it - FPages.begin());
    for (int step = 0; step < n; ++step) {
        index = GoForward ? (index + 1) % n : (index + n - 1) % n;
        TTabSheet* p = FPages[size_t(index)];
        if (!CheckTabVisible || p->FTabVisible) return p;
    }
    return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward) {
    if (TTabSheet* p = FindNextPage(FActivePage, GoForward, true); p && p != FActivePage) {
        bool allow = true;
        if (OnChanging) OnChanging(this, allow);
        if (!allow) return;
        SetActivePage(p);
        if (OnChange) OnChange(this);
    }
}

void TPageControl::SetActivePage(TTabSheet* Page) {
    if (Page && Page->FPageControl != this) return;
    FActivePage = Page;
    if (ComponentState() & csLoading) return;
    if (FHandle) SendMessageW(FHandle, TCM_SETCURSEL, WPARAM(Page ? Page->TabIndex() : -1), 0);
    UpdatePages();
    if (Page && Page->TabIndex() >= 0) AccessibleChanged(this, TAccessibleChange::Selection, Page->TabIndex() + 1);
}

int TPageControl::ActivePageIndex() const {
    if (!FActivePage) return -1;
    return int(std::find(FPages.begin(), FPages.end(), FActivePage) - FPages.begin());
}

void TPageControl::SetActivePageIndex(int Index) {
    SetActivePage(Index >= 0 && Index < PageCount() ? FPages[size_t(Index)] : nullptr);
}

int TPageControl::TabIndex() const {
    if (FHandle) return int(SendMessageW(FHandle, TCM_GETCURSEL, 0, 0));
    return FActivePage ? FActivePage->TabIndex() : -1;
}

void TPageControl::SetStyle(TTabStyle Value) {
    if (Value != FStyle) {
        FStyle = Value;
        RecreateWnd();
    }
}
void TPageControl::SetTabPosition(TTabPosition Value) {
    if (Value != FTabPosition) {
        FTabPosition = Value;
        RecreateWnd();
    }
}
void TPageControl::SetMultiLine(bool Value) {
    if (Value != FMultiLine) {
        FMultiLine = Value;
        RecreateWnd();
    }
}
void TPageControl::SetHotTrack(bool Value) {
    if (Value != FHotTrack) {
        FHotTrack = Value;
        RecreateWnd();
    }
}
void TPageControl::SetTabHeight(int Value) {
    if (Value != FTabHeight) {
        FTabHeight = Value;
        RecreateWnd();
    }
}
void TPageControl::SetTabWidth(int Value) {
    if (Value != FTabWidth) {
        FTabWidth = Value;
        RecreateWnd();
    }
}

void TPageControl::SetImages(TImageList* Value) {
    FImages = Value;
    if (Value) Value->FreeNotification(this);
    if (FHandle)
        SendMessageW(FHandle, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(Value ? Value->Handle() : nullptr));
}

// The tab control holds one tab per page whose tab is visible, each carrying its page.
void TPageControl::UpdateTabs() {
    if (!FHandle || FUpdatingTabs) return;
    FUpdatingTabs = true;
    SendMessageW(FHandle, TCM_DELETEALLITEMS, 0, 0);
    int index = 0;
    for (TTabSheet* p : FPages) {
        if (!p->FTabVisible) continue;
        std::wstring text = ToWide(p->FText);
        TCITEMW item{};
        item.mask = TCIF_TEXT | TCIF_PARAM | TCIF_IMAGE;
        item.pszText = text.data();
        item.iImage = p->FImageIndex;
        item.lParam = reinterpret_cast<LPARAM>(p);
        SendMessageW(FHandle, TCM_INSERTITEMW, WPARAM(index++), reinterpret_cast<LPARAM>(&item));
    }
    SendMessageW(FHandle, TCM_SETCURSEL, WPARAM(FActivePage ? FActivePage->TabIndex() : -1), 0);
    FUpdatingTabs = false;
    UpdatePages();
}

RECT TPageControl::ClientRect() const {
    RECT r = TWinControl::ClientRect();
    if (FHandle) SendMessageW(FHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return r;
}

// Places every page over the display area; only the active one is shown.
void TPageControl::UpdatePages() {
    if (ComponentState() & csLoading) return;
    const RECT r = ClientRect();
    for (TTabSheet* p : FPages) {
        if (FHandle) p->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
        const bool show = p == FActivePage;
        if (p->FVisible != show) {
            p->FVisible = show;
            p->UpdateShowing();
        }
    }
    if (FActivePage && FActivePage->HandleAllocated()) {
        SetWindowPos(FActivePage->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void TPageControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CN_NOTIFY: {
        const auto* hdr = reinterpret_cast<const NMHDR*>(Message.LParam);
        if (hdr->code == TCN_SELCHANGING) {
            bool allow = true;
            if (OnChanging) OnChanging(this, allow);
            Message.Result = allow ? FALSE : TRUE;
            return;
        }
        if (hdr->code == TCN_SELCHANGE) {
            const int tab = int(SendMessageW(FHandle, TCM_GETCURSEL, 0, 0));
            TCITEMW item{};
            item.mask = TCIF_PARAM;
            if (tab >= 0 && SendMessageW(FHandle, TCM_GETITEMW, WPARAM(tab), reinterpret_cast<LPARAM>(&item))) {
                auto* page = reinterpret_cast<TTabSheet*>(item.lParam);
                if (std::find(FPages.begin(), FPages.end(), page) != FPages.end()) {
                    FActivePage = page;
                    UpdatePages();
                }
            }
            if (OnChange) OnChange(this);
            return;
        }
        break;
    }
    case WM_SIZE:
        TWinControl::WndProc(Message);
        UpdatePages();
        return;
    case CM_DIALOGKEY: CMDialogKey(Message); return;
    default: break;
    }
    TWinControl::WndProc(Message);
}

// Ctrl+Tab and Ctrl+Shift+Tab turn the pages of the innermost page control holding the
// focus, on its tab strip or in one of its pages: a page control nested in a page answers
// first, and the one around it only when the focus is on its own strip or outside the
// inner one. The focus stays on the strip when it was there; from inside the old page it
// goes to the new page's first control (the strip when the page has none), as the page it
// was on is hidden.
void TPageControl::CMDialogKey(TMessage& Message) {
    TWinControl::WndProc(Message);  // the controls inside, a nested page control among them
    if (Message.Result || Message.WParam != VK_TAB || GetKeyState(VK_CONTROL) >= 0 || !FHandle) return;
    const HWND focus = GetFocus();
    const bool onStrip = focus == FHandle;
    if (!onStrip && !IsChild(FHandle, focus)) return;
    TTabSheet* before = FActivePage;
    SelectNextPage(GetKeyState(VK_SHIFT) >= 0);
    Message.Result = 1;
    if (FActivePage == before || onStrip) return;
    TWinControl* first = FActivePage ? FActivePage->FindNextControl(nullptr, true, true, false) : nullptr;
    if (first)
        first->SetFocus();
    else if (CanFocus())
        SetFocus();
}

}  // namespace quorin
