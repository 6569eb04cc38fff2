// Any text either converts or raises the conversion error naming it, and what converts
// agrees with an independent reading of the same digits.
#include "forms/SysUtils.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// The value of the text by a plain reading; false when the text is no integer. Wider
// than 32 bits on purpose, so overflow is judged here and not by the same arithmetic.
bool Reference(const std::string& s, int64_t& out) {
    size_t i = s.find_first_not_of(' ');
    if (i == std::string::npos) return false;
    bool neg = false;
    if (s[i] == '+' || s[i] == '-') neg = s[i++] == '-';
    int base = 10;
    if (s.compare(i, 1, "$") == 0 || s.compare(i, 1, "x") == 0 || s.compare(i, 1, "X") == 0) {
        base = 16;
        i += 1;
    } else if (s.compare(i, 2, "0x") == 0 || s.compare(i, 2, "0X") == 0) {
        base = 16;
        i += 2;
    }
    const std::string digits = s.substr(i);
    if (digits.empty()) return false;
    for (char c : digits)
        if (!(base == 16 ? std::isxdigit(static_cast<unsigned char>(c)) : std::isdigit(static_cast<unsigned char>(c))))
            return false;
    const size_t first = digits.find_first_not_of('0');
    const std::string significant = first == std::string::npos ? "0" : digits.substr(first);
    if (significant.size() > 10) return false;
    uint64_t v = 0;
    std::from_chars(significant.data(), significant.data() + significant.size(), v, base);
    if (base == 16) {
        if (v > 0xFFFFFFFFu) return false;
        uint32_t bits = static_cast<uint32_t>(v);
        if (neg) bits = 0u - bits;
        out = static_cast<int32_t>(bits);
        return true;
    }
    const int64_t signedValue = neg ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
    if (signedValue < INT32_MIN || signedValue > INT32_MAX) return false;
    out = signedValue;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    int64_t expected = 0;
    const bool valid = Reference(text, expected);
    try {
        const int32_t got = quorin::StrToInt(text);
        if (!valid || got != expected) std::abort();
    } catch (const quorin::EConvertError& e) {
        if (valid || e.Message() != "'" + text + "' is not a valid integer value") std::abort();
    }
    return 0;
}
