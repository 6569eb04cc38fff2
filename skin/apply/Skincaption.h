// TSkinCaption: the small component that stands beside the skin data on the main form.
// Its Active switch lets the skinned frames show or hide the skin's caption strip; the
// skin manager makes every skinned window recompute its frame when it changes.
#pragma once

#include <cstdint>
#include <string>

#include "forms/Classes.h"

namespace quorin {

class TSkinCaption : public TComponent {
    QUORIN_CLASS(TSkinCaption, TComponent)
public:
    explicit TSkinCaption(TComponent* AOwner);

    bool GetActive() const { return FActive; }
    void SetActive(bool value);
    std::string Author;
    uint8_t SkinAlpha = 0;

    void Loaded() override;

private:
    bool FActive = true;
};

// The unit-wide state the frame painters read: whether caption strips are drawn, and
// the window transparency asked for (0: opaque).
extern bool SkinCaptionActive;
extern uint8_t SkinCaptionAlpha;

} // namespace quorin
