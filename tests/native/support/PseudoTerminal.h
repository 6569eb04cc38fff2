// A pseudo-terminal pair for tests of the serial channel: the channel opens the terminal
// side by its path, the test plays the device on the controlling side.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace quorin::test {

class TPseudoTerminal {
public:
    // Raw, as a device line is once a program has set it up, or as the kernel makes it
    // (canonical lines, echo, XON/XOFF, newline translation), as a device comes.
    enum class TStart { Raw, AsFound };
    explicit TPseudoTerminal(TStart start = TStart::Raw);
    ~TPseudoTerminal();
    TPseudoTerminal(const TPseudoTerminal&) = delete;
    TPseudoTerminal& operator=(const TPseudoTerminal&) = delete;

    // The terminal side's device path, for SetPortPath.
    const std::string& Path() const { return FPath; }
    // The controlling side; its terminal settings are those of the terminal side.
    int Master() const { return FMaster; }

    // Sends bytes to whoever has the terminal side open.
    void Send(const std::vector<uint8_t>& bytes);
    // Collects what the terminal side wrote until count bytes came or the time ran out.
    std::vector<uint8_t> Receive(std::size_t count, std::chrono::milliseconds timeout);

private:
    int FMaster = -1;
    std::string FPath;
};

// Polls until the condition holds or the time runs out; the condition's last value.
template <typename F>
bool WaitUntil(F condition, std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));

// Number of threads of this process.
int ThreadCount();
// Number of open file descriptors of this process.
int OpenFdCount();

}  // namespace quorin::test

#include <thread>

template <typename F>
bool quorin::test::WaitUntil(F condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
