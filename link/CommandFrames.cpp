#include "link/CANConfigReadParameter.h"
#include "link/CANConfigWriteParameter.h"

#include <algorithm>

namespace quorin {

uint8_t ParameterChecksum(const uint8_t* block, std::size_t length) {
    uint8_t sum = 0;
    for (std::size_t i = 1; i < length; ++i) sum = static_cast<uint8_t>(sum + (block[i] & 0x0F) + (block[i] >> 4));
    return static_cast<uint8_t>(~sum);
}

bool VerifyParameterChecksum(const uint8_t* block, std::size_t length) {
    return length > 0 && ParameterChecksum(block, length) == block[0];
}

std::array<uint8_t, kReadRequestSize> ReadRequestFrame(uint8_t command) {
    // The fourth byte has no meaning to the device; it goes out as 0.
    return {kReadRequestHead0, kReadRequestHead1, command, 0};
}

std::array<uint8_t, kWriteFrameSize> WriteFrame(uint8_t command, const TParameterBlock& block) {
    std::array<uint8_t, kWriteFrameSize> frame{};
    frame[0] = kWriteFrameHead0;
    frame[1] = kWriteFrameHead1;
    frame[2] = command;
    std::copy(block.begin(), block.end(), frame.begin() + 3);
    return frame;
}

bool SameSettings(const TParameterBlock& sent, const TParameterBlock& readBack) {
    return std::equal(sent.begin() + block::IdentityEnd, sent.end(), readBack.begin() + block::IdentityEnd);
}

}  // namespace quorin
