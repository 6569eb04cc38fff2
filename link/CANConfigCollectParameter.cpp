#include "link/CANConfigWriteParameter.h"

#include "forms/SysUtils.h"

namespace quorin {

namespace {

uint8_t IndexByte(const TParameterPage& controls, std::string_view name) {
    return static_cast<uint8_t>(controls.ItemIndex(name));  // no selection (-1) travels as 0xFF
}

uint8_t CheckByte(const TParameterPage& controls, std::string_view name) { return controls.Checked(name) ? 1 : 0; }

uint32_t Number(const std::string& text) { return static_cast<uint32_t>(StrToInt(text)); }

// The intervals are unsigned on the device and shown as such, so a read block can hold
// 2147483648 to 4294967295 there. Those texts go back as the same 32 bits; everything else
// goes through the shared conversion, with its error for a text that is no number.
uint32_t IntervalNumber(const std::string& text) {
    try {
        return Number(text);
    } catch (const EConvertError&) {
        std::size_t i = text.find_first_not_of(' ');
        if (i != std::string::npos && text[i] == '+') ++i;
        uint64_t value = 0;
        bool digits = false;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && value <= 0xFFFFFFFFu; ++i, digits = true)
            value = value * 10 + static_cast<uint64_t>(text[i] - '0');
        if (!digits || i != text.size() || value > 0xFFFFFFFFu) throw;
        return static_cast<uint32_t>(value);
    }
}

// The hexadecimal edits hold bare digits; the prefix makes the conversion read them as
// hexadecimal, and an error names the prefixed text.
uint32_t HexNumber(const TParameterPage& controls, std::string_view name) { return Number("0x" + controls.Text(name)); }

uint8_t FilterPortNumber(const std::string& caption) {
    if (caption == "CAN1") return 1;
    if (caption == "CAN2" || caption == "Fiber0") return 2;
    if (caption == "CAN3" || caption == "Fiber1") return 3;
    return 0;  // "CAN0" and anything else
}

std::string Cell(const std::vector<std::string>& row, std::size_t i) { return i < row.size() ? row[i] : std::string(); }

}  // namespace

void CollectFilterList(int page, const TParameterPage& controls, TDeviceSettings& s) {
    if (page != 0) return;
    s.FilterEnable = CheckByte(controls, names::FilterEnable);
    s.Filters.clear();
    const int rows = controls.RowCount(names::FilterList);
    for (int i = 0; i < rows; ++i) {
        const auto row = controls.Row(names::FilterList, i);
        TFilterEntry f;
        f.Port = FilterPortNumber(Cell(row, 0));
        f.FrameFormat = Cell(row, 1) == kStandardFrameText ? 0 : 1;
        f.StartId = Number(Cell(row, 2));
        f.EndId = Number(Cell(row, 3));
        s.Filters.push_back(f);
    }
}

TParameterBlock CollectParameterBlock(int page, const TParameterPage& controls) {
    if (page != 0) return TParameterBlock{};
    TDeviceSettings s;  // identity stays 0: the host never writes it

    s.SwitchMode = IndexByte(controls, names::SwitchMode);
    s.SwitchRoute = IndexByte(controls, names::SwitchRoute);

    // These two go by the number written in the box, not by its position.
    s.CANIDOffset = static_cast<uint8_t>(Number(controls.Text(names::CANIDOffset)));
    s.CANIDLen = static_cast<uint8_t>(Number(controls.Text(names::CANIDLen)));

    s.UARTFrameInterval = IntervalNumber(controls.Text(names::UARTFrameInterval));
    s.CANFrameInterval = IntervalNumber(controls.Text(names::CANFrameInterval));

    s.CANFrameInfoEnable = CheckByte(controls, names::CANFrameInfoEnable);
    s.CANIDInfoEnable = CheckByte(controls, names::CANIDInfoEnable);

    s.UARTMode = IndexByte(controls, names::UARTMode);
    s.UARTBaudrate = IndexByte(controls, names::UARTBaudrate);
    s.UARTDataBits = IndexByte(controls, names::UARTDataBits);
    s.UARTStopBits = IndexByte(controls, names::UARTStopBits);
    s.UARTParity = IndexByte(controls, names::UARTParity);
    s.FDStandard = IndexByte(controls, names::FDStandard);
    s.CANType = IndexByte(controls, names::CANType);

    const uint32_t canId = HexNumber(controls, names::CANID);
    s.CANID = canId & (controls.ItemIndex(names::CANFrameType) == 0 ? 0x7FFu : 0x1FFFFFFFu);

    s.CANFrameType = IndexByte(controls, names::CANFrameType);
    s.BitRateSwitch = IndexByte(controls, names::BitRateSwitch);

    if (controls.Checked(names::BuadrateCustom)) {
        s.CustomBitRate = 1;
        s.CustomWordA = HexNumber(controls, names::BaudrateA);
        s.CustomWordB = HexNumber(controls, names::BaudrateB);
    } else {
        s.CustomBitRate = 0;
        s.BaudrateIndexA = IndexByte(controls, names::BaudrateIndexA);
        s.BaudrateIndexB = IndexByte(controls, names::BaudrateIndexB);
    }

    // The forwarding table follows from SwitchRoute when the block is encoded.
    CollectFilterList(page, controls, s);
    return EncodeParameterBlock(s);
}

TWriteOutcome CollectDeviceParameter(int page, const TParameterPage& controls, const TCommandLink& link) {
    TParameterBlock block = CollectParameterBlock(page, controls);
    return WriteDeviceParameter(link, static_cast<uint8_t>(page), block);
}

}  // namespace quorin
