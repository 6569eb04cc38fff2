// The Read and Write buttons of the main window: the window side of the configuration
// protocol. The transactions and the mapping between block and controls are portable
// (link/CANConfigReadParameter.h, link/CANConfigWriteParameter.h); this file lends them
// the window's controls and command buttons and turns outcomes into operator messages.
#include "app/UnitCANConfig.h"

#include <windows.h>

#include "app/FormParameterPage.h"
#include "app/Strings.h"
#include "app/WarningBox.h"
#include "link/CANConfigWriteParameter.h"

namespace quorin {
namespace {

void SetStatus(TFormCANConfig& form, unsigned id) { form.StatusBar1->Panels()[1]->SetText(LoadStr(id)); }

}  // namespace

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
    CommitPendingEdits(*this);
    TFormParameterPage controls(*this);
    TFormCommandButtons buttons(*this);
    // A text the conversion refuses raises here, before anything is sent; the
    // application's exception display names it and the status stays as it was.
    // Every failure replaces the status, so no earlier success stays beside the warning.
    switch (CollectDeviceParameter(0, controls, {OpenedCommIndex, &buttons})) {
    case TWriteOutcome::SentFailed:
    case TWriteOutcome::ReadbackFailed:
    case TWriteOutcome::Mismatch:
        SetStatus(*this, IDS_WRITE_FAILED);
        ShowWarningBox(LoadStr(IDS_WRITE_FAILED), LoadStr(IDS_TITLE_WARING));
        break;
    case TWriteOutcome::Success: SetStatus(*this, IDS_STATUS_WRITE_DONE); break;
    }
}

}  // namespace quorin
