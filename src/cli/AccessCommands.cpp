#include "cli/AccessCommands.h"

#include <exception>
#include <functional>

#include "base/LocatedError.h"
#include "cli/TessaroCli.h"
#include "documents/AccessTableFiles.h"

namespace cli {
namespace {

documents::AccessTableSide sideOf(const std::string& table) {
    return table == "access-in" ? documents::AccessTableSide::In : documents::AccessTableSide::Out;
}

int run(const std::string& projectDir, std::ostream& err, const std::function<void()>& command) {
    std::optional<std::string> failure = projectFolderProblem(projectDir);
    if (!failure) {
        try {
            command();
        } catch (const base::LocatedError& e) {
            failure = e.where() + ": " + e.what();
        } catch (const std::exception& e) {
            failure = e.what();
        }
    }
    if (!failure) return kExitSuccess;
    err << *failure << "\n";
    return kExitFailure;
}

}  // namespace

bool isAccessTable(const std::string& table) {
    return table == "access-in" || table == "access-out";
}

int runAccessImport(const std::string& projectDir, const std::string& table, const std::string& file,
                    const std::optional<std::string>& sheet, std::ostream& err) {
    return run(projectDir, err, [&] { documents::importAccessTable(projectDir, sideOf(table), file, sheet); });
}

int runAccessExport(const std::string& projectDir, const std::string& table, const std::string& file,
                    std::ostream& err) {
    return run(projectDir, err, [&] { documents::exportAccessTable(projectDir, sideOf(table), file); });
}

}  // namespace cli
