// The one text-to-integer conversion of the program, and the hexadecimal formatting that
// the filter rows and the parameter pages use. Every text field the operator can type into
// reaches a number through StrToInt, so its rules are deliberately strict: whatever it
// does not recognise in full is refused with a message that quotes the whole text.
#include "forms/SysUtils.h"

#include <cstddef>

namespace quorin {

namespace {

[[noreturn]] void RaiseNotInteger(const std::string& text) {
    throw EConvertError("'" + text + "' is not a valid integer value");
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

int32_t StrToInt(const std::string& text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ') ++i;

    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    bool hex = false;
    if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }

    // At least one digit, and nothing but digits up to the end: blanks inside or after
    // the number are as wrong as any other stray character.
    if (i == n) RaiseNotInteger(text);

    if (hex) {
        // Up to 32 significant bits; leading zeros do not count, so "0x000000001" is fine
        // while "0x100000000" is not. The bit pattern is kept: FFFFFFFF becomes -1.
        uint32_t value = 0;
        for (; i < n; ++i) {
            const int d = HexDigitValue(text[i]);
            if (d < 0 || (value >> 28) != 0) RaiseNotInteger(text);
            value = (value << 4) | static_cast<uint32_t>(d);
        }
        if (negative) value = 0u - value;
        return static_cast<int32_t>(value);
    }

    // Decimal: the full signed 32-bit range, -2147483648 included.
    const uint32_t limit = negative ? 0x80000000u : 0x7FFFFFFFu;
    uint32_t value = 0;
    for (; i < n; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') RaiseNotInteger(text);
        const uint32_t d = static_cast<uint32_t>(c - '0');
        if (value > (limit - d) / 10) RaiseNotInteger(text);
        value = value * 10 + d;
    }
    if (negative) value = 0u - value;
    return static_cast<int32_t>(value);
}

std::string IntToHex(uint32_t value, int digits) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    do {
        out.insert(out.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    if (static_cast<int>(out.size()) < digits) out.insert(0, static_cast<std::size_t>(digits) - out.size(), '0');
    return out;
}

std::string LowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace quorin
