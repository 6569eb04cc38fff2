#include "link/ParameterBlock.h"

#include <algorithm>

#include "link/CANConfigReadParameter.h"

namespace quorin {

uint16_t GetBigEndian16(const TParameterBlock& b, std::size_t offset) {
    return static_cast<uint16_t>(b.at(offset) << 8 | b.at(offset + 1));
}

uint32_t GetBigEndian32(const TParameterBlock& b, std::size_t offset) {
    return uint32_t{b.at(offset)} << 24 | uint32_t{b.at(offset + 1)} << 16 | uint32_t{b.at(offset + 2)} << 8 |
           uint32_t{b.at(offset + 3)};
}

uint32_t GetLittleEndian32(const TParameterBlock& b, std::size_t offset) {
    return uint32_t{b.at(offset)} | uint32_t{b.at(offset + 1)} << 8 | uint32_t{b.at(offset + 2)} << 16 |
           uint32_t{b.at(offset + 3)} << 24;
}

void PutBigEndian16(TParameterBlock& b, std::size_t offset, uint16_t value) {
    b.at(offset) = static_cast<uint8_t>(value >> 8);
    b.at(offset + 1) = static_cast<uint8_t>(value);
}

void PutBigEndian32(TParameterBlock& b, std::size_t offset, uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) b.at(offset + i) = static_cast<uint8_t>(value >> (24 - 8 * i));
}

void PutLittleEndian32(TParameterBlock& b, std::size_t offset, uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) b.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
}

TDeviceSettings WindowDefaultSettings() {
    TDeviceSettings s;
    s.UARTBaudrate = 3;  // "9600"
    s.UARTDataBits = 1;  // "8"
    s.CANIDOffset = 0;   // text "0"
    s.CANIDLen = 1;      // text "1"
    return s;
}

void PutForwardingPaths(TParameterBlock& block, int routeIndex) {
    for (std::size_t i = block::ForwardingPaths; i < block::FilterEnable; ++i) block[i] = 0;
    const bool canToSerial = routeIndex != 1;
    const bool serialToCan = routeIndex == 0 || routeIndex == 1;
    block[ForwardingPathOffset(kCANPort, kSerialPort)] = canToSerial ? 1 : 0;
    block[ForwardingPathOffset(kSerialPort, kCANPort)] = serialToCan ? 1 : 0;
    // Only the two ports that exist on this converter are marked present.
    block[block::PortFlags + 0] = 0;
    block[block::PortFlags + 1] = 1;
    block[block::PortFlags + 2] = 1;
    block[block::PortFlags + 3] = 0;
}

TParameterBlock EncodeParameterBlock(const TDeviceSettings& s) {
    TParameterBlock b{};
    PutBigEndian16(b, block::VendorId, s.Identity.VendorId);
    PutBigEndian16(b, block::ProductType, s.Identity.ProductType);
    PutBigEndian16(b, block::HardwareVersion, s.Identity.HardwareVersion);
    PutBigEndian16(b, block::FirmwareVersion, s.Identity.FirmwareVersion);
    std::copy(s.Identity.SerialNumber.begin(), s.Identity.SerialNumber.end(), b.begin() + block::SerialNumber);

    PutForwardingPaths(b, s.SwitchRoute);

    b[block::FilterEnable] = s.FilterEnable;
    const std::size_t count = std::min(s.Filters.size(), kMaxFilterEntries);
    for (std::size_t i = 0; i < count; ++i) {
        const TFilterEntry& f = s.Filters[i];
        b[block::FilterPort + i] = f.Port;
        b[block::FilterFormat + i] = f.FrameFormat;
        PutBigEndian32(b, block::FilterStart + 4 * i, f.StartId);
        PutBigEndian32(b, block::FilterEnd + 4 * i, f.EndId);
    }
    b[block::FilterCount] = static_cast<uint8_t>(count);

    b[block::UARTMode] = s.UARTMode;
    b[block::UARTBaudrate] = s.UARTBaudrate;
    b[block::UARTDataBits] = s.UARTDataBits;
    b[block::UARTStopBits] = s.UARTStopBits;
    b[block::UARTParity] = s.UARTParity;
    b[block::FDStandard] = s.FDStandard;
    b[block::CANType] = s.CANType;
    PutLittleEndian32(b, block::CANID, s.CANID);
    b[block::CANFrameType] = s.CANFrameType;
    b[block::BitRateSwitch] = s.BitRateSwitch;
    b[block::CustomBitRate] = s.CustomBitRate;
    if (s.CustomBitRate != 0) {
        PutLittleEndian32(b, block::CustomWordA, s.CustomWordA);
        PutLittleEndian32(b, block::CustomWordB, s.CustomWordB);
    } else {
        b[block::BaudrateIndexA] = s.BaudrateIndexA;
        b[block::BaudrateIndexB] = s.BaudrateIndexB;
    }
    b[block::SwitchMode] = s.SwitchMode;
    b[block::SwitchRoute] = s.SwitchRoute;
    b[block::CANFrameInfoEnable] = s.CANFrameInfoEnable;
    b[block::CANIDInfoEnable] = s.CANIDInfoEnable;
    b[block::CANIDOffset] = s.CANIDOffset;
    b[block::CANIDLen] = s.CANIDLen;
    PutLittleEndian32(b, block::UARTFrameInterval, s.UARTFrameInterval);
    PutLittleEndian32(b, block::CANFrameInterval, s.CANFrameInterval);

    b[block::Checksum] = ParameterChecksum(b.data(), b.size());
    return b;
}

TDeviceSettings DecodeParameterBlock(const TParameterBlock& b) {
    TDeviceSettings s;
    s.Identity.VendorId = GetBigEndian16(b, block::VendorId);
    s.Identity.ProductType = GetBigEndian16(b, block::ProductType);
    s.Identity.HardwareVersion = GetBigEndian16(b, block::HardwareVersion);
    s.Identity.FirmwareVersion = GetBigEndian16(b, block::FirmwareVersion);
    std::copy_n(b.begin() + block::SerialNumber, 4, s.Identity.SerialNumber.begin());

    s.FilterEnable = b[block::FilterEnable];
    // The count comes from the device: a value above 16 would index past the block.
    const std::size_t count = std::min<std::size_t>(b[block::FilterCount], kMaxFilterEntries);
    for (std::size_t i = 0; i < count; ++i) {
        s.Filters.push_back({b[block::FilterPort + i], b[block::FilterFormat + i],
                             GetBigEndian32(b, block::FilterStart + 4 * i),
                             GetBigEndian32(b, block::FilterEnd + 4 * i)});
    }

    s.UARTMode = b[block::UARTMode];
    s.UARTBaudrate = b[block::UARTBaudrate];
    s.UARTDataBits = b[block::UARTDataBits];
    s.UARTStopBits = b[block::UARTStopBits];
    s.UARTParity = b[block::UARTParity];
    s.FDStandard = b[block::FDStandard];
    s.CANType = b[block::CANType];
    s.CANID = GetLittleEndian32(b, block::CANID);
    s.CANFrameType = b[block::CANFrameType];
    s.BitRateSwitch = b[block::BitRateSwitch];
    s.CustomBitRate = b[block::CustomBitRate];
    s.BaudrateIndexA = b[block::BaudrateIndexA];
    s.BaudrateIndexB = b[block::BaudrateIndexB];
    s.CustomWordA = GetLittleEndian32(b, block::CustomWordA);
    s.CustomWordB = GetLittleEndian32(b, block::CustomWordB);
    s.SwitchMode = b[block::SwitchMode];
    s.SwitchRoute = b[block::SwitchRoute];
    s.CANFrameInfoEnable = b[block::CANFrameInfoEnable];
    s.CANIDInfoEnable = b[block::CANIDInfoEnable];
    s.CANIDOffset = b[block::CANIDOffset];
    s.CANIDLen = b[block::CANIDLen];
    s.UARTFrameInterval = GetLittleEndian32(b, block::UARTFrameInterval);
    s.CANFrameInterval = GetLittleEndian32(b, block::CANFrameInterval);
    return s;
}

}  // namespace quorin
