// Command buttons that only note what a transaction did to them.
#pragma once

#include <string>
#include <vector>

#include "link/CANConfigReadParameter.h"

namespace quorin::test {

class TRecordingButtons : public TCommandButtons {
public:
    std::vector<std::string> Calls;
    void DisableCommandButtons() override { Calls.push_back("disable"); }
    void EnableCommandButtons() override { Calls.push_back("enable"); }
};

}  // namespace quorin::test
