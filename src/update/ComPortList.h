#pragma once

#include <string>
#include <vector>

#include "platform/SerialPorts.h"

// The serial ports the update wizard offers.
namespace update {

using platform::kSerialDeviceFolder;

// The ports present below deviceFolder, in the order and form the wizard's
// list shows them (platform::presentSerialPorts). Never throws.
std::vector<std::string> EnumerateComPorts(const std::string& deviceFolder = kSerialDeviceFolder);

}  // namespace update
