// The controls of the QUORIN-Q1 page as the protocol code sees them: addressed by their
// component names, read and written by item index, text, check mark or list row. The
// window implements this over its real controls, so the controls stay the only store of
// the parameters; the protocol code itself never needs a window.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorin {

class TParameterPage {
public:
    virtual ~TParameterPage() = default;

    // Combo boxes. ItemIndex is -1 without a selection; SetItemIndex(-1) clears it.
    // Setting an item index runs none of the box's handlers.
    virtual int ItemIndex(std::string_view name) const = 0;
    virtual int ItemCount(std::string_view name) const = 0;
    virtual void SetItemIndex(std::string_view name, int index) = 0;

    // Edits and combo boxes (a list-only box's text is its selected item, or empty).
    virtual std::string Text(std::string_view name) const = 0;
    virtual void SetText(std::string_view name, const std::string& text) = 0;

    // Check boxes. Changing the state from code runs the box's click handler, exactly as
    // an operator's click would; setting the state it already has runs nothing.
    virtual bool Checked(std::string_view name) const = 0;
    virtual void SetChecked(std::string_view name, bool checked) = 0;

    // Report-style list views: a row is its caption followed by its sub-items.
    virtual int RowCount(std::string_view name) const = 0;
    virtual std::vector<std::string> Row(std::string_view name, int index) const = 0;
    virtual void ClearRows(std::string_view name) = 0;
    virtual void AddRow(std::string_view name, const std::vector<std::string>& cells) = 0;

    // The conversion-mode rule (ComboBoxSwitchModeChange with no sender).
    virtual void ApplySwitchModeRule() = 0;
};

// Component names of the QUORIN-Q1 page that carry parameters.
namespace names {
constexpr std::string_view BasicInfo = "ListViewVandrelBasicInfo";
constexpr std::string_view SwitchMode = "ComboBoxSwitchMode";
constexpr std::string_view SwitchRoute = "ComboBoxSwtichRoute";
constexpr std::string_view CANIDOffset = "ComboBoxCANIDOffset";
constexpr std::string_view CANIDLen = "ComboBoxCANIDLen";
constexpr std::string_view UARTFrameInterval = "EditUARTFrameInterVal";
constexpr std::string_view CANFrameInterval = "EditCANFrameInterval";
constexpr std::string_view CANFrameInfoEnable = "CheckBoxCANFrameInfoEnable";
constexpr std::string_view CANIDInfoEnable = "CheckBoxCANIDInfoEnable";
constexpr std::string_view UARTMode = "ComboBoxUARTMode";
constexpr std::string_view UARTBaudrate = "ComboBoxUARTBuadrateIndex";
constexpr std::string_view UARTDataBits = "ComboBoxUARTDataBitIndex";
constexpr std::string_view UARTStopBits = "ComboBoxUARTStopBitIndex";
constexpr std::string_view UARTParity = "ComboBoxUARTParityBitIndex";
constexpr std::string_view FDStandard = "ComboBoxFDStandard";
constexpr std::string_view CANType = "ComboBoxCANType";
constexpr std::string_view CANID = "EditCANID";
constexpr std::string_view CANFrameType = "ComboBoxCANFrameType";
constexpr std::string_view BitRateSwitch = "ComboBoxBitRateSwitch";
constexpr std::string_view BuadrateCustom = "CheckBoxBuadrateCustom";
constexpr std::string_view BaudrateIndexA = "ComboBoxtBaudrateIndexA";
constexpr std::string_view BaudrateIndexB = "ComboBoxtBaudrateIndexB";
constexpr std::string_view BaudrateA = "EditBaudrateA";
constexpr std::string_view BaudrateB = "EditBaudrateB";
constexpr std::string_view FilterEnable = "CheckBoxVandrelFilterEnable";
constexpr std::string_view FilterList = "ListViewVandrelFrameID";
}  // namespace names

// Texts the filter list and the identity list use.
constexpr std::string_view kStandardFrameText = "Standard Frame";
constexpr std::string_view kExtendedFrameText = "Extend   Frame";
constexpr std::string_view kProductCodeText = "QUORIN-Q1";

}  // namespace quorin
