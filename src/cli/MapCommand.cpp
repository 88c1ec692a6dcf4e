#include "cli/MapCommand.h"

#include "outputs/AddressMap.h"
#include "outputs/AddressMapPage.h"

namespace cli {

std::variant<MapCall, std::string> parseMapArguments(const std::vector<std::string>& args) {
    MapCall call;
    std::optional<std::string> projectDir;
    const auto isOption = [](const std::string& arg) { return arg.size() > 1 && arg.front() == '-'; };
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (options && arg == "--") {
            options = false;
        } else if (options && arg == "--html") {
            if (call.htmlFile) return std::string("'--html' given twice");
            if (i + 1 == args.size() || isOption(args[i + 1])) return std::string("'--html' takes a FILE");
            call.htmlFile = args[++i];
        } else if (options && isOption(arg)) {
            return "unknown option '" + arg + "'";
        } else if (projectDir) {
            return std::string("'map' takes PROJECT_DIR and optionally --html FILE");
        } else {
            projectDir = arg;
        }
    }
    if (!projectDir) return std::string("'map' takes PROJECT_DIR and optionally --html FILE");
    call.projectDir = *projectDir;
    return call;
}

std::optional<std::string> runMap(const MapCall& call, std::ostream& out) {
    const outputs::AddressMap map =
        outputs::buildAddressMap(call.projectDir, outputs::readMapDocuments(call.projectDir));
    if (call.htmlFile) outputs::writeAddressMapPage(map, *call.htmlFile);
    out << outputs::addressMapText(map);
    return std::nullopt;
}

}  // namespace cli
