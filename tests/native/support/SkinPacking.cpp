#include "support/SkinPacking.h"

#include "skin/resources/Bmpfile.h"
#include "skin/resources/Skinread.h"
#include "skin/resources/Winconvert.h"

namespace quorin::testing {

Bytes MakeBmp(int width, int height, const std::function<int32_t(int x, int y)>& pixel) {
    TBitmap b(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) b.SetPixel(x, y, pixel(x, y));
    return WriteBmp(b);
}

Bytes MakeBmp(int width, int height, int32_t fill) {
    return MakeBmp(width, height, [fill](int, int) { return fill; });
}

Bytes MakeSkinArchive(const std::vector<std::pair<std::string, Bytes>>& files) {
    std::vector<TSkinArchiveFile> entries;
    for (const auto& f : files) entries.push_back({f.first, f.second});
    return BuildSkinArchive(entries);
}

Bytes PackSkin(const Bytes& archive) { return PackSkinBytes(archive.data(), archive.size()); }

Bytes MakePackedSkin(const std::string& description, const std::vector<std::pair<std::string, Bytes>>& files) {
    std::vector<std::pair<std::string, Bytes>> all = files;
    all.emplace_back("skin.ini", Bytes(description.begin(), description.end()));
    return PackSkin(MakeSkinArchive(all));
}

}  // namespace quorin::testing
