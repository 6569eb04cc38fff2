// The request side of the skin manager: the single object to which every skin data
// component hands its activation requests (skin all windows, remove the skin, re-read
// the skin, re-skin one window). Requests are recorded and carried out on the manager's
// timer, so that a skin switched on while the main window is still being built is
// applied once the window exists.
//
// The window side (creating a skin applier per window, hooks, menus) derives from this
// class and overrides the virtual operations; until it registers its factory, the base
// keeps the bookkeeping only.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace quorin {

class TSkinData;
// A window handle of the platform (HWND on Windows), opaque to portable code.
using TWindowHandle = void*;

class TSkinManageBase {
public:
    TSkinManageBase();
    virtual ~TSkinManageBase();
    TSkinManageBase(const TSkinManageBase&) = delete;
    TSkinManageBase& operator=(const TSkinManageBase&) = delete;

    // Records action n and starts the timer with the interval (milliseconds). While the
    // manager is not enabled, action 1 only switches skinning on and action 2 off.
    virtual void SetAction(int action, int interval);
    // Runs the pending action (the timer calls it; tests may call it directly).
    void OnTimer();
    bool TimerRunning() const { return FTimerRunning; }
    int TimerInterval() const { return FInterval; }

    void AddSkinData(TSkinData* skin);
    void RemoveSkinData(TSkinData* skin);
    const std::vector<TSkinData*>& SkinDatas() const { return FSkinDatas; }

    // Window side; the base does nothing (and adds no window).
    virtual void InstallHook() {}
    virtual bool AddForm(TWindowHandle window) { return false; }
    // Adds the window of a skin's owner, when the owner is a form that has one.
    virtual void AddOwnerForm(class TComponent* owner) {}
    virtual void InstallThread(uint32_t threadId) {}
    virtual void UnInstallThread(uint32_t threadId) {}
    // The skin appliers skinned with this skin drop their caption buttons.
    virtual void DeleteSysbtn(TSkinData* skin) {}
    // Requests addressed to the skin applier of one window.
    virtual void UpdateSkinControl(TWindowHandle form, void* control) {}
    virtual void UpdateMenu(TWindowHandle form) {}
    virtual void AddNestForm(TWindowHandle host, TWindowHandle nested) {}
    virtual void DeleteGraphicControl(TWindowHandle form, void* control) {}
    virtual void UpdateMainMenu() {}
    // Every skinned window recomputes its frame (the caption component was switched).
    virtual void RefreshFrames() {}
    // Takes over the shared state of a host program's manager (a skinned library).
    virtual void AssignData(const TSkinManageBase& host);

    bool FEnabled = true;                   // SetAction runs actions on the timer
    bool FSkinning = false;                 // windows and menus are being skinned
    bool FAdding = false;                   // set around SkinForm's direct AddForm
    int FSkinCount = 0;                     // skin counter (UpdateSkin, SkinDll)
    int FAction = 0;                        // pending action
    TSkinData* FSkinData = nullptr;         // skin of the pending action
    TSkinData* FCurrentSkin = nullptr;      // skin whose options apply to new windows
    TWindowHandle FChangeWindow = nullptr;  // window named by ChangeForm (action 7)

protected:
    // Carries out one action with its skin. The base switches skinning on (1) and off
    // (2); the window side adds the windows.
    virtual void RunAction(int action, TSkinData* skin);

private:
    void StartTimer(int interval);  // platform part
    void StopTimer();               // platform part

    std::vector<TSkinData*> FSkinDatas;
    int FInterval = 100;
    bool FTimerRunning = false;
    uintptr_t FTimerId = 0;
};

// The single manager of the program, created by the first skin that is loaded.
extern TSkinManageBase* SkinManager;

// The window side registers how to make the real manager; without one the base is made.
using TSkinManagerFactory = std::function<TSkinManageBase*()>;
void SetSkinManagerFactory(TSkinManagerFactory factory);
// Creates the manager when none exists; returns it.
TSkinManageBase* EnsureSkinManager();
// Frees the manager (unit shutdown, and tests).
void FreeSkinManager();

}  // namespace quorin
