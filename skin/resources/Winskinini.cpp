#include "skin/resources/Winskinini.h"

#include "forms/SysUtils.h"
#include "skin/resources/TextUtil.h"
#include "skin/resources/Winconvert.h"

namespace quorin {

namespace {

bool LooksLikeHeader(std::string_view line) { return line.size() >= 2 && line.front() == '[' && line.back() == ']'; }

}  // namespace

void TQuickIni::LoadFromStream(TStream* stream) {
    if (!stream) return;
    const int64_t left = stream->Size() - stream->Position();
    std::string text(static_cast<size_t>(left > 0 ? left : 0), '\0');
    if (!text.empty()) text.resize(static_cast<size_t>(stream->Read(text.data(), static_cast<int64_t>(text.size()))));
    Clear();

    size_t i = 0;
    const size_t n = text.size();
    bool ended = false;
    while (i < n && !ended) {
        const size_t start = i;
        while (i < n && text[i] != '\r' && text[i] != '\n' && text[i] != '\0') ++i;
        const std::string_view line = TrimControl(std::string_view(text).substr(start, i - start));
        if (i < n && text[i] == '\0') {
            ended = true;
        } else {
            if (i < n && text[i] == '\r') ++i;
            if (i < n && text[i] == '\n') ++i;
        }
        if (line.empty() || line.front() == ';') continue;
        FLines.emplace_back(line);
        if (IsSection(line)) FSections.push_back({std::string(line), static_cast<int>(FLines.size()) - 1});
    }
}

void TQuickIni::LoadFromFile(const std::string& fileName) {
    TFileStream file(fileName, fmOpenRead);
    LoadFromStream(&file);
}

void TQuickIni::LoadFromZip(const std::string& fileName) {
    TMemoryStream packed, text;
    packed.LoadFromFile(fileName);
    Decompress(packed, text);
    text.SetPosition(0);
    LoadFromStream(&text);
}

void TQuickIni::SaveToStream(TStream* stream) const {
    if (!stream) return;
    std::string text;
    for (const auto& line : FLines) {
        text += line;
        text += "\r\n";
    }
    stream->WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

void TQuickIni::SaveToFile(const std::string& fileName) const {
    TFileStream file(fileName, fmCreate);
    SaveToStream(&file);
}

void TQuickIni::SavetoZip(const std::string& fileName) const {
    TMemoryStream text, packed;
    SaveToStream(&text);
    Compress(text, packed);
    packed.SaveToFile(fileName);
}

void TQuickIni::Decompress(TStream& source, TStream& dest) const {
    TLZH lzh;
    lzh.Decompress(source, dest);
}

void TQuickIni::Compress(TStream& source, TStream& dest) const {
    TLZH lzh;
    lzh.Compress(source, dest);
}

std::string TQuickIni::GetName(std::string_view line) {
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) return {};
    return LowerCaseAscii(std::string(TrimControl(line.substr(0, eq))));
}

std::string TQuickIni::GetValue(std::string_view line) {
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) return {};
    return std::string(TrimControl(line.substr(eq + 1)));
}

bool TQuickIni::IsSection(std::string_view line) { return LooksLikeHeader(TrimControl(line)); }

int TQuickIni::GetSectionIndex(const std::string& section) const {
    const std::string header = "[" + section + "]";
    for (const auto& s : FSections) {
        if (SameText(s.header, header)) return s.line;
    }
    return -1;
}

int TQuickIni::FindKey(int headerLine, const std::string& lowerKey, int& end) const {
    const int count = static_cast<int>(FLines.size());
    for (int i = headerLine + 1; i < count; ++i) {
        const std::string& line = FLines[static_cast<size_t>(i)];
        if (IsSection(line)) {
            end = i;
            return -1;
        }
        if (GetName(line) == lowerKey) {
            end = i;
            return i;
        }
    }
    end = count;
    return -1;
}

std::string TQuickIni::ReadString(const std::string& section, const std::string& key,
                                  const std::string& defaultValue) const {
    if (FLines.empty()) return defaultValue;
    const int header = GetSectionIndex(section);
    if (header < 0) return defaultValue;
    int end = 0;
    const int at = FindKey(header, LowerCaseAscii(key), end);
    if (at < 0) return defaultValue;
    std::string value = GetValue(FLines[static_cast<size_t>(at)]);
    return value.empty() ? defaultValue : value;
}

int32_t TQuickIni::ReadInteger(const std::string& section, const std::string& key, int32_t defaultValue) const {
    std::string text = ReadString(section, key, "");
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text = "$" + text.substr(2);
    try {
        return StrToInt(text);
    } catch (const EConvertError&) {
        return defaultValue;
    }
}

bool TQuickIni::ReadBool(const std::string& section, const std::string& key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TQuickIni::ReadSection(const std::string& section, TStrings& list) const {
    list.Clear();
    const int header = GetSectionIndex(section);
    if (header < 0) return;
    for (size_t i = static_cast<size_t>(header) + 1; i < FLines.size() && !IsSection(FLines[i]); ++i) {
        std::string name = GetName(FLines[i]);
        if (!name.empty()) list.Add(name);
    }
}

void TQuickIni::ReadSectionValues(const std::string& section, TStrings& list) const {
    list.Clear();
    const int header = GetSectionIndex(section);
    if (header < 0) return;
    for (size_t i = static_cast<size_t>(header) + 1; i < FLines.size() && !IsSection(FLines[i]); ++i) {
        if (!FLines[i].empty()) list.Add(FLines[i]);
    }
}

void TQuickIni::ReadSections(TStrings& list) const {
    // The list is emptied first, so a reused list does not collect names twice.
    list.Clear();
    for (const auto& s : FSections)
        list.Add(std::string(TrimControl(std::string_view(s.header).substr(1, s.header.size() - 2))));
}

void TQuickIni::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    const std::string keyLine = key + "=" + value;
    const int header = GetSectionIndex(section);
    if (header < 0) {
        FLines.push_back("[" + section + "]");
        if (!key.empty()) FLines.push_back(keyLine);
    } else {
        if (key.empty()) return;
        int end = 0;
        const int at = FindKey(header, LowerCaseAscii(key), end);
        if (at >= 0)
            FLines[static_cast<size_t>(at)] = keyLine;
        else if (end >= static_cast<int>(FLines.size()))
            FLines.push_back(keyLine);
        else
            FLines.insert(FLines.begin() + end, keyLine);
    }
    // Recomputed rather than patched, so the index stays true even when a written line
    // itself looks like a header.
    RebuildSections();
}

void TQuickIni::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void TQuickIni::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void TQuickIni::DeleteKey(const std::string& section, const std::string& key) {
    // An empty key names no key line (it would match the first line without "=").
    if (key.empty()) return;
    const int header = GetSectionIndex(section);
    if (header < 0) return;
    int end = 0;
    const int at = FindKey(header, LowerCaseAscii(key), end);
    if (at < 0) return;
    FLines.erase(FLines.begin() + at);
    RebuildSections();
}

void TQuickIni::EraseSection(const std::string& section) {
    const int header = GetSectionIndex(section);
    if (header < 0) return;
    size_t end = static_cast<size_t>(header) + 1;
    while (end < FLines.size() && !IsSection(FLines[end])) ++end;
    FLines.erase(FLines.begin() + header, FLines.begin() + static_cast<std::ptrdiff_t>(end));
    if (header != 0) FLines.insert(FLines.begin() + header, std::string());
    RebuildSections();
}

void TQuickIni::SetIniFile(const TStrings& list) {
    FLines.clear();
    for (int i = 0; i < list.Count(); ++i) FLines.push_back(list.Get(i));
    RebuildSections();
}

void TQuickIni::RebuildSections() {
    FSections.clear();
    for (size_t i = 0; i < FLines.size(); ++i) {
        if (LooksLikeHeader(FLines[i])) FSections.push_back({std::string(TrimControl(FLines[i])), static_cast<int>(i)});
    }
}

void TQuickIni::Clear() {
    FLines.clear();
    FSections.clear();
}

}  // namespace quorin
