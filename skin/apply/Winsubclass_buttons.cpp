// Push, bit, menu and speed buttons, check boxes, radio buttons, object images.
#include "skin/apply/Winsubclass.h"

namespace quorin {

void TSkinSpeedButton::InitGraphicControl(TWinSkinForm* SkinForm, TSkinData* SkinData, TCanvas* Canvas) {
    FRedirect = Owner();
    Init(SkinForm, SkinData, false, Canvas);
}

} // namespace quorin
