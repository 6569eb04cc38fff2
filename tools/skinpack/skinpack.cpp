// skinpack: builds, unpacks and lists packed skins.
//
//   skinpack pack [--framed] OUTPUT DIR        every file of DIR, bitmaps first (sorted by
//                                              name), then the one description (.ini), then
//                                              the pictures drawn for other scales
//                                              (NAME@PERCENT.bmp, sorted by name)
//   skinpack pack [--framed] OUTPUT FILE...    the files in the order given
//   skinpack unpack SKIN DIR                   writes every file of the skin into DIR
//   skinpack list SKIN                         names and sizes
//   skinpack check SKIN...                     reads each skin as the program does and
//                                              lists, one line each, what it lacks
//                                              (note) and what it gets wrong (error);
//                                              exit status 0 only when nothing is wrong
//
// --framed writes the form of a stored skin property: an int32 length, then the packed
// skin. unpack and list take either form.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "skin/resources/Skincheck.h"
#include "skin/resources/Skinread.h"
#include "forms/Streams.h"
#include "skin/resources/Winconvert.h"

namespace fs = std::filesystem;
using namespace quorin;

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: skinpack pack [--framed] OUTPUT DIR|FILE...\n"
                 "       skinpack unpack SKIN DIR\n"
                 "       skinpack list SKIN\n"
                 "       skinpack check SKIN...\n");
    return 2;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    TMemoryStream m;
    m.LoadFromFile(path);
    return m.Bytes();
}

void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
    TFileStream f(path, fmCreate);
    f.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

bool IsDescription(const fs::path& p) { return LowerCaseAscii(p.extension().string()) == ".ini"; }

std::vector<fs::path> FilesOfFolder(const fs::path& dir) {
    std::vector<fs::path> images, descriptions, scaled;
    for (const auto& e : fs::directory_iterator(dir)) {
        if (!e.is_regular_file()) continue;
        if (IsDescription(e.path()))
            descriptions.push_back(e.path());
        else
            (TSkinReader::IsScaledPicture(LowerCaseAscii(e.path().filename().string())) ? scaled : images)
                .push_back(e.path());
    }
    if (descriptions.size() != 1)
        throw Exception(dir.string() + " must hold exactly one description (.ini), it holds " +
                        std::to_string(descriptions.size()));
    // Sorted by the names the reader will see, so a build is reproducible.
    auto byName = [](const fs::path& a, const fs::path& b) {
        const std::string x = LowerCaseAscii(a.filename().string()), y = LowerCaseAscii(b.filename().string());
        return x != y ? x < y : a.filename().string() < b.filename().string();
    };
    std::sort(images.begin(), images.end(), byName);
    std::sort(scaled.begin(), scaled.end(), byName);
    images.push_back(descriptions.front());
    // The pictures drawn for other scales last: a reader at 100 % stops unpacking before them.
    images.insert(images.end(), scaled.begin(), scaled.end());
    return images;
}

int Pack(std::vector<std::string> args) {
    bool framed = false;
    if (!args.empty() && args.front() == "--framed") {
        framed = true;
        args.erase(args.begin());
    }
    if (args.size() < 2) return Usage();
    const std::string output = args.front();
    std::vector<fs::path> inputs;
    if (args.size() == 2 && fs::is_directory(args[1])) {
        inputs = FilesOfFolder(args[1]);
    } else {
        for (size_t i = 1; i < args.size(); ++i) inputs.emplace_back(args[i]);
    }
    std::vector<TSkinArchiveFile> files;
    std::vector<std::string> seen;
    for (const auto& p : inputs) {
        const std::string name = p.filename().string();
        const std::string key = LowerCaseAscii(name);
        if (std::find(seen.begin(), seen.end(), key) != seen.end())
            throw Exception("Two files are named " + name + " (names are compared without case)");
        seen.push_back(key);
        files.push_back({name, ReadAll(p.string())});
    }
    const std::vector<uint8_t> archive = BuildSkinArchive(files);
    std::vector<uint8_t> packed = PackSkinBytes(archive.data(), archive.size());
    if (framed) {
        const uint32_t n = static_cast<uint32_t>(packed.size());
        packed.insert(packed.begin(), {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8),
                                       static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 24)});
    }
    WriteAll(output, packed);
    std::printf("%s: %zu files, %zu bytes unpacked, %zu bytes written\n", output.c_str(), files.size(), archive.size(),
                packed.size());
    return 0;
}

// Loads a packed skin, with or without the stored-property length in front.
bool Load(const std::string& path, TSkinReader& reader) {
    const std::vector<uint8_t> bytes = ReadAll(path);
    if (bytes.size() >= 8) {
        const uint32_t framedLength = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                                      static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
        if (framedLength == bytes.size() - 4 && reader.Loadfromstream(bytes.data() + 4, bytes.size() - 4)) return true;
    }
    return reader.Loadfromstream(bytes.data(), bytes.size());
}

int List(const std::string& skin) {
    TSkinReader reader;
    if (!Load(skin, reader)) {
        std::fprintf(stderr, "%s: not a packed skin, or a damaged one\n", skin.c_str());
        return 1;
    }
    for (int i = 0; i < reader.Count(); ++i)
        std::printf("%10d  %s\n", reader.FileSize(i), reader.Names()[static_cast<size_t>(i)].c_str());
    return 0;
}

int Unpack(const std::string& skin, const std::string& dir) {
    TSkinReader reader;
    if (!Load(skin, reader)) {
        std::fprintf(stderr, "%s: not a packed skin, or a damaged one\n", skin.c_str());
        return 1;
    }
    fs::create_directories(dir);
    for (const std::string& name : reader.Names()) {
        // A hostile archive must not write outside the target folder.
        if (name.find_first_of("/\\:") != std::string::npos || name == "." || name == "..") {
            std::fprintf(stderr, "skipped unsafe name \"%s\"\n", name.c_str());
            continue;
        }
        TMemoryStream body;
        reader.readfile(name, body);
        WriteAll((fs::path(dir) / name).string(), body.Bytes());
    }
    return 0;
}

int Check(const std::vector<std::string>& skins) {
    bool wrong = false;
    for (const std::string& skin : skins) {
        const TSkinCheck check = CheckSkinFile(skin, TSkinCheckDepth::Full);
        for (const TSkinFinding& f : check.Findings)
            std::printf("%s: %s: %s\n", skin.c_str(), f.Kind == TSkinFinding::skError ? "error" : "note",
                        f.Text.c_str());
        if (!check.Usable())
            std::printf("%s: the program cannot use this skin\n", skin.c_str());
        else if (check.Clean())
            std::printf("%s: ok\n", skin.c_str());
        wrong = wrong || !check.Clean();
    }
    return wrong ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return Usage();
    const std::string command = args.front();
    args.erase(args.begin());
    try {
        if (command == "pack") return Pack(args);
        if (command == "unpack" && args.size() == 2) return Unpack(args[0], args[1]);
        if (command == "list" && args.size() == 1) return List(args[0]);
        if (command == "check" && !args.empty()) return Check(args);
        return Usage();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "skinpack: %s\n", e.what());
        return 1;
    }
}
