// Which text of the program's windows shows which string of the string tables: one row per
// caption, combo item or column header that the stored layouts hold. The layouts keep the
// Chinese texts (the Chinese block of app/Strings.rc repeats them, a test keeps the two
// equal); switching the language walks these rows, so a new language needs a new block of
// texts and no code.
#pragma once

#include "app/Strings.h"

#include <optional>
#include <span>
#include <string>

namespace quorin {

class TCustomForm;

// Where in a component the text goes.
enum class TTextSlot {
    tsCaption,  // the Caption property (controls, menu items, tab sheets, the form itself)
    tsItem,     // combo-box item Index; the box keeps its selected index
    tsColumn,   // list-view column Index
};

struct TLabelRow {
    const char* Form;       // the form's component name ("FormCANConfig", "AboutBox")
    const char* Component;  // "" for the form itself
    TTextSlot Slot;
    int Index;    // item or column; 0 for captions
    unsigned Id;  // app/StringIds.h
};

std::span<const TLabelRow> LabelRows();

// The text a row's place holds now, or nullopt when the form has no such place (a
// component missing from the layout or an index past the end).
std::optional<std::string> LabelText(const TCustomForm& Form, const TLabelRow& Row);

// Sets every text of the form's rows to Language's. Values do not change: a combo box keeps
// the index of its selection, a check box its mark.
void RelabelForm(TCustomForm& Form, TLanguage Language);

}  // namespace quorin
