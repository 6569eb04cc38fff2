// Whether a serial port of the channel can be opened, without opening it for use: the same
// checks as VCI_OpenDevice (a free slot, the port's claim, the device itself, its line
// settings), after which everything is released again at once. No reader is started, so
// nothing has to be stopped: listing the ports costs one open and close of each device.
#pragma once

#include <stdint.h>

namespace quorin {

// True when VCI_OpenDevice(port) would have opened the port at this moment. A port open
// in this program or another one, or one that does not exist, gives false.
bool ProbeSerialPort(int32_t port);

}  // namespace quorin
