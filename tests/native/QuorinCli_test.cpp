// quorin-cli as a user runs it: the real program against virtual converters on
// pseudo-terminals, its exit statuses, its messages, and what reached the converters.
// The profile round trip is also checked in-process over many random valid blocks.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
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
#include "support/ConverterProcess.h"

namespace quorin {
namespace {

using test::TConverterProcess;
using profile::TJson;

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

// Runs quorin-cli with these arguments; its output goes through files, so a long output
// cannot block it.
TRun RunCli(std::vector<std::string> args) {
    static TempDir dir;
    const std::string out = dir / "stdout", err = dir / "stderr";
    args.insert(args.begin(), QUORIN_BINARY_DIR "/quorin-cli");
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(o, 1);
        ::dup2(e, 2);
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
    auto pick = [&](uint32_t n) { return static_cast<uint8_t>(std::uniform_int_distribution<uint32_t>(0, n - 1)(rng)); };
    auto word = [&] { return std::uniform_int_distribution<uint32_t>()(rng); };
    auto items = [](std::size_t offset) {
        for (const auto& c : profile::ChoiceLists())
            if (c.Offset == offset) return static_cast<uint32_t>(c.Items.size());
        return 0u;
    };
    TDeviceSettings s;
    s.Identity = {static_cast<uint16_t>(word()), static_cast<uint16_t>(word()), static_cast<uint16_t>(word()),
                  static_cast<uint16_t>(word()), {pick(255), pick(255), pick(255), pick(255)}};
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
        f.Port = pick(4);
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

// A valid profile to spoil, one way per case.
TJson GoodProfile() { return profile::ProfileFromSettings(WindowDefaultSettings()); }

struct BadProfileCase {
    const char* Name;
    std::function<std::string()> Text;
    std::vector<std::string> Expected; // every line that must be reported
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
        BadProfileCase{"NotJson", [] { return std::string("{\"conversion\": {\n  \"mode\": 1,,\n}"); },
                       {"not a JSON document", "line 2"}},
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
        BadProfileCase{"ConversionAndIdentifierRules",
                       [] {
                           return Spoil([](TJson& p) {
                               p["can"]["id"] = "0x800";  // standard frame: 11 bits
                               p["filters"]["entries"] = {Filter("standard", "0x0x5", "0x10"),
                                                          Filter("standard", "0x100", "0x0FF"),
                                                          Filter("extended", "0x0", "0x20000000")};
                           });
                       },
                       {"can.id: 0x00000800 is beyond", "filters.entries[0].start_id: '0x0x5' is not a valid integer value",
                        "filters.entries[1]: start_id 0x00000100 is greater than end_id 0x000000FF",
                        "filters.entries[2].end_id: 0x20000000 is beyond the 29-bit range"}},
        BadProfileCase{"SeventeenFilters",
                       [] {
                           return Spoil([](TJson& p) {
                               for (int i = 0; i < 17; ++i) p["filters"]["entries"].push_back(Filter("standard", "0x1", "0x2"));
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
                      FaultCase{"long", "read", 0, "read"},
                      FaultCase{"checksum", "diff", 6, "checksum is wrong"},
                      FaultCase{"late", "read", 6, "no answer within 300 ms"},
                      FaultCase{"corrupt", "write", 7, "the read-back differs"},
                      FaultCase{"noise", "read", 6, "checksum is wrong"},
                      FaultCase{"hangup", "write", 6, "read-back failed"}),
    [](const auto& info) { return std::string(info.param.Fault) + "_" + info.param.Command; });

TEST(QuorinCli, PortsThatCannotBeOpenedAreNamed) {
    TConverterProcess c;
    ASSERT_TRUE(c.Open(5)); // held by this process: exclusive
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
        converters.push_back(std::make_unique<TConverterProcess>(
            i == 2 ? std::vector<std::string>{"--fault", "silent"} : std::vector<std::string>{}));
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

TEST(QuorinCli, HelpShowsExamplesAndBadCommandLinesAreUsageErrors) {
    const TRun help = RunCli({"--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_TRUE(Contains(help.Out, "quorin-cli write --port COM3 site-a.json"));
    EXPECT_EQ(RunCli({"read"}).Status, 2);
    EXPECT_EQ(RunCli({"read", "--port", "/dev/null", "--format", "xml"}).Status, 2);
    EXPECT_EQ(RunCli({"frobnicate"}).Status, 2);
}

} // namespace
} // namespace quorin
