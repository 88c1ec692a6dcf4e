#include "platform/FileSystem.h"
#include "platform/SerialDevice.h"
#include "platform/SerialPorts.h"

namespace platform {

const char* const kSerialDeviceFolder = "/dev";

namespace {
// Device numbers probed in each family of serial device names.
constexpr int kPortsPerFamily = 256;
}  // namespace

std::vector<std::string> presentSerialPorts(const std::string& deviceFolder) {
    std::vector<std::string> present;
    for (const char* family : {"ttyS", "ttyUSB", "ttyACM"}) {
        for (int number = 0; number < kPortsPerFamily; ++number) {
            std::string path = joinPath(deviceFolder, family + std::to_string(number));
            if (serialDevicePresent(path)) present.push_back(std::move(path));
        }
    }
    return present;
}

}  // namespace platform
