// Skin pictures at another display scale: area averaging, frames and margins kept apart,
// the key colour kept, and the skin's companions at a DPI (pictures and metrics scaled,
// made again when another skin is read).
#include "skin/resources/Skinscale.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "forms/Streams.h"
#include "skin/resources/Bmpfile.h"
#include "skin/resources/Skinread.h"
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

// ---- Picture sets drawn for larger scales -----------------------------------------------

// The files of a packed skin, read whole (every set too).
std::vector<TSkinArchiveFile> ArchiveFiles(const std::vector<uint8_t>& packed) {
    TSkinReader reader;
    std::vector<TSkinArchiveFile> files;
    if (!reader.Loadfromstream(packed.data(), packed.size())) return files;
    for (const std::string& name : reader.Names()) {
        TMemoryStream body;
        reader.readfile(name, body);
        files.push_back({name, body.Bytes()});
    }
    return files;
}

TBitmap Picture(const std::vector<TSkinArchiveFile>& files, const std::string& name) {
    TBitmap b;
    for (const TSkinArchiveFile& f : files)
        if (f.name == name && ReadBmp(f.data.data(), f.data.size(), b)) b.SetPixelFormat(pf24bit);
    return b;
}

::testing::AssertionResult SamePixels(const TBitmap& a, const TBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return ::testing::AssertionFailure()
               << a.Width() << " x " << a.Height() << " against " << b.Width() << " x " << b.Height();
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Pixel(x, y) != b.Pixel(x, y)) return ::testing::AssertionFailure() << "differ at " << x << "," << y;
    return ::testing::AssertionSuccess();
}

// A picture of the skin and where the skin data holds it, with its frames.
struct TSetPicture {
    const char* File;
    const TBitmap& (*Of)(const TSkinData&);
    int Frames;
    bool Stacked;
    TMargins (*MarginsOf)(const TSkinData&);
};

const TSetPicture kSetPictures[] = {
    {"frameleft", [](const TSkinData& s) -> const TBitmap& { return s.Left()->Map; }, 2, false,
     [](const TSkinData& s) { return s.Left()->Margins; }},
    {"frametop", [](const TSkinData& s) -> const TBitmap& { return s.Top()->Map; }, 2, true,
     [](const TSkinData& s) { return s.Top()->Margins; }},
    {"button", [](const TSkinData& s) -> const TBitmap& { return s.Buttons->Map; }, 5, false,
     [](const TSkinData& s) { return s.Buttons->Margins; }},
    {"checkbox", [](const TSkinData& s) -> const TBitmap& { return s.Buttons->CheckMap; }, 4, false,
     [](const TSkinData&) { return TMargins{}; }},
    {"scrollbar", [](const TSkinData& s) -> const TBitmap& { return s.Scrollbar->Map; }, 23, false,
     [](const TSkinData& s) { return s.Scrollbar->Margins; }},
    {"btnclose", [](const TSkinData& s) -> const TBitmap& { return s.SysButtons[0]->Map; }, 4, false,
     [](const TSkinData&) { return TMargins{}; }},
};

class SkinPictureSets : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        packed = ReadFile(std::string(QUORIN_BINARY_DIR) + "/skin/default/" + GetParam());
        ASSERT_FALSE(packed.empty()) << "the build packs " << GetParam();
        files = ArchiveFiles(packed);
        TMemoryStream stream(packed);
        skin.LoadFromStream(stream);
        ASSERT_FALSE(skin.Loading());
    }
    std::vector<uint8_t> packed;
    std::vector<TSkinArchiveFile> files;
    TSkinData skin{nullptr};
};

TEST_P(SkinPictureSets, CarriesEverySetAndForDpiTakesItAsDrawnOrScaledDownFromTheNextLarger) {
    EXPECT_EQ(skin.PictureSets(), (std::vector<int>{150, 200}));
    for (const TSkinArchiveFile& f : files) {
        if (!f.name.ends_with(".bmp") || TSkinReader::IsScaledPicture(f.name)) continue;
        for (int p : {150, 200})
            EXPECT_FALSE(Picture(files, TSkinData::PictureNameAt(f.name, p)).Empty()) << f.name << " at " << p;
    }
    // At each scale: which set the pictures come from (as drawn where it is the scale's).
    const struct { int Dpi, From; } scales[] = {{144, 150}, {192, 200}, {120, 150}, {168, 200}, {240, 200}};
    for (const auto& at : scales) {
        const TDpiScale s{at.Dpi, 96}, set{DpiMulDiv(96, at.From, 100), 96};
        const TSkinData& scaled = *skin.ForDpi(at.Dpi);
        for (const TSetPicture& p : kSetPictures) {
            SCOPED_TRACE(std::string(p.File) + " at " + std::to_string(at.Dpi) + " DPI");
            const TBitmap& own = p.Of(skin);
            const TBitmap drawn = Picture(files, TSkinData::PictureNameAt(std::string(p.File) + ".bmp", at.From));
            const TFramedPicture layout{p.Frames, p.Stacked, p.MarginsOf(skin)};
            const TPictureSize size = FramedPictureSize(own.Width(), own.Height(), layout, s);
            ASSERT_EQ(TPictureSize({p.Of(scaled).Width(), p.Of(scaled).Height()}), size)
                << "the size the 100 % picture is scaled to";
            if (set.Dpi == at.Dpi) {
                EXPECT_TRUE(SamePixels(p.Of(scaled), drawn)) << "the drawn picture as it is";
                continue;
            }
            const TMargins m = layout.Margins;
            const TBitmap down = ResampleFramedPicture(
                drawn,
                TFramedPicture{p.Frames, p.Stacked,
                               TMargins{set.Scale(m.Left), set.Scale(m.Top), set.Scale(m.Right), set.Scale(m.Bottom)}},
                size, TMargins{s.Scale(m.Left), s.Scale(m.Top), s.Scale(m.Right), s.Scale(m.Bottom)});
            EXPECT_TRUE(SamePixels(p.Of(scaled), down)) << "the next larger set scaled down";
        }
    }
}

TEST_P(SkinPictureSets, ASkinWithoutSetsLoadsAsBeforeAndScalesFromItsOwnPictures) {
    // The same skin as a file of one set: the 100 % pictures and a description without
    // [Scales], as every skin file was before sets.
    std::vector<TSkinArchiveFile> one;
    for (TSkinArchiveFile f : files) {
        if (TSkinReader::IsScaledPicture(f.name)) continue;
        if (f.name.ends_with(".ini")) {
            std::string text(f.data.begin(), f.data.end());
            text.erase(text.find("Sets=150,200"), 12);
            f.data.assign(text.begin(), text.end());
        }
        one.push_back(f);
    }
    const std::vector<uint8_t> archive = BuildSkinArchive(one);
    const std::vector<uint8_t> bytes = PackSkinBytes(archive.data(), archive.size());
    // Read for 100 % (sets skipped) the file is every byte of its archive, as a full read.
    TSkinReader skipping, whole;
    skipping.SkipPictureSets = true;
    ASSERT_TRUE(skipping.Loadfromstream(bytes.data(), bytes.size()));
    ASSERT_TRUE(whole.Loadfromstream(bytes.data(), bytes.size()));
    ASSERT_EQ(skipping.Names(), whole.Names());
    for (const std::string& name : whole.Names()) {
        TMemoryStream a, b;
        skipping.readfile(name, a);
        whole.readfile(name, b);
        EXPECT_EQ(a.Bytes(), b.Bytes()) << name;
    }
    // The skin with sets skips them at 100 % and reads the rest as the file without.
    TSkinReader withSets;
    withSets.SkipPictureSets = true;
    ASSERT_TRUE(withSets.Loadfromstream(packed.data(), packed.size()));
    EXPECT_EQ(withSets.Names(), whole.Names());

    TSkinData single(nullptr);
    TMemoryStream stream(bytes);
    single.LoadFromStream(stream);
    ASSERT_FALSE(single.Loading());
    EXPECT_TRUE(single.PictureSets().empty());
    for (const TSetPicture& p : kSetPictures) {
        SCOPED_TRACE(p.File);
        EXPECT_TRUE(SamePixels(p.Of(*single.ForDpi(96)), p.Of(*skin.ForDpi(96)))) << "at 100 % the same pictures";
        for (int dpi : {144, 192}) {
            const TFramedPicture layout{p.Frames, p.Stacked, p.MarginsOf(single)};
            EXPECT_TRUE(SamePixels(p.Of(*single.ForDpi(dpi)), ScaleFramedPicture(p.Of(single), layout, {dpi, 96})))
                << "scaled part by part from 100 % at " << dpi;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BuiltSkins, SkinPictureSets, ::testing::Values("default.skn", "slate.skn"));

}  // namespace
}  // namespace quorin
