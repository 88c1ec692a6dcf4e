#include "cli/TreeCommand.h"

#include <exception>
#include <filesystem>

#include "cli/TessaroCli.h"
#include "platform/FileSystem.h"
#include "xmltools/XMLReader.h"

namespace cli {

int runTree(const std::string& path, std::ostream& out, std::ostream& err) {
    std::string tree;
    try {
        std::unique_ptr<xmltools::TXMLNode> document = xmltools::readXmlText(platform::readFile(path));
        document->FileName = platform::pathText(platform::fileSystemPath(path).filename());
        tree = xmltools::treeText(*document);
    } catch (const std::exception& e) {
        err << e.what() << "\n";
        return kExitFailure;
    }
    // A full disk or a closed pipe must not pass for a printed tree.
    out << tree;
    out.flush();
    if (!out) {
        err << "Cannot write the tree to standard output\n";
        return kExitFailure;
    }
    return kExitSuccess;
}

}  // namespace cli
