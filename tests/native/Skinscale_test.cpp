// Skin pictures at another display scale: area averaging, frames and margins kept apart,
// the key colour kept, and the skin's companions at a DPI (pictures and metrics scaled,
// made again when another skin is read).
#include "skin/resources/Skinscale.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "forms/Streams.h"
#include "skin/resources/Winskindata.h"

namespace quorin {
namespace {

// A strip of frames of FW x FH, each painted per part: corners, edges and middle in their
// own colours, and every frame in another shade.
TColor PartColour(int frame, int col, int row) { return TColor(0x102030 * (frame + 1) + col * 0x40 + row * 0x4000); }

TBitmap PartStrip(int frames, int fw, int fh, const TMargins& m) {
    TBitmap b(fw * frames, fh);
    for (int f = 0; f < frames; ++f)
        for (int y = 0; y < fh; ++y)
            for (int x = 0; x < fw; ++x) {
                const int col = x < m.Left ? 0 : x >= fw - m.Right ? 2 : 1;
                const int row = y < m.Top ? 0 : y >= fh - m.Bottom ? 2 : 1;
                b.SetPixel(f * fw + x, y, PartColour(f, col, row));
            }
    return b;
}

class FramedPictureScale : public ::testing::TestWithParam<int> {};

TEST_P(FramedPictureScale, EveryPartOfEveryFrameLandsWholeOnItsScaledPlace) {
    const TMargins m{3, 2, 4, 3};
    const int frames = 3, fw = 12, fh = 9;
    const TDpiScale s{GetParam(), 96};
    const TBitmap out = ScaleFramedPicture(PartStrip(frames, fw, fh, m), TFramedPicture{frames, false, m}, s);
    const int tfw = s.Scale(fw), tfh = s.Scale(fh);
    ASSERT_EQ(out.Width(), tfw * frames);
    ASSERT_EQ(out.Height(), tfh);
    // Parts are filled flat, so any pixel of another colour is a part smeared into another.
    for (int f = 0; f < frames; ++f)
        for (int y = 0; y < tfh; ++y)
            for (int x = 0; x < tfw; ++x) {
                const int col = x < s.Scale(m.Left) ? 0 : x >= tfw - s.Scale(m.Right) ? 2 : 1;
                const int row = y < s.Scale(m.Top) ? 0 : y >= tfh - s.Scale(m.Bottom) ? 2 : 1;
                ASSERT_EQ(out.Pixel(f * tfw + x, y), PartColour(f, col, row))
                    << "frame " << f << " at " << x << "," << y;
            }
}

INSTANTIATE_TEST_SUITE_P(Scales, FramedPictureScale, ::testing::Values(120, 144, 168, 192, 240));

TEST(FramedPicture, StackedFramesScaleDown) {
    // Two stacked frames, as the top side of a frame stores its active and inactive looks.
    TBitmap strip(6, 8);
    strip.FillRect(TRect{0, 0, 6, 4}, 0x0000FF);
    strip.FillRect(TRect{0, 4, 6, 8}, 0x00FF00);
    const TBitmap out = ScaleFramedPicture(strip, TFramedPicture{2, true, {}}, TDpiScale{144, 96});
    ASSERT_EQ(out.Width(), 9);
    ASSERT_EQ(out.Height(), 12);
    EXPECT_EQ(out.Pixel(4, 5), 0x0000FF);
    EXPECT_EQ(out.Pixel(4, 6), 0x00FF00);
}

TEST(AreaAverage, ShrinkingAveragesEveryCoveredPixel) {
    TBitmap checker(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) checker.SetPixel(x, y, (x + y) % 2 ? 0xFFFFFF : 0x000000);
    const TBitmap half = ScaleArea(checker, 2, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) EXPECT_EQ(half.Pixel(x, y), 0x808080) << x << "," << y;
    // A whole factor up repeats pixels exactly.
    const TBitmap twice = ScaleArea(checker, 8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) ASSERT_EQ(twice.Pixel(x, y), checker.Pixel(x / 2, y / 2));
}

TEST(AreaAverage, KeyColourStaysKeyAndNeverTintsItsNeighbours) {
    // A rounded corner: magenta outside, dark blue inside.
    TBitmap corner(4, 4);
    corner.Fill(0x603010);
    corner.SetPixel(0, 0, KeyColor);
    corner.SetPixel(1, 0, KeyColor);
    corner.SetPixel(0, 1, KeyColor);
    const TBitmap out = ScaleArea(corner, 6, 6);
    EXPECT_EQ(out.Pixel(0, 0), KeyColor);
    EXPECT_EQ(out.Pixel(1, 0), KeyColor);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            const TColor c = out.Pixel(x, y);
            EXPECT_TRUE(c == KeyColor || c == 0x603010) << x << "," << y << ": " << std::hex << c;
        }
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

TEST(SkinForDpi, HandsOutTheSkinAtEachScaleAndFollowsAReload) {
    const auto packed = ReadFile(std::string(QUORIN_BINARY_DIR) + "/skin/default/default.skn");
    ASSERT_FALSE(packed.empty()) << "the build packs the default skin";
    TSkinData skin(nullptr);
    TMemoryStream stream(packed);
    skin.LoadFromStream(stream);
    ASSERT_FALSE(skin.Loading());
    EXPECT_EQ(skin.ForDpi(96), &skin) << "at 96 DPI the skin's own pictures";

    TSkinData* at192 = skin.ForDpi(192);
    ASSERT_NE(at192, &skin);
    EXPECT_EQ(at192->DpiSource(), &skin);
    EXPECT_EQ(at192->DpiScale().Dpi, 192);
    EXPECT_EQ(skin.ForDpi(192), at192) << "made once";
    EXPECT_EQ(at192->ForDpi(144), skin.ForDpi(144)) << "asked of a companion, answered by the skin";
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(at192->Border[i]->Map.Width(), 2 * skin.Border[i]->Map.Width()) << i;
        EXPECT_EQ(at192->Border[i]->Map.Height(), 2 * skin.Border[i]->Map.Height()) << i;
    }
    EXPECT_EQ(at192->Buttons->Margins.Left, 2 * skin.Buttons->Margins.Left);
    ASSERT_EQ(at192->SysButtons.size(), skin.SysButtons.size());
    for (size_t i = 0; i < skin.SysButtons.size(); ++i) {
        EXPECT_EQ(at192->SysButtons[i]->XCoord, 2 * skin.SysButtons[i]->XCoord);
        EXPECT_EQ(at192->SysButtons[i]->YCoord, 2 * skin.SysButtons[i]->YCoord);
        EXPECT_EQ(at192->SysButtons[i]->Map.Width(), 2 * skin.SysButtons[i]->Map.Width());
    }
    EXPECT_EQ(at192->Title->FontHeight, 2 * skin.Title->FontHeight);
    EXPECT_EQ(at192->Colors.ButtonFace, skin.Colors.ButtonFace);
    EXPECT_EQ(at192->SkinControls.Bits(), skin.SkinControls.Bits());

    // 125 %: every length at 120/96 of the skin's.
    TSkinData* at120 = skin.ForDpi(120);
    const TDpiScale at125{120, 96};
    EXPECT_EQ(at120->Top()->Map.Height(), at125.Scale(skin.Top()->Map.Height() / 2) * 2);

    // Another skin read into the same object: the same companion, made again from it.
    const auto slate = ReadFile(std::string(QUORIN_BINARY_DIR) + "/skin/default/slate.skn");
    ASSERT_FALSE(slate.empty());
    TMemoryStream other(slate);
    skin.LoadFromStream(other);
    ASSERT_FALSE(skin.Loading());
    EXPECT_EQ(skin.ForDpi(192), at192);
    EXPECT_EQ(at192->SkinName, skin.SkinName);
    EXPECT_EQ(at192->Top()->Map.Height(), 2 * skin.Top()->Map.Height());
}

}  // namespace
}  // namespace quorin
