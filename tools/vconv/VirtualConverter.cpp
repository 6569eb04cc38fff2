#include "VirtualConverter.h"

#include <cstdio>

#include "link/CANConfigReadParameter.h"

namespace quorin::vconv {
namespace {

constexpr std::size_t kRequestSize = 4;
constexpr std::size_t kWriteFrameSize = 243;
constexpr std::size_t kSettingsStart = 15;  // bytes 1 to 14 are the identity, never written
constexpr auto kFrameGap = std::chrono::milliseconds(200);
const std::vector<uint8_t> kNoise = {0x00, 0xFF, 0x55, 0xAA, 0x0D, 0x0A, 0xCC, 0xDD};

uint8_t BlockChecksum(const TBlock& block) { return ParameterChecksum(block.data(), block.size()); }

}  // namespace

std::optional<TFault> ParseFault(const std::string& name) {
    static const std::pair<const char*, TFault> kNames[] = {
        {"none", TFault::None},       {"silent", TFault::Silent},     {"short", TFault::Short},
        {"long", TFault::Long},       {"checksum", TFault::Checksum}, {"late", TFault::Late},
        {"corrupt", TFault::Corrupt}, {"noise", TFault::Noise},       {"hangup", TFault::Hangup},
        {"xoff", TFault::Xoff},
    };
    for (const auto& [text, fault] : kNames)
        if (name == text) return fault;
    return std::nullopt;
}

std::string FaultName(TFault fault) {
    switch (fault) {
    case TFault::None: return "none";
    case TFault::Silent: return "silent";
    case TFault::Short: return "short";
    case TFault::Long: return "long";
    case TFault::Checksum: return "checksum";
    case TFault::Late: return "late";
    case TFault::Corrupt: return "corrupt";
    case TFault::Noise: return "noise";
    case TFault::Hangup: return "hangup";
    case TFault::Xoff: return "xoff";
    }
    return "none";
}

TBlock DefaultBlock() {
    TDeviceSettings settings = WindowDefaultSettings();
    // A plausible identity: vendor 0x5143, product type 0x0001, hardware 2, firmware 105,
    // serial number 20-26-0C-07.
    settings.Identity = {0x5143, 0x0001, 2, 105, {0x20, 0x26, 0x0C, 0x07}};
    return EncodeParameterBlock(settings);
}

std::string Hex(const uint8_t* bytes, std::size_t count) {
    std::string text;
    text.reserve(count * 3);
    char digits[4];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(digits, sizeof digits, i ? " %02X" : "%02X", bytes[i]);
        text += digits;
    }
    return text;
}

TVirtualConverter::TVirtualConverter() : FBlock(DefaultBlock()) {}

std::vector<TAction> TVirtualConverter::Receive(const uint8_t* bytes, std::size_t count, TClock::time_point now) {
    std::vector<TAction> out;
    FPending.insert(FPending.end(), bytes, bytes + count);
    if (count > 0) FLastByte = now;
    Parse(now, out);
    return out;
}

std::vector<TAction> TVirtualConverter::Tick(TClock::time_point now) {
    std::vector<TAction> out;
    if (!FPending.empty() && now - FLastByte >= kFrameGap) {
        out.push_back({TAction::TKind::Log, "-- incomplete frame dropped", {}, now});
        FJunk.insert(FJunk.end(), FPending.begin(), FPending.end());
        FPending.clear();
    }
    if (FPending.empty()) FlushJunk(out);
    return out;
}

void TVirtualConverter::FlushJunk(std::vector<TAction>& out) {
    if (FJunk.empty()) return;
    out.push_back({TAction::TKind::Log, "RX? " + Hex(FJunk.data(), FJunk.size()), {}, {}});
    FJunk.clear();
}

void TVirtualConverter::Parse(TClock::time_point now, std::vector<TAction>& out) {
    std::size_t at = 0;
    while (at < FPending.size()) {
        const std::size_t left = FPending.size() - at;
        const uint8_t head = FPending[at];
        const bool read = head == 0xCC, write = head == 0xAA;
        if (!read && !write) {
            FJunk.push_back(head);
            ++at;
            continue;
        }
        if (left < 2) break;
        if (FPending[at + 1] != (read ? 0xDD : 0xBB)) {
            FJunk.push_back(head);
            ++at;
            continue;
        }
        const std::size_t size = read ? kRequestSize : kWriteFrameSize;
        if (left < size) break;
        FlushJunk(out);
        const std::vector<uint8_t> frame(FPending.begin() + at, FPending.begin() + at + size);
        at += size;
        out.push_back({TAction::TKind::Log, "RX " + Hex(frame.data(), frame.size()), {}, now});
        if (FFault == TFault::Hangup) {
            out.push_back({TAction::TKind::HangUp, "-- hang-up", {}, now});
            continue;
        }
        if (FFault == TFault::Silent) continue;
        if (read)
            Answer(frame, now, out);
        else
            Store(frame, out);
    }
    FPending.erase(FPending.begin(), FPending.begin() + at);
    // Junk stays collected until a frame starts or the line goes quiet, so a burst of
    // noise logs as one line.
}

void TVirtualConverter::Answer(const std::vector<uint8_t>& request, TClock::time_point now, std::vector<TAction>& out) {
    std::vector<uint8_t> answer(FBlock.begin(), FBlock.end());
    TClock::time_point due = now;
    switch (FFault) {
    case TFault::Short: answer.pop_back(); break;
    case TFault::Long: answer.push_back(0x00); break;
    case TFault::Checksum: answer[0] = static_cast<uint8_t>(answer[0] + 1); break;
    case TFault::Late: due += FLateDelay; break;
    case TFault::Noise: answer.insert(answer.begin(), kNoise.begin(), kNoise.end()); break;
    default: break;
    }
    out.push_back({TAction::TKind::Send, {}, std::move(answer), due});
    if (FFault == TFault::Xoff) out.push_back({TAction::TKind::Send, {}, {0x13}, due});
}

void TVirtualConverter::Store(const std::vector<uint8_t>& frame, std::vector<TAction>& out) {
    TBlock received{};
    std::copy(frame.begin() + 3, frame.end(), received.begin());
    if (BlockChecksum(received) != received[0]) {
        out.push_back({TAction::TKind::Log, "-- write frame with a wrong checksum ignored", {}, {}});
        return;
    }
    // The identity is the converter's own; only the settings are taken.
    std::copy(received.begin() + kSettingsStart, received.end(), FBlock.begin() + kSettingsStart);
    if (FFault == TFault::Corrupt) FBlock[239] ^= 0x01;
    FBlock[0] = BlockChecksum(FBlock);
    out.push_back({TAction::TKind::Log, "-- settings stored", {}, {}});
}

std::optional<TBlock> ParseBlock(const std::string& text) {
    TBlock block{};
    std::size_t count = 0;
    int digits = 0;
    unsigned value = 0;
    for (char c : text + " ") {
        int d = -1;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        if (d >= 0) {
            if (++digits > 2) return std::nullopt;
            value = value * 16 + static_cast<unsigned>(d);
        } else if (c == ' ' || c == '\t') {
            if (digits == 0) continue;
            if (count == block.size()) return std::nullopt;
            block[count++] = static_cast<uint8_t>(value);
            digits = 0;
            value = 0;
        } else {
            return std::nullopt;
        }
    }
    if (count != block.size()) return std::nullopt;
    return block;
}

}  // namespace quorin::vconv
