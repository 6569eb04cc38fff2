// The filter list editor. Placeholder until the editor is in.
#include "app/UnitCANConfig.h"

namespace quorin {

void TFormCANConfig::AddFilterID() {}
void TFormCANConfig::DeleteFilterID() {}
void TFormCANConfig::UpdateFilterControls() {}
void TFormCANConfig::ButtonVandrelFilterIDAddClick(TObject* Sender) { AddFilterID(); }
void TFormCANConfig::ButtonVandrelFilterIDDeleteClick(TObject* Sender) { DeleteFilterID(); }
void TFormCANConfig::CheckBoxVandrelFilterEnableClick(TObject* Sender) { UpdateFilterControls(); }

} // namespace quorin
