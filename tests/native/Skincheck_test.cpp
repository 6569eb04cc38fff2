// The skin check: the skins the build makes are complete and readable (every text colour
// at least 4.5:1 against the picture it is drawn on), every way a skin file can be
// unusable is refused with its reason, a skin author hears of each fault, and skinpack
// check reports through its exit status.
#include "skin/resources/Skincheck.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "skin/resources/Skindraw.h"
#include "skin/resources/Winskindata.h"
#include "tests/common/BrokenSkins.h"
#include "tests/common/HostileSkins.h"

namespace quorin {
namespace {

using testing::MakeBrokenSkins;
using testing::Repack;
using testing::SkinFiles;

std::string Built(const char* name) { return std::string(QUORIN_BINARY_DIR) + "/skin/default/" + name; }

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string Listing(const TSkinCheck& check) {
    std::string s;
    for (const TSkinFinding& f : check.Findings)
        s += (f.Kind == TSkinFinding::skError ? "error: " : "note: ") + f.Text + "\n";
    return s;
}

TEST(SkinCheck, EverySkinOfTheBuildIsCleanAndReadable) {
    for (const char* name : {"default.skn", "slate.skn"}) {
        const TSkinCheck check = CheckSkinFile(Built(name), TSkinCheckDepth::Full);
        EXPECT_TRUE(check.Usable()) << name << ": " << check.Unusable;
        EXPECT_TRUE(check.Clean()) << name << ":\n" << Listing(check);
    }
}

TEST(SkinCheck, UnusableFilesAreRefusedWithTheirReason) {
    const std::vector<uint8_t> good = ReadAll(Built("slate.skn"));
    ASSERT_FALSE(good.empty());
    for (const auto& broken : MakeBrokenSkins(good)) {
        const TSkinCheck check = CheckPackedSkin(broken.Bytes, TSkinCheckDepth::Usability);
        EXPECT_FALSE(check.Usable()) << broken.Name;
        EXPECT_NE(check.Unusable.find(broken.Reason), std::string::npos) << broken.Name << ": " << check.Unusable;
    }
    EXPECT_EQ(CheckSkinFile(Built("no-such.skn"), TSkinCheckDepth::Usability).Unusable, "the file does not exist");
}

// The default skin with one line of its description changed or added.
std::vector<uint8_t> WithDescription(const std::function<void(std::string&)>& edit) {
    std::vector<TSkinArchiveFile> files = SkinFiles(ReadAll(Built("default.skn")));
    for (TSkinArchiveFile& f : files)
        if (f.name == "skin.ini") {
            std::string text(f.data.begin(), f.data.end());
            edit(text);
            f.data.assign(text.begin(), text.end());
        }
    return Repack(files);
}

void Insert(std::string& text, const std::string& after, const std::string& line) {
    const size_t at = text.find(after);
    ASSERT_NE(at, std::string::npos) << after;
    text.insert(at + after.size(), "\n" + line);
}

TEST(SkinCheck, AuthorsHearOfEveryFault) {
    struct Case {
        const char* after;
        const char* line;
        const char* finding;
    } cases[] = {
        {"Scrollbar=232 235 239", "\n[Glow]\nColor=1", "unknown section [Glow]"},
        {"[Buttons]", "Shine=1", "unknown key shine in [Buttons]"},
        {"[Progress]", "LeftWidth=30", "[Progress]: margins 30, 3, 3, 3 are larger than a frame of 20 x 14"},
        {"[HorzScrollThumb]", "FrameCount=7", "[HorzScrollThumb]: 7 frames do not divide the picture's width 60"},
        // White text on the light blue the default skin once had under a selected menu item.
        {"[Colours]", "HilightText=200 220 245", "selected menu item: text 200 220 245"},
        {"[Colours]", "TitleTextNoActive=150 160 175", "inactive caption"},
        {"[Button0]", "ButtonImage=", "no caption button closes the window"},
    };
    for (const Case& c : cases) {
        const TSkinCheck check = CheckPackedSkin(WithDescription([&](std::string& t) { Insert(t, c.after, c.line); }),
                                                 TSkinCheckDepth::Full);
        EXPECT_TRUE(check.Usable()) << c.line;
        EXPECT_NE(Listing(check).find(c.finding), std::string::npos) << c.line << ":\n" << Listing(check);
    }
}

// Skins made to eat memory: each is named at both depths the programs use, and once
// loaded as the window loads it, a paint of a button and of every caption button stays
// within what the limits allow (the paint costs are measured by bench_HostileSkin).
TEST(SkinCheck, HostileSkinsAreBoundedAtLoadAndNamedAtEveryDepth) {
    for (const auto& hostile : testing::MakeHostileSkins(ReadAll(Built("default.skn")))) {
        for (const TSkinCheckDepth depth : {TSkinCheckDepth::Usability, TSkinCheckDepth::Full}) {
            const TSkinCheck check = CheckPackedSkin(hostile.Bytes, depth);
            EXPECT_EQ(check.Usable(), hostile.Usable) << hostile.Name << ": " << check.Unusable;
            EXPECT_NE(Listing(check).find(hostile.Finding), std::string::npos)
                << hostile.Name << " at depth " << static_cast<int>(depth) << ":\n"
                << Listing(check);
        }
        TSkinData skin(nullptr);
        TMemoryStream packed(hostile.Bytes);
        skin.LoadFromStream(packed);
        const TDataSkinButton& b = *skin.Buttons;
        for (int side : {b.Margins.Left, b.Margins.Top, b.Margins.Right, b.Margins.Bottom}) EXPECT_GE(side, 0);
        EXPECT_LE(skin.SysButtons.size(), static_cast<size_t>(kMaxSkinCaptionButtons + 3)) << hostile.Name;
        TBitmap canvas(120, 30);
        if (!b.Map.Empty())
            DrawRect2(canvas, TRect{0, 0, 120, 30}, b.Map, b.Margins,
                      {.Frames = 5, .Trans = true, .Tile = b.Tile != 0});
        for (const auto& sys : skin.SysButtons) {
            ASSERT_TRUE(sys);
            EXPECT_GE(sys->XCoord, 0) << hostile.Name;
            if (!sys->Map.Empty())
                DrawRect2(canvas, TRect{0, 0, 20, 20}, sys->Map, TMargins{}, {.Frames = std::max(1, sys->Frame)});
        }
        EXPECT_EQ(canvas.Width(), 120);
    }
}

TEST(SkinCheck, SkinpackCheckExitsZeroOnlyWhenNothingIsWrong) {
    const std::string tool = std::string(QUORIN_BINARY_DIR) + "/tools/skinpack";
    const std::string bad = std::filesystem::temp_directory_path() / "skincheck-bad.skn";
    {
        const std::vector<uint8_t> bytes = WithDescription([](std::string& t) { Insert(t, "[Buttons]", "Shine=1"); });
        std::ofstream(bad, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    auto run = [&](const std::string& args) {
        const int status = std::system((tool + " check " + args + " > /dev/null").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run(Built("default.skn") + " " + Built("slate.skn")), 0);
    EXPECT_EQ(run(Built("default.skn") + " " + bad), 1);
    std::filesystem::remove(bad);
}

// The default skin with its set for 150 % alone (packing is the slow part, and the set for
// 200 % doubles it), its archive's files changed: each file through edit, which may empty
// a file's name to leave it out.
std::vector<uint8_t> WithFiles(const std::function<void(TSkinArchiveFile&)>& edit) {
    std::vector<TSkinArchiveFile> files = SkinFiles(ReadAll(Built("default.skn")), true), kept;
    for (TSkinArchiveFile& f : files) {
        if (f.name.find("@200.") != std::string::npos) continue;
        if (f.name == "skin.ini") {
            std::string text(f.data.begin(), f.data.end());
            text.replace(text.find("Sets=150,200"), 12, "Sets=150");
            f.data.assign(text.begin(), text.end());
        }
        edit(f);
        if (!f.name.empty()) kept.push_back(f);
    }
    return Repack(kept);
}

// Picture sets for larger scales: named, and each fault of one reported by skinpack check
// (a picture of the wrong size is an error; the program scales the 100 % picture instead).
TEST(SkinCheck, PictureSetsAreNamedAndEachFaultOfOneIsReported) {
    const std::vector<uint8_t> good = ReadAll(Built("default.skn"));
    std::vector<uint8_t> frameleft;
    for (const TSkinArchiveFile& f : SkinFiles(good, true))
        if (f.name == "frameleft.bmp") frameleft = f.data;
    ASSERT_FALSE(frameleft.empty());
    auto sets = [](const char* value) {
        return [value](TSkinArchiveFile& f) {
            if (f.name != "skin.ini") return;
            std::string text(f.data.begin(), f.data.end());
            text.replace(text.find("Sets=150"), 8, std::string("Sets=") + value);
            f.data.assign(text.begin(), text.end());
        };
    };
    struct Case {
        const char* name;
        std::function<void(TSkinArchiveFile&)> edit;
        bool clean;
        const char* finding;
    } cases[] = {
        {"built", nullptr, true, "note: pictures drawn for 100 %, 150 %, 200 %"},
        {"wrong-size",
         [&](TSkinArchiveFile& f) {
             if (f.name == "frameleft@150.bmp") f.data = frameleft;
         },
         false,
         "error: [Personality] Left: its picture for 150 % is 8 x 64 pixels, where 150 % of the 8 x 64 picture is "
         "12 x 96"},
        {"missing",
         [](TSkinArchiveFile& f) {
             if (f.name == "button@150.bmp") f.name.clear();
         },
         true, "note: [Buttons]: the set for 150 % has no picture; the 100 % one is scaled"},
        {"unnamed", sets(""), true, "pictures for 150 % are in the skin, but [Scales] Sets does not name 150"},
    };
    const std::string tool = std::string(QUORIN_BINARY_DIR) + "/tools/skinpack";
    const std::string path = std::filesystem::temp_directory_path() / "skincheck-sets.skn";
    for (const Case& c : cases) {
        const std::vector<uint8_t> bytes = c.edit ? WithFiles(c.edit) : good;
        const TSkinCheck check = CheckPackedSkin(bytes, TSkinCheckDepth::Full);
        EXPECT_TRUE(check.Usable()) << c.name;
        EXPECT_EQ(check.Clean(), c.clean) << c.name << ":\n" << Listing(check);
        EXPECT_NE(Listing(check).find(c.finding), std::string::npos) << c.name << ":\n" << Listing(check);
        // The same through the tool an author runs (for the fault it must fail on).
        if (c.clean) continue;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        FILE* out = popen((tool + " check " + path).c_str(), "r");
        ASSERT_TRUE(out);
        std::string printed;
        char buf[512];
        while (std::fgets(buf, sizeof buf, out)) printed += buf;
        const int status = pclose(out);
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.clean ? 0 : 1) << c.name << ":\n" << printed;
        EXPECT_NE(printed.find(c.finding), std::string::npos) << c.name << ":\n" << printed;
    }
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace quorin
