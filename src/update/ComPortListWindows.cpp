#include "platform/FileSystem.h"
#include "platform/SerialDevice.h"
#include "update/ComPortList.h"

namespace update {

std::vector<std::string> EnumerateComPorts(const std::string& deviceFolder) {
    std::vector<std::string> present;
    for (int number = 1; number <= kPortsProbed; ++number) {
        std::string port = "COM" + std::to_string(number);
        if (platform::serialDevicePresent(platform::joinPath(deviceFolder, port))) present.push_back(std::move(port));
    }
    return present;
}

}  // namespace update
