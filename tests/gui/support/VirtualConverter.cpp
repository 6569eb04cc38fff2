#include "support/VirtualConverter.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "support/GuiHarness.h"

namespace quorin::gui {
namespace {

// Where tools/vconv-ports.sh keeps the converters' files, on Wine's drive Z:: the build's
// vconv folder, or the one of the test lane this program runs in (QUORIN_VCONV_DIR, set by
// tools/test.sh).
std::string ConverterDirectory() {
    const char* lane = std::getenv("QUORIN_VCONV_DIR");
    std::string dir =
        std::string("Z:") + (lane && *lane ? std::string(lane) : std::string(QUORIN_BINARY_DIR) + "/../vconv");
    std::replace(dir.begin(), dir.end(), '/', '\\');
    return dir;
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// A sequence number no earlier change used, also across test programs.
std::string NextSeq() {
    static std::atomic<unsigned> counter{0};
    return std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount()) + "-" +
           std::to_string(++counter);
}

}  // namespace

const std::vector<int>& ConverterPorts() {
    static const std::vector<int> ports = {0, 3, 7, 12, 23};
    return ports;
}

VirtualConverter::VirtualConverter(int port) : port_(port) {}

// Not "comN...": Windows reads any file named COM1 to COM9 as that serial port.
std::string VirtualConverter::FilePath(const std::string& suffix) const {
    return ConverterDirectory() + "\\port" + std::to_string(port_) + suffix;
}

bool VirtualConverter::Running() const { return !ReadLines(FilePath(".control.state")).empty(); }

bool VirtualConverter::Apply(const std::string& lines) {
    const std::string seq = NextSeq();
    const std::string temp = FilePath(".control.tmp");
    {
        std::ofstream out(temp, std::ios::trunc);
        out << lines << "\nseq=" << seq << "\n";
        if (!out) return false;
    }
    // Replaced in one step, so the converter never reads half a file.
    if (!MoveFileExW(Widen(temp).c_str(), Widen(FilePath(".control")).c_str(), MOVEFILE_REPLACE_EXISTING)) return false;
    return WaitUntil([&] {
        const auto state = ReadLines(FilePath(".control.state"));
        return std::find(state.begin(), state.end(), "seq=" + seq) != state.end();
    });
}

bool VirtualConverter::SetPresent(bool present) { return Apply(present ? "present=1" : "present=0"); }

bool VirtualConverter::SetFault(const std::string& mode, int lateMs) {
    return Apply("fault=" + mode + "\nlate-ms=" + std::to_string(lateMs));
}

bool VirtualConverter::SetBlock(const std::vector<uint8_t>& block) {
    std::string hex = "block=";
    char digits[4];
    for (size_t i = 0; i < block.size(); ++i) {
        std::snprintf(digits, sizeof digits, i ? " %02X" : "%02X", block[i]);
        hex += digits;
    }
    return Apply(hex);
}

bool VirtualConverter::Reset() { return Apply("fault=none\nlate-ms=500\nreset=1\npresent=1\nstop-output=0"); }

bool VirtualConverter::StopOutput(bool stop) { return Apply(std::string("stop-output=") + (stop ? "1" : "0")); }

std::vector<std::string> VirtualConverter::LogLines() const { return ReadLines(FilePath(".log")); }

void VirtualConverter::MarkLog() { mark_ = LogLines().size(); }

std::vector<std::string> VirtualConverter::FramesSinceMark() const {
    std::vector<std::string> frames;
    const auto lines = LogLines();
    for (size_t i = mark_; i < lines.size(); ++i) {
        // "<milliseconds> RX ..." or "<milliseconds> TX ..."
        const auto text = lines[i].find_first_not_of(" 0123456789");
        if (text == std::string::npos) continue;
        const std::string rest = lines[i].substr(text);
        if (rest.rfind("RX ", 0) == 0 || rest.rfind("TX ", 0) == 0) frames.push_back(rest);
    }
    return frames;
}

bool PresentPorts(std::initializer_list<int> ports) {
    bool ok = true;
    for (int port : ConverterPorts()) {
        VirtualConverter converter(port);
        const bool wanted = std::find(ports.begin(), ports.end(), port) != ports.end();
        ok = (wanted ? converter.Reset() : converter.SetPresent(false)) && ok;
    }
    return ok;
}

}  // namespace quorin::gui
