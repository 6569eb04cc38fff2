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

// The choices of a setting the window offers in a list, in the order that makes the byte
// the device stores: the keyword a profile carries for each item, and the window's own item
// text, which profiles written before the keywords carry and which is still accepted.
// A profile's null stands for a box without a selection, which the window sends as 0xFF.
struct TChoiceList {
    std::string_view Path;
    std::size_t Offset;  // block byte holding the item index
    std::vector<std::string_view> Items;
    std::vector<std::string_view> WindowItems;
};
const std::vector<TChoiceList>& ChoiceLists();

// The profile of a block's settings, identity included, holding what the window writes
// after showing them (see AsTheWindowWrites): a profile made from a converter's block gives,
// written, the bytes the window's Write gives after reading that converter. A list byte
// beyond the window's items is null, as the window's box is then empty.
TJson ProfileFromSettings(const TDeviceSettings& settings);

// The one rule from what a converter holds to what goes back to it, the window's: a CAN
// identifier wider than its frame format is masked (0x7FF standard, 0x1FFFFFFF otherwise);
// a filter's port other than 1 goes back as 0 and a frame format other than 0 as 1; a
// list byte beyond the window's items goes back as 0xFF. Filter identifiers stay as held.
TDeviceSettings AsTheWindowWrites(TDeviceSettings settings);

// What a read tells about a block beyond its profile, one warning per field (its path):
// values the rule above changes, filter identifiers beyond their frame type or in the
// wrong order, values the profile check refuses, and bytes the profile cannot carry.
std::vector<TProfileIssue> ReadWarnings(const TParameterBlock& block);

// What a valid profile's settings hold that the window's own editor would not have made:
// filter identifiers beyond their frame type's width, a start above its end, lists without
// a selection. They are written as they are, as the window writes such rows it has read.
std::vector<TProfileIssue> SettingsWarnings(const TDeviceSettings& settings);

// Checks a profile against the window's rules and, when it holds, fills the settings.
// Every problem is reported, not just the first; settings are only meaningful when the
// result is empty. The identity is the device's own: it may be present and is ignored.
std::vector<TProfileIssue> SettingsFromProfile(const TJson& profile, TDeviceSettings& settings);

// The same from the text of a profile file; a text that is no JSON document gives one
// issue naming the line and column, and so does one with lists or objects nested deeper
// than a profile's few levels. Messages quote at most a short prefix of any value.
std::vector<TProfileIssue> SettingsFromProfileText(const std::string& text, TDeviceSettings& settings);

std::string ProfileText(const TDeviceSettings& settings);

// The settings bytes (15 to 239) of a block that its profile does not carry, so that the
// profile written back would change them: values the window has no item for, flags other
// than 0 and 1, entries past the filter count, unused bytes that are not 0, a forwarding
// table that does not follow the direction. Empty for every block the window can send.
std::vector<std::size_t> BytesTheProfileLoses(const TParameterBlock& block);

// One line per setting that differs ("can.id: device 0x00000123, profile 0x00000124");
// the identity is not compared. Settings bytes that differ where no listed setting does
// (bytes the profile cannot carry, see BytesTheProfileLoses) are listed by offset too.
std::vector<std::string> ProfileDifferences(const TParameterBlock& device, const TParameterBlock& profile);

// The same differences one by one: the setting's path ("byte 214" outside any field) and
// the two values as the profile writes them.
struct TProfileDifference {
    std::string Path;
    std::string Device;
    std::string Profile;
};
std::vector<TProfileDifference> ProfileDifferenceList(const TParameterBlock& device, const TParameterBlock& profile);

// One change a command line asks for: a profile path with dots ("serial.baud_rate",
// "filters.entries[2].end_id") and the value, a JSON value or, when the text is none, the
// text itself ("500Kbps").
struct TSettingChange {
    std::string Path;
    TJson Value;
};

// Every path a change may name, in the profile's order.
std::vector<std::string> SettablePaths();

// Reads KEY=VALUE arguments. Each malformed one (no "=", an empty or unknown key, a key
// naming a section or the identity, a value the setting does not take, a key given twice)
// gives an issue at its key that names what is accepted; the changes hold only when the
// result is empty. Checks that depend on a converter's other settings wait for
// ApplySettingChanges.
std::vector<TProfileIssue> ParseSettingChanges(const std::vector<std::string>& arguments,
                                               std::vector<TSettingChange>& changes);

// A converter's block with the changes made: the profile read from it, changed, is checked
// as a written profile is; the settings bytes the changes make different are taken from the
// block that profile encodes, and every other byte, identity included, stays as read. The
// block so made is checked too (a byte kept as read may break a rule with a changed one,
// as an identifier with a new frame format). The checksum is set. On issues, result is
// the block as read.
std::vector<TProfileIssue> ApplySettingChanges(const TParameterBlock& read, const std::vector<TSettingChange>& changes,
                                               TParameterBlock& result);

// A JSON document as its text, with any byte of its strings that is not UTF-8 (a path or
// a port name given in another encoding, a quoted piece of a file) replaced by U+FFFD, so
// that every text reaches the document and making it never fails.
std::string DocumentText(const TJson& document, int indent = 2);

// The raw block as text: 240 hexadecimal bytes, 16 to a line.
std::string HexBlockText(const TParameterBlock& block);

}  // namespace quorin::profile
