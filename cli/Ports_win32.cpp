#include "cli/Ports.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

#include "forms/Handles.h"
#include "link/ReceiveRing.h"
#include "link/SerialProbe.h"

namespace quorin::cli {

namespace {

// "COM3", "com3" or "3"; -1 for anything else.
int32_t PortNumber(const std::string& name) {
    std::size_t i = 0;
    if (name.size() > 3 && std::toupper(static_cast<unsigned char>(name[0])) == 'C' &&
        std::toupper(static_cast<unsigned char>(name[1])) == 'O' &&
        std::toupper(static_cast<unsigned char>(name[2])) == 'M')
        i = 3;
    if (i == name.size() || name.size() - i > 2) return -1;
    int32_t n = 0;
    for (; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return -1;
        n = n * 10 + (name[i] - '0');
    }
    return ValidPort(n) ? n : -1;
}

}  // namespace

std::string CanonicalPortName(const std::string& name, std::string& why) {
    const int32_t n = PortNumber(name);
    if (n < 0) {
        why = "'" + name + "' is not a port name (COM0 to COM23)";
        return {};
    }
    return "COM" + std::to_string(n);
}

bool BindPort(const std::string& name, int32_t, int32_t& port, std::string& why) {
    port = PortNumber(name);
    if (port >= 0) return true;
    why = "'" + name + "' is not a port name (COM0 to COM23)";
    return false;
}

std::string WhyNotOpen(const std::string&) {
    return "cannot open the port: it does not exist, or another program holds it";
}

std::vector<std::string> PresentPorts(const std::vector<std::string>&) {
    // Listed without being set up: each port found is only opened and closed again.
    std::vector<std::string> present;
    for (int32_t n = 0; n < kDeviceCount; ++n)
        if (ProbeSerialPort(n)) present.push_back("COM" + std::to_string(n));
    return present;
}

TPortState PortState(const std::string& name) {
    const int32_t n = PortNumber(name);
    if (n < 0) return TPortState::Absent;
    // The channel's claim on a port, which it takes where a driver shares the device.
    const std::wstring claimName = L"Local\\QuorinSerialPort" + std::to_wstring(n);
    if (const TKernelHandle claim(OpenMutexW(SYNCHRONIZE, FALSE, claimName.c_str())); claim) return TPortState::Busy;
    const std::string device = "\\\\.\\COM" + std::to_string(n);
    const TKernelHandle port(
        CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (port) return TPortState::Free;
    const DWORD error = GetLastError();
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ? TPortState::Busy : TPortState::Absent;
}

std::vector<std::string> ProbeCandidates(const std::vector<std::string>& extra) {
    // The ports the window's scan finds, and those another program holds.
    std::vector<std::string> candidates;
    for (int32_t n = 0; n < kDeviceCount; ++n) {
        const std::string name = "COM" + std::to_string(n);
        if (ProbeSerialPort(n)) {
            candidates.push_back(name);
        } else if (PortState(name) == TPortState::Busy) {
            candidates.push_back(name);
        }
    }
    for (const auto& e : extra)
        if (std::find(candidates.begin(), candidates.end(), e) == candidates.end()) candidates.push_back(e);
    return candidates;
}

}  // namespace quorin::cli
