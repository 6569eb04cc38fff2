// The Read and Write buttons of the main window: the window side of the configuration
// protocol. The transactions and the mapping between block and controls are portable
// (link/CANConfigReadParameter.h, link/CANConfigWriteParameter.h); this file lends them
// the window's controls and command buttons and turns outcomes into operator messages.
#include "app/UnitCANConfig.h"

#include <windows.h>

#include "app/Strings.h"
#include "app/WarningBox.h"
#include "link/CANConfigReadParameter.h"
#include "link/CANConfigWriteParameter.h"

namespace quorin {
namespace {

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

// Open, Read and Write are disabled while a transaction waits, in this order, and enabled
// again in the same order.
class TFormCommandButtons : public TCommandButtons {
public:
    explicit TFormCommandButtons(TFormCANConfig& form) : FForm(form) {}
    void DisableCommandButtons() override { SetEnabled(false); }
    void EnableCommandButtons() override {
        // The window could not react during the wait, so clicks and keys the operator
        // gave it meanwhile are still queued; delivered now they would land on the
        // enabled buttons and start the command again. They are dropped instead, as the
        // disabled buttons would have done.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
        }
        while (PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
        }
        SetEnabled(true);
    }

private:
    void SetEnabled(bool enabled) {
        FForm.ButtonOpenRS232->SetEnabled(enabled);
        FForm.ButtonReadParameter->SetEnabled(enabled);
        FForm.ButtonWriteParameter->SetEnabled(enabled);
    }
    TFormCANConfig& FForm;
};

void SetStatus(TFormCANConfig& form, unsigned id) {
    form.StatusBar1->Panels()[1]->SetText(LoadStr(id));
}

} // namespace

void TFormCANConfig::ButtonReadParameterClick(TObject* Sender) {
    const int page = PageControlCANConfig->ActivePageIndex();
    TFormCommandButtons buttons(*this);
    TParameterBlock block{};
    if (!ReadDeviceParameter({OpenedCommIndex, &buttons}, static_cast<uint8_t>(page), block)) {
        SetStatus(*this, IDS_STATUS_READ_FAILED);
        ShowWarningBox(LoadStr(IDS_READ_FAILED), LoadStr(IDS_TITLE_WARING));
        return;
    }
    SetStatus(*this, IDS_STATUS_READ_DONE);
    if (PageControlCANConfig->ActivePageIndex() == 0) {
        TFormParameterPage controls(*this);
        ShowDeviceParameter(0, controls, block);
    }
}

void TFormCANConfig::ButtonWriteParameterClick(TObject* Sender) {
    if (PageControlCANConfig->ActivePageIndex() != 0) return;
    TFormParameterPage controls(*this);
    TFormCommandButtons buttons(*this);
    // A text the conversion refuses raises here, before anything is sent; the
    // application's exception display names it and the status stays as it was.
    switch (CollectDeviceParameter(0, controls, {OpenedCommIndex, &buttons})) {
    case TWriteOutcome::SentFailed:
    case TWriteOutcome::ReadbackFailed:
        ShowWarningBox(LoadStr(IDS_WRITE_FAILED), LoadStr(IDS_TITLE_WARING));
        break;
    case TWriteOutcome::Mismatch:
        SetStatus(*this, IDS_WRITE_FAILED);
        ShowWarningBox(LoadStr(IDS_WRITE_FAILED), LoadStr(IDS_TITLE_WARING));
        break;
    case TWriteOutcome::Success:
        SetStatus(*this, IDS_STATUS_WRITE_DONE);
        break;
    }
}

} // namespace quorin
