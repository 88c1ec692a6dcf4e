#pragma once

#include <array>
#include <cstdint>

#include "platform/SerialDevice.h"

// How a serial line-settings record maps onto a Linux terminal's settings.
// The terminal settings are carried in a plain mirror of the kernel's termios2
// (with its own speed fields, so any baud rate can be set), which keeps the
// kernel's headers, which clash with the C library's, out of every other unit.
namespace platform::linuxserial {

struct LineTermios {
    std::uint32_t iflag = 0;
    std::uint32_t oflag = 0;
    std::uint32_t cflag = 0;
    std::uint32_t lflag = 0;
    std::uint8_t line = 0;
    std::array<std::uint8_t, 19> cc{};
    std::uint32_t ispeed = 0;
    std::uint32_t ospeed = 0;
};

// The DTR and RTS lines; known is false for a line without modem control
// lines (a pseudo-terminal).
struct ModemLines {
    bool known = false;
    bool dtr = false;
    bool rts = false;
};

// The record the terminal's settings and modem lines stand for. Fields the
// terminal has no place for (limits, error, end-of-file and event characters)
// come back 0. A terminal still in canonical mode reports no software flow
// control and no parity checking: those are its interactive defaults. Reads
// nothing else.
DataControlBlock lineSettingsFromTermios(const LineTermios& termios, const ModemLines& lines);

// Writes the record into termios: raw binary transfer, the speed (a standard
// rate by its code, any other through the kernel's free speed fields), byte
// size, parity (mark and space through CMSPAR), stop bits, RTS/CTS and
// XON/XOFF flow control and parity checking; every other terminal setting is
// kept. Answers 0, or EINVAL (termios untouched) for what a Linux line cannot
// take: a byte size outside 5 to 8, a zero rate, stop bits the byte size does
// not allow, an unknown parity, DSR/DTR flow control, DSR sensitivity, RTS
// toggling, null stripping, an error replacement character other than NUL, or
// software flow control with equal XON and XOFF characters.
int applyLineSettings(const DataControlBlock& settings, LineTermios& termios);

// The modem lines the record's DTR and RTS control fields ask for (RTS is
// left alone under RTS/CTS flow control: the driver drives it then).
struct WantedLines {
    bool dtr = false;
    bool setRts = false;
    bool rts = false;
};
WantedLines wantedModemLines(const DataControlBlock& settings);

}  // namespace platform::linuxserial
