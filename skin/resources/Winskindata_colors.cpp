// Colour texts of a skin description ("244 244 244") and the colour table.
#include "skin/resources/Winskindata.h"

namespace quorin {

TColor RGBToColor(int32_t r, int32_t g, int32_t b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

TColor strcolor(const std::string& text) {
    // Numbers are runs of decimal digits; any other character after a digit ends one.
    // Only the low 8 bits of each number count, so they are kept modulo 256 while the
    // digits come in and a long run of digits cannot overflow.
    int32_t parts[3] = {0, 0, 0};
    int ended = 0;
    int32_t current = 0;
    bool inNumber = false;
    size_t begin = 0, end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
    for (size_t i = begin; i < end; ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
            current = (current * 10 + (c - '0')) & 0xFF;
            inNumber = true;
        } else if (inNumber) {
            if (ended < 3) parts[ended] = current;
            ++ended;
            current = 0;
            inNumber = false;
        }
    }
    // The last number usually runs to the end of the text without a separator.
    if (inNumber && ended < 3) parts[ended] = current;
    return RGBToColor(parts[0], parts[1], parts[2]);
}

}  // namespace quorin
