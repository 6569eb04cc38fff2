#include "app/UnitAbout.h"

#include "app/LanguageTable.h"

namespace quorin {

TAboutBox* AboutBox = nullptr;

QUORIN_DEFINE_CLASS(TAboutBox, TForm) {}

TAboutBox::TAboutBox(TComponent* AOwner) : TForm(AOwner) {
    RegisterHandler("OKButtonClick", &TAboutBox::OKButtonClick);
    BindField("Panel1", Panel1);
    BindField("ProductName", ProductName);
    BindField("Version", Version);
    BindField("Label3", Label3);
    BindField("OKButton", OKButton);
    InitLayout(L"TABOUTBOX");
    // Made after the main window has set the language: it starts in that language.
    RelabelForm(*this, CurrentLanguage());
}

// The box stays alive for the next showing: closing a modal form only hides it.
void TAboutBox::OKButtonClick(TObject* Sender) { Close(); }

}  // namespace quorin
