// quorin-cli as a user runs it: the real program against virtual converters on
// pseudo-terminals, its exit statuses, its messages, and what reached the converters.
// The profile round trip is also checked in-process over many random valid blocks.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <sstream>

#include "profile/Profile.h"
#include "link/CANConfigReadParameter.h"
#include "link/CANConfigWriteParameter.h"
#include "support/FakeParameterPage.h"
#include "support/ConverterProcess.h"
#include "support/PseudoTerminal.h"

namespace quorin {
namespace {

using profile::TJson;
using test::TConverterProcess;

struct TRun {
    int Status = -1;
    std::string Out, Err;
    double Seconds = 0;
};

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

class TempDir {
public:
    TempDir() {
        char dir[] = "/tmp/quorin-cli-XXXXXX";
        FPath = ::mkdtemp(dir);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(FPath, ignored);
    }
    std::string operator/(const std::string& name) const { return FPath + "/" + name; }

private:
    std::string FPath;
};

// Runs quorin-cli with these arguments (standard input from the file input, if any); its
// output goes through files, so a long output cannot block it.
TRun RunCli(std::vector<std::string> args, const std::string& input = "") {
    static TempDir dir;
    const std::string out = dir / "stdout", err = dir / "stderr";
    args.insert(args.begin(), std::string(QUORIN_BINARY_DIR) + "/quorin-cli");
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(o, 1);
        ::dup2(e, 2);
        if (!input.empty()) ::dup2(::open(input.c_str(), O_RDONLY), 0);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    TRun run;
    run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.Out = ReadText(out);
    run.Err = ReadText(err);
    return run;
}

::testing::AssertionResult Contains(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "'" << part << "' not in:\n" << text;
}

// A block the window could send: every list setting on one of its items, identifiers within
// their frame type's width, filters start <= end, and the identity the device reports.
TParameterBlock RandomValidBlock(std::mt19937& rng) {
    auto pick = [&](uint32_t n) {
        return static_cast<uint8_t>(std::uniform_int_distribution<uint32_t>(0, n - 1)(rng));
    };
    auto word = [&] { return std::uniform_int_distribution<uint32_t>()(rng); };
    auto items = [](std::size_t offset) {
        for (const auto& c : profile::ChoiceLists())
            if (c.Offset == offset) return static_cast<uint32_t>(c.Items.size());
        return 0u;
    };
    TDeviceSettings s;
    s.Identity = {static_cast<uint16_t>(word()),
                  static_cast<uint16_t>(word()),
                  static_cast<uint16_t>(word()),
                  static_cast<uint16_t>(word()),
                  {pick(255), pick(255), pick(255), pick(255)}};
    s.SwitchMode = pick(items(block::SwitchMode));
    s.SwitchRoute = pick(items(block::SwitchRoute));
    s.UARTMode = pick(items(block::UARTMode));
    s.UARTBaudrate = pick(items(block::UARTBaudrate));
    s.UARTDataBits = pick(items(block::UARTDataBits));
    s.UARTStopBits = pick(items(block::UARTStopBits));
    s.UARTParity = pick(items(block::UARTParity));
    s.FDStandard = pick(items(block::FDStandard));
    s.CANType = pick(items(block::CANType));
    s.CANFrameType = pick(2);
    s.CANID = word() & (s.CANFrameType ? 0x1FFFFFFF : 0x7FF);
    s.BitRateSwitch = pick(2);
    s.CustomBitRate = pick(2);
    s.CustomWordA = word();
    s.CustomWordB = word();
    s.BaudrateIndexA = pick(items(block::BaudrateIndexA));
    s.BaudrateIndexB = pick(items(block::BaudrateIndexB));
    s.CANFrameInfoEnable = pick(2);
    s.CANIDInfoEnable = pick(2);
    s.CANIDOffset = pick(8);
    s.CANIDLen = static_cast<uint8_t>(1 + pick(4));
    // Intervals of 2^31 and more are the ones a signed conversion would lose.
    s.UARTFrameInterval = pick(2) ? word() | 0x80000000u : word();
    s.CANFrameInterval = word();
    s.FilterEnable = pick(2);
    const int filters = pick(17);
    for (int i = 0; i < filters; ++i) {
        TFilterEntry f;
        f.Port = pick(2);  // the window shows and writes ports 0 and 1 only
        f.FrameFormat = pick(2);
        const uint32_t mask = f.FrameFormat ? 0x1FFFFFFF : 0x7FF;
        const uint32_t a = word() & mask, b = word() & mask;
        f.StartId = std::min(a, b);
        f.EndId = std::max(a, b);
        s.Filters.push_back(f);
    }
    return EncodeParameterBlock(s);
}

bool SameSettingsBytes(const TParameterBlock& a, const TParameterBlock& b) {
    return std::equal(a.begin() + 15, a.end(), b.begin() + 15);
}

TParameterBlock BlockFromHex(const std::string& text) {
    TParameterBlock b{};
    std::istringstream in(text);
    unsigned v = 0;
    for (std::size_t i = 0; i < b.size() && (in >> std::hex >> v); ++i) b[i] = static_cast<uint8_t>(v);
    return b;
}

TEST(ProfileRoundTrip, RandomValidBlocksComeBackByteExact) {
    std::mt19937 rng(20261207);
    for (int i = 0; i < 2000; ++i) {
        const TParameterBlock block = RandomValidBlock(rng);
        const std::string text = profile::ProfileText(DecodeParameterBlock(block));
        TDeviceSettings again;
        const auto issues = profile::SettingsFromProfileText(text, again);
        ASSERT_TRUE(issues.empty()) << profile::IssueText(issues[0]) << "\n" << text;
        ASSERT_TRUE(SameSettingsBytes(EncodeParameterBlock(again), block)) << text;
        ASSERT_TRUE(profile::BytesTheProfileLoses(block).empty()) << text;
    }
}

TEST(ProfileRoundTrip, BytesTheProfileCannotCarryAreNamed) {
    std::mt19937 rng(7);
    TParameterBlock block = RandomValidBlock(rng);
    block[block::UARTBaudrate] = 40;  // no such item
    block[214] = 9;                   // unused byte
    block[block::CANFrameInfoEnable] = 2;
    EXPECT_EQ(profile::BytesTheProfileLoses(block), (std::vector<std::size_t>{198, 214, 226}));
}

// Any block a converter may hold, as long as the window can write it back (an identifier
// length of 1 to 4, an offset of 0 to 7): its profile is accepted, and written it gives the
// bytes the window's Write gives after reading the same block.
TEST(ProfileRoundTrip, ReadProfileWritesWhatTheWindowWritesAfterReadingTheBlock) {
    std::mt19937 rng(25);
    for (int i = 0; i < 2000; ++i) {
        TParameterBlock block;
        for (auto& b : block) b = static_cast<uint8_t>(rng());
        block[block::CANIDOffset] = static_cast<uint8_t>(rng() % 8);
        block[block::CANIDLen] = static_cast<uint8_t>(1 + rng() % 4);
        block[block::FilterCount] = static_cast<uint8_t>(rng() % 17);
        if (i % 2) block[block::CANFrameType] = 0;  // standard: most identifiers are too wide
        test::TFakeParameterPage page;
        ShowDeviceParameter(0, page, block);
        const TParameterBlock window = CollectParameterBlock(0, page);
        const std::string text = profile::ProfileText(DecodeParameterBlock(block));
        TDeviceSettings settings;
        const auto issues = profile::SettingsFromProfileText(text, settings);
        ASSERT_TRUE(issues.empty()) << profile::IssueText(issues[0]) << "\n" << text;
        ASSERT_TRUE(SameSettingsBytes(EncodeParameterBlock(settings), window)) << text;
    }
}

TEST(ProfileRoundTrip, ReadWarningsNameEachFieldTheWindowWouldChangeOrRefuse) {
    TDeviceSettings s = WindowDefaultSettings();
    s.CANID = 0x12345678;  // standard frame
    s.UARTBaudrate = 40;
    s.Filters = {{3, 0, 0x100, 0x200}, {1, 0, 0x12345678, 0x10}};
    TParameterBlock block = EncodeParameterBlock(s);
    block[block::CANIDLen] = 0;
    std::vector<std::string> paths;
    for (const auto& w : profile::ReadWarnings(block)) paths.push_back(w.Path);
    EXPECT_EQ(paths, (std::vector<std::string>{"can.id", "serial.baud_rate", "filters.entries[0].port",
                                               "filters.entries[1].start_id", "filters.entries[1]",
                                               "conversion.can_id_length", ""}));
    const TJson p = profile::ProfileFromSettings(DecodeParameterBlock(block));
    EXPECT_EQ(p["can"]["id"], "0x00000678");
    EXPECT_EQ(p["filters"]["entries"][0]["port"], "CAN0");
    EXPECT_EQ(p["filters"]["entries"][1]["start_id"], "0x12345678");
    EXPECT_TRUE(p["serial"]["baud_rate"].is_null());
}

// Profiles written before the keywords carry the window's item texts; both are read, and
// keywords are written.
TEST(ProfileRoundTrip, WindowItemTextsAndKeywordsGiveTheSameBlock) {
    TJson keywords = profile::ProfileFromSettings(WindowDefaultSettings()), texts = keywords;
    keywords["conversion"]["mode"] = "format";
    texts["conversion"]["mode"] = "格式转换";
    keywords["can"]["bit_rate"]["data"] = "500Kbps";
    texts["can"]["bit_rate"]["data"] = "500kbps";
    keywords["serial"]["parity"] = "even";
    texts["serial"]["parity"] = "偶校验";
    TDeviceSettings a, b;
    ASSERT_TRUE(profile::SettingsFromProfile(keywords, a).empty());
    ASSERT_TRUE(profile::SettingsFromProfile(texts, b).empty());
    EXPECT_EQ(a, b);
    EXPECT_EQ(profile::ProfileFromSettings(b), keywords);
    EXPECT_EQ(profile::ProfileText(b).back(), '\n');
}

// A valid profile to spoil, one way per case.
TJson GoodProfile() { return profile::ProfileFromSettings(WindowDefaultSettings()); }

struct BadProfileCase {
    const char* Name;
    std::function<std::string()> Text;
    std::vector<std::string> Expected;  // every line that must be reported
};

std::string Spoil(const std::function<void(TJson&)>& change) {
    TJson p = GoodProfile();
    change(p);
    return p.dump(2);
}

TJson Filter(const char* type, const char* start, const char* end) {
    return {{"port", "CAN1"}, {"frame_type", type}, {"start_id", start}, {"end_id", end}};
}

// One converter for the cases that must not reach it at all.
class BadProfile : public ::testing::TestWithParam<BadProfileCase> {
protected:
    static void SetUpTestSuite() { Converter = std::make_unique<TConverterProcess>(); }
    static void TearDownTestSuite() { Converter.reset(); }
    static std::unique_ptr<TConverterProcess> Converter;
    TempDir Dir;
};
std::unique_ptr<TConverterProcess> BadProfile::Converter;

TEST_P(BadProfile, IsRefusedWithEveryFieldNamedAndNothingSent) {
    const std::string file = Dir / "profile.json";
    WriteText(file, GetParam().Text());
    for (const char* command : {"write", "diff"}) {
        const TRun run = RunCli({command, "--port", Converter->Link(), file});
        EXPECT_EQ(run.Status, 3) << command << "\n" << run.Err;
        for (const auto& line : GetParam().Expected) EXPECT_TRUE(Contains(run.Err, line)) << command;
    }
    EXPECT_TRUE(Converter->Received().empty()) << "the converter was touched";
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, BadProfile,
    ::testing::Values(
        BadProfileCase{"NotJson",
                       [] { return std::string("{\"conversion\": {\n  \"mode\": 1,,\n}"); },
                       {"not a JSON document", "line 2"}},
        BadProfileCase{"NumberBeyondEveryDouble",
                       [] { return std::string("{\"conversion\": {\"can_id_offset\": 8e4808}}"); },
                       {"not a JSON document: number overflow parsing '8e4808'"}},
        BadProfileCase{"NotAnObject", [] { return std::string("[1, 2]"); }, {"expected an object, found a list"}},
        BadProfileCase{"UnknownAndMissingFields",
                       [] {
                           return Spoil([](TJson& p) {
                               p["serial"]["baudrate"] = 9600;
                               p["serial"].erase("baud_rate");
                               p.erase("filters");
                               p["extra"] = true;
                           });
                       },
                       {"serial.baudrate: unknown field", "serial.baud_rate: missing", "filters: missing",
                        "extra: unknown field"}},
        BadProfileCase{"OutOfRange",
                       [] {
                           return Spoil([](TJson& p) {
                               p["conversion"]["can_id_offset"] = 8;
                               p["conversion"]["can_id_length"] = 0;
                               p["conversion"]["can_frame_interval_ms"] = 4294967296ull;
                               p["conversion"]["serial_frame_interval_ms"] = -1;
                               p["serial"]["baud_rate"] = 9601;
                           });
                       },
                       {"conversion.can_id_offset: 8 is out of range (0 to 7)",
                        "conversion.can_id_length: 0 is out of range (1 to 4)",
                        "conversion.can_frame_interval_ms: 4294967296 is out of range (0 to 4294967295)",
                        "conversion.serial_frame_interval_ms: -1 is out of range",
                        "serial.baud_rate: 9601 is not one of \"1200\""}},
        BadProfileCase{"WrongTypes",
                       [] {
                           return Spoil([](TJson& p) {
                               p["conversion"]["forward_can_id"] = "yes";
                               p["conversion"]["can_id_offset"] = 1.5;
                               p["can"]["id"] = true;
                               p["filters"]["entries"] = TJson::object();
                               p["can"]["bit_rate"] = 5;
                           });
                       },
                       {"conversion.forward_can_id: expected true or false, found a text",
                        "conversion.can_id_offset: expected a whole number, found a number with a fraction",
                        "can.id: expected a text such as \"0x000007FF\", found true or false",
                        "filters.entries: expected a list, found an object",
                        "can.bit_rate: expected an object, found a whole number"}},
        BadProfileCase{
            "ConversionAndIdentifierRules",
            [] {
                return Spoil([](TJson& p) {
                    p["can"]["id"] = "0x800";  // standard frame: 11 bits
                    p["filters"]["entries"] = {Filter("standard", "0x0x5", "0x10"),
                                               Filter("standard", "0x100", "0x0FF"),
                                               Filter("extended", "0x0", "0x20000000")};
                });
            },
            {"can.id: 0x00000800 is beyond", "filters.entries[0].start_id: '0x0x5' is not a valid integer value"}},
        BadProfileCase{"SeventeenFilters",
                       [] {
                           return Spoil([](TJson& p) {
                               for (int i = 0; i < 17; ++i)
                                   p["filters"]["entries"].push_back(Filter("standard", "0x1", "0x2"));
                           });
                       },
                       {"filters.entries: 17 entries; the converter holds at most 16"}}),
    [](const auto& info) { return std::string(info.param.Name); });

// The converter's settings bytes (15 to 239) as quorin-cli reads them.
TParameterBlock ReadBlock(const TConverterProcess& c) {
    const TRun run = RunCli({"read", "--port", c.Link(), "--format", "hex"});
    EXPECT_EQ(run.Status, 0) << run.Err;
    return BlockFromHex(run.Out);
}

TEST(QuorinCli, ReadWriteDiffCarryRandomBlocksByteExactBetweenConverters) {
    TConverterProcess source, target;
    TempDir dir;
    std::mt19937 rng(42);
    for (int round = 0; round < 3; ++round) {
        const TParameterBlock block = RandomValidBlock(rng);
        ASSERT_TRUE(source.Set("block=" + TConverterProcess::Hex(block.data(), block.size())));
        ASSERT_TRUE(target.Set("reset=1"));
        const std::string file = dir / "profile.json";

        const TRun read = RunCli({"read", "--port", source.Link(), "--out", file});
        ASSERT_EQ(read.Status, 0) << read.Err;
        EXPECT_TRUE(Contains(read.Err, "read, saved to " + file));
        const TRun before = RunCli({"diff", "--port", target.Link(), file});
        EXPECT_EQ(before.Status, 1) << before.Err;
        EXPECT_TRUE(Contains(before.Err, "settings differ"));

        const TRun write = RunCli({"write", "--port", target.Link(), file});
        ASSERT_EQ(write.Status, 0) << write.Err;
        EXPECT_TRUE(Contains(write.Err, "written and verified"));
        EXPECT_EQ(RunCli({"diff", "--port", target.Link(), file}).Status, 0);
        EXPECT_TRUE(SameSettingsBytes(ReadBlock(target), block)) << ReadText(file);
    }
}

TEST(QuorinCli, DiffListsEachDifferingSetting) {
    TConverterProcess c;
    TempDir dir;
    TJson p = GoodProfile();
    p["conversion"]["can_frame_interval_ms"] = 3000000000u;
    p["serial"]["baud_rate"] = 115200;
    WriteText(dir / "p.json", p.dump());
    const TRun run = RunCli({"diff", "--port", c.Link(), dir / "p.json"});
    EXPECT_EQ(run.Status, 1);
    EXPECT_TRUE(Contains(run.Out, "serial.baud_rate: device 9600, profile 115200"));
    EXPECT_TRUE(Contains(run.Out, "conversion.can_frame_interval_ms: device 0, profile 3000000000"));
}

struct FaultCase {
    const char* Fault;
    const char* Command;
    int Status;
    const char* Message;
};

class ConverterFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(ConverterFault, GivesItsOwnStatusAndCause) {
    TConverterProcess c({"--fault", GetParam().Fault});
    TempDir dir;
    WriteText(dir / "p.json", GoodProfile().dump());
    std::vector<std::string> args = {GetParam().Command, "--port", c.Link()};
    if (std::string(GetParam().Command) != "read") args.push_back(dir / "p.json");
    const TRun run = RunCli(args);
    EXPECT_EQ(run.Status, GetParam().Status) << run.Err;
    EXPECT_TRUE(Contains(run.Err, GetParam().Message));
    // One frame at most reaches the converter: a write is never repeated or split.
    int writes = 0;
    for (const auto& f : c.Received()) writes += f.rfind("AA BB", 0) == 0;
    EXPECT_LE(writes, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ConverterFault,
    ::testing::Values(FaultCase{"silent", "read", 6, "no answer within 300 ms"},
                      FaultCase{"silent", "write", 6, "written, but the read-back failed: no answer"},
                      FaultCase{"short", "read", 6, "incomplete answer: 239 of 240 bytes"},
                      FaultCase{"long", "read", 0, "read"}, FaultCase{"checksum", "diff", 6, "checksum is wrong"},
                      FaultCase{"late", "read", 6, "no answer within 300 ms"},
                      FaultCase{"corrupt", "write", 7, "the read-back differs"},
                      FaultCase{"noise", "read", 6, "checksum is wrong"},
                      FaultCase{"hangup", "write", 6, "read-back failed"}),
    [](const auto& info) { return std::string(info.param.Fault) + "_" + info.param.Command; });

TEST(QuorinCli, PortsThatCannotBeOpenedAreNamed) {
    TConverterProcess c;
    ASSERT_TRUE(c.Open(5));  // held by this process: exclusive
    const TRun busy = RunCli({"read", "--port", c.Link()});
    EXPECT_EQ(busy.Status, 4);
    EXPECT_TRUE(Contains(busy.Err, "another program holds it"));
    const TRun missing = RunCli({"read", "--port", "/dev/ttyQUORIN-none"});
    EXPECT_EQ(missing.Status, 4);
    EXPECT_TRUE(Contains(missing.Err, "/dev/ttyQUORIN-none: no such port"));
}

TEST(QuorinCli, SeveralPortsAreServedTogetherAndOneFailureStopsNoOther) {
    std::vector<std::unique_ptr<TConverterProcess>> converters;
    for (int i = 0; i < 4; ++i)
        converters.push_back(std::make_unique<TConverterProcess>(i == 2 ? std::vector<std::string>{"--fault", "silent"}
                                                                        : std::vector<std::string>{}));
    TempDir dir;
    TJson p = GoodProfile();
    p["conversion"]["serial_frame_interval_ms"] = 2147483648u;
    WriteText(dir / "p.json", p.dump());
    std::vector<std::string> args = {"write"};
    for (const auto& c : converters) args.insert(args.end(), {"--port", c->Link()});
    args.push_back(dir / "p.json");
    const TRun run = RunCli(args);
    EXPECT_EQ(run.Status, 6) << run.Err;
    EXPECT_TRUE(Contains(run.Err, "[4/4] "));
    EXPECT_TRUE(Contains(run.Out, "PORT"));
    for (std::size_t i = 0; i < converters.size(); ++i) {
        const std::string row = converters[i]->Link() + std::string(2, ' ');
        EXPECT_TRUE(Contains(run.Out, row)) << i;
        if (i != 2) {
            EXPECT_EQ(GetLittleEndian32(ReadBlock(*converters[i]), block::UARTFrameInterval), 2147483648u);
        }
    }
    EXPECT_TRUE(Contains(run.Out, "readback-failed"));
    // Served at once: four writes take about as long as one (1.3 s each in turn would be 5.2 s).
    EXPECT_LT(run.Seconds, 4.0);
    RecordProperty("four_port_write_seconds", std::to_string(run.Seconds));
}

// The blocks of the write frames ("AA BB 00" and 240 bytes) a converter received.
std::vector<TParameterBlock> WrittenBlocks(const TConverterProcess& c) {
    std::vector<TParameterBlock> blocks;
    for (const auto& f : c.Received())
        if (f.rfind("AA BB", 0) == 0) blocks.push_back(BlockFromHex(f.substr(9)));
    return blocks;
}

const TJson* PortEntry(const TJson& doc, const std::string& port) {
    for (const auto& p : doc["ports"])
        if (p["port"] == port) return &p;
    return nullptr;
}

// A fleet: each converter is read, only the named settings' bytes change (the direction's
// own forwarding bytes with it), everything else is sent back as read, identity and unused
// bytes included; a silent one is tried again, reported, and stops no other.
TEST(QuorinCliSet, ChangesOnlyTheNamedBytesOnFourConvertersWithOneSilent) {
    std::vector<std::unique_ptr<TConverterProcess>> converters;
    std::vector<TParameterBlock> blocks;
    std::mt19937 rng(2525);
    // Three retries: a machine loaded by the other tests can hold a converter's answer past
    // the 300 ms for a try or two; the fleet's result must not hang on that.
    std::vector<std::string> args = {"set", "--json", "--retries", "3"};
    for (int i = 0; i < 4; ++i) {
        converters.push_back(std::make_unique<TConverterProcess>());
        TParameterBlock b = RandomValidBlock(rng);
        b[213] = 0x5A, b[231] = 0xA5;  // bytes no setting owns
        b[block::Checksum] = ParameterChecksum(b.data(), b.size());
        ASSERT_TRUE(converters[i]->Set("block=" + TConverterProcess::Hex(b.data(), b.size())));
        blocks.push_back(b);
        args.insert(args.end(), {"--port", converters[i]->Link()});
    }
    ASSERT_TRUE(converters[2]->Set("fault=silent"));
    args.insert(args.end(), {"serial.baud_rate=115200", "filters.enabled=false", "conversion.can_frame_interval_ms=25",
                             "conversion.direction=serial_to_can"});
    const TRun run = RunCli(args);
    EXPECT_EQ(run.Status, 6) << run.Err;
    const TJson doc = TJson::parse(run.Out);
    EXPECT_EQ(doc["command"], "set");
    EXPECT_EQ(doc["status"], 6);
    ASSERT_EQ(doc["ports"].size(), 4u);
    EXPECT_TRUE(Contains(run.Err, converters[2]->Link() + ": try 1 of 4: no answer within 300 ms"));
    for (std::size_t i = 0; i < converters.size(); ++i) {
        const TJson* entry = PortEntry(doc, converters[i]->Link());
        ASSERT_NE(entry, nullptr) << run.Out;
        if (i == 2) {
            EXPECT_EQ((*entry)["status"], 6);
            EXPECT_EQ((*entry)["tries"], 4);
            EXPECT_TRUE(WrittenBlocks(*converters[i]).empty());
            continue;
        }
        EXPECT_EQ((*entry)["result"], "ok") << entry->dump();
        TParameterBlock expected = blocks[i];
        expected[block::UARTBaudrate] = 8;
        expected[block::FilterEnable] = 0;
        PutLittleEndian32(expected, block::CANFrameInterval, 25);
        expected[block::SwitchRoute] = 1;
        expected[ForwardingPathOffset(kCANPort, kSerialPort)] = 0;
        expected[ForwardingPathOffset(kSerialPort, kCANPort)] = 1;
        expected[block::Checksum] = ParameterChecksum(expected.data(), expected.size());
        // At most one write per try: a read-back slower than the timeout (a loaded machine)
        // is written again, the same block; a frame the converter lost is not stored.
        const auto written = WrittenBlocks(*converters[i]);
        ASSERT_FALSE(written.empty()) << run.Err;
        EXPECT_LE(written.size(), (*entry)["tries"].get<std::size_t>()) << run.Err;
        for (const auto& w : written) EXPECT_EQ(w, expected) << i;
        for (const auto& d : (*entry)["differences"])
            EXPECT_TRUE(d["setting"] == "serial.baud_rate" || d["setting"] == "filters.enabled" ||
                        d["setting"] == "conversion.can_frame_interval_ms" || d["setting"] == "conversion.direction")
                << d.dump();
    }
}

TEST(QuorinCliSet, DryRunShowsTheChangesAndSendsNoWriteFrame) {
    TConverterProcess c;
    TempDir dir;
    TJson p = GoodProfile();
    p["serial"]["baud_rate"] = 57600;
    WriteText(dir / "p.json", p.dump());
    const TRun set = RunCli({"set", "--dry-run", "--json", "--port", c.Link(), "serial.parity=odd", "can.id=0x123"});
    EXPECT_EQ(set.Status, 0) << set.Err;
    const TJson doc = TJson::parse(set.Out);
    EXPECT_EQ(doc["dry_run"], true);
    EXPECT_EQ(doc["ports"][0]["differences"],
              TJson::parse(R"([{"setting": "serial.parity", "converter": "none", "profile": "odd"},
                                {"setting": "can.id", "converter": "0x00000000", "profile": "0x00000123"}])"));
    const TRun write = RunCli({"write", "--dry-run", "--port", c.Link(), dir / "p.json"});
    EXPECT_EQ(write.Status, 0) << write.Err;
    EXPECT_TRUE(Contains(write.Out, "serial.baud_rate: device 9600, profile 57600"));
    EXPECT_TRUE(Contains(write.Err, "dry run: 1 setting would change; nothing written"));
    EXPECT_TRUE(WrittenBlocks(c).empty());
    // Asked for a value it already holds, a converter is left alone.
    const TRun same = RunCli({"set", "--port", c.Link(), "serial.parity=none"});
    EXPECT_EQ(same.Status, 0) << same.Err;
    EXPECT_TRUE(Contains(same.Err, "already as asked; nothing written"));
    EXPECT_TRUE(WrittenBlocks(c).empty());
}

struct BadChangeCase {
    std::vector<std::string> Changes;
    std::string Expected;
};

TEST(QuorinCliSet, BadChangesAreRefusedBeforeAnyPortOpens) {
    TConverterProcess c;
    const std::vector<BadChangeCase> cases = {
        {{"serial.baud_rate"}, "serial.baud_rate: no '='"},
        {{"=115200"}, "'=115200': the key before '=' is empty"},
        {{"can.bit_rate={}"}, "can.bit_rate: names a section, not a setting; its settings are: can.bit_rate.custom"},
        {{"serial.baudrate=9600"}, "serial.baudrate: unknown setting; settings are: conversion.mode"},
        {{"identity.serial_number=1"}, "identity.serial_number: the identity is the converter's own"},
        {{"serial.stop_bits=3"}, "serial.stop_bits: 3 is not one of \"1\", \"2\""},
        {{"filters.enabled=yes"}, "filters.enabled: expected true or false, found a text"},
        {{"conversion.can_id_length=5"}, "conversion.can_id_length: 5 is out of range (1 to 4)"},
        {{"serial.parity=odd", "serial.parity=even"}, "serial.parity: given twice"},
        {{"filters.entries[16].port=CAN1"}, "at most 16 filter entries"},
        {{"can.bit_rate.custom=true", "can.bit_rate.arbitration=1Mbps"}, "can.bit_rate.arbitration: counts only with"},
    };
    for (const auto& bad : cases) {
        std::vector<std::string> args = {"set", "--port", c.Link()};
        args.insert(args.end(), bad.Changes.begin(), bad.Changes.end());
        const TRun run = RunCli(args);
        EXPECT_EQ(run.Status, 2) << bad.Expected << "\n" << run.Err;
        EXPECT_TRUE(Contains(run.Err, bad.Expected));
    }
    EXPECT_TRUE(c.Received().empty()) << "the converter was touched";

    // Wrong only with this converter's other settings: that port is refused, nothing written.
    const TRun wide = RunCli({"set", "--port", c.Link(), "can.id=0x800"});
    EXPECT_EQ(wide.Status, 3) << wide.Err;
    EXPECT_TRUE(Contains(wide.Out, "can.id: 0x00000800 is beyond"));
    EXPECT_TRUE(WrittenBlocks(c).empty());

    const TRun missing = RunCli({"diff", "--json", "--port", "/dev/ttyQUORIN-none", "-"});
    EXPECT_EQ(missing.Status, 3) << missing.Err;  // standard input holds no profile
    EXPECT_EQ(TJson::parse(missing.Out)["status"], 3);
    const TRun closed = RunCli({"read", "--json", "--port", "/dev/ttyQUORIN-none"});
    EXPECT_EQ(closed.Status, 4);
    const TJson doc = TJson::parse(closed.Out);
    EXPECT_EQ(doc["ports"][0]["result"], "not-open");
    EXPECT_EQ(doc["ports"][0]["detail"], "no such port");
    const TRun usage = RunCli({"set", "--json", "--port"});
    EXPECT_EQ(usage.Status, 2);
    EXPECT_EQ(TJson::parse(usage.Out)["status"], 2);
}

// Every text that reaches the JSON document, in bytes that are not UTF-8 (a file saved in
// another code page, a path or a port name in one): the document is made, the bytes
// replaced, and the status keeps its meaning; nothing aborts, not after a save either.
TEST(QuorinCliJson, TextsThatAreNotUtf8ReachTheDocument) {
    TConverterProcess c;
    TempDir dir;
    const std::string gbk = dir / "gbk.json";
    WriteText(gbk, "{\"conversion\": {\"mode\": \"\xB8\xF1\xCA\xBD\"}}");  // GBK text
    const std::string out = dir / "\xFF\xFE.json";
    const struct {
        std::vector<std::string> Args;
        int Status;
        const char* Field;  // where the replaced text stands
    } cases[] = {
        {{"write", "--json", "--port", c.Link(), gbk}, 3, "issues"},
        {{"read", "--json", "--port", c.Link(), "--out", out}, 0, "ports"},
        {{"read", "--json", "--port", "/dev/ttyQUORIN-\xC0"}, 4, "ports"},
        {{"set", "--json", "--port", c.Link(), "serial.\xE9=1"}, 2, "issues"},
    };
    for (const auto& k : cases) {
        const TRun run = RunCli(k.Args);
        EXPECT_EQ(run.Status, k.Status) << k.Args[0] << "\n" << run.Err;
        const TJson doc = TJson::parse(run.Out, nullptr, false);
        ASSERT_FALSE(doc.is_discarded()) << run.Out;
        EXPECT_TRUE(Contains(doc[k.Field].dump(), "\xEF\xBF\xBD")) << doc.dump();
    }
    EXPECT_TRUE(std::filesystem::exists(out));
}

// Lists nested hundreds of thousands deep (within the 1 MB bound) are refused while
// parsing, and a long value is quoted only in part.
TEST(QuorinCliJson, DeepNestingIsRefusedAndLongValuesAreQuotedInPart) {
    TempDir dir;
    const std::string deep = dir / "deep.json", wide = dir / "wide.json";
    const std::size_t levels = 400000;
    WriteText(deep, Spoil([](TJson& p) {
                        p["filters"]["entries"] = {Filter("standard", "0x1", "0x2")};
                    }).replace(0, 1, "{\"x\": " + std::string(levels, '[') + std::string(levels, ']') + ","));
    WriteText(wide, Spoil([](TJson& p) {
                  p["filters"]["entries"] = {Filter("standard", "0x1", "0x2")};
                  p["filters"]["entries"][0]["port"] = std::string(100000, 'C');
              }));
    const TRun a = RunCli({"write", "--port", "/dev/ttyQUORIN-none", deep});
    EXPECT_EQ(a.Status, 3) << a.Err.substr(0, 500);
    EXPECT_TRUE(Contains(a.Err, "nested more than 16 deep"));
    const TRun b = RunCli({"diff", "--port", "/dev/ttyQUORIN-none", wide});
    EXPECT_EQ(b.Status, 3);
    EXPECT_TRUE(Contains(b.Err, "filters.entries[0].port: \"CCCCCCCCC"));
    EXPECT_LT(b.Err.size(), 1000u);
    const TRun c = RunCli({"set", "--port", "/dev/ttyQUORIN-none",
                           "filters.entries=" + std::string(60000, '[') + std::string(60000, ']')});
    EXPECT_EQ(c.Status, 2);
    EXPECT_TRUE(Contains(c.Err, "filters.entries: the value has lists and objects nested more than 16 deep"));
}

// A profile is read with the window's 1 MB bound, from a file, a device or standard input.
TEST(QuorinCliJson, ProfilesAreReadWithinTheBound) {
    TempDir dir;
    const std::string big = dir / "big.json";
    WriteText(big, std::string(1024 * 1024, ' ') + GoodProfile().dump());
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"write", "--port", "/dev/ttyQUORIN-none", "/dev/zero"}, {"diff", "--port", "/dev/ttyQUORIN-none", "-"}}) {
        const TRun run = RunCli(args, big);
        EXPECT_EQ(run.Status, 3) << args.back();
        EXPECT_TRUE(Contains(run.Err, "larger than 1 MB, so not a profile")) << args.back();
    }
    WriteText(big, std::string(1000 * 1000, ' ') + GoodProfile().dump());
    EXPECT_EQ(RunCli({"diff", "--port", "/dev/ttyQUORIN-none", "-"}, big).Status, 4);  // read, then no port
}

// read --out saves as the window does: a name another run or program left beside the
// target is no obstacle, the old file stays when the save fails, and no file is left over.
TEST(QuorinCli, ReadOutSavesWholeOrNotAtAll) {
    TConverterProcess c;
    TempDir dir;
    const std::string file = dir / "site.json";
    WriteText(file, "old");
    std::filesystem::create_directory(file + ".part");
    const TRun run = RunCli({"read", "--port", c.Link(), "--out", file});
    EXPECT_EQ(run.Status, 0) << run.Err;
    TDeviceSettings settings;
    EXPECT_TRUE(profile::SettingsFromProfileText(ReadText(file), settings).empty()) << ReadText(file);
    const std::string folder = dir / "folder.json";
    std::filesystem::create_directories(folder + "/inside");
    const TRun refused = RunCli({"read", "--port", c.Link(), "--out", folder});
    EXPECT_EQ(refused.Status, 8);
    EXPECT_TRUE(Contains(refused.Err, "cannot save " + folder + ": "));
    EXPECT_TRUE(std::filesystem::is_directory(folder + "/inside"));
    std::size_t entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir / "")) entries += !e.path().empty();
    EXPECT_EQ(entries, 3u);  // site.json, site.json.part, folder.json
}

// Bytes no setting shows are listed beside the settings that differ: a filter port 2 the
// profile shows as CAN0, next to a changed baud rate.
TEST(QuorinCli, RawByteDifferencesAreListedBesideSettingDifferences) {
    TConverterProcess c;
    TempDir dir;
    TDeviceSettings s = WindowDefaultSettings();
    s.Filters = {{2, 0, 0x100, 0x1FF}};
    const TParameterBlock held = EncodeParameterBlock(s);
    ASSERT_TRUE(c.Set("block=" + TConverterProcess::Hex(held.data(), held.size())));
    TJson p = profile::ProfileFromSettings(s);
    p["serial"]["baud_rate"] = 115200;
    WriteText(dir / "p.json", p.dump());
    const TRun run = RunCli({"diff", "--port", c.Link(), dir / "p.json"});
    EXPECT_EQ(run.Status, 1);
    EXPECT_TRUE(Contains(run.Out, "serial.baud_rate: device 9600, profile 115200"));
    EXPECT_TRUE(Contains(run.Out, "byte " + std::to_string(block::FilterPort) + ": device 0x02, profile 0x00"));
    EXPECT_EQ(std::count(run.Out.begin(), run.Out.end(), '\n'), 2) << run.Out;
}

// set checks the block it sends: an identifier kept as read must fit the frame format the
// change gives it.
TEST(QuorinCliSet, TheBlockToBeWrittenIsChecked) {
    TConverterProcess c;
    TDeviceSettings s = WindowDefaultSettings();
    s.CANID = 0xFFFFFFFF;  // standard frames
    const TParameterBlock held = EncodeParameterBlock(s);
    ASSERT_TRUE(c.Set("block=" + TConverterProcess::Hex(held.data(), held.size())));
    const TRun refused = RunCli({"set", "--port", c.Link(), "can.frame_format=extended"});
    EXPECT_EQ(refused.Status, 3) << refused.Err;
    EXPECT_TRUE(Contains(refused.Out, "can.id: the converter holds 0xFFFFFFFF, beyond the 29-bit range"));
    EXPECT_TRUE(WrittenBlocks(c).empty());
    const TRun both = RunCli({"set", "--port", c.Link(), "can.frame_format=extended", "can.id=0x1FFFFFFF"});
    EXPECT_EQ(both.Status, 0) << both.Err;
    EXPECT_EQ(GetLittleEndian32(ReadBlock(c), block::CANID), 0x1FFFFFFFu);
}

// With --json a command line that does not parse names the command given, and the help is
// a document too.
TEST(QuorinCliJson, CommandLineErrorsAndHelpNameTheirCommand) {
    const struct {
        std::vector<std::string> Args;
        int Status;
        TJson Command;
        const char* Key;
    } cases[] = {
        {{"write", "--json", "--port"}, 2, "write", "error"}, {{"set", "--json", "--frobnicate"}, 2, "set", "error"},
        {{"frobnicate", "--json"}, 2, nullptr, "error"},      {{"diff", "--help", "--json"}, 0, "diff", "help"},
        {{"--json", "--version"}, 0, nullptr, "version"},
    };
    for (const auto& k : cases) {
        const TRun run = RunCli(k.Args);
        EXPECT_EQ(run.Status, k.Status) << k.Args[0];
        const TJson doc = TJson::parse(run.Out, nullptr, false);
        ASSERT_FALSE(doc.is_discarded()) << run.Out;
        EXPECT_EQ(doc["command"], k.Command) << run.Out;
        EXPECT_TRUE(doc.contains(k.Key)) << run.Out;
    }
    EXPECT_TRUE(Contains(TJson::parse(RunCli({"diff", "--help", "--json"}).Out)["help"].get<std::string>(), "profile"));
}

TEST(QuorinCliProbe, TellsConvertersBusyAndSilentPortsApartInOneTable) {
    TConverterProcess converter, silent({"--fault", "silent"}), held;
    ASSERT_TRUE(held.Open(7));  // held by this process: busy for everyone else
    const TRun run = RunCli(
        {"ports", "--probe", "--json", "--port", converter.Link(), "--port", silent.Link(), "--port", held.Link()});
    EXPECT_EQ(run.Status, 0) << run.Err;
    const TJson doc = TJson::parse(run.Out);
    const TJson *a = PortEntry(doc, converter.Link()), *b = PortEntry(doc, silent.Link()),
                *c = PortEntry(doc, held.Link());
    ASSERT_TRUE(a && b && c) << run.Out;
    EXPECT_EQ((*a)["result"], "converter");
    EXPECT_EQ((*a)["identity"]["product_code"], "QUORIN-Q1");
    EXPECT_EQ((*a)["identity"]["serial_number"], "20-26-0C-07");
    EXPECT_EQ((*b)["result"], "silent");
    EXPECT_EQ((*c)["result"], "busy");
    EXPECT_TRUE(Contains(run.Err, "PORT"));
    EXPECT_TRUE(Contains(run.Err, "QUORIN-Q1  20-26-0C-07  105"));
}

// XON (0x11) and XOFF (0x13) in every kind of field: the identity, the CAN identifier,
// both bit-rate words, both intervals, filter identifiers, and the checksum itself.
TParameterBlock FlowControlBlock() {
    TDeviceSettings s = WindowDefaultSettings();
    s.Identity = {0x1311, 0x1113, 0x1311, 0x1113, {0x11, 0x13, 0x11, 0x13}};
    s.CANFrameType = 1;
    s.CANID = 0x13111311;
    s.CustomBitRate = 1;
    s.CustomWordA = 0x11131113;
    s.UARTFrameInterval = 0x13131111;
    s.CANFrameInterval = 0x11111313;
    s.FilterEnable = 1;
    for (uint32_t i = 0; i < 4; ++i) s.Filters.push_back({1, 1, 0x11131100 + i, 0x13111300 + i});
    // The one free word is tuned until the checksum is XOFF too.
    for (uint32_t w = 0; w < 0x10000; ++w) {
        s.CustomWordB = 0x13110000 | w;
        const TParameterBlock block = EncodeParameterBlock(s);
        if (block[0] == 0x13) return block;
    }
    ADD_FAILURE() << "no word gives the checksum 0x13";
    return EncodeParameterBlock(s);
}

// On pseudo-terminals as the kernel makes them (XON/XOFF on, canonical lines, echo), as a
// USB adapter or a serial port comes.
TEST(QuorinCliLine, BlocksFullOfXonXoffReadWriteAndVerifyByteExactOnLinesAsFound) {
    TConverterProcess source({"--as-found"}), target({"--as-found"});
    TempDir dir;
    const TParameterBlock block = FlowControlBlock();
    ASSERT_TRUE(source.Set("block=" + TConverterProcess::Hex(block.data(), block.size())));
    const TParameterBlock read = ReadBlock(source);
    EXPECT_TRUE(std::equal(read.begin(), read.end(), block.begin())) << TConverterProcess::Hex(read.data(), 240);

    const std::string file = dir / "p.json";
    ASSERT_EQ(RunCli({"read", "--port", source.Link(), "--out", file}).Status, 0);
    const TRun write = RunCli({"write", "--port", target.Link(), file});
    ASSERT_EQ(write.Status, 0) << write.Err;
    EXPECT_TRUE(SameSettingsBytes(ReadBlock(target), block));
}

// A converter that sends XOFF after each answer: a host that obeyed it could not send the
// write's read-back request.
TEST(QuorinCliLine, AConverterSendingXoffDoesNotStopTheHost) {
    TConverterProcess c({"--as-found", "--fault", "xoff"});
    TempDir dir;
    WriteText(dir / "p.json", GoodProfile().dump());
    const TRun run = RunCli({"write", "--port", c.Link(), dir / "p.json"});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_TRUE(Contains(run.Err, "written and verified"));
}

// A terminal another program uses (a child holding it in canonical mode, as a shell or a
// login prompt would): listing, probing and serving every port leave its settings alone,
// byte for byte, and it is reported busy. A free line that is probed gets its own
// settings back.
TEST(QuorinCliLine, LinesOfOtherProgramsAndProbedLinesKeepTheirSettings) {
    test::TPseudoTerminal held(test::TPseudoTerminal::TStart::AsFound), free(test::TPseudoTerminal::TStart::AsFound);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(held.Master());
        const int fd = ::open(held.Path().c_str(), O_RDWR | O_NOCTTY);
        if (::write(ready[1], "x", 1) != 1 || fd < 0) ::_exit(1);
        ::pause();
        ::_exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    auto settings = [](int fd) {
        termios tio{};
        tcgetattr(fd, &tio);
        return std::string(reinterpret_cast<const char*>(&tio), sizeof tio);
    };
    const std::string heldBefore = settings(held.Master()), freeBefore = settings(free.Master());

    const TRun list = RunCli({"ports", "--json", "--port", held.Path(), "--port", free.Path()});
    EXPECT_EQ(list.Status, 0) << list.Err;
    EXPECT_FALSE(Contains(list.Out, held.Path())) << "a busy port is not listed as present";
    EXPECT_TRUE(Contains(list.Out, free.Path()));
    const TRun probe = RunCli({"ports", "--probe", "--json", "--port", held.Path(), "--port", free.Path()});
    const TJson doc = TJson::parse(probe.Out);
    ASSERT_TRUE(PortEntry(doc, held.Path()) && PortEntry(doc, free.Path())) << probe.Out;
    EXPECT_EQ((*PortEntry(doc, held.Path()))["result"], "busy");
    EXPECT_EQ((*PortEntry(doc, free.Path()))["result"], "silent");
    const TRun all = RunCli({"read", "--all", "--port", held.Path(), "--out", "/dev/null/{port}"});
    EXPECT_NE(all.Status, 0);

    EXPECT_EQ(settings(held.Master()), heldBefore);
    EXPECT_EQ(settings(free.Master()), freeBefore);
    ::kill(child, SIGTERM);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST(QuorinCli, HelpShowsExamplesAndBadCommandLinesAreUsageErrors) {
    const TRun help = RunCli({"--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_TRUE(Contains(help.Out, "quorin-cli write --port COM3 site-a.json"));
    EXPECT_EQ(RunCli({"read"}).Status, 2);
    EXPECT_EQ(RunCli({"read", "--port", "/dev/null", "--format", "xml"}).Status, 2);
    EXPECT_EQ(RunCli({"frobnicate"}).Status, 2);
}

}  // namespace
}  // namespace quorin
