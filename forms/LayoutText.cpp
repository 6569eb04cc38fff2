// Reader and writer of the stored-layout text.
#include "forms/LayoutText.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace quorin {

namespace {

std::string Position(int line, int column) {
    if (line <= 0) return "Layout";
    return "Layout line " + std::to_string(line) + ", column " + std::to_string(column);
}

bool IsNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// Length of the well-formed UTF-8 sequence at s[i] (1 to 4), or 0 when it is malformed
// (overlong forms, surrogates and values above U+10FFFF included).
size_t Utf8SequenceLength(std::string_view s, size_t i) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    if (c < 0x80) return 1;
    size_t n;
    uint32_t cp;
    if ((c & 0xE0) == 0xC0) {
        n = 2;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        n = 3;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        n = 4;
        cp = c & 0x07;
    } else
        return 0;
    if (i + n > s.size()) return 0;
    for (size_t k = 1; k < n; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    static const uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

class Reader {
public:
    explicit Reader(std::string_view text) : s_(text) {}

    LayoutObject Document() {
        if (s_.size() > kLayoutMaxText) Fail("the text is larger than " + std::to_string(kLayoutMaxText) + " bytes");
        if (s_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
        SkipBlanks();
        if (AtEnd()) Fail("the layout is empty");
        LayoutObject root = Object(1);
        SkipBlanks();
        if (!AtEnd()) Fail("unexpected text after the end of the layout");
        return root;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const { throw ELayoutError(line_, column_, what); }
    [[noreturn]] void FailAt(int line, int column, const std::string& what) const {
        throw ELayoutError(line, column, what);
    }

    bool AtEnd() const { return pos_ >= s_.size(); }
    char Peek(size_t ahead = 0) const { return pos_ + ahead < s_.size() ? s_[pos_ + ahead] : '\0'; }

    void Advance() {
        if (AtEnd()) return;
        const char c = s_[pos_++];
        if (c == '\n') {
            ++line_;
            column_ = 1;
        } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++column_;  // columns count characters, not the continuation bytes of UTF-8
        }
    }

    void SkipBlanks() {
        for (;;) {
            const char c = Peek();
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                Advance();
            } else if (c == '#') {
                while (!AtEnd() && Peek() != '\n') Advance();
            } else {
                return;
            }
        }
    }

    std::string Describe() const {
        if (AtEnd()) return "the end of the text";
        const unsigned char c = static_cast<unsigned char>(Peek());
        if (c >= 0x21 && c < 0x7F) return std::string("'") + char(c) + "'";
        char buf[16];
        snprintf(buf, sizeof buf, "byte 0x%02X", c);
        return buf;
    }

    void Expect(char c, const std::string& context) {
        SkipBlanks();
        if (Peek() != c) Fail(std::string("expected '") + c + "' " + context + ", found " + Describe());
        Advance();
    }

    std::string Name(const char* what) {
        SkipBlanks();
        if (!IsNameStart(Peek())) Fail(std::string("expected ") + what + ", found " + Describe());
        const size_t start = pos_;
        while (IsNameChar(Peek())) Advance();
        return std::string(s_.substr(start, pos_ - start));
    }

    void EnterDepth(int depth) const {
        if (depth > kLayoutMaxDepth) Fail("nesting deeper than " + std::to_string(kLayoutMaxDepth) + " levels");
    }

    LayoutObject Object(int depth) {
        EnterDepth(depth);
        LayoutObject obj;
        SkipBlanks();
        obj.line = line_;
        obj.column = column_;
        obj.name = Name("a component name");
        Expect(':', "after the component name");
        obj.className = Name("a class name");
        Expect('{', "after the class name");
        for (;;) {
            SkipBlanks();
            if (Peek() == '}') {
                Advance();
                return obj;
            }
            if (AtEnd()) FailAt(obj.line, obj.column, "the object \"" + obj.name + "\" is not closed with '}'");
            // A member is a property (PATH '=') or a child object (NAME ':').
            const int line = line_, column = column_;
            const size_t save = pos_;
            Name("a property or component name");
            SkipBlanks();
            const bool child = Peek() == ':';
            pos_ = save;
            line_ = line;
            column_ = column;
            if (child) {
                obj.children.push_back(Object(depth + 1));
            } else {
                obj.properties.push_back(Property(depth + 1));
            }
        }
    }

    LayoutProperty Property(int depth) {
        LayoutProperty p;
        SkipBlanks();
        p.line = line_;
        p.column = column_;
        p.path = Name("a property name");
        while (Peek() == '.') {
            Advance();
            if (!IsNameStart(Peek())) Fail("expected a property name after '.', found " + Describe());
            p.path += '.';
            p.path += Name("a property name");
        }
        Expect('=', "after the property name \"" + std::string(p.path) + "\"");
        p.value = Value(depth);
        return p;
    }

    LayoutValue Value(int depth) {
        SkipBlanks();
        const int line = line_, column = column_;
        LayoutValue v;
        const char c = Peek();
        if (c == '"') {
            v = LayoutValue::Str(JoinedString());
        } else if (c == '-' || IsDigit(c)) {
            v = LayoutValue::Int(Integer());
        } else if (c == '[') {
            v = StringList();
        } else if (c == '<') {
            v = IdentSet();
        } else if (c == '(') {
            v = Items(depth);
        } else if (IsNameStart(c)) {
            std::string word = Name("a value");
            if (word == "true" || word == "false") {
                v = LayoutValue::Bool(word == "true");
            } else if (word == "bin" && (SkipBlanks(), Peek() == '{')) {
                v = Binary();
            } else {
                v = LayoutValue::Ident(std::move(word));
            }
        } else {
            Fail("expected a value, found " + Describe());
        }
        v.line = line;
        v.column = column;
        return v;
    }

    int64_t Integer() {
        const int line = line_, column = column_;
        bool negative = false;
        if (Peek() == '-') {
            negative = true;
            Advance();
            if (!IsDigit(Peek())) Fail("expected digits after '-', found " + Describe());
        }
        if (!negative && Peek() == '0' && (Peek(1) == 'x' || Peek(1) == 'X')) {
            Advance();
            Advance();
            uint64_t value = 0;
            int digits = 0;
            while (HexValue(Peek()) >= 0) {
                if (++digits > 16) FailAt(line, column, "hexadecimal number longer than 16 digits");
                value = (value << 4) | uint64_t(HexValue(Peek()));
                Advance();
            }
            if (digits == 0) Fail("expected hexadecimal digits after '0x', found " + Describe());
            if (IsNameChar(Peek())) Fail("unexpected " + Describe() + " in a number");
            return static_cast<int64_t>(value);
        }
        // Accumulate as a negative number so that INT64_MIN itself is representable.
        int64_t value = 0;
        while (IsDigit(Peek())) {
            const int d = Peek() - '0';
            if (value < (INT64_MIN + d) / 10) FailAt(line, column, "number out of range");
            value = value * 10 - d;
            Advance();
        }
        if (IsNameChar(Peek())) Fail("unexpected " + Describe() + " in a number");
        if (!negative) {
            if (value == INT64_MIN) FailAt(line, column, "number out of range");
            value = -value;
        }
        return value;
    }

    // STRING ('+' STRING)*
    std::string JoinedString() {
        std::string out = QuotedString();
        for (;;) {
            SkipBlanks();
            if (Peek() != '+') return out;
            Advance();
            SkipBlanks();
            if (Peek() != '"') Fail("expected a string after '+', found " + Describe());
            out += QuotedString();
        }
    }

    std::string QuotedString() {
        const int line = line_, column = column_;
        Advance();  // opening quote
        std::string out;
        for (;;) {
            if (AtEnd()) FailAt(line, column, "string not closed");
            const char c = Peek();
            if (c == '"') {
                Advance();
                return out;
            }
            if (c == '\n' || c == '\r') FailAt(line, column, "string not closed before the end of the line");
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
                Fail("control character " + Describe() + " in a string");
            if (c == '\\') {
                Advance();
                const char e = Peek();
                switch (e) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    Advance();
                    uint32_t cp = Hex4();
                    if (cp >= 0xD800 && cp <= 0xDBFF) {
                        // A high surrogate must be followed by its low half.
                        if (Peek() != '\\' || Peek(1) != 'u') Fail("unpaired surrogate in \\u escape");
                        Advance();
                        Advance();
                        const uint32_t low = Hex4();
                        if (low < 0xDC00 || low > 0xDFFF) Fail("unpaired surrogate in \\u escape");
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
                        Fail("unpaired surrogate in \\u escape");
                    }
                    AppendUtf8(out, cp);
                    continue;  // Hex4 has advanced past the digits
                }
                default: Fail("unknown escape \\" + (AtEnd() ? std::string() : std::string(1, e)) + " in a string");
                }
                Advance();
                continue;
            }
            const size_t n = Utf8SequenceLength(s_, pos_);
            if (n == 0) Fail("text is not valid UTF-8");
            out.append(s_.substr(pos_, n));
            for (size_t k = 0; k < n; ++k) Advance();
        }
    }

    uint32_t Hex4() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            const int h = HexValue(Peek());
            if (h < 0) Fail("expected 4 hexadecimal digits after \\u, found " + Describe());
            v = (v << 4) | uint32_t(h);
            Advance();
        }
        return v;
    }

    LayoutValue StringList() {
        Advance();  // '['
        std::vector<std::string> list;
        SkipBlanks();
        if (Peek() == ']') {
            Advance();
            return LayoutValue::StrList(std::move(list));
        }
        for (;;) {
            SkipBlanks();
            if (Peek() != '"') Fail("expected a string in the list, found " + Describe());
            list.push_back(JoinedString());
            SkipBlanks();
            if (Peek() == ',') {
                Advance();
                continue;
            }
            if (Peek() == ']') {
                Advance();
                return LayoutValue::StrList(std::move(list));
            }
            Fail("expected ',' or ']' in the list, found " + Describe());
        }
    }

    LayoutValue IdentSet() {
        Advance();  // '<'
        std::vector<std::string> set;
        SkipBlanks();
        if (Peek() == '>') {
            Advance();
            return LayoutValue::SetOf(std::move(set));
        }
        for (;;) {
            set.push_back(Name("a set element"));
            SkipBlanks();
            if (Peek() == ',') {
                Advance();
                continue;
            }
            if (Peek() == '>') {
                Advance();
                return LayoutValue::SetOf(std::move(set));
            }
            Fail("expected ',' or '>' in the set, found " + Describe());
        }
    }

    LayoutValue Items(int depth) {
        EnterDepth(depth);
        Advance();  // '('
        std::vector<LayoutItem> items;
        for (;;) {
            SkipBlanks();
            if (Peek() == ')') {
                Advance();
                return LayoutValue::ItemList(std::move(items));
            }
            if (Peek() != '{') Fail("expected '{' or ')' in the item list, found " + Describe());
            LayoutItem item;
            item.line = line_;
            item.column = column_;
            Advance();
            for (;;) {
                SkipBlanks();
                if (Peek() == '}') {
                    Advance();
                    break;
                }
                if (AtEnd()) FailAt(item.line, item.column, "item not closed with '}'");
                item.properties.push_back(Property(depth + 1));
            }
            items.push_back(std::move(item));
        }
    }

    LayoutValue Binary() {
        const int line = line_, column = column_;
        Advance();  // '{'
        std::vector<uint8_t> bytes;
        int high = -1;
        for (;;) {
            const char c = Peek();
            if (AtEnd()) FailAt(line, column, "binary value not closed with '}'");
            if (c == '}') {
                if (high >= 0) Fail("odd number of hexadecimal digits in a binary value");
                Advance();
                return LayoutValue::Bin(std::move(bytes));
            }
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                Advance();
                continue;
            }
            const int h = HexValue(c);
            if (h < 0) Fail("expected hexadecimal digits in a binary value, found " + Describe());
            if (high < 0) {
                high = h;
            } else {
                bytes.push_back(uint8_t(high << 4 | h));
                high = -1;
            }
            Advance();
        }
    }

    std::string_view s_;
    size_t pos_ = 0;
    int line_ = 1;
    int column_ = 1;
};

// ---- writer ----

class Writer {
public:
    std::string Document(const LayoutObject& root) {
        Object(root, 0);
        return std::move(out_);
    }

private:
    void Indent(int level) { out_.append(size_t(level) * 2, ' '); }

    static void CheckName(const std::string& name, const char* what) {
        if (!IsLayoutName(name))
            throw Exception(std::string("cannot write ") + what + " \"" + name + "\": not a valid name");
    }

    void Object(const LayoutObject& obj, int level) {
        CheckName(obj.name, "the component name");
        CheckName(obj.className, "the class name");
        Indent(level);
        out_ += obj.name + ": " + obj.className + " {\n";
        for (const auto& p : obj.properties) Property(p, level + 1);
        for (const auto& c : obj.children) Object(c, level + 1);
        Indent(level);
        out_ += "}\n";
    }

    void Property(const LayoutProperty& p, int level) {
        size_t start = 0;
        for (;;) {
            const size_t dot = p.path.find('.', start);
            CheckName(p.path.substr(start, dot == std::string::npos ? std::string::npos : dot - start),
                      "the property name");
            if (dot == std::string::npos) break;
            start = dot + 1;
        }
        Indent(level);
        out_ += p.path + " = ";
        Value(p.value, level);
        out_ += '\n';
    }

    void Value(const LayoutValue& v, int level) {
        switch (v.kind) {
        case LayoutValueKind::Integer: out_ += std::to_string(v.integer); break;
        case LayoutValueKind::Bool: out_ += v.boolean ? "true" : "false"; break;
        case LayoutValueKind::Ident:
            CheckName(v.text, "the identifier");
            if (v.text == "true" || v.text == "false")
                throw Exception("cannot write the identifier \"" + v.text + "\": it reads as a boolean");
            out_ += v.text;
            break;
        case LayoutValueKind::String: String(v.text, level); break;
        case LayoutValueKind::List:
            out_ += '[';
            for (size_t i = 0; i < v.list.size(); ++i) {
                if (i) out_ += ", ";
                String(v.list[i], level + 1);
            }
            out_ += ']';
            break;
        case LayoutValueKind::Set:
            out_ += '<';
            for (size_t i = 0; i < v.list.size(); ++i) {
                CheckName(v.list[i], "the set element");
                if (i) out_ += ", ";
                out_ += v.list[i];
            }
            out_ += '>';
            break;
        case LayoutValueKind::Items:
            out_ += '(';
            for (const auto& item : v.items) {
                out_ += '\n';
                Indent(level + 1);
                out_ += "{\n";
                for (const auto& p : item.properties) Property(p, level + 2);
                Indent(level + 1);
                out_ += '}';
            }
            if (!v.items.empty()) {
                out_ += '\n';
                Indent(level);
            }
            out_ += ')';
            break;
        case LayoutValueKind::Binary: {
            static const char kHex[] = "0123456789ABCDEF";
            out_ += "bin{";
            for (size_t i = 0; i < v.bytes.size(); ++i) {
                if (i % 32 == 0) {
                    out_ += '\n';
                    Indent(level + 1);
                }
                out_ += kHex[v.bytes[i] >> 4];
                out_ += kHex[v.bytes[i] & 15];
            }
            if (!v.bytes.empty()) {
                out_ += '\n';
                Indent(level);
            }
            out_ += '}';
            break;
        }
        }
    }

    // A quoted string; long texts are split into pieces joined with '+' so lines stay short.
    void String(const std::string& s, int level) {
        constexpr size_t kPiece = 64;
        out_ += '"';
        size_t pieceBytes = 0;
        for (size_t i = 0; i < s.size();) {
            const size_t n = Utf8SequenceLength(s, i);
            if (n == 0) throw Exception("cannot write a string that is not valid UTF-8");
            if (pieceBytes >= kPiece) {
                out_ += "\" +\n";
                Indent(level + 1);
                out_ += '"';
                pieceBytes = 0;
            }
            const unsigned char c = static_cast<unsigned char>(s[i]);
            switch (c) {
            case '"': out_ += "\\\""; break;
            case '\\': out_ += "\\\\"; break;
            case '\n': out_ += "\\n"; break;
            case '\r': out_ += "\\r"; break;
            case '\t': out_ += "\\t"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char buf[8];
                    snprintf(buf, sizeof buf, "\\u%04X", c);
                    out_ += buf;
                } else {
                    out_.append(s, i, n);
                }
            }
            pieceBytes += n;
            i += n;
        }
        out_ += '"';
    }

    std::string out_;
};

bool ItemsEqual(const std::vector<LayoutItem>& a, const std::vector<LayoutItem>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!(a[i].properties == b[i].properties)) return false;
    return true;
}

}  // namespace

ELayoutError::ELayoutError(int line, int column, const std::string& what)
    : Exception(Position(line, column) + ": " + what), line_(line), column_(column), what_(what) {}

const char* LayoutValueKindName(LayoutValueKind kind) {
    switch (kind) {
    case LayoutValueKind::Integer: return "integer";
    case LayoutValueKind::String: return "string";
    case LayoutValueKind::Ident: return "identifier";
    case LayoutValueKind::Bool: return "boolean";
    case LayoutValueKind::List: return "string list";
    case LayoutValueKind::Set: return "set";
    case LayoutValueKind::Items: return "item list";
    case LayoutValueKind::Binary: return "binary";
    }
    return "value";
}

LayoutValue LayoutValue::Int(int64_t v) {
    LayoutValue r;
    r.kind = LayoutValueKind::Integer;
    r.integer = v;
    return r;
}
LayoutValue LayoutValue::Str(std::string v) {
    LayoutValue r;
    r.kind = LayoutValueKind::String;
    r.text = std::move(v);
    return r;
}
LayoutValue LayoutValue::Ident(std::string v) {
    LayoutValue r;
    r.kind = LayoutValueKind::Ident;
    r.text = std::move(v);
    return r;
}
LayoutValue LayoutValue::Bool(bool v) {
    LayoutValue r;
    r.kind = LayoutValueKind::Bool;
    r.boolean = v;
    return r;
}
LayoutValue LayoutValue::StrList(std::vector<std::string> v) {
    LayoutValue r;
    r.kind = LayoutValueKind::List;
    r.list = std::move(v);
    return r;
}
LayoutValue LayoutValue::SetOf(std::vector<std::string> v) {
    LayoutValue r;
    r.kind = LayoutValueKind::Set;
    r.list = std::move(v);
    return r;
}
LayoutValue LayoutValue::ItemList(std::vector<LayoutItem> v) {
    LayoutValue r;
    r.kind = LayoutValueKind::Items;
    r.items = std::move(v);
    return r;
}
LayoutValue LayoutValue::Bin(std::vector<uint8_t> v) {
    LayoutValue r;
    r.kind = LayoutValueKind::Binary;
    r.bytes = std::move(v);
    return r;
}

bool LayoutValue::operator==(const LayoutValue& o) const {
    if (kind != o.kind) return false;
    switch (kind) {
    case LayoutValueKind::Integer: return integer == o.integer;
    case LayoutValueKind::Bool: return boolean == o.boolean;
    case LayoutValueKind::String:
    case LayoutValueKind::Ident: return text == o.text;
    case LayoutValueKind::List:
    case LayoutValueKind::Set: return list == o.list;
    case LayoutValueKind::Items: return ItemsEqual(items, o.items);
    case LayoutValueKind::Binary: return bytes == o.bytes;
    }
    return false;
}

const LayoutProperty* LayoutObject::Find(std::string_view path) const {
    for (auto it = properties.rbegin(); it != properties.rend(); ++it)
        if (it->path == path) return &*it;
    return nullptr;
}

const LayoutObject* LayoutObject::Child(std::string_view childName) const {
    for (const auto& c : children)
        if (c.name == childName) return &c;
    return nullptr;
}

bool LayoutObject::operator==(const LayoutObject& o) const {
    return name == o.name && className == o.className && properties == o.properties && children == o.children;
}

bool IsLayoutName(std::string_view name) {
    if (name.empty() || !IsNameStart(name[0])) return false;
    return std::all_of(name.begin(), name.end(), IsNameChar);
}

LayoutObject ParseLayout(std::string_view text) { return Reader(text).Document(); }

std::string WriteLayout(const LayoutObject& root) { return Writer().Document(root); }

}  // namespace quorin
