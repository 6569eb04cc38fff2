// Reading the converter's parameter block: the block checksum, the read transaction over
// the serial channel, and showing a block in the controls of the QUORIN-Q1 page.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

#include "link/ParameterBlock.h"
#include "link/ParameterPage.h"

namespace quorin {

// The window's three command buttons (ButtonOpenRS232, ButtonReadParameter,
// ButtonWriteParameter). A transaction disables them, in that order, before each of its
// fixed waits and enables them again, in the same order, afterwards.
class TCommandButtons {
public:
    virtual ~TCommandButtons() = default;
    virtual void DisableCommandButtons() = 0;
    virtual void EnableCommandButtons() = 0;
};

// Where a transaction runs: the number of the open port and, when there is a window,
// its command buttons.
struct TCommandLink {
    int32_t Port = 0;
    TCommandButtons* Buttons = nullptr;
};

// Sleeps for one of the fixed waits with the link's command buttons disabled, so that
// the operator cannot start a second command meanwhile.
void CommandWait(const TCommandLink& link, std::chrono::milliseconds wait);

// The device must have answered completely within this time after the request.
constexpr std::chrono::milliseconds kReadAnswerWait{300};

constexpr std::size_t kReadRequestSize = 4;
constexpr uint8_t kReadRequestHead0 = 0xCC;
constexpr uint8_t kReadRequestHead1 = 0xDD;

// Inverse of the 8-bit sum of the low and the high nibble of bytes 1 to length-1.
uint8_t ParameterChecksum(const uint8_t* block, std::size_t length);
// True when byte 0 holds the checksum of the rest.
bool VerifyParameterChecksum(const uint8_t* block, std::size_t length);

// The 4 bytes of the read request for a device page (the command byte).
std::array<uint8_t, kReadRequestSize> ReadRequestFrame(uint8_t command);

// Why a read failed, for callers that tell the operator more than "fail".
enum class TReadOutcome {
    SentFailed,     // the request did not go out in full
    NoAnswer,       // nothing came back within the wait
    ShortAnswer,    // fewer than 240 bytes came back
    ChecksumWrong,  // 240 bytes whose checksum does not hold
    Success,
};

struct TReadResult {
    TReadOutcome Outcome = TReadOutcome::SentFailed;
    uint32_t Received = 0;  // bytes taken from the ring (at most 240)
};

// The read transaction below with its outcome in detail.
TReadResult ReadDeviceParameterResult(const TCommandLink& link, uint8_t command, TParameterBlock& destination);

// One read: clear the receive ring, send the request, wait 300 ms with the command
// buttons disabled, take exactly 240 bytes and verify the checksum. False when the
// request could not be sent (destination all zero), fewer than 240 bytes came (all zero)
// or the checksum is wrong (destination holds the bytes received). Bytes beyond the 240th
// are left in the ring for the next transaction's clear.
bool ReadDeviceParameter(const TCommandLink& link, uint8_t command, TParameterBlock& destination);

// Fills the controls of a device page from a block. Only page 0 (QUORIN-Q1) has
// controls here; other pages are left alone. Check boxes whose state changes run their
// click rules as they are set, and the conversion-mode rule runs last, once every field
// is in place. Never fails: values outside a combo box's items clear its selection.
void ShowDeviceParameter(int page, TParameterPage& controls, TParameterBlock block);
// Its two parts: the six identity rows, and the filter enable box with the filter rows.
void ShowBasicInfo(int page, TParameterPage& controls, const TParameterBlock& block);
void ShowFilterList(int page, TParameterPage& controls, const TParameterBlock& block);

}  // namespace quorin
