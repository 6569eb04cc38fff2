// Any text: the reader either refuses it with ELayoutError or returns a tree that the
// writer writes and the reader takes back equal.
#include "forms/LayoutText.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    quorin::LayoutObject tree;
    try {
        tree = quorin::ParseLayout(text);
    } catch (const quorin::ELayoutError&) {
        return 0;
    }
    const quorin::LayoutObject again = quorin::ParseLayout(quorin::WriteLayout(tree));
    if (!(again == tree)) abort();
    return 0;
}
