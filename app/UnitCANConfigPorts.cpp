// Port selection and the Open button. Placeholder until the serial port handling is in:
// no port is listed, so Open stays disabled.
#include "app/UnitCANConfig.h"

namespace quorin {

void TFormCANConfig::ScanCommPorts() {
    ComboBoxCommIndex->Items().Clear();
    ComboBoxCommIndex->SetText("No RS232 port find !");
    ButtonOpenRS232->SetEnabled(false);
}

void TFormCANConfig::ButtonOpenRS232Click(TObject* Sender) {}

} // namespace quorin
