#include "skin/resources/Skinmanage.h"

#include <algorithm>

#include "skin/resources/Winskindata.h"

namespace quorin {

TSkinManageBase* SkinManager = nullptr;

namespace {
TSkinManagerFactory& Factory() {
    static TSkinManagerFactory factory;
    return factory;
}

// The manager lives until the program ends.
struct TManagerShutdown {
    ~TManagerShutdown() { FreeSkinManager(); }
} managerShutdown;
}  // namespace

TSkinManageBase::TSkinManageBase() = default;

TSkinManageBase::~TSkinManageBase() {
    StopTimer();
    if (SkinManager == this) SkinManager = nullptr;
}

void TSkinManageBase::SetAction(int action, int interval) {
    FAction = action;
    FInterval = interval;
    if (FEnabled) {
        StartTimer(interval);
    } else if (action == 1) {
        FSkinning = true;
    } else if (action == 2) {
        FSkinning = false;
    }
}

void TSkinManageBase::OnTimer() {
    StopTimer();
    TSkinData* skin = FSkinData;
    if (!skin) return;
    int action = FAction;
    RunAction(action, skin);
    // A skin freed while the action ran has taken itself out (RemoveSkinData), and is
    // not told.
    if (FSkinData == skin && (action == 1 || action == 2 || action == 3)) skin->DoSkinChanged();
    FSkinData = nullptr;
}

void TSkinManageBase::RunAction(int action, TSkinData* skin) {
    if (action == 1) FSkinning = true;
    if (action == 2) FSkinning = false;
}

void TSkinManageBase::AddSkinData(TSkinData* skin) {
    if (std::find(FSkinDatas.begin(), FSkinDatas.end(), skin) == FSkinDatas.end()) FSkinDatas.push_back(skin);
}

void TSkinManageBase::RemoveSkinData(TSkinData* skin) {
    FSkinDatas.erase(std::remove(FSkinDatas.begin(), FSkinDatas.end(), skin), FSkinDatas.end());
    if (FSkinData == skin) FSkinData = nullptr;
    if (FCurrentSkin == skin) FCurrentSkin = nullptr;
}

void TSkinManageBase::AssignData(const TSkinManageBase& host) {
    FEnabled = host.FEnabled;
    FSkinning = host.FSkinning;
    FCurrentSkin = host.FCurrentSkin;
    for (TSkinData* s : host.FSkinDatas) AddSkinData(s);
}

void SetSkinManagerFactory(TSkinManagerFactory factory) { Factory() = std::move(factory); }

TSkinManageBase* EnsureSkinManager() {
    if (!SkinManager) {
        auto& f = Factory();
        SkinManager = f ? f() : new TSkinManageBase();
    }
    return SkinManager;
}

void FreeSkinManager() {
    TSkinManageBase* m = SkinManager;
    SkinManager = nullptr;
    delete m;
}

}  // namespace quorin
