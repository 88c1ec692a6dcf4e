#include "platform/Isolated.h"
#include "platform/IsolatedWorkbook.h"

namespace platform {

std::optional<std::string> endOfIsolatedWorkbookReading(const std::string&, const std::function<void()>& reading) {
    return endOfIsolatedRun(reading);
}

}  // namespace platform
