// The window's side of the protocol code's interfaces: the QUORIN-Q1 page over the form's
// real controls, and the three command buttons a transaction disables while it waits.
// Shared by the Read and Write buttons and the profile commands of the File menu, so that
// a profile fills and collects the controls exactly as a read and a write do.
#pragma once

#include "app/UnitCANConfig.h"
#include "link/CANConfigReadParameter.h"

#include <windows.h>
#include <commctrl.h>

namespace quorin {

// The QUORIN-Q1 page as the protocol code sees it: the form's own controls, found by
// their component names. The controls stay the only store of the parameters.
class TFormParameterPage : public TParameterPage {
public:
    explicit TFormParameterPage(TFormCANConfig& form) : FForm(form) {}

    int ItemIndex(std::string_view name) const override { return Get<TComboBox>(name).ItemIndex(); }
    int ItemCount(std::string_view name) const override { return Get<TComboBox>(name).Items().Count(); }
    void SetItemIndex(std::string_view name, int index) override { Get<TComboBox>(name).SetItemIndex(index); }

    std::string Text(std::string_view name) const override { return Get<TControl>(name).Text(); }
    void SetText(std::string_view name, const std::string& text) override { Get<TControl>(name).SetText(text); }

    bool Checked(std::string_view name) const override { return Get<TCheckBox>(name).Checked(); }
    void SetChecked(std::string_view name, bool checked) override { Get<TCheckBox>(name).SetChecked(checked); }

    int RowCount(std::string_view name) const override { return Get<TListView>(name).Items().Count(); }
    std::vector<std::string> Row(std::string_view name, int index) const override {
        const TListItem* item = Get<TListView>(name).Items().Item(index);
        std::vector<std::string> cells{item->Caption()};
        for (int i = 0; i < item->SubItems().Count(); ++i) cells.push_back(item->SubItems()[i]);
        return cells;
    }
    void ClearRows(std::string_view name) override { Get<TListView>(name).Items().Clear(); }
    void AddRow(std::string_view name, const std::vector<std::string>& cells) override {
        TListItem* item = Get<TListView>(name).Items().Add();
        if (cells.empty()) return;
        item->SetCaption(cells[0]);
        for (std::size_t i = 1; i < cells.size(); ++i) item->SubItems().Add(cells[i]);
    }

    void ApplySwitchModeRule() override { FForm.ComboBoxSwitchModeChange(nullptr); }

private:
    template <class T>
    T& Get(std::string_view name) const {
        T* control = dynamic_cast<T*>(FForm.FindComponent(name));
        if (!control) throw Exception("The window has no control " + std::string(name) + " of the expected kind");
        return *control;
    }

    TFormCANConfig& FForm;
};

// An in-place edit of a filter row's port that is still open: the typed text is the
// row's once it is committed, which otherwise happens only when the edit loses the focus.
// A command that collects the window's values (Save, Write, Compare) may run from a menu
// short cut with the edit still open, so it commits it first, as Enter would.
inline void CommitPendingEdits(TFormCANConfig& form) {
    TListView* list = form.ListViewVandrelFrameID;
    if (!list || !list->IsEditing()) return;
    const HWND edit = reinterpret_cast<HWND>(SendMessageW(list->Handle(), LVM_GETEDITCONTROL, 0, 0));
    if (edit) SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
}

// Open, Read and Write are disabled while a transaction waits, in this order, and enabled
// again in the same order. Disabling the button that has the keyboard focus takes the
// focus away from the window altogether; it goes back to that control afterwards, so an
// operator working from the keyboard keeps his place.
class TFormCommandButtons : public TCommandButtons {
public:
    explicit TFormCommandButtons(TFormCANConfig& form) : FForm(form) {}
    void DisableCommandButtons() override {
        FFocus = GetFocus();
        SetEnabled(false);
    }
    void EnableCommandButtons() override {
        // The window could not react during the wait, so clicks and keys the operator
        // gave it meanwhile are still queued; delivered now they would land on the
        // enabled buttons and start the command again. They are dropped instead, as the
        // disabled buttons would have done.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {}
        while (PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {}
        SetEnabled(true);
        RestoreFocus();
    }

private:
    void RestoreFocus() {
        const HWND focus = FFocus;
        FFocus = nullptr;
        // Only a focus the wait took away, in the window that is still the active one: the
        // operator may have moved on to another window meanwhile. (Not asked whether it is
        // visible: a skinned button switches its drawing off, and with it the visible
        // style, while its click handler runs.)
        if (!focus || GetFocus() || !IsWindow(focus) || !IsWindowEnabled(focus)) return;
        if (GetActiveWindow() != GetAncestor(focus, GA_ROOT)) return;
        SetFocus(focus);
    }
    void SetEnabled(bool enabled) {
        FForm.ButtonOpenRS232->SetEnabled(enabled);
        FForm.ButtonReadParameter->SetEnabled(enabled);
        FForm.ButtonWriteParameter->SetEnabled(enabled);
    }
    TFormCANConfig& FForm;
    HWND FFocus = nullptr;
};

}  // namespace quorin
