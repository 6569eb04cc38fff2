// The virtual converter as a child process on its own pseudo-terminal, for tests that run
// the protocol over the real serial channel. Each instance has a fresh directory with the
// published line (a symbolic link), the converter's log and its control file.
#pragma once

#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "link/SerialPortPath.h"
#include "link/VCI.h"

namespace quorin::test {

class TConverterProcess {
public:
    // Starts the converter with extra options (for example {"--fault", "silent"}) and
    // waits until its line is published.
    explicit TConverterProcess(std::vector<std::string> extra = {}, std::string program = DefaultProgram()) {
        char dir[] = "/tmp/protocol-vconv-XXXXXX";
        if (::mkdtemp(dir) == nullptr) return;
        FDir = dir;
        std::vector<std::string> args = {program, "--link", Link(), "--log", Log(), "--control", Control()};
        args.insert(args.end(), extra.begin(), extra.end());
        FPid = ::fork();
        if (FPid == 0) {
            std::vector<char*> argv;
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            if (!::freopen("/dev/null", "w", stdout)) ::_exit(126);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        struct stat st {};
        while (::lstat(Link().c_str(), &st) != 0 && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ~TConverterProcess() {
        if (FOpenPort >= 0) VCI_CloseDevice(FOpenPort);
        if (FPid > 0) {
            ::kill(FPid, SIGTERM);
            ::waitpid(FPid, nullptr, 0);
        }
        std::error_code ignored;
        if (!FDir.empty()) std::filesystem::remove_all(FDir, ignored);
    }
    TConverterProcess(const TConverterProcess&) = delete;
    TConverterProcess& operator=(const TConverterProcess&) = delete;

    static std::string DefaultProgram() {
#ifdef QUORIN_BINARY_DIR
        return std::string(QUORIN_BINARY_DIR) + "/tools/vconv";
#else
        return {};
#endif
    }

    std::string Link() const { return FDir + "/com"; }
    std::string Log() const { return FDir + "/log"; }
    std::string Control() const { return FDir + "/control"; }

    // Points port n at the converter's line and opens it; true when open.
    bool Open(int32_t port) {
        if (!SetPortPath(port, Link()) || VCI_OpenDevice(port) != 1) return false;
        FOpenPort = port;
        return true;
    }

    // Applies control lines (fault=..., block=..., reset=1) and waits until the converter
    // reports them applied; false if it did not within five seconds.
    bool Set(const std::string& lines) {
        const std::string seq = "seq=" + std::to_string(++FSeq);
        {
            std::ofstream out(Control() + ".tmp");
            out << lines << "\n" << seq << "\n";
        }
        std::rename((Control() + ".tmp").c_str(), Control().c_str());
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < end) {
            std::ifstream state(Control() + ".state");
            std::stringstream text;
            text << state.rdbuf();
            if (text.str().find(seq + "\n") != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    // The frames the converter received ("RX ..." lines), as hexadecimal texts.
    std::vector<std::string> Received() const {
        std::vector<std::string> frames;
        std::ifstream in(Log());
        std::string line;
        while (std::getline(in, line)) {
            const auto at = line.find("RX ");
            if (at != std::string::npos) frames.push_back(line.substr(at + 3));
        }
        return frames;
    }

    static std::string Hex(const uint8_t* bytes, std::size_t count) {
        std::string text;
        char digits[4];
        for (std::size_t i = 0; i < count; ++i) {
            std::snprintf(digits, sizeof digits, i ? " %02X" : "%02X", bytes[i]);
            text += digits;
        }
        return text;
    }

private:
    std::string FDir;
    pid_t FPid = -1;
    int32_t FOpenPort = -1;
    int FSeq = 0;
};

}  // namespace quorin::test
