#include "platform/FileSystem.h"
#include "platform/SerialDevice.h"
#include "platform/SerialPorts.h"

namespace platform {

const char* const kSerialDeviceFolder = "\\\\.";

namespace {
// COM1 .. COM256 are probed, as every Windows of the NT family numbers them.
constexpr int kPortsProbed = 256;
}  // namespace

std::vector<std::string> presentSerialPorts(const std::string& deviceFolder) {
    std::vector<std::string> present;
    for (int number = 1; number <= kPortsProbed; ++number) {
        std::string port = "COM" + std::to_string(number);
        if (serialDevicePresent(joinPath(deviceFolder, port))) present.push_back(std::move(port));
    }
    return present;
}

}  // namespace platform
