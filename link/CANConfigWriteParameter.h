// Writing the converter's parameter block: building it from the controls of the
// QUORIN-Q1 page, the write frame, and the write transaction with its read-back check.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>

#include "link/CANConfigReadParameter.h"

namespace quorin {

enum class TWriteOutcome {
    SentFailed,      // the write frame did not go out in full; nothing was waited for
    ReadbackFailed,  // no valid 240-byte answer to the read-back
    Mismatch,        // bytes 15 to 239 read back differ from those sent
    Success,
};

// The device needs this long to store a block before it can be read back.
constexpr std::chrono::milliseconds kWriteSettleWait{1000};

constexpr std::size_t kWriteFrameSize = 243;
constexpr uint8_t kWriteFrameHead0 = 0xAA;
constexpr uint8_t kWriteFrameHead1 = 0xBB;

// 0xAA 0xBB, the command byte, then the block as it is (checksum included).
std::array<uint8_t, kWriteFrameSize> WriteFrame(uint8_t command, const TParameterBlock& block);

// True when the settings bytes 15 to 239 agree; the checksum and the device's identity
// (bytes 0 to 14) are the device's own and are not compared.
bool SameSettings(const TParameterBlock& sent, const TParameterBlock& readBack);

// One write: sets the block's checksum (the caller's block changes), sends the frame,
// waits 1000 ms with the command buttons disabled, reads the block back (a full read
// transaction) and compares the settings. Whatever the device says to the frame itself
// is dropped by the read-back's buffer clear.
TWriteOutcome WriteDeviceParameter(const TCommandLink& link, uint8_t command, TParameterBlock& block);

// A write with what the read-back brought, for callers that report in detail.
struct TWriteResult {
    TWriteOutcome Outcome = TWriteOutcome::SentFailed;
    TReadResult ReadBack;             // meaningful unless the frame was not sent
    TParameterBlock ReadBackBlock{};  // the block read back (for a mismatch, what differs)
};
TWriteResult WriteDeviceParameterResult(const TCommandLink& link, uint8_t command, TParameterBlock& block);

// Builds the block of a device page from its controls, field by field in a fixed order,
// so that the first text the integer conversion refuses is the one reported (the
// conversion error propagates and nothing is sent). Bytes 1 to 14 stay 0. Only page 0
// (QUORIN-Q1) has controls here; for another page the result is 240 zero bytes.
TParameterBlock CollectParameterBlock(int page, const TParameterPage& controls);
// Its filter part: bytes 35 to 196 from the enable box and the rows of the filter list.
void CollectFilterList(int page, const TParameterPage& controls, TDeviceSettings& settings);

// Builds the block of the page and writes it with the page index as the command byte.
TWriteOutcome CollectDeviceParameter(int page, const TParameterPage& controls, const TCommandLink& link);

}  // namespace quorin
