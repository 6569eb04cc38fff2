// Start-up timing for tools/bench_startup.sh: when the environment variable
// QUORIN_STARTUP_LOG names a file, the moment the first window of the program is painted
// is appended to it as "first-paint <microseconds since 1970-01-01 UTC>", and the first
// paint after the skin has taken the window over as "first-skinned-paint <...>". Without the
// variable nothing is installed and the program behaves exactly as it would otherwise.
//
// The steps of start-up are logged the same way, as "step <name> <microseconds>", kept in
// memory and written out with the first paint so that timing them costs no file access.
//
// With QUORIN_PAINT_CHECK=1 as well, the first paint of every window that can reach the
// screen is logged with whether the skin had the window whole then ("window-paint CLASS
// skinned|unskinned|half ..." for top-level windows, "control-paint CLASS ROOTCLASS
// unskinned" for a control painted natively inside a skinned window), for as long as the
// program runs. That check watches every message the program sends, so timing runs go
// without it.
#pragma once

namespace quorin {

// Call on the user-interface thread before the first window is created. Logs the
// process's creation time as step "process" and the call itself as step "entry".
void InstallFirstPaintLog();

// Marks the end of a start-up step; does nothing unless the log is on.
void LogStartupStep(const char* name);

}  // namespace quorin
