#include "link/CANConfigReadParameter.h"

#include <thread>

#include "link/VCI.h"

namespace quorin {

void CommandWait(const TCommandLink& link, std::chrono::milliseconds wait) {
    if (link.Buttons) link.Buttons->DisableCommandButtons();
    std::this_thread::sleep_for(wait);
    if (link.Buttons) link.Buttons->EnableCommandButtons();
}

TReadResult ReadDeviceParameterResult(const TCommandLink& link, uint8_t command, TParameterBlock& destination) {
    destination.fill(0);
    // Whatever arrived before the request (an earlier answer's tail, line noise) goes.
    VCI_ClearBuffer(link.Port, 0);
    auto request = ReadRequestFrame(command);
    if (_VCI_WriteDevice(link.Port, request.data(), static_cast<uint32_t>(request.size())) == 0)
        return {TReadOutcome::SentFailed, 0};
    CommandWait(link, kReadAnswerWait);
    uint32_t elements[kParameterBlockSize] = {};
    const auto got = VCI_ReadDevice(link.Port, 0, elements, static_cast<uint32_t>(kParameterBlockSize), 0);
    if (got == 0) return {TReadOutcome::NoAnswer, 0};
    if (got != kParameterBlockSize) return {TReadOutcome::ShortAnswer, got};
    for (std::size_t i = 0; i < kParameterBlockSize; ++i) destination[i] = static_cast<uint8_t>(elements[i]);
    if (!VerifyParameterChecksum(destination.data(), destination.size())) return {TReadOutcome::ChecksumWrong, got};
    return {TReadOutcome::Success, got};
}

bool ReadDeviceParameter(const TCommandLink& link, uint8_t command, TParameterBlock& destination) {
    return ReadDeviceParameterResult(link, command, destination).Outcome == TReadOutcome::Success;
}

}  // namespace quorin
