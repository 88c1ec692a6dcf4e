#include <asm/termbits.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/SerialDevice.h"
#include "platform/SerialTermiosLinux.h"

namespace platform {
namespace {

using linuxserial::LineTermios;
using linuxserial::ModemLines;

// How often the modem lines, the line's error and break counters and a queue
// that holds unread or unsent bytes are looked at while the wait needs them.
// poll tells none of these: it sees only that input is there, not that more came.
constexpr int kLineSampleMilliseconds = 50;

constexpr std::uint32_t kModemEvents = commevent::kCts | commevent::kDsr | commevent::kRlsd | commevent::kRing;
constexpr std::uint32_t kCountedEvents = kModemEvents | commevent::kBreak | commevent::kError;

LineTermios mirrorOf(const termios2& kernel) {
    LineTermios mirror;
    mirror.iflag = kernel.c_iflag;
    mirror.oflag = kernel.c_oflag;
    mirror.cflag = kernel.c_cflag;
    mirror.lflag = kernel.c_lflag;
    mirror.line = kernel.c_line;
    std::memcpy(mirror.cc.data(), kernel.c_cc, mirror.cc.size());
    mirror.ispeed = kernel.c_ispeed;
    mirror.ospeed = kernel.c_ospeed;
    return mirror;
}

termios2 kernelOf(const LineTermios& mirror) {
    termios2 kernel{};
    kernel.c_iflag = mirror.iflag;
    kernel.c_oflag = mirror.oflag;
    kernel.c_cflag = mirror.cflag;
    kernel.c_lflag = mirror.lflag;
    kernel.c_line = mirror.line;
    std::memcpy(kernel.c_cc, mirror.cc.data(), mirror.cc.size());
    kernel.c_ispeed = mirror.ispeed;
    kernel.c_ospeed = mirror.ospeed;
    return kernel;
}

ModemLines modemLinesOf(int fd) {
    ModemLines lines;
    int bits = 0;
    if (::ioctl(fd, TIOCMGET, &bits) == 0) {
        lines.known = true;
        lines.dtr = bits & TIOCM_DTR;
        lines.rts = bits & TIOCM_RTS;
    }
    return lines;
}

class LinuxSerialDevice final : public SerialDevice {
public:
    LinuxSerialDevice(int fd, int wakeRead, int wakeWrite) : m_fd(fd), m_wakeRead(wakeRead), m_wakeWrite(wakeWrite) {
        m_errorCountersKnown = ::ioctl(fd, TIOCGICOUNT, &m_errorBaseline) == 0;
    }

    ~LinuxSerialDevice() override {
        close();
        ::close(m_wakeRead);
        ::close(m_wakeWrite);
    }

    bool isCharacterDevice() override {
        std::lock_guard lock(m_lock);
        struct stat info {};
        return m_fd >= 0 && ::fstat(m_fd, &info) == 0 && S_ISCHR(info.st_mode) && ::isatty(m_fd);
    }

    int getLineSettings(DataControlBlock& settings) override {
        std::lock_guard lock(m_lock);
        if (m_fd < 0) return EBADF;
        termios2 kernel{};
        if (::ioctl(m_fd, TCGETS2, &kernel) != 0) return errno;
        settings = linuxserial::lineSettingsFromTermios(mirrorOf(kernel), modemLinesOf(m_fd));
        return 0;
    }

    int setLineSettings(const DataControlBlock& settings) override {
        std::lock_guard lock(m_lock);
        if (m_fd < 0) return EBADF;
        termios2 previous{};
        if (::ioctl(m_fd, TCGETS2, &previous) != 0) return errno;
        LineTermios wanted = mirrorOf(previous);
        if (const int refused = linuxserial::applyLineSettings(settings, wanted)) return refused;
        const termios2 kernel = kernelOf(wanted);
        if (::ioctl(m_fd, TCSETS2, &kernel) != 0) return errno;

        auto restore = [&](int error) {
            ::ioctl(m_fd, TCSETS2, &previous);
            return error;
        };
        // A driver clamps a rate it cannot make to one it can and says so in
        // the settings it keeps; such a line did not take the rate.
        termios2 taken{};
        if (::ioctl(m_fd, TCGETS2, &taken) != 0) return restore(errno);
        if (linuxserial::lineSettingsFromTermios(mirrorOf(taken), {}).BaudRate != settings.BaudRate)
            return restore(EINVAL);

        if (modemLinesOf(m_fd).known) {
            const linuxserial::WantedLines lines = linuxserial::wantedModemLines(settings);
            int raise = 0;
            int lower = 0;
            (lines.dtr ? raise : lower) |= TIOCM_DTR;
            if (lines.setRts) (lines.rts ? raise : lower) |= TIOCM_RTS;
            if (raise != 0 && ::ioctl(m_fd, TIOCMBIS, &raise) != 0) return restore(errno);
            if (lower != 0 && ::ioctl(m_fd, TIOCMBIC, &lower) != 0) return restore(errno);
        }
        return 0;
    }

    int setTimeouts(const CommTimeouts& timeouts) override {
        std::lock_guard lock(m_lock);
        if (m_fd < 0) return EBADF;
        // A terminal can make a read return at once with what is buffered; it
        // has no total read time-outs and no write time-outs at all.
        const bool returnAtOnce = timeouts.ReadIntervalTimeout == CommTimeouts::kMaxTimeout &&
                                  timeouts.ReadTotalTimeoutMultiplier == 0 && timeouts.ReadTotalTimeoutConstant == 0;
        if (!returnAtOnce || timeouts.WriteTotalTimeoutMultiplier != 0 || timeouts.WriteTotalTimeoutConstant != 0)
            return EINVAL;
        termios2 kernel{};
        if (::ioctl(m_fd, TCGETS2, &kernel) != 0) return errno;
        kernel.c_cc[VMIN] = 0;
        kernel.c_cc[VTIME] = 0;
        if (::ioctl(m_fd, TCSETS2, &kernel) != 0) return errno;
        return 0;
    }

    int setQueueSizes(std::int32_t inputSize, std::int32_t outputSize) override {
        std::lock_guard lock(m_lock);
        if (m_fd < 0) return EBADF;
        if (inputSize < 0 || outputSize < 0) return EINVAL;
        // The kernel sizes a terminal's queues itself; the sizes are only a
        // recommendation, as they are for any driver.
        return 0;
    }

    int clearErrors(std::uint32_t& errors, std::uint32_t& inputCount) override {
        std::lock_guard lock(m_lock);
        errors = 0;
        inputCount = 0;
        if (m_fd < 0) return EBADF;
        int waiting = 0;
        if (::ioctl(m_fd, FIONREAD, &waiting) != 0) return errno;
        inputCount = static_cast<std::uint32_t>(waiting);
        serial_icounter_struct counts{};
        if (m_errorCountersKnown && ::ioctl(m_fd, TIOCGICOUNT, &counts) == 0) {
            if (counts.buf_overrun != m_errorBaseline.buf_overrun) errors |= commerror::kRxOver;
            if (counts.overrun != m_errorBaseline.overrun) errors |= commerror::kOverrun;
            if (counts.parity != m_errorBaseline.parity) errors |= commerror::kRxParity;
            if (counts.frame != m_errorBaseline.frame) errors |= commerror::kFrame;
            if (counts.brk != m_errorBaseline.brk) errors |= commerror::kBreak;
            m_errorBaseline = counts;
        }
        return 0;
    }

    int purge(std::uint32_t actions) override {
        std::lock_guard lock(m_lock);
        if (m_fd < 0) return EBADF;
        // Nothing is ever pending on a non-blocking descriptor, so aborting is
        // done by the time the queues are cleared.
        const bool output = actions & commpurge::kTxClear;
        const bool input = actions & commpurge::kRxClear;
        if (!output && !input) return 0;
        const int queue = output && input ? TCIOFLUSH : output ? TCOFLUSH : TCIFLUSH;
        if (::ioctl(m_fd, TCFLSH, queue) != 0) return errno;
        return 0;
    }

    int escapeFunction(std::uint32_t function) override {
        std::lock_guard lock(m_lock);
        if (m_fd < 0) return EBADF;
        int line = 0;
        unsigned long request = 0;
        switch (function) {
            case commescape::kSetDtr: line = TIOCM_DTR, request = TIOCMBIS; break;
            case commescape::kClearDtr: line = TIOCM_DTR, request = TIOCMBIC; break;
            case commescape::kSetRts: line = TIOCM_RTS, request = TIOCMBIS; break;
            case commescape::kClearRts: line = TIOCM_RTS, request = TIOCMBIC; break;
            case commescape::kSetBreak: return ::ioctl(m_fd, TIOCSBRK) == 0 ? 0 : errno;
            case commescape::kClearBreak: return ::ioctl(m_fd, TIOCCBRK) == 0 ? 0 : errno;
            default: return EINVAL;
        }
        return ::ioctl(m_fd, request, &line) == 0 ? 0 : errno;
    }

    int setEventMask(std::uint32_t mask) override {
        std::lock_guard lock(m_lock);
        if (m_fd < 0) return EBADF;
        m_eventMask = mask;
        m_primed = false;
        return 0;
    }

    std::uint32_t waitEvent() override {
        for (;;) {
            pollfd watched[2] = {{m_wakeRead, POLLIN, 0}, {-1, 0, 0}};
            int timeout = -1;
            {
                std::lock_guard lock(m_lock);
                if (m_fd < 0) return 0;
                if (const std::uint32_t events = sampleEventsLocked()) return events;
                // Input is level-triggered: poll for it only while none is
                // waiting, or a byte nobody reads would wake the wait forever.
                if (!m_hungUp && (m_eventMask & commevent::kRxChar) && m_lastInput == 0) {
                    watched[1].fd = m_fd;
                    watched[1].events = POLLIN;
                }
                if (needsSamplingLocked()) timeout = kLineSampleMilliseconds;
            }
            const int ready = ::poll(watched, 2, timeout);
            if (ready < 0) {
                if (errno != EINTR) std::this_thread::sleep_for(std::chrono::milliseconds(kLineSampleMilliseconds));
                continue;
            }
            if (watched[1].revents & (POLLHUP | POLLERR | POLLNVAL)) {
                // A line that went away stays readable and hung up for good:
                // from now on only close ends the wait.
                std::lock_guard lock(m_lock);
                if (m_fd >= 0) m_hungUp = true;
            }
        }
    }

    void close() override {
        std::lock_guard lock(m_lock);
        if (m_fd < 0) return;
        ::ioctl(m_fd, TIOCNXCL);
        // Unsent bytes held back by flow control would make close wait for them.
        ::ioctl(m_fd, TCFLSH, TCIOFLUSH);
        ::close(m_fd);
        m_fd = -1;
        const char wake = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_wakeWrite, &wake, 1);
    }

private:
    std::uint32_t sampleEventsLocked() {
        std::uint32_t events = 0;

        int input = 0;
        if (m_hungUp || ::ioctl(m_fd, FIONREAD, &input) != 0) input = 0;
        // A changed count of waiting bytes means bytes came in (or were read
        // and more came); an unchanged one means nothing new.
        if (input > 0 && input != m_lastInput) events |= commevent::kRxChar;
        m_lastInput = input;

        int output = 0;
        if (::ioctl(m_fd, TIOCOUTQ, &output) != 0) output = 0;
        if (m_lastOutput > 0 && output == 0) events |= commevent::kTxEmpty;
        m_lastOutput = output;

        if (!m_primed) {
            m_watchLines = m_eventMask & kModemEvents;
            m_watchCounters = m_eventMask & kCountedEvents;
        }
        if (m_watchLines) {
            int lines = 0;
            if (::ioctl(m_fd, TIOCMGET, &lines) == 0) {
                const int changed = m_primed ? lines ^ m_lastLines : 0;
                if (changed & TIOCM_CTS) events |= commevent::kCts;
                if (changed & TIOCM_DSR) events |= commevent::kDsr;
                if (changed & TIOCM_CAR) events |= commevent::kRlsd;
                if (changed & TIOCM_RNG) events |= commevent::kRing;
                m_lastLines = lines;
            } else {
                m_watchLines = false;  // no modem lines (a pseudo-terminal), or gone
            }
        }
        if (m_watchCounters) {
            // The counters also catch a short pulse or a break between two looks.
            serial_icounter_struct counts{};
            if (::ioctl(m_fd, TIOCGICOUNT, &counts) == 0) {
                if (m_primed) {
                    const serial_icounter_struct& last = m_lastCounts;
                    if (counts.cts != last.cts) events |= commevent::kCts;
                    if (counts.dsr != last.dsr) events |= commevent::kDsr;
                    if (counts.dcd != last.dcd) events |= commevent::kRlsd;
                    if (counts.rng != last.rng) events |= commevent::kRing;
                    if (counts.brk != last.brk) events |= commevent::kBreak;
                    if (counts.frame != last.frame || counts.overrun != last.overrun || counts.parity != last.parity ||
                        counts.buf_overrun != last.buf_overrun)
                        events |= commevent::kError;
                }
                m_lastCounts = counts;
            } else {
                m_watchCounters = false;
            }
        }
        m_primed = true;
        return events & m_eventMask;
    }

    bool needsSamplingLocked() const {
        return m_watchLines || m_watchCounters ||
               (!m_hungUp && (m_eventMask & commevent::kRxChar) && m_lastInput > 0) ||
               ((m_eventMask & commevent::kTxEmpty) && m_lastOutput > 0);
    }

    std::mutex m_lock;
    int m_fd;
    const int m_wakeRead;
    const int m_wakeWrite;

    std::uint32_t m_eventMask = 0;
    bool m_primed = false;
    bool m_hungUp = false;
    bool m_watchLines = false;
    bool m_watchCounters = false;
    int m_lastInput = 0;  // so that bytes already waiting when the wait starts are reported
    int m_lastOutput = 0;
    int m_lastLines = 0;
    serial_icounter_struct m_lastCounts{};

    bool m_errorCountersKnown = false;
    serial_icounter_struct m_errorBaseline{};
};

class LinuxSerialPortServices final : public SerialPortServices {
public:
    std::shared_ptr<SerialDevice> openDevice(const std::string& name, int& error) override {
        error = 0;
        // Without O_NONBLOCK the open of a real port waits for its carrier.
        const int fd = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            error = errno;
            return nullptr;
        }
        auto fail = [&](int code) -> std::shared_ptr<SerialDevice> {
            ::ioctl(fd, TIOCNXCL);
            ::close(fd);
            error = code;
            return nullptr;
        };
        // Not shared: no other program may open the line while it is ours. A
        // file that is no terminal is left to the caller's device check.
        if (::isatty(fd) && ::ioctl(fd, TIOCEXCL) != 0) return fail(errno);
        int wake[2];
        if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) return fail(errno);
        try {
            return std::make_shared<LinuxSerialDevice>(fd, wake[0], wake[1]);
        } catch (const std::bad_alloc&) {
            ::close(wake[0]);
            ::close(wake[1]);
            return fail(ENOMEM);
        }
    }
};

}  // namespace

std::shared_ptr<SerialPortServices> systemSerialPortServices() {
    static const auto services = std::make_shared<LinuxSerialPortServices>();
    return services;
}

bool serialDevicePresent(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    return errno == EACCES || errno == EBUSY;
}

}  // namespace platform
