#pragma once

// Pseudo-terminals, an independent read-back of a terminal's kernel settings,
// and a queue that lets a test's main thread play the user-interface thread.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/SerialDevice.h"

namespace serial_test {

// A pseudo-terminal pair; the slave side stands for a serial device.
class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& slavePath() const { return m_slavePath; }
    int master() const { return m_master; }
    int slave() const { return m_slave; }
    // Writes bytes to the master side: they arrive at the slave as received data.
    void send(const std::string& bytes) const;
    // Waits until the slave has count bytes waiting; false after timeout.
    bool awaitWaiting(int count, std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;
    // Whether another open of the slave is refused (exclusive mode).
    bool exclusive() const;
    void closeMaster();

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
};

// The terminal settings the kernel keeps, read with the kernel's own
// interface (which also carries a free speed).
struct KernelTermios {
    std::uint32_t iflag = 0;
    std::uint32_t oflag = 0;
    std::uint32_t cflag = 0;
    std::uint32_t lflag = 0;
    std::uint32_t ospeed = 0;
    bool freeSpeed = false;  // the speed is given by number (BOTHER), not by a standard code
    std::uint32_t speedCode = 0;
    unsigned char vstart = 0;
    unsigned char vstop = 0;
    unsigned char vmin = 0;
    unsigned char vtime = 0;
};
KernelTermios readKernelTermios(int fd);

// Number of this process's file descriptors open on the file at path.
int descriptorsOpenOn(const std::string& path);

// Polls condition every millisecond until it holds or timeout passes; for
// conditions nothing can be waited on (a thread that has ended).
bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(10));

// The user-interface side of a port's dispatcher. Functions handed over by
// other threads wait here until the test's main thread runs them.
class UiQueue : public std::enable_shared_from_this<UiQueue> {
public:
    static std::shared_ptr<UiQueue> create() { return std::shared_ptr<UiQueue>(new UiQueue); }

    // Blocks the calling thread until the main thread has run the function
    // (or the queue is shut down).
    std::function<void(const std::function<void()>&)> dispatcher();

    // Main thread: waits until count functions are pending; false after timeout.
    bool awaitPending(std::size_t count = 1, std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Main thread: runs one pending function, waiting for it at most timeout.
    bool runOne(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Main thread: runs pending functions until done() holds; false after timeout.
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Releases every waiting and later hand-off without running it.
    void shutdown();

private:
    UiQueue() = default;
    struct Call {
        std::function<void()> function;
        bool done = false;
    };
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<std::shared_ptr<Call>> m_pending;
    bool m_shutDown = false;
};

// What the stand-in did and is told to do; shared with the test.
struct StandInScript {
    std::vector<std::uint32_t> escapes;               // escape functions asked for
    std::vector<platform::DataControlBlock> written;  // line settings written
    std::optional<platform::DataControlBlock>
        driverSettings;  // reported instead of the pty's (then nothing is written)
    int timeoutsError = 0;
    int lineSettingsError = 0;
    int queueSizesError = 0;
};

// Opens real devices with what a pseudo-terminal lacks stood in for: modem
// lines that take DTR, and failures on request.
class StandInServices final : public platform::SerialPortServices {
public:
    explicit StandInServices(std::shared_ptr<StandInScript> script) : m_script(std::move(script)) {}
    std::shared_ptr<platform::SerialDevice> openDevice(const std::string& name, int& error) override;

private:
    std::shared_ptr<StandInScript> m_script;
};

}  // namespace serial_test
