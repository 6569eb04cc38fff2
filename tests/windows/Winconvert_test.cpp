// The codec and the archive reader as the Windows program runs them, including the
// message box shown for an archive of the wrong format.
#include "skin/resources/Skinread.h"
#include "skin/resources/Winconvert.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <string>
#include <thread>

using namespace quorin;

namespace {

std::vector<uint8_t> FixtureBytes(const std::string& name) {
    TMemoryStream m;
    m.LoadFromFile(std::string(QUORIN_SOURCE_DIR) + "/tests/fixtures/lzhuf/" + name);
    return m.Bytes();
}

std::string Narrow(const std::wstring& w) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
    return out;
}

struct FoundBox {
    std::string caption, text;
};

// Waits for a message box of this process, reads it and presses OK.
FoundBox AnswerMessageBox(std::atomic<bool>& stop) {
    FoundBox found;
    for (int i = 0; i < 400 && !stop; ++i) {
        HWND box = nullptr;
        while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr) {
            DWORD pid = 0;
            GetWindowThreadProcessId(box, &pid);
            if (pid == GetCurrentProcessId() && IsWindowVisible(box)) break;
        }
        if (box) {
            wchar_t buf[512] = {};
            GetWindowTextW(box, buf, 512);
            found.caption = Narrow(buf);
            GetDlgItemTextW(box, 0xFFFF, buf, 512);
            found.text = Narrow(buf);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return found;
        }
        Sleep(50);
    }
    return found;
}

}  // namespace

TEST(WindowsCodec, KnownVectorPacksAndUnpacksBitExact) {
    const auto input = FixtureBytes("rebuild.bin");
    const auto expected = FixtureBytes("rebuild.lzh");
    ASSERT_FALSE(input.empty());
    EXPECT_EQ(PackSkinBytes(input.data(), input.size()), expected);
    std::vector<uint8_t> out;
    ASSERT_TRUE(UnpackSkinBytes(expected.data(), expected.size(), out));
    EXPECT_EQ(out, input);
}

TEST(WindowsCodec, LargeMixedRoundTrip) {
    std::mt19937 rng(3);
    std::vector<uint8_t> in(300000);
    for (size_t i = 0; i < in.size(); ++i)
        in[i] = (i / 512) % 2 ? static_cast<uint8_t>(rng() % 8) : static_cast<uint8_t>(rng());
    const auto packed = LZHPackBytes(in.data(), in.size());
    EXPECT_EQ(LZHUnpackBytes(packed.data(), packed.size(), in.size()), in);
}

TEST(WindowsSkinReader, OlderArchiveShowsTheWarningBox) {
    auto archive = BuildSkinArchive({{"a.bmp", {1, 2}}, {"skin.ini", {'x'}}});
    archive[0] = 0x10;  // not the format mark
    const auto packed = PackSkinBytes(archive.data(), archive.size());

    std::atomic<bool> stop{false};
    FoundBox box;
    std::thread answer([&] { box = AnswerMessageBox(stop); });
    TSkinReader r;
    const bool loaded = r.Loadfromstream(packed.data(), packed.size());
    stop = true;
    answer.join();

    EXPECT_FALSE(loaded);
    EXPECT_EQ(box.caption, "Warning");
    // The box shows the CR as a line break; the text itself is kept as it is.
    EXPECT_NE(box.text.find("This is Older Skin File"), std::string::npos) << box.text;
    EXPECT_NE(box.text.find("Please update to new version !"), std::string::npos) << box.text;
    EXPECT_EQ(r.Count(), 0);
}
