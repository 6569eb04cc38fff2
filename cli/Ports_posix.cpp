#include "cli/Ports.h"

#include <fcntl.h>
#include <glob.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "link/PortHolders.h"
#include "link/ReceiveRing.h"
#include "link/SerialPortPath.h"
#include "link/SerialProbe.h"

namespace quorin::cli {

std::string CanonicalPortName(const std::string& name, std::string& why) {
    if (name.empty()) {
        why = "an empty port name";
        return {};
    }
    if (name.find('/') != std::string::npos) return name;
    return "/dev/" + name;
}

bool BindPort(const std::string& name, int32_t slot, int32_t& port, std::string& why) {
    if (!ValidPort(slot)) {
        why = "too many ports in one call (at most " + std::to_string(kDeviceCount) + ")";
        return false;
    }
    SetPortPath(slot, name);
    port = slot;
    return true;
}

std::string WhyNotOpen(const std::string& name) {
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0)
        return errno == ENOENT ? "no such port" : std::string("cannot reach the port: ") + std::strerror(errno);
    if (!S_ISCHR(st.st_mode)) return "not a serial port";
    return "cannot open the port: another program holds it, access is denied, or it is not a serial line";
}

std::vector<std::string> PresentPorts(const std::vector<std::string>& extra) {
    std::vector<std::string> candidates;
    for (const char* pattern : {"/dev/ttyUSB*", "/dev/ttyACM*", "/dev/ttyS*"}) {
        glob_t found{};
        if (::glob(pattern, 0, nullptr, &found) == 0)
            for (std::size_t i = 0; i < found.gl_pathc; ++i) candidates.push_back(found.gl_pathv[i]);
        ::globfree(&found);
    }
    for (const auto& e : extra) {
        std::string why;
        const std::string path = CanonicalPortName(e, why);
        if (!path.empty() && std::find(candidates.begin(), candidates.end(), path) == candidates.end())
            candidates.push_back(path);
    }
    // Listed without being set up: a port that is found is only opened and closed again,
    // and one another program uses is not listed (PortState tells it apart).
    std::vector<std::string> present;
    const std::string keep = PortPath(0);
    for (const auto& path : candidates) {
        SetPortPath(0, path);
        if (ProbeSerialPort(0)) present.push_back(path);
    }
    SetPortPath(0, keep);
    return present;
}

TPortState PortState(const std::string& name) {
    const int fd = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == EBUSY || errno == EACCES ? TPortState::Busy : TPortState::Absent;
    // The channel holds its ports with an exclusive lock; a held lock is a busy port, and
    // so is a line another program keeps exclusive or simply has open.
    int exclusive = 0;
    const bool line = ::isatty(fd) != 0;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
                      (line && ::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0) ||
                      (line && HeldByAnotherProgram(fd, TScanAge::Recent));
    ::close(fd);
    if (held) return TPortState::Busy;
    return line ? TPortState::Free : TPortState::Absent;
}

std::vector<std::string> ProbeCandidates(const std::vector<std::string>& extra) {
    // The ports that open, and those another program holds.
    std::vector<std::string> candidates = PresentPorts({});
    for (const char* pattern : {"/dev/ttyUSB*", "/dev/ttyACM*", "/dev/ttyS*"}) {
        glob_t found{};
        if (::glob(pattern, 0, nullptr, &found) == 0)
            for (std::size_t i = 0; i < found.gl_pathc; ++i)
                if (PortState(found.gl_pathv[i]) == TPortState::Busy) candidates.push_back(found.gl_pathv[i]);
        ::globfree(&found);
    }
    for (const auto& e : extra)
        if (std::find(candidates.begin(), candidates.end(), e) == candidates.end()) candidates.push_back(e);
    return candidates;
}

}  // namespace quorin::cli
