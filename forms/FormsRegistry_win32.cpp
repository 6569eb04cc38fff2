// The framework's classes, registered by name for the layout loader. A class registers
// itself when its object file is part of the program; naming every class here makes sure
// each one is, whichever of them a program's own code happens to use.
#include "forms/Buttons.h"
#include "forms/ComCtrls.h"
#include "forms/ComCtrlsExtra.h"
#include "forms/ExtCtrls.h"
#include "forms/Forms.h"
#include "forms/ImgList.h"
#include "forms/Mask.h"
#include "forms/Menus.h"
#include "forms/RadioGroup.h"
#include "forms/StdCtrls.h"

namespace quorin {

void RegisterFrameworkClasses() {
    static const bool done = [] {
        RegisterClasses<TForm, TLabel, TEdit, TMaskEdit, TComboBox, TButton, TCheckBox, TRadioButton, TGroupBox, TPanel,
                        TTimer, TPageControl, TTabSheet, TListView, TStatusBar, TTreeView, TImageList, TMainMenu,
                        TPopupMenu, TMenuItem>();
        RegisterClasses<TTabControl, TMemo, TScrollBar, TTrackBar, THeaderControl>();
        RegisterClasses<TBitBtn, TSpeedButton, TProgressBar, TUpDown, TDateTimePicker, TRadioGroup>();
        return true;
    }();
    (void)done;
}

}  // namespace quorin
