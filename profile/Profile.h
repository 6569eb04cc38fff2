// Profiles: a converter's settings as a JSON document that people read and edit by hand,
// one named field per setting the window shows, and the checks the window's rules make
// before anything goes to the device.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/ParameterBlock.h"

namespace quorin::profile {

using TJson = nlohmann::ordered_json;

// One reason a profile cannot be written, at its place in the document ("can.id",
// "filters.entries[3].end_id"; "" for the document as a whole).
struct TProfileIssue {
    std::string Path;
    std::string Message;
    bool operator==(const TProfileIssue&) const = default;
};
std::string IssueText(const TProfileIssue& issue);

// The choices of a setting the window offers in a list: the texts of its items, in the
// order that makes the byte the device stores.
struct TChoiceList {
    std::string_view Path;
    std::size_t Offset;  // block byte holding the item index
    std::vector<std::string_view> Items;
};
const std::vector<TChoiceList>& ChoiceLists();

// The profile of a block's settings, identity included. A setting the window cannot show
// (a list byte beyond its items) is null, so the profile says so instead of guessing.
TJson ProfileFromSettings(const TDeviceSettings& settings);

// Checks a profile against the window's rules and, when it holds, fills the settings.
// Every problem is reported, not just the first; settings are only meaningful when the
// result is empty. The identity is the device's own: it may be present and is ignored.
std::vector<TProfileIssue> SettingsFromProfile(const TJson& profile, TDeviceSettings& settings);

// The same from the text of a profile file; a text that is no JSON document gives one
// issue naming the line and column.
std::vector<TProfileIssue> SettingsFromProfileText(const std::string& text, TDeviceSettings& settings);

std::string ProfileText(const TDeviceSettings& settings);

// The settings bytes (15 to 239) of a block that its profile does not carry, so that the
// profile written back would change them: values the window has no item for, flags other
// than 0 and 1, entries past the filter count, unused bytes that are not 0, a forwarding
// table that does not follow the direction. Empty for every block the window can send.
std::vector<std::size_t> BytesTheProfileLoses(const TParameterBlock& block);

// One line per setting that differs ("can.id: device 0x00000123, profile 0x00000124");
// the identity is not compared. Settings bytes that differ outside any field (see
// BytesTheProfileLoses) are listed by offset.
std::vector<std::string> ProfileDifferences(const TParameterBlock& device, const TParameterBlock& profile);

// The same as a table, one entry per differing setting: its path and the two values as
// the profile writes them ("\"RS485\"", 9600, true); for bytes outside any field the
// setting is "byte N" and the values are hexadecimal.
struct TProfileDifference {
    std::string Setting;
    std::string Device;
    std::string Profile;
    bool operator==(const TProfileDifference&) const = default;
};
std::vector<TProfileDifference> ProfileDifferenceList(const TParameterBlock& device, const TParameterBlock& profile);

// The raw block as text: 240 hexadecimal bytes, 16 to a line.
std::string HexBlockText(const TParameterBlock& block);

} // namespace quorin::profile
