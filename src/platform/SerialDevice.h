#pragma once

#include <cstdint>
#include <memory>
#include <string>

// Serial-device services: what the serial port component needs of the
// operating system, in the form of the classic serial-port interface (a
// line-settings record, time-out record, queue sizes, event mask, error state,
// purge and escape functions). Every operation answers 0 on success or the
// platform's error code (errno on Linux, GetLastError on Windows); none throws.
namespace platform {

// The line settings of an open device.
struct DataControlBlock {
    std::uint32_t BaudRate = 0;  // bits per second
    std::uint32_t Flags = 0;     // the dcb:: flag word below
    std::int32_t XonLim = 0;     // free bytes in the input queue before XON is sent
    std::int32_t XoffLim = 0;    // bytes in the input queue before XOFF is sent
    std::uint8_t ByteSize = 8;   // data bits, 4 to 8
    std::uint8_t Parity = 0;     // dcb::kNoParity .. dcb::kSpaceParity
    std::uint8_t StopBits = 0;   // dcb::kOneStopBit, kOne5StopBits, kTwoStopBits
    char XonChar = 0;
    char XoffChar = 0;
    char ErrorChar = 0;  // replaces bytes received with a parity error (with fErrorChar)
    char EofChar = 0;
    char EvtChar = 0;  // its arrival is the "flag" event

    bool operator==(const DataControlBlock&) const = default;
};

namespace dcb {
inline constexpr std::uint32_t fBinary = 0x1;
inline constexpr std::uint32_t fParity = 0x2;  // check the parity of received bytes
inline constexpr std::uint32_t fOutxCtsFlow = 0x4;
inline constexpr std::uint32_t fOutxDsrFlow = 0x8;
inline constexpr std::uint32_t kDtrControlMask = 0x30;  // two-bit field
inline constexpr std::uint32_t kDtrControlDisable = 0x00;
inline constexpr std::uint32_t kDtrControlEnable = 0x10;
inline constexpr std::uint32_t kDtrControlHandshake = 0x20;
inline constexpr std::uint32_t fDsrSensitivity = 0x40;
inline constexpr std::uint32_t fTXContinueOnXoff = 0x80;
inline constexpr std::uint32_t fOutX = 0x100;
inline constexpr std::uint32_t fInX = 0x200;
inline constexpr std::uint32_t fErrorChar = 0x400;
inline constexpr std::uint32_t fNull = 0x800;
inline constexpr std::uint32_t kRtsControlMask = 0x3000;  // two-bit field
inline constexpr std::uint32_t kRtsControlDisable = 0x0000;
inline constexpr std::uint32_t kRtsControlEnable = 0x1000;
inline constexpr std::uint32_t kRtsControlHandshake = 0x2000;
inline constexpr std::uint32_t kRtsControlToggle = 0x3000;
inline constexpr std::uint32_t fAbortOnError = 0x4000;

inline constexpr std::uint8_t kNoParity = 0;
inline constexpr std::uint8_t kOddParity = 1;
inline constexpr std::uint8_t kEvenParity = 2;
inline constexpr std::uint8_t kMarkParity = 3;
inline constexpr std::uint8_t kSpaceParity = 4;

inline constexpr std::uint8_t kOneStopBit = 0;
inline constexpr std::uint8_t kOne5StopBits = 1;
inline constexpr std::uint8_t kTwoStopBits = 2;
}  // namespace dcb

// Read and write time-outs in milliseconds. A read-interval time-out of
// kMaxTimeout with both read totals 0 makes a read return at once with what is
// buffered.
struct CommTimeouts {
    static constexpr std::uint32_t kMaxTimeout = 0xFFFFFFFF;
    std::uint32_t ReadIntervalTimeout = 0;
    std::uint32_t ReadTotalTimeoutMultiplier = 0;
    std::uint32_t ReadTotalTimeoutConstant = 0;
    std::uint32_t WriteTotalTimeoutMultiplier = 0;
    std::uint32_t WriteTotalTimeoutConstant = 0;
};

// Line-event bits of the event mask.
namespace commevent {
inline constexpr std::uint32_t kRxChar = 0x1;
inline constexpr std::uint32_t kRxFlag = 0x2;
inline constexpr std::uint32_t kTxEmpty = 0x4;
inline constexpr std::uint32_t kCts = 0x8;
inline constexpr std::uint32_t kDsr = 0x10;
inline constexpr std::uint32_t kRlsd = 0x20;
inline constexpr std::uint32_t kBreak = 0x40;
inline constexpr std::uint32_t kError = 0x80;
inline constexpr std::uint32_t kRing = 0x100;
}  // namespace commevent

// Error bits of the line's error state.
namespace commerror {
inline constexpr std::uint32_t kRxOver = 0x1;  // input queue overflow
inline constexpr std::uint32_t kOverrun = 0x2;
inline constexpr std::uint32_t kRxParity = 0x4;
inline constexpr std::uint32_t kFrame = 0x8;
inline constexpr std::uint32_t kBreak = 0x10;
}  // namespace commerror

namespace commpurge {
inline constexpr std::uint32_t kTxAbort = 0x1;
inline constexpr std::uint32_t kRxAbort = 0x2;
inline constexpr std::uint32_t kTxClear = 0x4;
inline constexpr std::uint32_t kRxClear = 0x8;
inline constexpr std::uint32_t kAll = 0xF;
}  // namespace commpurge

namespace commescape {
inline constexpr std::uint32_t kSetRts = 3;
inline constexpr std::uint32_t kClearRts = 4;
inline constexpr std::uint32_t kSetDtr = 5;
inline constexpr std::uint32_t kClearDtr = 6;
inline constexpr std::uint32_t kSetBreak = 8;
inline constexpr std::uint32_t kClearBreak = 9;
}  // namespace commescape

// An open serial device. The component that opened it and its event thread
// share it: waitEvent runs on the event thread, everything else on the owner's
// thread. After close every operation fails (EBADF on Linux) and waitEvent
// answers 0, so a thread that still holds the object never touches a device
// that was closed, nor another one that got the same number.
class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    // True when the device is a character device the line services work on
    // (on Linux: a terminal device).
    virtual bool isCharacterDevice() = 0;

    // Reads the current line settings into settings.
    virtual int getLineSettings(DataControlBlock& settings) = 0;
    // Writes the line settings; a setting the line cannot take refuses the
    // whole record and leaves the line as it was.
    virtual int setLineSettings(const DataControlBlock& settings) = 0;
    virtual int setTimeouts(const CommTimeouts& timeouts) = 0;
    // Recommended sizes of the driver's input and output queues.
    virtual int setQueueSizes(std::int32_t inputSize, std::int32_t outputSize) = 0;
    // Reads and clears the error state: the commerror bits that arose since
    // the last call, and the number of bytes waiting in the input queue.
    virtual int clearErrors(std::uint32_t& errors, std::uint32_t& inputCount) = 0;
    // Discards and aborts the sides named by commpurge bits.
    virtual int purge(std::uint32_t actions) = 0;
    // One of the commescape functions (modem lines, break).
    virtual int escapeFunction(std::uint32_t function) = 0;

    // The line events (commevent bits) that waitEvent reports.
    virtual int setEventMask(std::uint32_t mask) = 0;
    // Blocks until one or more of the monitored events happen and answers
    // them; answers 0 once the device is closed (close wakes it).
    virtual std::uint32_t waitEvent() = 0;

    // Releases the device at once; later calls do nothing. Never fails.
    virtual void close() = 0;
};

class SerialPortServices {
public:
    virtual ~SerialPortServices() = default;

    // Opens an existing device by name for reading and writing, not shared
    // with other programs (on Windows overlapped, and a bare "COM12" in its
    // device form \\.\COM12). Answers the device, or null with error set to
    // the platform's error code.
    virtual std::shared_ptr<SerialDevice> openDevice(const std::string& name, int& error) = 0;
};

// The operating system's serial-device services.
std::shared_ptr<SerialPortServices> systemSerialPortServices();

// Probes one device path: opens it for reading and writing, not shared
// (without making it the controlling terminal and without waiting for a
// carrier) and closes it at once. True when the open succeeds or fails only
// because the device is held or forbidden (EACCES, EBUSY on Linux; access
// denied on Windows); false for every other failure.
bool serialDevicePresent(const std::string& path);

}  // namespace platform
