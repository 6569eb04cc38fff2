// What the Win32 back end of the serial channel lets a test replace: the reader's read
// call, so that a driver whose read blocks (and will not be cancelled) can be played.
#pragma once

#include <windows.h>

namespace quorin {

using TPortReadCall = BOOL(WINAPI*)(HANDLE port, LPVOID buffer, DWORD count, LPDWORD got, LPOVERLAPPED overlapped);

// The reader of every port opened from now on reads through `call` (nullptr: ReadFile
// again).
// Returns the call in use before.
TPortReadCall SetPortReadCall(TPortReadCall call);

}  // namespace quorin
