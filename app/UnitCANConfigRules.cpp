// The two enabling rules of the main window's parameter pages. They only switch controls
// on and off: values, selections and check marks stay as they are, because the read and
// write sequences still carry every one of them to and from the device.
#include "app/UnitCANConfig.h"

#include <iterator>

namespace quorin {

namespace {

// Enabled state, by conversion mode, of the controls the mode governs.
struct TModeRow {
    bool CANIDOffset, CANIDLen, UARTFrameInterVal, CANFrameInterval, CANFrameInfoEnable, CANIDInfoEnable;
};

constexpr TModeRow kModeRows[] = {
    // transparent: the identifier is not placed in the serial frame, forwarding options apply
    {false, false, true, true, true, true},
    // transparent with identifier: where the identifier sits, and how long it is
    {true, true, true, true, false, false},
    // formatted: the serial frame has a fixed format, so no frame interval of its own
    {false, false, false, true, false, false},
};

}  // namespace

void TFormCANConfig::ComboBoxSwitchModeChange(TObject* Sender) {
    const int mode = ComboBoxSwitchMode->ItemIndex();
    // No selection (or an index beyond the table) leaves every control as it is.
    if (mode < 0 || mode >= int(std::size(kModeRows))) return;
    const TModeRow& row = kModeRows[mode];
    ComboBoxCANIDOffset->SetEnabled(row.CANIDOffset);
    ComboBoxCANIDLen->SetEnabled(row.CANIDLen);
    EditUARTFrameInterVal->SetEnabled(row.UARTFrameInterVal);
    EditCANFrameInterval->SetEnabled(row.CANFrameInterval);
    CheckBoxCANFrameInfoEnable->SetEnabled(row.CANFrameInfoEnable);
    CheckBoxCANIDInfoEnable->SetEnabled(row.CANIDInfoEnable);
}

void TFormCANConfig::CheckBoxBuadrateCustomClick(TObject* Sender) {
    // Either the two custom timing words or the two standard lists, never both.
    const bool custom = CheckBoxBuadrateCustom->Checked();
    EditBaudrateA->SetEnabled(custom);
    EditBaudrateB->SetEnabled(custom);
    ComboBoxtBaudrateIndexA->SetEnabled(!custom);
    ComboBoxtBaudrateIndexB->SetEnabled(!custom);
}

}  // namespace quorin
