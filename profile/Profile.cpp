#include "profile/Profile.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <stdexcept>
#include <utility>

namespace quorin::profile {

namespace {

// The window's item lists, in their order: the device stores the position.
const std::vector<TChoiceList> GChoices = {
    {"conversion.mode", block::SwitchMode, {"透明转换", "透明带标识转换", "格式转换"}},
    {"conversion.direction", block::SwitchRoute, {"双向转换", "仅串口转CAN", "仅CAN转串口"}},
    {"serial.mode", block::UARTMode, {"RS232", "RS485", "RS422"}},
    {"serial.baud_rate", block::UARTBaudrate,
     {"1200", "2400", "4800", "9600", "14400", "19200", "38400", "57600", "115200", "230400", "460800", "921600"}},
    {"serial.data_bits", block::UARTDataBits, {"7", "8"}},
    {"serial.stop_bits", block::UARTStopBits, {"1", "2"}},
    {"serial.parity", block::UARTParity, {"无校验", "奇校验", "偶校验"}},
    {"can.fd_standard", block::FDStandard, {"ISO"}},
    {"can.protocol", block::CANType, {"CAN", "CANFD"}},
    {"can.frame_format", block::CANFrameType, {"标准帧", "扩展帧"}},
    {"can.bit_rate_switch", block::BitRateSwitch, {"否", "是"}},
    {"can.bit_rate.arbitration", block::BaudrateIndexA,
     {"1Mbps", "预留1", "预留2", "500Kbps", "预留3", "250Kbps", "预留4", "125Kbps", "100Kbps", "预留5", "50Kbps",
      "40Kbps", "20Kbps", "10Kbps", "5Kbps"}},
    {"can.bit_rate.data", block::BaudrateIndexB,
     {"5Mbps", "4Mbps", "预留1", "预留2", "2Mbps", "预留3", "1Mbps", "预留4", "500kbps", "预留5", "250Kbps", "预留6",
      "125Kbps", "100Kbps", "预留7"}},
};

const TChoiceList& Choice(std::string_view path) {
    for (const auto& c : GChoices)
        if (c.Path == path) return c;
    throw std::logic_error("no choice list " + std::string(path));
}

constexpr uint32_t kStandardIdMask = 0x7FF;
constexpr uint32_t kExtendedIdMask = 0x1FFFFFFF;
constexpr std::string_view kFilterPorts[] = {"CAN0", "CAN1", "CAN2", "CAN3"};

std::string Hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, static_cast<unsigned>(value));
    return text;
}

std::string Hex32(uint32_t value) { return "0x" + Hex(value, 8); }

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A list setting as the profile shows it: the item's text, as a number where the text is
// one (a baud rate reads better as 9600 than as "9600"); null when the window has no item.
TJson ChoiceValue(std::string_view path, uint8_t index) {
    const auto& items = Choice(path).Items;
    if (index >= items.size()) return nullptr;
    const std::string_view text = items[index];
    if (AllDigits(text)) return std::stoul(std::string(text));
    return std::string(text);
}

std::string JsonType(const TJson& v) {
    if (v.is_null()) return "null";
    if (v.is_boolean()) return "true or false";
    if (v.is_number_integer()) return "a whole number";
    if (v.is_number()) return "a number with a fraction";
    if (v.is_string()) return "a text";
    if (v.is_array()) return "a list";
    return "an object";
}

// The integer conversion of the window's text fields, for the texts of a profile:
// decimal, or hexadecimal after "$", "0x", "0X", "x" or "X", up to 32 bits, unsigned.
bool TextToUnsigned32(const std::string& text, uint32_t& value) {
    std::size_t i = 0;
    bool hex = false;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        hex = true;
        i = 2;
    }
    if (i == text.size()) return false;
    uint64_t v = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return false;
        v = v * (hex ? 16 : 10) + static_cast<uint64_t>(d);
        if (v > 0xFFFFFFFFu) return false;
    }
    value = static_cast<uint32_t>(v);
    return true;
}

// Reads the fields of one object of the profile, remembering what it saw, so that missing
// and unknown fields are reported with their paths.
class TObjectReader {
public:
    TObjectReader(const TJson* object, std::string path, std::vector<TProfileIssue>& issues)
        : FPath(std::move(path)), FIssues(issues) {
        if (object == nullptr) return;
        if (!object->is_object()) Issue(FPath, "expected an object, found " + JsonType(*object));
        else FObject = object;
    }

    bool Valid() const { return FObject != nullptr; }
    std::string PathOf(std::string_view name) const { return FPath.empty() ? std::string(name) : FPath + "." + std::string(name); }

    const TJson* Field(std::string_view name) {
        if (!FObject) return nullptr;
        FSeen.insert(std::string(name));
        const auto it = FObject->find(std::string(name));
        if (it == FObject->end()) {
            Issue(PathOf(name), "missing");
            return nullptr;
        }
        return &*it;
    }

    // Present or not, this field is no one's business here.
    void Ignore(std::string_view name) { FSeen.insert(std::string(name)); }

    bool Flag(std::string_view name, uint8_t& out) {
        const TJson* v = Field(name);
        if (!v) return false;
        if (!v->is_boolean()) return Wrong(name, *v, "true or false");
        out = v->get<bool>() ? 1 : 0;
        return true;
    }

    bool Whole(std::string_view name, uint64_t low, uint64_t high, uint32_t& out) {
        const TJson* v = Field(name);
        if (!v) return false;
        if (!v->is_number_integer()) return Wrong(name, *v, "a whole number");
        if (v->is_number_unsigned() && v->get<uint64_t>() >= low && v->get<uint64_t>() <= high) {
            out = static_cast<uint32_t>(v->get<uint64_t>());
            return true;
        }
        Issue(PathOf(name), v->dump() + " is out of range (" + std::to_string(low) + " to " + std::to_string(high) + ")");
        return false;
    }

    // A 32-bit value written as a text ("0x0000ABCD") or as a whole number.
    bool Word(std::string_view name, uint32_t& out) {
        const TJson* v = Field(name);
        if (!v) return false;
        if (v->is_number_integer()) {
            if (v->is_number_unsigned() && v->get<uint64_t>() <= 0xFFFFFFFFu) {
                out = static_cast<uint32_t>(v->get<uint64_t>());
                return true;
            }
            Issue(PathOf(name), v->dump() + " is out of range (0 to 0xFFFFFFFF)");
            return false;
        }
        if (!v->is_string()) return Wrong(name, *v, "a text such as \"0x000007FF\"");
        if (TextToUnsigned32(v->get<std::string>(), out)) return true;
        Issue(PathOf(name), "'" + v->get<std::string>() + "' is not a valid integer value");
        return false;
    }

    bool Pick(std::string_view name, std::string_view choicePath, uint8_t& out) {
        const TJson* v = Field(name);
        if (!v) return false;
        const auto& items = Choice(choicePath).Items;
        std::string text;
        if (v->is_string()) text = v->get<std::string>();
        else if (v->is_number_unsigned()) text = std::to_string(v->get<uint64_t>());
        else return Wrong(name, *v, "one of " + ItemList(items));
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i] == text) {
                out = static_cast<uint8_t>(i);
                return true;
            }
        Issue(PathOf(name), v->dump() + " is not one of " + ItemList(items));
        return false;
    }

    void Finish() {
        if (!FObject) return;
        for (const auto& [key, value] : FObject->items())
            if (!FSeen.count(key)) Issue(PathOf(key), "unknown field");
    }

    void Issue(const std::string& path, const std::string& message) { FIssues.push_back({path, message}); }

private:
    bool Wrong(std::string_view name, const TJson& v, const std::string& expected) {
        Issue(PathOf(name), "expected " + expected + ", found " + JsonType(v));
        return false;
    }
    static std::string ItemList(const std::vector<std::string_view>& items) {
        std::string list;
        for (std::size_t i = 0; i < items.size(); ++i) list += (i ? ", \"" : "\"") + std::string(items[i]) + "\"";
        return list;
    }

    const TJson* FObject = nullptr;
    std::string FPath;
    std::vector<TProfileIssue>& FIssues;
    std::set<std::string> FSeen;
};

void ReadFilterEntry(const TJson& entry, const std::string& path, TFilterEntry& f, std::vector<TProfileIssue>& issues) {
    TObjectReader r(&entry, path, issues);
    if (!r.Valid()) return;
    if (const TJson* port = r.Field("port")) {
        const auto it = port->is_string() ? std::find(std::begin(kFilterPorts), std::end(kFilterPorts), port->get<std::string>())
                                          : std::end(kFilterPorts);
        if (it == std::end(kFilterPorts)) r.Issue(r.PathOf("port"), port->dump() + " is not one of \"CAN0\", \"CAN1\", \"CAN2\", \"CAN3\"");
        else f.Port = static_cast<uint8_t>(it - std::begin(kFilterPorts));
    }
    bool formatKnown = false;
    if (const TJson* type = r.Field("frame_type")) {
        const std::string text = type->is_string() ? type->get<std::string>() : std::string();
        // The window's own texts are taken too, so rows copied from it need no rewording.
        if (text == "standard" || text == "Standard Frame") {
            f.FrameFormat = 0;
            formatKnown = true;
        } else if (text == "extended" || text == "Extend   Frame") {
            f.FrameFormat = 1;
            formatKnown = true;
        } else {
            r.Issue(r.PathOf("frame_type"), type->dump() + " is not \"standard\" or \"extended\"");
        }
    }
    const bool startOk = r.Word("start_id", f.StartId);
    const bool endOk = r.Word("end_id", f.EndId);
    r.Finish();
    // The filter editor's rules: identifiers within the frame type's width, start <= end.
    const uint32_t mask = f.FrameFormat == 0 ? kStandardIdMask : kExtendedIdMask;
    const char* width = f.FrameFormat == 0 ? "the 11-bit range of a standard frame (0x000007FF)"
                                           : "the 29-bit range of an extended frame (0x1FFFFFFF)";
    if (formatKnown && startOk && (f.StartId & ~mask) != 0)
        r.Issue(r.PathOf("start_id"), Hex32(f.StartId) + " is beyond " + width);
    if (formatKnown && endOk && (f.EndId & ~mask) != 0) r.Issue(r.PathOf("end_id"), Hex32(f.EndId) + " is beyond " + width);
    if (startOk && endOk && f.StartId > f.EndId)
        r.Issue(path, "start_id " + Hex32(f.StartId) + " is greater than end_id " + Hex32(f.EndId));
}

} // namespace

std::string IssueText(const TProfileIssue& issue) {
    return issue.Path.empty() ? issue.Message : issue.Path + ": " + issue.Message;
}

const std::vector<TChoiceList>& ChoiceLists() { return GChoices; }

TJson ProfileFromSettings(const TDeviceSettings& s) {
    TJson p;
    const auto& id = s.Identity;
    p["identity"] = {{"vendor_id", "0x" + Hex(id.VendorId, 4)},
                     {"product_type", Hex(id.ProductType, 4) + " Series"},
                     {"product_code", "QUORIN-Q1"},
                     {"hardware_version", id.HardwareVersion},
                     {"firmware_version", id.FirmwareVersion},
                     {"serial_number", Hex(id.SerialNumber[0], 2) + "-" + Hex(id.SerialNumber[1], 2) + "-" +
                                           Hex(id.SerialNumber[2], 2) + "-" + Hex(id.SerialNumber[3], 2)}};
    p["conversion"] = {{"mode", ChoiceValue("conversion.mode", s.SwitchMode)},
                       {"direction", ChoiceValue("conversion.direction", s.SwitchRoute)},
                       {"can_id_offset", s.CANIDOffset},
                       {"can_id_length", s.CANIDLen},
                       {"forward_can_frame_info", s.CANFrameInfoEnable != 0},
                       {"forward_can_id", s.CANIDInfoEnable != 0},
                       {"serial_frame_interval_ms", s.UARTFrameInterval},
                       {"can_frame_interval_ms", s.CANFrameInterval}};
    p["serial"] = {{"mode", ChoiceValue("serial.mode", s.UARTMode)},
                   {"baud_rate", ChoiceValue("serial.baud_rate", s.UARTBaudrate)},
                   {"data_bits", ChoiceValue("serial.data_bits", s.UARTDataBits)},
                   {"stop_bits", ChoiceValue("serial.stop_bits", s.UARTStopBits)},
                   {"parity", ChoiceValue("serial.parity", s.UARTParity)}};
    TJson bitRate;
    bitRate["custom"] = s.CustomBitRate != 0;
    if (s.CustomBitRate != 0) {
        bitRate["arbitration_register"] = Hex32(s.CustomWordA);
        bitRate["data_register"] = Hex32(s.CustomWordB);
    } else {
        bitRate["arbitration"] = ChoiceValue("can.bit_rate.arbitration", s.BaudrateIndexA);
        bitRate["data"] = ChoiceValue("can.bit_rate.data", s.BaudrateIndexB);
    }
    p["can"] = {{"fd_standard", ChoiceValue("can.fd_standard", s.FDStandard)},
                {"protocol", ChoiceValue("can.protocol", s.CANType)},
                {"frame_format", ChoiceValue("can.frame_format", s.CANFrameType)},
                {"id", Hex32(s.CANID)},
                {"bit_rate_switch", ChoiceValue("can.bit_rate_switch", s.BitRateSwitch)},
                {"bit_rate", bitRate}};
    TJson entries = TJson::array();
    for (const auto& f : s.Filters)
        entries.push_back({{"port", f.Port < 4 ? TJson(kFilterPorts[f.Port]) : TJson(nullptr)},
                           {"frame_type", f.FrameFormat == 0 ? "standard" : "extended"},
                           {"start_id", Hex32(f.StartId)},
                           {"end_id", Hex32(f.EndId)}});
    p["filters"] = {{"enabled", s.FilterEnable != 0}, {"entries", entries}};
    return p;
}

std::vector<TProfileIssue> SettingsFromProfile(const TJson& profile, TDeviceSettings& s) {
    std::vector<TProfileIssue> issues;
    s = TDeviceSettings{};
    TObjectReader top(&profile, "", issues);
    if (!top.Valid()) return issues;
    top.Ignore("identity");

    TObjectReader conv(top.Field("conversion"), "conversion", issues);
    conv.Pick("mode", "conversion.mode", s.SwitchMode);
    conv.Pick("direction", "conversion.direction", s.SwitchRoute);
    uint32_t number = 0;
    if (conv.Whole("can_id_offset", 0, 7, number)) s.CANIDOffset = static_cast<uint8_t>(number);
    if (conv.Whole("can_id_length", 1, 4, number)) s.CANIDLen = static_cast<uint8_t>(number);
    conv.Flag("forward_can_frame_info", s.CANFrameInfoEnable);
    conv.Flag("forward_can_id", s.CANIDInfoEnable);
    conv.Whole("serial_frame_interval_ms", 0, 0xFFFFFFFFu, s.UARTFrameInterval);
    conv.Whole("can_frame_interval_ms", 0, 0xFFFFFFFFu, s.CANFrameInterval);
    conv.Finish();

    TObjectReader serial(top.Field("serial"), "serial", issues);
    serial.Pick("mode", "serial.mode", s.UARTMode);
    serial.Pick("baud_rate", "serial.baud_rate", s.UARTBaudrate);
    serial.Pick("data_bits", "serial.data_bits", s.UARTDataBits);
    serial.Pick("stop_bits", "serial.stop_bits", s.UARTStopBits);
    serial.Pick("parity", "serial.parity", s.UARTParity);
    serial.Finish();

    TObjectReader can(top.Field("can"), "can", issues);
    can.Pick("fd_standard", "can.fd_standard", s.FDStandard);
    can.Pick("protocol", "can.protocol", s.CANType);
    const bool formatOk = can.Pick("frame_format", "can.frame_format", s.CANFrameType);
    if (can.Word("id", s.CANID) && formatOk) {
        const uint32_t mask = s.CANFrameType == 0 ? kStandardIdMask : kExtendedIdMask;
        if ((s.CANID & ~mask) != 0)
            can.Issue("can.id", Hex32(s.CANID) + " is beyond the identifier range of the frame format (" + Hex32(mask) + ")");
    }
    can.Pick("bit_rate_switch", "can.bit_rate_switch", s.BitRateSwitch);
    TObjectReader rate(can.Field("bit_rate"), "can.bit_rate", issues);
    if (rate.Flag("custom", s.CustomBitRate)) {
        if (s.CustomBitRate) {
            rate.Word("arbitration_register", s.CustomWordA);
            rate.Word("data_register", s.CustomWordB);
        } else {
            rate.Pick("arbitration", "can.bit_rate.arbitration", s.BaudrateIndexA);
            rate.Pick("data", "can.bit_rate.data", s.BaudrateIndexB);
        }
        rate.Finish();
    }
    can.Finish();

    TObjectReader filters(top.Field("filters"), "filters", issues);
    filters.Flag("enabled", s.FilterEnable);
    if (const TJson* entries = filters.Field("entries")) {
        if (!entries->is_array()) {
            filters.Issue("filters.entries", "expected a list, found " + JsonType(*entries));
        } else {
            if (entries->size() > kMaxFilterEntries)
                filters.Issue("filters.entries", std::to_string(entries->size()) + " entries; the converter holds at most 16");
            for (std::size_t i = 0; i < entries->size(); ++i) {
                TFilterEntry f;
                ReadFilterEntry((*entries)[i], "filters.entries[" + std::to_string(i) + "]", f, issues);
                s.Filters.push_back(f);
            }
        }
    }
    filters.Finish();
    top.Finish();
    return issues;
}

std::vector<TProfileIssue> SettingsFromProfileText(const std::string& text, TDeviceSettings& settings) {
    TJson profile;
    try {
        profile = TJson::parse(text);
    } catch (const nlohmann::json::parse_error& e) {
        // The library's message names the line and column after its own prefix.
        std::string message = e.what();
        const auto at = message.find("parse error");
        if (at != std::string::npos) message = message.substr(at);
        return {{"", "not a JSON document: " + message}};
    }
    return SettingsFromProfile(profile, settings);
}

std::string ProfileText(const TDeviceSettings& settings) { return ProfileFromSettings(settings).dump(2) + "\n"; }

std::vector<std::size_t> BytesTheProfileLoses(const TParameterBlock& block) {
    // Through the profile and back; a setting the profile cannot hold comes back as 0.
    TDeviceSettings settings;
    SettingsFromProfile(ProfileFromSettings(DecodeParameterBlock(block)), settings);
    const TParameterBlock again = EncodeParameterBlock(settings);
    std::vector<std::size_t> lost;
    for (std::size_t i = block::IdentityEnd; i < kParameterBlockSize; ++i)
        if (again[i] != block[i]) lost.push_back(i);
    return lost;
}

namespace {

// Every leaf of a profile with its path, in the document's order.
void Flatten(const TJson& value, const std::string& path, std::vector<std::pair<std::string, std::string>>& out) {
    if (value.is_object()) {
        for (const auto& [key, v] : value.items()) Flatten(v, path.empty() ? key : path + "." + key, out);
    } else if (value.is_array()) {
        out.emplace_back(path + ".count", std::to_string(value.size()));
        for (std::size_t i = 0; i < value.size(); ++i) Flatten(value[i], path + "[" + std::to_string(i) + "]", out);
    } else {
        out.emplace_back(path, value.dump());
    }
}

} // namespace

std::vector<TProfileDifference> ProfileDifferenceList(const TParameterBlock& device, const TParameterBlock& profile) {
    std::vector<std::pair<std::string, std::string>> a, b;
    TJson da = ProfileFromSettings(DecodeParameterBlock(device)), db = ProfileFromSettings(DecodeParameterBlock(profile));
    da.erase("identity");
    db.erase("identity");
    Flatten(da, "", a);
    Flatten(db, "", b);
    const std::map<std::string, std::string> inDevice(a.begin(), a.end()), inProfile(b.begin(), b.end());
    std::vector<TProfileDifference> lines;
    auto compare = [&](const std::string& key) {
        const auto ia = inDevice.find(key), ib = inProfile.find(key);
        const std::string va = ia == inDevice.end() ? "(none)" : ia->second;
        const std::string vb = ib == inProfile.end() ? "(none)" : ib->second;
        if (va != vb) lines.push_back({key, va, vb});
    };
    for (const auto& [key, value] : a) compare(key);
    for (const auto& [key, value] : b)
        if (!inDevice.count(key)) compare(key);
    if (lines.empty()) {
        for (std::size_t i = block::IdentityEnd; i < kParameterBlockSize; ++i)
            if (device[i] != profile[i])
                lines.push_back({"byte " + std::to_string(i), "0x" + Hex(device[i], 2), "0x" + Hex(profile[i], 2)});
    }
    return lines;
}

std::vector<std::string> ProfileDifferences(const TParameterBlock& device, const TParameterBlock& profile) {
    std::vector<std::string> lines;
    for (const auto& d : ProfileDifferenceList(device, profile))
        lines.push_back(d.Setting + ": device " + d.Device + ", profile " + d.Profile);
    return lines;
}

std::string HexBlockText(const TParameterBlock& block) {
    std::string text;
    for (std::size_t i = 0; i < block.size(); ++i) {
        text += Hex(block[i], 2);
        text += (i % 16 == 15) ? '\n' : ' ';
    }
    return text;
}

} // namespace quorin::profile
