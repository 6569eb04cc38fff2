// The painter classes by name: one table, so that a new painter is a class and a row.
#include <functional>
#include <utility>

#include "forms/SysUtils.h"
#include "skin/apply/Winsubclass.h"

namespace quorin {

QUORIN_DEFINE_CLASS(TSkinControl, TComponent) {}
QUORIN_DEFINE_CLASS(TSkinButton, TSkinControl) {}
QUORIN_DEFINE_CLASS(TSkinBitButton, TSkinButton) {}
QUORIN_DEFINE_CLASS(TSkinMenuButton, TSkinButton) {}
QUORIN_DEFINE_CLASS(TSkinSpeedButton, TSkinBitButton) {}
QUORIN_DEFINE_CLASS(TSkinCheckBox, TSkinControl) {}
QUORIN_DEFINE_CLASS(TSkinRadioButton, TSkinControl) {}
QUORIN_DEFINE_CLASS(TSkinObjImage, TSkinControl) {}
QUORIN_DEFINE_CLASS(TSkinComBox, TSkinControl) {}
QUORIN_DEFINE_CLASS(TSkinEdit, TSkinControl) {}
QUORIN_DEFINE_CLASS(TSkinUpDown, TSkinControl) {}
QUORIN_DEFINE_CLASS(TSkinDateTime, TSkinControl) {}
QUORIN_DEFINE_CLASS(TSkinGroupBox, TSkinControl) {}
QUORIN_DEFINE_CLASS(TSkinBox, TSkinControl) {}
QUORIN_DEFINE_CLASS(TSkinBoxH, TSkinControl) {}
QUORIN_DEFINE_CLASS(TSkinTransObj, TSkinControl) {}
QUORIN_DEFINE_CLASS(TSkinStatusBar, TSkinControl) {}
QUORIN_DEFINE_CLASS(TSkinProgress, TSkinControl) {}
QUORIN_DEFINE_CLASS(TSkinSizer, TSkinControl) {}
QUORIN_DEFINE_CLASS(TSkinToolbar, TSkinControl) {}
QUORIN_DEFINE_CLASS(TSkinTab, TSkinControl) {}
QUORIN_DEFINE_CLASS(TSkinTab31, TSkinTab) {}
QUORIN_DEFINE_CLASS(TSkinTabBtn, TSkinControl) {}
QUORIN_DEFINE_CLASS(TSkinTabSheet, TSkinControl) {}
QUORIN_DEFINE_CLASS(TSkinAdvPage, TSkinControl) {}
QUORIN_DEFINE_CLASS(TSkinHeader, TSkinControl) {}
QUORIN_DEFINE_CLASS(TSkinScrollbar, TSkinControl) {}
QUORIN_DEFINE_CLASS(TSkinListView, TSkinScrollbar) {}
QUORIN_DEFINE_CLASS(TSkinScrollbarH, TSkinControl) {}
QUORIN_DEFINE_CLASS(TSkinScControl, TSkinControl) {}
QUORIN_DEFINE_CLASS(TSkinTrackBar, TSkinControl) {}
QUORIN_DEFINE_CLASS(TSkinMP, TSkinControl) {}

namespace {

using TMaker = TSkinControl* (*)(TComponent*);

template <class T>
TSkinControl* Make(TComponent* owner) {
    return new T(owner);
}

const std::vector<std::pair<std::string, TMaker>>& Table() {
    static const std::vector<std::pair<std::string, TMaker>> table = {
        {"TSkinButton", &Make<TSkinButton>},
        {"TSkinBitButton", &Make<TSkinBitButton>},
        {"TSkinMenuButton", &Make<TSkinMenuButton>},
        {"TSkinSpeedButton", &Make<TSkinSpeedButton>},
        {"TSkinCheckBox", &Make<TSkinCheckBox>},
        {"TSkinRadioButton", &Make<TSkinRadioButton>},
        {"TSkinObjImage", &Make<TSkinObjImage>},
        {"TSkinComBox", &Make<TSkinComBox>},
        {"TSkinEdit", &Make<TSkinEdit>},
        {"TSkinUpDown", &Make<TSkinUpDown>},
        {"TSkinDateTime", &Make<TSkinDateTime>},
        {"TSkinGroupBox", &Make<TSkinGroupBox>},
        {"TSkinBox", &Make<TSkinBox>},
        {"TSkinBoxH", &Make<TSkinBoxH>},
        {"TSkinTransObj", &Make<TSkinTransObj>},
        {"TSkinStatusBar", &Make<TSkinStatusBar>},
        {"TSkinProgress", &Make<TSkinProgress>},
        {"TSkinSizer", &Make<TSkinSizer>},
        {"TSkinToolbar", &Make<TSkinToolbar>},
        {"TSkinTab", &Make<TSkinTab>},
        {"TSkinTab31", &Make<TSkinTab31>},
        {"TSkinTabBtn", &Make<TSkinTabBtn>},
        {"TSkinTabSheet", &Make<TSkinTabSheet>},
        {"TSkinAdvPage", &Make<TSkinAdvPage>},
        {"TSkinHeader", &Make<TSkinHeader>},
        {"TSkinScrollbar", &Make<TSkinScrollbar>},
        {"TSkinListView", &Make<TSkinListView>},
        {"TSkinScrollbarH", &Make<TSkinScrollbarH>},
        {"TSkinScControl", &Make<TSkinScControl>},
        {"TSkinTrackBar", &Make<TSkinTrackBar>},
        {"TSkinMP", &Make<TSkinMP>},
    };
    return table;
}

}  // namespace

TSkinControl* NewSkinControl(std::string_view ClassName, TComponent* Owner) {
    for (const auto& [name, make] : Table())
        if (name == ClassName) return make(Owner);
    return nullptr;
}

const std::vector<std::string>& SkinControlClassNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> v;
        for (const auto& row : Table()) v.push_back(row.first);
        return v;
    }();
    return names;
}

namespace {

// The class names that carry each kind, by TControlKind. A class is of a kind when it,
// or any class it derives from, has one of these names.
const std::vector<std::vector<std::string_view>>& KindNames() {
    static const std::vector<std::vector<std::string_view>> names = {
        {"TCustomTabControl", "TTabControl", "TPageControl"},  // ckCustomTabControl
        {"TPageControl"},                                      // ckPageControl
        {"TToolButton"},                                       // ckToolButton
        {"TCustomCoolBar", "TCoolBar"},                        // ckCoolBar
        {"TTabSheet"},                                         // ckTabSheet
        {"TCustomHeaderControl", "THeaderControl"},            // ckHeaderControl
        {"TCustomCheckBox", "TCheckBox"},                      // ckCustomCheckBox
        {"TTrackBar"},                                         // ckTrackBar
        {"TCustomRadioGroup", "TRadioGroup"},                  // ckCustomRadioGroup
        {"TCustomGroupBox", "TGroupBox"},                      // ckCustomGroupBox
        {"TRadioButton"},                                      // ckRadioButton
        {"TToolBar"},                                          // ckToolBar
        {"TCustomStatusBar", "TStatusBar"},                    // ckCustomStatusBar
        {"TProgressBar"},                                      // ckProgressBar
        {"TScrollBar"},                                        // ckScrollBar
        {"TCustomComboBox", "TComboBox"},                      // ckCustomComboBox
        {"TDateTimePicker"},                                   // ckDateTimePicker
        {"TBitBtn"},                                           // ckBitButton
        {"TSpeedButton"},                                      // ckSpeedButton
        {"TCustomPanel", "TPanel"},                            // ckCustomPanel
        {"TCustomListView", "TListView"},                      // ckCustomListView
        {"TCustomMemo", "TMemo"},                              // ckCustomMemo
        {"TCustomGrid", "TDrawGrid", "TStringGrid"},           // ckCustomGrid
        {"TButton"},                                           // ckButton
        {"TCustomEdit"},                                       // ckCustomEdit
        {"TCustomFrame", "TFrame"},                            // ckCustomFrame
        {"TCustomForm"},                                       // ckCustomForm
        {"TCustomListBox", "TListBox"},                        // ckListBox
        {"TCustomTreeView", "TTreeView"},                      // ckCustomTreeView
        {"TScrollBox"},                                        // ckScrollBox
    };
    return names;
}

}  // namespace

bool IsControlKind(const TObject* Object, TControlKind Kind) {
    if (!Object) return false;
    const auto& table = KindNames();
    const size_t k = size_t(Kind);
    if (k >= table.size()) return false;
    for (const TClassInfo* c = &Object->ClassInfo(); c; c = c->Parent)
        for (std::string_view name : table[k])
            if (SameText(c->Name, name)) return true;
    return false;
}

}  // namespace quorin
