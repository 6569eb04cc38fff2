// "CANConfig.exe --version": the program is a GUI program, so the version is written to
// whatever standard output it was given (a pipe or file when redirected), or else to the
// console of the command prompt that started it; the window is not opened.
#pragma once

namespace quorin {

// True when the command line asks for the version; the version has then been written and
// the caller exits.
bool AnswerVersionOption();

}  // namespace quorin
