#include "profile/ProfileFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorin::profile {

namespace {

std::string Reason(int error) { return std::strerror(error); }

}  // namespace

bool ReadProfileFile(const std::string& path, std::string& text, std::string& why, std::size_t maxSize) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        why = Reason(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        why = Reason(errno);
        ::close(fd);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        why = "it is a folder";
        ::close(fd);
        return false;
    }
    // A pipe (a script's <(...)) or a device is read as far as the bound, no further.
    if (S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_size) > maxSize) {
        why = TooLargeReason(maxSize);
        ::close(fd);
        return false;
    }
    text.clear();
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            why = Reason(errno);
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        // The file may have grown since it was measured.
        if (text.size() + static_cast<std::size_t>(n) > maxSize) {
            why = TooLargeReason(maxSize);
            ::close(fd);
            return false;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

bool SaveProfileFile(const std::string& path, const std::string& text, std::string& why) {
    static std::atomic<unsigned> counter{0};
    const std::string temp = path + "." + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        why = Reason(errno);
        return false;
    }
    auto fail = [&](int error) {
        why = Reason(error);
        ::close(fd);
        ::unlink(temp.c_str());
        return false;
    };
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return fail(n < 0 ? errno : EIO);
        done += static_cast<std::size_t>(n);
    }
    // On the disk before the name points at it, or a crash could leave an empty profile.
    if (::fsync(fd) != 0) return fail(errno);
    if (::close(fd) != 0) {
        why = Reason(errno);
        ::unlink(temp.c_str());
        return false;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        why = Reason(errno);
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace quorin::profile
