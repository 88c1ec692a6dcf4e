#include "platform/ExportCodePage.h"

namespace platform {

void appendInExportCodePage(std::string& out, std::string_view utf8) {
    out += utf8;
}

}  // namespace platform
