#include "profile/ProfileFile.h"

namespace quorin::profile {

std::string TooLargeReason(std::size_t maxSize) {
    const std::string limit = maxSize % (1024 * 1024) == 0 ? std::to_string(maxSize / (1024 * 1024)) + " MB"
                                                           : std::to_string(maxSize) + " bytes";
    return "larger than " + limit + ", so not a profile";
}

}  // namespace quorin::profile
