#include <mutex>

#include "platform/SerialDevice.h"
#include "platform/WideTextWindows.h"

namespace platform {
namespace {

using windows::OwnedHandle;

int lastError() {
    return static_cast<int>(GetLastError());
}

DataControlBlock fromDcb(const DCB& driver) {
    DataControlBlock settings;
    settings.BaudRate = driver.BaudRate;
    std::uint32_t flags = 0;
    if (driver.fBinary) flags |= dcb::fBinary;
    if (driver.fParity) flags |= dcb::fParity;
    if (driver.fOutxCtsFlow) flags |= dcb::fOutxCtsFlow;
    if (driver.fOutxDsrFlow) flags |= dcb::fOutxDsrFlow;
    flags |= (driver.fDtrControl & 0x3u) << 4;
    if (driver.fDsrSensitivity) flags |= dcb::fDsrSensitivity;
    if (driver.fTXContinueOnXoff) flags |= dcb::fTXContinueOnXoff;
    if (driver.fOutX) flags |= dcb::fOutX;
    if (driver.fInX) flags |= dcb::fInX;
    if (driver.fErrorChar) flags |= dcb::fErrorChar;
    if (driver.fNull) flags |= dcb::fNull;
    flags |= (driver.fRtsControl & 0x3u) << 12;
    if (driver.fAbortOnError) flags |= dcb::fAbortOnError;
    settings.Flags = flags;
    settings.XonLim = driver.XonLim;
    settings.XoffLim = driver.XoffLim;
    settings.ByteSize = driver.ByteSize;
    settings.Parity = driver.Parity;
    settings.StopBits = driver.StopBits;
    settings.XonChar = driver.XonChar;
    settings.XoffChar = driver.XoffChar;
    settings.ErrorChar = driver.ErrorChar;
    settings.EofChar = driver.EofChar;
    settings.EvtChar = driver.EvtChar;
    return settings;
}

// Fills the record's fields into driver, keeping what the record has no
// place for (the driver's reserved fields).
void intoDcb(const DataControlBlock& settings, DCB& driver) {
    const std::uint32_t flags = settings.Flags;
    driver.BaudRate = settings.BaudRate;
    driver.fBinary = (flags & dcb::fBinary) != 0;
    driver.fParity = (flags & dcb::fParity) != 0;
    driver.fOutxCtsFlow = (flags & dcb::fOutxCtsFlow) != 0;
    driver.fOutxDsrFlow = (flags & dcb::fOutxDsrFlow) != 0;
    driver.fDtrControl = (flags & dcb::kDtrControlMask) >> 4;
    driver.fDsrSensitivity = (flags & dcb::fDsrSensitivity) != 0;
    driver.fTXContinueOnXoff = (flags & dcb::fTXContinueOnXoff) != 0;
    driver.fOutX = (flags & dcb::fOutX) != 0;
    driver.fInX = (flags & dcb::fInX) != 0;
    driver.fErrorChar = (flags & dcb::fErrorChar) != 0;
    driver.fNull = (flags & dcb::fNull) != 0;
    driver.fRtsControl = (flags & dcb::kRtsControlMask) >> 12;
    driver.fAbortOnError = (flags & dcb::fAbortOnError) != 0;
    driver.XonLim = static_cast<WORD>(settings.XonLim);
    driver.XoffLim = static_cast<WORD>(settings.XoffLim);
    driver.ByteSize = settings.ByteSize;
    driver.Parity = settings.Parity;
    driver.StopBits = settings.StopBits;
    driver.XonChar = settings.XonChar;
    driver.XoffChar = settings.XoffChar;
    driver.ErrorChar = settings.ErrorChar;
    driver.EofChar = settings.EofChar;
    driver.EvtChar = settings.EvtChar;
}

class WindowsSerialDevice final : public SerialDevice {
public:
    explicit WindowsSerialDevice(HANDLE device)
        : m_device(device),
          m_waitDone(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          m_closed(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        if (!m_waitDone.valid() || !m_closed.valid()) throw std::bad_alloc();
    }
    ~WindowsSerialDevice() override { close(); }

    bool isCharacterDevice() override {
        std::lock_guard lock(m_lock);
        return m_device.valid() && GetFileType(m_device.get()) == FILE_TYPE_CHAR;
    }

    int getLineSettings(DataControlBlock& settings) override {
        std::lock_guard lock(m_lock);
        DCB driver{};
        driver.DCBlength = sizeof driver;
        if (!GetCommState(m_device.get(), &driver)) return lastError();
        m_driver = driver;
        settings = fromDcb(driver);
        return 0;
    }
    int setLineSettings(const DataControlBlock& settings) override {
        std::lock_guard lock(m_lock);
        DCB driver = m_driver;
        driver.DCBlength = sizeof driver;
        intoDcb(settings, driver);
        if (!SetCommState(m_device.get(), &driver)) return lastError();
        m_driver = driver;
        return 0;
    }
    int setTimeouts(const CommTimeouts& timeouts) override {
        std::lock_guard lock(m_lock);
        COMMTIMEOUTS driver{timeouts.ReadIntervalTimeout, timeouts.ReadTotalTimeoutMultiplier,
                            timeouts.ReadTotalTimeoutConstant, timeouts.WriteTotalTimeoutMultiplier,
                            timeouts.WriteTotalTimeoutConstant};
        return SetCommTimeouts(m_device.get(), &driver) ? 0 : lastError();
    }
    int setQueueSizes(std::int32_t inputSize, std::int32_t outputSize) override {
        std::lock_guard lock(m_lock);
        if (inputSize < 0 || outputSize < 0) return ERROR_INVALID_PARAMETER;
        return SetupComm(m_device.get(), static_cast<DWORD>(inputSize), static_cast<DWORD>(outputSize)) ? 0
                                                                                                        : lastError();
    }
    int clearErrors(std::uint32_t& errors, std::uint32_t& inputCount) override {
        std::lock_guard lock(m_lock);
        DWORD driverErrors = 0;
        COMSTAT status{};
        if (!ClearCommError(m_device.get(), &driverErrors, &status)) return lastError();
        errors = driverErrors;
        inputCount = status.cbInQue;
        return 0;
    }
    int purge(std::uint32_t actions) override {
        std::lock_guard lock(m_lock);
        return PurgeComm(m_device.get(), actions) ? 0 : lastError();
    }
    int escapeFunction(std::uint32_t function) override {
        std::lock_guard lock(m_lock);
        return EscapeCommFunction(m_device.get(), function) ? 0 : lastError();
    }
    int setEventMask(std::uint32_t mask) override {
        std::lock_guard lock(m_lock);
        return SetCommMask(m_device.get(), mask) ? 0 : lastError();
    }

    std::uint32_t waitEvent() override {
        for (;;) {
            {
                std::lock_guard lock(m_lock);
                if (!m_device.valid()) return 0;
                ResetEvent(m_waitDone.get());
                m_wait = OVERLAPPED{};
                m_wait.hEvent = m_waitDone.get();
                m_events = 0;
                if (!WaitCommEvent(m_device.get(), &m_events, &m_wait)) {
                    if (GetLastError() != ERROR_IO_PENDING) return 0;
                } else if (m_events != 0) {
                    return m_events;
                }
            }
            // The overlapped wait ends with a line event, or when close takes
            // the mask away; the closed event covers a close that came first.
            const HANDLE ends[] = {m_waitDone.get(), m_closed.get()};
            if (WaitForMultipleObjects(2, ends, FALSE, INFINITE) != WAIT_OBJECT_0) return 0;
            std::lock_guard lock(m_lock);
            if (!m_device.valid()) return 0;
            DWORD transferred = 0;
            if (!GetOverlappedResult(m_device.get(), &m_wait, &transferred, FALSE)) return 0;
            if (m_events != 0) return m_events;
            // A mask changed while waiting ends the wait with no event: wait anew.
        }
    }

    void close() override {
        std::lock_guard lock(m_lock);
        if (!m_device.valid()) return;
        // Taking the mask away completes a pending wait; closing the handle
        // cancels whatever is left. The wait's record lives in this object,
        // which the waiting thread keeps alive, so a late completion writes
        // to memory that is still ours.
        SetCommMask(m_device.get(), 0);
        m_device.reset();
        SetEvent(m_closed.get());
    }

private:
    std::mutex m_lock;
    OwnedHandle m_device;
    OwnedHandle m_waitDone;
    OwnedHandle m_closed;
    OVERLAPPED m_wait{};
    DWORD m_events = 0;
    DCB m_driver{};
};

// "COM3" names only ports 1 to 9 for CreateFile; the device form \\.\COM12
// names every port, so a bare name gets it.
std::string deviceForm(const std::string& name) {
    if (name.rfind("\\\\.\\", 0) == 0 || name.find_first_of("\\/:") != std::string::npos) return name;
    return "\\\\.\\" + name;
}

class WindowsSerialPortServices final : public SerialPortServices {
public:
    std::shared_ptr<SerialDevice> openDevice(const std::string& name, int& error) override {
        error = 0;
        // Port names are ASCII, so the ANSI call takes them as they are.
        const HANDLE device = CreateFileA(deviceForm(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        if (device == INVALID_HANDLE_VALUE) {
            error = lastError();
            return nullptr;
        }
        try {
            return std::make_shared<WindowsSerialDevice>(device);
        } catch (const std::bad_alloc&) {
            CloseHandle(device);
            error = ERROR_NOT_ENOUGH_MEMORY;
            return nullptr;
        }
    }
};

}  // namespace

std::shared_ptr<SerialPortServices> systemSerialPortServices() {
    static const auto services = std::make_shared<WindowsSerialPortServices>();
    return services;
}

bool serialDevicePresent(const std::string& path) {
    const HANDLE device =
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (device != INVALID_HANDLE_VALUE) {
        CloseHandle(device);
        return true;
    }
    return GetLastError() == ERROR_ACCESS_DENIED;
}

}  // namespace platform
