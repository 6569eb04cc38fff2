// The window side of the skin manager: which windows are skinned and with which skin, the
// thread hooks that see windows appear, the skinned pop-up menu windows, and the actions
// (switch on, switch off, change skin, re-skin one window) run on the manager's timer.
// The request queue itself is the portable TSkinManageBase.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "skin/apply/Winskinform.h"
#include "skin/apply/Winskinmenu.h"
#include "skin/resources/Skinmanage.h"

namespace quorin {

class TSkinData;
class TCustomForm;

class TSkinManage : public TSkinManageBase {
public:
    explicit TSkinManage(bool Library = false);
    ~TSkinManage() override;

    void InstallHook() override;
    bool AddForm(TWindowHandle window) override;
    void AddOwnerForm(TComponent* owner) override;
    void DeleteSysbtn(TSkinData* skin) override;
    void UpdateSkinControl(TWindowHandle form, void* control) override;
    void UpdateMenu(TWindowHandle form) override;
    void AddNestForm(TWindowHandle host, TWindowHandle nested) override;
    void DeleteGraphicControl(TWindowHandle form, void* control) override;
    void UpdateMainMenu() override;
    void RefreshFrames() override;

    void ActiveForm(TCustomForm* Form);
    TWinSkinForm* FindSkinForm(HWND Window) const;
    TCustomForm* FindTForm(HWND Window) const;
    bool NestedForm(HWND Window) const;
    void FindSkindata(TSkinData*& SkinData, HWND Window) const;
    bool OnBeforeSkin(HWND Window, const std::string& ClassName);
    void DeleteForm(HWND Window);
    void DeleteDeleted();
    void DeleteAllForms();

    bool AddMenu(HWND Window);
    void DeleteMenu(HWND Window);
    TWinSkinPopMenu* FindSkinMenu(HWND Window) const;
    void SetPopMenu();
    void SetHMenu(HMENU Menu);
    const TBitmap* GetMenuBg(HMENU Menu) const;
    void DeleteAllMenus();

    void SetMDIMax(bool Value);
    int GetMDIChildNum() const;

    // The applier of a window is forgotten when the applier is freed.
    void FormFreed(TWinSkinForm* Form);

    const std::vector<TWinSkinForm*>& Forms() const { return FForms; }
    const std::vector<std::unique_ptr<TWinSkinPopMenu>>& Menus() const { return FMenus; }

    HHOOK FCBTHook = nullptr;
    HHOOK FCallWndHook = nullptr;
    bool FNestedAllowed = false;
    bool FUpdateLock = true;
    int FPopupKind = 0;
    bool FFromMenuBar = false;
    bool FMDIMax = false;
    HWND FMDIClient = nullptr;
    TCustomForm* FMDIForm = nullptr;
    HWND FWindow = nullptr;  // the manager's own window (message 0x3508)

protected:
    void RunAction(int action, TSkinData* skin) override;

private:
    std::vector<TWinSkinForm*> FForms;
    std::vector<std::unique_ptr<TWinSkinPopMenu>> FMenus;
};

// The manager of the program when it is the window-side one; null otherwise.
TSkinManage* SkinManage();
// Makes the window-side manager the one the skin data components create.
void RegisterSkinManager();

} // namespace quorin
