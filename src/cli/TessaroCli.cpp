#include "cli/TessaroCli.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <optional>
#include <string_view>
#include <variant>

#include "base/IntegerText.h"
#include "base/LocatedError.h"
#include "cli/AccessCommands.h"
#include "cli/EditorCommands.h"
#include "cli/FirmwareCommand.h"
#include "cli/MapCommand.h"
#include "cli/TreeCommand.h"
#include "documents/AccessTables.h"
#include "documents/CommunicationSettings.h"
#include "outputs/ConfigurationImage.h"
#include "outputs/GsdFile.h"
#include "platform/FileSystem.h"
#include "workspace/Vendor.h"

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
    "                        import the sheet DOCUMENT of WORKBOOK (.xls, .xlsx,\n"
    "                        .ods) into the CANopen table PROJECT_DIR/DOCUMENT.xml,\n"
    "                        as the editor's Import and OK do (DOCUMENT: rpdodef,\n"
    "                        sdopdo, emcydef, emcyword)\n"
    "  export PROJECT_DIR DOCUMENT\n"
    "                        write PROJECT_DIR/DOCUMENT.csv from the stored table, as\n"
    "                        the editor's Export does right after it is shown\n"
    "  import PROJECT_DIR access-in|access-out FILE [--sheet NAME]\n"
    "                        replace that access table of PROJECT_DIR/sdo.xml by the\n"
    "                        rows of FILE (.csv, .xls, .xlsx or .ods: its first sheet,\n"
    "                        or the sheet NAME), checked as Set Access's OK checks;\n"
    "                        the other table stays as stored\n"
    "  export PROJECT_DIR access-in|access-out FILE\n"
    "                        write that stored access table to FILE as CSV\n"
    "  -h, --help            show this help\n"
    "  --version             show the version of tessaro-cli\n"
    "  --                    end of the options: what follows is a folder or a file\n"
    "                        even when it begins with '-'\n"
    "\n"
    "A failure names its place first, e.g. \"pargen.xml, Ser_Baud: ...\". image and\n"
    "gsd build from the stored values as they are and warn on standard error when\n"
    "check would refuse them.\n"
    "\n"
    "Exit status: 0 done (check: nothing to report; map: also with warnings),\n"
    "1 failed or check refused (message on standard error, no file written; also\n"
    "when standard output cannot be written),\n"
    "2 wrong call.\n";

int usageError(std::ostream& err, const std::string& problem) {
    err << "tessaro-cli: " << problem << "\n"
        << "Usage: tessaro-cli image PROJECT_DIR | gsd PROJECT_DIR FILE | check PROJECT_DIR | tree FILE\n"
        << "       tessaro-cli map PROJECT_DIR [--html FILE]\n"
        << "       tessaro-cli import PROJECT_DIR DOCUMENT WORKBOOK | export PROJECT_DIR DOCUMENT\n"
        << "       tessaro-cli import PROJECT_DIR access-in|access-out FILE [--sheet NAME]\n"
        << "       tessaro-cli export PROJECT_DIR access-in|access-out FILE\n"
        << "Try 'tessaro-cli --help' for more information.\n";
    return kExitUsage;
}

// The first message the windows would show for the stored documents, then
// the codes no list holds and tables longer than a table, or nothing. Rows
// are read as the configuration image reads them: every stored row.
std::optional<std::string> checkProject(const std::string& projectDir) {
    const std::string pargenPath = platform::joinPath(projectDir, documents::kPargenFileName);
    const documents::CommunicationTexts texts =
        documents::readStoredCommunicationTexts(pargenPath).valueOrThrow().texts;
    if (auto message =
            documents::checkCommunicationValues(texts.Ser_ID, texts.Profi_ID, texts.Profi_NB_IN, texts.Profi_NB_OUT)) {
        return message;
    }
    if (auto message = documents::checkCommunicationCodes(texts)) return message;

    // The sizes passed the checks above, so they are integer text.
    const documents::AreaSizes sizes{base::integerText(texts.Profi_NB_IN), base::integerText(texts.Profi_NB_OUT)};
    documents::AccessTables tables;
    const std::string sdoPath = platform::joinPath(projectDir, documents::kSdoFileName);
    tables = base::locatedAt(documents::kSdoFileName, [&] {
        if (!platform::documentExists(sdoPath)) return documents::AccessTables{};
        return documents::readAccessTables(sdoPath, documents::kEveryStoredRow).valueOrThrow();
    });
    return documents::checkStoredAccessTables(tables, sizes);
}

// The project folder as given, without trailing separators, so that the paths
// made from it have one separator.
std::string projectFolder(std::string given) {
    while (given.size() > 1 && (given.back() == '/' || given.back() == platform::kPathSeparator)) given.pop_back();
    return given;
}

void warn(std::ostream& err, const std::string& message) {
    err << "tessaro-cli: warning: " << message << "\n";
}

// After a build that succeeded: the first message that check gives, as a
// warning, since the image and the GSD file take the stored values as they
// are. A document that check cannot read is its message too.
void warnAboutStoredValues(const std::string& projectDir, std::ostream& err) {
    std::optional<std::string> message;
    try {
        message = checkProject(projectDir);
    } catch (const base::LocatedError& e) {
        message = e.where() + ": " + e.what();
    } catch (const std::exception& e) {
        message = e.what();
    }
    if (message) warn(err, *message);
}

// Runs a command on an existing project folder; any failure becomes its
// message, after the place it names.
int runOnProject(const std::string& projectDir, std::ostream& err,
                 const std::function<std::optional<std::string>()>& command) {
    std::optional<std::string> message = projectFolderProblem(projectDir);
    if (!message) {
        try {
            message = command();
        } catch (const base::LocatedError& e) {
            message = e.where() + ": " + e.what();
        } catch (const std::exception& e) {
            message = e.what();
        }
    }
    if (!message) return kExitSuccess;
    err << *message << "\n";
    return kExitFailure;
}

// A command's output is part of its result: when standard output cannot
// take it (a full disk, >/dev/full), the command failed.
// A command that failed has said why already, its own words for the same
// fault among them (tree checks its output itself).
int finishOutput(int exitCode, std::ostream& out, std::ostream& err) {
    out.flush();
    if (out || exitCode != kExitSuccess) return exitCode;
    err << "tessaro-cli: cannot write standard output\n";
    return kExitFailure;
}

int runImage(const std::string& projectDir, std::ostream& err) {
    return runOnProject(projectDir, err, [&]() -> std::optional<std::string> {
        outputs::ConfigurationImage image;
        image.BuildConfigurationImage(projectDir);
        image.WriteConfigurationImage(projectDir);
        warnAboutStoredValues(projectDir, err);
        return std::nullopt;
    });
}

int runGsd(const std::string& projectDir, const std::string& file, std::ostream& err) {
    return runOnProject(projectDir, err, [&]() -> std::optional<std::string> {
        outputs::WriteGsdFile(projectDir, file);
        // The GSD file counts an area whose size it did not find as 0 bytes.
        const std::string pargenPath = platform::joinPath(projectDir, documents::kPargenFileName);
        for (const std::string& message :
             outputs::unfoundSizeMessages(documents::readStoredSettings(pargenPath), pargenPath)) {
            warn(err, message);
        }
        warnAboutStoredValues(projectDir, err);
        return std::nullopt;
    });
}

int runPlainCommand(const std::vector<std::string>& args, const std::optional<std::string>& sheet, std::ostream& out,
                    std::ostream& err);

int runCommand(const std::vector<std::string>& given, std::ostream& out, std::ostream& err) {
    // "--" ends the options: what follows is taken as it is, so that a folder
    // named "-h" can be given. Before it, -h or --help asks for the usage.
    const auto end = std::find(given.begin(), given.end(), std::string("--"));
    const auto isHelp = [](const std::string& arg) { return arg == "-h" || arg == "--help"; };
    if (std::any_of(given.begin(), end, isHelp)) {
        out << kUsage;
        return kExitSuccess;
    }
    if (std::find(given.begin(), end, std::string("--version")) != end) {
        out << "tessaro-cli " << workspace::kProgramVersion << "\n";
        return kExitSuccess;
    }
    std::vector<std::string> args(given.begin(), end);
    std::size_t options = args.size();  // args before this index may be options
    if (end != given.end()) args.insert(args.end(), end + 1, given.end());
    if (args.empty()) return usageError(err, "no command given");

    if (args.front() == "map") {
        // map takes an option of its own, and sees the "--" itself.
        const auto split = args.begin() + static_cast<std::ptrdiff_t>(std::max<std::size_t>(options, 1));
        std::vector<std::string> mapArgs(args.begin() + 1, split);
        if (end != given.end()) {
            mapArgs.emplace_back("--");
            mapArgs.insert(mapArgs.end(), split, args.end());
        }
        const auto call = parseMapArguments(mapArgs);
        if (const auto* problem = std::get_if<std::string>(&call)) return usageError(err, *problem);
        const MapCall& map = std::get<MapCall>(call);
        return runOnProject(projectFolder(map.projectDir), err, [&] { return runMap(map, out); });
    }
    // import of an access table takes the option --sheet NAME.
    std::optional<std::string> sheet;
    for (std::size_t i = 1; i < options; ++i) {
        if (args[i] != "--sheet") continue;
        if (args.front() != "import") return usageError(err, "--sheet is an option of import only");
        if (i + 1 >= options) return usageError(err, "--sheet needs the name of a sheet");
        if (sheet) return usageError(err, "--sheet is given twice");
        sheet = args[i + 1];
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i + 2));
        options -= 2;
        --i;
    }
    for (std::size_t i = 0; i < options; ++i) {
        if (args[i].size() > 1 && args[i].front() == '-') return usageError(err, "unknown option '" + args[i] + "'");
    }
    return runPlainCommand(args, sheet, out, err);
}

// A command of args.front() with args[1..] as its operands, none an option;
// sheet is the --sheet of an access table's import.
int runPlainCommand(const std::vector<std::string>& args, const std::optional<std::string>& sheet, std::ostream& out,
                    std::ostream& err) {
    const std::string& command = args.front();
    const std::size_t operands = args.size() - 1;
    const auto expect = [&](std::size_t count, std::string_view names) -> std::optional<int> {
        if (operands == count) return std::nullopt;
        return usageError(err, "'" + command + "' takes " + std::string(names));
    };

    if (command == "image") {
        if (auto wrong = expect(1, "PROJECT_DIR")) return *wrong;
        return runImage(projectFolder(args[1]), err);
    }
    if (command == "gsd") {
        if (auto wrong = expect(2, "PROJECT_DIR and FILE")) return *wrong;
        return runGsd(projectFolder(args[1]), args[2], err);
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
    if ((command == "import" || command == "export") && operands >= 2 && isAccessTable(args[2])) {
        if (auto wrong = expect(3, "PROJECT_DIR, access-in or access-out, and FILE")) return *wrong;
        const std::string projectDir = projectFolder(args[1]);
        if (command == "import") return runAccessImport(projectDir, args[2], args[3], sheet, err);
        return runAccessExport(projectDir, args[2], args[3], err);
    }
    if (sheet) return usageError(err, "--sheet is an option of access-in and access-out only");
    if (command == "import" || command == "export") {
        const bool importing = command == "import";
        if (auto wrong = expect(importing ? 3 : 2,
                                importing ? "PROJECT_DIR, DOCUMENT and WORKBOOK" : "PROJECT_DIR and DOCUMENT")) {
            return *wrong;
        }
        if (!isEditorDocument(args[2])) {
            return usageError(err, "unknown document '" + args[2] +
                                       "' (rpdodef, sdopdo, emcydef, emcyword, access-in or access-out)");
        }
        return importing ? runEditorImport(args[1], args[2], args[3], err) : runEditorExport(args[1], args[2], err);
    }
    return usageError(err, "unknown command '" + command + "'");
}

}  // namespace

std::optional<std::string> projectFolderProblem(const std::string& projectDir) {
    const platform::PathStatus status = platform::examinePath(projectDir);
    const std::string named = "Project folder \"" + projectDir + "\" ";
    switch (status.kind) {
        case platform::PathKind::Folder: return std::nullopt;
        case platform::PathKind::Missing: return named + "not found";
        case platform::PathKind::File: return named + "is not a folder";
        case platform::PathKind::Other: return named + "is not a folder: it is " + status.reason;
        case platform::PathKind::Unexaminable: break;
    }
    return named + "cannot be examined: " + status.reason;
}

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    int exitCode;
    try {
        exitCode = runCommand(args, out, err);
    } catch (const std::exception& e) {
        // Every command reports its own failures; this is the last guard, so
        // that nothing ends the program with an abort.
        err << "tessaro-cli: " << e.what() << "\n";
        exitCode = kExitFailure;
    }
    return finishOutput(exitCode, out, err);
}

}  // namespace cli
