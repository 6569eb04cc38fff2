// Any profile text a user or a script may hand over: checking it never fails other than
// with a list of issues, and a profile that passes encodes to a block whose profile passes
// again and encodes to what the window writes after reading that block, which is where the
// road ends: once more gives the same bytes. The first 240 bytes also stand for a block a
// device may answer: its profile is made and checked without fault. The same text, one
// argument a line, is a set command's KEY=VALUE list: refused with issues or applied to
// that block, changing no byte outside the settings and leaving the checksum right.
//
// Every text of these that a --json document carries (issues, differences, and the input
// itself standing for a path or a port name) makes a document that parses back, whatever
// its bytes; messages stay short. An input that starts with byte 1 is a recipe for a large
// one, "1 COUNT(2 bytes, little-endian) PREFIX \0 OPEN \0 CLOSE \0 SUFFIX": OPEN COUNT
// times, then CLOSE as often, within the 1 MB a profile may have, so that deep nesting and
// long values are tried too.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "link/CANConfigReadParameter.h"
#include "profile/Profile.h"
#include "profile/ProfileFile.h"

namespace {

using quorin::profile::TJson;
using quorin::profile::TProfileIssue;

// n copies of unit, by doubling: a few appends, not n.
std::string Repeated(const std::string& unit, std::size_t n) {
    const std::size_t size = unit.size() * n;
    std::string text = n ? unit : std::string();
    text.reserve(size);
    while (!text.empty() && text.size() * 2 <= size) text += text;
    text.append(text, 0, size - text.size());
    return text;
}

std::string Expanded(const uint8_t* data, size_t size) {
    const std::string recipe(reinterpret_cast<const char*>(data) + 3, size - 3);
    const std::size_t count = data[1] | std::size_t{data[2]} << 8;
    std::vector<std::string> parts;
    for (std::size_t from = 0;;) {
        const auto at = recipe.find('\0', from);
        parts.push_back(recipe.substr(from, at == std::string::npos ? std::string::npos : at - from));
        if (at == std::string::npos || parts.size() == 3) {
            if (at != std::string::npos) parts.push_back(recipe.substr(at + 1));
            break;
        }
        from = at + 1;
    }
    if (parts.size() < 4) return recipe;
    const std::string &open = parts[1], &close = parts[2];
    const std::size_t each = open.size() + close.size();
    const std::size_t room = quorin::profile::kMaxProfileFileSize - std::min(recipe.size(), std::size_t{4096});
    const std::size_t n = each == 0 ? 0 : std::min(count, room / each);
    return parts[0] + Repeated(open, n) + Repeated(close, n) + parts[3];
}

// shortMessages: a profile's issues, which quote at most a short part of any value.
TJson IssuesJson(const std::vector<TProfileIssue>& issues, bool shortMessages) {
    TJson list = TJson::array();
    for (const auto& i : issues) {
        if (shortMessages && (i.Message.size() > 400 || i.Path.size() > 400)) std::abort();
        // A command line's texts are quoted whole; a few kilobytes of them tell as much here.
        list.push_back({{"path", i.Path.substr(0, 4096)}, {"message", i.Message.substr(0, 4096)}});
    }
    return list;
}

// The document as quorin-cli makes it, and back.
void CheckDocument(const TJson& doc) {
    const std::string text = quorin::profile::DocumentText(doc);
    const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
    if (!ascii && TJson::parse(text, nullptr, false).is_discarded()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorin;
    TDeviceSettings settings;
    const std::string text =
        size > 3 && data[0] == 1 ? Expanded(data, size) : std::string(reinterpret_cast<const char*>(data), size);
    const auto textIssues = profile::SettingsFromProfileText(text, settings);
    TJson doc = {{"command", "write"}, {"error", text.substr(0, 256) + " is not a valid profile"}};
    doc["issues"] = IssuesJson(textIssues, true);
    doc["ports"] = {{{"port", text.substr(0, 256)}, {"file", text.substr(0, 256)}}};
    CheckDocument(doc);
    if (textIssues.empty()) {
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
    TJson differences = TJson::array();
    for (const auto& d : profile::ProfileDifferenceList(raw, EncodeParameterBlock(WindowDefaultSettings())))
        differences.push_back({{"setting", d.Path}, {"converter", d.Device}, {"profile", d.Profile}});
    CheckDocument(differences);

    std::vector<std::string> arguments;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) arguments.push_back(line);
    // A large input is one argument (a value with deep lists, a long text).
    if (arguments.size() > 64) arguments = {text};
    std::vector<profile::TSettingChange> changes;
    const auto changeIssues = profile::ParseSettingChanges(arguments, changes);
    CheckDocument(TJson{{"issues", IssuesJson(changeIssues, false)}});
    if (changeIssues.empty()) {
        TParameterBlock changed;
        if (profile::ApplySettingChanges(raw, changes, changed).empty()) {
            if (!std::equal(raw.begin() + 1, raw.begin() + 15, changed.begin() + 1)) std::abort();
            if (!VerifyParameterChecksum(changed.data(), changed.size())) std::abort();
            // What is sent keeps write's rules: the identifier fits its frame format.
            const TDeviceSettings sent = DecodeParameterBlock(changed);
            if ((sent.CANID & ~(sent.CANFrameType == 0 ? 0x7FFu : 0x1FFFFFFFu)) != 0) std::abort();
        } else if (changed != raw) {
            std::abort();
        }
    }
    return 0;
}
