#include "support/ExportText.h"

namespace testing_support {

std::string exportText(const std::string& utf8) {
    return utf8;
}

}  // namespace testing_support
