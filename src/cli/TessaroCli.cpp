#include "cli/TessaroCli.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <optional>
#include <string_view>

#include "cli/EditorCommands.h"
#include "documents/AccessTables.h"
#include "documents/CommunicationSettings.h"
#include "documents/IntegerText.h"
#include "documents/XmlDocument.h"
#include "outputs/ConfigurationImage.h"
#include "outputs/GsdFile.h"
#include "platform/FileSystem.h"

namespace cli {
namespace {

constexpr const char* kUsage =
    "Usage: tessaro-cli COMMAND ARGUMENTS\n"
    "\n"
    "Commands:\n"
    "  image PROJECT_DIR     build the configuration image of the project from its\n"
    "                        pargen.xml and sdo.xml into PROJECT_DIR/bin/bank.bin\n"
    "  gsd PROJECT_DIR FILE  write the GSD file of the project to FILE\n"
    "  check PROJECT_DIR     check the stored communication settings and access\n"
    "                        tables as the windows do before saving\n"
    "  import PROJECT_DIR DOCUMENT WORKBOOK\n"
    "                        import the sheet DOCUMENT of the .xls WORKBOOK into the\n"
    "                        CANopen table PROJECT_DIR/DOCUMENT.xml, as the editor's\n"
    "                        Import and OK do (DOCUMENT: rpdodef, sdopdo, emcydef,\n"
    "                        emcyword)\n"
    "  export PROJECT_DIR DOCUMENT\n"
    "                        write PROJECT_DIR/DOCUMENT.csv from the stored table, as\n"
    "                        the editor's Export does right after it is shown\n"
    "  -h, --help            show this help\n"
    "\n"
    "Exit status: 0 done (check: nothing to report), 1 failed or check refused\n"
    "(message on standard error, no file written), 2 wrong call.\n";

int usageError(std::ostream& err, const std::string& problem) {
    err << "tessaro-cli: " << problem << "\n"
        << "Usage: tessaro-cli image PROJECT_DIR | gsd PROJECT_DIR FILE | check PROJECT_DIR\n"
        << "       tessaro-cli import PROJECT_DIR DOCUMENT WORKBOOK | export PROJECT_DIR DOCUMENT\n"
        << "Try 'tessaro-cli --help' for more information.\n";
    return kExitUsage;
}

// The first message the windows would show for the stored documents, or nothing.
std::optional<std::string> checkProject(const std::string& projectDir) {
    documents::XmlDocument document;
    const std::string pargenPath = platform::joinPath(projectDir, documents::kPargenFileName);
    const documents::CommunicationTexts texts = documents::readStoredCommunicationTexts(document, pargenPath);
    if (auto message =
            documents::checkCommunicationValues(texts.Ser_ID, texts.Profi_ID, texts.Profi_NB_IN, texts.Profi_NB_OUT)) {
        return message;
    }

    // The sizes passed the checks above, so they are integer text.
    const documents::AreaSizes sizes{documents::integerText(texts.Profi_NB_IN),
                                     documents::integerText(texts.Profi_NB_OUT)};
    documents::AccessTables tables;
    const std::string sdoPath = platform::joinPath(projectDir, documents::kSdoFileName);
    if (platform::fileExists(sdoPath)) documents::readAccessTables(document, sdoPath, tables);
    return documents::validateAccessTables(tables, sizes);
}

// Runs a command on an existing project folder; any failure becomes its message.
int runOnProject(const std::string& projectDir, std::ostream& err,
                 const std::function<std::optional<std::string>()>& command) {
    std::optional<std::string> message;
    if (!platform::folderExists(projectDir)) {
        message = "Project folder \"" + projectDir + "\" not found";
    } else {
        try {
            message = command();
        } catch (const std::exception& e) {
            message = e.what();
        }
    }
    if (!message) return kExitSuccess;
    err << *message << "\n";
    return kExitFailure;
}

}  // namespace

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const auto isHelp = [](const std::string& arg) { return arg == "-h" || arg == "--help"; };
    if (std::any_of(args.begin(), args.end(), isHelp)) {
        out << kUsage;
        return kExitSuccess;
    }
    if (args.empty()) return usageError(err, "no command given");
    for (const std::string& arg : args) {
        if (arg.size() > 1 && arg.front() == '-') return usageError(err, "unknown option '" + arg + "'");
    }

    const std::string& command = args.front();
    const std::size_t given = args.size() - 1;
    const auto expect = [&](std::size_t count, std::string_view names) -> std::optional<int> {
        if (given == count) return std::nullopt;
        return usageError(err, "'" + command + "' takes " + std::string(names));
    };

    if (command == "image") {
        if (auto wrong = expect(1, "PROJECT_DIR")) return *wrong;
        return runOnProject(args[1], err, [&]() -> std::optional<std::string> {
            outputs::ConfigurationImage image;
            image.BuildConfigurationImage(args[1]);
            image.WriteConfigurationImage(args[1]);
            return std::nullopt;
        });
    }
    if (command == "gsd") {
        if (auto wrong = expect(2, "PROJECT_DIR and FILE")) return *wrong;
        return runOnProject(args[1], err, [&]() -> std::optional<std::string> {
            outputs::WriteGsdFile(args[1], args[2]);
            return std::nullopt;
        });
    }
    if (command == "check") {
        if (auto wrong = expect(1, "PROJECT_DIR")) return *wrong;
        return runOnProject(args[1], err, [&] { return checkProject(args[1]); });
    }
    if (command == "import" || command == "export") {
        const bool importing = command == "import";
        if (auto wrong = expect(importing ? 3 : 2,
                                importing ? "PROJECT_DIR, DOCUMENT and WORKBOOK" : "PROJECT_DIR and DOCUMENT")) {
            return *wrong;
        }
        if (!isEditorDocument(args[2])) {
            return usageError(err, "unknown document '" + args[2] + "' (rpdodef, sdopdo, emcydef or emcyword)");
        }
        return importing ? runEditorImport(args[1], args[2], args[3], err) : runEditorExport(args[1], args[2], err);
    }
    return usageError(err, "unknown command '" + command + "'");
}

}  // namespace cli
