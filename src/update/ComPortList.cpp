#include "update/ComPortList.h"

namespace update {

std::vector<std::string> EnumerateComPorts(const std::string& deviceFolder) {
    return platform::presentSerialPorts(deviceFolder);
}

}  // namespace update
