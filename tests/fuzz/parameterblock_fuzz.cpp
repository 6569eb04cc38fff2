// Any 240 bytes a device may answer: showing them never fails or reads past the block,
// and building a block from the page that shows them either works or stops with the
// conversion error; a block so built, shown and built again, comes out the same.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "forms/SysUtils.h"
#include "link/CANConfigReadParameter.h"
#include "link/CANConfigWriteParameter.h"
#include "tests/native/support/FakeParameterPage.h"

// A device answers exactly one block; longer inputs would only repeat this one.
constexpr size_t kMaxInput = 240;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorin;
    if (size > kMaxInput) return 0;
    TParameterBlock block{};
    std::memcpy(block.data(), data, std::min(size, block.size()));

    test::TFakeParameterPage page;
    ShowDeviceParameter(0, page, block);
    if (page.Lists["ListViewVandrelBasicInfo"].size() != 6) std::abort();
    if (page.Lists["ListViewVandrelFrameID"].size() > kMaxFilterEntries) std::abort();

    TParameterBlock built;
    try {
        built = CollectParameterBlock(0, page);
    } catch (const EConvertError&) {
        return 0;  // e.g. an identifier length outside the box's items leaves its text empty
    }
    if (!VerifyParameterChecksum(built.data(), built.size())) std::abort();
    test::TFakeParameterPage again;
    ShowDeviceParameter(0, again, built);
    if (CollectParameterBlock(0, again) != built) std::abort();
    return 0;
}
