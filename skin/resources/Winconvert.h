// The LZHUF codec that packs skins: LZ77 over a 4 KB ring with binary match trees,
// literals and match lengths coded by an adaptive Huffman tree, match distances by a
// fixed prefix code. Packing the same bytes always gives the same bit stream, and bit
// streams of the classic 1988 program unpack here.
//
// Two ways in: TLZH with its byte callbacks and stream operations, and plain buffer
// functions for callers that hold their bytes in memory (the faster path).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "forms/SysUtils.h"
#include "forms/Streams.h"

namespace quorin {

class ElzhException : public Exception {
public:
    using Exception::Exception;
};

// Largest unpacked size a packed skin may declare; anything above is refused before a
// byte is allocated. A real skin is a few hundred kilobytes.
constexpr int64_t kMaxUnpackedSize = 64 * 1024 * 1024;

// Byte callbacks: read up to count bytes into buffer and report the number got (0 at
// the end of input); write count bytes and report the number written.
using TReadProc = std::function<void(void* buffer, uint16_t count, uint16_t& got)>;
using TWriteProc = std::function<void(const void* buffer, uint16_t count, uint16_t& got)>;

struct LzhTables;

class TLZH {
public:
    TLZH();
    ~TLZH();
    TLZH(const TLZH&) = delete;
    TLZH& operator=(const TLZH&) = delete;

    // Decodes until textSize bytes have been written (never more); input that runs out
    // reads as zero bytes.
    void LZHUnpack(int32_t textSize, const TReadProc& read, const TWriteProc& write);
    // Encodes until the input is exhausted; bytesWritten receives the input size.
    void LZHPack(int32_t& bytesWritten, const TReadProc& read, const TWriteProc& write);

    // The callback pair over the two streams below.
    TStream* InStream = nullptr;
    TStream* OutStream = nullptr;
    void GetBlockStream(void* buffer, uint16_t count, uint16_t& got);
    void PutBlockStream(const void* buffer, uint16_t count, uint16_t& got);

    // Whole-stream operations on a packed skin (4-byte size, then the bit stream).
    // Both rewind both streams. Decompress raises ElzhException for a declared size
    // that is negative or above kMaxUnpackedSize.
    void Decompress(TStream& source, TStream& dest);
    void Compress(TStream& source, TStream& dest);

private:
    // The dictionary tables live only while a pack or unpack runs.
    std::unique_ptr<LzhTables> tables_;

    void InitLZH();
    void EndLZH();
};

// Buffer forms of the codec. LZHPackBytes gives the bare bit stream; LZHUnpackBytes
// decodes exactly textSize bytes from one.
std::vector<uint8_t> LZHPackBytes(const uint8_t* data, size_t size);
std::vector<uint8_t> LZHUnpackBytes(const uint8_t* stream, size_t streamSize, size_t textSize);

// A packed skin: the little-endian int32 unpacked size, then the bit stream.
std::vector<uint8_t> PackSkinBytes(const uint8_t* data, size_t size);
// Unpacks a packed skin. False (out empty) when it is shorter than its size field or
// declares a size that is negative or above maxSize.
bool UnpackSkinBytes(const uint8_t* packed, size_t packedSize, std::vector<uint8_t>& out,
                     int64_t maxSize = kMaxUnpackedSize);

}  // namespace quorin
