#include "forms/Streams.h"

#include "forms/StringList.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace quorin;

TEST(Streams, MemoryStreamReadsWritesAndSeeks) {
    TMemoryStream m;
    m.WriteBuffer("abcdef", 6);
    EXPECT_EQ(m.Size(), 6);
    m.SetPosition(2);
    char buf[8] = {};
    EXPECT_EQ(m.Read(buf, 8), 4);
    EXPECT_STREQ(buf, "cdef");
    EXPECT_EQ(m.Read(buf, 1), 0) << "at the end";
    m.SetPosition(8);  // past the end: writing fills the gap with zeros
    m.WriteBuffer("z", 1);
    EXPECT_EQ(m.Size(), 9);
    EXPECT_EQ(m.Bytes()[6], 0);
    EXPECT_THROW(m.Seek(-10, TSeekOrigin::soCurrent), EStreamError);
    m.SetPosition(7);
    EXPECT_THROW(m.ReadBuffer(buf, 4), EReadError);
    m.SetSize(3);
    EXPECT_EQ(m.Position(), 3);
}

TEST(Streams, CopyFromZeroCopiesTheWholeSourceFromItsStart) {
    TMemoryStream src(std::vector<uint8_t>{1, 2, 3, 4});
    src.SetPosition(3);
    TMemoryStream dst;
    EXPECT_EQ(dst.CopyFrom(src, 0), 4);
    EXPECT_EQ(dst.Bytes(), (std::vector<uint8_t>{1, 2, 3, 4}));
    src.SetPosition(1);
    TMemoryStream part;
    EXPECT_EQ(part.CopyFrom(src, 2), 2);
    EXPECT_EQ(part.Bytes(), (std::vector<uint8_t>{2, 3}));
    EXPECT_THROW(part.CopyFrom(src, 5), EReadError);
}

TEST(Streams, FileRoundTripWithAUtf8Name) {
    const auto dir = std::filesystem::temp_directory_path() / "quorin_streams_test";
    std::filesystem::create_directories(dir);
    const std::string name = (dir / "皮肤.bin").string();
    std::vector<uint8_t> bytes(70000);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 7);
    TMemoryStream m(bytes);
    m.SaveToFile(name);
    TMemoryStream back;
    back.LoadFromFile(name);
    EXPECT_EQ(back.Bytes(), bytes);
    {
        TFileStream f(name, fmOpenReadWrite);
        f.Seek(0, TSeekOrigin::soEnd);
        f.WriteBuffer("xy", 2);
        f.SetPosition(0);
        uint8_t first = 0;
        f.ReadBuffer(&first, 1);
        EXPECT_EQ(first, bytes[0]);
        EXPECT_EQ(f.Size(), 70002);
    }
    std::filesystem::remove_all(dir);
}

TEST(Streams, MissingFileRaisesAnErrorNamingIt) {
    try {
        TFileStream f("/nonexistent/dir/skin.skn", fmOpenRead);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_NE(std::string(e.what()).find("Cannot open file \"/nonexistent/dir/skin.skn\""), std::string::npos)
            << e.what();
    }
    EXPECT_THROW(TFileStream("/nonexistent/dir/x", fmCreate), EFCreateError);
}

TEST(Streams, StringListThroughAStream) {
    TStringList l;
    l.SetText("[Colours]\r\nButtonFace=12632256\r\n");
    TMemoryStream m;
    l.SaveToStream(m);
    m.SetPosition(0);
    TStringList back;
    back.LoadFromStream(m);
    EXPECT_TRUE(back.Equals(l));
}
