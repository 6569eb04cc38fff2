// The serial channel: six plain C functions that open a serial port by number, keep one
// background reader per open port that fills a receive ring, and move raw bytes. The
// program exports them by name, so other programs can drive the converter through it.
//
// Every function returns 0 for failure (or 0 bytes) and never throws. Port numbers run
// from 0 to 23; every device has one channel, index 0. Any other port number or channel
// index is refused and touches nothing.
#pragma once

#include <stdint.h>

#if defined(_WIN32)
#define QUORIN_VCI_API __declspec(dllexport)
#else
#define QUORIN_VCI_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Opens port n at 115200 baud, 8 data bits, no parity, one stop bit, empties both driver
// queues and the receive ring, and starts the port's reader. 1 = open and reading.
QUORIN_VCI_API int32_t VCI_OpenDevice(int32_t port);

// Stops the reader, then closes the port. Always 1, also for a port that is not open.
QUORIN_VCI_API int32_t VCI_CloseDevice(int32_t port);

// Waits waitMs milliseconds, then moves up to count received bytes out of the ring, one
// byte per 32-bit element. Returns the number of bytes delivered.
QUORIN_VCI_API uint32_t VCI_ReadDevice(int32_t port, int32_t channel, uint32_t* elements, uint32_t count,
                                       uint32_t waitMs);

// Writes count bytes in one synchronous call. 1 = every byte written.
QUORIN_VCI_API int32_t _VCI_WriteDevice(int32_t port, const uint8_t* bytes, uint32_t count);

// Number of received bytes waiting in the ring.
QUORIN_VCI_API uint32_t VCI_GetReceiveNum(int32_t port, int32_t channel);

// Empties the receive ring. 1 = emptied.
QUORIN_VCI_API int32_t VCI_ClearBuffer(int32_t port, int32_t channel);

#ifdef __cplusplus
}
#endif
