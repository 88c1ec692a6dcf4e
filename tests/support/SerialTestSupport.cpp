#include "support/SerialTestSupport.h"

// The kernel's termios2 clashes with the C library's termios, so this unit
// uses the kernel's headers only.
#include <asm/termbits.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

extern "C" int openpty(int* master, int* slave, char* name, const void* termp, const void* winp);

namespace serial_test {

PseudoTerminal::PseudoTerminal() {
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) throw std::runtime_error("openpty failed");
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    m_slavePath = name;
}

PseudoTerminal::~PseudoTerminal() {
    closeMaster();
    ::close(m_slave);
}

void PseudoTerminal::send(const std::string& bytes) const {
    if (::write(m_master, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        throw std::runtime_error("write to the master side failed");
}

bool PseudoTerminal::awaitWaiting(int count, std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int waiting = 0;
        if (::ioctl(m_slave, FIONREAD, &waiting) == 0 && waiting >= count) return waiting == count;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        pollfd readable{m_slave, POLLIN, 0};
        ::poll(&readable, 1, 10);  // raw input wakes this at once; canonical input needs the next look
    }
}

bool PseudoTerminal::exclusive() const {
    int state = 0;
    if (::ioctl(m_slave, TIOCGEXCL, &state) != 0) throw std::runtime_error("TIOCGEXCL failed");
    return state != 0;
}

void PseudoTerminal::closeMaster() {
    if (m_master >= 0) ::close(m_master);
    m_master = -1;
}

KernelTermios readKernelTermios(int fd) {
    termios2 kernel{};
    if (::ioctl(fd, TCGETS2, &kernel) != 0) throw std::runtime_error("TCGETS2 failed");
    KernelTermios result;
    result.iflag = kernel.c_iflag;
    result.oflag = kernel.c_oflag;
    result.cflag = kernel.c_cflag;
    result.lflag = kernel.c_lflag;
    result.ospeed = kernel.c_ospeed;
    result.speedCode = kernel.c_cflag & CBAUD;
    result.freeSpeed = result.speedCode == BOTHER;
    result.vstart = kernel.c_cc[VSTART];
    result.vstop = kernel.c_cc[VSTOP];
    result.vmin = kernel.c_cc[VMIN];
    result.vtime = kernel.c_cc[VTIME];
    return result;
}

int descriptorsOpenOn(const std::string& path) {
    const std::filesystem::path target = std::filesystem::weakly_canonical(path);
    int count = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        const std::filesystem::path opened = std::filesystem::read_symlink(entry.path(), error);
        if (!error && opened == target) ++count;
    }
    return count;
}

bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

std::function<void(const std::function<void()>&)> UiQueue::dispatcher() {
    return [self = shared_from_this()](const std::function<void()>& function) {
        auto call = std::make_shared<Call>();
        call->function = function;
        std::unique_lock lock(self->m_lock);
        if (self->m_shutDown) return;
        self->m_pending.push_back(call);
        self->m_changed.notify_all();
        self->m_changed.wait(lock, [&] { return call->done || self->m_shutDown; });
    };
}

bool UiQueue::awaitPending(std::size_t count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_lock);
    return m_changed.wait_for(lock, timeout, [&] { return m_pending.size() >= count; });
}

bool UiQueue::runOne(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_lock);
    if (!m_changed.wait_for(lock, timeout, [&] { return !m_pending.empty(); })) return false;
    const std::shared_ptr<Call> call = m_pending.front();
    m_pending.pop_front();
    lock.unlock();
    call->function();
    lock.lock();
    call->done = true;
    m_changed.notify_all();
    return true;
}

bool UiQueue::runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !runOne(left)) return done();
    }
    return true;
}

void UiQueue::shutdown() {
    std::lock_guard lock(m_lock);
    m_shutDown = true;
    m_pending.clear();
    m_changed.notify_all();
}

namespace {

// A real device with what a pseudo-terminal lacks stood in for: modem lines
// that take DTR, and failures on request.
class StandInDevice final : public platform::SerialDevice {
public:
    StandInDevice(std::shared_ptr<platform::SerialDevice> real, std::shared_ptr<StandInScript> script)
        : m_real(std::move(real)), m_script(std::move(script)) {}

    bool isCharacterDevice() override { return m_real->isCharacterDevice(); }
    int getLineSettings(platform::DataControlBlock& settings) override {
        if (m_script->driverSettings) {
            settings = *m_script->driverSettings;
            return 0;
        }
        return m_real->getLineSettings(settings);
    }
    int setLineSettings(const platform::DataControlBlock& settings) override {
        m_script->written.push_back(settings);
        if (m_script->lineSettingsError) return m_script->lineSettingsError;
        return m_script->driverSettings ? 0 : m_real->setLineSettings(settings);
    }
    int setTimeouts(const platform::CommTimeouts& timeouts) override {
        return m_script->timeoutsError ? m_script->timeoutsError : m_real->setTimeouts(timeouts);
    }
    int setQueueSizes(std::int32_t input, std::int32_t output) override {
        return m_script->queueSizesError ? m_script->queueSizesError : m_real->setQueueSizes(input, output);
    }
    int clearErrors(std::uint32_t& errors, std::uint32_t& count) override { return m_real->clearErrors(errors, count); }
    int purge(std::uint32_t actions) override { return m_real->purge(actions); }
    int escapeFunction(std::uint32_t function) override {
        if (!m_real->isCharacterDevice()) return EBADF;  // closed
        m_script->escapes.push_back(function);
        return 0;
    }
    int setEventMask(std::uint32_t mask) override { return m_real->setEventMask(mask); }
    std::uint32_t waitEvent() override { return m_real->waitEvent(); }
    void close() override { m_real->close(); }

private:
    std::shared_ptr<platform::SerialDevice> m_real;
    std::shared_ptr<StandInScript> m_script;
};

}  // namespace

std::shared_ptr<platform::SerialDevice> StandInServices::openDevice(const std::string& name, int& error) {
    auto real = platform::systemSerialPortServices()->openDevice(name, error);
    return real ? std::make_shared<StandInDevice>(real, m_script) : nullptr;
}

}  // namespace serial_test
