#include "update/CommPort.h"

#include <gtest/gtest.h>

#include <termios.h>

#include <cerrno>
#include <optional>
#include <thread>
#include <vector>

#include "support/SerialTestSupport.h"
#include "support/TestFiles.h"

namespace {

using namespace update;
using serial_test::PseudoTerminal;
using serial_test::StandInScript;
using serial_test::StandInServices;
using serial_test::UiQueue;
namespace dcb = platform::dcb;
namespace commevent = platform::commevent;

// Runs action, expecting ECommError with exactly this text and code.
template <typename Action>
void expectCommError(Action action, const std::string& message, int code) {
    try {
        action();
        ADD_FAILURE() << "expected \"" << message << "\"";
    } catch (const ECommError& e) {
        EXPECT_EQ(std::string(e.what()), message + " (Error: " + std::to_string(code) + ") ");
        EXPECT_EQ(e.ErrorCode(), code);
    }
}

class CommPortTest : public ::testing::Test {
protected:
    void TearDown() override { ui->shutdown(); }

    std::unique_ptr<TComm> makePort(bool withStandIn = false) {
        auto port = withStandIn ? std::make_unique<TComm>(ui->dispatcher(), std::make_shared<StandInServices>(script))
                                : std::make_unique<TComm>(ui->dispatcher());
        port->SetDeviceName(pty.slavePath());
        return port;
    }

    PseudoTerminal pty;
    std::shared_ptr<UiQueue> ui = UiQueue::create();
    std::shared_ptr<StandInScript> script = std::make_shared<StandInScript>();
};

TEST(CommPortDefaults, PropertiesStartAtTheirDefaults) {
    TComm port;
    EXPECT_EQ(port.DeviceName(), "Com2");
    EXPECT_EQ(port.ReadTimeout(), 1000);
    EXPECT_EQ(port.WriteTimeout(), 1000);
    EXPECT_EQ(port.ReadBufSize(), 4096);
    EXPECT_EQ(port.WriteBufSize(), 2048);
    EXPECT_EQ(eventMaskOf(port.MonitorEvents()), 0x1FFu);
    EXPECT_EQ(port.BaudRate(), br9600);
    EXPECT_EQ(port.Parity(), paNone);
    EXPECT_EQ(port.Stopbits(), sb10);
    EXPECT_EQ(port.Databits(), da8);
    EXPECT_EQ(port.EventChars().XonChar(), 17);
    EXPECT_EQ(port.EventChars().XoffChar(), 19);
    EXPECT_EQ(port.EventChars().ErrorChar(), 0);
    EXPECT_EQ(port.EventChars().EofChar(), 0);
    EXPECT_EQ(port.EventChars().EvtChar(), 0);
    EXPECT_TRUE(port.Options().empty());
    EXPECT_EQ(port.FlowControl(), fcDefault);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.OnRxChar);
}

TEST(CommPortEnumerations, StandForThePlatformValues) {
    EXPECT_EQ(baudRateValue(br110), 110u);
    EXPECT_EQ(baudRateValue(br56000), 56000u);
    EXPECT_EQ(baudRateValue(br3000000), 3000000u);
    EXPECT_EQ(eventMaskOf({evBreak}), 0x40u);
    EXPECT_EQ(eventMaskOf({evRing, evRxChar, evTxEmpty}), 0x105u);
    EXPECT_EQ(eventMaskOf({}), 0u);
}

TEST_F(CommPortTest, OpenSetsUpThePseudoTerminalAndCloseReleasesIt) {
    auto port = makePort();
    port->Open();
    ASSERT_TRUE(port->IsOpen());
    EXPECT_TRUE(pty.exclusive()) << "the device is not shared";

    const serial_test::KernelTermios t = serial_test::readKernelTermios(pty.slave());
    EXPECT_EQ(t.speedCode, static_cast<std::uint32_t>(B9600));
    EXPECT_EQ(t.ospeed, 9600u);
    EXPECT_EQ(t.lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u) << "raw transfer";
    EXPECT_EQ(t.oflag & OPOST, 0u);
    EXPECT_EQ(t.iflag & (ICRNL | IXON | IXOFF | INPCK), 0u);
    EXPECT_EQ(t.cflag & (CLOCAL | CREAD), static_cast<std::uint32_t>(CLOCAL | CREAD));
    EXPECT_EQ(t.cflag & (CSTOPB | PARODD | CMSPAR | CRTSCTS), 0u);
    EXPECT_EQ(t.vmin, 0) << "a read returns at once with what is buffered";
    EXPECT_EQ(t.vtime, 0);
    EXPECT_EQ(t.vstart, 17);
    EXPECT_EQ(t.vstop, 19);

    port->Close();
    EXPECT_FALSE(port->IsOpen());
    EXPECT_FALSE(pty.exclusive());
    EXPECT_NO_THROW(port->Close());
    EXPECT_FALSE(port->IsOpen());
}

struct LineCase {
    const char* name;
    TBaudrate baud;
    TParity parity;
    TStopbits stopbits;
    TDatabits databits;
    TFlowControl flow;
    TCommOptions options;
    std::uint32_t speed;
    bool freeSpeed;           // set through the free speed fields, not a standard code
    std::uint32_t cflagBits;  // of CSTOPB | PARODD | CMSPAR | CRTSCTS
    std::uint32_t iflagBits;  // of IXON | IXOFF | INPCK
};

class CommPortLineSettings : public CommPortTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(CommPortLineSettings, ReachTheTerminal) {
    const LineCase& c = GetParam();
    auto port = makePort();
    port->SetBaudRate(c.baud);
    port->SetParity(c.parity);
    port->SetStopbits(c.stopbits);
    port->SetDatabits(c.databits);
    port->SetFlowControl(c.flow);
    port->SetOptions(c.options);
    port->Open();

    // A pseudo-terminal keeps everything but the byte size and the parity
    // enable bit, which it always reports as eight bits without parity.
    const serial_test::KernelTermios t = serial_test::readKernelTermios(pty.slave());
    EXPECT_EQ(t.ospeed, c.speed);
    EXPECT_EQ(t.freeSpeed, c.freeSpeed);
    EXPECT_EQ(t.cflag & (CSTOPB | PARODD | CMSPAR | CRTSCTS), c.cflagBits);
    EXPECT_EQ(t.iflag & (IXON | IXOFF | INPCK), c.iflagBits);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommPortLineSettings,
    ::testing::Values(LineCase{"Rate14400", br14400, paNone, sb10, da8, fcDefault, {}, 14400, true, 0, 0},
                      LineCase{"Rate56000", br56000, paNone, sb10, da8, fcDefault, {}, 56000, true, 0, 0},
                      LineCase{"Rate256000", br256000, paNone, sb10, da8, fcDefault, {}, 256000, true, 0, 0},
                      LineCase{"Rate115200", br115200, paNone, sb10, da8, fcDefault, {}, 115200, false, 0, 0},
                      LineCase{"Rate3000000", br3000000, paNone, sb10, da8, fcDefault, {}, 3000000, false, 0, 0},
                      LineCase{"Odd", br9600, paOdd, sb10, da8, fcDefault, {}, 9600, false, PARODD, 0},
                      LineCase{"Even", br9600, paEven, sb10, da8, fcDefault, {}, 9600, false, 0, 0},
                      LineCase{"Mark", br9600, paMark, sb10, da8, fcDefault, {}, 9600, false, PARODD | CMSPAR, 0},
                      LineCase{"Space", br9600, paSpace, sb10, da7, fcDefault, {}, 9600, false, CMSPAR, 0},
                      LineCase{"TwoStopBits", br9600, paNone, sb20, da8, fcDefault, {}, 9600, false, CSTOPB, 0},
                      LineCase{"OneAndAHalf", br9600, paNone, sb15, da5, fcDefault, {}, 9600, false, CSTOPB, 0},
                      LineCase{"RtsCts", br9600, paNone, sb10, da8, fcCTS, {}, 9600, false, CRTSCTS, 0},
                      LineCase{"XonXoff", br9600, paNone, sb10, da8, fcSoftware, {}, 9600, false, 0, IXON | IXOFF},
                      LineCase{
                          "ParityCheck", br9600, paEven, sb10, da8, fcNone, {coParityCheck}, 9600, false, 0, INPCK}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase {
    const char* name;
    TStopbits stopbits;
    TDatabits databits;
    TFlowControl flow;
    TCommOptions options;
};

class CommPortRefusedLine : public CommPortTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(CommPortRefusedLine, FailsTheOpenAndLeavesTheDeviceToClose) {
    const RefusedCase& c = GetParam();
    auto port = makePort();
    port->SetStopbits(c.stopbits);
    port->SetDatabits(c.databits);
    port->SetFlowControl(c.flow);
    port->SetOptions(c.options);
    expectCommError([&] { port->Open(); }, kLineSettingsFailed, EINVAL);
    EXPECT_TRUE(port->IsOpen()) << "a failed set-up leaves the device open";
    EXPECT_TRUE(pty.exclusive());
    port->Close();
    EXPECT_FALSE(pty.exclusive());
}

INSTANTIATE_TEST_SUITE_P(Cases, CommPortRefusedLine,
                         ::testing::Values(RefusedCase{"FourDataBits", sb10, da4, fcDefault, {}},
                                           RefusedCase{"OneAndAHalfWithEightBits", sb15, da8, fcDefault, {}},
                                           RefusedCase{"TwoStopBitsWithFiveBits", sb20, da5, fcDefault, {}},
                                           RefusedCase{"DtrDsrFlow", sb10, da8, fcDTR, {}},
                                           RefusedCase{"NullStrip", sb10, da8, fcDefault, {coNullStrip}},
                                           RefusedCase{"DsrSensitivity", sb10, da8, fcDefault, {coDsrSensitivity}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommPortTest, LinePropertiesApplyAtOnceWhileOpenAndARefusedOneIsNotKept) {
    auto port = makePort();
    port->Open();
    port->SetBaudRate(br128000);
    port->SetParity(paMark);
    port->EventChars().SetXonChar(0x12);
    serial_test::KernelTermios t = serial_test::readKernelTermios(pty.slave());
    EXPECT_EQ(t.ospeed, 128000u);
    EXPECT_TRUE(t.freeSpeed);
    EXPECT_EQ(t.cflag & (PARODD | CMSPAR), static_cast<std::uint32_t>(PARODD | CMSPAR));
    EXPECT_EQ(t.vstart, 0x12);

    expectCommError([&] { port->SetDatabits(da4); }, kLineSettingsFailed, EINVAL);
    EXPECT_EQ(port->Databits(), da8);
    // Software flow control with equal XON and XOFF characters cannot work.
    port->SetFlowControl(fcSoftware);
    expectCommError([&] { port->EventChars().SetXoffChar(0x12); }, kLineSettingsFailed, EINVAL);
    EXPECT_EQ(port->EventChars().XoffChar(), 19);
    // Later changes still go through: nothing refused stayed behind.
    port->SetBaudRate(br19200);
    t = serial_test::readKernelTermios(pty.slave());
    EXPECT_EQ(t.ospeed, 19200u);
    EXPECT_EQ(t.vstop, 19);
}

TEST_F(CommPortTest, WhileClosedLinePropertiesAreOnlyStoredForTheNextOpen) {
    auto port = makePort(true);
    port->SetBaudRate(br19200);
    port->SetParity(paSpace);
    port->EventChars().SetEvtChar('\n');
    EXPECT_TRUE(script->written.empty()) << "nothing is written to a closed port";
    port->Open();
    ASSERT_EQ(script->written.size(), 1u);
    EXPECT_EQ(script->written[0].BaudRate, 19200u);
    EXPECT_EQ(script->written[0].Parity, dcb::kSpaceParity);
    EXPECT_EQ(script->written[0].EvtChar, '\n');
    EXPECT_EQ(serial_test::readKernelTermios(pty.slave()).ospeed, 19200u);
}

TEST_F(CommPortTest, EqualValuesChangeNothingButEventCharsAreAlwaysApplied) {
    auto port = makePort(true);
    port->Open();
    const std::size_t writes = script->written.size();
    port->SetBaudRate(br9600);
    port->SetFlowControl(fcDefault);
    port->SetOptions({});
    EXPECT_EQ(script->written.size(), writes);

    port->EventChars().SetXonChar(17);
    EXPECT_EQ(script->written.size(), writes + 1);

    TCommEventChars chars;
    chars.SetXonChar(1);
    chars.SetXoffChar(2);
    chars.SetErrorChar(3);
    chars.SetEofChar(4);
    chars.SetEvtChar(5);
    port->SetEventChars(chars);
    ASSERT_EQ(script->written.size(), writes + 2) << "assigning applies once";
    const platform::DataControlBlock& last = script->written.back();
    EXPECT_EQ((std::vector<int>{last.XonChar, last.XoffChar, last.ErrorChar, last.EofChar, last.EvtChar}),
              (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(port->EventChars().EvtChar(), 5);
}

TEST_F(CommPortTest, SecondOpenIsRefusedAndTheFirstConnectionStillWorks) {
    auto port = makePort();
    std::vector<int> counts;
    port->OnRxChar = [&](TCustomComm&, int count) { counts.push_back(count); };
    port->Open();
    expectCommError([&] { port->Open(); }, kPortAlreadyOpen, -1);
    EXPECT_TRUE(port->IsOpen());
    EXPECT_TRUE(pty.exclusive());

    pty.send("abc");
    ASSERT_TRUE(ui->runUntil([&] { return !counts.empty(); }));
    EXPECT_EQ(counts.back(), 3);
}

struct RefusedWhileOpenCase {
    const char* name;
    std::function<void(TComm&)> changeToOther;
    std::function<void(TComm&)> setSame;
    std::function<bool(const TComm&)> keptOld;
};

class CommPortRefusedWhileOpen : public CommPortTest, public ::testing::WithParamInterface<RefusedWhileOpenCase> {};

TEST_P(CommPortRefusedWhileOpen, KeepsTheOldValue) {
    const RefusedWhileOpenCase& c = GetParam();
    auto port = makePort();
    port->Open();
    EXPECT_NO_THROW(c.setSame(*port));
    expectCommError([&] { c.changeToOther(*port); }, kPortAlreadyOpen, -1);
    EXPECT_TRUE(c.keptOld(*port));
    EXPECT_TRUE(port->IsOpen());

    port->Close();
    c.changeToOther(*port);  // allowed once closed
    EXPECT_FALSE(c.keptOld(*port));
}

INSTANTIATE_TEST_SUITE_P(
    Properties, CommPortRefusedWhileOpen,
    ::testing::Values(RefusedWhileOpenCase{"DeviceName", [](TComm& p) { p.SetDeviceName("/dev/null"); },
                                           [](TComm& p) { p.SetDeviceName(std::string(p.DeviceName())); },
                                           [](const TComm& p) { return p.DeviceName().rfind("/dev/pts/", 0) == 0; }},
                      RefusedWhileOpenCase{"ReadBufSize", [](TComm& p) { p.SetReadBufSize(100); },
                                           [](TComm& p) { p.SetReadBufSize(4096); },
                                           [](const TComm& p) { return p.ReadBufSize() == 4096; }},
                      RefusedWhileOpenCase{"WriteBufSize", [](TComm& p) { p.SetWriteBufSize(100); },
                                           [](TComm& p) { p.SetWriteBufSize(2048); },
                                           [](const TComm& p) { return p.WriteBufSize() == 2048; }},
                      RefusedWhileOpenCase{"MonitorEvents", [](TComm& p) { p.SetMonitorEvents({evRxChar}); },
                                           [](TComm& p) { p.SetMonitorEvents(TCommEventTypes::all()); },
                                           [](const TComm& p) { return p.MonitorEvents() == TCommEventTypes::all(); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommPortTest, TimeoutsAreStoredOnlyEvenWhileOpen) {
    auto port = makePort();
    port->Open();
    port->SetReadTimeout(50);
    port->SetWriteTimeout(70);
    EXPECT_EQ(port->ReadTimeout(), 50);
    EXPECT_EQ(port->WriteTimeout(), 70);
    EXPECT_EQ(serial_test::readKernelTermios(pty.slave()).vmin, 0);
}

TEST(CommPortDevices, ARegularFileIsRefusedAndClosed) {
    testing_support::TempDir dir;
    testing_support::writeFile(dir / "notaport", "x");
    TComm port;
    port.SetDeviceName(dir / "notaport");
    expectCommError([&] { port.Open(); }, kInvalidDeviceHandle, -1);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(serial_test::descriptorsOpenOn(dir / "notaport"), 0) << "the file was closed again";
}

TEST(CommPortDevices, AMissingDeviceGivesThePlatformCode) {
    testing_support::TempDir dir;
    TComm port;
    port.SetDeviceName(dir / "ttyUSB0");
    expectCommError([&] { port.Open(); }, kDeviceAccessFailed, ENOENT);
    EXPECT_FALSE(port.IsOpen());
    port.SetDeviceName("COM3");  // a Windows name names nothing here
    expectCommError([&] { port.Open(); }, kDeviceAccessFailed, ENOENT);
}

TEST_F(CommPortTest, DtrNeedsAnOpenPortAndModemLines) {
    auto port = makePort();
    expectCommError([&] { port->SetDTRState(true); }, kPortNotOpen, -1);
    port->Open();
    // A pseudo-terminal has no modem lines.
    expectCommError([&] { port->SetDTRState(true); }, kEscapeFailed, ENOTTY);
    EXPECT_TRUE(port->IsOpen());
}

TEST_F(CommPortTest, ConnectTestSucceedsOnALineWithModemLines) {
    auto port = makePort(true);
    port->Close();
    port->SetDeviceName(pty.slavePath());
    port->Open();
    port->SetDTRState(true);
    port->SetDTRState(false);
    EXPECT_EQ(script->escapes,
              (std::vector<std::uint32_t>{platform::commescape::kSetDtr, platform::commescape::kClearDtr}));
    port->Close();
    EXPECT_FALSE(pty.exclusive()) << "free for the updater";
}

struct SetupFailureCase {
    const char* name;
    int StandInScript::*failure;
    const char* message;
};

class CommPortSetupFailure : public CommPortTest, public ::testing::WithParamInterface<SetupFailureCase> {};

TEST_P(CommPortSetupFailure, RaisesWithTheCodeAndLeavesTheDeviceToClose) {
    const SetupFailureCase& c = GetParam();
    (*script).*c.failure = EIO;
    auto port = makePort(true);
    expectCommError([&] { port->Open(); }, c.message, EIO);
    EXPECT_TRUE(port->IsOpen());
    port->Close();
    EXPECT_FALSE(pty.exclusive());
}

INSTANTIATE_TEST_SUITE_P(
    Steps, CommPortSetupFailure,
    ::testing::Values(SetupFailureCase{"Timeouts", &StandInScript::timeoutsError, kTimeoutsFailed},
                      SetupFailureCase{"LineSettings", &StandInScript::lineSettingsError, kLineSettingsFailed},
                      SetupFailureCase{"QueueSizes", &StandInScript::queueSizesError, kBuffersFailed}),
    [](const auto& info) { return std::string(info.param.name); });

// The record written for a driver that reported driverFlags.
struct RecordCase {
    const char* name;
    std::uint32_t driverFlags;
    TFlowControl flow;
    TCommOptions options;
    std::uint32_t expectedFlags;
};

class CommPortRecord : public CommPortTest, public ::testing::WithParamInterface<RecordCase> {};

constexpr std::uint32_t kEnabledLines = dcb::fBinary | dcb::kDtrControlEnable | dcb::kRtsControlEnable;
constexpr std::uint32_t kAllOptionFlags =
    dcb::fParity | dcb::fDsrSensitivity | dcb::fTXContinueOnXoff | dcb::fErrorChar | dcb::fNull;

TEST_P(CommPortRecord, FlowControlAndOptionsSetTheFlagWord) {
    const RecordCase& c = GetParam();
    platform::DataControlBlock driver;
    driver.Flags = c.driverFlags;
    script->driverSettings = driver;
    auto port = makePort(true);
    port->SetFlowControl(c.flow);
    port->SetOptions(c.options);
    port->Open();
    ASSERT_EQ(script->written.size(), 1u);
    EXPECT_EQ(script->written[0].Flags, c.expectedFlags)
        << std::hex << "got 0x" << script->written[0].Flags << ", expected 0x" << c.expectedFlags;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommPortRecord,
    ::testing::Values(
        RecordCase{"NoneLeavesOnlyBinary", kEnabledLines | dcb::fOutX | dcb::fOutxCtsFlow, fcNone, {}, dcb::fBinary},
        RecordCase{"NoneKeepsTheOptions",
                   kEnabledLines | dcb::fInX,
                   fcNone,
                   {coParityCheck, coNullStrip},
                   dcb::fBinary | dcb::fParity | dcb::fNull},
        RecordCase{"CtsMakesRtsHandshake",
                   kEnabledLines,
                   fcCTS,
                   {},
                   dcb::fBinary | dcb::kDtrControlEnable | dcb::fOutxCtsFlow | dcb::kRtsControlHandshake},
        RecordCase{"DtrMakesDtrHandshake",
                   kEnabledLines | dcb::fOutX,
                   fcDTR,
                   {},
                   dcb::fBinary | dcb::kRtsControlEnable | dcb::fOutX | dcb::fOutxDsrFlow | dcb::kDtrControlHandshake},
        RecordCase{"SoftwareAddsAndClearsNone",
                   kEnabledLines | dcb::fOutxCtsFlow,
                   fcSoftware,
                   {},
                   kEnabledLines | dcb::fOutxCtsFlow | dcb::fOutX | dcb::fInX},
        RecordCase{"DefaultKeepsTheDriversFlags",
                   kEnabledLines | dcb::fInX | dcb::fAbortOnError,
                   fcDefault,
                   {},
                   kEnabledLines | dcb::fInX | dcb::fAbortOnError},
        RecordCase{"OptionsAreSetAndCleared",
                   kEnabledLines | dcb::fParity | dcb::fTXContinueOnXoff,
                   fcDefault,
                   {coIgnoreXOff, coErrorChar},
                   kEnabledLines | dcb::fTXContinueOnXoff | dcb::fErrorChar},
        RecordCase{"AllOptions",
                   kEnabledLines,
                   fcDefault,
                   {coParityCheck, coDsrSensitivity, coIgnoreXOff, coErrorChar, coNullStrip},
                   kEnabledLines | kAllOptionFlags}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommPortTest, RecordCarriesTheLinePropertiesAndTheXonXoffLimits) {
    script->driverSettings = platform::DataControlBlock{};
    auto port = makePort(true);
    port->SetBaudRate(br256000);
    port->SetParity(paEven);
    port->SetStopbits(sb20);
    port->SetDatabits(da7);
    port->EventChars().SetErrorChar('?');
    port->Open();
    ASSERT_EQ(script->written.size(), 1u);
    platform::DataControlBlock record = script->written[0];
    EXPECT_EQ(record.BaudRate, 256000u);
    EXPECT_EQ(record.Parity, dcb::kEvenParity);
    EXPECT_EQ(record.StopBits, dcb::kTwoStopBits);
    EXPECT_EQ(record.ByteSize, 7);
    EXPECT_EQ(record.XonChar, 17);
    EXPECT_EQ(record.XoffChar, 19);
    EXPECT_EQ(record.ErrorChar, '?');
    EXPECT_EQ(record.XonLim, 1024);
    EXPECT_EQ(record.XoffLim, 1024);

    port->Close();
    port->SetReadBufSize(1001);
    port->Open();
    EXPECT_EQ(script->written.back().XonLim, 250);
    EXPECT_EQ(script->written.back().XoffLim, 250);
}

TEST_F(CommPortTest, HandleCommEventCallsTheHandlersInOrder) {
    TComm port;  // no dispatcher: only the direct calls below reach the handlers
    port.SetDeviceName(pty.slavePath());
    std::vector<std::string> calls;
    port.OnBreak = [&](TCustomComm&) { calls.push_back("Break"); };
    port.OnCts = [&](TCustomComm&) { calls.push_back("Cts"); };
    port.OnDsr = [&](TCustomComm&) { calls.push_back("Dsr"); };
    port.OnError = [&](TCustomComm&, int errors) { calls.push_back("Error " + std::to_string(errors)); };
    port.OnRing = [&](TCustomComm&) { calls.push_back("Ring"); };
    port.OnRlsd = [&](TCustomComm&) { calls.push_back("Rlsd"); };
    port.OnRxChar = [&](TCustomComm& sender, int count) {
        EXPECT_EQ(&sender, &port);
        calls.push_back("RxChar " + std::to_string(count));
    };
    port.OnRxFlag = [&](TCustomComm&) { calls.push_back("RxFlag"); };
    port.OnTxEmpty = [&](TCustomComm&) { calls.push_back("TxEmpty"); };
    port.Open();

    pty.send("1234567");
    ASSERT_TRUE(pty.awaitWaiting(7));
    port.HandleCommEvent(0x1FF);
    EXPECT_EQ(calls, (std::vector<std::string>{"Break", "Cts", "Dsr", "Error 0", "Ring", "Rlsd", "RxChar 7", "RxFlag",
                                               "TxEmpty"}));

    calls.clear();
    port.HandleCommEvent(commevent::kRing | commevent::kCts);
    EXPECT_EQ(calls, (std::vector<std::string>{"Cts", "Ring"}));

    calls.clear();
    ASSERT_EQ(::tcflush(pty.slave(), TCIFLUSH), 0);
    port.HandleCommEvent(commevent::kRxChar | commevent::kTxEmpty);
    EXPECT_EQ(calls, (std::vector<std::string>{"TxEmpty"})) << "no OnRxChar without waiting bytes";

    calls.clear();
    port.Close();
    port.HandleCommEvent(0x1FF);
    EXPECT_TRUE(calls.empty()) << "a closed port calls no handler";
}

TEST_F(CommPortTest, ReceivedBytesReachOnRxCharOnTheOwnersThread) {
    auto port = makePort();
    std::vector<int> counts;
    std::vector<std::thread::id> threads;
    port->OnRxChar = [&](TCustomComm&, int count) {
        counts.push_back(count);
        threads.push_back(std::this_thread::get_id());
    };
    port->Open();

    pty.send("hello");
    ASSERT_TRUE(ui->runUntil([&] { return !counts.empty() && counts.back() == 5; }));
    // Nobody reads, so the count grows with the next bytes; each arrival is
    // reported even though older bytes are still waiting.
    pty.send("abc");
    ASSERT_TRUE(ui->runUntil([&] { return counts.back() == 8; }));
    for (std::thread::id id : threads) EXPECT_EQ(id, std::this_thread::get_id());
}

TEST_F(CommPortTest, CloseDuringAHandoffNeitherHangsNorRunsHandlers) {
    auto port = makePort();
    int calls = 0;
    port->OnRxChar = [&](TCustomComm&, int) { ++calls; };
    port->Open();
    pty.send("data");
    ASSERT_TRUE(ui->awaitPending()) << "the event thread is blocked in its hand-off";
    const std::weak_ptr<TCommEventThread> thread = port->EventThread();

    port->Close();  // must not wait for the blocked thread
    EXPECT_FALSE(port->IsOpen());
    EXPECT_FALSE(pty.exclusive()) << "the device is released at once";
    ASSERT_TRUE(ui->runOne());
    EXPECT_EQ(calls, 0) << "the last hand-off finds the port closed";
    EXPECT_TRUE(serial_test::eventually([&] { return thread.expired(); })) << "the thread ends and frees itself";
}

TEST_F(CommPortTest, AHandoffOfAnEarlierConnectionIsDroppedAfterReopening) {
    auto port = makePort();
    std::vector<int> counts;
    port->OnRxChar = [&](TCustomComm&, int count) { counts.push_back(count); };
    port->Open();
    pty.send("old");
    ASSERT_TRUE(ui->awaitPending(1));
    port->Close();
    port->Open();  // the Connect button pressed again
    pty.send("new");
    ASSERT_TRUE(ui->awaitPending(2)) << "both connections' threads wait in their hand-offs";

    ASSERT_TRUE(ui->runOne());
    EXPECT_TRUE(counts.empty()) << "the earlier connection's mask is not the new one's";
    ASSERT_TRUE(ui->runOne());
    EXPECT_EQ(counts, std::vector<int>{3});
}

TEST_F(CommPortTest, DestroyingThePortDuringAHandoffIsSafe) {
    auto port = makePort();
    int calls = 0;
    port->OnRxChar = [&](TCustomComm&, int) { ++calls; };
    port->Open();
    pty.send("data");
    ASSERT_TRUE(ui->awaitPending());
    const std::weak_ptr<TCommEventThread> thread = port->EventThread();
    port.reset();
    EXPECT_FALSE(pty.exclusive()) << "destruction closed the port";
    ASSERT_TRUE(ui->runOne());
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(serial_test::eventually([&] { return thread.expired(); }));
}

TEST(ECommErrorText, CarriesTheCodeInTheTextAndBesideIt) {
    const ECommError error("Error accessing specified device", 2);
    EXPECT_STREQ(error.what(), "Error accessing specified device (Error: 2) ");
    EXPECT_EQ(error.ErrorCode(), 2);
    EXPECT_EQ(error.Message(), "Error accessing specified device");
    const std::runtime_error& base = ECommError(kPortAlreadyOpen, -1);
    EXPECT_STREQ(base.what(), "Port already assigned (open) (Error: -1) ");
}

}  // namespace
