// The enabling rules of the parameter pages. Placeholder until the rules are in.
#include "app/UnitCANConfig.h"

namespace quorin {

void TFormCANConfig::ComboBoxSwitchModeChange(TObject* Sender) {}
void TFormCANConfig::CheckBoxBuadrateCustomClick(TObject* Sender) {}

} // namespace quorin
