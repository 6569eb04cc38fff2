// Any profile text a user or a script may hand over: checking it never fails other than
// with a list of issues, and a profile that passes encodes to a block whose profile passes
// again and encodes to what the window writes after reading that block, which is where the
// road ends: once more gives the same bytes. The first 240 bytes also stand for a block a
// device may answer: its profile is made and checked without fault. The same text, one
// argument a line, is a set command's KEY=VALUE list: refused with issues or applied to
// that block, changing no byte outside the settings and leaving the checksum right.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "link/CANConfigReadParameter.h"
#include "profile/Profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorin;
    TDeviceSettings settings;
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (profile::SettingsFromProfileText(text, settings).empty()) {
        if (settings.Filters.size() > kMaxFilterEntries) std::abort();
        const TParameterBlock block = EncodeParameterBlock(settings);
        TDeviceSettings again;
        if (!profile::SettingsFromProfileText(profile::ProfileText(DecodeParameterBlock(block)), again).empty())
            std::abort();
        const TParameterBlock second = EncodeParameterBlock(again);
        if (second != EncodeParameterBlock(profile::AsTheWindowWrites(DecodeParameterBlock(block)))) std::abort();
        TDeviceSettings third;
        if (!profile::SettingsFromProfileText(profile::ProfileText(DecodeParameterBlock(second)), third).empty())
            std::abort();
        if (EncodeParameterBlock(third) != second) std::abort();
        if (!profile::BytesTheProfileLoses(second).empty()) std::abort();
    }
    TParameterBlock raw{};
    std::memcpy(raw.data(), data, std::min(size, raw.size()));
    profile::BytesTheProfileLoses(raw);
    profile::ReadWarnings(raw);
    profile::ProfileDifferences(raw, EncodeParameterBlock(WindowDefaultSettings()));

    std::vector<std::string> arguments;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) arguments.push_back(line);
    std::vector<profile::TSettingChange> changes;
    if (profile::ParseSettingChanges(arguments, changes).empty()) {
        TParameterBlock changed;
        if (profile::ApplySettingChanges(raw, changes, changed).empty()) {
            if (!std::equal(raw.begin() + 1, raw.begin() + 15, changed.begin() + 1)) std::abort();
            if (!VerifyParameterChecksum(changed.data(), changed.size())) std::abort();
        } else if (changed != raw) {
            std::abort();
        }
    }
    return 0;
}
