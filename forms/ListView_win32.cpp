// The list view: columns and rows mirrored into a list-view control.
#include "forms/ComCtrls.h"

#include "forms/ImgList.h"
#include "forms/WinText.h"

#include <algorithm>
#include <map>

namespace quorin {

namespace {
const std::vector<std::string> kAlignments = {"taLeftJustify", "taRightJustify", "taCenter"};

int ColumnFormat(TAlignment a) {
    return a == TAlignment::taCenter ? LVCFMT_CENTER : a == TAlignment::taRightJustify ? LVCFMT_RIGHT : LVCFMT_LEFT;
}
}  // namespace

// ======================= columns =======================

QUORIN_DEFINE_CLASS(TListColumn, TCollectionItem) {
    p.Str("Caption", &TListColumn::Caption, &TListColumn::SetCaption);
    p.Int("Width", &TListColumn::Width, &TListColumn::SetWidth, -2, 100000);
    p.Enum<TAlignment>("Alignment", &TListColumn::Alignment, &TListColumn::SetAlignment, kAlignments);
    p.Bool("AutoSize", &TListColumn::AutoSize, &TListColumn::SetAutoSize);
    p.Int("ImageIndex", &TListColumn::ImageIndex, &TListColumn::SetImageIndex, -1, INT32_MAX);
}

void TListColumn::SetCaption(const std::string& Value) {
    FCaption = Value;
    Changed(false);
}

int TListColumn::Width() const {
    auto* columns = static_cast<TListColumns*>(Collection());
    if (columns && columns->Owner() && columns->Owner()->HandleAllocated()) {
        // What the window shows (the user may have dragged the divider), said at the
        // stored DPI; the width the scale gave is the stored one exactly.
        const TDpiScale scale = columns->Owner()->DpiScale();
        const int shown = int(SendMessageW(columns->Owner()->Handle(), LVM_GETCOLUMNWIDTH, WPARAM(Index()), 0));
        return shown == scale.Scale(FWidth) ? FWidth : scale.Unscale(shown);
    }
    return FWidth;
}

void TListColumn::SetWidth(int Value) {
    FWidth = Value;
    Changed(false);
}

void TListColumn::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Changed(false);
}

void TListColumn::Assign(const TPersistent& Source) {
    if (auto* c = dynamic_cast<const TListColumn*>(&Source)) {
        FCaption = c->FCaption;
        FWidth = c->Width();
        FAlignment = c->FAlignment;
        FAutoSize = c->FAutoSize;
        FImageIndex = c->FImageIndex;
        Changed(false);
        return;
    }
    TCollectionItem::Assign(Source);
}

QUORIN_DEFINE_CLASS(TListColumns, TCollection) {}

TListColumns::TListColumns(TListView* Owner)
    : TCollection(CollectionItemFactory<TListColumn>(), Owner), FListView(Owner) {
    OnUpdate = [this](TCollectionItem* item) {
        if (!FListView->HandleAllocated()) return;
        if (item)
            FListView->WriteColumn(static_cast<TListColumn*>(item));
        else
            FListView->RebuildColumns();
    };
}

// ======================= rows =======================

QUORIN_DEFINE_CLASS(TListItem, TCollectionItem) {
    p.Str("Caption", &TListItem::Caption, &TListItem::SetCaption);
    p.Strings("SubItems", [](const TListItem& i) -> const TStrings& { return i.SubItems(); });
    p.Int("ImageIndex", &TListItem::ImageIndex, &TListItem::SetImageIndex, -1, INT32_MAX);
    p.Bool("Checked", &TListItem::Checked, &TListItem::SetChecked);
    p.Bool("Selected", &TListItem::Selected, &TListItem::SetSelected);
}

TListItem::TListItem(TCollection* Collection) : TCollectionItem(Collection) {
    FSubItems.OnChange = [this](TObject*) { SubItemsChanged(); };
}

// The row leaves the list view while it is whole: the removal may report a change of
// selection, whose handlers read the row.
TListItem::~TListItem() { LeaveCollection(); }

TListView* TListItem::ListView() const {
    auto* items = static_cast<TListItems*>(Collection());
    return items ? items->Owner() : nullptr;
}

void TListItem::SetCaption(const std::string& Value) {
    FCaption = Value;
    Changed(false);
}

void TListItem::SetImageIndex(int Value) {
    FImageIndex = Value;
    Changed(false);
}

void TListItem::SubItemsChanged() { Changed(false); }

namespace {
HWND ListHandle(const TListItem* item) {
    TListView* lv = item->ListView();
    return lv && lv->HandleAllocated() ? lv->Handle() : nullptr;
}
}  // namespace

bool TListItem::Selected() const {
    if (HWND h = ListHandle(this))
        return (SendMessageW(h, LVM_GETITEMSTATE, WPARAM(Index()), LVIS_SELECTED) & LVIS_SELECTED) != 0;
    return FSelected;
}

void TListItem::SetSelected(bool Value) {
    FSelected = Value;
    if (HWND h = ListHandle(this)) {
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED;
        item.state = Value ? LVIS_SELECTED : 0;
        SendMessageW(h, LVM_SETITEMSTATE, WPARAM(Index()), reinterpret_cast<LPARAM>(&item));
    }
}

bool TListItem::Focused() const {
    if (HWND h = ListHandle(this))
        return (SendMessageW(h, LVM_GETITEMSTATE, WPARAM(Index()), LVIS_FOCUSED) & LVIS_FOCUSED) != 0;
    return false;
}

void TListItem::SetFocused(bool Value) {
    if (HWND h = ListHandle(this)) {
        LVITEMW item{};
        item.stateMask = LVIS_FOCUSED;
        item.state = Value ? LVIS_FOCUSED : 0;
        SendMessageW(h, LVM_SETITEMSTATE, WPARAM(Index()), reinterpret_cast<LPARAM>(&item));
    }
}

bool TListItem::Checked() const {
    if (HWND h = ListHandle(this)) {
        const UINT state = UINT(SendMessageW(h, LVM_GETITEMSTATE, WPARAM(Index()), LVIS_STATEIMAGEMASK));
        return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
    }
    return FChecked;
}

void TListItem::SetChecked(bool Value) {
    FChecked = Value;
    if (HWND h = ListHandle(this)) {
        LVITEMW item{};
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = INDEXTOSTATEIMAGEMASK(Value ? 2 : 1);
        SendMessageW(h, LVM_SETITEMSTATE, WPARAM(Index()), reinterpret_cast<LPARAM>(&item));
    }
}

void TListItem::Delete() {
    if (TCollection* items = Collection())
        items->Delete(Index());
    else
        delete this;
}

void TListItem::MakeVisible(bool PartialOK) {
    if (HWND h = ListHandle(this)) SendMessageW(h, LVM_ENSUREVISIBLE, WPARAM(Index()), PartialOK);
}

void TListItem::EditCaption() {
    if (HWND h = ListHandle(this)) {
        ::SetFocus(h);
        SendMessageW(h, LVM_EDITLABELW, WPARAM(Index()), 0);
    }
}

void TListItem::Assign(const TPersistent& Source) {
    if (auto* i = dynamic_cast<const TListItem*>(&Source)) {
        FCaption = i->FCaption;
        FSubItems.Assign(i->FSubItems);
        FImageIndex = i->FImageIndex;
        FData = i->FData;
        Changed(false);
        return;
    }
    TCollectionItem::Assign(Source);
}

QUORIN_DEFINE_CLASS(TListItems, TCollection) {}

TListItems::TListItems(TListView* Owner) : TCollection(CollectionItemFactory<TListItem>(), Owner), FListView(Owner) {
    OnUpdate = [this](TCollectionItem* item) { FListView->ItemsChanged(item); };
}

// ======================= TListView =======================

QUORIN_DEFINE_CLASS(TListView, TWinControl) {
    p.Collection("Columns",
                 [](const TListView& l) -> const TListColumns& { return const_cast<TListView&>(l).Columns(); });
    p.Collection("Items", [](const TListView& l) -> const TListItems& { return l.Items(); });
    p.Enum<TViewStyle>("ViewStyle", &TListView::ViewStyle, &TListView::SetViewStyle,
                       {"vsIcon", "vsSmallIcon", "vsList", "vsReport"});
    p.Bool("GridLines", &TListView::GridLines, &TListView::SetGridLines);
    p.Bool("RowSelect", &TListView::RowSelect, &TListView::SetRowSelect);
    p.Bool("MultiSelect", &TListView::MultiSelect, &TListView::SetMultiSelect);
    p.Bool("ReadOnly", &TListView::ReadOnly, &TListView::SetReadOnly);
    p.Bool("HideSelection", &TListView::HideSelection, &TListView::SetHideSelection);
    p.Bool("ShowColumnHeaders", &TListView::ShowColumnHeaders, &TListView::SetShowColumnHeaders);
    p.Bool("Checkboxes", &TListView::Checkboxes, &TListView::SetCheckboxes);
    p.Enum<TBorderStyleCtl>("BorderStyle", &TListView::BorderStyle, &TListView::SetBorderStyle, {"bsNone", "bsSingle"});
    p.Ref<TImageList>("SmallImages", &TListView::SmallImages, &TListView::SetSmallImages);
    p.Event("OnEditing", &TListView::OnEditing);
    p.Event("OnEdited", &TListView::OnEdited);
    p.Event("OnChange", &TListView::OnChange);
    p.Event("OnSelectItem", &TListView::OnSelectItem);
}

// Rows are added to and removed from the window as the collection changes, so the
// operator's selection on the other rows stays as it is.
void TListItems::Notify(TCollectionItem* Item, TCollectionNotification Action) {
    if (!FListView->HandleAllocated()) return;
    HWND h = FListView->Handle();
    if (Action == TCollectionNotification::cnAdded) {
        // The item is still being constructed: only its place is known.
        LVITEMW row{};
        row.mask = LVIF_TEXT | LVIF_PARAM;
        row.iItem = Item->Index();
        row.pszText = const_cast<wchar_t*>(L"");
        row.lParam = reinterpret_cast<LPARAM>(Item);
        SendMessageW(h, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
    } else {
        SendMessageW(h, LVM_DELETEITEM, WPARAM(Item->Index()), 0);
    }
}

TListView::TListView(TComponent* AOwner) : TWinControl(AOwner) {
    FColor = clWindow;
    FTabStop = true;
    FWidth = 250;
    FHeight = 150;
}

TListView::~TListView() {
    FColumns.OnUpdate = nullptr;
    FItems.OnUpdate = nullptr;
    DestroyHandle();
}

void TListView::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClass = WC_LISTVIEWW;
    UpdateStyle();
    Params.Style |= LVS_SHAREIMAGELISTS;
    switch (FViewStyle) {
    case TViewStyle::vsIcon: Params.Style |= LVS_ICON; break;
    case TViewStyle::vsSmallIcon: Params.Style |= LVS_SMALLICON; break;
    case TViewStyle::vsList: Params.Style |= LVS_LIST; break;
    case TViewStyle::vsReport: Params.Style |= LVS_REPORT; break;
    }
    if (!FMultiSelect) Params.Style |= LVS_SINGLESEL;
    if (!FReadOnly) Params.Style |= LVS_EDITLABELS;
    if (!FHideSelection) Params.Style |= LVS_SHOWSELALWAYS;
    if (!FShowColumnHeaders) Params.Style |= LVS_NOCOLUMNHEADER;
    if (FBorderStyle == TBorderStyleCtl::bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListView::UpdateStyle() {}

void TListView::InitializeWnd() {
    UpdateExStyle();
    ColorChanged();
    if (FSmallImages)
        SendMessageW(FHandle, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(FSmallImages->Handle()));
    RebuildColumns();
    RebuildItems();
}

void TListView::DestroyWnd() {
    // Keep the operator's selection and checks while the window is away.
    if (FHandle) {
        for (int i = 0; i < FItems.Count(); ++i) {
            TListItem* item = FItems.Item(i);
            item->FSelected = item->Selected();
            item->FChecked = FCheckboxes && item->Checked();
        }
    }
    TWinControl::DestroyWnd();
}

void TListView::UpdateExStyle() {
    if (!FHandle) return;
    DWORD ex = 0;
    if (FGridLines) ex |= LVS_EX_GRIDLINES;
    if (FRowSelect) ex |= LVS_EX_FULLROWSELECT;
    if (FCheckboxes) ex |= LVS_EX_CHECKBOXES;
    SendMessageW(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES,
                 ex);
}

void TListView::ColorChanged() {
    TWinControl::ColorChanged();
    if (!FHandle) return;
    SendMessageW(FHandle, LVM_SETBKCOLOR, 0, LPARAM(ColorRef(FColor)));
    SendMessageW(FHandle, LVM_SETTEXTBKCOLOR, 0, LPARAM(ColorRef(FColor)));
    SendMessageW(FHandle, LVM_SETTEXTCOLOR, 0, LPARAM(ColorRef(FFont.Color())));
}

void TListView::WriteColumn(TListColumn* Column) {
    std::wstring text = ToWide(Column->FCaption);
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    c.pszText = text.data();
    c.cx = ScaledColumnWidth(Column->FWidth);
    c.fmt = ColumnFormat(Column->FAlignment);
    SendMessageW(FHandle, LVM_SETCOLUMNW, WPARAM(Column->Index()), reinterpret_cast<LPARAM>(&c));
}

// Negative widths are the control's "fit the text" requests, not lengths.
int TListView::ScaledColumnWidth(int Stored) const { return Stored >= 0 ? DpiScale().Scale(Stored) : Stored; }

void TListView::ScaleForDpi(const TDpiScale& Scale) {
    // The stored widths, with any the user dragged since (said at the scale the list had).
    const TDpiScale before = FBoundsScaled ? FBoundsScale : TDpiScale{Scale.Stored, Scale.Stored};
    if (FHandle)
        for (int i = 0; i < FColumns.Count(); ++i) {
            TListColumn* c = FColumns.Items(i);
            const int shown = int(SendMessageW(FHandle, LVM_GETCOLUMNWIDTH, WPARAM(i), 0));
            if (c->FWidth >= 0 && shown != before.Scale(c->FWidth)) c->FWidth = before.Unscale(shown);
        }
    TWinControl::ScaleForDpi(Scale);
    if (!FHandle) return;
    for (int i = 0; i < FColumns.Count(); ++i)
        SendMessageW(FHandle, LVM_SETCOLUMNWIDTH, WPARAM(i), LPARAM(Scale.Scale(FColumns.Items(i)->FWidth)));
}

void TListView::RebuildColumns() {
    if (!FHandle) return;
    HWND header = reinterpret_cast<HWND>(SendMessageW(FHandle, LVM_GETHEADER, 0, 0));
    int existing = header ? int(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    while (existing-- > 0) SendMessageW(FHandle, LVM_DELETECOLUMN, 0, 0);
    for (int i = 0; i < FColumns.Count(); ++i) {
        TListColumn* col = FColumns.Items(i);
        std::wstring text = ToWide(col->FCaption);
        LVCOLUMNW c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        c.pszText = text.data();
        c.cx = ScaledColumnWidth(col->FWidth);
        c.iSubItem = i;
        // The first column of a list view is always left-aligned; the format is set again
        // after insertion so that the control keeps what it can.
        c.fmt = ColumnFormat(col->FAlignment);
        SendMessageW(FHandle, LVM_INSERTCOLUMNW, WPARAM(i), reinterpret_cast<LPARAM>(&c));
    }
    for (int i = 0; i < FItems.Count(); ++i) WriteItem(FItems.Item(i), false);
}

TListItem* TListView::ItemOfRow(int Row) const { return Row >= 0 && Row < FItems.Count() ? FItems.Item(Row) : nullptr; }

void TListView::WriteItem(TListItem* Item, bool Insert) {
    if (!FHandle) return;
    const int row = Item->Index();
    std::wstring caption = ToWide(Item->FCaption);
    LVITEMW it{};
    it.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    it.iItem = row;
    it.pszText = caption.data();
    it.lParam = reinterpret_cast<LPARAM>(Item);
    it.iImage = Item->FImageIndex;
    SendMessageW(FHandle, Insert ? LVM_INSERTITEMW : LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&it));
    const int columns = std::max(FColumns.Count() - 1, Item->FSubItems.Count());
    for (int j = 0; j < columns; ++j) {
        std::wstring text = j < Item->FSubItems.Count() ? ToWide(Item->FSubItems.Get(j)) : std::wstring();
        LVITEMW sub{};
        sub.iSubItem = j + 1;
        sub.pszText = text.data();
        SendMessageW(FHandle, LVM_SETITEMTEXTW, WPARAM(row), reinterpret_cast<LPARAM>(&sub));
    }
}

// Makes the window's rows match the items: the same rows, in the same order, with their
// texts; the operator's selection, focus and checks are kept.
void TListView::RebuildItems() {
    if (!FHandle) return;
    const int rows = int(SendMessageW(FHandle, LVM_GETITEMCOUNT, 0, 0));
    bool same = rows == FItems.Count();
    for (int r = 0; same && r < rows; ++r) {
        LVITEMW it{};
        it.mask = LVIF_PARAM;
        it.iItem = r;
        SendMessageW(FHandle, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
        same = it.lParam == reinterpret_cast<LPARAM>(FItems.Item(r));
    }
    if (same) {
        for (int i = 0; i < FItems.Count(); ++i) WriteItem(FItems.Item(i), false);
        return;
    }
    std::map<LPARAM, UINT> states;
    for (int r = 0; r < rows; ++r) {
        LVITEMW it{};
        it.mask = LVIF_PARAM | LVIF_STATE;
        it.iItem = r;
        it.stateMask = LVIS_SELECTED | LVIS_FOCUSED | LVIS_STATEIMAGEMASK;
        SendMessageW(FHandle, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
        states[it.lParam] = it.state;
    }
    SendMessageW(FHandle, WM_SETREDRAW, FALSE, 0);
    SendMessageW(FHandle, LVM_DELETEALLITEMS, 0, 0);
    for (int i = 0; i < FItems.Count(); ++i) {
        TListItem* item = FItems.Item(i);
        WriteItem(item, true);
        UINT state = 0;
        auto found = states.find(reinterpret_cast<LPARAM>(item));
        if (found != states.end())
            state = found->second;
        else if (item->FSelected)
            state = LVIS_SELECTED;
        if (FCheckboxes && found == states.end()) state |= INDEXTOSTATEIMAGEMASK(item->FChecked ? 2 : 1);
        if (state) {
            LVITEMW st{};
            st.stateMask = LVIS_SELECTED | LVIS_FOCUSED | (FCheckboxes ? LVIS_STATEIMAGEMASK : 0);
            st.state = state;
            SendMessageW(FHandle, LVM_SETITEMSTATE, WPARAM(i), reinterpret_cast<LPARAM>(&st));
        }
    }
    SendMessageW(FHandle, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(FHandle, nullptr, TRUE);
}

void TListView::ItemsChanged(TCollectionItem* Item) {
    if (!FHandle) return;
    if (Item) {
        auto* item = static_cast<TListItem*>(Item);
        const int rows = int(SendMessageW(FHandle, LVM_GETITEMCOUNT, 0, 0));
        if (rows == FItems.Count()) {
            WriteItem(item, false);
            return;
        }
    }
    RebuildItems();
}

void TListView::SetViewStyle(TViewStyle Value) {
    if (Value != FViewStyle) {
        FViewStyle = Value;
        RecreateWnd();
    }
}
void TListView::SetGridLines(bool Value) {
    FGridLines = Value;
    UpdateExStyle();
}
void TListView::SetRowSelect(bool Value) {
    FRowSelect = Value;
    UpdateExStyle();
}
void TListView::SetCheckboxes(bool Value) {
    FCheckboxes = Value;
    UpdateExStyle();
}
void TListView::SetMultiSelect(bool Value) {
    if (Value != FMultiSelect) {
        FMultiSelect = Value;
        RecreateWnd();
    }
}
void TListView::SetReadOnly(bool Value) {
    if (Value != FReadOnly) {
        FReadOnly = Value;
        RecreateWnd();
    }
}
void TListView::SetHideSelection(bool Value) {
    if (Value != FHideSelection) {
        FHideSelection = Value;
        RecreateWnd();
    }
}
void TListView::SetShowColumnHeaders(bool Value) {
    if (Value != FShowColumnHeaders) {
        FShowColumnHeaders = Value;
        RecreateWnd();
    }
}
void TListView::SetBorderStyle(TBorderStyleCtl Value) {
    if (Value != FBorderStyle) {
        FBorderStyle = Value;
        RecreateWnd();
    }
}

void TListView::SetSmallImages(TImageList* Value) {
    FSmallImages = Value;
    if (Value) Value->FreeNotification(this);
    if (FHandle)
        SendMessageW(FHandle, LVM_SETIMAGELIST, LVSIL_SMALL,
                     reinterpret_cast<LPARAM>(Value ? Value->Handle() : nullptr));
}

TListItem* TListView::GetNextItem(TListItem* StartItem, UINT States) const {
    if (!FHandle) {
        const int from = StartItem ? StartItem->Index() + 1 : 0;
        for (int i = from; i < FItems.Count(); ++i)
            if (!(States & LVNI_SELECTED) || FItems.Item(i)->FSelected) return FItems.Item(i);
        return nullptr;
    }
    const int start = StartItem ? StartItem->Index() : -1;
    return ItemOfRow(int(SendMessageW(FHandle, LVM_GETNEXTITEM, WPARAM(start), MAKELPARAM(States, 0))));
}

TListItem* TListView::Selected() const { return GetNextItem(nullptr, LVNI_SELECTED); }

void TListView::SetSelected(TListItem* Item) {
    ClearSelection();
    if (Item) {
        Item->SetSelected(true);
        Item->SetFocused(true);
    }
}

int TListView::SelCount() const {
    if (FHandle) return int(SendMessageW(FHandle, LVM_GETSELECTEDCOUNT, 0, 0));
    int n = 0;
    for (int i = 0; i < FItems.Count(); ++i) n += FItems.Item(i)->FSelected ? 1 : 0;
    return n;
}

TListItem* TListView::ItemFocused() const { return FHandle ? GetNextItem(nullptr, LVNI_FOCUSED) : nullptr; }

void TListView::ClearSelection() {
    for (int i = 0; i < FItems.Count(); ++i) FItems.Item(i)->FSelected = false;
    if (!FHandle) return;
    LVITEMW st{};
    st.stateMask = LVIS_SELECTED;
    SendMessageW(FHandle, LVM_SETITEMSTATE, WPARAM(-1), reinterpret_cast<LPARAM>(&st));
}

void TListView::SelectAll() {
    if (!FMultiSelect) return;
    for (int i = 0; i < FItems.Count(); ++i) FItems.Item(i)->FSelected = true;
    if (!FHandle) return;
    LVITEMW st{};
    st.stateMask = LVIS_SELECTED;
    st.state = LVIS_SELECTED;
    SendMessageW(FHandle, LVM_SETITEMSTATE, WPARAM(-1), reinterpret_cast<LPARAM>(&st));
}

bool TListView::IsEditing() const { return FHandle && SendMessageW(FHandle, LVM_GETEDITCONTROL, 0, 0) != 0; }

void TListView::WndProc(TMessage& Message) {
    // F2 edits the focused row's caption, as it renames in the shell: the control itself
    // starts an edit only on a second click, which leaves the keyboard without a way in.
    if (Message.Msg == WM_KEYDOWN && Message.WParam == VK_F2 && !FReadOnly && GetKeyState(VK_CONTROL) >= 0 &&
        GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_MENU) >= 0) {
        if (TListItem* item = ItemFocused()) {
            item->EditCaption();
            return;
        }
    }
    if (Message.Msg == WM_SETFOCUS) {
        // A list reached by the keyboard shows where it is: with no row focused yet the
        // control draws no mark at all, so the first row takes the focus (not the
        // selection), as the arrow keys would start from it.
        TWinControl::WndProc(Message);
        if (FHandle && SendMessageW(FHandle, LVM_GETITEMCOUNT, 0, 0) > 0 &&
            SendMessageW(FHandle, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED) == -1) {
            LVITEMW st{};
            st.stateMask = LVIS_FOCUSED;
            st.state = LVIS_FOCUSED;
            SendMessageW(FHandle, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&st));
        }
        return;
    }
    if (Message.Msg == CN_NOTIFY) {
        const auto* hdr = reinterpret_cast<const NMHDR*>(Message.LParam);
        switch (hdr->code) {
        case LVN_BEGINLABELEDITW: {
            const auto* di = reinterpret_cast<const NMLVDISPINFOW*>(Message.LParam);
            bool allow = !FReadOnly;
            if (allow && OnEditing) OnEditing(this, ItemOfRow(di->item.iItem), allow);
            Message.Result = allow ? FALSE : TRUE;
            return;
        }
        case LVN_ENDLABELEDITW: {
            const auto* di = reinterpret_cast<const NMLVDISPINFOW*>(Message.LParam);
            TListItem* item = ItemOfRow(di->item.iItem);
            if (item && di->item.pszText) {
                std::string text = ToUtf8(di->item.pszText);
                if (OnEdited) OnEdited(this, item, text);
                item->SetCaption(text);  // writes the row itself
            }
            Message.Result = FALSE;
            return;
        }
        case LVN_ITEMCHANGED: {
            const auto* nm = reinterpret_cast<const NMLISTVIEW*>(Message.LParam);
            if ((nm->uChanged & LVIF_STATE) && ((nm->uOldState ^ nm->uNewState) & LVIS_SELECTED)) {
                if (TListItem* item = ItemOfRow(nm->iItem)) {
                    item->FSelected = (nm->uNewState & LVIS_SELECTED) != 0;
                    if (OnSelectItem) OnSelectItem(this, item, item->FSelected);
                }
            }
            if (OnChange) OnChange(this);
            return;
        }
        default: break;
        }
    }
    TWinControl::WndProc(Message);
}

}  // namespace quorin
