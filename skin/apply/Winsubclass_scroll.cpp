// Scroll-bar painters and their overlay windows, list views, headers.
#include "skin/apply/Winsubclass.h"

namespace quorin {

void TSkinScrollbar::InitScrollbar(TControl* Control, TSkinData* SkinData, TWinSkinForm* SkinForm, TCanvas* Canvas) {
    Init(SkinForm, SkinData, false, Canvas);
}

void TSkinScControl::InitScrollbar(TControl* Control, TSkinData* SkinData, TWinSkinForm* SkinForm, TCanvas* Canvas) {
    Init(SkinForm, SkinData, false, Canvas);
}

} // namespace quorin
