#include "platform/Isolated.h"

namespace platform {

// Windows has no fork; a child would need a program of its own to run work.
// Until then work runs in the program, as it always did there.
std::optional<std::string> endOfIsolatedRun(const std::function<void()>&, std::chrono::milliseconds) {
    return std::nullopt;
}

}  // namespace platform
