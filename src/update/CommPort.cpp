#include "update/CommPort.h"

#include <thread>
#include <utility>

namespace update {
namespace {

namespace dcb = platform::dcb;
namespace commevent = platform::commevent;

constexpr std::uint32_t kBaudRates[] = {110,   300,   600,   1200,   2400,   4800,   9600,    14400,  19200,
                                        38400, 56000, 57600, 115200, 128000, 256000, 1500000, 3000000};

constexpr std::uint32_t kEventBits[] = {commevent::kBreak,  commevent::kCts,    commevent::kDsr,
                                        commevent::kError,  commevent::kRing,   commevent::kRlsd,
                                        commevent::kRxChar, commevent::kRxFlag, commevent::kTxEmpty};

constexpr std::uint32_t kOptionFlags[] = {dcb::fParity, dcb::fDsrSensitivity, dcb::fTXContinueOnXoff, dcb::fErrorChar,
                                          dcb::fNull};

[[noreturn]] void RaiseCommError(const char* message, int code) {
    throw ECommError(message, code);
}

}  // namespace

std::uint32_t baudRateValue(TBaudrate rate) {
    return kBaudRates[rate];
}

std::uint32_t eventMaskOf(TCommEventTypes events) {
    std::uint32_t mask = 0;
    for (int kind = evBreak; kind <= evTxEmpty; ++kind)
        if (events.contains(static_cast<TCommEventType>(kind))) mask |= kEventBits[kind];
    return mask;
}

ECommError::ECommError(const std::string& message, int errorCode)
    : std::runtime_error(message + " (Error: " + std::to_string(errorCode) + ") "),
      m_message(message),
      m_errorCode(errorCode) {}

// --- TCommEventChars ---

TCommEventChars::TCommEventChars(const TCommEventChars& other)
    : m_owner(nullptr),
      m_XonChar(other.m_XonChar),
      m_XoffChar(other.m_XoffChar),
      m_ErrorChar(other.m_ErrorChar),
      m_EofChar(other.m_EofChar),
      m_EvtChar(other.m_EvtChar) {}

void TCommEventChars::SetXonChar(char Value) {
    SetChar(&TCommEventChars::m_XonChar, Value);
}
void TCommEventChars::SetXoffChar(char Value) {
    SetChar(&TCommEventChars::m_XoffChar, Value);
}
void TCommEventChars::SetErrorChar(char Value) {
    SetChar(&TCommEventChars::m_ErrorChar, Value);
}
void TCommEventChars::SetEofChar(char Value) {
    SetChar(&TCommEventChars::m_EofChar, Value);
}
void TCommEventChars::SetEvtChar(char Value) {
    SetChar(&TCommEventChars::m_EvtChar, Value);
}

void TCommEventChars::SetChar(char TCommEventChars::*field, char value) {
    const char old = this->*field;
    this->*field = value;
    try {
        Changed();
    } catch (...) {
        this->*field = old;
        throw;
    }
}

void TCommEventChars::Assign(const TCommEventChars& Source) {
    const TCommEventChars old(*this);
    m_XonChar = Source.m_XonChar;
    m_XoffChar = Source.m_XoffChar;
    m_ErrorChar = Source.m_ErrorChar;
    m_EofChar = Source.m_EofChar;
    m_EvtChar = Source.m_EvtChar;
    try {
        Changed();
    } catch (...) {
        m_XonChar = old.m_XonChar;
        m_XoffChar = old.m_XoffChar;
        m_ErrorChar = old.m_ErrorChar;
        m_EofChar = old.m_EofChar;
        m_EvtChar = old.m_EvtChar;
        throw;
    }
}

void TCommEventChars::Changed() {
    if (m_owner) m_owner->UpdateDataControlBlock();
}

// --- TCommEventThread ---

TCommEventThread::TCommEventThread(std::shared_ptr<platform::SerialDevice> device, Handoff handoff)
    : m_device(std::move(device)), m_handoff(std::move(handoff)) {}

std::shared_ptr<TCommEventThread> TCommEventThread::Start(std::shared_ptr<platform::SerialDevice> device,
                                                          std::uint32_t mask, Handoff handoff) {
    std::shared_ptr<TCommEventThread> thread(new TCommEventThread(std::move(device), std::move(handoff)));
    thread->m_device->setEventMask(mask);
    // The running thread keeps itself alive; the port only keeps a reference
    // to ask it to end.
    std::thread([thread] { thread->Execute(); }).detach();
    return thread;
}

void TCommEventThread::Execute() {
    while (!Terminated()) {
        const std::uint32_t mask = m_device->waitEvent();
        if (mask == 0) break;  // the device was closed
        try {
            m_handoff(mask);
        } catch (...) {
            // A failure on the far side of the hand-off is not the line's; keep waiting.
        }
    }
    m_device->purge(platform::commpurge::kAll);  // fails harmlessly once the device is closed
}

// --- TCustomComm ---

TCustomComm::TCustomComm(UiDispatcher dispatcher, std::shared_ptr<platform::SerialPortServices> services)
    : m_dispatcher(std::move(dispatcher)),
      m_services(std::move(services)),
      m_link(std::make_shared<Link>(Link{this})) {}

TCustomComm::~TCustomComm() {
    Close();
    m_link->comm = nullptr;
}

void TCustomComm::Open() {
    if (IsOpen()) RaiseCommError(kPortAlreadyOpen, -1);
    CreateHandle();
    m_eventThread = TCommEventThread::Start(m_handle, eventMaskOf(m_MonitorEvents), MakeHandoff());
    UpdateCommTimeouts();
    UpdateDataControlBlock();
    if (const int error = m_handle->setQueueSizes(m_ReadBufSize, m_WriteBufSize)) RaiseCommError(kBuffersFailed, error);
}

void TCustomComm::Close() noexcept {
    if (!IsOpen()) return;
    if (m_eventThread) {
        m_eventThread->Terminate();
        m_eventThread.reset();
    }
    ++m_connection;
    // Closing the device also ends the thread's wait; the thread may still be
    // handing over a last mask, which then finds this connection gone.
    const std::shared_ptr<platform::SerialDevice> device = std::move(m_handle);
    m_handle.reset();
    device->close();
}

void TCustomComm::SetDTRState(bool State) {
    if (!IsOpen()) RaiseCommError(kPortNotOpen, -1);
    const std::uint32_t function = State ? platform::commescape::kSetDtr : platform::commescape::kClearDtr;
    if (const int error = m_handle->escapeFunction(function)) RaiseCommError(kEscapeFailed, error);
}

void TCustomComm::HandleCommEvent(std::uint32_t Status) {
    if (!IsOpen()) return;
    std::uint32_t errors = 0;
    std::uint32_t waiting = 0;
    m_handle->clearErrors(errors, waiting);

    // Each handler is called through a copy, so a handler that reassigns
    // itself does not destroy the function that is running.
    auto notify = [&](std::uint32_t bit, const TNotifyEvent& handler) {
        if (!(Status & bit) || !handler) return;
        const TNotifyEvent call = handler;
        call(*this);
    };
    notify(commevent::kBreak, OnBreak);
    notify(commevent::kCts, OnCts);
    notify(commevent::kDsr, OnDsr);
    if ((Status & commevent::kError) && OnError) {
        const TCommErrorEvent call = OnError;
        call(*this, static_cast<int>(errors));
    }
    notify(commevent::kRing, OnRing);
    notify(commevent::kRlsd, OnRlsd);
    if ((Status & commevent::kRxChar) && waiting > 0 && OnRxChar) {
        const TCommRxCharEvent call = OnRxChar;
        call(*this, static_cast<int>(waiting));
    }
    notify(commevent::kRxFlag, OnRxFlag);
    notify(commevent::kTxEmpty, OnTxEmpty);
}

void TCustomComm::CreateHandle() {
    int error = 0;
    std::shared_ptr<platform::SerialDevice> device = m_services->openDevice(m_DeviceName, error);
    if (!device) RaiseCommError(kDeviceAccessFailed, error);
    if (!device->isCharacterDevice()) {
        device->close();
        RaiseCommError(kInvalidDeviceHandle, -1);
    }
    m_handle = std::move(device);
}

void TCustomComm::UpdateCommTimeouts() {
    platform::CommTimeouts timeouts;
    timeouts.ReadIntervalTimeout = platform::CommTimeouts::kMaxTimeout;
    if (const int error = m_handle->setTimeouts(timeouts)) RaiseCommError(kTimeoutsFailed, error);
}

void TCustomComm::UpdateDataControlBlock() {
    if (!IsOpen()) return;
    if (const int error = m_handle->getLineSettings(m_dcb)) RaiseCommError(kLineSettingsFailed, error);

    m_dcb.BaudRate = baudRateValue(m_BaudRate);
    m_dcb.Parity = static_cast<std::uint8_t>(m_Parity);
    m_dcb.StopBits = static_cast<std::uint8_t>(m_Stopbits);
    m_dcb.ByteSize = static_cast<std::uint8_t>(4 + m_Databits);
    m_dcb.XonChar = m_EventChars.XonChar();
    m_dcb.XoffChar = m_EventChars.XoffChar();
    m_dcb.ErrorChar = m_EventChars.ErrorChar();
    m_dcb.EofChar = m_EventChars.EofChar();
    m_dcb.EvtChar = m_EventChars.EvtChar();
    m_dcb.XonLim = m_ReadBufSize / 4;
    m_dcb.XoffLim = m_ReadBufSize / 4;

    // DTR and RTS control are two-bit fields: handshake is a value of the
    // field, so it replaces what the driver reported there (OR-ing it onto
    // "enable" would give RTS toggling, or no valid DTR mode at all).
    switch (m_FlowControl) {
        case fcNone: m_dcb.Flags = dcb::fBinary; break;
        case fcCTS:
            m_dcb.Flags = (m_dcb.Flags & ~dcb::kRtsControlMask) | dcb::fOutxCtsFlow | dcb::kRtsControlHandshake;
            break;
        case fcDTR:
            m_dcb.Flags = (m_dcb.Flags & ~dcb::kDtrControlMask) | dcb::fOutxDsrFlow | dcb::kDtrControlHandshake;
            break;
        case fcSoftware: m_dcb.Flags |= dcb::fOutX | dcb::fInX; break;
        case fcDefault: break;
    }
    for (int option = coParityCheck; option <= coNullStrip; ++option) {
        if (m_Options.contains(static_cast<TCommOption>(option)))
            m_dcb.Flags |= kOptionFlags[option];
        else
            m_dcb.Flags &= ~kOptionFlags[option];
    }

    if (const int error = m_handle->setLineSettings(m_dcb)) RaiseCommError(kLineSettingsFailed, error);
}

void TCustomComm::RefuseWhileOpen() const {
    if (IsOpen()) RaiseCommError(kPortAlreadyOpen, -1);
}

void TCustomComm::SetDeviceName(const std::string& Value) {
    if (Value == m_DeviceName) return;
    RefuseWhileOpen();
    m_DeviceName = Value;
}

void TCustomComm::SetReadBufSize(int Value) {
    if (Value == m_ReadBufSize) return;
    RefuseWhileOpen();
    m_ReadBufSize = Value;
}

void TCustomComm::SetWriteBufSize(int Value) {
    if (Value == m_WriteBufSize) return;
    RefuseWhileOpen();
    m_WriteBufSize = Value;
}

void TCustomComm::SetMonitorEvents(TCommEventTypes Value) {
    if (Value == m_MonitorEvents) return;
    RefuseWhileOpen();
    m_MonitorEvents = Value;
}

TCommEventThread::Handoff TCustomComm::MakeHandoff() {
    const std::uint64_t connection = ++m_connection;
    return [dispatcher = m_dispatcher, link = m_link, connection](std::uint32_t mask) {
        if (!dispatcher) return;
        dispatcher([link, connection, mask] {
            TCustomComm* comm = link->comm;
            // A mask of a connection that has since been closed (or of a
            // component that is gone) is dropped.
            if (comm && comm->m_connection == connection && comm->IsOpen()) comm->HandleCommEvent(mask);
        });
    };
}

}  // namespace update
