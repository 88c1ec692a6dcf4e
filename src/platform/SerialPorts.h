#pragma once

#include <string>
#include <vector>

// The serial ports of this system, as the update wizard offers them.
namespace platform {

// Where this system names its serial devices: "/dev" on Linux, "\\." on
// Windows (\\.\COM1 and so on).
extern const char* const kSerialDeviceFolder;

// Linux: probes deviceFolder/ttyS0 .. ttyS255, then ttyUSB0 .. ttyUSB255, then
// ttyACM0 .. ttyACM255, and answers the paths of the devices present in that
// order. Windows: probes deviceFolder\COM1 .. COM256 (every Windows of the NT
// family numbers them so) and answers "COM" + the number of each port
// present, in ascending number order. A device is present as
// serialDevicePresent says. Never throws.
std::vector<std::string> presentSerialPorts(const std::string& deviceFolder);

}  // namespace platform
