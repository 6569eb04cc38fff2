#include "profile/Profile.h"

#include "link/CANConfigReadParameter.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <stdexcept>
#include <utility>

namespace quorin::profile {

namespace {

// The window's item lists, in their order: the device stores the position. Keywords first,
// then the window's item texts that older profiles carry.
const std::vector<TChoiceList> GChoices = {
    {"conversion.mode",
     block::SwitchMode,
     {"transparent", "transparent_with_id", "format"},
     {"透明转换", "透明带标识转换", "格式转换"}},
    {"conversion.direction",
     block::SwitchRoute,
     {"bidirectional", "serial_to_can", "can_to_serial"},
     {"双向转换", "仅串口转CAN", "仅CAN转串口"}},
    {"serial.mode", block::UARTMode, {"RS232", "RS485", "RS422"}, {"RS232", "RS485", "RS422"}},
    {"serial.baud_rate",
     block::UARTBaudrate,
     {"1200", "2400", "4800", "9600", "14400", "19200", "38400", "57600", "115200", "230400", "460800", "921600"},
     {"1200", "2400", "4800", "9600", "14400", "19200", "38400", "57600", "115200", "230400", "460800", "921600"}},
    {"serial.data_bits", block::UARTDataBits, {"7", "8"}, {"7", "8"}},
    {"serial.stop_bits", block::UARTStopBits, {"1", "2"}, {"1", "2"}},
    {"serial.parity", block::UARTParity, {"none", "odd", "even"}, {"无校验", "奇校验", "偶校验"}},
    {"can.fd_standard", block::FDStandard, {"ISO"}, {"ISO"}},
    {"can.protocol", block::CANType, {"CAN", "CANFD"}, {"CAN", "CANFD"}},
    {"can.frame_format", block::CANFrameType, {"standard", "extended"}, {"标准帧", "扩展帧"}},
    {"can.bit_rate_switch", block::BitRateSwitch, {"off", "on"}, {"否", "是"}},
    {"can.bit_rate.arbitration",
     block::BaudrateIndexA,
     {"1Mbps", "reserved_1", "reserved_2", "500Kbps", "reserved_3", "250Kbps", "reserved_4", "125Kbps", "100Kbps",
      "reserved_5", "50Kbps", "40Kbps", "20Kbps", "10Kbps", "5Kbps"},
     {"1Mbps", "预留1", "预留2", "500Kbps", "预留3", "250Kbps", "预留4", "125Kbps", "100Kbps", "预留5", "50Kbps",
      "40Kbps", "20Kbps", "10Kbps", "5Kbps"}},
    {"can.bit_rate.data",
     block::BaudrateIndexB,
     {"5Mbps", "4Mbps", "reserved_1", "reserved_2", "2Mbps", "reserved_3", "1Mbps", "reserved_4", "500Kbps",
      "reserved_5", "250Kbps", "reserved_6", "125Kbps", "100Kbps", "reserved_7"},
     {"5Mbps", "4Mbps", "预留1", "预留2", "2Mbps", "预留3", "1Mbps", "预留4", "500kbps", "预留5", "250Kbps", "预留6",
      "125Kbps", "100Kbps", "预留7"}},
};

const TChoiceList& Choice(std::string_view path) {
    for (const auto& c : GChoices)
        if (c.Path == path) return c;
    throw std::logic_error("no choice list " + std::string(path));
}

// The settings field that holds a list's item index.
uint8_t* ChoiceByte(TDeviceSettings& s, std::size_t offset) {
    switch (offset) {
    case block::SwitchMode: return &s.SwitchMode;
    case block::SwitchRoute: return &s.SwitchRoute;
    case block::UARTMode: return &s.UARTMode;
    case block::UARTBaudrate: return &s.UARTBaudrate;
    case block::UARTDataBits: return &s.UARTDataBits;
    case block::UARTStopBits: return &s.UARTStopBits;
    case block::UARTParity: return &s.UARTParity;
    case block::FDStandard: return &s.FDStandard;
    case block::CANType: return &s.CANType;
    case block::CANFrameType: return &s.CANFrameType;
    case block::BitRateSwitch: return &s.BitRateSwitch;
    case block::BaudrateIndexA: return &s.BaudrateIndexA;
    case block::BaudrateIndexB: return &s.BaudrateIndexB;
    default: return nullptr;
    }
}
const uint8_t* ChoiceByte(const TDeviceSettings& s, std::size_t offset) {
    return ChoiceByte(const_cast<TDeviceSettings&>(s), offset);
}

// A list box without a selection: its item index -1 travels as this byte.
constexpr uint8_t kNoSelection = 0xFF;
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

// A value as a message quotes it: its JSON text, cut after a few dozen bytes (at the start
// of a character) so that a long text or a large list cannot swell a message.
constexpr std::size_t kQuotedBytes = 40;

std::string ShortText(std::string text) {
    if (text.size() <= kQuotedBytes) return text;
    std::size_t cut = kQuotedBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text.resize(cut);
    return text + "...";
}

std::string Quote(const TJson& v) { return ShortText(v.dump(-1, ' ', false, TJson::error_handler_t::replace)); }

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
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
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
        if (!object->is_object())
            Issue(FPath, "expected an object, found " + JsonType(*object));
        else
            FObject = object;
    }

    bool Valid() const { return FObject != nullptr; }
    std::string PathOf(std::string_view name) const {
        return FPath.empty() ? std::string(name) : FPath + "." + std::string(name);
    }

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
        Issue(PathOf(name),
              Quote(*v) + " is out of range (" + std::to_string(low) + " to " + std::to_string(high) + ")");
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
            Issue(PathOf(name), Quote(*v) + " is out of range (0 to 0xFFFFFFFF)");
            return false;
        }
        if (!v->is_string()) return Wrong(name, *v, "a text such as \"0x000007FF\"");
        if (TextToUnsigned32(v->get<std::string>(), out)) return true;
        Issue(PathOf(name), "'" + ShortText(v->get<std::string>()) + "' is not a valid integer value");
        return false;
    }

    bool Pick(std::string_view name, std::string_view choicePath, uint8_t& out) {
        const TJson* v = Field(name);
        if (!v) return false;
        const TChoiceList& choice = Choice(choicePath);
        const auto& items = choice.Items;
        if (v->is_null()) {
            out = kNoSelection;
            return true;
        }
        std::string text;
        if (v->is_string())
            text = v->get<std::string>();
        else if (v->is_number_unsigned())
            text = std::to_string(v->get<uint64_t>());
        else
            return Wrong(name, *v, "one of " + ItemList(items));
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i] == text || choice.WindowItems[i] == text) {
                out = static_cast<uint8_t>(i);
                return true;
            }
        Issue(PathOf(name), Quote(*v) + " is not one of " + ItemList(items));
        return false;
    }

    void Finish() {
        if (!FObject) return;
        for (const auto& [key, value] : FObject->items())
            if (!FSeen.count(key)) Issue(PathOf(ShortText(key)), "unknown field");
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
        const auto it = port->is_string()
                            ? std::find(std::begin(kFilterPorts), std::end(kFilterPorts), port->get<std::string>())
                            : std::end(kFilterPorts);
        if (it == std::end(kFilterPorts))
            r.Issue(r.PathOf("port"), Quote(*port) + " is not one of \"CAN0\", \"CAN1\", \"CAN2\", \"CAN3\"");
        else
            f.Port = static_cast<uint8_t>(it - std::begin(kFilterPorts));
    }
    if (const TJson* type = r.Field("frame_type")) {
        const std::string text = type->is_string() ? type->get<std::string>() : std::string();
        // The window's own texts are taken too, so rows copied from it need no rewording.
        if (text == "standard" || text == "Standard Frame") {
            f.FrameFormat = 0;
        } else if (text == "extended" || text == "Extend   Frame") {
            f.FrameFormat = 1;
        } else {
            r.Issue(r.PathOf("frame_type"), Quote(*type) + " is not \"standard\" or \"extended\"");
        }
    }
    r.Word("start_id", f.StartId);
    r.Word("end_id", f.EndId);
    r.Finish();
    // The filter editor's width and order rules bind what is typed into it, not rows the
    // window shows from a converter, which it writes back as they are (SettingsWarnings).
}

}  // namespace

std::string IssueText(const TProfileIssue& issue) {
    return issue.Path.empty() ? issue.Message : issue.Path + ": " + issue.Message;
}

const std::vector<TChoiceList>& ChoiceLists() { return GChoices; }

TDeviceSettings AsTheWindowWrites(TDeviceSettings s) {
    s.CANID &= s.CANFrameType == 0 ? kStandardIdMask : kExtendedIdMask;
    // The window shows port 1 as "CAN1" and every other port with an empty caption, which
    // it takes back as port 0.
    for (auto& f : s.Filters) {
        f.Port = f.Port == 1 ? 1 : 0;
        f.FrameFormat = f.FrameFormat == 0 ? 0 : 1;
    }
    if (s.Filters.size() > kMaxFilterEntries) s.Filters.resize(kMaxFilterEntries);
    for (const auto& c : GChoices) {
        uint8_t* byte = ChoiceByte(s, c.Offset);
        if (byte && *byte >= c.Items.size()) *byte = kNoSelection;
    }
    return s;
}

TJson ProfileFromSettings(const TDeviceSettings& shown) {
    const TDeviceSettings s = AsTheWindowWrites(shown);
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
            can.Issue("can.id",
                      Hex32(s.CANID) + " is beyond the identifier range of the frame format (" + Hex32(mask) + ")");
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
                filters.Issue("filters.entries",
                              std::to_string(entries->size()) + " entries; the converter holds at most 16");
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

namespace {

// Lists and objects deeper than this are no profile (it has four levels). Refused while
// parsing: printing or comparing a value recurses once per level, and a few hundred
// kilobytes of brackets would run a 1 MB stack out.
constexpr int kMaxNesting = 16;

struct TTooDeep {};

// The library's message after its own prefix, with what it quotes of the text ("last
// read: '...'") cut to its last few dozen bytes: the quote can hold a whole long token.
std::string ParseMessage(const std::string& what) {
    std::string message = what;
    const auto at = message.find("] ");
    if (at != std::string::npos) message = message.substr(at + 2);
    const std::string mark = "last read: '";
    const auto quote = message.find(mark);
    if (quote == std::string::npos) return message;
    const std::size_t from = quote + mark.size();
    std::size_t close = message.find("'; expected", from);
    if (close == std::string::npos && !message.empty() && message.back() == '\'') close = message.size() - 1;
    if (close == std::string::npos || close <= from || close - from <= kQuotedBytes) return message;
    std::size_t keep = close - kQuotedBytes;
    while (keep < close && (static_cast<unsigned char>(message[keep]) & 0xC0) == 0x80) ++keep;
    return message.substr(0, from) + "..." + message.substr(keep);
}

// A JSON text parsed with the nesting bound; on failure error says why (tooDeep: the bound).
TJson ParseProfileJson(const std::string& text, std::string& error, bool& tooDeep) {
    error.clear();
    tooDeep = false;
    const TJson::parser_callback_t bound = [](int depth, TJson::parse_event_t event, TJson&) {
        if ((event == TJson::parse_event_t::object_start || event == TJson::parse_event_t::array_start) &&
            depth >= kMaxNesting)
            throw TTooDeep{};
        return true;
    };
    try {
        return TJson::parse(text, bound);
    } catch (const TTooDeep&) {
        tooDeep = true;
        error = "lists and objects nested more than " + std::to_string(kMaxNesting) + " deep";
    } catch (const nlohmann::json::exception& e) {
        // A syntax error names the line and column, a number beyond every floating-point
        // value the text of it.
        error = ParseMessage(e.what());
    }
    return TJson(TJson::value_t::discarded);
}

}  // namespace

std::vector<TProfileIssue> SettingsFromProfileText(const std::string& text, TDeviceSettings& settings) {
    std::string error;
    bool tooDeep = false;
    const TJson profile = ParseProfileJson(text, error, tooDeep);
    if (!error.empty()) return {{"", "not a JSON document: " + error}};
    return SettingsFromProfile(profile, settings);
}

std::string DocumentText(const TJson& document, int indent) {
    return document.dump(indent, ' ', false, TJson::error_handler_t::replace);
}

std::string ProfileText(const TDeviceSettings& settings) { return ProfileFromSettings(settings).dump(2) + "\n"; }

namespace {

// A block through its profile and back: what the profile carries of it; a setting the
// profile cannot hold comes back as 0.
TParameterBlock CarriedBlock(const TParameterBlock& block) {
    TDeviceSettings settings;
    SettingsFromProfile(ProfileFromSettings(DecodeParameterBlock(block)), settings);
    return EncodeParameterBlock(settings);
}

}  // namespace

std::vector<std::size_t> BytesTheProfileLoses(const TParameterBlock& block) {
    const TParameterBlock again = CarriedBlock(block);
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

}  // namespace

std::vector<TProfileDifference> ProfileDifferenceList(const TParameterBlock& device, const TParameterBlock& profile) {
    std::vector<std::pair<std::string, std::string>> a, b;
    TJson da = ProfileFromSettings(DecodeParameterBlock(device)),
          db = ProfileFromSettings(DecodeParameterBlock(profile));
    da.erase("identity");
    db.erase("identity");
    Flatten(da, "", a);
    Flatten(db, "", b);
    const std::map<std::string, std::string> inDevice(a.begin(), a.end()), inProfile(b.begin(), b.end());
    std::vector<TProfileDifference> list;
    auto compare = [&](const std::string& key) {
        const auto ia = inDevice.find(key), ib = inProfile.find(key);
        const std::string va = ia == inDevice.end() ? "(none)" : ia->second;
        const std::string vb = ib == inProfile.end() ? "(none)" : ib->second;
        if (va != vb) list.push_back({key, va, vb});
    };
    for (const auto& [key, value] : a) compare(key);
    for (const auto& [key, value] : b)
        if (!inDevice.count(key)) compare(key);
    // A byte that differs where the two profiles agree is one no setting shows (a filter
    // port 2 shown as CAN0 beside a port 0): listed by itself, whatever else differs.
    const TParameterBlock carriedA = CarriedBlock(device), carriedB = CarriedBlock(profile);
    for (std::size_t i = block::IdentityEnd; i < kParameterBlockSize; ++i)
        if (device[i] != profile[i] && carriedA[i] == carriedB[i])
            list.push_back({"byte " + std::to_string(i), "0x" + Hex(device[i], 2), "0x" + Hex(profile[i], 2)});
    return list;
}

std::vector<std::string> ProfileDifferences(const TParameterBlock& device, const TParameterBlock& profile) {
    std::vector<std::string> lines;
    for (const auto& d : ProfileDifferenceList(device, profile))
        lines.push_back(d.Path + ": device " + d.Device + ", profile " + d.Profile);
    return lines;
}

namespace {

std::string Width(uint8_t frameFormat) {
    return frameFormat == 0 ? "the 11-bit range of a standard frame (0x000007FF)"
                            : "the 29-bit range of an extended frame (0x1FFFFFFF)";
}

std::string EntryPath(std::size_t i) { return "filters.entries[" + std::to_string(i) + "]"; }

// A bit-rate list counts only while the custom words do not, and the reverse.
bool ChoiceCounts(const TDeviceSettings& s, std::size_t offset) {
    if (offset == block::BaudrateIndexA || offset == block::BaudrateIndexB) return s.CustomBitRate == 0;
    return true;
}

}  // namespace

std::vector<TProfileIssue> SettingsWarnings(const TDeviceSettings& s) {
    std::vector<TProfileIssue> warnings;
    for (const auto& c : GChoices) {
        const uint8_t* byte = ChoiceByte(s, c.Offset);
        if (byte && *byte == kNoSelection && ChoiceCounts(s, c.Offset))
            warnings.push_back(
                {std::string(c.Path), "null: no selection, written as 0xFF as the window writes an empty box"});
    }
    for (std::size_t i = 0; i < s.Filters.size() && i < kMaxFilterEntries; ++i) {
        const TFilterEntry& f = s.Filters[i];
        const uint32_t mask = f.FrameFormat == 0 ? kStandardIdMask : kExtendedIdMask;
        if ((f.StartId & ~mask) != 0)
            warnings.push_back({EntryPath(i) + ".start_id",
                                Hex32(f.StartId) + " is beyond " + Width(f.FrameFormat) + "; written as it is"});
        if ((f.EndId & ~mask) != 0)
            warnings.push_back({EntryPath(i) + ".end_id",
                                Hex32(f.EndId) + " is beyond " + Width(f.FrameFormat) + "; written as it is"});
        if (f.StartId > f.EndId)
            warnings.push_back({EntryPath(i), "start_id " + Hex32(f.StartId) + " is greater than end_id " +
                                                  Hex32(f.EndId) + "; written as it is"});
    }
    return warnings;
}

std::vector<TProfileIssue> ReadWarnings(const TParameterBlock& block) {
    const TDeviceSettings held = DecodeParameterBlock(block);
    const TDeviceSettings written = AsTheWindowWrites(held);
    std::vector<TProfileIssue> warnings;
    if (held.CANID != written.CANID)
        warnings.push_back({"can.id", "the converter holds " + Hex32(held.CANID) + ", beyond " +
                                          Width(held.CANFrameType) + "; the profile carries " + Hex32(written.CANID) +
                                          ", as the window writes it"});
    for (const auto& c : GChoices) {
        const uint8_t* byte = ChoiceByte(held, c.Offset);
        if (byte && *byte >= c.Items.size() && ChoiceCounts(held, c.Offset))
            warnings.push_back(
                {std::string(c.Path), "the converter holds " + std::to_string(*byte) +
                                          ", which the window has no item for; the profile carries null"});
    }
    for (std::size_t i = 0; i < held.Filters.size(); ++i)
        if (held.Filters[i].Port != written.Filters[i].Port)
            warnings.push_back(
                {EntryPath(i) + ".port", "the converter holds port " + std::to_string(held.Filters[i].Port) +
                                             ", which the window shows and writes as CAN0; so does the profile"});
    for (auto& w : SettingsWarnings(written))
        if (w.Message.rfind("null:", 0) != 0) warnings.push_back(std::move(w));
    TDeviceSettings check;
    for (const auto& issue : SettingsFromProfile(ProfileFromSettings(held), check))
        warnings.push_back({issue.Path,
                            "the converter holds a value the window's rules refuse, so the profile cannot be "
                            "written back as it is: " +
                                issue.Message});
    const auto lost = BytesTheProfileLoses(block);
    if (!lost.empty()) {
        std::string list;
        for (std::size_t i = 0; i < lost.size(); ++i) list += (i ? ", " : "") + std::to_string(lost[i]);
        warnings.push_back({"", "block bytes " + list +
                                    " hold values the profile cannot carry; writing the profile back changes them"});
    }
    return warnings;
}

namespace {

// A change's path in steps: object field names, and list positions for "entries[2]".
struct TStep {
    std::string Name;
    std::size_t Index = 0;
    bool IsIndex = false;
};

bool SplitPath(const std::string& path, std::vector<TStep>& steps) {
    std::size_t i = 0;
    while (i < path.size()) {
        std::size_t end = i;
        while (end < path.size() &&
               ((path[end] >= 'a' && path[end] <= 'z') || path[end] == '_' || (path[end] >= '0' && path[end] <= '9')))
            ++end;
        if (end == i) return false;
        steps.push_back({path.substr(i, end - i)});
        i = end;
        if (i < path.size() && path[i] == '[') {
            std::size_t close = path.find(']', i);
            if (close == std::string::npos || close == i + 1 || close - i > 4) return false;
            const std::string digits = path.substr(i + 1, close - i - 1);
            if (!AllDigits(digits)) return false;
            steps.push_back({"", static_cast<std::size_t>(std::stoul(digits)), true});
            i = close + 1;
        }
        if (i == path.size()) break;
        if (path[i] != '.' || i + 1 == path.size()) return false;
        ++i;
    }
    return !steps.empty();
}

// The value at a path, or null when there is none.
TJson* Locate(TJson& document, const std::vector<TStep>& steps) {
    TJson* at = &document;
    for (const auto& step : steps) {
        if (step.IsIndex) {
            if (!at->is_array() || step.Index >= at->size()) return nullptr;
            at = &(*at)[step.Index];
        } else {
            if (!at->is_object() || !at->contains(step.Name)) return nullptr;
            at = &(*at)[step.Name];
        }
    }
    return at;
}

// A profile with every path a change may name: both bit-rate forms, one filter entry.
TJson FullProfile(const TDeviceSettings& s) {
    TJson p = ProfileFromSettings(s);
    p.erase("identity");
    TJson& rate = p["can"]["bit_rate"];
    rate["arbitration"] = ChoiceValue("can.bit_rate.arbitration", AsTheWindowWrites(s).BaudrateIndexA);
    rate["data"] = ChoiceValue("can.bit_rate.data", AsTheWindowWrites(s).BaudrateIndexB);
    rate["arbitration_register"] = Hex32(s.CustomWordA);
    rate["data_register"] = Hex32(s.CustomWordB);
    return p;
}

void Leaves(const TJson& value, const std::string& path, std::vector<std::string>& out) {
    if (value.is_object()) {
        for (const auto& [key, v] : value.items()) Leaves(v, path.empty() ? key : path + "." + key, out);
        return;
    }
    out.push_back(path);
    if (value.is_array())
        for (const char* field : {"port", "frame_type", "start_id", "end_id"}) out.push_back(path + "[N]." + field);
}

bool IsRegisterPath(const std::string& path) {
    return path == "can.bit_rate.arbitration_register" || path == "can.bit_rate.data_register";
}
bool IsListRatePath(const std::string& path) {
    return path == "can.bit_rate.arbitration" || path == "can.bit_rate.data";
}

// The profile of `held` with the changes made and the bit-rate form the result uses; issues
// name the changes that cannot be made there.
TJson ChangedProfile(const TDeviceSettings& held, const std::vector<TSettingChange>& changes,
                     std::vector<TProfileIssue>& issues) {
    TJson p = FullProfile(held);
    for (const auto& c : changes) {
        std::vector<TStep> steps;
        SplitPath(c.Path, steps);
        if (TJson* at = Locate(p, steps)) {
            *at = c.Value;
            continue;
        }
        const std::size_t count = p["filters"]["entries"].is_array() ? p["filters"]["entries"].size() : 0;
        issues.push_back({c.Path, "the converter has " + std::to_string(count) +
                                      " filter entries; change the whole list with filters.entries=[...]"});
    }
    TJson& rate = p["can"]["bit_rate"];
    const bool custom = rate["custom"].is_boolean() ? rate["custom"].get<bool>() : held.CustomBitRate != 0;
    for (const auto& c : changes) {
        if (custom && IsListRatePath(c.Path))
            issues.push_back({c.Path, "counts only with can.bit_rate.custom=false, and the custom bit rate is in use"});
        if (!custom && IsRegisterPath(c.Path))
            issues.push_back({c.Path, "counts only with can.bit_rate.custom=true, and the bit-rate lists are in use"});
    }
    if (custom) {
        rate.erase("arbitration");
        rate.erase("data");
    } else {
        rate.erase("arbitration_register");
        rate.erase("data_register");
    }
    return p;
}

}  // namespace

std::vector<std::string> SettablePaths() {
    std::vector<std::string> paths;
    Leaves(FullProfile(WindowDefaultSettings()), "", paths);
    return paths;
}

std::vector<TProfileIssue> ParseSettingChanges(const std::vector<std::string>& arguments,
                                               std::vector<TSettingChange>& changes) {
    std::vector<TProfileIssue> issues;
    changes.clear();
    const std::vector<std::string> settable = SettablePaths();
    auto list = [](const std::vector<std::string>& names) {
        std::string text;
        for (const auto& n : names) text += (text.empty() ? "" : ", ") + n;
        return text;
    };
    // Where the value's checks do not depend on a converter: the widest frame format, every
    // filter slot used, and the bit-rate form the changes themselves name.
    TDeviceSettings permissive = WindowDefaultSettings();
    permissive.CANFrameType = 1;
    permissive.Filters.assign(kMaxFilterEntries, TFilterEntry{1, 1, 0, kExtendedIdMask});
    std::set<std::string> seen;
    bool wholeList = false, oneEntry = false;
    for (const auto& argument : arguments) {
        const auto equals = argument.find('=');
        const std::string key = argument.substr(0, equals);
        if (equals == std::string::npos) {
            issues.push_back({key, "no '=': a change is KEY=VALUE, for example serial.baud_rate=115200"});
            continue;
        }
        if (key.empty()) {
            issues.push_back({"", "'" + argument + "': the key before '=' is empty"});
            continue;
        }
        std::vector<TStep> steps;
        if (!SplitPath(key, steps)) {
            issues.push_back({key, "not a setting name; settings are: " + list(settable)});
            continue;
        }
        if (steps[0].Name == "identity") {
            issues.push_back({key, "the identity is the converter's own and is never written"});
            continue;
        }
        std::string pattern;  // the path with list positions as [N]
        for (const auto& step : steps) pattern += step.IsIndex ? "[N]" : (pattern.empty() ? "" : ".") + step.Name;
        if (std::find(settable.begin(), settable.end(), pattern) == settable.end()) {
            std::vector<std::string> inside;
            for (const auto& path : settable)
                if (path.rfind(pattern + ".", 0) == 0 || path.rfind(pattern + "[", 0) == 0) inside.push_back(path);
            if (!inside.empty())
                issues.push_back({key, "names a section, not a setting; its settings are: " + list(inside)});
            else
                issues.push_back({key, "unknown setting; settings are: " + list(settable)});
            continue;
        }
        for (const auto& step : steps)
            if (step.IsIndex && step.Index >= kMaxFilterEntries) {
                issues.push_back({key, "the converter holds at most 16 filter entries ([0] to [15])"});
                pattern.clear();
            }
        if (pattern.empty()) continue;
        std::string canonical;  // "entries[02]" and "entries[2]" are one setting
        for (const auto& step : steps)
            canonical +=
                step.IsIndex ? "[" + std::to_string(step.Index) + "]" : (canonical.empty() ? "" : ".") + step.Name;
        if (!seen.insert(canonical).second) {
            issues.push_back({key, "given twice; give each setting once"});
            continue;
        }
        if (pattern == "filters.entries")
            wholeList = true;
        else if (pattern.rfind("filters.entries[", 0) == 0)
            oneEntry = true;
        const std::string text = argument.substr(equals + 1);
        std::string error;
        bool tooDeep = false;
        TJson value = ParseProfileJson(text, error, tooDeep);
        if (tooDeep) {
            issues.push_back({canonical, "the value has " + error});
            continue;
        }
        if (!error.empty()) {  // not JSON (a bare word such as 500Kbps): the text itself
            value = text;
            try {
                (void)value.dump();
            } catch (const nlohmann::json::type_error&) {
                issues.push_back({canonical, "the value is not UTF-8 text"});
                continue;
            }
        }
        changes.push_back({canonical, value});
    }
    if (wholeList && oneEntry)
        issues.push_back({"filters.entries", "the whole list and single entries cannot be changed together"});

    // The values: checked as a profile would be, where only the changes can be at fault.
    for (const auto& c : changes)
        if (IsRegisterPath(c.Path)) permissive.CustomBitRate = 1;
    std::vector<TProfileIssue> formIssues;  // both bit-rate forms named at once
    TJson p = ChangedProfile(permissive, changes, formIssues);
    TDeviceSettings settings;
    for (const auto& issue : SettingsFromProfile(p, settings))
        for (const auto& c : changes)
            if (issue.Path == c.Path || issue.Path.rfind(c.Path + ".", 0) == 0 ||
                issue.Path.rfind(c.Path + "[", 0) == 0) {
                issues.push_back(issue);
                break;
            }
    issues.insert(issues.end(), formIssues.begin(), formIssues.end());
    if (!issues.empty()) changes.clear();
    return issues;
}

std::vector<TProfileIssue> ApplySettingChanges(const TParameterBlock& read, const std::vector<TSettingChange>& changes,
                                               TParameterBlock& result) {
    result = read;
    const TDeviceSettings held = DecodeParameterBlock(read);
    std::vector<TProfileIssue> issues;
    const TJson changed = ChangedProfile(held, changes, issues);
    if (!issues.empty()) return issues;
    TDeviceSettings before, after;
    issues = SettingsFromProfile(changed, after);
    if (!issues.empty()) return issues;
    // The settings read may themselves break a rule that a change mends (a length of 0):
    // then the window's form of them is what the changes are told apart from.
    std::vector<TProfileIssue> none;
    if (!SettingsFromProfile(ChangedProfile(held, {}, none), before).empty()) before = AsTheWindowWrites(held);
    const TParameterBlock from = EncodeParameterBlock(before), to = EncodeParameterBlock(after);
    for (std::size_t i = block::IdentityEnd; i < kParameterBlockSize; ++i)
        if (from[i] != to[i]) result[i] = to[i];
    result[block::Checksum] = ParameterChecksum(result.data(), result.size());
    // What goes out is checked, not only the profile: the profile shows an identifier
    // masked to its frame format, while its bytes go back as read.
    const TDeviceSettings sent = DecodeParameterBlock(result);
    const uint32_t mask = sent.CANFrameType == 0 ? kStandardIdMask : kExtendedIdMask;
    if ((sent.CANID & ~mask) != 0)
        issues.push_back({"can.id", "the converter holds " + Hex32(sent.CANID) + ", beyond " +
                                        Width(sent.CANFrameType) + "; give can.id a value within it too"});
    TDeviceSettings check;
    for (auto& issue : SettingsFromProfile(ProfileFromSettings(sent), check)) issues.push_back(std::move(issue));
    if (!issues.empty()) result = read;
    return issues;
}

std::string HexBlockText(const TParameterBlock& block) {
    std::string text;
    for (std::size_t i = 0; i < block.size(); ++i) {
        text += Hex(block[i], 2);
        text += (i % 16 == 15) ? '\n' : ' ';
    }
    return text;
}

}  // namespace quorin::profile
