#include "update/ComPortList.h"

#include "platform/FileSystem.h"
#include "platform/SerialDevice.h"

namespace update {

std::vector<std::string> EnumerateComPorts(const std::string& deviceFolder) {
    std::vector<std::string> present;
    for (const char* family : {"ttyS", "ttyUSB", "ttyACM"}) {
        for (int number = 0; number < kPortsPerFamily; ++number) {
            std::string path = platform::joinPath(deviceFolder, family + std::to_string(number));
            if (platform::serialDevicePresent(path)) present.push_back(std::move(path));
        }
    }
    return present;
}

}  // namespace update
