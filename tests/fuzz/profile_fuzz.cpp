// Any profile text a user or a script may hand over: checking it never fails other than
// with a list of issues, and a profile that passes encodes to a block whose profile passes
// again and encodes to the same settings bytes. The first 240 bytes also stand for a block a
// device may answer: its profile is made and checked without fault.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "profile/Profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorin;
    TDeviceSettings settings;
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (profile::SettingsFromProfileText(text, settings).empty()) {
        if (settings.Filters.size() > kMaxFilterEntries) std::abort();
        const TParameterBlock block = EncodeParameterBlock(settings);
        TDeviceSettings again;
        if (!profile::SettingsFromProfileText(profile::ProfileText(DecodeParameterBlock(block)), again).empty()) std::abort();
        const TParameterBlock second = EncodeParameterBlock(again);
        if (!std::equal(block.begin() + 15, block.end(), second.begin() + 15)) std::abort();
        if (!profile::BytesTheProfileLoses(block).empty()) std::abort();
    }
    TParameterBlock raw{};
    std::memcpy(raw.data(), data, std::min(size, raw.size()));
    profile::BytesTheProfileLoses(raw);
    profile::ProfileDifferences(raw, EncodeParameterBlock(WindowDefaultSettings()));
    return 0;
}
