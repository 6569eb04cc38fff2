// The Read and Write buttons. Placeholder until the parameter sequences are in.
#include "app/UnitCANConfig.h"

namespace quorin {

void TFormCANConfig::ButtonReadParameterClick(TObject* Sender) {}
void TFormCANConfig::ButtonWriteParameterClick(TObject* Sender) {}

} // namespace quorin
