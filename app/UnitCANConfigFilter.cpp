// The filter list editor of the "滤波参数" page. The list view is the only store of the
// filters: a row is port, frame type and the start and end identifiers as "0x" and eight
// upper-case hexadecimal digits, which is also the form the write sequence reads back.
#include "app/UnitCANConfig.h"
#include "app/Strings.h"
#include "app/WarningBox.h"
#include "forms/SysUtils.h"

#include <cstdint>
#include <string>

namespace quorin {

namespace {

// The device's parameter block has room for this many filters.
constexpr int kFilterSlots = 16;

constexpr uint32_t kStandardIdMask = 0x7FF;       // 11-bit identifiers
constexpr uint32_t kExtendedIdMask = 0x1FFFFFFF;  // 29-bit identifiers

std::string IdCell(uint32_t id) { return "0x" + IntToHex(id, 8); }

// The text of sub-item `index`, or "" for a row that has fewer (the read sequence and
// in-place edits fill rows too, so nothing here assumes their shape).
std::string SubItemText(const TListItem& item, int index) {
    const TStrings& sub = item.SubItems();
    return index < sub.Count() ? sub.Strings(index) : std::string();
}

}  // namespace

void TFormCANConfig::AddFilterID() {
    // Both texts are converted before anything else, the start first: a bad text is
    // reported as such even when the list is full. With the "0x" put in front, only hex
    // digits are accepted (no blank, sign or second prefix), up to 32 significant bits.
    uint32_t start = static_cast<uint32_t>(StrToInt("0x" + EditVandrelStartID->Text()));
    uint32_t end = static_cast<uint32_t>(StrToInt("0x" + EditVandrelEndID->Text()));

    TListItems& rows = ListViewVandrelFrameID->Items();
    if (rows.Count() >= kFilterSlots) {
        ShowWarningBox(LoadStr(IDS_FILTERS_FULL), LoadStr(IDS_TITLE_WARING));
        return;
    }

    // Bits above the identifier width of the frame type are dropped without a word; the
    // edits keep what was typed, only the row shows the masked values.
    const uint32_t mask = ComboBoxVandrelFrameType->ItemIndex() == 0 ? kStandardIdMask : kExtendedIdMask;
    start &= mask;
    end &= mask;
    if (start > end) {
        ShowWarningBox(LoadStr(IDS_START_ABOVE_END), LoadStr(IDS_TITLE_WARNING));
        return;
    }

    const std::string port = ComboBoxVandrelPort->Text();
    const std::string frameType = ComboBoxVandrelFrameType->Text();
    const std::string startCell = IdCell(start);
    const std::string endCell = IdCell(end);

    // A row equal in all four cells is already there: nothing to add, nothing to say.
    for (int i = 0; i < rows.Count(); ++i) {
        const TListItem& row = *rows.Item(i);
        if (row.Caption() == port && SubItemText(row, 0) == frameType && SubItemText(row, 1) == startCell &&
            SubItemText(row, 2) == endCell)
            return;
    }

    TListItem* row = rows.Add();
    row->SetCaption(port);
    row->SubItems().Add(frameType);
    row->SubItems().Add(startCell);
    row->SubItems().Add(endCell);
}

void TFormCANConfig::DeleteFilterID() {
    // From the last row up, so that deleting a row does not move the ones still to check.
    TListItems& rows = ListViewVandrelFrameID->Items();
    for (int i = rows.Count() - 1; i >= 0; --i) {
        if (rows.Item(i)->Selected()) rows.Delete(i);
    }
}

void TFormCANConfig::UpdateFilterControls() {
    // The rows stay when the editor is switched off: the write sequence sends them with
    // the enable flag all the same.
    const bool on = CheckBoxVandrelFilterEnable->Checked();
    ListViewVandrelFrameID->SetEnabled(on);
    ComboBoxVandrelPort->SetEnabled(on);
    ComboBoxVandrelFrameType->SetEnabled(on);
    EditVandrelStartID->SetEnabled(on);
    EditVandrelEndID->SetEnabled(on);
    ButtonVandrelFilterIDAdd->SetEnabled(on);
    ButtonVandrelFilterIDDelete->SetEnabled(on);
}

void TFormCANConfig::ButtonVandrelFilterIDAddClick(TObject* Sender) { AddFilterID(); }

void TFormCANConfig::ButtonVandrelFilterIDDeleteClick(TObject* Sender) { DeleteFilterID(); }

// Also wired to the two forwarding check boxes of the conversion page; the outcome
// depends on "Filter Enable" alone, so for them it changes nothing.
void TFormCANConfig::CheckBoxVandrelFilterEnableClick(TObject* Sender) { UpdateFilterControls(); }

}  // namespace quorin
