// Skin files the program must refuse, made at test time from a good packed skin: one per
// way a file can be unusable, each with the words its refusal must contain.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "skin/resources/Bitmap.h"
#include "skin/resources/Bmpfile.h"
#include "skin/resources/Skinread.h"
#include "skin/resources/Winconvert.h"

namespace quorin::testing {

struct TBrokenSkin {
    const char* Name;
    std::vector<uint8_t> Bytes;
    const char* Reason;  // a part of the refusal's reason
};

// The files of a packed skin, to be changed and packed again. Without WithSets, as a skin
// of one set: the pictures drawn for other scales and the description's line naming them
// left out (they are six times the rest, which every repacking would pay for).
inline std::vector<TSkinArchiveFile> SkinFiles(const std::vector<uint8_t>& packed, bool WithSets = false) {
    TSkinReader reader;
    std::vector<TSkinArchiveFile> files;
    if (!reader.Loadfromstream(packed.data(), packed.size())) return files;
    for (const std::string& name : reader.Names()) {
        if (!WithSets && TSkinReader::IsScaledPicture(name)) continue;
        TMemoryStream body;
        reader.readfile(name, body);
        files.push_back({name, body.Bytes()});
        if (WithSets || name.size() < 4 || name.compare(name.size() - 4, 4, ".ini") != 0) continue;
        std::string text(files.back().data.begin(), files.back().data.end());
        const size_t at = text.find("\nSets=");
        if (at != std::string::npos) text.erase(at + 1, text.find('\n', at + 1) - at);
        files.back().data.assign(text.begin(), text.end());
    }
    return files;
}

inline std::vector<uint8_t> Repack(const std::vector<TSkinArchiveFile>& files) {
    const std::vector<uint8_t> archive = BuildSkinArchive(files);
    return PackSkinBytes(archive.data(), archive.size());
}

inline std::vector<TBrokenSkin> MakeBrokenSkins(const std::vector<uint8_t>& good) {
    std::vector<TBrokenSkin> out;
    out.push_back({"empty", {}, "empty"});
    out.push_back({"short", {good.begin(), good.begin() + 3}, "too short"});
    std::vector<uint8_t> huge = good;
    huge[0] = 0xF0, huge[1] = 0xFF, huge[2] = 0xFF, huge[3] = 0x7F;
    out.push_back({"absurd-size", huge, "declares"});
    out.push_back({"truncated", {good.begin(), good.begin() + good.size() / 2}, "cut short"});
    // The bit stream replaced by other bytes of the same length.
    std::vector<uint8_t> garbage = good;
    uint32_t seed = 12345;
    for (size_t i = 4; i < garbage.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        garbage[i] = static_cast<uint8_t>(seed >> 16);
    }
    out.push_back({"codec-error", garbage, ""});

    const std::vector<TSkinArchiveFile> files = SkinFiles(good);
    std::vector<uint8_t> marked = BuildSkinArchive(files);
    marked[0] = 0x1F, marked[1] = 0x4E;  // 19999
    out.push_back({"wrong-mark", PackSkinBytes(marked.data(), marked.size()), "format mark 19999"});

    std::vector<TSkinArchiveFile> noFrame, hugeTitle, noDescription;
    for (const TSkinArchiveFile& f : files) {
        TSkinArchiveFile g = f;
        if (f.name.size() > 4 && f.name.compare(f.name.size() - 4, 4, ".ini") == 0) {
            std::string text(f.data.begin(), f.data.end()), kept;
            size_t at = 0;
            while (at < text.size()) {
                size_t end = text.find('\n', at);
                end = end == std::string::npos ? text.size() : end + 1;
                const std::string line = text.substr(at, end - at);
                const bool frameKey = line.rfind("Left=", 0) == 0 || line.rfind("Right=", 0) == 0 ||
                                      line.rfind("Top=", 0) == 0 || line.rfind("Bottom=", 0) == 0;
                if (!frameKey) kept += line;
                at = end;
            }
            g.data.assign(kept.begin(), kept.end());
            noFrame.push_back(g);
            hugeTitle.push_back(f);
            continue;
        }
        noFrame.push_back(f);
        noDescription.push_back(f);
        if (f.name == "frametop.bmp") {
            // Two stacked frames of 1500 pixels: a title strip taller than any screen.
            TBitmap tall(60, 3000);
            tall.Fill(0x804020);
            g.data = WriteBmp(tall);
        }
        hugeTitle.push_back(g);
    }
    out.push_back({"no-frame", Repack(noFrame), "names no picture for the frame"});
    out.push_back({"absurd-picture", Repack(hugeTitle), "frametop.bmp is 60 x 3000 pixels"});
    out.push_back({"no-description", Repack(noDescription), "no description"});
    return out;
}

}  // namespace quorin::testing
