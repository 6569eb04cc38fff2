#include "app/LanguageTable.h"

#include "forms/ComCtrls.h"
#include "forms/Forms.h"
#include "forms/StdCtrls.h"
#include "forms/TypInfo.h"

namespace quorin {

namespace {

// The filter page's frame-type items ("Standard Frame", "Extend   Frame") are not here:
// the rows take them as they are, and the write sequence, the duplicate test and the
// profiles read those texts back, so they are the same in every language. The same holds
// for the identity rows of the first page and for product names and the maker's address.
constexpr TLabelRow kRows[] = {
    {"FormCANConfig", "", TTextSlot::tsCaption, 0, IDS_MAIN_CAPTION},
    {"FormCANConfig", "GroupBox2", TTextSlot::tsCaption, 0, IDS_GROUP_PORT},
    {"FormCANConfig", "GroupBox3", TTextSlot::tsCaption, 0, IDS_GROUP_DEVICE},
    {"FormCANConfig", "Label2", TTextSlot::tsCaption, 0, IDS_LABEL_HIDDEN_MODE},
    {"FormCANConfig", "ButtonOpenRS232", TTextSlot::tsCaption, 0, IDS_OPEN_PORT},
    {"FormCANConfig", "ButtonReadParameter", TTextSlot::tsCaption, 0, IDS_READ_PARAMETER},
    {"FormCANConfig", "ButtonWriteParameter", TTextSlot::tsCaption, 0, IDS_WRITE_PARAMETER},
    {"FormCANConfig", "TabSheet15", TTextSlot::tsCaption, 0, IDS_PAGE_BASIC},
    {"FormCANConfig", "TabSheet2", TTextSlot::tsCaption, 0, IDS_PAGE_CONVERSION},
    {"FormCANConfig", "TabSheet3", TTextSlot::tsCaption, 0, IDS_PAGE_SERIAL},
    {"FormCANConfig", "TabSheet23", TTextSlot::tsCaption, 0, IDS_PAGE_CAN},
    {"FormCANConfig", "TabSheet25", TTextSlot::tsCaption, 0, IDS_PAGE_FILTER},
    {"FormCANConfig", "ListViewVandrelBasicInfo", TTextSlot::tsColumn, 0, IDS_COLUMN_PROPERTY},
    {"FormCANConfig", "ListViewVandrelBasicInfo", TTextSlot::tsColumn, 1, IDS_COLUMN_DESCRIPTION},
    {"FormCANConfig", "CheckBoxCANFrameInfoEnable", TTextSlot::tsCaption, 0, IDS_FORWARD_FRAME_INFO},
    {"FormCANConfig", "CheckBoxCANIDInfoEnable", TTextSlot::tsCaption, 0, IDS_FORWARD_FRAME_ID},
    {"FormCANConfig", "GroupBox4", TTextSlot::tsCaption, 0, IDS_GROUP_INTERVAL},
    {"FormCANConfig", "Label10", TTextSlot::tsCaption, 0, IDS_LABEL_UART_INTERVAL},
    {"FormCANConfig", "Label25", TTextSlot::tsCaption, 0, IDS_LABEL_CAN_INTERVAL},
    {"FormCANConfig", "GroupBox5", TTextSlot::tsCaption, 0, IDS_GROUP_ID_POSITION},
    {"FormCANConfig", "Label7", TTextSlot::tsCaption, 0, IDS_LABEL_ID_OFFSET},
    {"FormCANConfig", "Label5", TTextSlot::tsCaption, 0, IDS_LABEL_ID_LENGTH},
    {"FormCANConfig", "GroupBox6", TTextSlot::tsCaption, 0, IDS_GROUP_MODE},
    {"FormCANConfig", "Label4", TTextSlot::tsCaption, 0, IDS_LABEL_MODE},
    {"FormCANConfig", "Label6", TTextSlot::tsCaption, 0, IDS_LABEL_ROUTE},
    {"FormCANConfig", "ComboBoxSwitchMode", TTextSlot::tsItem, 0, IDS_MODE_TRANSPARENT},
    {"FormCANConfig", "ComboBoxSwitchMode", TTextSlot::tsItem, 1, IDS_MODE_TRANSPARENT_ID},
    {"FormCANConfig", "ComboBoxSwitchMode", TTextSlot::tsItem, 2, IDS_MODE_FORMAT},
    {"FormCANConfig", "ComboBoxSwtichRoute", TTextSlot::tsItem, 0, IDS_ROUTE_BOTH},
    {"FormCANConfig", "ComboBoxSwtichRoute", TTextSlot::tsItem, 1, IDS_ROUTE_SERIAL_TO_CAN},
    {"FormCANConfig", "ComboBoxSwtichRoute", TTextSlot::tsItem, 2, IDS_ROUTE_CAN_TO_SERIAL},
    {"FormCANConfig", "Label9", TTextSlot::tsCaption, 0, IDS_LABEL_BAUDRATE},
    {"FormCANConfig", "Label11", TTextSlot::tsCaption, 0, IDS_LABEL_STOP_BITS},
    {"FormCANConfig", "Label12", TTextSlot::tsCaption, 0, IDS_LABEL_DATA_BITS},
    {"FormCANConfig", "Label13", TTextSlot::tsCaption, 0, IDS_LABEL_UART_MODE},
    {"FormCANConfig", "Label16", TTextSlot::tsCaption, 0, IDS_LABEL_PARITY},
    {"FormCANConfig", "ComboBoxUARTParityBitIndex", TTextSlot::tsItem, 0, IDS_PARITY_NONE},
    {"FormCANConfig", "ComboBoxUARTParityBitIndex", TTextSlot::tsItem, 1, IDS_PARITY_ODD},
    {"FormCANConfig", "ComboBoxUARTParityBitIndex", TTextSlot::tsItem, 2, IDS_PARITY_EVEN},
    {"FormCANConfig", "Label17", TTextSlot::tsCaption, 0, IDS_LABEL_CAN_STANDARD},
    {"FormCANConfig", "Label18", TTextSlot::tsCaption, 0, IDS_LABEL_PROTOCOL},
    {"FormCANConfig", "Label19", TTextSlot::tsCaption, 0, IDS_LABEL_FRAME_TYPE},
    {"FormCANConfig", "Label20", TTextSlot::tsCaption, 0, IDS_LABEL_BIT_RATE_SWITCH},
    {"FormCANConfig", "Label21", TTextSlot::tsCaption, 0, IDS_LABEL_CAN_ID},
    {"FormCANConfig", "GroupBox18", TTextSlot::tsCaption, 0, IDS_GROUP_STANDARD_RATE},
    {"FormCANConfig", "Label14", TTextSlot::tsCaption, 0, IDS_LABEL_ARBITRATION_RATE},
    {"FormCANConfig", "Label15", TTextSlot::tsCaption, 0, IDS_LABEL_DATA_RATE},
    {"FormCANConfig", "GroupBox1", TTextSlot::tsCaption, 0, IDS_GROUP_CUSTOM_RATE},
    {"FormCANConfig", "Label23", TTextSlot::tsCaption, 0, IDS_LABEL_CUSTOM_ARBITRATION_RATE},
    {"FormCANConfig", "Label24", TTextSlot::tsCaption, 0, IDS_LABEL_CUSTOM_DATA_RATE},
    {"FormCANConfig", "CheckBoxBuadrateCustom", TTextSlot::tsCaption, 0, IDS_USE_CUSTOM_RATE},
    {"FormCANConfig", "ComboBoxCANFrameType", TTextSlot::tsItem, 0, IDS_FRAME_STANDARD},
    {"FormCANConfig", "ComboBoxCANFrameType", TTextSlot::tsItem, 1, IDS_FRAME_EXTENDED},
    {"FormCANConfig", "ComboBoxBitRateSwitch", TTextSlot::tsItem, 0, IDS_NO},
    {"FormCANConfig", "ComboBoxBitRateSwitch", TTextSlot::tsItem, 1, IDS_YES},
    {"FormCANConfig", "ComboBoxtBaudrateIndexB", TTextSlot::tsItem, 2, IDS_RESERVED_1},
    {"FormCANConfig", "ComboBoxtBaudrateIndexB", TTextSlot::tsItem, 3, IDS_RESERVED_2},
    {"FormCANConfig", "ComboBoxtBaudrateIndexB", TTextSlot::tsItem, 5, IDS_RESERVED_3},
    {"FormCANConfig", "ComboBoxtBaudrateIndexB", TTextSlot::tsItem, 7, IDS_RESERVED_4},
    {"FormCANConfig", "ComboBoxtBaudrateIndexB", TTextSlot::tsItem, 9, IDS_RESERVED_5},
    {"FormCANConfig", "ComboBoxtBaudrateIndexB", TTextSlot::tsItem, 11, IDS_RESERVED_6},
    {"FormCANConfig", "ComboBoxtBaudrateIndexB", TTextSlot::tsItem, 14, IDS_RESERVED_7},
    {"FormCANConfig", "ComboBoxtBaudrateIndexA", TTextSlot::tsItem, 1, IDS_RESERVED_1},
    {"FormCANConfig", "ComboBoxtBaudrateIndexA", TTextSlot::tsItem, 2, IDS_RESERVED_2},
    {"FormCANConfig", "ComboBoxtBaudrateIndexA", TTextSlot::tsItem, 4, IDS_RESERVED_3},
    {"FormCANConfig", "ComboBoxtBaudrateIndexA", TTextSlot::tsItem, 6, IDS_RESERVED_4},
    {"FormCANConfig", "ComboBoxtBaudrateIndexA", TTextSlot::tsItem, 9, IDS_RESERVED_5},
    {"FormCANConfig", "Label36", TTextSlot::tsCaption, 0, IDS_LABEL_FILTER_FRAME_TYPE},
    {"FormCANConfig", "Label38", TTextSlot::tsCaption, 0, IDS_LABEL_START_ID},
    {"FormCANConfig", "Label39", TTextSlot::tsCaption, 0, IDS_LABEL_END_ID},
    {"FormCANConfig", "Label22", TTextSlot::tsCaption, 0, IDS_LABEL_FILTER_PORT},
    {"FormCANConfig", "GroupBox29", TTextSlot::tsCaption, 0, IDS_GROUP_FILTER_LIST},
    {"FormCANConfig", "ListViewVandrelFrameID", TTextSlot::tsColumn, 0, IDS_COLUMN_PORT},
    {"FormCANConfig", "ListViewVandrelFrameID", TTextSlot::tsColumn, 1, IDS_COLUMN_FRAME_TYPE},
    {"FormCANConfig", "ListViewVandrelFrameID", TTextSlot::tsColumn, 2, IDS_COLUMN_START_ID},
    {"FormCANConfig", "ListViewVandrelFrameID", TTextSlot::tsColumn, 3, IDS_COLUMN_END_ID},
    {"FormCANConfig", "ButtonVandrelFilterIDAdd", TTextSlot::tsCaption, 0, IDS_FILTER_ADD},
    {"FormCANConfig", "ButtonVandrelFilterIDDelete", TTextSlot::tsCaption, 0, IDS_FILTER_DELETE},
    {"FormCANConfig", "CheckBoxVandrelFilterEnable", TTextSlot::tsCaption, 0, IDS_FILTER_ENABLE},
    {"FormCANConfig", "File1", TTextSlot::tsCaption, 0, IDS_MENU_FILE},
    {"FormCANConfig", "OpenProfile1", TTextSlot::tsCaption, 0, IDS_MENU_OPEN_PROFILE},
    {"FormCANConfig", "SaveProfile1", TTextSlot::tsCaption, 0, IDS_MENU_SAVE_PROFILE},
    {"FormCANConfig", "CompareProfile1", TTextSlot::tsCaption, 0, IDS_MENU_COMPARE_PROFILE},
    {"FormCANConfig", "Exit1", TTextSlot::tsCaption, 0, IDS_MENU_EXIT},
    {"FormCANConfig", "Window1", TTextSlot::tsCaption, 0, IDS_MENU_WINDOW},
    {"FormCANConfig", "Skin1", TTextSlot::tsCaption, 0, IDS_MENU_SKIN},
    {"FormCANConfig", "Language1", TTextSlot::tsCaption, 0, IDS_MENU_LANGUAGE},
    {"FormCANConfig", "Help1", TTextSlot::tsCaption, 0, IDS_MENU_HELP},
    {"FormCANConfig", "AboutCANConfig1", TTextSlot::tsCaption, 0, IDS_MENU_ABOUT},
    {"AboutBox", "", TTextSlot::tsCaption, 0, IDS_ABOUT_CAPTION},
    {"AboutBox", "ProductName", TTextSlot::tsCaption, 0, IDS_ABOUT_PRODUCT},
    {"AboutBox", "OKButton", TTextSlot::tsCaption, 0, IDS_ABOUT_OK},
};

TComponent* Place(const TCustomForm& Form, const TLabelRow& Row) {
    if (Form.Name() != Row.Form) return nullptr;
    if (!*Row.Component) return const_cast<TCustomForm*>(&Form);
    return Form.FindComponent(Row.Component);
}

}  // namespace

std::span<const TLabelRow> LabelRows() { return kRows; }

std::optional<std::string> LabelText(const TCustomForm& Form, const TLabelRow& Row) {
    TComponent* c = Place(Form, Row);
    if (!c) return std::nullopt;
    switch (Row.Slot) {
    case TTextSlot::tsCaption:
        if (!IsPublishedProp(c, "Caption")) return std::nullopt;
        return GetStrProp(c, "Caption");
    case TTextSlot::tsItem:
        if (auto* box = dynamic_cast<TComboBox*>(c); box && Row.Index < box->Items().Count())
            return box->Items()[Row.Index];
        return std::nullopt;
    case TTextSlot::tsColumn:
        if (auto* list = dynamic_cast<TListView*>(c); list && Row.Index < list->Columns().Count())
            return list->Columns().Items(Row.Index)->Caption();
        return std::nullopt;
    }
    return std::nullopt;
}

void RelabelForm(TCustomForm& Form, TLanguage Language) {
    for (const TLabelRow& row : kRows) {
        const std::optional<std::string> now = LabelText(Form, row);
        if (!now) continue;
        const std::string text = LoadStr(row.Id, Language);
        // A text already right is left alone: every menu caption set rebuilds the menu.
        if (text.empty() || text == *now) continue;
        TComponent* c = Place(Form, row);
        switch (row.Slot) {
        case TTextSlot::tsCaption: SetStrProp(c, "Caption", text); break;
        case TTextSlot::tsItem: {
            auto& box = dynamic_cast<TComboBox&>(*c);
            const int selected = box.ItemIndex();
            box.Items().Put(row.Index, text);
            if (box.ItemIndex() != selected) box.SetItemIndex(selected);
            break;
        }
        case TTextSlot::tsColumn: dynamic_cast<TListView&>(*c).Columns().Items(row.Index)->SetCaption(text); break;
        }
    }
}

}  // namespace quorin
