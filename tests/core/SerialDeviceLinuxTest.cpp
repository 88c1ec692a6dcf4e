#include "platform/SerialDevice.h"

#include <gtest/gtest.h>
#include <time.h>

#include <termios.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/SerialTermiosLinux.h"
#include "support/SerialTestSupport.h"

namespace {

using platform::DataControlBlock;
using platform::linuxserial::LineTermios;
using serial_test::PseudoTerminal;
namespace dcb = platform::dcb;
namespace commevent = platform::commevent;

constexpr std::uint32_t kFreeSpeedCode = 0010000;  // the kernel's BOTHER

// A terminal as the kernel hands out a new one: cooked, 38400 bits/s.
LineTermios freshTerminal() {
    LineTermios t;
    t.iflag = ICRNL | IXON;
    t.oflag = OPOST | ONLCR;
    t.cflag = B38400 | CS8 | CREAD | HUPCL;
    t.lflag = ISIG | ICANON | ECHO | ECHOE | ECHOK | IEXTEN;
    t.cc[VSTART] = 17;
    t.cc[VSTOP] = 19;
    t.ispeed = t.ospeed = 38400;
    return t;
}

DataControlBlock lineRecord(std::uint32_t baud, std::uint8_t bits, std::uint8_t parity, std::uint8_t stop,
                            std::uint32_t flags = dcb::fBinary | dcb::kDtrControlEnable | dcb::kRtsControlEnable) {
    DataControlBlock r;
    r.BaudRate = baud;
    r.ByteSize = bits;
    r.Parity = parity;
    r.StopBits = stop;
    r.Flags = flags;
    r.XonChar = 17;
    r.XoffChar = 19;
    return r;
}

struct TermiosCase {
    const char* name;
    DataControlBlock record;
    std::uint32_t cflagBits;  // of CBAUD | CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS
    std::uint32_t iflagBits;  // of INPCK | IXON | IXOFF
};

class LineTermiosMapping : public ::testing::TestWithParam<TermiosCase> {};

TEST_P(LineTermiosMapping, WritesTheTerminalBitsAndReadsBackTheSameRecord) {
    const TermiosCase& c = GetParam();
    LineTermios t = freshTerminal();
    ASSERT_EQ(platform::linuxserial::applyLineSettings(c.record, t), 0);
    EXPECT_EQ(t.cflag & (CBAUD | CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS), c.cflagBits);
    EXPECT_EQ(t.iflag & (INPCK | IXON | IXOFF | ICRNL), c.iflagBits);
    EXPECT_EQ(t.lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.ospeed, c.record.BaudRate);
    EXPECT_EQ(t.cflag & CIBAUD, 0u) << "input follows the output speed";

    platform::linuxserial::ModemLines lines;
    lines.known = true;
    lines.dtr = (c.record.Flags & dcb::kDtrControlMask) == dcb::kDtrControlEnable;
    lines.rts = (c.record.Flags & dcb::kRtsControlMask) == dcb::kRtsControlEnable;
    EXPECT_EQ(platform::linuxserial::lineSettingsFromTermios(t, lines), c.record);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineTermiosMapping,
    ::testing::Values(
        TermiosCase{"Standard", lineRecord(9600, 8, dcb::kNoParity, dcb::kOneStopBit), B9600 | CS8, 0},
        TermiosCase{"FreeRate", lineRecord(14400, 8, dcb::kNoParity, dcb::kOneStopBit), kFreeSpeedCode | CS8, 0},
        TermiosCase{"FiveBitsOneAndAHalf", lineRecord(1200, 5, dcb::kNoParity, dcb::kOne5StopBits),
                    B1200 | CS5 | CSTOPB, 0},
        TermiosCase{"SixBitsEven", lineRecord(2400, 6, dcb::kEvenParity, dcb::kTwoStopBits),
                    B2400 | CS6 | CSTOPB | PARENB, 0},
        TermiosCase{"SevenBitsOdd", lineRecord(4800, 7, dcb::kOddParity, dcb::kOneStopBit),
                    B4800 | CS7 | PARENB | PARODD, 0},
        TermiosCase{"Mark", lineRecord(56000, 8, dcb::kMarkParity, dcb::kOneStopBit),
                    kFreeSpeedCode | CS8 | PARENB | PARODD | CMSPAR, 0},
        TermiosCase{"Space", lineRecord(3000000, 7, dcb::kSpaceParity, dcb::kOneStopBit),
                    B3000000 | CS7 | PARENB | CMSPAR, 0},
        TermiosCase{"RtsCts",
                    lineRecord(115200, 8, dcb::kNoParity, dcb::kOneStopBit,
                               dcb::fBinary | dcb::kDtrControlEnable | dcb::fOutxCtsFlow | dcb::kRtsControlHandshake),
                    B115200 | CS8 | CRTSCTS, 0},
        TermiosCase{"XonXoffAndParityCheck",
                    lineRecord(9600, 8, dcb::kEvenParity, dcb::kOneStopBit,
                               dcb::fBinary | dcb::fParity | dcb::fOutX | dcb::fInX | dcb::kDtrControlDisable |
                                   dcb::kRtsControlDisable),
                    B9600 | CS8 | PARENB, INPCK | IXON | IXOFF}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LineTermiosReading, ACookedTerminalHasNoFlowControlAndUnknownLinesAreRaised) {
    const DataControlBlock fresh = platform::linuxserial::lineSettingsFromTermios(freshTerminal(), {});
    EXPECT_EQ(fresh.Flags, dcb::fBinary | dcb::kDtrControlEnable | dcb::kRtsControlEnable);
    EXPECT_EQ(fresh.BaudRate, 38400u);
    EXPECT_EQ(fresh.ByteSize, 8);
    EXPECT_EQ(fresh.XonChar, 17);

    LineTermios raw = freshTerminal();
    raw.lflag &= ~static_cast<std::uint32_t>(ICANON);
    raw.iflag |= IXOFF;
    platform::linuxserial::ModemLines lowered;
    lowered.known = true;
    EXPECT_EQ(platform::linuxserial::lineSettingsFromTermios(raw, lowered).Flags,
              dcb::fBinary | dcb::fOutX | dcb::fInX | dcb::kDtrControlDisable | dcb::kRtsControlDisable);
}

TEST(LineTermiosWriting, WhatALinuxLineCannotTakeLeavesTheTerminalAlone) {
    const DataControlBlock good = lineRecord(9600, 8, dcb::kNoParity, dcb::kOneStopBit);
    auto refused = [&](auto change) {
        DataControlBlock r = good;
        change(r);
        LineTermios t = freshTerminal();
        const int result = platform::linuxserial::applyLineSettings(r, t);
        const LineTermios untouched = freshTerminal();
        return result == EINVAL && t.cflag == untouched.cflag && t.iflag == untouched.iflag &&
               t.lflag == untouched.lflag;
    };
    EXPECT_TRUE(refused([](DataControlBlock& r) { r.ByteSize = 4; }));
    EXPECT_TRUE(refused([](DataControlBlock& r) { r.BaudRate = 0; }));
    EXPECT_TRUE(refused([](DataControlBlock& r) { r.StopBits = dcb::kOne5StopBits; }));
    EXPECT_TRUE(refused([](DataControlBlock& r) { r.ByteSize = 5, r.StopBits = dcb::kTwoStopBits; }));
    EXPECT_TRUE(refused([](DataControlBlock& r) { r.Parity = 5; }));
    EXPECT_TRUE(refused([](DataControlBlock& r) { r.Flags |= dcb::fOutxDsrFlow; }));
    EXPECT_TRUE(refused([](DataControlBlock& r) { r.Flags = dcb::fBinary | dcb::kDtrControlHandshake; }));
    EXPECT_TRUE(refused([](DataControlBlock& r) { r.Flags = dcb::fBinary | dcb::kRtsControlToggle; }));
    EXPECT_TRUE(refused([](DataControlBlock& r) { r.Flags |= dcb::fDsrSensitivity; }));
    EXPECT_TRUE(refused([](DataControlBlock& r) { r.Flags |= dcb::fNull; }));
    EXPECT_TRUE(refused([](DataControlBlock& r) { r.Flags |= dcb::fParity | dcb::fErrorChar, r.ErrorChar = '?'; }));
    EXPECT_TRUE(refused([](DataControlBlock& r) { r.Flags |= dcb::fOutX, r.XonChar = r.XoffChar; }));
    EXPECT_FALSE(refused([](DataControlBlock& r) { r.Flags |= dcb::fParity | dcb::fErrorChar; }))
        << "a NUL replacement is what Linux does anyway";
}

// Runs waitEvent on a thread of its own; answers its result and the processor
// time the thread used.
struct WaitOutcome {
    std::uint32_t events = 0;
    std::chrono::nanoseconds busy{};
};

class ThreadedWait {
public:
    explicit ThreadedWait(platform::SerialDevice& device)
        : m_thread([this, &device] {
              timespec start{};
              ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
              m_outcome.events = device.waitEvent();
              timespec end{};
              ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
              m_outcome.busy = std::chrono::seconds(end.tv_sec - start.tv_sec) +
                               std::chrono::nanoseconds(end.tv_nsec - start.tv_nsec);
          }) {}
    WaitOutcome join() {
        m_thread.join();
        return m_outcome;
    }

private:
    WaitOutcome m_outcome;
    std::thread m_thread;
};

class SerialDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        int error = 0;
        device = platform::systemSerialPortServices()->openDevice(pty.slavePath(), error);
        ASSERT_TRUE(device) << error;
        ASSERT_TRUE(device->isCharacterDevice());
        DataControlBlock settings;
        ASSERT_EQ(device->getLineSettings(settings), 0);
        ASSERT_EQ(device->setLineSettings(settings), 0);  // binary transfer
    }
    void TearDown() override {
        if (device) device->close();
    }

    PseudoTerminal pty;
    std::shared_ptr<platform::SerialDevice> device;
};

TEST_F(SerialDeviceTest, ReportsReceivedBytesAndTheirCount) {
    ASSERT_EQ(device->setEventMask(0x1FF), 0);
    pty.send("abc");
    EXPECT_EQ(device->waitEvent(), commevent::kRxChar);
    std::uint32_t errors = 99;
    std::uint32_t waiting = 0;
    ASSERT_EQ(device->clearErrors(errors, waiting), 0);
    EXPECT_EQ(errors, 0u);
    EXPECT_EQ(waiting, 3u);
    pty.send("de");
    EXPECT_EQ(device->waitEvent(), commevent::kRxChar) << "more bytes behind unread ones";
    ASSERT_EQ(device->purge(platform::commpurge::kAll), 0);
    ASSERT_EQ(device->clearErrors(errors, waiting), 0);
    EXPECT_EQ(waiting, 0u);
}

// While nothing is to be reported the wait must sleep: bytes nobody reads,
// input that is not monitored and a line that hung up all keep a descriptor
// readable for good, and a wait that polled it again would spin.
struct QuietCase {
    const char* name;
    std::uint32_t mask;
    bool reportFirst;  // the bytes are reported once before the quiet wait
    bool hangUp;
};

class SerialDeviceQuietWait : public SerialDeviceTest, public ::testing::WithParamInterface<QuietCase> {};

TEST_P(SerialDeviceQuietWait, SleepsUntilClosed) {
    const QuietCase& c = GetParam();
    ASSERT_EQ(device->setEventMask(c.mask), 0);
    pty.send("unread");
    ASSERT_TRUE(pty.awaitWaiting(6));
    if (c.reportFirst) {
        ASSERT_EQ(device->waitEvent(), commevent::kRxChar);
    }
    if (c.hangUp) pty.closeMaster();

    ThreadedWait wait(*device);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the span measured, not a synchronisation
    device->close();
    const WaitOutcome outcome = wait.join();
    EXPECT_EQ(outcome.events, 0u) << "nothing new happened";
    EXPECT_LT(outcome.busy, std::chrono::milliseconds(30)) << "the wait spun";
}

INSTANTIATE_TEST_SUITE_P(Cases, SerialDeviceQuietWait,
                         ::testing::Values(QuietCase{"UnreadBytes", 0x1FF, true, false},
                                           QuietCase{"UnmonitoredInput", commevent::kBreak | commevent::kError, false,
                                                     false},
                                           QuietCase{"HungUp", 0x1FF, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SerialDeviceTest, AClosedDeviceRefusesEverythingAndEndsTheWaitAtOnce) {
    ASSERT_EQ(device->setEventMask(0x1FF), 0);
    ThreadedWait wait(*device);
    device->close();
    EXPECT_EQ(wait.join().events, 0u);
    EXPECT_FALSE(pty.exclusive());

    DataControlBlock settings;
    std::uint32_t errors = 0;
    std::uint32_t waiting = 0;
    EXPECT_EQ(device->getLineSettings(settings), EBADF);
    EXPECT_EQ(device->setLineSettings(settings), EBADF);
    EXPECT_EQ(device->setQueueSizes(1, 1), EBADF);
    EXPECT_EQ(device->clearErrors(errors, waiting), EBADF);
    EXPECT_EQ(device->escapeFunction(platform::commescape::kSetDtr), EBADF);
    EXPECT_EQ(device->waitEvent(), 0u);
    EXPECT_FALSE(device->isCharacterDevice());
    device->close();
}

TEST_F(SerialDeviceTest, OnlyTheReturnAtOnceReadTimeoutIsTaken) {
    platform::CommTimeouts timeouts;
    timeouts.ReadIntervalTimeout = platform::CommTimeouts::kMaxTimeout;
    EXPECT_EQ(device->setTimeouts(timeouts), 0);
    EXPECT_EQ(serial_test::readKernelTermios(pty.slave()).vmin, 0);
    timeouts.ReadTotalTimeoutConstant = 100;
    EXPECT_EQ(device->setTimeouts(timeouts), EINVAL);
    EXPECT_EQ(device->setQueueSizes(4096, 2048), 0);
    EXPECT_EQ(device->setQueueSizes(-1, 2048), EINVAL);
}

}  // namespace
