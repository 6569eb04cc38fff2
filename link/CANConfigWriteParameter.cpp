#include "link/CANConfigWriteParameter.h"

#include "link/VCI.h"

namespace quorin {

TWriteResult WriteDeviceParameterResult(const TCommandLink& link, uint8_t command, TParameterBlock& block) {
    TWriteResult result;
    block[block::Checksum] = ParameterChecksum(block.data(), block.size());
    auto frame = WriteFrame(command, block);
    if (_VCI_WriteDevice(link.Port, frame.data(), static_cast<uint32_t>(frame.size())) == 0) return result;
    CommandWait(link, kWriteSettleWait);

    result.ReadBack = ReadDeviceParameterResult(link, command, result.ReadBackBlock);
    if (result.ReadBack.Outcome != TReadOutcome::Success)
        result.Outcome = TWriteOutcome::ReadbackFailed;
    else if (SameSettings(block, result.ReadBackBlock))
        result.Outcome = TWriteOutcome::Success;
    else
        result.Outcome = TWriteOutcome::Mismatch;
    return result;
}

TWriteOutcome WriteDeviceParameter(const TCommandLink& link, uint8_t command, TParameterBlock& block) {
    return WriteDeviceParameterResult(link, command, block).Outcome;
}

}  // namespace quorin
