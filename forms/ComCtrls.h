// Common controls: page control with tab sheets (a tab control), list view in report style
// (a list-view control), status bar with panels (a status-bar control) and tree view.
// Windows only.
#pragma once

#include "forms/Controls.h"
#include "forms/StringList.h"

#include <commctrl.h>

namespace quorin {

class TPageControl;
class TImageList;

// One page of a page control; its tab may be hidden (TabVisible) while the page stays in
// the page control's list.
class TTabSheet : public TWinControl {
    QUORIN_CLASS(TTabSheet, TWinControl)
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;
    TPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TPageControl* Value);
    // Index among all pages; TabIndex among the shown tabs (-1 when the tab is hidden).
    int PageIndex() const;
    void SetPageIndex(int Value);
    int TabIndex() const;
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    void SetParent(TWinControl* AParent) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void TextChanged() override;

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
    int FImageIndex = -1;
};

enum class TTabStyle { tsTabs, tsButtons, tsFlatButtons };
enum class TTabPosition { tpTop, tpBottom, tpLeft, tpRight };

// A tab control ("SysTabControl32") showing one tab per page whose tab is visible.
class TPageControl : public TWinControl {
    QUORIN_CLASS(TPageControl, TWinControl)
public:
    // Fixed tab sizes are stored lengths, scaled with the form.
    void ScaleForDpi(const TDpiScale& Scale) override;
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;
    int PageCount() const { return int(FPages.size()); }
    TTabSheet* Pages(int Index) const { return FPages.at(size_t(Index)); }
    TTabSheet* ActivePage() const { return FActivePage; }
    void SetActivePage(TTabSheet* Page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int Index);
    TTabStyle Style() const { return FStyle; }
    void SetStyle(TTabStyle Value);
    TTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TTabPosition Value);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value);
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    int TabHeight() const { return FTabHeight; }
    void SetTabHeight(int Value);
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int Value);
    // The index among the shown tabs of the selected tab, -1 for none.
    int TabIndex() const;
    // The page next to CurrentPage among pages with a visible tab.
    TTabSheet* FindNextPage(TTabSheet* CurrentPage, bool GoForward, bool CheckTabVisible) const;
    void SelectNextPage(bool GoForward);
    RECT ClientRect() const override;

    TNotifyEvent OnChange;
    std::function<void(TObject* Sender, bool& AllowChange)> OnChanging;

protected:
    friend class TTabSheet;
    void CreateParams(TCreateParams& Params) override;
    void InitializeWnd() override;
    void WndProc(TMessage& Message) override;
    void CMDialogKey(TMessage& Message);
    void SendTabSize();
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    void UpdateTabs();
    void UpdatePages();

    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
    TTabStyle FStyle = TTabStyle::tsTabs;
    TTabPosition FTabPosition = TTabPosition::tpTop;
    bool FMultiLine = false;
    bool FHotTrack = false;
    TImageList* FImages = nullptr;
    int FTabHeight = 0, FTabWidth = 0;
    bool FUpdatingTabs = false;
};

class TListView;

class TListColumn : public TCollectionItem {
    QUORIN_CLASS(TListColumn, TCollectionItem)
public:
    using TCollectionItem::TCollectionItem;
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    int Width() const;
    void SetWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value) { FAutoSize = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; }
    void Assign(const TPersistent& Source) override;

private:
    friend class TListView;
    std::string FCaption;
    int FWidth = 50;
    TAlignment FAlignment = TAlignment::taLeftJustify;
    bool FAutoSize = false;
    int FImageIndex = -1;
};

class TListColumns : public TCollection {
    QUORIN_CLASS(TListColumns, TCollection)
public:
    explicit TListColumns(TListView* Owner);
    TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
    TListColumn* Items(int Index) const { return static_cast<TListColumn*>(TCollection::Items(Index)); }
    TListView* Owner() const { return FListView; }

private:
    TListView* FListView;
};

class TListItems;

// One row: its caption (first column) and the texts of the further columns (SubItems).
// Selected, Focused and Checked read the window's state.
class TListItem : public TCollectionItem {
    QUORIN_CLASS(TListItem, TCollectionItem)
public:
    explicit TListItem(TCollection* Collection);
    ~TListItem() override;
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    TStrings& SubItems() { return FSubItems; }
    const TStrings& SubItems() const { return FSubItems; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    intptr_t Data() const { return FData; }
    void SetData(intptr_t Value) { FData = Value; }
    bool Selected() const;
    void SetSelected(bool Value);
    bool Focused() const;
    void SetFocused(bool Value);
    bool Checked() const;
    void SetChecked(bool Value);
    void Delete();
    void MakeVisible(bool PartialOK);
    // Starts the operator's in-place edit of the caption.
    void EditCaption();
    TListView* ListView() const;
    void Assign(const TPersistent& Source) override;

private:
    friend class TListView;
    void SubItemsChanged();
    std::string FCaption;
    TStringList FSubItems;
    int FImageIndex = -1;
    intptr_t FData = 0;
    bool FSelected = false;  // while there is no window
    bool FChecked = false;
};

class TListItems : public TCollection {
    QUORIN_CLASS(TListItems, TCollection)
public:
    explicit TListItems(TListView* Owner);
    TListItem* Add() { return static_cast<TListItem*>(TCollection::Add()); }
    TListItem* Insert(int Index) { return static_cast<TListItem*>(TCollection::Insert(Index)); }
    TListItem* Item(int Index) const { return static_cast<TListItem*>(TCollection::Items(Index)); }
    TListItem* operator[](int Index) const { return Item(Index); }
    TListView* Owner() const { return FListView; }

protected:
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override;

private:
    TListView* FListView;
};

enum class TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

using TLVEditedEvent = std::function<void(TObject* Sender, TListItem* Item, std::string& S)>;
using TLVEditingEvent = std::function<void(TObject* Sender, TListItem* Item, bool& AllowEdit)>;
using TLVSelectItemEvent = std::function<void(TObject* Sender, TListItem* Item, bool Selected)>;

// A list-view control ("SysListView32"). The rows live in the window; Items mirrors them
// and every change of Items goes to the window at once.
class TListView : public TWinControl {
    QUORIN_CLASS(TListView, TWinControl)
public:
    // Column widths are stored lengths, scaled with the form.
    void ScaleForDpi(const TDpiScale& Scale) override;
    explicit TListView(TComponent* AOwner);
    ~TListView() override;

    TListColumns& Columns() { return FColumns; }
    TListItems& Items() { return FItems; }
    const TListItems& Items() const { return FItems; }
    TViewStyle ViewStyle() const { return FViewStyle; }
    void SetViewStyle(TViewStyle Value);
    bool GridLines() const { return FGridLines; }
    void SetGridLines(bool Value);
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool Value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    // False lets the operator edit a row's caption in place.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    bool ShowColumnHeaders() const { return FShowColumnHeaders; }
    void SetShowColumnHeaders(bool Value);
    bool Checkboxes() const { return FCheckboxes; }
    void SetCheckboxes(bool Value);
    TBorderStyleCtl BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyleCtl Value);
    TImageList* SmallImages() const { return FSmallImages; }
    void SetSmallImages(TImageList* Value);

    // The first selected row, or nullptr; SelCount the number of selected rows.
    TListItem* Selected() const;
    void SetSelected(TListItem* Item);
    int SelCount() const;
    // The next row after StartItem (nullptr: from the start) with all the given LVNI_ states.
    TListItem* GetNextItem(TListItem* StartItem, UINT States) const;
    TListItem* ItemFocused() const;
    void ClearSelection();
    void SelectAll();
    bool IsEditing() const;

    TLVEditingEvent OnEditing;
    TLVEditedEvent OnEdited;
    TNotifyEvent OnChange;
    TLVSelectItemEvent OnSelectItem;

protected:
    friend class TListItem;
    friend class TListColumn;
    friend class TListColumns;
    friend class TListItems;
    void CreateParams(TCreateParams& Params) override;
    void InitializeWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& Message) override;
    void ColorChanged() override;
    int ScaledColumnWidth(int Stored) const;
    void UpdateExStyle();
    void UpdateStyle();
    void RebuildColumns();
    void RebuildItems();
    void ItemsChanged(TCollectionItem* Item);
    void WriteItem(TListItem* Item, bool Insert);
    void WriteColumn(TListColumn* Column);
    TListItem* ItemOfRow(int Row) const;

    TListColumns FColumns{this};
    TListItems FItems{this};
    TViewStyle FViewStyle = TViewStyle::vsIcon;
    bool FGridLines = false;
    bool FRowSelect = false;
    bool FMultiSelect = false;
    bool FReadOnly = false;
    bool FHideSelection = true;
    bool FShowColumnHeaders = true;
    bool FCheckboxes = false;
    TBorderStyleCtl FBorderStyle = TBorderStyleCtl::bsSingle;
    TImageList* FSmallImages = nullptr;
    int FRowsInWindow = 0;
};

class TStatusBar;

class TStatusPanel : public TCollectionItem {
    QUORIN_CLASS(TStatusPanel, TCollectionItem)
public:
    using TCollectionItem::TCollectionItem;
    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    void Assign(const TPersistent& Source) override;

private:
    std::string FText;
    int FWidth = 50;
    TAlignment FAlignment = TAlignment::taLeftJustify;
};

class TStatusPanels : public TCollection {
    QUORIN_CLASS(TStatusPanels, TCollection)
public:
    explicit TStatusPanels(TStatusBar* Owner);
    TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
    TStatusPanel* Items(int Index) const { return static_cast<TStatusPanel*>(TCollection::Items(Index)); }
    TStatusPanel* operator[](int Index) const { return Items(Index); }

private:
    TStatusBar* FStatusBar;
};

// A status-bar control ("msctls_statusbar32") with panels; the last panel stretches to
// the right edge.
class TStatusBar : public TWinControl {
    QUORIN_CLASS(TStatusBar, TWinControl)
public:
    // Panel widths are stored lengths, scaled with the form.
    void ScaleForDpi(const TDpiScale& Scale) override;
    explicit TStatusBar(TComponent* AOwner);
    TStatusPanels& Panels() { return FPanels; }
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool Value);
    const std::string& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const std::string& Value);
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value);

protected:
    friend class TStatusPanels;
    friend class TStatusPanel;
    void CreateParams(TCreateParams& Params) override;
    void InitializeWnd() override;
    void WndProc(TMessage& Message) override;
    void UpdatePanels();
    void BoundsChanged() override;

    TStatusPanels FPanels{this};
    bool FSimplePanel = false;
    std::string FSimpleText;
    bool FSizeGrip = true;
};

// A tree-view control ("SysTreeView32"); the nodes are added through the window.
class TTreeView : public TWinControl {
    QUORIN_CLASS(TTreeView, TWinControl)
public:
    explicit TTreeView(TComponent* AOwner);
    int Indent() const { return FIndent; }
    void SetIndent(int Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool ShowLines() const { return FShowLines; }
    void SetShowLines(bool Value);
    bool ShowRoot() const { return FShowRoot; }
    void SetShowRoot(bool Value);
    bool ShowButtons() const { return FShowButtons; }
    void SetShowButtons(bool Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value) { FHideSelection = Value; }
    // Adds a node under Parent (nullptr for a root node) and returns its handle.
    HTREEITEM AddNode(HTREEITEM Parent, const std::string& Text);
    int NodeCount();
    void ClearNodes();

protected:
    void CreateParams(TCreateParams& Params) override;
    void InitializeWnd() override;
    int FIndent = 19;
    bool FReadOnly = false, FShowLines = true, FShowRoot = true, FShowButtons = true, FHideSelection = true;
};

// A tab control without pages ("SysTabControl32"): a row of tabs over one display area
// that the program fills itself.
class TTabControl : public TWinControl {
    QUORIN_CLASS(TTabControl, TWinControl)
public:
    explicit TTabControl(TComponent* AOwner);
    TStrings& Tabs() { return FTabs; }
    void SetTabs(const TStrings& Value);
    int TabIndex() const;
    void SetTabIndex(int Value);
    TTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TTabPosition Value);
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& Params) override;
    void InitializeWnd() override;
    void WndProc(TMessage& Message) override;
    void UpdateTabs();

    TStringList FTabs;
    int FTabIndex = -1;
    TTabPosition FTabPosition = TTabPosition::tpTop;
};

enum class TTrackBarOrientation { trHorizontal, trVertical };

// A track-bar control ("msctls_trackbar32").
class TTrackBar : public TWinControl {
    QUORIN_CLASS(TTrackBar, TWinControl)
public:
    explicit TTrackBar(TComponent* AOwner);
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Position() const;
    void SetPosition(int Value);
    TTrackBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TTrackBarOrientation Value);
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& Params) override;
    void InitializeWnd() override;
    void WndProc(TMessage& Message) override;

    int FMin = 0, FMax = 10, FPosition = 0;
    TTrackBarOrientation FOrientation = TTrackBarOrientation::trHorizontal;
};

// A header control ("SysHeader32") with one section per line of Sections (text only).
class THeaderControl : public TWinControl {
    QUORIN_CLASS(THeaderControl, TWinControl)
public:
    explicit THeaderControl(TComponent* AOwner);
    // Adds a section of the given width at the end.
    void AddSection(const std::string& Text, int Width);
    int SectionCount() const;

protected:
    void CreateParams(TCreateParams& Params) override;
    void InitializeWnd() override;

    std::vector<std::pair<std::string, int>> FSections;
};

}  // namespace quorin
