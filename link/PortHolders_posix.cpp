#include "link/PortHolders.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sys/sysmacros.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace quorin {
namespace {

// The pseudo-terminal number a controlling-side descriptor serves, or -1 for any other
// descriptor; the kernel states it in the descriptor's information file.
int ControllingIndex(const std::string& infoPath) {
    std::FILE* f = std::fopen(infoPath.c_str(), "r");
    if (f == nullptr) return -1;
    char line[128];
    int index = -1;
    while (std::fgets(line, sizeof line, f) != nullptr)
        if (std::strncmp(line, "tty-index:", 10) == 0) index = std::atoi(line + 10);
    std::fclose(f);
    return index;
}

bool IsDigits(const char* s) {
    if (*s == '\0') return false;
    for (; *s != '\0'; ++s)
        if (*s < '0' || *s > '9') return false;
    return true;
}

// What one process has open: terminal devices, and the pseudo-terminals whose
// controlling side it holds.
struct TProcessTerminals {
    std::vector<dev_t> Devices;
    std::vector<int> Controlling;
};

std::vector<TProcessTerminals> ScanProcesses() {
    std::vector<TProcessTerminals> all;
    const std::string self = std::to_string(getpid());
    DIR* proc = opendir("/proc");
    if (proc == nullptr) return all;
    while (dirent* p = readdir(proc)) {
        if (!IsDigits(p->d_name) || self == p->d_name) continue;
        const std::string pid = p->d_name;
        const std::string fdDir = "/proc/" + pid + "/fd";
        DIR* d = opendir(fdDir.c_str());
        if (d == nullptr) continue;
        TProcessTerminals found;
        while (dirent* e = readdir(d)) {
            if (!IsDigits(e->d_name)) continue;
            struct stat st {};
            if (stat((fdDir + "/" + e->d_name).c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) continue;
            if (st.st_rdev == makedev(5, 2)) {
                const int index = ControllingIndex("/proc/" + pid + "/fdinfo/" + e->d_name);
                if (index >= 0) found.Controlling.push_back(index);
            } else {
                found.Devices.push_back(st.st_rdev);
            }
        }
        closedir(d);
        if (!found.Devices.empty()) all.push_back(std::move(found));
    }
    closedir(proc);
    return all;
}

// A listing of every process's descriptors costs a few thousand system calls; the ports
// of one listing or probe are checked against one scan, taken again once it is this old.
constexpr auto kScanLifetime = std::chrono::milliseconds(250);

}  // namespace

bool HeldByAnotherProgram(int fd, TScanAge age) {
    struct stat own {};
    if (fstat(fd, &own) != 0 || !S_ISCHR(own.st_mode)) return false;
    // Only the terminal side of a pseudo-terminal has a far end in another process (the
    // multiplexer's descriptors, device 5,2); its number is the one in its name.
    int ptyIndex = -1;
    char name[64] = {};
    if (ttyname_r(fd, name, sizeof name) == 0 && std::strncmp(name, "/dev/pts/", 9) == 0)
        ptyIndex = std::atoi(name + 9);

    auto heldIn = [&](const std::vector<TProcessTerminals>& processes) {
        for (const TProcessTerminals& p : processes) {
            const bool holds = std::find(p.Devices.begin(), p.Devices.end(), own.st_rdev) != p.Devices.end();
            const bool farEnd =
                ptyIndex >= 0 && std::find(p.Controlling.begin(), p.Controlling.end(), ptyIndex) != p.Controlling.end();
            if (holds && !farEnd) return true;
        }
        return false;
    };
    // A recent scan may answer "free" where the caller allows it; "held" is always
    // confirmed by a fresh one (begun after this call), so a port whose holder has just
    // let go is not reported busy. Calls that want a fresh scan while one is under way
    // wait for the next one and share it: the ports of one probe are opened together.
    using TClock = std::chrono::steady_clock;
    static std::mutex lock;
    static std::condition_variable finished;
    static std::vector<TProcessTerminals> recent;
    static TClock::time_point taken{};  // when the scan in `recent` began
    static bool scanning = false;
    const TClock::time_point called = TClock::now();
    std::unique_lock<std::mutex> hold(lock);
    if (age == TScanAge::Recent && called - taken <= kScanLifetime && !heldIn(recent)) return false;
    while (taken < called) {
        if (scanning) {
            finished.wait(hold);
            continue;
        }
        scanning = true;
        const TClock::time_point begun = TClock::now();
        hold.unlock();
        std::vector<TProcessTerminals> fresh;
        try {
            fresh = ScanProcesses();
        } catch (...) {
            // Without memory for the listing nobody is seen; the claim still guards the port.
        }
        hold.lock();
        recent = std::move(fresh);
        taken = begun;
        scanning = false;
        finished.notify_all();
    }
    return heldIn(recent);
}

}  // namespace quorin
