#include "link/CANConfigReadParameter.h"

#include <string>

#include "forms/SysUtils.h"

namespace quorin {

namespace {

std::string Hex(uint32_t value, int digits) { return IntToHex(value, digits); }

std::string Decimal(uint32_t value) { return std::to_string(value); }

// A byte that is no item index of the box leaves the box without a selection.
void ShowItemIndex(TParameterPage& controls, std::string_view name, int index) {
    if (index < 0 || index >= controls.ItemCount(name)) index = -1;
    controls.SetItemIndex(name, index);
}

}  // namespace

void ShowBasicInfo(int page, TParameterPage& controls, const TParameterBlock& block) {
    if (page != 0) return;
    const TDeviceIdentity id = DecodeParameterBlock(block).Identity;
    const auto& sn = id.SerialNumber;
    controls.ClearRows(names::BasicInfo);
    controls.AddRow(names::BasicInfo, {"Vendor ID", "0x" + Hex(id.VendorId, 4)});
    controls.AddRow(names::BasicInfo, {"Product Type", Hex(id.ProductType, 4) + " Series"});
    controls.AddRow(names::BasicInfo, {"Product Code", std::string(kProductCodeText)});
    controls.AddRow(names::BasicInfo, {"Hardware Version", Decimal(id.HardwareVersion)});
    controls.AddRow(names::BasicInfo, {"Firmware Version", Decimal(id.FirmwareVersion)});
    controls.AddRow(names::BasicInfo,
                    {"Serial Number", Hex(sn[0], 2) + "-" + Hex(sn[1], 2) + "-" + Hex(sn[2], 2) + "-" + Hex(sn[3], 2)});
}

void ShowFilterList(int page, TParameterPage& controls, const TParameterBlock& block) {
    if (page != 0) return;
    const TDeviceSettings s = DecodeParameterBlock(block);
    controls.SetChecked(names::FilterEnable, s.FilterEnable != 0);
    controls.ClearRows(names::FilterList);
    for (const TFilterEntry& f : s.Filters) {
        // Only CAN1 has a name here; any other port shows an empty caption.
        controls.AddRow(names::FilterList, {f.Port == 1 ? "CAN1" : "",
                                            std::string(f.FrameFormat == 0 ? kStandardFrameText : kExtendedFrameText),
                                            "0x" + Hex(f.StartId, 8), "0x" + Hex(f.EndId, 8)});
    }
}

void ShowDeviceParameter(int page, TParameterPage& controls, TParameterBlock block) {
    if (page != 0) return;
    const TDeviceSettings s = DecodeParameterBlock(block);

    ShowBasicInfo(page, controls, block);

    ShowItemIndex(controls, names::SwitchMode, s.SwitchMode);
    ShowItemIndex(controls, names::SwitchRoute, s.SwitchRoute);

    ShowItemIndex(controls, names::CANIDOffset, s.CANIDOffset);
    ShowItemIndex(controls, names::CANIDLen, int{s.CANIDLen} - 1);

    controls.SetText(names::UARTFrameInterval, Decimal(s.UARTFrameInterval));
    controls.SetText(names::CANFrameInterval, Decimal(s.CANFrameInterval));

    controls.SetChecked(names::CANFrameInfoEnable, s.CANFrameInfoEnable != 0);
    controls.SetChecked(names::CANIDInfoEnable, s.CANIDInfoEnable != 0);

    ShowItemIndex(controls, names::UARTMode, s.UARTMode);
    ShowItemIndex(controls, names::UARTBaudrate, s.UARTBaudrate);
    ShowItemIndex(controls, names::UARTDataBits, s.UARTDataBits);
    ShowItemIndex(controls, names::UARTStopBits, s.UARTStopBits);
    ShowItemIndex(controls, names::UARTParity, s.UARTParity);
    ShowItemIndex(controls, names::FDStandard, s.FDStandard);
    ShowItemIndex(controls, names::CANType, s.CANType);

    controls.SetText(names::CANID, Hex(s.CANID, 8));

    ShowItemIndex(controls, names::CANFrameType, s.CANFrameType);
    ShowItemIndex(controls, names::BitRateSwitch, s.BitRateSwitch);

    // The check mark switches between the lists and the custom words through its click
    // rule; the pair not in use keeps what it shows.
    if (s.CustomBitRate == 0) {
        controls.SetChecked(names::BuadrateCustom, false);
        ShowItemIndex(controls, names::BaudrateIndexA, s.BaudrateIndexA);
        ShowItemIndex(controls, names::BaudrateIndexB, s.BaudrateIndexB);
    } else {
        controls.SetChecked(names::BuadrateCustom, true);
        controls.SetText(names::BaudrateA, Hex(s.CustomWordA, 8));
        controls.SetText(names::BaudrateB, Hex(s.CustomWordB, 8));
    }

    ShowFilterList(page, controls, block);

    // Setting item indexes raised no change events, so the mode's enabling rule is
    // applied now, over the finished page.
    controls.ApplySwitchModeRule();
}

}  // namespace quorin
