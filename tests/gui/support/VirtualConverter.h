// The virtual converters of the GUI tests, seen from the Windows side. Before the tests
// run, tools/vconv-ports.sh starts one converter for each of COM0, COM3, COM7, COM12 and COM23
// and maps them into the Wine prefix; a test controls them through their files on drive Z:
// (the build's vconv directory): it makes ports appear and vanish, switches fault modes,
// and reads the hexadecimal log of the frames each converter received and sent.
//
// Example:
//   ASSERT_TRUE(quorin::gui::PresentPorts({3, 7}));   // COM0, COM12 and COM23 vanish
//   quorin::gui::VirtualConverter com3(3);
//   com3.SetFault("short");                           // the next answer is 239 bytes
//   ... run the program ...
//   auto frames = com3.FramesSinceMark();             // "RX CC DD 00 00", "TX 89 51 ..."
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace quorin::gui {

// The COM port numbers that have a converter behind them.
const std::vector<int>& ConverterPorts();

class VirtualConverter {
public:
    explicit VirtualConverter(int port);

    int Port() const { return port_; }
    // True when the converter runs (it has reported its state).
    bool Running() const;

    // Each of these waits until the converter has applied the change; false if it did not
    // within a few seconds.
    bool SetPresent(bool present);                             // the port appears or vanishes
    bool SetFault(const std::string& mode, int lateMs = 500);  // none, silent, short, long,
                                                               // checksum, late, corrupt, noise, hangup, xoff
    bool Reset();                                              // present, no fault, the default block
    bool StopOutput(bool stop);                                // the program's writes stall, as after XOFF
    bool SetBlock(const std::vector<uint8_t>& block);          // holds these 240 bytes from now on

    // The log: every line, or the received and sent frames ("RX ...", "TX ...") since the
    // last MarkLog (or since the start of the converter).
    std::vector<std::string> LogLines() const;
    void MarkLog();
    std::vector<std::string> FramesSinceMark() const;

private:
    bool Apply(const std::string& lines);
    std::string FilePath(const std::string& suffix) const;

    int port_;
    size_t mark_ = 0;  // lines of the log already seen
};

// Makes exactly these of the converters' ports present, with no fault and the default
// block; the others vanish. False when a converter is missing or did not follow.
bool PresentPorts(std::initializer_list<int> ports);

}  // namespace quorin::gui
