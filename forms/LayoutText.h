// The stored-layout text: its parse tree, a strict reader and a writer whose output the
// reader takes back unchanged. The format is described in docs/layout-format.md.
//
// Reading is bounded (text size, nesting depth, integer range) and never crashes on a
// malformed text: every fault raises ELayoutError naming the line and column.
#pragma once

#include "forms/SysUtils.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorin {

// A fault in a layout text, or in a layout being applied to components. The message reads
// "Layout line L, column C: <what>"; Line() and Column() are 1-based, 0 when unknown.
class ELayoutError : public Exception {
public:
    ELayoutError(int line, int column, const std::string& what);
    int Line() const { return line_; }
    int Column() const { return column_; }
    const std::string& What() const { return what_; }

private:
    int line_;
    int column_;
    std::string what_;
};

enum class LayoutValueKind { Integer, String, Ident, Bool, List, Set, Items, Binary };

// The name the error messages use for a kind of value ("integer", "string", ...).
const char* LayoutValueKindName(LayoutValueKind kind);

struct LayoutProperty;

// One item of a collection value: `{ Caption = "Port" Width = 100 }`.
struct LayoutItem {
    std::vector<LayoutProperty> properties;
    int line = 0;
    int column = 0;
};

struct LayoutValue {
    LayoutValueKind kind = LayoutValueKind::Integer;
    int64_t integer = 0;            // Integer
    bool boolean = false;           // Bool
    std::string text;               // String (UTF-8), Ident
    std::vector<std::string> list;  // List (strings), Set (identifiers)
    std::vector<LayoutItem> items;  // Items
    std::vector<uint8_t> bytes;     // Binary
    int line = 0;
    int column = 0;

    static LayoutValue Int(int64_t v);
    static LayoutValue Str(std::string v);
    static LayoutValue Ident(std::string v);
    static LayoutValue Bool(bool v);
    static LayoutValue StrList(std::vector<std::string> v);
    static LayoutValue SetOf(std::vector<std::string> v);
    static LayoutValue ItemList(std::vector<LayoutItem> v);
    static LayoutValue Bin(std::vector<uint8_t> v);

    // Equal content; positions are ignored.
    bool operator==(const LayoutValue& other) const;
};

struct LayoutProperty {
    std::string path;  // "Caption", "Font.Name"
    LayoutValue value;
    int line = 0;
    int column = 0;
    bool operator==(const LayoutProperty& o) const { return path == o.path && value == o.value; }
};

struct LayoutObject {
    std::string name;
    std::string className;
    std::vector<LayoutProperty> properties;  // in the order they stand
    std::vector<LayoutObject> children;      // in the order they stand
    int line = 0;
    int column = 0;

    // The last property of that path (a later assignment wins), or nullptr.
    const LayoutProperty* Find(std::string_view path) const;
    // A direct child by name, or nullptr.
    const LayoutObject* Child(std::string_view name) const;
    bool operator==(const LayoutObject& other) const;
};

// Limits of the reader. A layout is a few hundred kilobytes at most (the skin travels in
// it as hexadecimal), so these only keep hostile input from exhausting memory or stack.
constexpr size_t kLayoutMaxText = 64u << 20;
constexpr int kLayoutMaxDepth = 64;

// Reads a whole layout: exactly one object, then only blanks and comments. A UTF-8 byte
// order mark at the start is skipped. Raises ELayoutError.
LayoutObject ParseLayout(std::string_view text);

// Writes a layout that ParseLayout reads back equal. Raises Exception for content that the
// format cannot hold (a name that is not an identifier, a string that is not UTF-8).
std::string WriteLayout(const LayoutObject& root);

// True when `name` is a valid NAME of the format: a letter or '_' then letters, digits, '_'.
bool IsLayoutName(std::string_view name);

}  // namespace quorin
