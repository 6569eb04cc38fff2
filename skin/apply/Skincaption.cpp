#include "skin/apply/Skincaption.h"

#include "skin/resources/Skinmanage.h"

namespace quorin {

bool SkinCaptionActive = true;
uint8_t SkinCaptionAlpha = 0;

QUORIN_DEFINE_CLASS(TSkinCaption, TComponent) {
    p.Bool("Active", &TSkinCaption::GetActive, &TSkinCaption::SetActive);
    p.Str("Author", &TSkinCaption::Author, [](TSkinCaption& c, const std::string& v) { c.Author = v; });
    p.Int("SkinAlpha", &TSkinCaption::SkinAlpha, [](TSkinCaption& c, int32_t v) { c.SkinAlpha = static_cast<uint8_t>(v); },
          0, 255);
}

TSkinCaption::TSkinCaption(TComponent* AOwner) : TComponent(AOwner) {}

void TSkinCaption::SetActive(bool value) {
    FActive = value;
    SkinCaptionActive = value;
    if (ComponentState() & csDesigning) return;
    if (SkinManager) SkinManager->RefreshFrames();
}

void TSkinCaption::Loaded() {
    TComponent::Loaded();
    SkinCaptionAlpha = SkinAlpha;
}

} // namespace quorin
