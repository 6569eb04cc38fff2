// Ports as people name them on each system, mapped onto the serial channel's port numbers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorin::cli {

// The name a port is reported by: "COM3" for "com3" or "3" on Windows; a device path on
// Linux ("ttyUSB0" is /dev/ttyUSB0). Empty, with a reason, for a name that is no port.
std::string CanonicalPortName(const std::string& name, std::string& why);

// The channel's port number for a port, on a slot of its own: a Windows port is its COM
// number; a Linux path takes channel slot `slot` (each worker its own), so any path can
// be served. False with a reason when there is no such port number.
bool BindPort(const std::string& name, int32_t slot, int32_t& port, std::string& why);

// Why a port that failed to open did so, as far as can be told from outside.
std::string WhyNotOpen(const std::string& name);

// The ports present: on Windows COM0 to COM23 that open (the window's probe); on Linux the
// /dev/ttyUSB*, /dev/ttyACM* and /dev/ttyS* devices that open, and those of `extra` that
// open, in that order.
std::vector<std::string> PresentPorts(const std::vector<std::string>& extra);

// Whether a port is there for a probe: absent, free to open, or held by another program.
enum class TPortState { Absent, Free, Busy };
TPortState PortState(const std::string& name);

// The ports a probe looks at: those PresentPorts finds and those another program holds,
// then every one of `extra`, present or not, so that a named port gets its answer.
std::vector<std::string> ProbeCandidates(const std::vector<std::string>& extra);

}  // namespace quorin::cli
