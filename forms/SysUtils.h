// Portable run-time support shared by the whole program: the framework's exception
// classes and the one text-to-integer conversion every text field goes through.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quorin {

// The framework's exception class. The message is UTF-8; the application's exception
// display shows it in the framework's standard message box.
class Exception : public std::runtime_error {
public:
    // The message is kept whole beside what(), which as a C string would end it at the
    // first NUL of a text that came from outside.
    explicit Exception(const std::string& message) : std::runtime_error(message), message_(message) {}
    const std::string& Message() const { return message_; }

private:
    std::string message_;
};

// Raised by a conversion that cannot take its text, for example
// "'0x1G' is not a valid integer value".
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Converts a text to a signed 32-bit integer: optional leading blanks, optional sign,
// decimal digits, or hexadecimal digits after "$", "0x", "0X", "x" or "X". Hexadecimal up
// to FFFFFFFF is accepted and kept as its 32-bit pattern. Anything else raises
// EConvertError naming the whole text.
int32_t StrToInt(const std::string& text);

// Compares two texts ignoring the case of the letters A to Z, as names and identifiers
// are compared throughout (component names, property values, INI section headers).
bool SameText(std::string_view a, std::string_view b);

// The text with the letters A to Z in lower case, every other byte as it was.
std::string LowerCase(std::string_view text);

// Upper-case hexadecimal digits of value, without prefix, padded with zeros on the left to
// at least `digits` characters: IntToHex(0x7FF, 8) is "000007FF".
std::string IntToHex(uint32_t value, int digits);

}  // namespace quorin
