// Profile files: read with a bound, written whole or not at all.
#include "profile/ProfileFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace quorin::profile;

namespace {

class ProfileFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        FDir = fs::temp_directory_path() / ("profilefile-" + std::to_string(::getpid()));
        fs::remove_all(FDir);
        fs::create_directories(FDir);
    }
    void TearDown() override { fs::remove_all(FDir); }
    std::string Path(const char* name) const { return (FDir / name).string(); }
    static std::string Content(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // Nothing but the named files is left in the folder (no temporary file).
    std::size_t FileCount() const { return std::distance(fs::directory_iterator(FDir), fs::directory_iterator()); }
    fs::path FDir;
};

TEST_F(ProfileFileTest, SavesOverAnExistingFileAndReadsItBack) {
    const std::string path = Path("site-a.json");
    std::string why;
    ASSERT_TRUE(SaveProfileFile(path, "old\n", why)) << why;
    ASSERT_TRUE(SaveProfileFile(path, "{\n  \"new\": 1\n}\n", why)) << why;
    std::string text;
    ASSERT_TRUE(ReadProfileFile(path, text, why)) << why;
    EXPECT_EQ(text, "{\n  \"new\": 1\n}\n");
    EXPECT_EQ(FileCount(), 1u);
}

// A save that cannot finish leaves the target as it was and no temporary file behind.
TEST_F(ProfileFileTest, FailedSavesLeaveEverythingAsItWas) {
    const std::string folderTarget = Path("taken");
    fs::create_directories(folderTarget + "/inside");
    const struct { std::string Path; } cases[] = {{Path("missing-folder/site.json")}, {folderTarget}};
    for (const auto& c : cases) {
        std::string why;
        EXPECT_FALSE(SaveProfileFile(c.Path, "text\n", why)) << c.Path;
        EXPECT_FALSE(why.empty()) << c.Path;
    }
    EXPECT_TRUE(fs::is_directory(folderTarget + "/inside"));
    EXPECT_EQ(FileCount(), 1u);
}

TEST_F(ProfileFileTest, ReadRefusesWhatIsNoProfileFile) {
    const std::string big = Path("big.json");
    std::ofstream(big) << std::string(101, ' ');
    const std::string exact = Path("exact.json");
    std::ofstream(exact) << std::string(100, ' ');
    const struct {
        std::string Path;
        bool Ok;
        const char* Why;
    } cases[] = {
        {Path("none.json"), false, "No such file"},
        {big, false, "larger than 100 bytes"},
        {exact, true, ""},
        {FDir.string(), false, "folder"},
    };
    for (const auto& c : cases) {
        std::string text = "unchanged", why;
        EXPECT_EQ(ReadProfileFile(c.Path, text, why, 100), c.Ok) << c.Path;
        EXPECT_NE(why.find(c.Why), std::string::npos) << c.Path << ": " << why;
        if (c.Ok) {
            EXPECT_EQ(text.size(), 100u);
        }
    }
}

}  // namespace
