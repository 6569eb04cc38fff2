#include "profile/ProfileFile.h"

#include <istream>

namespace quorin::profile {

std::string TooLargeReason(std::size_t maxSize) {
    const std::string limit = maxSize % (1024 * 1024) == 0 ? std::to_string(maxSize / (1024 * 1024)) + " MB"
                                                           : std::to_string(maxSize) + " bytes";
    return "larger than " + limit + ", so not a profile";
}

bool ReadProfileStream(std::istream& in, std::string& text, std::string& why, std::size_t maxSize) {
    text.clear();
    char buffer[16384];
    while (in) {
        in.read(buffer, sizeof buffer);
        const auto n = static_cast<std::size_t>(in.gcount());
        if (text.size() + n > maxSize) {
            why = TooLargeReason(maxSize);
            text.clear();
            return false;
        }
        text.append(buffer, n);
    }
    if (in.bad()) {
        why = "it cannot be read";
        return false;
    }
    return true;
}

}  // namespace quorin::profile
