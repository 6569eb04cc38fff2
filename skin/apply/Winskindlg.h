// The window side of the skin manager: which windows are skinned and with which skin, the
// thread hooks that see windows appear, the skinned pop-up menu windows, and the actions
// (switch on, switch off, change skin, re-skin one window) run on the manager's timer.
// The request queue itself is the portable TSkinManageBase.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <set>
#include <vector>

#include "skin/apply/Winskinform.h"
#include "skin/apply/Winskinmenu.h"
#include "skin/resources/Skinmanage.h"

namespace quorin {

class TSkinData;
class TCustomForm;

class TSkinManage;
class TFrozenWindows;

// Another thread's own creation hook (InstallThread).
class TSkinThread : public TObject {
public:
    THookHandle Hook;
    DWORD ThreadId = 0;
};

class TSkinManage : public TSkinManageBase {
public:
    explicit TSkinManage(bool Library = false);
    ~TSkinManage() override;

    void SetAction(int action, int interval) override;
    void InstallHook() override;
    void InstallCallWndHook();
    void InstallThread(uint32_t threadId) override;
    void UnInstallThread(uint32_t threadId) override;
    void DeleteAllThreads();
    bool AddForm(TWindowHandle window) override;
    void AddOwnerForm(TComponent* owner) override;
    void DeleteSysbtn(TSkinData* skin) override;
    void UpdateSkinControl(TWindowHandle form, void* control) override;
    void UpdateMenu(TWindowHandle form) override;
    void AddNestForm(TWindowHandle host, TWindowHandle nested) override;
    void DeleteGraphicControl(TWindowHandle form, void* control) override;
    void UpdateMainMenu() override;
    void RefreshFrames() override;

    // Skins a window whole, its controls included, before it is first shown: the program's
    // forms as they are made and before each showing, the dialogs of the system (message
    // boxes, file dialogs) once they have laid themselves out and are about to show. A
    // switch-on still waiting for the timer is carried out first. True when the window is
    // skinned afterwards.
    bool SkinBeforeShow(HWND Window);
    // A skin change is about to be made: the visible windows keep the look they have on the
    // screen (nothing is drawn to them) until the manager's next action has run, rather than
    // show parts drawn from the new skin meanwhile. The action lets them go; so does
    // ReleaseWindows, for a change that will not come after all.
    void HoldWindows();
    void ReleaseWindows();
    void ActiveForm(TCustomForm* Form);
    TWinSkinForm* FindSkinForm(HWND Window) const;
    TCustomForm* FindTForm(HWND Window) const;
    bool NestedForm(HWND Window) const;
    void FindSkindata(TSkinData*& SkinData, HWND Window) const;
    bool OnBeforeSkin(HWND Window, const std::string& ClassName);
    void DeleteForm(HWND Window);
    void DeleteForm2(HWND Window);
    void DeleteForm3();
    void DeleteDeleted();
    void DeleteAllForms();
    bool IsDllForm(HWND Window) const;

    bool AddMenu(HWND Window);
    void DeleteMenu(HWND Window);
    TWinSkinPopMenu* FindSkinMenu(HWND Window) const;
    TWinSkinPopMenu* FindPopupMenu(HMENU Menu) const;
    void UpdateSkinMenu(HWND Window);
    void SetPopMenu();
    void SetHMenu(HMENU Menu);
    const TBitmap* GetMenuBg(HMENU Menu) const;
    void DeleteAllMenus();

    void SetMDIMax(bool Value);
    void SetMDIMax2(bool Value);
    int GetMDIChildNum() const;
    void SetCaption(const std::string& Value);

    // The manager's own window procedure (message 0x3508: skin a window again).
    void WndProc(TMessage& Message);
    // Managers of libraries that share this manager's skin.
    void AddSubManager(TSkinManage* Manager);
    void RemoveSubManager(TSkinManage* Manager);

    // The applier of a window is forgotten when the applier is freed.
    void FormFreed(TWinSkinForm* Form);

    const std::vector<TWinSkinForm*>& Forms() const { return FForms; }
    const std::vector<std::unique_ptr<TWinSkinPopMenu>>& Menus() const { return FMenus; }

    THookHandle FCBTHook;
    THookHandle FCallWndHook;
    bool FNestedAllowed = false;
    bool FUpdateLock = true;
    int FPopupKind = 0;
    bool FFromMenuBar = false;
    bool FMDIMax = false;
    HWND FMDIClient = nullptr;
    TCustomForm* FMDIForm = nullptr;
    HWND FWindow = nullptr;  // the manager's own window (message 0x3508)
    bool FLibrary = false;   // the manager serves a library module
    HINSTANCE FLibInstance = nullptr;
    DWORD FVersion = 0;  // GetVersion at InstallHook
    // The menu loop in progress was entered by TrackPopupMenu (WM_ENTERMENULOOP).
    bool FTrackPopupLoop = false;
    // The pop-up being opened is a system menu (WM_INITMENUPOPUP said so).
    bool FSysMenuPopup = false;

    // The hook procedures see the manager through these.
    void HookCreateWindow(HWND Window, const CREATESTRUCTW& Create);
    void HookCallWndProc(const CWPSTRUCT& Message);

protected:
    void RunAction(int action, TSkinData* skin) override;

private:
    class TFreeNotifier;
    friend class TFreeNotifier;
    // AddForm; with Now the applier finishes at once instead of on its posted message.
    bool AddWindow(HWND Window, bool Now);
    void AddApplier(TWinSkinForm* Form);
    void RemoveApplier(TWinSkinForm* Form);  // unskins, repaints and frees
    void ForgetApplier(TWinSkinForm* Form);  // drops it from the list only
    // Skins the forms and dialogs among Shown (the windows on the screen), each whole.
    void SkinEveryWindow(const std::vector<HWND>& Shown);
    void SkinChangeAll(TSkinData* skin);
    void RemoveAll();
    void ReSkinWindow(HWND Window, bool Pause);
    int EffectivePopupKind() const;
    void KeepCentre(HWND Window);

    std::vector<TWinSkinForm*> FForms;
    std::vector<std::unique_ptr<TWinSkinPopMenu>> FMenus;
    std::vector<std::unique_ptr<TSkinThread>> FThreads;
    std::vector<TSkinManage*> FSubManagers;
    std::unique_ptr<TFreeNotifier> FNotifier;
    // Centred forms waiting for their first skinned frame, and those that had it.
    std::map<HWND, POINT> FKeepCentre;
    std::set<HWND> FCentred;
    // A skin change arrived while a switch was pending (SetAction).
    bool FChangePending = false;
    // The windows held for a pending action (HoldWindows); the action lets them go.
    std::unique_ptr<TFrozenWindows> FHeld;
};

// The manager of the program when it is the window-side one; null otherwise.
TSkinManage* SkinManage();
// Makes the window-side manager the one the skin data components create.
void RegisterSkinManager();
// The program's forms are skinned as part of being made (and, should they have missed it,
// before each showing), not when the manager's timer finds them on the screen. Programs
// call it once before they make their first form; tests that skin forms by hand do not.
void SkinFormsBeforeShow();

}  // namespace quorin
