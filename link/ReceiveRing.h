// The receive ring of one serial device: 200,001 slots of 32 bits, one received byte per
// slot, one slot always free, so it holds at most 200,000 bytes. The reader thread puts,
// the caller's thread takes; both do so under the device's lock. The indices are atomic so
// the count can be read without the lock.
#pragma once

#include <atomic>
#include <cstdint>

namespace quorin {

class TReceiveRing {
public:
    static constexpr uint32_t kSlots = 200001;
    static constexpr uint32_t kCapacity = kSlots - 1;

    // False (and nothing changes) when the ring is full.
    bool Put(uint8_t value);
    // Moves up to limit bytes into out, in arrival order; returns how many it moved.
    uint32_t Take(uint32_t* out, uint32_t limit);
    uint32_t Count() const;
    void Clear();

    // For tests that need a wrapped ring without pushing 200,000 bytes through a port.
    void SetIndices(uint32_t writeIndex, uint32_t readIndex);

private:
    std::atomic<uint32_t> FWriteIndex{0};
    std::atomic<uint32_t> FReadIndex{0};
    uint32_t FData[kSlots] = {};
};

// The 24 static rings, one per port number 0 to 23; nullptr for any other number.
constexpr int32_t kDeviceCount = 24;
TReceiveRing* DeviceReceiveRing(int32_t port);

inline bool ValidPort(int32_t port) { return port >= 0 && port < kDeviceCount; }

}  // namespace quorin
