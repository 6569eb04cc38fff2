// The masked edit.
#include "forms/Mask.h"

#include <cwctype>

namespace quorin {

QUORIN_DEFINE_CLASS(TMaskEdit, TCustomEdit) { p.Str("EditMask", &TMaskEdit::EditMask, &TMaskEdit::SetEditMask); }

TMaskEdit::TMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

void TMaskEdit::SetEditMask(const std::string& Value) {
    FEditMask = Value;
    FPositions.clear();
    // "<mask>;<keep literals>;<blank>": only the mask part describes positions.
    std::string mask = Value;
    const size_t semi = mask.find(';');
    if (semi != std::string::npos) {
        const size_t second = mask.find(';', semi + 1);
        if (second != std::string::npos && second + 1 < mask.size())
            FBlank = wchar_t(static_cast<unsigned char>(mask[second + 1]));
        mask.erase(semi);
    }
    for (size_t i = 0; i < mask.size(); ++i) {
        const char c = mask[i];
        if (c == '\\' && i + 1 < mask.size()) {
            FPositions.push_back({0, wchar_t(static_cast<unsigned char>(mask[++i]))});
        } else if (c == '0' || c == '9' || c == 'L' || c == 'l' || c == 'A' || c == 'a' || c == 'C' || c == 'c' ||
                   c == '#') {
            FPositions.push_back({c, 0});
        } else if (c == '>' || c == '<' || c == '!') {
            // case and alignment switches take no position
        } else {
            FPositions.push_back({0, wchar_t(static_cast<unsigned char>(c))});
        }
    }
    if (!FPositions.empty()) SetMaxLength(int(FPositions.size()));
}

bool TMaskEdit::CharAllowed(size_t Position, wchar_t Ch) const {
    if (Position >= FPositions.size()) return FPositions.empty();
    const Slot& s = FPositions[Position];
    switch (s.kind) {
    case 0: return Ch == s.literal;
    case '0': return std::iswdigit(Ch) != 0;
    case '9': return std::iswdigit(Ch) != 0 || Ch == L' ';
    case '#': return std::iswdigit(Ch) != 0 || Ch == L' ' || Ch == L'+' || Ch == L'-';
    case 'L': return std::iswalpha(Ch) != 0;
    case 'l': return std::iswalpha(Ch) != 0 || Ch == L' ';
    case 'A': return std::iswalnum(Ch) != 0;
    case 'a': return std::iswalnum(Ch) != 0 || Ch == L' ';
    case 'C':
    case 'c': return true;
    default: return true;
    }
}

void TMaskEdit::WndProc(TMessage& Message) {
    if (Message.Msg == WM_CHAR && !FPositions.empty() && Message.WParam >= 0x20 && FHandle) {
        DWORD start = 0;
        SendMessageW(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
        if (!CharAllowed(start, wchar_t(Message.WParam))) {
            MessageBeep(MB_OK);
            return;
        }
    }
    TCustomEdit::WndProc(Message);
}

}  // namespace quorin
