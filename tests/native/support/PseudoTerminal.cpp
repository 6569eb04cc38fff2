#include "support/PseudoTerminal.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace quorin::test {

TPseudoTerminal::TPseudoTerminal(TStart start) {
    FMaster = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (FMaster < 0 || grantpt(FMaster) != 0 || unlockpt(FMaster) != 0) throw std::runtime_error("no pseudo-terminal");
    char name[128] = {};
    if (ptsname_r(FMaster, name, sizeof name) != 0) throw std::runtime_error("no pseudo-terminal name");
    FPath = name;
    if (start == TStart::AsFound) return;
    termios tio{};
    tcgetattr(FMaster, &tio);
    cfmakeraw(&tio);
    tcsetattr(FMaster, TCSANOW, &tio);
}

TPseudoTerminal::~TPseudoTerminal() {
    if (FMaster >= 0) close(FMaster);
}

void TPseudoTerminal::Send(const std::vector<uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(FMaster, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
            throw std::runtime_error("pseudo-terminal write failed");
        } else {
            pollfd p{FMaster, POLLOUT, 0};
            poll(&p, 1, 100);
        }
    }
}

std::vector<uint8_t> TPseudoTerminal::Receive(std::size_t count, std::chrono::milliseconds timeout) {
    std::vector<uint8_t> got;
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (got.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p{FMaster, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
        uint8_t buffer[4096];
        const ssize_t n = read(FMaster, buffer, std::min(sizeof buffer, count - got.size()));
        if (n > 0)
            got.insert(got.end(), buffer, buffer + n);
        else if (n < 0 && errno == EIO)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));  // no opener yet
    }
    return got;
}

namespace {
int CountEntries(const char* dir) {
    int n = 0;
    if (DIR* d = opendir(dir)) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') ++n;
        closedir(d);
    }
    return n;
}
}  // namespace

int ThreadCount() { return CountEntries("/proc/self/task"); }
int OpenFdCount() { return CountEntries("/proc/self/fd") - 1; }  // less the listing's own

}  // namespace quorin::test
