// The control walk of a skin applier: which painter each control of a window gets, by its
// kind, the skin's switched-on control kinds, DisableTag and the Skin3rd class map.
#include "skin/apply/Winskinform.h"

#include <algorithm>

namespace quorin {

void TWinSkinForm::InitControls(TComponent* Form) {}
void TWinSkinForm::InitControlA(TComponent* Container) {}
void TWinSkinForm::InitChildCtrl(TWinControl* Container) {}
void TWinSkinForm::AddComp(TControl* Control, TComponent* Parent) {}
bool TWinSkinForm::FindSkinComp(TControl* Control) const { return false; }
void TWinSkinForm::DisableControl(TControl* Control) {}
bool TWinSkinForm::Find3rdControl(const std::string& ClassName, TControl* Control) { return false; }
void TWinSkinForm::DoSkinEdit(TControl* Control) {}
void TWinSkinForm::InitNestform(TWinControl* Container) {}
void TWinSkinForm::InitHwndControls(HWND Handle) {}
void TWinSkinForm::AddControlh(HWND Handle) {}
BOOL CALLBACK TWinSkinForm::EnumControl(HWND Handle, LPARAM SkinForm) { return TRUE; }
bool TWinSkinForm::IsScrollControl(TComponent* Component) const { return false; }

bool TWinSkinForm::AddControlList(TSkinControl* Painter) {
    if (std::find(FControlList.begin(), FControlList.end(), Painter) != FControlList.end()) return true;
    FControlList.push_back(Painter);
    return false;
}

void TWinSkinForm::DeleteControl(TSkinControl* Painter) {
    if (!FControlListAlive) return;
    auto it = std::find(FControlList.rbegin(), FControlList.rend(), Painter);
    if (it != FControlList.rend()) FControlList.erase(std::next(it).base());
    if (FHotControl == Painter) FHotControl = nullptr;
}

TSkinControl* TWinSkinForm::Lookupcontrol(HWND Handle) const {
    for (TSkinControl* p : FControlList)
        if (p->FHandle == Handle) return p;
    return nullptr;
}

void TWinSkinForm::DeleteSkinDeleted() {
    for (size_t i = FControlList.size(); i-- > 0;) {
        if (i >= FControlList.size()) continue;
        TSkinControl* p = FControlList[i];
        if (p->FStatus == 6) {
            FControlList.erase(FControlList.begin() + std::ptrdiff_t(i));
            p->FSkinForm = nullptr;
            delete p;
        }
    }
}

void TWinSkinForm::DeleteControls() {
    while (!FControlList.empty()) {
        TSkinControl* p = FControlList.front();
        FControlList.erase(FControlList.begin());
        if (p->FStatus != 6) p->Unsubclass();
        p->FSkinForm = nullptr;
        delete p;
    }
    FHotControl = nullptr;
}

} // namespace quorin
