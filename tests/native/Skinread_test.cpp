#include "skin/resources/Skinread.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using namespace quorin;

namespace {

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

std::string Text(const TMemoryStream& m) { return {m.Bytes().begin(), m.Bytes().end()}; }

void PutLE32(std::vector<uint8_t>& v, size_t at, int32_t value) {
    for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
}

std::vector<uint8_t> Packed(const std::vector<uint8_t>& archive) {
    return PackSkinBytes(archive.data(), archive.size());
}

// Collects what the reader shows the operator.
class MessageCapture {
public:
    MessageCapture() {
        previous_ = SetSkinMessageHandler([this](const std::string& t) { messages.push_back(t); });
    }
    ~MessageCapture() { SetSkinMessageHandler(previous_); }
    std::vector<std::string> messages;

private:
    TSkinMessageHandler previous_;
};

const std::vector<TSkinArchiveFile> kSkin = {
    {"Buttons.bmp", Bytes("BM-buttons")},
    {"TITLE.BMP", Bytes("BM-title-bar")},
    {"empty.bmp", {}},
    {"Skin.ini", Bytes("[Buttons]\r\nBitmap=Buttons.bmp\r\n")},
    {"second.ini", Bytes("[Other]\r\n")},
};

}  // namespace

TEST(SkinArchive, WrittenArchiveHasTheDocumentedLayout) {
    const auto a = BuildSkinArchive({{"A.bmp", Bytes("xy")}, {"b.ini", Bytes("z")}});
    const std::vector<uint8_t> expected = {0x20, 0x4E, 0,   0,                        // format mark 20000
                                           14,   0,    0,   0,                        // name list length
                                           0,    0,    0,   0,   0,   0,    0,    0,  // reserved
                                           'A',  '.',  'b', 'm', 'p', '\r', '\n', 'b', '.', 'i', 'n', 'i', '\r',
                                           '\n', 2,    0,   0,   0,   1,    0,    0,   0,   'x', 'y', 'z'};
    EXPECT_EQ(a, expected);
}

TEST(SkinArchive, WriterRefusesNamesThatCannotBeListed) {
    EXPECT_THROW(BuildSkinArchive({{"", {}}}), Exception);
    EXPECT_THROW(BuildSkinArchive({{"a\r\nb.bmp", {}}}), Exception);
    EXPECT_THROW(BuildSkinArchive({{std::string("a\0b", 3), {}}}), Exception);
    EXPECT_THROW(BuildSkinArchive(std::vector<TSkinArchiveFile>(1002, {"x.bmp", {}})), Exception);
    EXPECT_NO_THROW(BuildSkinArchive(std::vector<TSkinArchiveFile>(1001, {"x.bmp", {}})));
}

TEST(SkinReader, ReadsEveryFileBackWithLowerCasedNames) {
    TSkinReader r;
    TMemoryStream packed(Packed(BuildSkinArchive(kSkin)));
    ASSERT_TRUE(r.Loadfromstream(packed));
    ASSERT_EQ(r.Count(), 5);
    EXPECT_EQ(r.Names(), (std::vector<std::string>{"buttons.bmp", "title.bmp", "empty.bmp", "skin.ini", "second.ini"}));
    for (int i = 0; i < r.Count(); ++i) {
        TMemoryStream out;
        r.readfile(r.Names()[static_cast<size_t>(i)], out);
        EXPECT_EQ(out.Bytes(), kSkin[static_cast<size_t>(i)].data) << i;
        EXPECT_EQ(out.Position(), 0);
        EXPECT_EQ(r.FileSize(i), static_cast<int32_t>(kSkin[static_cast<size_t>(i)].data.size()));
    }
}

class SkinReaderLookup : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(SkinReaderLookup, FindsNamesWithoutRegardToCase) {
    TSkinReader r;
    ASSERT_TRUE(r.Loadfromstream(Packed(BuildSkinArchive(kSkin)).data(), Packed(BuildSkinArchive(kSkin)).size()));
    TMemoryStream out;
    out.WriteBuffer("stale", 5);
    r.readfile(GetParam().first, out);
    EXPECT_EQ(Text(out), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Names, SkinReaderLookup,
                         ::testing::Values(std::make_pair("BUTTONS.BMP", "BM-buttons"),
                                           std::make_pair("Title.bmp", "BM-title-bar"),
                                           std::make_pair("title.bmp", "BM-title-bar"), std::make_pair("empty.bmp", ""),
                                           std::make_pair("missing.bmp", ""), std::make_pair("buttons", "")));

TEST(SkinReader, ReadIniTakesTheFirstEntryContainingThePart) {
    TSkinReader r;
    const auto packed = Packed(BuildSkinArchive(kSkin));
    ASSERT_TRUE(r.Loadfromstream(packed.data(), packed.size()));
    TMemoryStream out;
    std::string name;
    r.readIni(".ini", out, name);
    EXPECT_EQ(name, "skin.ini");
    EXPECT_EQ(Text(out), "[Buttons]\r\nBitmap=Buttons.bmp\r\n");
    EXPECT_EQ(out.Position(), 0);

    // The part is used as given against the lower-cased names.
    r.readIni(".INI", out, name);
    EXPECT_EQ(name, "");
    EXPECT_EQ(out.Size(), 0);
}

TEST(SkinReader, NameListAcceptsEveryLineEnd) {
    std::vector<uint8_t> a = BuildSkinArchive({{"a.bmp", Bytes("1")}, {"b.bmp", Bytes("22")}, {"c.ini", Bytes("333")}});
    // The written name list (21 bytes, CR LF ends) is replaced by one with a lone CR, a
    // lone LF and CR LF, and then by one without a final line end.
    const std::string names = "a.bmp\rb.bmp\nc.ini\r\n";
    ASSERT_EQ(names.size(), 19u);
    std::vector<uint8_t> b(a.begin(), a.begin() + 16);
    PutLE32(b, 4, static_cast<int32_t>(names.size()));
    b.insert(b.end(), names.begin(), names.end());
    b.insert(b.end(), a.begin() + 16 + 21, a.end());
    TSkinReader r;
    ASSERT_TRUE(r.LoadArchive(b.data(), b.size()));
    EXPECT_EQ(r.Names(), (std::vector<std::string>{"a.bmp", "b.bmp", "c.ini"}));
    TMemoryStream out;
    r.readfile("c.ini", out);
    EXPECT_EQ(Text(out), "333");

    const std::string bare = "a.bmp\nb.bmp\nc.ini";
    std::vector<uint8_t> c(a.begin(), a.begin() + 16);
    PutLE32(c, 4, static_cast<int32_t>(bare.size()));
    c.insert(c.end(), bare.begin(), bare.end());
    c.insert(c.end(), a.begin() + 16 + 21, a.end());
    ASSERT_TRUE(r.LoadArchive(c.data(), c.size()));
    EXPECT_EQ(r.Count(), 3);
}

TEST(SkinReader, WrongFormatMarkIsShownAndLeavesNothingReadable) {
    MessageCapture capture;
    TSkinReader r;
    const auto good = Packed(BuildSkinArchive(kSkin));
    ASSERT_TRUE(r.Loadfromstream(good.data(), good.size()));

    auto archive = BuildSkinArchive(kSkin);
    PutLE32(archive, 0, 19999);
    const auto old = Packed(archive);
    EXPECT_FALSE(r.Loadfromstream(old.data(), old.size()));
    ASSERT_EQ(capture.messages.size(), 1u);
    EXPECT_EQ(capture.messages[0], "This is Older Skin File\rPlease update to new version !");
    EXPECT_EQ(r.Count(), 0);
    TMemoryStream out;
    r.readfile("buttons.bmp", out);
    EXPECT_EQ(out.Size(), 0);
}

// Archives whose lengths point past their end, or past the size table, are refused
// quietly (they are damaged, not old) and nothing is read past the bytes given.
struct Damage {
    const char* what;
    void (*apply)(std::vector<uint8_t>& archive);
};

class SkinReaderDamaged : public ::testing::TestWithParam<Damage> {};

TEST_P(SkinReaderDamaged, IsRefusedWithoutAMessage) {
    MessageCapture capture;
    auto archive = BuildSkinArchive({{"a.bmp", Bytes("1234")}, {"b.ini", Bytes("56")}});
    GetParam().apply(archive);
    TSkinReader r;
    EXPECT_FALSE(r.LoadArchive(archive.data(), archive.size())) << GetParam().what;
    EXPECT_EQ(r.Count(), 0);
    EXPECT_TRUE(capture.messages.empty());
    const auto packed = Packed(archive);
    EXPECT_FALSE(r.Loadfromstream(packed.data(), packed.size())) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Archives, SkinReaderDamaged,
    ::testing::
        Values(
            Damage{"shorter than its header", [](std::vector<uint8_t>& a) { a.resize(15); }},
            Damage{"name list past the end", [](std::vector<uint8_t>& a) { PutLE32(a, 4, 1000); }},
            Damage{"negative name list", [](std::vector<uint8_t>& a) { PutLE32(a, 4, -5); }},
            Damage{"huge name list", [](std::vector<uint8_t>& a) { PutLE32(a, 4, 0x7FFFFFFF); }},
            Damage{"size table past the end", [](std::vector<uint8_t>& a) { a.resize(16 + 14 + 6); }},
            Damage{"negative size", [](std::vector<uint8_t>& a) { PutLE32(a, 16 + 14, -1); }},
            Damage{"sizes past the end", [](std::vector<uint8_t>& a) { PutLE32(a, 16 + 14 + 4, 100); }},
            Damage{
                "sizes that overflow when added",
                [](std::vector<uint8_t>& a) {
                    PutLE32(a, 16 + 14, 0x7FFFFFFF);
                    PutLE32(a, 16 + 14 + 4, 0x7FFFFFFF);
                }},
            Damage{"1002 names", [](std::vector<uint8_t>& a) {
                       std::string names;
                       for (int i = 0; i < 1002; ++i) names += "f.bmp\r\n";
                       a.assign(16, 0);
                       PutLE32(a, 0, 20000);
                       PutLE32(a, 4, static_cast<int32_t>(names.size()));
                       a.insert(a.end(), names.begin(), names.end());
                       a.insert(a.end(), 4 * 1002, 0);
                   }}));

TEST(SkinReader, AcceptsExactlyTheLargestDirectory) {
    std::vector<TSkinArchiveFile> files(1001, {"f.bmp", Bytes("x")});
    const auto a = BuildSkinArchive(files);
    TSkinReader r;
    ASSERT_TRUE(r.LoadArchive(a.data(), a.size()));
    EXPECT_EQ(r.Count(), 1001);
    EXPECT_EQ(r.FileSize(1000), 1);
}

TEST(SkinReader, AbsurdDeclaredSizeIsRefused) {
    TSkinReader r;
    const std::vector<uint8_t> packed = {0x00, 0x00, 0x00, 0x7F, 0x01, 0x02};
    EXPECT_FALSE(r.Loadfromstream(packed.data(), packed.size()));
    r.MaxUnpackedSize = 100;
    const auto big = Packed(std::vector<uint8_t>(101, 'a'));
    EXPECT_FALSE(r.Loadfromstream(big.data(), big.size()));
}

TEST(SkinReader, LoadsFromAFileAndRefusesAMissingOne) {
    const std::string path = std::string(QUORIN_BINARY_DIR) + "/skinread_test.skin";
    TMemoryStream(Packed(BuildSkinArchive(kSkin))).SaveToFile(path);
    TSkinReader r;
    EXPECT_TRUE(r.loadfromfile(path));
    EXPECT_EQ(r.Count(), 5);
    EXPECT_FALSE(r.loadfromfile(path + ".missing"));
    EXPECT_EQ(r.Count(), 0);
    std::remove(path.c_str());
}

// The packing tool, run as the build runs it.
TEST(SkinpackTool, PacksAFolderListsAndUnpacksIt) {
    namespace fs = std::filesystem;
    const fs::path tool = fs::path(QUORIN_BINARY_DIR) / "tools" / "skinpack";
    if (!fs::exists(tool)) GTEST_SKIP() << "skinpack not built";
    const fs::path dir = fs::path(QUORIN_BINARY_DIR) / "skinpack_test";
    fs::remove_all(dir);
    fs::create_directories(dir / "in");
    const auto write = [](const fs::path& p, const std::string& s) { std::ofstream(p, std::ios::binary) << s; };
    write(dir / "in" / "Zeta.bmp", "BMzzzz");
    write(dir / "in" / "alpha.BMP", "BMaaaa");
    write(dir / "in" / "skin.ini", "[Buttons]\r\nBitmap=alpha.bmp\r\n");
    const std::string t = tool.string(), d = dir.string();
    ASSERT_EQ(std::system((t + " pack " + d + "/out.skin " + d + "/in >/dev/null").c_str()), 0);
    ASSERT_EQ(std::system((t + " list " + d + "/out.skin >" + d + "/list.txt").c_str()), 0);
    std::ifstream list(dir / "list.txt");
    const std::string listed((std::istreambuf_iterator<char>(list)), std::istreambuf_iterator<char>());
    // Bitmaps sorted without case, the description last.
    EXPECT_EQ(listed, "         6  alpha.bmp\n         6  zeta.bmp\n        29  skin.ini\n");
    ASSERT_EQ(std::system((t + " unpack " + d + "/out.skin " + d + "/out").c_str()), 0);
    std::ifstream back(dir / "out" / "zeta.bmp", std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(back)), std::istreambuf_iterator<char>()), "BMzzzz");

    // A folder with two descriptions is refused with a message and a failure code.
    write(dir / "in" / "other.ini", "");
    EXPECT_NE(std::system((t + " pack " + d + "/bad.skin " + d + "/in 2>/dev/null").c_str()), 0);
    EXPECT_FALSE(fs::exists(dir / "bad.skin"));
    fs::remove_all(dir);
}
