#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/SerialDevice.h"

// The serial port component: a port opened by device name and set up (line
// settings, time-outs, queue sizes), with an event thread that waits for line
// events and hands each to the user-interface thread, where the assigned
// handlers run. It transfers no data itself.
namespace update {

enum TBaudrate {
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000,
    br1500000,
    br3000000
};
enum TParity { paNone, paOdd, paEven, paMark, paSpace };
enum TStopbits { sb10, sb15, sb20 };
enum TDatabits { da4, da5, da6, da7, da8 };
enum TFlowControl { fcNone, fcCTS, fcDTR, fcSoftware, fcDefault };
enum TCommOption { coParityCheck, coDsrSensitivity, coIgnoreXOff, coErrorChar, coNullStrip };
enum TCommEventType { evBreak, evCts, evDsr, evError, evRing, evRlsd, evRxChar, evRxFlag, evTxEmpty };

// A set of the members of a small enumeration.
template <typename Member, int Count>
class EnumSet {
public:
    constexpr EnumSet() = default;
    constexpr EnumSet(std::initializer_list<Member> members) {
        for (Member member : members) insert(member);
    }
    static constexpr EnumSet all() {
        EnumSet set;
        set.m_bits = (1u << Count) - 1;
        return set;
    }
    constexpr bool contains(Member member) const { return m_bits & bit(member); }
    constexpr void insert(Member member) { m_bits |= bit(member); }
    constexpr void erase(Member member) { m_bits &= ~bit(member); }
    constexpr bool empty() const { return m_bits == 0; }
    constexpr bool operator==(const EnumSet&) const = default;

private:
    static constexpr std::uint32_t bit(Member member) { return 1u << static_cast<int>(member); }
    std::uint32_t m_bits = 0;
};

using TCommOptions = EnumSet<TCommOption, 5>;
using TCommEventTypes = EnumSet<TCommEventType, 9>;

// The rate a TBaudrate stands for, in bits per second.
std::uint32_t baudRateValue(TBaudrate rate);
// The event-mask bits (platform::commevent) of a set of event kinds.
std::uint32_t eventMaskOf(TCommEventTypes events);

// A failure of the port. what() is the message followed by " (Error: N) ",
// N being the platform's error code (errno on Linux) or -1.
class ECommError : public std::runtime_error {
public:
    ECommError(const std::string& message, int errorCode);
    int ErrorCode() const noexcept { return m_errorCode; }
    // The message without the code.
    const std::string& Message() const noexcept { return m_message; }

private:
    std::string m_message;
    int m_errorCode;
};

inline constexpr const char* kPortAlreadyOpen = "Port already assigned (open)";
inline constexpr const char* kDeviceAccessFailed = "Error accessing specified device";
inline constexpr const char* kInvalidDeviceHandle = "Invalid device handle, access denied";
inline constexpr const char* kTimeoutsFailed = "Error updating CommTimeouts";
inline constexpr const char* kLineSettingsFailed = "Error updating DataControlBlock";
inline constexpr const char* kBuffersFailed = "Error initializing Read/Write Buffers";
inline constexpr const char* kPortNotOpen = "Port not open, unable to complete operation";
inline constexpr const char* kEscapeFailed = "EscapeCommFunction failure";

// Runs a function on the user-interface thread and returns when it has run
// (in the program a blocking queued call into the event loop). Called from the
// event thread; whatever it captures must outlive every port it is given to
// and the event threads of those ports.
using UiDispatcher = std::function<void(const std::function<void()>&)>;

class TCustomComm;

using TNotifyEvent = std::function<void(TCustomComm& Sender)>;
using TCommErrorEvent = std::function<void(TCustomComm& Sender, int Errors)>;
using TCommRxCharEvent = std::function<void(TCustomComm& Sender, int Count)>;

// The five special characters of the line. Each setter stores the character
// and, when its owner's port is open, writes the line settings again (even for
// an unchanged value); when the line refuses, the old character is kept and
// ECommError is raised.
class TCommEventChars {
public:
    explicit TCommEventChars(TCustomComm* owner = nullptr) : m_owner(owner) {}
    // A copy has the characters and no owner.
    TCommEventChars(const TCommEventChars& other);
    TCommEventChars& operator=(const TCommEventChars&) = delete;

    char XonChar() const { return m_XonChar; }
    char XoffChar() const { return m_XoffChar; }
    char ErrorChar() const { return m_ErrorChar; }
    char EofChar() const { return m_EofChar; }
    char EvtChar() const { return m_EvtChar; }
    void SetXonChar(char Value);
    void SetXoffChar(char Value);
    void SetErrorChar(char Value);
    void SetEofChar(char Value);
    void SetEvtChar(char Value);

    // Copies the five characters of source and applies them once.
    void Assign(const TCommEventChars& Source);

private:
    void SetChar(char TCommEventChars::*field, char value);
    void Changed();

    TCustomComm* m_owner;
    char m_XonChar = 17;
    char m_XoffChar = 19;
    char m_ErrorChar = 0;
    char m_EofChar = 0;
    char m_EvtChar = 0;
};

// The thread that waits for the line events of one open port. It starts at
// once, owns itself and is freed when it ends. Each event mask goes to the
// hand-off, which blocks until the user-interface thread has dealt with it.
// When asked to end it leaves its loop, purges the port if it is still open
// and ends; nobody waits for it.
class TCommEventThread {
public:
    using Handoff = std::function<void(std::uint32_t mask)>;

    // Sets the device's event mask and starts the thread. Throws
    // std::system_error when no thread can be started.
    static std::shared_ptr<TCommEventThread> Start(std::shared_ptr<platform::SerialDevice> device, std::uint32_t mask,
                                                   Handoff handoff);

    // Asks the thread to end; returns at once. The thread's wait ends when
    // the device is closed.
    void Terminate() noexcept { m_terminated = true; }
    bool Terminated() const noexcept { return m_terminated; }

private:
    TCommEventThread(std::shared_ptr<platform::SerialDevice> device, Handoff handoff);
    void Execute();

    std::shared_ptr<platform::SerialDevice> m_device;
    Handoff m_handoff;
    std::atomic<bool> m_terminated{false};
};

// All state and behaviour of the port. Open, Close, the setters and
// HandleCommEvent are for the owner's (user-interface) thread only.
class TCustomComm {
public:
    // The dispatcher carries line events to the owner's thread; without one
    // the events are dropped. The services open devices (tests stand in for
    // what a pseudo-terminal lacks).
    explicit TCustomComm(UiDispatcher dispatcher = {},
                         std::shared_ptr<platform::SerialPortServices> services = platform::systemSerialPortServices());
    // Closes the port. An event thread still handing over a mask finds the
    // component gone and does nothing.
    virtual ~TCustomComm();
    TCustomComm(const TCustomComm&) = delete;
    TCustomComm& operator=(const TCustomComm&) = delete;

    // Opens DeviceName and sets it up: the device (CreateHandle), the event
    // thread for MonitorEvents, the time-outs (a read returns at once with what
    // is buffered), the line settings, the queue sizes ReadBufSize and
    // WriteBufSize. Raises ECommError: kPortAlreadyOpen (-1) when open, and
    // the messages of CreateHandle, kTimeoutsFailed, kLineSettingsFailed and
    // kBuffersFailed with the platform's code. After a failure past
    // CreateHandle the device stays open; Close releases it.
    void Open();
    // Asks the event thread to end (without waiting for it) and releases the
    // device at once. Does nothing when closed; never raises.
    void Close() noexcept;
    bool IsOpen() const noexcept { return m_handle != nullptr; }
    // Raises (true) or lowers (false) DTR. Raises ECommError kPortNotOpen (-1)
    // when closed, kEscapeFailed with the platform's code when refused.
    void SetDTRState(bool State);

    // Runs on the owner's thread for a mask from the event thread: reads and
    // clears the error state and input-queue count, then calls the assigned
    // handlers of the kinds in Status in the order OnBreak, OnCts, OnDsr,
    // OnError (error bits), OnRing, OnRlsd, OnRxChar (only with bytes waiting,
    // their count), OnRxFlag, OnTxEmpty. Does nothing when closed.
    void HandleCommEvent(std::uint32_t Status);

    // The event thread of the open port (empty when closed); it expires when
    // the thread has ended.
    std::weak_ptr<TCommEventThread> EventThread() const { return m_eventThread; }

protected:
    // Opens the device named DeviceName for reading and writing, not shared.
    // Raises kDeviceAccessFailed with the platform's code when it cannot, and
    // kInvalidDeviceHandle (-1) after closing it when it is no character device.
    virtual void CreateHandle();
    // Writes the time-outs; raises kTimeoutsFailed. Requires an open port.
    void UpdateCommTimeouts();
    // Reads the line settings, sets rate, parity, stop bits, byte size, the
    // five characters, both XON/XOFF limits (ReadBufSize / 4), the flow
    // control and the option flags, and writes them back. Does nothing while
    // closed; raises kLineSettingsFailed with the platform's code.
    void UpdateDataControlBlock();

    // Properties. A setter does nothing for an equal value. DeviceName,
    // ReadBufSize, WriteBufSize and MonitorEvents cannot change while open
    // (kPortAlreadyOpen, -1, old value kept); the time-outs are stored only;
    // the line properties are stored and, while open, applied at once (a value
    // the line refuses raises kLineSettingsFailed and the old value is kept).
    const std::string& DeviceName() const { return m_DeviceName; }
    void SetDeviceName(const std::string& Value);
    int ReadTimeout() const { return m_ReadTimeout; }
    void SetReadTimeout(int Value) { m_ReadTimeout = Value; }
    int WriteTimeout() const { return m_WriteTimeout; }
    void SetWriteTimeout(int Value) { m_WriteTimeout = Value; }
    int ReadBufSize() const { return m_ReadBufSize; }
    void SetReadBufSize(int Value);
    int WriteBufSize() const { return m_WriteBufSize; }
    void SetWriteBufSize(int Value);
    TCommEventTypes MonitorEvents() const { return m_MonitorEvents; }
    void SetMonitorEvents(TCommEventTypes Value);
    TBaudrate BaudRate() const { return m_BaudRate; }
    void SetBaudRate(TBaudrate Value) { SetLineProperty(m_BaudRate, Value); }
    TParity Parity() const { return m_Parity; }
    void SetParity(TParity Value) { SetLineProperty(m_Parity, Value); }
    TStopbits Stopbits() const { return m_Stopbits; }
    void SetStopbits(TStopbits Value) { SetLineProperty(m_Stopbits, Value); }
    TDatabits Databits() const { return m_Databits; }
    void SetDatabits(TDatabits Value) { SetLineProperty(m_Databits, Value); }
    TCommEventChars& EventChars() { return m_EventChars; }
    const TCommEventChars& EventChars() const { return m_EventChars; }
    void SetEventChars(const TCommEventChars& Value) { m_EventChars.Assign(Value); }
    TCommOptions Options() const { return m_Options; }
    void SetOptions(TCommOptions Value) { SetLineProperty(m_Options, Value); }
    TFlowControl FlowControl() const { return m_FlowControl; }
    void SetFlowControl(TFlowControl Value) { SetLineProperty(m_FlowControl, Value); }

    TNotifyEvent OnBreak;
    TNotifyEvent OnCts;
    TNotifyEvent OnDsr;
    TNotifyEvent OnRing;
    TNotifyEvent OnRlsd;
    TCommErrorEvent OnError;
    TCommRxCharEvent OnRxChar;
    TNotifyEvent OnRxFlag;
    TNotifyEvent OnTxEmpty;

    // The open device; null while closed.
    std::shared_ptr<platform::SerialDevice> m_handle;
    // The line settings as last read and written.
    platform::DataControlBlock m_dcb;

private:
    friend class TCommEventChars;

    template <typename T>
    void SetLineProperty(T& field, T value) {
        if (field == value) return;
        const T old = field;
        field = value;
        try {
            UpdateDataControlBlock();
        } catch (...) {
            field = old;
            throw;
        }
    }
    void RefuseWhileOpen() const;
    TCommEventThread::Handoff MakeHandoff();

    // What a hand-off still queued for the owner's thread may use: it outlives
    // the component, and tells whether the component and the connection that
    // sent the mask still exist.
    struct Link {
        TCustomComm* comm;
    };

    UiDispatcher m_dispatcher;
    std::shared_ptr<platform::SerialPortServices> m_services;
    std::shared_ptr<Link> m_link;
    std::uint64_t m_connection = 0;  // counts opens and closes
    std::shared_ptr<TCommEventThread> m_eventThread;

    std::string m_DeviceName = "Com2";
    int m_ReadTimeout = 1000;
    int m_WriteTimeout = 1000;
    int m_ReadBufSize = 4096;
    int m_WriteBufSize = 2048;
    TCommEventTypes m_MonitorEvents = TCommEventTypes::all();
    TBaudrate m_BaudRate = br9600;
    TParity m_Parity = paNone;
    TStopbits m_Stopbits = sb10;
    TDatabits m_Databits = da8;
    TCommEventChars m_EventChars{this};
    TCommOptions m_Options;
    TFlowControl m_FlowControl = fcDefault;
};

// The component with its properties published.
class TComm : public TCustomComm {
public:
    using TCustomComm::TCustomComm;

    using TCustomComm::BaudRate;
    using TCustomComm::Databits;
    using TCustomComm::DeviceName;
    using TCustomComm::EventChars;
    using TCustomComm::FlowControl;
    using TCustomComm::MonitorEvents;
    using TCustomComm::Options;
    using TCustomComm::Parity;
    using TCustomComm::ReadBufSize;
    using TCustomComm::ReadTimeout;
    using TCustomComm::SetBaudRate;
    using TCustomComm::SetDatabits;
    using TCustomComm::SetDeviceName;
    using TCustomComm::SetEventChars;
    using TCustomComm::SetFlowControl;
    using TCustomComm::SetMonitorEvents;
    using TCustomComm::SetOptions;
    using TCustomComm::SetParity;
    using TCustomComm::SetReadBufSize;
    using TCustomComm::SetReadTimeout;
    using TCustomComm::SetStopbits;
    using TCustomComm::SetWriteBufSize;
    using TCustomComm::SetWriteTimeout;
    using TCustomComm::Stopbits;
    using TCustomComm::WriteBufSize;
    using TCustomComm::WriteTimeout;

    using TCustomComm::OnBreak;
    using TCustomComm::OnCts;
    using TCustomComm::OnDsr;
    using TCustomComm::OnError;
    using TCustomComm::OnRing;
    using TCustomComm::OnRlsd;
    using TCustomComm::OnRxChar;
    using TCustomComm::OnRxFlag;
    using TCustomComm::OnTxEmpty;
};

}  // namespace update
