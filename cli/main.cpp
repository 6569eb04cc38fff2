// quorin-cli: the converter's settings from a script. Reads, writes, verifies and compares
// profiles over the same serial channel and transactions as the window, on any number of
// ports at once (one worker per port).
#include <CLI/CLI.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "QuorinVersion.h"
#include "cli/Ports.h"
#include "profile/Profile.h"
#include "link/CANConfigWriteParameter.h"
#include "link/VCI.h"

using namespace quorin;
using namespace quorin::cli;
using namespace quorin::profile;

namespace {

// Exit statuses; every failure has its own, so scripts can tell them apart.
enum TStatus : int {
    stOk = 0,             // done; for diff: the device equals the profile
    stDiffers = 1,        // diff: the device differs from the profile
    stUsage = 2,          // the command line is wrong
    stInvalidProfile = 3, // the profile is no JSON, or breaks the window's rules
    stPortNotOpen = 4,    // a port is missing or cannot be opened
    stSentFailed = 5,     // a request or the write frame did not go out in full
    stNoAnswer = 6,       // no valid answer to a read or to the write's read-back
    stMismatch = 7,       // the block read back after a write differs from the one sent
    stOutputFailed = 8,   // the profile could not be saved
    stMixed = 9,          // several ports failed, in different ways
};

const char* StatusWord(int status) {
    switch (status) {
    case stOk: return "ok";
    case stDiffers: return "differs";
    case stInvalidProfile: return "invalid-profile";
    case stPortNotOpen: return "not-open";
    case stSentFailed: return "sent-failed";
    case stNoAnswer: return "readback-failed";
    case stMismatch: return "mismatch";
    case stOutputFailed: return "output-failed";
    default: return "failed";
    }
}

enum class TCommand { Read, Write, Diff };

struct TRequest {
    TCommand Command = TCommand::Read;
    std::string OutPattern;   // read: file name, "{port}" replaced per port
    bool Hex = false;         // read: the raw block instead of a profile
    TParameterBlock Profile{}; // write, diff: the block the profile makes
};

struct TReport {
    std::string Port;
    int Status = stOk;
    std::string Result;               // one line: what happened
    std::vector<std::string> Details; // further lines (differences, warnings)
    std::string Output;               // read to standard output
    double Seconds = 0;
};

std::string ReadFailure(const TReadResult& r) {
    switch (r.Outcome) {
    case TReadOutcome::SentFailed: return "the request could not be sent (the port went away?)";
    case TReadOutcome::NoAnswer: return "no answer within 300 ms (converter off, unplugged, or another device)";
    case TReadOutcome::ShortAnswer:
        return "incomplete answer: " + std::to_string(r.Received) + " of 240 bytes within 300 ms";
    case TReadOutcome::ChecksumWrong: return "the answer's checksum is wrong (line noise or a faulty converter)";
    case TReadOutcome::Success: break;
    }
    return {};
}

int ReadStatus(const TReadResult& r) {
    return r.Outcome == TReadOutcome::SentFailed ? stSentFailed : stNoAnswer;
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

// Written whole or not at all: a half-written profile must never be taken for a good one.
bool SaveFile(const std::string& path, const std::string& text, std::string& why) {
    const std::string temp = path + ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out || !(out << text) || !out.flush()) {
            why = "cannot write " + path;
            out.close();
            std::remove(temp.c_str());
            return false;
        }
    }
    std::remove(path.c_str()); // Windows will not rename over an existing file
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        why = "cannot write " + path;
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

void ReadInto(TReport& report, const TRequest& request, const TParameterBlock& block) {
    std::string text;
    if (request.Hex) {
        text = HexBlockText(block);
    } else {
        const TDeviceSettings settings = DecodeParameterBlock(block);
        text = ProfileText(settings);
        TDeviceSettings check;
        for (const auto& issue : SettingsFromProfile(ProfileFromSettings(settings), check))
            report.Details.push_back("warning: the converter holds a value the window's rules refuse: " + IssueText(issue));
        const auto lost = BytesTheProfileLoses(block);
        if (!lost.empty()) {
            std::string list;
            for (std::size_t i = 0; i < lost.size(); ++i) list += (i ? ", " : "") + std::to_string(lost[i]);
            report.Details.push_back("warning: block bytes " + list +
                                     " hold values the profile cannot carry; writing the profile back changes them");
        }
    }
    if (request.OutPattern.empty()) {
        report.Output = text;
        report.Result = "read";
        return;
    }
    const std::string path = OutPath(request.OutPattern, report.Port);
    std::string why;
    if (!SaveFile(path, text, why)) {
        report.Status = stOutputFailed;
        report.Result = why;
        return;
    }
    report.Result = "read, saved to " + path;
}

TReport Serve(const std::string& portName, int32_t slot, const TRequest& request) {
    const auto start = std::chrono::steady_clock::now();
    TReport report;
    report.Port = portName;
    int32_t port = -1;
    std::string why;
    if (!BindPort(portName, slot, port, why)) {
        report.Status = stPortNotOpen;
        report.Result = why;
    } else if (VCI_OpenDevice(port) != 1) {
        report.Status = stPortNotOpen;
        report.Result = WhyNotOpen(portName);
    } else {
        const TCommandLink link{port, nullptr};
        TParameterBlock block{};
        if (request.Command == TCommand::Write) {
            block = request.Profile;
            const TWriteResult w = WriteDeviceParameterResult(link, 0, block);
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
                report.Details = ProfileDifferences(w.ReadBackBlock, block);
                break;
            case TWriteOutcome::Success: report.Result = "written and verified"; break;
            }
        } else {
            const TReadResult r = ReadDeviceParameterResult(link, 0, block);
            if (r.Outcome != TReadOutcome::Success) {
                report.Status = ReadStatus(r);
                report.Result = ReadFailure(r);
            } else if (request.Command == TCommand::Read) {
                ReadInto(report, request, block);
            } else {
                report.Details = ProfileDifferences(block, request.Profile);
                report.Status = report.Details.empty() ? stOk : stDiffers;
                report.Result = report.Details.empty() ? "equal to the profile"
                                                       : std::to_string(report.Details.size()) + " settings differ";
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

// One worker per port; each port's line appears as soon as it is done.
int ServeAll(const std::vector<std::string>& ports, const TRequest& request) {
    std::vector<TReport> reports(ports.size());
    std::mutex output;
    std::size_t done = 0;
    const bool several = ports.size() > 1;
    auto finish = [&](TReport& r) {
        std::lock_guard<std::mutex> hold(output);
        ++done;
        std::string line = r.Port + ": " + r.Result + " (" + Seconds(r.Seconds) + ")";
        if (several) line = "[" + std::to_string(done) + "/" + std::to_string(ports.size()) + "] " + line;
        std::cerr << line << "\n";
        for (const auto& d : r.Details) (d.rfind("warning:", 0) == 0 ? std::cerr : std::cout) << "  " << d << "\n";
        std::cout << r.Output;
        std::cout.flush();
        std::cerr.flush();
    };
    std::vector<std::thread> workers;
    for (std::size_t i = 0; i < ports.size(); ++i)
        workers.emplace_back([&, i] {
            reports[i] = Serve(ports[i], static_cast<int32_t>(i), request);
            finish(reports[i]);
        });
    for (auto& w : workers) w.join();

    if (several) {
        std::size_t width = 4;
        for (const auto& r : reports) width = std::max(width, r.Port.size());
        std::ostringstream table;
        auto row = [&](const std::string& a, const std::string& b, const std::string& c, const std::string& d) {
            table << a << std::string(width + 2 - a.size(), ' ') << b << std::string(b.size() < 17 ? 17 - b.size() : 1, ' ')
                  << c << std::string(c.size() < 9 ? 9 - c.size() : 1, ' ') << d << "\n";
        };
        row("PORT", "RESULT", "TIME", "DETAIL");
        for (const auto& r : reports) row(r.Port, StatusWord(r.Status), Seconds(r.Seconds), r.Result);
        std::cout << table.str();
    }
    std::set<int> failures;
    for (const auto& r : reports)
        if (r.Status != stOk) failures.insert(r.Status);
    if (failures.empty()) return stOk;
    return failures.size() == 1 ? *failures.begin() : stMixed;
}

bool LoadProfile(const std::string& path, TParameterBlock& block) {
    std::string text;
    if (path == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), {});
    } else {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            std::cerr << "quorin-cli: cannot read the profile " << path << "\n";
            return false;
        }
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    TDeviceSettings settings;
    const auto issues = SettingsFromProfileText(text, settings);
    if (!issues.empty()) {
        std::cerr << "quorin-cli: " << path << " is not a valid profile; nothing was sent:\n";
        for (const auto& issue : issues) std::cerr << "  " << IssueText(issue) << "\n";
        return false;
    }
    block = EncodeParameterBlock(settings);
    return true;
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

Exit status: 0 done (diff: equal), 1 diff found differences, 2 bad command line,
3 invalid profile (nothing sent), 4 port cannot be opened, 5 sent failed,
6 no valid answer (read or read-back), 7 read-back differs from what was written,
8 profile cannot be saved, 9 several ports failed in different ways.
)";

} // namespace

int main(int argc, char** argv) {
#if defined(_WIN32)
    SetConsoleOutputCP(CP_UTF8);
#endif
    CLI::App app{"quorin-cli: read, write, verify and compare QUORIN-Q1 converter profiles"};
    app.footer(kExamples);
    app.require_subcommand(1);
    // "quorin-cli 1.2.3" on one line, the form packaging tools read it in.
    app.set_version_flag("--version", "quorin-cli " QUORIN_VERSION_STRING, "print the version and exit");

    std::vector<std::string> ports;
    bool all = false;
    std::string out, format = "json", profile;

    auto* list = app.add_subcommand("ports", "list the serial ports present");
    list->add_option("--port,path", ports, "a further port to probe (Linux: any device path)");

    auto addPorts = [&](CLI::App* cmd) {
        cmd->add_option("--port,-p", ports, "a port: COM3 on Windows, /dev/ttyUSB0 on Linux; repeat for several");
        cmd->add_flag("--all,-a", all, "every port present");
    };
    auto* read = app.add_subcommand("read", "read the converter's settings as a profile");
    addPorts(read);
    read->add_option("--out,-o", out, "save to this file instead of printing; {port} stands for the port's name");
    read->add_option("--format,-f", format, "json (a profile) or hex (the raw 240 bytes)")
        ->check(CLI::IsMember({"json", "hex"}));
    auto* write = app.add_subcommand("write", "check a profile, write it, and verify it by reading it back");
    addPorts(write);
    write->add_option("profile", profile, "the profile (JSON; - for standard input)")->required();
    auto* diff = app.add_subcommand("diff", "list the settings in which the converter differs from a profile");
    addPorts(diff);
    diff->add_option("profile", profile, "the profile (JSON; - for standard input)")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? stOk : stUsage;
    }

    if (list->parsed()) {
        const auto present = PresentPorts(ports);
        for (const auto& p : present) std::cout << p << "\n";
        if (present.empty()) std::cerr << "quorin-cli: no serial ports found\n";
        return stOk;
    }

    TRequest request;
    request.Command = read->parsed() ? TCommand::Read : write->parsed() ? TCommand::Write : TCommand::Diff;
    request.Hex = format == "hex";
    request.OutPattern = out;

    std::vector<std::string> names;
    auto add = [&](const std::string& name) {
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    };
    for (const auto& p : ports) {
        std::string why;
        const std::string name = CanonicalPortName(p, why);
        if (name.empty()) {
            std::cerr << "quorin-cli: " << why << "\n";
            return stUsage;
        }
        add(name);
    }
    if (all) {
        const auto present = PresentPorts({});
        if (present.empty() && names.empty()) {
            std::cerr << "quorin-cli: --all: no serial ports found\n";
            return stPortNotOpen;
        }
        for (const auto& p : present) add(p);
    }
    if (names.empty()) {
        std::cerr << "quorin-cli: name a port with --port, or use --all (see --help)\n";
        return stUsage;
    }
    if (request.Command == TCommand::Read && names.size() > 1 && out.find("{port}") == std::string::npos) {
        std::cerr << "quorin-cli: reading several ports needs --out with {port} in the file name\n";
        return stUsage;
    }
    // The whole profile is checked before any port is touched.
    if (request.Command != TCommand::Read && !LoadProfile(profile, request.Profile)) return stInvalidProfile;
    return ServeAll(names, request);
}
