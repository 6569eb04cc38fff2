// skincatalog SKIN OUTPUT.png [FONT]: loads a packed skin through the skin data component, as the
// program does, and renders every picture it ends up with (the description's bitmaps and
// the composites built at load time) into one contact sheet, each labelled with its
// element name and frame count, enlarged twice so single pixels can be judged.
// The sheet is assembled by ImageMagick's montage. The labels use the font file FONT when
// given: ImageMagick's own default face comes from a package that a machine may lack.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "skin/resources/Bmpfile.h"
#include "skin/resources/Winskindata.h"

namespace fs = std::filesystem;
using namespace quorin;

namespace {

struct Entry {
    std::string label;
    const TBitmap* bitmap;
};

void Add(std::vector<Entry>& list, const TDataSkinObject* e, const std::string& extra = {}) {
    if (!e || e->Map.Empty()) return;
    list.push_back(
        {e->Name + extra + " (" + std::to_string(e->Frame) + (e->Frame == 1 ? " frame)" : " frames)"), &e->Map});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: skincatalog SKIN OUTPUT.png [FONT]\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    if (bytes.empty()) {
        std::fprintf(stderr, "skincatalog: cannot read %s\n", argv[1]);
        return 1;
    }
    TSkinData skin(nullptr);
    TMemoryStream packed(bytes);
    skin.LoadFromStream(packed);
    if (skin.Loading()) {
        std::fprintf(stderr, "skincatalog: %s is not a readable skin\n", argv[1]);
        return 1;
    }

    std::vector<Entry> list;
    for (auto& b : skin.Border) Add(list, b.get());
    Add(list, skin.Title.get());
    for (auto& b : skin.SysButtons) Add(list, b.get());
    Add(list, skin.MenuBar.get());
    Add(list, skin.Buttons.get());
    if (skin.Buttons && !skin.Buttons->CheckMap.Empty())
        list.push_back(
            {"Buttons check box (" + std::to_string(skin.Buttons->CheckFrame) + " frames)", &skin.Buttons->CheckMap});
    if (skin.Buttons && !skin.Buttons->RadioMap.Empty())
        list.push_back(
            {"Buttons radio (" + std::to_string(skin.Buttons->RadioFrame) + " frames)", &skin.Buttons->RadioMap});
    const TDataSkinObject* elements[] = {
        skin.Progress.get(),
        skin.ProgressChunk.get(),
        skin.Tabs.get(),
        skin.TabPane.get(),
        skin.StatusBarEdges.get(),
        skin.Headerbar.get(),
        skin.ComboButton.get(),
        skin.ExtraImages.get(),
        skin.ComboxArrow.get(),
        skin.Scrollbar.get(),
        skin.HorzScroll.get(),
        skin.VertScroll.get(),
        skin.HorzScrollThumb.get(),
        skin.VertScrollThumb.get(),
        skin.MenuBackground.get(),
        skin.MenuItem.get(),
        skin.TrackbarThumbHorz.get(),
        skin.TrackbarThumbVert.get(),
        skin.TrackbarThumbDown.get(),
        skin.UpDownVert.get(),
        skin.UpDownHorz.get(),
        skin.Track.get(),
        skin.TrackVert.get(),
        skin.Toolbar.get(),
        skin.SunkEdge.get(),
        skin.GroupBox.get(),
        skin.GroupBoxEdge.get(),
        skin.ToolBars.get(),
    };
    for (const TDataSkinObject* e : elements) Add(list, e);
    if (skin.Tabs && !skin.Tabs->Map2.Empty()) list.push_back({"Tabs border", &skin.Tabs->Map2});

    const fs::path output = argv[2];
    const std::string font = argc == 4 ? std::string(" -font '") + argv[3] + "'" : std::string();
    const fs::path work = output.parent_path() / (output.stem().string() + ".parts");
    fs::remove_all(work);
    fs::create_directories(work);
    // Each picture becomes a labelled tile first, so a label always sits under its picture.
    std::string tiles;
    for (size_t i = 0; i < list.size(); ++i) {
        fs::path file = work / (std::to_string(i) + ".bmp");
        fs::path tile = work / (std::to_string(i) + ".png");
        SaveBmpFile(file.string(), *list[i].bitmap);
        std::string command = "convert '" + file.string() + "' -scale 200% -background '#d8dce2' -fill '#1e242c'" +
                              font + " -pointsize 12 label:'" + list[i].label + "' -gravity center -append '" +
                              tile.string() + "'";
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "skincatalog: convert failed\n");
            return 1;
        }
        tiles += " '" + tile.string() + "'";
    }
    std::string command =
        "montage -background '#d8dce2'" + font + tiles + " -tile 4x -geometry +12+10 '" + output.string() + "'";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "skincatalog: montage failed\n");
        return 1;
    }
    std::printf("%s: %zu pictures of %s\n", output.string().c_str(), list.size(), skin.SkinName.c_str());
    return 0;
}
