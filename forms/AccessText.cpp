#include "forms/AccessText.h"

namespace quorin {
namespace {

// Bytes of the UTF-8 character that starts at Text[At] (1 for a broken one).
size_t CharLength(std::string_view Text, size_t At) {
    const auto b = static_cast<unsigned char>(Text[At]);
    size_t n = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 1;
    return At + n <= Text.size() ? n : 1;
}

// Where the first single "&" is, or npos.
size_t MarkerAt(std::string_view Text) {
    for (size_t i = 0; i + 1 < Text.size(); ++i) {
        if (Text[i] != '&') continue;
        if (Text[i + 1] == '&') {
            ++i;
            continue;
        }
        return i;
    }
    return std::string_view::npos;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::string TextWithoutMarker(std::string_view Caption) {
    if (const size_t tab = Caption.find('\t'); tab != std::string_view::npos) Caption = Caption.substr(0, tab);
    std::string out;
    out.reserve(Caption.size());
    const size_t marker = MarkerAt(Caption);
    for (size_t i = 0; i < Caption.size();) {
        if (i == marker) {
            const size_t key = CharLength(Caption, i + 1);
            // "(&B)" goes whole: the brackets only framed the key.
            if (i > 0 && (Caption[i - 1] == '(' || Caption[i - 1] == '[') && i + 1 + key < Caption.size() &&
                (Caption[i + 1 + key] == ')' || Caption[i + 1 + key] == ']') && !out.empty()) {
                out.pop_back();
                i += 2 + key;
                continue;
            }
            ++i;  // the key itself stays
            continue;
        }
        if (Caption[i] == '&' && i + 1 < Caption.size() && Caption[i + 1] == '&') {
            out += '&';
            i += 2;
            continue;
        }
        out += Caption[i++];
    }
    size_t first = 0, last = out.size();
    while (first < last && IsBlank(out[first])) ++first;
    while (last > first && IsBlank(out[last - 1])) --last;
    return out.substr(first, last - first);
}

std::string MarkerKey(std::string_view Caption) {
    if (const size_t tab = Caption.find('\t'); tab != std::string_view::npos) Caption = Caption.substr(0, tab);
    const size_t at = MarkerAt(Caption);
    if (at == std::string_view::npos) return {};
    std::string key(Caption.substr(at + 1, CharLength(Caption, at + 1)));
    if (key.size() == 1 && key[0] >= 'a' && key[0] <= 'z') key[0] = char(key[0] - 'a' + 'A');
    if (key == " ") return {};
    return key;
}

std::string AltShortcut(std::string_view Caption, bool FirstCharacter) {
    std::string key = MarkerKey(Caption);
    if (key.empty() && FirstCharacter) {
        const std::string text = TextWithoutMarker(Caption);
        if (!text.empty()) key = text.substr(0, CharLength(text, 0));
        if (key.size() == 1 && key[0] >= 'a' && key[0] <= 'z') key[0] = char(key[0] - 'a' + 'A');
    }
    return key.empty() ? std::string() : "Alt+" + key;
}

std::string MenuShortcutText(std::string_view Caption) {
    const size_t tab = Caption.find('\t');
    if (tab == std::string_view::npos) return {};
    std::string out(Caption.substr(tab + 1));
    while (!out.empty() && IsBlank(out.back())) out.pop_back();
    return out;
}

}  // namespace quorin
