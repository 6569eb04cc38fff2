// An edit whose text follows a mask. Windows only.
//
// A mask is "<characters>;<keep literals>;<blank>": per position '0' a digit, '9' a digit
// or blank, 'L' a letter, 'l' a letter or blank, 'A' a letter or digit, 'a' a letter, digit
// or blank, 'C' any character, 'c' any or blank; '\' makes the next character a literal;
// any other character is a literal. Typing a character the position does not take is
// refused with a beep.
#pragma once

#include "forms/StdCtrls.h"

namespace quorin {

class TMaskEdit : public TCustomEdit {
    QUORIN_CLASS(TMaskEdit, TCustomEdit)
public:
    explicit TMaskEdit(TComponent* AOwner);
    const std::string& EditMask() const { return FEditMask; }
    void SetEditMask(const std::string& Value);
    // True when the character may stand at that position of the mask (0-based).
    bool CharAllowed(size_t Position, wchar_t Ch) const;
    size_t MaskLength() const { return FPositions.size(); }

protected:
    void WndProc(TMessage& Message) override;

private:
    struct Slot {
        char kind;  // mask character, or 0 for a literal
        wchar_t literal;
    };
    std::string FEditMask;
    std::vector<Slot> FPositions;
    wchar_t FBlank = L'_';
};

}  // namespace quorin
