// vconv: the virtual converter. Plays the QUORIN-Q1 on a pseudo-terminal (or a given
// serial device), so the tool and its tests can run without hardware.
//
//   vconv [--link PATH] [--device PATH] [--log FILE] [--control FILE]
//         [--fault MODE] [--late-ms N] [--as-found]
//
// A pseudo-terminal is made raw unless --as-found leaves it as the kernel makes it
// (canonical lines, echo, XON/XOFF), the way a serial device comes before a program sets it up.
// It prints the device path it serves on the first line of its output. --link publishes
// that path as a symbolic link (a Wine prefix's dosdevices/comN can point at it). --control
// names a file of key=value lines that it re-reads while running:
//   fault=none|silent|short|long|checksum|late|corrupt|noise|hangup|xoff
//   late-ms=N       delay of the late answer
//   present=0|1     0 removes the published link (the port vanishes), 1 brings it back
//   reset=1         back to the default block
//   stop-output=0|1 1 stops the host's output on the line (a pseudo-terminal only), as an
//                   XOFF does on a line that obeys it; the host's writes stall
//   block=HEX       hold these 240 bytes (hexadecimal, blank-separated) from now on;
//                   applied after reset
//   seq=N           a change is applied once per new seq; the converter then writes
//                   FILE.state with the applied values and the same seq
// Every frame received and sent is logged in hexadecimal, one line each.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "VirtualConverter.h"

using namespace quorin::vconv;

namespace {

volatile sig_atomic_t GStop = 0;
void OnSignal(int) { GStop = 1; }

struct TOptions {
    std::string Link, Device, Log, Control;
    TFault Fault = TFault::None;
    int LateMs = 500;
    bool AsFound = false;
};

[[noreturn]] void Usage(const char* why) {
    std::fprintf(stderr,
                 "vconv: %s\nusage: vconv [--link PATH] [--device PATH] [--log FILE] [--control FILE] "
                 "[--fault MODE] [--late-ms N] [--as-found]\n",
                 why);
    std::exit(2);
}

TOptions ParseOptions(int argc, char** argv) {
    TOptions o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) Usage(("missing value for " + a).c_str());
            return argv[++i];
        };
        if (a == "--link")
            o.Link = value();
        else if (a == "--device")
            o.Device = value();
        else if (a == "--log")
            o.Log = value();
        else if (a == "--control")
            o.Control = value();
        else if (a == "--as-found")
            o.AsFound = true;
        else if (a == "--late-ms")
            o.LateMs = std::atoi(value().c_str());
        else if (a == "--fault") {
            const auto f = ParseFault(value());
            if (!f) Usage("unknown fault mode");
            o.Fault = *f;
        } else
            Usage(("unknown option " + a).c_str());
    }
    return o;
}

class TLog {
public:
    explicit TLog(const std::string& path) {
        if (!path.empty()) FFile = std::fopen(path.c_str(), "a");
        FStart = TClock::now();
    }
    ~TLog() {
        if (FFile) std::fclose(FFile);
    }
    void Line(const std::string& text) {
        if (!FFile) return;
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - FStart).count();
        std::fprintf(FFile, "%8lld %s\n", static_cast<long long>(ms), text.c_str());
        std::fflush(FFile);
    }

private:
    std::FILE* FFile = nullptr;
    TClock::time_point FStart;
};

void MakeRaw(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return;
    cfmakeraw(&tio);
    cfsetispeed(&tio, B115200);
    cfsetospeed(&tio, B115200);
    tcsetattr(fd, TCSANOW, &tio);
}

// The line: the controlling side of a pseudo-terminal, or a device given by path.
class TLine {
public:
    ~TLine() { Close(); }
    bool OpenPty(bool raw) {
        Close();
        FFd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (FFd < 0 || grantpt(FFd) != 0 || unlockpt(FFd) != 0) return Fail();
        char name[128] = {};
        if (ptsname_r(FFd, name, sizeof name) != 0) return Fail();
        FPath = name;
        // Holding the terminal side ourselves keeps the line up between the host's opens;
        // otherwise every close of the port would show here as a hang-up.
        FHeld = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (raw) MakeRaw(FFd);
        return true;
    }
    bool OpenDevice(const std::string& path) {
        Close();
        FFd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (FFd < 0) return Fail();
        MakeRaw(FFd);
        FPath = path;
        return true;
    }
    void Close() {
        if (FHeld >= 0) ::close(FHeld);
        if (FFd >= 0) ::close(FFd);
        FFd = FHeld = -1;
    }
    bool Up() const { return FFd >= 0; }
    // Stops or restarts what the host sends, on the terminal side we hold.
    void StopHostOutput(bool stop) {
        if (FHeld >= 0) tcflow(FHeld, stop ? TCOOFF : TCOON);
    }
    int Fd() const { return FFd; }
    const std::string& Path() const { return FPath; }
    void Send(const std::vector<uint8_t>& bytes) {
        std::size_t done = 0;
        while (done < bytes.size() && FFd >= 0) {
            const ssize_t n = ::write(FFd, bytes.data() + done, bytes.size() - done);
            if (n > 0)
                done += static_cast<std::size_t>(n);
            else if (n < 0 && errno != EAGAIN && errno != EINTR)
                return;
            else {
                pollfd p{FFd, POLLOUT, 0};
                if (poll(&p, 1, 1000) <= 0) return;  // nobody drains the line
            }
        }
    }

private:
    bool Fail() {
        Close();
        return false;
    }
    int FFd = -1, FHeld = -1;
    std::string FPath;
};

// Publishes the line's path as a symbolic link, replaced atomically.
void Publish(const std::string& link, const std::string& target) {
    if (link.empty()) return;
    const std::string temp = link + ".new";
    ::unlink(temp.c_str());
    if (::symlink(target.c_str(), temp.c_str()) == 0) ::rename(temp.c_str(), link.c_str());
}

void Withdraw(const std::string& link) {
    if (!link.empty()) ::unlink(link.c_str());
}

std::map<std::string, std::string> ReadKeyValues(const std::string& path) {
    std::map<std::string, std::string> values;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        auto trim = [](std::string s) {
            const auto b = s.find_first_not_of(" \t\r");
            const auto e = s.find_last_not_of(" \t\r");
            return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
        };
        values[trim(line.substr(0, eq))] = trim(line.substr(eq + 1));
    }
    return values;
}

void WriteFileAtomically(const std::string& path, const std::string& text) {
    const std::string temp = path + ".new";
    {
        std::ofstream out(temp, std::ios::trunc);
        out << text;
    }
    ::rename(temp.c_str(), path.c_str());
}

struct TPendingSend {
    std::vector<uint8_t> Bytes;
    TClock::time_point Due;
};

class TRunner {
public:
    explicit TRunner(TOptions options) : FOptions(std::move(options)), FLog(FOptions.Log) {
        FConverter.SetFault(FOptions.Fault);
        FConverter.SetLateDelay(std::chrono::milliseconds(FOptions.LateMs));
    }

    int Run() {
        if (!BringUp()) {
            std::fprintf(stderr, "vconv: cannot open %s: %s\n",
                         FOptions.Device.empty() ? "a pseudo-terminal" : FOptions.Device.c_str(), std::strerror(errno));
            return 1;
        }
        std::printf("%s\n", FLine.Path().c_str());
        std::fflush(stdout);
        WriteState();
        ApplyControl();
        while (!GStop) {
            pollfd p{FLine.Fd(), POLLIN, 0};
            const int timeout = NextTimeout();
            const int ready = FLine.Up() ? poll(&p, 1, timeout) : poll(nullptr, 0, timeout);
            const auto now = TClock::now();
            if (ready > 0 && (p.revents & POLLIN)) {
                uint8_t buffer[4096];
                const ssize_t n = ::read(FLine.Fd(), buffer, sizeof buffer);
                if (n > 0) Perform(FConverter.Receive(buffer, static_cast<std::size_t>(n), now));
            } else if (ready > 0) {
                poll(nullptr, 0, 20);  // a device that hung up reports so at once: do not spin
            }
            Perform(FConverter.Tick(now));
            SendDue(now);
            ApplyControl();
        }
        Withdraw(FOptions.Link);
        FLog.Line("-- stopped");
        return 0;
    }

private:
    bool BringUp() {
        const bool ok = FOptions.Device.empty() ? FLine.OpenPty(!FOptions.AsFound) : FLine.OpenDevice(FOptions.Device);
        if (!ok) return false;
        FLog.Line("-- line " + FLine.Path());
        if (FPresent) Publish(FOptions.Link, FLine.Path());
        return true;
    }

    void HangUp() {
        FLog.Line("-- hang-up: line dropped");
        FQueue.clear();
        Withdraw(FOptions.Link);
        FLine.Close();
        FPresent = false;
        WriteState();
    }

    void Perform(const std::vector<TAction>& actions) {
        for (const auto& a : actions) {
            switch (a.Kind) {
            case TAction::TKind::Log: FLog.Line(a.Text); break;
            case TAction::TKind::Send: FQueue.push_back({a.Bytes, a.Due}); break;
            case TAction::TKind::HangUp: HangUp(); return;
            }
        }
    }

    void SendDue(TClock::time_point now) {
        while (!FQueue.empty() && FQueue.front().Due <= now) {
            const auto bytes = std::move(FQueue.front().Bytes);
            FQueue.pop_front();
            FLog.Line("TX " + Hex(bytes.data(), bytes.size()));
            FLine.Send(bytes);
        }
    }

    int NextTimeout() const {
        int timeout = 20;  // also the control file's polling period
        if (!FQueue.empty()) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(FQueue.front().Due - TClock::now()).count();
            timeout = std::max(0, std::min<int>(timeout, static_cast<int>(left)));
        }
        return timeout;
    }

    void ApplyControl() {
        if (FOptions.Control.empty()) return;
        struct stat st {};
        if (::stat(FOptions.Control.c_str(), &st) != 0) return;
        auto values = ReadKeyValues(FOptions.Control);
        const std::string seq = values["seq"];
        if (FApplied && seq == FSeq) return;
        FApplied = true;
        FSeq = seq;
        if (!values["fault"].empty()) {
            if (const auto f = ParseFault(values["fault"])) FConverter.SetFault(*f);
        }
        if (!values["late-ms"].empty())
            FConverter.SetLateDelay(std::chrono::milliseconds(std::atoi(values["late-ms"].c_str())));
        if (values["reset"] == "1") FConverter.ResetBlock();
        if (!values["block"].empty()) {
            if (const auto block = ParseBlock(values["block"]))
                FConverter.SetBlock(*block);
            else
                FLog.Line("-- control block ignored: not 240 hexadecimal bytes");
        }
        if (!values["present"].empty()) FPresent = values["present"] != "0";
        if (!values["stop-output"].empty()) FLine.StopHostOutput(values["stop-output"] == "1");
        // A dropped line comes back as a new one when the port is to be present again.
        if (FPresent && !FLine.Up()) BringUp();
        if (FPresent && FLine.Up()) Publish(FOptions.Link, FLine.Path());
        if (!FPresent) Withdraw(FOptions.Link);
        FLog.Line("-- control seq=" + FSeq + " fault=" + FaultName(FConverter.Fault()) +
                  " present=" + (FPresent ? "1" : "0"));
        WriteState();
    }

    // What the converter is doing now, for whoever controls it: FILE.state beside the
    // control file, replaced atomically.
    void WriteState() {
        if (FOptions.Control.empty()) return;
        WriteFileAtomically(FOptions.Control + ".state", "seq=" + FSeq + "\nfault=" + FaultName(FConverter.Fault()) +
                                                             "\npresent=" + (FPresent ? "1" : "0") +
                                                             "\npath=" + (FLine.Up() ? FLine.Path() : "") + "\n");
    }

    TOptions FOptions;
    TLog FLog;
    TLine FLine;
    TVirtualConverter FConverter;
    std::deque<TPendingSend> FQueue;
    bool FPresent = true;
    bool FApplied = false;
    std::string FSeq;
};

}  // namespace

int main(int argc, char** argv) {
    TOptions options = ParseOptions(argc, argv);
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);
    return TRunner(std::move(options)).Run();
}
