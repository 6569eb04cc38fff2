// The skin archive: a header, a directory of file names and sizes, and the file bodies
// back to back, carried as a packed skin (4-byte size + LZHUF stream). TSkinReader
// unpacks one and hands out its files by name.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "forms/Streams.h"
#include "skin/resources/TextUtil.h"
#include "skin/resources/Winconvert.h"

namespace quorin {

// The only archive fault the skin engine reports to the operator.
inline constexpr const char* kOlderSkinMessage = "This is Older Skin File\rPlease update to new version !";

// Where the skin engine's operator messages go. The Windows build shows a warning
// message box; the native build writes the text to standard error. Tests and tools may
// install their own handler; the previous one is returned.
using TSkinMessageHandler = std::function<void(const std::string& text)>;
TSkinMessageHandler SetSkinMessageHandler(TSkinMessageHandler handler);
void ShowSkinMessage(const std::string& text);
// The platform's own way of showing the message (used when no handler is installed).
void DefaultSkinMessage(const std::string& text);

// A little-endian 32-bit field of the archive or of a packed skin's size.
inline int32_t ReadLE32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

class TSkinReader {
public:
    // Largest directory an archive may carry.
    static constexpr int kMaxEntries = 1001;

    // Unpacks a packed skin and reads its archive. False when the bytes are not a
    // complete, well-formed archive; a wrong format mark is also shown to the operator.
    // After a failure the directory and body store are empty.
    bool Loadfromstream(TMemoryStream& packed);
    bool Loadfromstream(const uint8_t* packed, size_t size);
    // The same for a packed skin in a file; false when the file does not exist.
    bool loadfromfile(const std::string& fileName);
    // Reads an archive that is already unpacked.
    bool LoadArchive(const uint8_t* archive, size_t size);

    // Copies the body of the entry whose name equals name (compared lower-cased) into
    // out, positioned at 0; out stays empty when there is none.
    void readfile(const std::string& name, TMemoryStream& out) const;
    // Copies the body of the first entry whose name contains part and returns the
    // entry's name in name (empty when none matched).
    void readIni(const std::string& part, TMemoryStream& out, std::string& name) const;

    void Decompress(TStream& source, TStream& dest);

    const std::vector<std::string>& Names() const { return names_; }
    int Count() const { return count_; }
    int32_t FileSize(int index) const { return sizes_[index]; }

    // Unpacked archives larger than this are refused before anything is allocated.
    int64_t MaxUnpackedSize = kMaxUnpackedSize;
    // Leaves out the pictures drawn for larger display scales (NAME@PERCENT.EXT) that lie
    // after every other file of the archive, as the packer puts them: they are not even
    // unpacked, so a skin that carries them loads at 100 % as fast as one without.
    bool SkipPictureSets = false;

    // Whether an entry is a picture drawn for a larger display scale.
    static bool IsScaledPicture(const std::string& name);

private:
    bool LoadArchive(const uint8_t* archive, size_t size, bool cut);
    void Reset();
    void CopyEntry(int index, TMemoryStream& out) const;

    // Header as read: format mark, name list length, 8 reserved bytes.
    int32_t mark_ = 0;
    int32_t nameTextSize_ = 0;
    uint8_t reserved_[8] = {};

    std::vector<std::string> names_;  // lower-cased
    int count_ = 0;
    int32_t sizes_[kMaxEntries] = {};
    std::vector<int64_t> offsets_;  // body offset of each entry
    TMemoryStream bodies_;
};

// One file of an archive to be written.
struct TSkinArchiveFile {
    std::string name;
    std::vector<uint8_t> data;
};

inline constexpr int32_t kSkinArchiveMark = 20000;

// Builds an (unpacked) archive from files, in the given order, with zero reserved bytes.
// Raises Exception for a name that is empty or holds a line break or NUL, or for more
// than TSkinReader::kMaxEntries files.
std::vector<uint8_t> BuildSkinArchive(const std::vector<TSkinArchiveFile>& files);

}  // namespace quorin
