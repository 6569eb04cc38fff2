// The About box: the product's name and version and the maker's address. Created hidden
// at start-up and shown modally from the Help menu as often as the operator asks.
#pragma once

#include "forms/ExtCtrls.h"
#include "forms/Forms.h"
#include "forms/StdCtrls.h"

namespace quorin {

class TAboutBox : public TForm {
    QUORIN_CLASS(TAboutBox, TForm)
public:
    explicit TAboutBox(TComponent* AOwner);

    TPanel* Panel1 = nullptr;
    TLabel* ProductName = nullptr;
    TLabel* Version = nullptr;
    TLabel* Label3 = nullptr;
    TButton* OKButton = nullptr;

    void OKButtonClick(TObject* Sender);
};

extern TAboutBox* AboutBox;

}  // namespace quorin
