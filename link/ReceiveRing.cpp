#include "link/ReceiveRing.h"

#include <memory>

namespace quorin {

bool TReceiveRing::Put(uint8_t value) {
    const uint32_t write = FWriteIndex.load(std::memory_order_relaxed);
    const uint32_t next = (write + 1) % kSlots;
    if (next == FReadIndex.load(std::memory_order_acquire)) return false;
    FData[write] = value;
    FWriteIndex.store(next, std::memory_order_release);
    return true;
}

uint32_t TReceiveRing::Take(uint32_t* out, uint32_t limit) {
    uint32_t read = FReadIndex.load(std::memory_order_relaxed);
    const uint32_t write = FWriteIndex.load(std::memory_order_acquire);
    uint32_t taken = 0;
    while (taken < limit && read != write) {
        out[taken++] = FData[read];
        read = (read + 1) % kSlots;
    }
    FReadIndex.store(read, std::memory_order_release);
    return taken;
}

uint32_t TReceiveRing::Count() const {
    const uint32_t read = FReadIndex.load(std::memory_order_acquire);
    const uint32_t write = FWriteIndex.load(std::memory_order_acquire);
    return read > write ? kSlots - (read - write) : write - read;
}

void TReceiveRing::Clear() { SetIndices(0, 0); }

void TReceiveRing::SetIndices(uint32_t writeIndex, uint32_t readIndex) {
    FReadIndex.store(readIndex % kSlots, std::memory_order_release);
    FWriteIndex.store(writeIndex % kSlots, std::memory_order_release);
}

TReceiveRing* DeviceReceiveRing(int32_t port) {
    // About 19 MB, made (and zeroed) when a device is first asked for, not at every start:
    // the window's first frame has no use for it.
    static const std::unique_ptr<TReceiveRing[]> rings(new TReceiveRing[kDeviceCount]);
    return ValidPort(port) ? &rings[size_t(port)] : nullptr;
}

}  // namespace quorin
