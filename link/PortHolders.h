// Whether a terminal device is in use by another program. A serial line has no lock that
// every program honours: a login prompt, a modem daemon or a terminal program may hold it
// without any claim this tool could see. The one sure sign is an open descriptor of the
// device in another process, so that is what is looked for (POSIX systems with /proc).
#pragma once

namespace quorin {

// How old the look at the processes may be: Fresh before a line is set up; Recent (at
// most a quarter of a second, so that listing many ports costs one look) where the
// answer only decides what is listed. A "held" answer is always fresh.
enum class TScanAge { Fresh, Recent };

// True when a process other than this one has the device of `fd` open, leaving out a
// process that holds the controlling side of the same pseudo-terminal: that one is the
// line's far end (the device it plays), not another user of the line. Processes whose
// descriptors cannot be read (another user's, without the right to) are not seen.
bool HeldByAnotherProgram(int fd, TScanAge age);

}  // namespace quorin
