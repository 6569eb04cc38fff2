// The QUORIN-Q1 parameter block: the 240 bytes that carry every setting of the converter,
// and a typed view of them with its encoder and decoder.
//
// The typed view is a transient form of one block (the converter substitute keeps its
// settings in it, tests build blocks from it); the program itself keeps no copy of the
// settings: the window's controls are the only store, and the page mapping of
// ParameterPage.h builds a TDeviceSettings from them just long enough to encode it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorin {

constexpr std::size_t kParameterBlockSize = 240;
using TParameterBlock = std::array<uint8_t, kParameterBlockSize>;

// Byte offsets of the fields. Identity and filter identifiers are big-endian, the CAN
// identifier, the custom bit-rate words and the intervals little-endian.
namespace block {
constexpr std::size_t Checksum = 0;
constexpr std::size_t VendorId = 1;          // 2 bytes, big-endian
constexpr std::size_t ProductType = 3;       // 2 bytes, big-endian
constexpr std::size_t HardwareVersion = 7;   // 2 bytes, big-endian
constexpr std::size_t FirmwareVersion = 9;   // 2 bytes, big-endian
constexpr std::size_t SerialNumber = 11;     // 4 bytes in order
constexpr std::size_t IdentityEnd = 15;      // first byte the write comparison looks at
constexpr std::size_t ForwardingPaths = 15;  // 4 x 4 bytes, [source][destination]
constexpr std::size_t PortFlags = 31;        // 4 bytes, one per port
constexpr std::size_t FilterEnable = 35;
constexpr std::size_t FilterPort = 36;    // 16 x 1
constexpr std::size_t FilterFormat = 52;  // 16 x 1
constexpr std::size_t FilterStart = 68;   // 16 x 4, big-endian
constexpr std::size_t FilterEnd = 132;    // 16 x 4, big-endian
constexpr std::size_t FilterCount = 196;
constexpr std::size_t UARTMode = 197;
constexpr std::size_t UARTBaudrate = 198;
constexpr std::size_t UARTDataBits = 199;
constexpr std::size_t UARTStopBits = 200;
constexpr std::size_t UARTParity = 201;
constexpr std::size_t FDStandard = 202;
constexpr std::size_t CANType = 203;
constexpr std::size_t CANID = 204;  // 4 bytes, little-endian
constexpr std::size_t CANFrameType = 208;
constexpr std::size_t BitRateSwitch = 209;
constexpr std::size_t CustomBitRate = 210;
constexpr std::size_t BaudrateIndexA = 211;
constexpr std::size_t BaudrateIndexB = 212;
constexpr std::size_t CustomWordA = 216;  // 4 bytes, little-endian
constexpr std::size_t CustomWordB = 220;  // 4 bytes, little-endian
constexpr std::size_t SwitchMode = 224;
constexpr std::size_t SwitchRoute = 225;
constexpr std::size_t CANFrameInfoEnable = 226;
constexpr std::size_t CANIDInfoEnable = 227;
constexpr std::size_t CANIDOffset = 228;
constexpr std::size_t CANIDLen = 229;
constexpr std::size_t UARTFrameInterval = 232;  // 4 bytes, little-endian
constexpr std::size_t CANFrameInterval = 236;   // 4 bytes, little-endian
}  // namespace block

constexpr std::size_t kMaxFilterEntries = 16;

// Ports of the forwarding table: the CAN side is port 1, the serial side port 2.
constexpr std::size_t kCANPort = 1;
constexpr std::size_t kSerialPort = 2;
constexpr std::size_t ForwardingPathOffset(std::size_t source, std::size_t destination) {
    return block::ForwardingPaths + 4 * source + destination;
}

uint16_t GetBigEndian16(const TParameterBlock& b, std::size_t offset);
uint32_t GetBigEndian32(const TParameterBlock& b, std::size_t offset);
uint32_t GetLittleEndian32(const TParameterBlock& b, std::size_t offset);
void PutBigEndian16(TParameterBlock& b, std::size_t offset, uint16_t value);
void PutBigEndian32(TParameterBlock& b, std::size_t offset, uint32_t value);
void PutLittleEndian32(TParameterBlock& b, std::size_t offset, uint32_t value);

struct TDeviceIdentity {
    uint16_t VendorId = 0;
    uint16_t ProductType = 0;
    uint16_t HardwareVersion = 0;
    uint16_t FirmwareVersion = 0;
    std::array<uint8_t, 4> SerialNumber{};
    bool operator==(const TDeviceIdentity&) const = default;
};

struct TFilterEntry {
    uint8_t Port = 0;         // 0 to 3
    uint8_t FrameFormat = 0;  // 0 standard, 1 extended
    uint32_t StartId = 0;
    uint32_t EndId = 0;
    bool operator==(const TFilterEntry&) const = default;
};

// One field per setting, each holding the byte or word as it travels (item indexes as
// unsigned bytes, 0xFF for a combo box without a selection; flags as raw bytes).
struct TDeviceSettings {
    TDeviceIdentity Identity;
    uint8_t FilterEnable = 0;
    std::vector<TFilterEntry> Filters;  // at most kMaxFilterEntries travel
    uint8_t UARTMode = 0;
    uint8_t UARTBaudrate = 0;
    uint8_t UARTDataBits = 0;
    uint8_t UARTStopBits = 0;
    uint8_t UARTParity = 0;
    uint8_t FDStandard = 0;
    uint8_t CANType = 0;
    uint32_t CANID = 0;
    uint8_t CANFrameType = 0;
    uint8_t BitRateSwitch = 0;
    uint8_t CustomBitRate = 0;  // 0: the two indexes count; otherwise the two words
    uint8_t BaudrateIndexA = 0;
    uint8_t BaudrateIndexB = 0;
    uint32_t CustomWordA = 0;
    uint32_t CustomWordB = 0;
    uint8_t SwitchMode = 0;
    uint8_t SwitchRoute = 0;
    uint8_t CANFrameInfoEnable = 0;
    uint8_t CANIDInfoEnable = 0;
    uint8_t CANIDOffset = 0;
    uint8_t CANIDLen = 0;
    uint32_t UARTFrameInterval = 0;
    uint32_t CANFrameInterval = 0;
    bool operator==(const TDeviceSettings&) const = default;
};

// The settings a freshly started window shows: the default item of every combo box, the
// default texts of the edits, every check box clear, no filters, no identity.
TDeviceSettings WindowDefaultSettings();

// Builds a block as the host sends it: every field from the settings, the forwarding
// table and port flags derived from the conversion direction, at most 16 filter entries
// (further ones do not fit and are not encoded), unused bytes 0, and the checksum in
// byte 0. Only the value of a bit-rate choice that CustomBitRate selects is encoded; the
// other stays 0.
TParameterBlock EncodeParameterBlock(const TDeviceSettings& settings);

// Reads every field of a block. The filter count byte is trusted only up to 16: a block
// that claims more yields the 16 entries it can hold. The forwarding table is not read
// back; the direction is SwitchRoute.
TDeviceSettings DecodeParameterBlock(const TParameterBlock& block);

// The forwarding table and port flags (bytes 15 to 34) for a conversion direction given
// as the item index of the direction box: 0 both ways, 1 serial to CAN only, anything
// else CAN to serial only.
void PutForwardingPaths(TParameterBlock& block, int routeIndex);

}  // namespace quorin
