// Skin files made to eat memory or time, made at test time from the built-in skin: a
// negative margin on a tiled element, pictures that declare more pixels than a skin may
// have, and hundreds of caption buttons naming one large picture. Each says what the skin
// check must report about it and whether the program may still use it (with the value
// bounded).
#pragma once

#include <cctype>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/common/BrokenSkins.h"

namespace quorin::testing {

struct THostileSkin {
    const char* Name;
    std::vector<uint8_t> Bytes;
    const char* Finding;  // a part of what the check reports
    bool Usable;
};

// A run-length coded 8-bit BMP of width x height in one colour. With `rows` false the
// file ends right after the header: a few bytes that declare the whole size.
inline std::vector<uint8_t> RunLengthBmp(int32_t width, int32_t height, bool rows) {
    std::vector<uint8_t> data;
    if (rows) {
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t left = width; left > 0; left -= 255) {
                data.push_back(static_cast<uint8_t>(left > 255 ? 255 : left));
                data.push_back(0);
            }
            data.push_back(0);
            data.push_back(y + 1 == height ? 1 : 0);  // end of line, or of the picture
        }
    } else {
        data = {0, 1};
    }
    std::vector<uint8_t> out;
    auto put = [&](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    const uint32_t offBits = 14 + 40 + 4;
    out.push_back('B');
    out.push_back('M');
    put(offBits + static_cast<uint32_t>(data.size()), 4);
    put(0, 4);
    put(offBits, 4);
    put(40, 4);
    put(static_cast<uint32_t>(width), 4);
    put(static_cast<uint32_t>(height), 4);
    put(1, 2);
    put(8, 2);
    put(1, 4);  // run-length coded, 8 bits
    put(static_cast<uint32_t>(data.size()), 4);
    put(0, 4);
    put(0, 4);
    put(1, 4);  // one palette entry
    put(0, 4);
    put(0x00804020, 4);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

// The description with `key` of `section` set to `value` (every earlier line of that key
// in the section removed), and extra text appended.
inline std::string SetIniKey(std::string text, const std::string& section, const std::string& key,
                             const std::string& value) {
    const std::string head = "[" + section + "]";
    size_t at = text.find(head);
    if (at == std::string::npos) return text;
    at = text.find('\n', at) + 1;
    size_t end = text.find("\n[", at);
    end = end == std::string::npos ? text.size() : end + 1;
    std::string body = text.substr(at, end - at), kept;
    size_t pos = 0;
    while (pos < body.size()) {
        size_t eol = body.find('\n', pos);
        eol = eol == std::string::npos ? body.size() : eol + 1;
        const std::string line = body.substr(pos, eol - pos);
        std::string lower = line;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::string lowerKey = key + "=";
        for (char& c : lowerKey) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower.rfind(lowerKey, 0) != 0) kept += line;
        pos = eol;
    }
    return text.substr(0, at) + key + "=" + value + "\n" + kept + text.substr(end);
}

inline std::vector<uint8_t> EditSkin(const std::vector<uint8_t>& good, const std::function<void(std::string&)>& edit,
                                     const std::vector<TSkinArchiveFile>& extra = {}) {
    std::vector<TSkinArchiveFile> files = SkinFiles(good);
    for (TSkinArchiveFile& f : files)
        if (f.name == "skin.ini") {
            std::string text(f.data.begin(), f.data.end());
            edit(text);
            f.data.assign(text.begin(), text.end());
        }
    for (const TSkinArchiveFile& f : extra) {
        bool replaced = false;
        for (TSkinArchiveFile& g : files)
            if (g.name == f.name) g = f, replaced = true;
        if (!replaced) files.push_back(f);
    }
    return Repack(files);
}

// From the built-in skin (default.skn).
inline std::vector<THostileSkin> MakeHostileSkins(const std::vector<uint8_t>& good) {
    std::vector<THostileSkin> out;
    out.push_back({"negative-tiled-margin",
                   EditSkin(good,
                            [](std::string& t) {
                                t = SetIniKey(t, "Buttons", "LeftWidth", "-16777216");
                                t = SetIniKey(t, "Buttons", "Tile", "1");
                            }),
                   "[Buttons] leftwidth=-16777216 is negative", true});
    out.push_back({"negative-position",
                   EditSkin(good,
                            [](std::string& t) {
                                t = SetIniKey(t, "Button0", "XCoord", "-100000");
                                t = SetIniKey(t, "Personality", "TopTopHeight", "-5000");
                            }),
                   "[Button0] xcoord=-100000 is negative", true});
    out.push_back({"huge-declared-picture",
                   EditSkin(good, [](std::string&) {}, {{"button.bmp", RunLengthBmp(4096, 4096, false)}}),
                   "button.bmp is 4096 x 4096 pixels", false});
    out.push_back({"many-sections-one-big-picture",
                   EditSkin(good,
                            [](std::string& t) {
                                for (int i = 100; i < 600; ++i)
                                    t += "\n[Button" + std::to_string(i) + "]\nButtonImage=big.bmp\nAction=1\n";
                            },
                            {{"big.bmp", RunLengthBmp(2048, 2048, true)}}),
                   "caption button sections ([Button...]); only the first 16 are read", true});
    return out;
}

}  // namespace quorin::testing
