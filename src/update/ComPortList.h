#pragma once

#include <string>
#include <vector>

// The serial ports the update wizard offers.
namespace update {

#ifdef _WIN32
// Where the port devices are named: \\.\COM1 and so on.
inline constexpr const char* kSerialDeviceFolder = "\\\\.";
// COM1 .. COM256 are probed, as every Windows of the NT family numbers them.
inline constexpr int kPortsProbed = 256;
#else
inline constexpr const char* kSerialDeviceFolder = "/dev";
// Device numbers probed in each family of serial device names.
inline constexpr int kPortsPerFamily = 256;
#endif

// Linux: probes deviceFolder/ttyS0 .. ttyS255, then ttyUSB0 .. ttyUSB255, then
// ttyACM0 .. ttyACM255, and answers the paths of the devices present in that
// order. Windows: probes deviceFolder\COM1 .. COM256 and answers "COM" + the
// number of each port present, in ascending number order.
// Each device is opened for reading and writing, not shared (on Linux without
// becoming the controlling terminal and without waiting), and closed again at
// once; it is present when the open succeeds or fails because the device is
// held or forbidden. Never throws.
std::vector<std::string> EnumerateComPorts(const std::string& deviceFolder = kSerialDeviceFolder);

}  // namespace update
