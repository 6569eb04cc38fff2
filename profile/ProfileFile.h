// Profile files on disk, as both programs keep them: read whole with a size bound, and
// written whole or not at all, so that a crash, a full disk or a vanished network share
// never leaves a half-written profile under the name of a good one.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>

namespace quorin::profile {

// A profile is a few kilobytes; anything far larger is not one and is not read into
// memory.
constexpr std::size_t kMaxProfileFileSize = 1024 * 1024;

// Reads the whole file at path (UTF-8). False when it cannot be opened or read, or is
// larger than maxSize; why then says so in a sentence fragment ("no such file", "larger
// than 1 MB") without the path.
bool ReadProfileFile(const std::string& path, std::string& text, std::string& why,
                     std::size_t maxSize = kMaxProfileFileSize);

// The same from an open stream (standard input): read up to maxSize bytes and no further.
bool ReadProfileStream(std::istream& in, std::string& text, std::string& why,
                       std::size_t maxSize = kMaxProfileFileSize);

// Makes text the whole content of the file at path (UTF-8): it is written to a new
// temporary file in the same folder and moved over the target in one step. False when
// any step fails; the target is then as it was, the temporary file is gone, and why
// says what went wrong, without the path.
bool SaveProfileFile(const std::string& path, const std::string& text, std::string& why);

// The reason ReadProfileFile gives for a file above maxSize.
std::string TooLargeReason(std::size_t maxSize);

}  // namespace quorin::profile
