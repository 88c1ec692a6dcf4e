#pragma once

#include <string>
#include <vector>

// The serial ports the update wizard offers.
namespace update {

// Device numbers probed in each family of serial device names.
inline constexpr int kPortsPerFamily = 256;

// Probes deviceFolder/ttyS0 .. ttyS255, then ttyUSB0 .. ttyUSB255, then
// ttyACM0 .. ttyACM255, each opened for reading and writing without becoming
// the controlling terminal, without waiting, and closed again at once.
// Answers the paths of the devices present (the open succeeded, or failed
// because the device is held or forbidden) in that order. Never throws.
std::vector<std::string> EnumerateComPorts(const std::string& deviceFolder = "/dev");

}  // namespace update
