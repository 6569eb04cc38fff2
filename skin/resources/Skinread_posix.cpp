// Without a desktop the skin engine's operator messages go to standard error.
#include "skin/resources/Skinread.h"

#include <cstdio>

namespace quorin {

void DefaultSkinMessage(const std::string& text) {
    std::string line = text;
    for (char& c : line) {
        if (c == '\r') c = '\n';
    }
    std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace quorin
