#include "platform/SerialTermiosLinux.h"

#include <asm/termbits.h>

#include <cerrno>

namespace platform::linuxserial {
namespace {

static_assert(NCCS == std::tuple_size_v<decltype(LineTermios::cc)>, "LineTermios mirrors struct termios2");

struct StandardRate {
    std::uint32_t rate;
    std::uint32_t code;
};

constexpr StandardRate kStandardRates[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
};

std::uint32_t standardCode(std::uint32_t rate) {
    for (const StandardRate& entry : kStandardRates)
        if (entry.rate == rate) return entry.code;
    return BOTHER;
}

std::uint32_t outputRate(const LineTermios& termios) {
    const std::uint32_t code = termios.cflag & CBAUD;
    if (code == BOTHER) return termios.ospeed;
    for (const StandardRate& entry : kStandardRates)
        if (entry.code == code) return entry.rate;
    return 0;  // B0: the line is hung up
}

std::uint8_t byteSize(std::uint32_t cflag) {
    switch (cflag & CSIZE) {
        case CS5: return 5;
        case CS6: return 6;
        case CS7: return 7;
        default: return 8;
    }
}

}  // namespace

DataControlBlock lineSettingsFromTermios(const LineTermios& termios, const ModemLines& lines) {
    DataControlBlock settings;
    settings.BaudRate = outputRate(termios);
    settings.ByteSize = byteSize(termios.cflag);
    if (!(termios.cflag & PARENB)) {
        settings.Parity = dcb::kNoParity;
    } else if (termios.cflag & CMSPAR) {
        settings.Parity = (termios.cflag & PARODD) ? dcb::kMarkParity : dcb::kSpaceParity;
    } else {
        settings.Parity = (termios.cflag & PARODD) ? dcb::kOddParity : dcb::kEvenParity;
    }
    // With five data bits the second stop bit of a UART is one and a half bits long.
    if (termios.cflag & CSTOPB) settings.StopBits = settings.ByteSize == 5 ? dcb::kOne5StopBits : dcb::kTwoStopBits;

    settings.Flags = dcb::fBinary;
    // A line still in canonical mode was never set up for binary transfer: its
    // XON/XOFF and parity checking are the terminal defaults (a stray 0x13
    // from the device would stop output), not serial settings anybody chose.
    const bool setUpForBinary = !(termios.lflag & ICANON);
    if (setUpForBinary) {
        if (termios.iflag & INPCK) settings.Flags |= dcb::fParity;
        if (termios.iflag & IXON) settings.Flags |= dcb::fOutX;
        if (termios.iflag & IXOFF) settings.Flags |= dcb::fInX;
    }
    // The kernel raises DTR and RTS when it opens a line, so a line without
    // modem control lines reports them as enabled.
    settings.Flags |= (!lines.known || lines.dtr) ? dcb::kDtrControlEnable : dcb::kDtrControlDisable;
    if (termios.cflag & CRTSCTS) {
        settings.Flags |= dcb::fOutxCtsFlow | dcb::kRtsControlHandshake;
    } else {
        settings.Flags |= (!lines.known || lines.rts) ? dcb::kRtsControlEnable : dcb::kRtsControlDisable;
    }

    settings.XonChar = static_cast<char>(termios.cc[VSTART]);
    settings.XoffChar = static_cast<char>(termios.cc[VSTOP]);
    return settings;
}

int applyLineSettings(const DataControlBlock& settings, LineTermios& termios) {
    std::uint32_t size;
    switch (settings.ByteSize) {
        case 5: size = CS5; break;
        case 6: size = CS6; break;
        case 7: size = CS7; break;
        case 8: size = CS8; break;
        default: return EINVAL;
    }
    if (settings.BaudRate == 0) return EINVAL;  // B0 would hang the line up
    bool twoStopBits = false;
    switch (settings.StopBits) {
        case dcb::kOneStopBit: break;
        case dcb::kOne5StopBits:
            if (settings.ByteSize != 5) return EINVAL;
            twoStopBits = true;
            break;
        case dcb::kTwoStopBits:
            if (settings.ByteSize == 5) return EINVAL;
            twoStopBits = true;
            break;
        default: return EINVAL;
    }
    if (settings.Parity > dcb::kSpaceParity) return EINVAL;

    const std::uint32_t flags = settings.Flags;
    // Linux has no DSR-driven flow control, DSR gating, RTS toggling or null
    // stripping, and replaces a byte with a parity error only by NUL.
    if (flags & (dcb::fOutxDsrFlow | dcb::fDsrSensitivity | dcb::fNull)) return EINVAL;
    if ((flags & dcb::kDtrControlMask) == dcb::kDtrControlHandshake ||
        (flags & dcb::kDtrControlMask) == dcb::kDtrControlMask)
        return EINVAL;
    if ((flags & dcb::kRtsControlMask) == dcb::kRtsControlToggle) return EINVAL;
    if ((flags & dcb::fParity) && (flags & dcb::fErrorChar) && settings.ErrorChar != 0) return EINVAL;
    const bool softwareFlow = flags & (dcb::fOutX | dcb::fInX);
    if (softwareFlow && settings.XonChar == settings.XoffChar) return EINVAL;

    termios.iflag &= ~static_cast<std::uint32_t>(IGNBRK | BRKINT | IGNPAR | PARMRK | INPCK | ISTRIP | INLCR | IGNCR |
                                                 ICRNL | IUCLC | IXON | IXANY | IXOFF | IMAXBEL | IUTF8);
    if (flags & dcb::fParity) termios.iflag |= INPCK;
    if (flags & dcb::fOutX) termios.iflag |= IXON;
    if (flags & dcb::fInX) termios.iflag |= IXOFF;

    termios.oflag &= ~static_cast<std::uint32_t>(OPOST);
    termios.lflag &= ~static_cast<std::uint32_t>(ISIG | ICANON | XCASE | ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL |
                                                 ECHOPRT | ECHOKE | IEXTEN);

    termios.cflag &= ~static_cast<std::uint32_t>(CBAUD | CIBAUD | CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS);
    // Carrier detect is not the program's business: reads must not end at a
    // dropped carrier.
    termios.cflag |= CREAD | CLOCAL | size;
    if (twoStopBits) termios.cflag |= CSTOPB;
    switch (settings.Parity) {
        case dcb::kOddParity: termios.cflag |= PARENB | PARODD; break;
        case dcb::kEvenParity: termios.cflag |= PARENB; break;
        case dcb::kMarkParity: termios.cflag |= PARENB | CMSPAR | PARODD; break;
        case dcb::kSpaceParity: termios.cflag |= PARENB | CMSPAR; break;
        default: break;
    }
    if ((flags & dcb::fOutxCtsFlow) || (flags & dcb::kRtsControlMask) == dcb::kRtsControlHandshake)
        termios.cflag |= CRTSCTS;
    // An input speed field of zero makes the input speed follow the output speed.
    termios.cflag |= standardCode(settings.BaudRate);
    termios.ospeed = settings.BaudRate;
    termios.ispeed = settings.BaudRate;

    termios.cc[VSTART] = static_cast<std::uint8_t>(settings.XonChar);
    termios.cc[VSTOP] = static_cast<std::uint8_t>(settings.XoffChar);
    return 0;
}

WantedLines wantedModemLines(const DataControlBlock& settings) {
    WantedLines wanted;
    wanted.dtr = (settings.Flags & dcb::kDtrControlMask) == dcb::kDtrControlEnable;
    const std::uint32_t rts = settings.Flags & dcb::kRtsControlMask;
    // Under RTS/CTS flow control the driver drives RTS itself.
    wanted.setRts = !(settings.Flags & dcb::fOutxCtsFlow) && rts != dcb::kRtsControlHandshake;
    wanted.rts = rts == dcb::kRtsControlEnable;
    return wanted;
}

}  // namespace platform::linuxserial
