// The INI store on hostile text: loading, reading and editing never fault, and the
// section index always matches a rebuild from the lines.
#include "skin/resources/Winskinini.h"

#include <cstdlib>

using namespace quorin;

namespace {

void CheckIndex(const TQuickIni& ini) {
    TQuickIni copy;
    TStringList lines;
    for (const auto& l : ini.Lines()) lines.Add(l);
    copy.SetIniFile(lines);
    if (copy.Sections().size() != ini.Sections().size()) std::abort();
    for (size_t i = 0; i < copy.Sections().size(); ++i) {
        if (copy.Sections()[i].header != ini.Sections()[i].header || copy.Sections()[i].line != ini.Sections()[i].line)
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TMemoryStream m(std::vector<uint8_t>(data, data + size));
    TQuickIni ini;
    ini.LoadFromStream(&m);
    CheckIndex(ini);

    // Section and key names taken from the text itself, so reads and edits hit.
    TStringList sections, keys;
    ini.ReadSections(sections);
    for (int i = 0; i < sections.Count() && i < 8; ++i) {
        const std::string s = sections.Get(i);
        ini.ReadSection(s, keys);
        for (int k = 0; k < keys.Count() && k < 8; ++k) {
            (void)ini.ReadString(s, keys.Get(k), "");
            (void)ini.ReadInteger(s, keys.Get(k), 0);
            (void)ini.ReadBool(s, keys.Get(k), false);
        }
        ini.ReadSectionValues(s, keys);
    }
    const std::string text(reinterpret_cast<const char*>(data), size < 16 ? size : 16);
    ini.WriteString(text, text, text);
    CheckIndex(ini);
    if (sections.Count() > 0) {
        ini.WriteString(sections.Get(0), "k" + text, "v");
        CheckIndex(ini);
        ini.DeleteKey(sections.Get(0), "k" + text);
        CheckIndex(ini);
        ini.EraseSection(sections.Get(sections.Count() - 1));
        CheckIndex(ini);
    }
    TMemoryStream saved;
    ini.SaveToStream(&saved);
    return 0;
}
