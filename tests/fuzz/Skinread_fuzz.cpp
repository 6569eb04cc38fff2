// The skin archive reader on hostile bytes, both as an unpacked archive and as a packed
// skin; every file it lists must be readable within the bytes it was given.
#include "skin/resources/Skinread.h"

#include <cstdlib>

using namespace quorin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = [] {
        SetSkinMessageHandler([](const std::string&) {});
        return true;
    }();
    (void)quiet;

    TSkinReader reader;
    reader.MaxUnpackedSize = 1 << 16;
    for (int pass = 0; pass < 2; ++pass) {
        const bool ok = pass == 0 ? reader.LoadArchive(data, size) : reader.Loadfromstream(data, size);
        if (!ok) {
            if (reader.Count() != 0) std::abort();
            continue;
        }
        // An unpacked archive may be larger than its packed form, never above the limit.
        const int64_t bound = pass == 0 ? static_cast<int64_t>(size) : reader.MaxUnpackedSize;
        TMemoryStream out;
        for (int i = 0; i < reader.Count(); ++i) {
            reader.readfile(reader.Names()[static_cast<size_t>(i)], out);
            if (out.Size() > bound) std::abort();
        }
        std::string name;
        reader.readIni(".ini", out, name);
    }
    return 0;
}
