// The converter as the virtual converter plays it: a 240-byte parameter block with an
// identity and the window's default settings, answering read requests (0xCC 0xDD, command,
// one byte) with the block and taking write frames (0xAA 0xBB, command, 240 bytes), with
// fault modes that make it misbehave the ways a real line can.
//
// This part knows nothing of files or terminals: bytes go in, replies come out, each with
// the time it is due; main.cpp drives it from a pseudo-terminal.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/ParameterBlock.h"

namespace quorin::vconv {

using TClock = std::chrono::steady_clock;
using TBlock = TParameterBlock;

enum class TFault {
    None,
    Silent,    // answers nothing and stores nothing
    Short,     // answers 239 bytes
    Long,      // answers 241 bytes (the block and one more)
    Checksum,  // answers with a wrong checksum byte
    Late,      // answers after the late delay (default 500 ms, past the host's 300 ms)
    Corrupt,   // stores a write with byte 239 changed, so the read-back differs
    Noise,     // sends noise bytes just before the answer
    Hangup,    // drops the line at the next frame
    Xoff,      // sends XOFF (0x13) right after each answer, as a converter pausing the
               // host would; a host that obeys it cannot send its next request
};

std::optional<TFault> ParseFault(const std::string& name);
std::string FaultName(TFault fault);

// The block a fresh converter holds: its identity and the tool's default settings.
TBlock DefaultBlock();

// What the converter does after some bytes came in.
struct TAction {
    enum class TKind { Log, Send, HangUp } Kind;
    std::string Text;            // Log: the line to log
    std::vector<uint8_t> Bytes;  // Send: what to send
    TClock::time_point Due;      // Send: when
};

class TVirtualConverter {
public:
    TVirtualConverter();

    void SetFault(TFault fault) { FFault = fault; }
    TFault Fault() const { return FFault; }
    void SetLateDelay(std::chrono::milliseconds delay) { FLateDelay = delay; }
    void ResetBlock() { FBlock = DefaultBlock(); }
    // Holds exactly this block from now on (identity included), as a converter that was
    // configured elsewhere would.
    void SetBlock(const TBlock& block) { FBlock = block; }
    const TBlock& Block() const { return FBlock; }

    // Takes received bytes; returns what to log and send, in order.
    std::vector<TAction> Receive(const uint8_t* bytes, std::size_t count, TClock::time_point now);
    // A frame that stopped arriving half-way is dropped after a while, so it cannot swallow
    // the next request.
    std::vector<TAction> Tick(TClock::time_point now);

private:
    void Parse(TClock::time_point now, std::vector<TAction>& out);
    void Answer(const std::vector<uint8_t>& request, TClock::time_point now, std::vector<TAction>& out);
    void Store(const std::vector<uint8_t>& frame, std::vector<TAction>& out);
    void FlushJunk(std::vector<TAction>& out);

    TBlock FBlock;
    TFault FFault = TFault::None;
    std::chrono::milliseconds FLateDelay{500};
    std::vector<uint8_t> FPending;
    std::vector<uint8_t> FJunk;
    TClock::time_point FLastByte{};
};

std::string Hex(const uint8_t* bytes, std::size_t count);
// 240 hexadecimal bytes separated by blanks, as Hex writes them; nothing for anything else.
std::optional<TBlock> ParseBlock(const std::string& text);

}  // namespace quorin::vconv
