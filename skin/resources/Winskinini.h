// TQuickIni: a skin description held in memory as its kept lines plus an index of the
// section headers, with typed look-ups by section and key and simple edits.
//
// Rules the skin descriptions rely on: lines are trimmed on loading, blank lines and
// ";" comments are dropped; sections are found ignoring case, keys by their lower-cased
// name; the first section of a name and the first key of a name win; a key line with an
// empty value reads as the default.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "forms/StringList.h"
#include "forms/Streams.h"

namespace quorin {

class TQuickIni {
public:
    struct TSectionEntry {
        std::string header;  // the header line, brackets included, trimmed
        int line;            // its position in the lines
    };

    TQuickIni() = default;

    // Replaces the lines with the text from the stream's position to its end; a null
    // stream does nothing. A NUL byte ends the text.
    void LoadFromStream(TStream* stream);
    void LoadFromFile(const std::string& fileName);
    // A file packed as a packed skin (4-byte size, then the codec's stream).
    void LoadFromZip(const std::string& fileName);
    // Writes the lines, each followed by CR LF; a null stream does nothing.
    void SaveToStream(TStream* stream) const;
    void SaveToFile(const std::string& fileName) const;
    void SavetoZip(const std::string& fileName) const;

    void Decompress(TStream& source, TStream& dest) const;
    void Compress(TStream& source, TStream& dest) const;

    std::string ReadString(const std::string& section, const std::string& key, const std::string& defaultValue) const;
    // Decimal, or hexadecimal after "$" or "0x"; anything else gives the default.
    int32_t ReadInteger(const std::string& section, const std::string& key, int32_t defaultValue) const;
    bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;
    // The lower-cased key names of a section, in order (lines without a key skipped).
    void ReadSection(const std::string& section, TStrings& list) const;
    // Every non-empty line of a section as stored.
    void ReadSectionValues(const std::string& section, TStrings& list) const;
    // The section names without brackets, trimmed, in file order.
    void ReadSections(TStrings& list) const;

    // Replaces the key's line, or adds it at the end of its section (before the next
    // header), adding the section at the end when it is missing. An empty key adds only
    // the section.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int32_t value);
    void WriteBool(const std::string& section, const std::string& key, bool value);
    void DeleteKey(const std::string& section, const std::string& key);
    void EraseSection(const std::string& section);

    void SetFileName(const std::string& name) { FFileName = name; }
    const std::string& FileName() const { return FFileName; }
    void SetIniFile(const TStrings& list);
    void RebuildSections();
    void Clear();

    // Line rules: the lower-cased, trimmed text before the first "=" (empty without
    // one); the trimmed text after it; whether the trimmed line is "[...]".
    static std::string GetName(std::string_view line);
    static std::string GetValue(std::string_view line);
    static bool IsSection(std::string_view line);
    // The line position of the first header "[section]" (ignoring case), or -1.
    int GetSectionIndex(const std::string& section) const;

    const std::vector<std::string>& Lines() const { return FLines; }
    const std::vector<TSectionEntry>& Sections() const { return FSections; }

private:
    // The line of the key inside the section whose header is at headerLine, or -1; end
    // receives the line where the section ends (the next header or the line count).
    int FindKey(int headerLine, const std::string& lowerKey, int& end) const;

    [[maybe_unused]] int32_t FReserved = 0;  // kept for the stored layout of the class; unused
    std::string FFileName;
    std::vector<std::string> FLines;
    std::vector<TSectionEntry> FSections;
};

}  // namespace quorin
