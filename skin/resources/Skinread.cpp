#include "skin/resources/Skinread.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace quorin {

namespace {

std::mutex& HandlerLock() {
    static std::mutex lock;
    return lock;
}

TSkinMessageHandler& Handler() {
    static TSkinMessageHandler handler;
    return handler;
}

void AppendLE32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A packed skin file larger than this cannot hold an archive within the unpacked limit
// (the codec never expands data by more than a ninth).
constexpr int64_t kMaxPackedFileSize = kMaxUnpackedSize + kMaxUnpackedSize / 4;

}  // namespace

TSkinMessageHandler SetSkinMessageHandler(TSkinMessageHandler handler) {
    std::lock_guard<std::mutex> guard(HandlerLock());
    TSkinMessageHandler previous = std::move(Handler());
    Handler() = std::move(handler);
    return previous;
}

void ShowSkinMessage(const std::string& text) {
    TSkinMessageHandler handler;
    {
        std::lock_guard<std::mutex> guard(HandlerLock());
        handler = Handler();
    }
    if (handler)
        handler(text);
    else
        DefaultSkinMessage(text);
}

void TSkinReader::Reset() {
    mark_ = 0;
    nameTextSize_ = 0;
    std::memset(reserved_, 0, sizeof reserved_);
    names_.clear();
    count_ = 0;
    std::memset(sizes_, 0, sizeof sizes_);
    offsets_.clear();
    bodies_.Clear();
}

bool TSkinReader::Loadfromstream(TMemoryStream& packed) {
    return Loadfromstream(packed.Memory(), static_cast<size_t>(packed.Size()));
}

bool TSkinReader::IsScaledPicture(const std::string& name) {
    const size_t at = name.rfind('@'), dot = name.rfind('.');
    if (at == std::string::npos || dot == std::string::npos || dot <= at + 1) return false;
    for (size_t i = at + 1; i < dot; ++i)
        if (name[i] < '0' || name[i] > '9') return false;
    return true;
}

namespace {

// The length of the archive's head that holds every file but the trailing pictures of
// other scales; false while the directory is not yet unpacked.
bool NeededLength(const std::vector<uint8_t>& archive, size_t& length) {
    if (archive.size() < 16) return false;
    const int32_t nameText = ReadLE32(archive.data() + 4);
    if (nameText < 0) return true;  // the archive check refuses it
    if (archive.size() < 16 + size_t(nameText)) return false;
    const std::vector<std::string> names =
        SplitLines(LowerCaseAscii(std::string(reinterpret_cast<const char*>(archive.data() + 16), size_t(nameText))));
    const size_t table = 16 + size_t(nameText);
    if (names.size() > size_t(TSkinReader::kMaxEntries)) return true;
    if (archive.size() < table + 4 * names.size()) return false;
    size_t end = table + 4 * names.size(), offset = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        const int32_t s = ReadLE32(archive.data() + table + 4 * i);
        if (s < 0) return true;
        offset += size_t(s);
        if (!TSkinReader::IsScaledPicture(names[i])) end = table + 4 * names.size() + offset;
    }
    length = std::min(length, end);
    return true;
}

}  // namespace

bool TSkinReader::Loadfromstream(const uint8_t* packed, size_t size) {
    Reset();
    // An ElzhException (no memory for the codec tables) goes to the caller.
    std::vector<uint8_t> archive;
    if (!SkipPictureSets) {
        if (!UnpackSkinBytes(packed, size, archive, MaxUnpackedSize)) return false;
        return LoadArchive(archive.data(), archive.size());
    }
    if (size < 4) return false;
    const int32_t declared = ReadLE32(packed);
    if (declared < 0 || declared > MaxUnpackedSize) return false;
    // The head first, as far as the directory; then as far as the files wanted (the head is
    // unpacked twice, a few kilobytes).
    size_t wanted = size_t(declared);
    size_t head = std::min<size_t>(wanted, 8192);
    archive = LZHUnpackBytes(packed + 4, size - 4, head);
    if (!NeededLength(archive, wanted) && head < wanted && archive.size() >= 8) {
        head = std::min<size_t>(wanted, 16 + size_t(std::max(ReadLE32(archive.data() + 4), 0)) + 4 * kMaxEntries);
        archive = LZHUnpackBytes(packed + 4, size - 4, head);
        NeededLength(archive, wanted);
    }
    if (wanted != archive.size()) archive = LZHUnpackBytes(packed + 4, size - 4, wanted);
    return LoadArchive(archive.data(), archive.size(), wanted < size_t(declared));
}

bool TSkinReader::loadfromfile(const std::string& fileName) {
    Reset();
    std::vector<uint8_t> packed;
    try {
        TFileStream file(fileName, fmOpenRead);
        const int64_t size = file.Size();
        if (size < 0 || size > kMaxPackedFileSize) return false;
        packed.resize(static_cast<size_t>(size));
        file.ReadBuffer(packed.data(), size);
    } catch (const EFOpenError&) {
        return false;  // no such file (or one that cannot be opened): no skin
    }
    return Loadfromstream(packed.data(), packed.size());
}

bool TSkinReader::LoadArchive(const uint8_t* archive, size_t size) { return LoadArchive(archive, size, false); }

// cut: the archive was unpacked only as far as its files before the trailing pictures of
// other scales; those are left out of the directory.
bool TSkinReader::LoadArchive(const uint8_t* archive, size_t size, bool cut) {
    Reset();
    if (size < 16) return false;
    const int32_t mark = ReadLE32(archive);
    if (mark != kSkinArchiveMark) {
        ShowSkinMessage(kOlderSkinMessage);
        return false;
    }
    const int32_t nameText = ReadLE32(archive + 4);
    // Every length is checked against what is left before it is used.
    if (nameText < 0 || static_cast<uint64_t>(nameText) > size - 16) return false;
    const char* names = reinterpret_cast<const char*>(archive + 16);
    std::vector<std::string> lines = SplitLines(LowerCaseAscii(std::string(names, static_cast<size_t>(nameText))));
    if (lines.size() > static_cast<size_t>(kMaxEntries)) return false;
    const size_t n = lines.size();
    const size_t table = 16 + static_cast<size_t>(nameText);
    if (n * 4 > size - table) return false;
    const size_t bodyStart = table + n * 4;
    std::vector<int64_t> offsets(n);
    int64_t total = 0;
    for (size_t i = 0; i < n; ++i) {
        const int32_t s = ReadLE32(archive + table + 4 * i);
        if (s < 0) return false;
        offsets[i] = total;
        total += s;
    }
    if (cut) {
        while (!lines.empty() && static_cast<uint64_t>(total) > size - bodyStart) {
            total -= ReadLE32(archive + table + 4 * (lines.size() - 1));
            lines.pop_back();
            offsets.pop_back();
        }
    }
    if (static_cast<uint64_t>(total) > size - bodyStart) return false;

    mark_ = mark;
    nameTextSize_ = nameText;
    std::memcpy(reserved_, archive + 8, sizeof reserved_);
    count_ = static_cast<int>(lines.size());
    names_ = std::move(lines);
    for (int i = 0; i < count_; ++i) sizes_[i] = ReadLE32(archive + table + 4 * size_t(i));
    offsets_ = std::move(offsets);
    bodies_.WriteBuffer(archive + bodyStart, static_cast<int64_t>(size - bodyStart));
    bodies_.SetPosition(0);
    return true;
}

void TSkinReader::CopyEntry(int index, TMemoryStream& out) const {
    const auto& bytes = bodies_.Bytes();
    out.WriteBuffer(bytes.data() + offsets_[static_cast<size_t>(index)], sizes_[index]);
    out.SetPosition(0);
}

void TSkinReader::readfile(const std::string& name, TMemoryStream& out) const {
    out.Clear();
    const std::string wanted = LowerCaseAscii(name);
    for (int i = 0; i < count_; ++i) {
        if (names_[static_cast<size_t>(i)] == wanted) {
            CopyEntry(i, out);
            return;
        }
    }
}

void TSkinReader::readIni(const std::string& part, TMemoryStream& out, std::string& name) const {
    out.Clear();
    name.clear();
    for (int i = 0; i < count_; ++i) {
        if (names_[static_cast<size_t>(i)].find(part) != std::string::npos) {
            name = names_[static_cast<size_t>(i)];
            CopyEntry(i, out);
            return;
        }
    }
}

void TSkinReader::Decompress(TStream& source, TStream& dest) {
    TLZH lzh;
    lzh.Decompress(source, dest);
}

std::vector<uint8_t> BuildSkinArchive(const std::vector<TSkinArchiveFile>& files) {
    if (files.size() > static_cast<size_t>(TSkinReader::kMaxEntries))
        throw Exception("A skin holds at most " + std::to_string(TSkinReader::kMaxEntries) + " files, not " +
                        std::to_string(files.size()));
    std::string nameText;
    uint64_t total = 0;
    for (const auto& f : files) {
        if (f.name.empty() || f.name.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
            throw Exception("Invalid file name in a skin: \"" + f.name + "\"");
        nameText += f.name + "\r\n";
        total += f.data.size();
    }
    if (nameText.size() + 4 * files.size() + total + 16 > static_cast<uint64_t>(kMaxUnpackedSize))
        throw Exception("The skin is larger than " + std::to_string(kMaxUnpackedSize / (1024 * 1024)) + " MB");

    std::vector<uint8_t> out;
    out.reserve(16 + nameText.size() + 4 * files.size() + static_cast<size_t>(total));
    AppendLE32(out, static_cast<uint32_t>(kSkinArchiveMark));
    AppendLE32(out, static_cast<uint32_t>(nameText.size()));
    out.insert(out.end(), 8, 0);  // reserved
    out.insert(out.end(), nameText.begin(), nameText.end());
    for (const auto& f : files) AppendLE32(out, static_cast<uint32_t>(f.data.size()));
    for (const auto& f : files) out.insert(out.end(), f.data.begin(), f.data.end());
    return out;
}

}  // namespace quorin
