#include "forms/HighContrast.h"

#include <windows.h>

#include <cstdio>

namespace quorin {
namespace {

THighContrastQuery Replacement = nullptr;

// The test's stand-in file, when there is one: 1 on, 0 off, -1 none to read.
int StandInAnswer() {
    const wchar_t* path = _wgetenv(L"QUORIN_HIGH_CONTRAST_FILE");
    if (!path || !*path) return -1;
    FILE* f = _wfopen(path, L"rb");
    if (!f) return -1;
    const int first = std::fgetc(f);
    std::fclose(f);
    return first == '1' ? 1 : 0;
}

bool SystemAnswer() {
    HIGHCONTRASTW hc{};
    hc.cbSize = sizeof hc;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
}

}  // namespace

bool HighContrastOn() {
    if (Replacement) return Replacement();
    if (const int standIn = StandInAnswer(); standIn >= 0) return standIn == 1;
    return SystemAnswer();
}

void SetHighContrastQuery(THighContrastQuery Query) { Replacement = Query; }

}  // namespace quorin
