// Where the native build finds port n. A Windows port is named by its number alone; on
// Linux the number maps to a device path, which tools and tests can point anywhere (a
// pseudo-terminal, a USB adapter). By default port n is /dev/ttyS(n-1), the usual
// numbering of PC serial ports where COM1 is the first; port 0 has no default device.
#pragma once

#include <cstdint>
#include <string>

namespace quorin {

// Sets the device of port n (0 to 23); an empty path means the port does not exist.
// Takes effect at the next VCI_OpenDevice of that port. False for a bad port number.
bool SetPortPath(int32_t port, const std::string& path);
// The current device of port n, or "" when there is none.
std::string PortPath(int32_t port);

}  // namespace quorin
