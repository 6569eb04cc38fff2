// A name for this test process's files that no test program running at the same time in
// another Wine session uses: Wine sessions hand out the same process ids.
#pragma once

#include <windows.h>

#include <random>
#include <string>

namespace quorin {

inline std::string RunId() {
    static const std::string id = [] {
        LARGE_INTEGER now{};
        QueryPerformanceCounter(&now);
        return std::to_string(GetCurrentProcessId()) + "-" + std::to_string(now.QuadPart % 1000000007) + "-" +
               std::to_string(std::random_device{}());
    }();
    return id;
}

}  // namespace quorin
