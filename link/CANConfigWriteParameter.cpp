#include "link/CANConfigWriteParameter.h"

#include "link/VCI.h"

namespace quorin {

TWriteOutcome WriteDeviceParameter(const TCommandLink& link, uint8_t command, TParameterBlock& block) {
    block[block::Checksum] = ParameterChecksum(block.data(), block.size());
    auto frame = WriteFrame(command, block);
    if (_VCI_WriteDevice(link.Port, frame.data(), static_cast<uint32_t>(frame.size())) == 0)
        return TWriteOutcome::SentFailed;
    CommandWait(link, kWriteSettleWait);

    TParameterBlock readBack{};
    if (!ReadDeviceParameter(link, command, readBack)) return TWriteOutcome::ReadbackFailed;
    return SameSettings(block, readBack) ? TWriteOutcome::Success : TWriteOutcome::Mismatch;
}

TWriteOutcome CollectDeviceParameter(int page, const TParameterPage& controls, const TCommandLink& link) {
    TParameterBlock block = CollectParameterBlock(page, controls);
    return WriteDeviceParameter(link, static_cast<uint8_t>(page), block);
}

} // namespace quorin
