// The File menu's profiles: open, save, compare with the converter, the recent files.
#include "app/UnitCANConfig.h"

namespace quorin {

void TFormCANConfig::InitProfiles() {}
void TFormCANConfig::OpenProfile1Click(TObject* Sender) {}
void TFormCANConfig::SaveProfile1Click(TObject* Sender) {}
void TFormCANConfig::CompareProfile1Click(TObject* Sender) {}
void TFormCANConfig::RecentProfileClick(TObject* Sender) {}

} // namespace quorin
