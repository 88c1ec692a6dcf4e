#include "cli/TessaroCli.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>
#include <variant>

#include "cli/EditorCommands.h"
#include "cli/FirmwareCommand.h"
#include "cli/MapCommand.h"
#include "cli/TreeCommand.h"
#include "documents/AccessTables.h"
#include "documents/CommunicationSettings.h"
#include "documents/IntegerText.h"
#include "documents/LocatedError.h"
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
    "  map PROJECT_DIR [--html FILE]\n"
    "                        print the address map of the project for the PLC\n"
    "                        programmer, with warnings; --html also writes it as\n"
    "                        a page with a picture of both areas to FILE\n"
    "  tree FILE             print the XML file FILE as the tree of the XML window,\n"
    "                        one item a line, two blanks of indent per level\n"
    "  firmware FIRMWARE BIN_DIR OUT_DIR\n"
    "                        merge the bank files of BIN_DIR into the S-record\n"
    "                        firmware FIRMWARE and write OUT_DIR/New_<name>\n"
    "                        (exit status 1 also when a bank was not inserted)\n"
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
    "A failure names its place first, e.g. \"pargen.xml, Ser_Baud: ...\". image and\n"
    "gsd build from the stored values as they are and warn on standard error when\n"
    "check would refuse them.\n"
    "\n"
    "Exit status: 0 done (check: nothing to report; map: also with warnings),\n"
    "1 failed or check refused (message on standard error, no file written),\n"
    "2 wrong call.\n";

int usageError(std::ostream& err, const std::string& problem) {
    err << "tessaro-cli: " << problem << "\n"
        << "Usage: tessaro-cli image PROJECT_DIR | gsd PROJECT_DIR FILE | check PROJECT_DIR | tree FILE\n"
        << "       tessaro-cli map PROJECT_DIR [--html FILE]\n"
        << "       tessaro-cli import PROJECT_DIR DOCUMENT WORKBOOK | export PROJECT_DIR DOCUMENT\n"
        << "Try 'tessaro-cli --help' for more information.\n";
    return kExitUsage;
}

// The first message the windows would show for the stored documents, or nothing.
std::optional<std::string> checkProject(const std::string& projectDir) {
    const std::string pargenPath = platform::joinPath(projectDir, documents::kPargenFileName);
    const documents::CommunicationTexts texts =
        documents::readStoredCommunicationTexts(pargenPath).valueOrThrow().texts;
    if (auto message =
            documents::checkCommunicationValues(texts.Ser_ID, texts.Profi_ID, texts.Profi_NB_IN, texts.Profi_NB_OUT)) {
        return message;
    }

    // The sizes passed the checks above, so they are integer text.
    const documents::AreaSizes sizes{documents::integerText(texts.Profi_NB_IN),
                                     documents::integerText(texts.Profi_NB_OUT)};
    documents::AccessTables tables;
    const std::string sdoPath = platform::joinPath(projectDir, documents::kSdoFileName);
    if (platform::fileExists(sdoPath)) {
        tables = documents::locatedAt(documents::kSdoFileName,
                                      [&] { return documents::readAccessTables(sdoPath).valueOrThrow(); });
    }
    return documents::validateAccessTables(tables, sizes);
}

// The project folder as given, without trailing separators, so that the paths
// made from it have one separator.
std::string projectFolder(std::string given) {
    while (given.size() > 1 && (given.back() == '/' || given.back() == platform::kPathSeparator)) given.pop_back();
    return given;
}

// After a build that succeeded: the first message that check gives, as a
// warning, since the image and the GSD file take the stored values as they are.
void warnAboutStoredValues(const std::string& projectDir, std::ostream& err) {
    try {
        if (auto message = checkProject(projectDir)) err << "tessaro-cli: warning: " << *message << "\n";
    } catch (const std::exception&) {
        // A document check cannot read did not stop the build; nothing to add.
    }
}

// Runs a command on an existing project folder; any failure becomes its
// message, after the place it names.
int runOnProject(const std::string& projectDir, std::ostream& err,
                 const std::function<std::optional<std::string>()>& command) {
    std::optional<std::string> message;
    if (!platform::folderExists(projectDir)) {
        message = "Project folder \"" + projectDir + "\" " +
                  (std::filesystem::exists(projectDir) ? "is not a folder" : "not found");
    } else {
        try {
            message = command();
        } catch (const documents::LocatedError& e) {
            message = e.where() + ": " + e.what();
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
    // Before the option check below: map takes an option of its own.
    if (args.front() == "map") {
        const auto call = parseMapArguments({args.begin() + 1, args.end()});
        if (const auto* problem = std::get_if<std::string>(&call)) return usageError(err, *problem);
        const MapCall& map = std::get<MapCall>(call);
        return runOnProject(map.projectDir, err, [&] { return runMap(map, out); });
    }
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
        const std::string projectDir = projectFolder(args[1]);
        return runOnProject(projectDir, err, [&]() -> std::optional<std::string> {
            outputs::ConfigurationImage image;
            image.BuildConfigurationImage(projectDir);
            image.WriteConfigurationImage(projectDir);
            warnAboutStoredValues(projectDir, err);
            return std::nullopt;
        });
    }
    if (command == "gsd") {
        if (auto wrong = expect(2, "PROJECT_DIR and FILE")) return *wrong;
        const std::string projectDir = projectFolder(args[1]);
        return runOnProject(projectDir, err, [&]() -> std::optional<std::string> {
            outputs::WriteGsdFile(projectDir, args[2]);
            warnAboutStoredValues(projectDir, err);
            return std::nullopt;
        });
    }
    if (command == "check") {
        if (auto wrong = expect(1, "PROJECT_DIR")) return *wrong;
        const std::string projectDir = projectFolder(args[1]);
        return runOnProject(projectDir, err, [&] { return checkProject(projectDir); });
    }
    if (command == "tree") {
        if (auto wrong = expect(1, "FILE")) return *wrong;
        return runTree(args[1], out, err);
    }
    if (command == "firmware") {
        if (auto wrong = expect(3, "FIRMWARE, BIN_DIR and OUT_DIR")) return *wrong;
        return runFirmwareCommand(args[1], args[2], args[3], err);
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
