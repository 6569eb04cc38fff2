// TSkinCaption: the small component that stands beside the skin data on the main form.
// Its Active switch lets the skinned frames show or hide the skin's caption strip; the
// skin manager makes every skinned window recompute its frame when it changes. SkinAlpha
// above 0 makes the program's skinned top-level windows that much transparent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "forms/Classes.h"

namespace quorin {

class TSkinManageBase;

class TSkinCaption : public TComponent {
    QUORIN_CLASS(TSkinCaption, TComponent)
public:
    explicit TSkinCaption(TComponent* AOwner);
    ~TSkinCaption() override;

    bool GetActive() const { return FActive; }
    void SetActive(bool value);
    std::string Author;
    uint8_t SkinAlpha = 0;

    void Loaded() override;

private:
    bool FActive = true;
};

// The unit-wide copies of the caption component's settings: its Active (setting it makes
// every skinned window recompute its frame; nothing else depends on it), and the window
// transparency asked for (0: opaque).
extern bool SkinCaptionActive;
extern uint8_t SkinCaptionAlpha;

// Operations for a library module that skins its own windows with the host program's
// manager. Called from a program (not a library) they show an error box and return false.
bool DLL_InitSkin(const TSkinManageBase* Host);
bool DLL_LoadSkinRes(const void* Data, size_t Size);
bool DLL_SetActive(bool Value);
bool DLL_SetSkinFile(const std::string& FileName);
bool DLL_UnLoadSkin();
bool DLL_Add3rdControl(const std::string& ClassName, const std::string& Kind);

}  // namespace quorin
