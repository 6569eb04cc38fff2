// Port selection and the Open button. The port list is built once, at start-up, by trying
// every port number the serial channel knows (on a thread of its own while the window is
// made); one button opens and closes the chosen port, and while a port is open the
// parameter buttons work and the port cannot be changed.
#include "app/UnitCANConfig.h"

#include <algorithm>
#include <cctype>
#include <future>
#include <string>
#include <vector>

#include "app/Strings.h"
#include "app/WarningBox.h"
#include "link/SerialProbe.h"
#include "link/VCI.h"

namespace quorin {
namespace {

constexpr int32_t kFirstPort = 0;
constexpr int32_t kLastPort = 23;

std::string PortName(int32_t port) { return "COM" + std::to_string(port); }

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::toupper(x) == std::toupper(y);
           });
}

std::string Trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// The entry the port box stands for: the selected one, or the one whose name the operator
// typed (in any case); -1 when the text names no entry.
int ChosenPortEntry(const TComboBox& box) {
    const TStrings& items = box.Items();
    const std::string text = Trimmed(box.Text());
    const int selected = box.ItemIndex();
    if (selected >= 0 && selected < items.Count() && SameName(items[selected], text)) return selected;
    for (int i = 0; i < items.Count(); ++i)
        if (SameName(items[i], text)) return i;
    return -1;
}

// Every port that opens, each opened and closed at once, without the reader an open for
// use starts.
std::vector<int32_t> ProbePorts() {
    std::vector<int32_t> found;
    for (int32_t n = kFirstPort; n <= kLastPort; ++n)
        if (ProbeSerialPort(n)) found.push_back(n);
    return found;
}

std::future<std::vector<int32_t>>& EarlyProbe() {
    static std::future<std::vector<int32_t>> probe;
    return probe;
}

}  // namespace

void StartPortScan() {
    try {
        EarlyProbe() = std::async(std::launch::async, ProbePorts);
    } catch (...) {
        // No thread to spare: the window probes the ports itself.
    }
}

void TFormCANConfig::ScanCommPorts() {
    auto& early = EarlyProbe();
    const std::vector<int32_t> ports = early.valid() ? early.get() : ProbePorts();
    ComboBoxCommIndex->Items().Clear();
    for (const int32_t n : ports) ComboBoxCommIndex->Items().AddObject(PortName(n), n);
    if (ComboBoxCommIndex->Items().Count() == 0) {
        ComboBoxCommIndex->SetText(LoadStr(IDS_NO_PORT_FOUND));
        ButtonOpenRS232->SetEnabled(false);
    } else {
        ComboBoxCommIndex->SetItemIndex(0);
        ButtonOpenRS232->SetEnabled(true);
    }
}

void TFormCANConfig::ButtonOpenRS232Click(TObject* Sender) {
    if (CommOpened) {
        ButtonOpenRS232->SetCaption(LoadStr(IDS_OPEN_PORT));
        CommOpened = false;
        ButtonReadParameter->SetEnabled(false);
        ButtonWriteParameter->SetEnabled(false);
        ComboBoxCommIndex->SetEnabled(true);
        VCI_CloseDevice(OpenedCommIndex);
        return;
    }
    // A text typed into the box that names no listed port has no port number to open.
    const int entry = ChosenPortEntry(*ComboBoxCommIndex);
    if (entry < 0) {
        ShowWarningBox(LoadStr(IDS_CHOOSE_PORT), LoadStr(IDS_TITLE_WARNING));
        return;
    }
    const auto n = static_cast<int32_t>(ComboBoxCommIndex->Items().Objects(entry));
    if (VCI_OpenDevice(n) == 0) {
        ShowWarningBox(LoadStr(IDS_OPEN_PORT_FAILED), LoadStr(IDS_TITLE_WARNING));
        return;
    }
    ButtonOpenRS232->SetCaption(LoadStr(IDS_CLOSE_PORT));
    CommOpened = true;
    ButtonReadParameter->SetEnabled(true);
    ButtonWriteParameter->SetEnabled(true);
    OpenedCommIndex = n;
    ComboBoxCommIndex->SetEnabled(false);
}

}  // namespace quorin
