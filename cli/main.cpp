// quorin-cli: the converter's settings from a script. Reads, writes, verifies and compares
// profiles over the same serial channel and transactions as the window, on any number of
// ports at once (one worker per port).
#include <CLI/CLI.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#if defined(_WIN32)
#include <windows.h>

#include <shellapi.h>
#endif

#include "QuorinVersion.h"
#include "cli/Ports.h"
#include "profile/Profile.h"
#include "profile/ProfileFile.h"
#include "link/CANConfigReadParameter.h"
#include "link/CANConfigWriteParameter.h"
#include "link/ParameterBlock.h"
#include "link/VCI.h"

using namespace quorin;
using namespace quorin::cli;
using namespace quorin::profile;

namespace {

// The exit statuses, in order: name, code, the word a port's report gives, and the text
// --help lists. Every failure has its own, so scripts can tell them apart. A "\n" inside a
// text breaks the help's line there; one at its end breaks it after the entry's comma.
#define QUORIN_CLI_STATUSES(V)                                                                                    \
    V(stOk, 0, "ok", "done (diff: equal)")                                                                        \
    V(stDiffers, 1, "differs", "diff found differences")                                                          \
    V(stUsage, 2, "failed", "bad command line\n(a malformed or refused KEY=VALUE of set included; nothing sent)") \
    V(stInvalidProfile, 3, "invalid-profile", /* no JSON, or breaks the window's rules */                         \
      "invalid profile\n(nothing sent; set: a change that breaks the rules with a converter's other settings)")   \
    V(stPortNotOpen, 4, "not-open", "port cannot be opened") /* or is missing */                                  \
    V(stSentFailed, 5, "sent-failed", "sent failed\n")       /* a request or the write frame, not in full */      \
    V(stNoAnswer, 6, "readback-failed", "no valid answer (read or read-back)")                                    \
    V(stMismatch, 7, "mismatch", "read-back differs from what was written\n")                                     \
    V(stOutputFailed, 8, "output-failed", "profile cannot be saved")                                              \
    V(stMixed, 9, "failed", "several ports failed in different ways\n")

enum TStatus : int {
#define QUORIN_STATUS_ENUM(name, code, word, help) name = code,
    QUORIN_CLI_STATUSES(QUORIN_STATUS_ENUM)
#undef QUORIN_STATUS_ENUM
};

struct TStatusInfo {
    int Code;
    const char* Word;
    const char* Help;
};

constexpr TStatusInfo kStatuses[] = {
#define QUORIN_STATUS_INFO(name, code, word, help) {code, word, help},
    QUORIN_CLI_STATUSES(QUORIN_STATUS_INFO)
#undef QUORIN_STATUS_INFO
};

const char* StatusWord(int status) {
    for (const TStatusInfo& s : kStatuses)
        if (s.Code == status) return s.Word;
    return "failed";
}

// "Exit status: 0 done (diff: equal), 1 ...", the last paragraph of --help.
std::string StatusHelp() {
    std::string text = "Exit status: ";
    for (std::size_t i = 0; i < std::size(kStatuses); ++i) {
        std::string_view help = kStatuses[i].Help;
        const bool endsLine = !help.empty() && help.back() == '\n';
        if (endsLine) help.remove_suffix(1);
        text += std::to_string(kStatuses[i].Code) + " " + std::string(help);
        text += i + 1 < std::size(kStatuses) ? "," : ".";
        text += endsLine ? "\n" : " ";
    }
    return text;
}

// The link's wait for an answer as messages quote it ("300 ms").
std::string AnswerWait() { return std::to_string(kReadAnswerWait.count()) + " ms"; }

enum class TCommand { Read, Write, Diff, Set, Probe };

struct TRequest {
    TCommand Command = TCommand::Read;
    std::string OutPattern;               // read: file name, "{port}" replaced per port
    bool Hex = false;                     // read: the raw block instead of a profile
    TParameterBlock Profile{};            // write, diff: the block the profile makes
    std::vector<TSettingChange> Changes;  // set
    bool DryRun = false;                  // write, set: show what would change, write nothing
    int Retries = 0;                      // further tries for a converter that does not answer
    bool Json = false;                    // one JSON document on standard output
    bool NamedByWord = false;             // the command line did not parse: Given names the command
    std::string Given;                    // the command word given, "" when none is a command
};

struct TReport {
    std::string Port;
    int Status = stOk;
    std::string Word;                  // the result keyword where the status word does not say it
    std::string Result;                // one line: what happened
    std::vector<std::string> Details;  // further lines (differences)
    std::vector<TProfileIssue> Warnings;
    std::vector<TProfileDifference> Differences;
    std::string Output;            // read to standard output
    TJson Data = TJson::object();  // read: the profile or block; probe: the identity
    int Tries = 0;
    double Seconds = 0;
};

// Where a worker says something at once (a failed try), between the lines of the others.
using TSay = std::function<void(const std::string&)>;

std::string ReadFailure(const TReadResult& r) {
    switch (r.Outcome) {
    case TReadOutcome::SentFailed: return "the request could not be sent (the port went away?)";
    case TReadOutcome::NoAnswer:
        return "no answer within " + AnswerWait() + " (converter off, unplugged, or another device)";
    case TReadOutcome::ShortAnswer:
        return "incomplete answer: " + std::to_string(r.Received) + " of " + std::to_string(kParameterBlockSize) +
               " bytes within " + AnswerWait();
    case TReadOutcome::ChecksumWrong: return "the answer's checksum is wrong (line noise or a faulty converter)";
    case TReadOutcome::Success: break;
    }
    return {};
}

int ReadStatus(const TReadResult& r) { return r.Outcome == TReadOutcome::SentFailed ? stSentFailed : stNoAnswer; }

std::string TryText(int attempt, int retries) {
    return "try " + std::to_string(attempt) + " of " + std::to_string(retries + 1) + ": ";
}

// A read, tried again while the converter gives no valid answer and tries are left; a
// request that cannot be sent is not tried again (the port is gone).
TReadResult ReadWithRetries(const TCommandLink& link, TParameterBlock& block, const TRequest& request, TReport& report,
                            const TSay& say) {
    for (int attempt = 1;; ++attempt) {
        const TReadResult r = ReadDeviceParameterResult(link, 0, block);
        report.Tries = attempt;
        if (r.Outcome == TReadOutcome::Success || r.Outcome == TReadOutcome::SentFailed || attempt > request.Retries)
            return r;
        say(report.Port + ": " + TryText(attempt, request.Retries) + ReadFailure(r) + "; trying again");
    }
}

// A write, written again while its read-back gets no valid answer and tries are left.
TWriteResult WriteWithRetries(const TCommandLink& link, TParameterBlock& block, const TRequest& request,
                              TReport& report, const TSay& say) {
    for (int attempt = 1;; ++attempt) {
        const TWriteResult w = WriteDeviceParameterResult(link, 0, block);
        report.Tries = attempt;
        if (w.Outcome != TWriteOutcome::ReadbackFailed || attempt > request.Retries) return w;
        say(report.Port + ": " + TryText(attempt, request.Retries) +
            "written, but the read-back failed: " + ReadFailure(w.ReadBack) + "; writing again");
    }
}

// A port's name as it can stand in a file name: /dev/ttyUSB0 is ttyUSB0, /dev/pts/3 pts-3.
std::string FilePortName(std::string port) {
    if (port.rfind("/dev/", 0) == 0) port = port.substr(5);
    while (!port.empty() && port.front() == '/') port.erase(port.begin());
    std::replace(port.begin(), port.end(), '/', '-');
    return port;
}

std::string OutPath(const std::string& pattern, const std::string& port) {
    std::string path = pattern;
    for (std::size_t at; (at = path.find("{port}")) != std::string::npos;) path.replace(at, 6, FilePortName(port));
    return path;
}

void ReadInto(TReport& report, const TRequest& request, const TParameterBlock& block) {
    std::string text;
    if (request.Hex) {
        text = HexBlockText(block);
        report.Data["block"] = text;
    } else {
        const TDeviceSettings settings = DecodeParameterBlock(block);
        text = ProfileText(settings);
        report.Data["profile"] = ProfileFromSettings(settings);
        report.Warnings = ReadWarnings(block);
    }
    if (request.OutPattern.empty()) {
        if (!request.Json) report.Output = text;
        report.Result = "read";
        return;
    }
    const std::string path = OutPath(request.OutPattern, report.Port);
    std::string why;
    // The window's save: whole or not at all, the old file kept until the new one is in
    // place, and runs side by side do not share a temporary file.
    if (!SaveProfileFile(path, text, why)) {
        report.Status = stOutputFailed;
        report.Result = "cannot save " + path + ": " + why;
        return;
    }
    report.Data["file"] = path;
    report.Result = "read, saved to " + path;
}

void ShowDifferences(TReport& report, const TParameterBlock& from, const TParameterBlock& to) {
    report.Differences = ProfileDifferenceList(from, to);
    report.Details = ProfileDifferences(from, to);
}

void WriteInto(TReport& report, const TCommandLink& link, TParameterBlock block, const TRequest& request,
               const TSay& say) {
    const TWriteResult w = WriteWithRetries(link, block, request, report, say);
    switch (w.Outcome) {
    case TWriteOutcome::SentFailed:
        report.Status = stSentFailed;
        report.Result = "the write frame could not be sent in full (the port went away?)";
        break;
    case TWriteOutcome::ReadbackFailed:
        report.Status = stNoAnswer;
        report.Result = "written, but the read-back failed: " + ReadFailure(w.ReadBack);
        break;
    case TWriteOutcome::Mismatch:
        report.Status = stMismatch;
        report.Result = "the converter did not keep the block: the read-back differs";
        ShowDifferences(report, w.ReadBackBlock, block);
        break;
    case TWriteOutcome::Success: report.Result = "written and verified"; break;
    }
}

std::string Plural(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// After a read: what write --dry-run and set do with the converter's block.
void ChangeInto(TReport& report, const TCommandLink& link, const TParameterBlock& read, const TRequest& request,
                const TSay& say) {
    TParameterBlock wanted = request.Profile;
    if (request.Command == TCommand::Set) {
        const auto issues = ApplySettingChanges(read, request.Changes, wanted);
        if (!issues.empty()) {
            report.Status = stInvalidProfile;
            report.Result = "the changes break the window's rules with this converter's settings; nothing was written";
            for (const auto& issue : issues) report.Details.push_back(IssueText(issue));
            return;
        }
        if (SameSettings(read, wanted)) {
            report.Result = "already as asked; nothing written";
            return;
        }
    }
    if (request.DryRun) {
        ShowDifferences(report, read, wanted);
        report.Result = report.Differences.empty()
                            ? "dry run: equal, nothing would be written"
                            : "dry run: " + Plural(report.Differences.size(), "setting", "settings") +
                                  " would change; nothing written";
        return;
    }
    if (request.Command == TCommand::Set) ShowDifferences(report, read, wanted);
    WriteInto(report, link, wanted, request, say);
}

std::string IdentityLine(const TJson& identity) {
    return identity["product_code"].get<std::string>() + ", serial number " +
           identity["serial_number"].get<std::string>() + ", firmware " +
           std::to_string(identity["firmware_version"].get<unsigned>());
}

// Which ports answer as a converter, which are held by another program, which are silent.
void ProbeInto(TReport& report, const TCommandLink& link, const TRequest& request, const TSay& say) {
    TParameterBlock block{};
    const TReadResult r = ReadWithRetries(link, block, request, report, say);
    if (r.Outcome != TReadOutcome::Success) {
        report.Word = "silent";
        report.Status = ReadStatus(r);
        report.Result = ReadFailure(r);
        return;
    }
    report.Word = "converter";
    report.Data["identity"] = ProfileFromSettings(DecodeParameterBlock(block))["identity"];
    report.Result = IdentityLine(report.Data["identity"]);
}

TReport Serve(const std::string& portName, int32_t slot, const TRequest& request, const TSay& say) {
    const auto start = std::chrono::steady_clock::now();
    TReport report;
    report.Port = portName;
    int32_t port = -1;
    std::string why;
    const TPortState state = request.Command == TCommand::Probe ? PortState(portName) : TPortState::Free;
    if (state != TPortState::Free) {
        report.Word = state == TPortState::Busy ? "busy" : "missing";
        report.Status = stPortNotOpen;
        report.Result = state == TPortState::Busy ? "another program holds the port" : "no such port";
    } else if (!BindPort(portName, slot, port, why)) {
        report.Status = stPortNotOpen;
        report.Result = why;
    } else if (VCI_OpenDevice(port) != 1) {
        report.Status = stPortNotOpen;
        report.Result = WhyNotOpen(portName);
        if (request.Command == TCommand::Probe) report.Word = "busy";
    } else {
        const TCommandLink link{port, nullptr};
        TParameterBlock block{};
        if (request.Command == TCommand::Probe) {
            ProbeInto(report, link, request, say);
        } else if (request.Command == TCommand::Write && !request.DryRun) {
            WriteInto(report, link, request.Profile, request, say);
        } else {
            const TReadResult r = ReadWithRetries(link, block, request, report, say);
            if (r.Outcome != TReadOutcome::Success) {
                report.Status = ReadStatus(r);
                report.Result = ReadFailure(r);
            } else if (request.Command == TCommand::Read) {
                ReadInto(report, request, block);
            } else if (request.Command == TCommand::Diff) {
                ShowDifferences(report, block, request.Profile);
                report.Status = report.Details.empty() ? stOk : stDiffers;
                report.Result = report.Details.empty()
                                    ? "equal to the profile"
                                    : Plural(report.Details.size(), "setting differs", "settings differ");
            } else {
                ChangeInto(report, link, block, request, say);
            }
        }
        VCI_CloseDevice(port);
    }
    report.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return report;
}

std::string Seconds(double s) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", s);
    return text;
}

// Columns as wide as their longest cell (at least `least`), two blanks apart.
std::string Table(const std::vector<std::vector<std::string>>& rows, const std::vector<std::size_t>& least) {
    std::vector<std::size_t> width(least);
    for (const auto& row : rows)
        for (std::size_t c = 0; c + 1 < row.size(); ++c) width[c] = std::max(width[c], row[c].size() + 2);
    std::string text;
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c)
            text += c + 1 < row.size() ? row[c] + std::string(width[c] - row[c].size(), ' ') : row[c] + "\n";
    }
    return text;
}

const char* CommandName(TCommand command) {
    switch (command) {
    case TCommand::Read: return "read";
    case TCommand::Write: return "write";
    case TCommand::Diff: return "diff";
    case TCommand::Set: return "set";
    case TCommand::Probe: return "ports";
    }
    return "";
}

bool IsCommandName(const std::string& word) {
    for (const char* name : {"ports", "read", "write", "diff", "set"})
        if (word == name) return true;
    return false;
}

// The command a JSON document names: null when a command line that did not parse gave none.
TJson CommandJson(const TRequest& request) {
    if (!request.NamedByWord) return CommandName(request.Command);
    return request.Given.empty() ? TJson(nullptr) : TJson(request.Given);
}

TJson IssuesJson(const std::vector<TProfileIssue>& issues) {
    TJson list = TJson::array();
    for (const auto& i : issues) list.push_back({{"path", i.Path}, {"message", i.Message}});
    return list;
}

TJson ReportJson(const TReport& r) {
    TJson port = {{"port", r.Port},     {"result", r.Word.empty() ? StatusWord(r.Status) : r.Word},
                  {"status", r.Status}, {"seconds", std::round(r.Seconds * 1000) / 1000},
                  {"detail", r.Result}, {"tries", r.Tries}};
    for (const auto& [key, value] : r.Data.items()) port[key] = value;
    if (!r.Warnings.empty()) port["warnings"] = IssuesJson(r.Warnings);
    if (!r.Differences.empty()) {
        TJson list = TJson::array();
        for (const auto& d : r.Differences)
            list.push_back(
                {{"setting", d.Path},
                 {"converter",
                  TJson::parse(d.Device, nullptr, false).is_discarded() ? TJson(d.Device) : TJson::parse(d.Device)},
                 {"profile", TJson::parse(d.Profile, nullptr, false).is_discarded() ? TJson(d.Profile)
                                                                                    : TJson::parse(d.Profile)}});
        port["differences"] = list;
    } else if (!r.Details.empty()) {
        port["issues"] = r.Details;
    }
    return port;
}

// The one document of --json for a call refused before any port was served.
int Refuse(const TRequest& request, int status, const std::string& error,
           const std::vector<TProfileIssue>& issues = {}) {
    std::cerr << "quorin-cli: " << error << "\n";
    for (const auto& issue : issues) std::cerr << "  " << IssueText(issue) << "\n";
    if (request.Json) {
        TJson doc = {{"command", CommandJson(request)}, {"status", status}, {"error", error}};
        if (!issues.empty()) doc["issues"] = IssuesJson(issues);
        doc["ports"] = TJson::array();
        std::cout << DocumentText(doc) << "\n";
    }
    return status;
}

// One worker per port; each port's line appears as soon as it is done.
int ServeAll(const std::vector<std::string>& ports, const TRequest& request) {
    std::vector<TReport> reports(ports.size());
    std::mutex output;
    std::size_t done = 0;
    const bool several = ports.size() > 1 || request.Command == TCommand::Probe;
    // With --json standard output carries the document only; everything else goes to errors.
    std::ostream& human = request.Json ? std::cerr : std::cout;
    const TSay say = [&](const std::string& line) {
        std::lock_guard<std::mutex> hold(output);
        std::cerr << line << "\n";
        std::cerr.flush();
    };
    auto finish = [&](TReport& r) {
        std::lock_guard<std::mutex> hold(output);
        ++done;
        std::string line =
            r.Port + ": " + (r.Word.empty() ? "" : r.Word + ": ") + r.Result + " (" + Seconds(r.Seconds) + ")";
        if (several) line = "[" + std::to_string(done) + "/" + std::to_string(ports.size()) + "] " + line;
        std::cerr << line << "\n";
        for (const auto& w : r.Warnings) std::cerr << "  warning: " << IssueText(w) << "\n";
        // Several ports' lines interleave: each names its port.
        for (const auto& d : r.Details) human << "  " << (several ? r.Port + ": " : "") << d << "\n";
        human << r.Output;
        human.flush();
        std::cerr.flush();
    };
    std::vector<std::thread> workers;
    for (std::size_t i = 0; i < ports.size(); ++i)
        workers.emplace_back([&, i] {
            reports[i] = Serve(ports[i], static_cast<int32_t>(i), request, say);
            finish(reports[i]);
        });
    for (auto& w : workers) w.join();

    if (request.Command == TCommand::Probe) {
        std::vector<std::vector<std::string>> rows = {
            {"PORT", "ANSWER", "TIME", "PRODUCT", "SERIAL", "FIRMWARE", "DETAIL"}};
        for (const auto& r : reports) {
            if (r.Data.contains("identity")) {
                const TJson& id = r.Data["identity"];
                rows.push_back({r.Port, r.Word, Seconds(r.Seconds), id["product_code"], id["serial_number"],
                                std::to_string(id["firmware_version"].get<unsigned>()), "-"});
            } else {
                rows.push_back({r.Port, r.Word, Seconds(r.Seconds), "-", "-", "-", r.Result});
            }
        }
        human << Table(rows, {6, 11, 9, 11, 13, 10});
    } else if (several) {
        std::vector<std::vector<std::string>> rows = {{"PORT", "RESULT", "TIME", "DETAIL"}};
        for (const auto& r : reports) rows.push_back({r.Port, StatusWord(r.Status), Seconds(r.Seconds), r.Result});
        human << Table(rows, {6, 17, 9});
    }
    human.flush();
    std::set<int> failures;
    for (const auto& r : reports)
        if (r.Status != stOk) failures.insert(r.Status);
    // A probe is a survey: busy and silent ports are its answers, not its failures.
    const int status = request.Command == TCommand::Probe || failures.empty() ? stOk
                       : failures.size() == 1                                 ? *failures.begin()
                                                                              : stMixed;
    if (request.Json) {
        TJson doc = {{"command", CommandName(request.Command)}, {"status", status}};
        if (request.DryRun) doc["dry_run"] = true;
        doc["ports"] = TJson::array();
        for (const auto& r : reports) doc["ports"].push_back(ReportJson(r));
        std::cout << DocumentText(doc) << "\n";
        std::cout.flush();
    }
    return status;
}

// The profile of write and diff, checked whole before any port is touched; 0 when it holds.
int LoadProfile(const std::string& path, TRequest& request) {
    // Read with the window's bound: /dev/zero or an endless pipe is refused, not held.
    std::string text, why;
    if (path == "-" ? !ReadProfileStream(std::cin, text, why) : !ReadProfileFile(path, text, why))
        return Refuse(request, stInvalidProfile,
                      "cannot read the profile " + (path == "-" ? std::string("from standard input") : path) + ": " +
                          why + "; nothing was sent");
    TDeviceSettings settings;
    const auto issues = SettingsFromProfileText(text, settings);
    if (!issues.empty())
        return Refuse(request, stInvalidProfile, path + " is not a valid profile; nothing was sent:", issues);
    for (const auto& w : SettingsWarnings(settings)) std::cerr << "quorin-cli: warning: " << IssueText(w) << "\n";
    request.Profile = EncodeParameterBlock(settings);
    return stOk;
}

const char* kExamples = R"(
Examples:
  quorin-cli ports
  quorin-cli read --port COM3 --out site-a.json
  quorin-cli read --port /dev/ttyUSB0 --format hex
  quorin-cli write --port COM3 site-a.json
  quorin-cli write --port COM3 --port COM4 --port COM7 site-a.json
  quorin-cli write --all site-a.json
  quorin-cli diff --port COM3 site-a.json
  quorin-cli read --all --out 'backup-{port}.json'
  quorin-cli set --all serial.baud_rate=115200 can.bit_rate.arbitration=500Kbps
  quorin-cli set --port COM3 --dry-run filters.enabled=false
  quorin-cli write --port COM3 --dry-run site-a.json
  quorin-cli ports --probe
  quorin-cli diff --json --port COM3 site-a.json

With --json every command prints one JSON document on standard output (per port: port,
result, status, seconds, detail, and the profile, block or differences); the lines and
the table go to standard error. --retries N tries a silent converter N more times.

)";

}  // namespace

int main(int argc, char** argv) {
#if defined(_WIN32)
    SetConsoleOutputCP(CP_UTF8);
    // main's arguments come in the ANSI code page, which cannot hold every file name and
    // is not the UTF-8 the profiles, the file functions and the JSON document take; the
    // wide command line holds them all.
    std::vector<std::string> utf8Args;
    std::vector<char*> utf8Argv;
    int wideCount = 0;
    if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &wideCount)) {
        for (int i = 0; i < wideCount; ++i) {
            const int n = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
            std::string arg(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
            if (n > 1) WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), n, nullptr, nullptr);
            utf8Args.push_back(std::move(arg));
        }
        LocalFree(wide);
        for (auto& a : utf8Args) utf8Argv.push_back(a.data());
        utf8Argv.push_back(nullptr);
        argc = wideCount;
        argv = utf8Argv.data();
    }
#endif
    CLI::App app{"quorin-cli: read, write, verify and compare QUORIN-Q1 converter profiles"};
    app.footer(kExamples + StatusHelp());
    app.require_subcommand(1);
    // "quorin-cli 1.2.3" on one line, the form packaging tools read it in.
    app.set_version_flag("--version", "quorin-cli " QUORIN_VERSION_STRING, "print the version and exit");

    TRequest request;
    std::vector<std::string> ports, changes;
    bool all = false, probe = false;
    std::string out, format = "json", profile;

    auto addCommon = [&](CLI::App* cmd) {
        cmd->add_flag("--json", request.Json,
                      "one JSON document on standard output; lines and table to standard error");
        cmd->add_option("--retries", request.Retries,
                        "try a converter that does not answer this many more times (default 0)")
            ->check(CLI::Range(0, 100));
    };
    auto* list = app.add_subcommand("ports", "list the serial ports present, or probe them for converters");
    list->add_option("--port,path", ports, "a further port to look at (Linux: any device path)");
    list->add_flag("--probe", probe, "read each port: which answer as a converter, which are busy, which are silent");
    addCommon(list);

    auto addPorts = [&](CLI::App* cmd) {
        cmd->add_option("--port,-p", ports, "a port: COM3 on Windows, /dev/ttyUSB0 on Linux; repeat for several")
            ->allow_extra_args(false);
        cmd->add_flag("--all,-a", all, "every port present");
        addCommon(cmd);
    };
    auto* read = app.add_subcommand("read", "read the converter's settings as a profile");
    addPorts(read);
    read->add_option("--out,-o", out, "save to this file instead of printing; {port} stands for the port's name");
    read->add_option("--format,-f", format,
                     "json (a profile) or hex (the raw " + std::to_string(kParameterBlockSize) + " bytes)")
        ->check(CLI::IsMember({"json", "hex"}));
    auto* write = app.add_subcommand("write", "check a profile, write it, and verify it by reading it back");
    addPorts(write);
    write->add_flag("--dry-run", request.DryRun, "read each converter and show what would change; write nothing");
    write->add_option("profile", profile, "the profile (JSON; - for standard input)")->required();
    auto* diff = app.add_subcommand("diff", "list the settings in which the converter differs from a profile");
    addPorts(diff);
    diff->add_option("profile", profile, "the profile (JSON; - for standard input)")->required();
    auto* set =
        app.add_subcommand("set", "change the named settings of each converter, write and verify; the rest stays");
    addPorts(set);
    set->add_flag("--dry-run", request.DryRun, "read each converter and show what would change; write nothing");
    set->add_option("changes", changes,
                    "KEY=VALUE: a profile path with dots and its value, e.g. serial.baud_rate=115200")
        ->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // A script that asked for JSON gets its document even for a command line it got
        // wrong, or for the help, naming the command it gave (the first word that is no
        // option; null when that is no command).
        for (int i = 1; i < argc; ++i)
            if (std::string(argv[i]) == "--json") request.Json = true;
        for (int i = 1; i < argc && request.Given.empty(); ++i)
            if (argv[i][0] != '-') request.Given = argv[i];
        if (!IsCommandName(request.Given)) request.Given.clear();
        request.NamedByWord = true;
        if (request.Json && e.get_exit_code() == 0) {
            TJson doc = {{"command", CommandJson(request)}, {"status", stOk}};
            if (dynamic_cast<const CLI::CallForVersion*>(&e) != nullptr)
                doc["version"] = std::string(QUORIN_VERSION_STRING);
            else
                doc["help"] = app.help();
            std::cout << DocumentText(doc) << "\n";
            return stOk;
        }
        const int code = app.exit(e);
        if (code == 0) return stOk;
        return request.Json ? Refuse(request, stUsage, "bad command line: " + std::string(e.what())) : stUsage;
    }

    request.Command = list->parsed()    ? TCommand::Probe
                      : read->parsed()  ? TCommand::Read
                      : write->parsed() ? TCommand::Write
                      : diff->parsed()  ? TCommand::Diff
                                        : TCommand::Set;
    request.Hex = format == "hex";
    request.OutPattern = out;

    if (list->parsed() && !probe) {
        const auto present = PresentPorts(ports);
        TJson doc = {{"command", "ports"}, {"status", stOk}, {"ports", TJson::array()}};
        for (const auto& p : present) {
            (request.Json ? std::cerr : std::cout) << p << "\n";
            doc["ports"].push_back({{"port", p}});
        }
        if (present.empty()) std::cerr << "quorin-cli: no serial ports found\n";
        if (request.Json) std::cout << DocumentText(doc) << "\n";
        return stOk;
    }

    // Every change is checked before any port is touched.
    if (request.Command == TCommand::Set) {
        const auto issues = ParseSettingChanges(changes, request.Changes);
        if (!issues.empty()) return Refuse(request, stUsage, "the changes cannot be made; nothing was sent:", issues);
    }

    std::vector<std::string> names;
    auto add = [&](const std::string& name) {
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    };
    for (const auto& p : ports) {
        std::string why;
        const std::string name = CanonicalPortName(p, why);
        if (name.empty()) return Refuse(request, stUsage, why);
        add(name);
    }
    if (request.Command == TCommand::Probe) {
        names = ProbeCandidates(names);
        if (names.empty()) return Refuse(request, stOk, "no serial ports found");
        return ServeAll(names, request);
    }
    if (all) {
        const auto present = PresentPorts({});
        if (present.empty() && names.empty()) return Refuse(request, stPortNotOpen, "--all: no serial ports found");
        for (const auto& p : present) add(p);
    }
    if (names.empty()) return Refuse(request, stUsage, "name a port with --port, or use --all (see --help)");
    if (request.Command == TCommand::Read && names.size() > 1 && out.find("{port}") == std::string::npos)
        return Refuse(request, stUsage, "reading several ports needs --out with {port} in the file name");
    // The whole profile is checked before any port is touched.
    if (request.Command == TCommand::Write || request.Command == TCommand::Diff)
        if (const int status = LoadProfile(profile, request); status != stOk) return status;
    return ServeAll(names, request);
}
