// tessaro-cli import and export of the CANopen editors' tables, in-process and
// through the real program, against the golden files of the editor cases.
#include "cli/EditorCommands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "canopen/Editors.h"
#include "cli/TessaroCli.h"
#include "support/CliOutcome.h"
#include "support/ExportText.h"
#include "support/ProgramRun.h"
#include "support/TestFiles.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

using Outcome = testing_support::CliOutcome;
constexpr auto& run = testing_support::runQuietCli;

std::string caseFile(const std::string& caseName, const std::string& file) {
    return testing_support::testData("canopen/cases/" + caseName + "/" + file);
}

// A project folder holding the input of an editor case.
void copyInput(const std::string& caseName, const TempDir& project) {
    fs::copy(caseFile(caseName, "input"), project.path(), fs::copy_options::recursive);
}

TEST(EditorExport, WritesTheCsvFileAsTheWindowWould) {
    TempDir project;
    copyInput("rpdodef-load-mixed", project);
    EXPECT_EQ(run({"export", project.path(), "rpdodef"}).exitCode, cli::kExitSuccess);
    EXPECT_EQ(
        testing_support::readFile(project / "rpdodef.csv"),
        testing_support::exportText(testing_support::readFile(caseFile("rpdodef-load-mixed", "expected/rpdodef.csv"))));
}

TEST(EditorExport, MessageAboutTheDocumentFailsAndWritesNothing) {
    for (const char* caseName : {"rpdodef-load-missing", "rpdodef-load-damaged"}) {
        TempDir project;
        copyInput(caseName, project);
        testing_support::writeFile(project / "rpdodef.csv", "earlier export");
        const Outcome outcome = run({"export", project.path(), "rpdodef"});
        EXPECT_EQ(outcome.exitCode, cli::kExitFailure) << caseName;
        EXPECT_EQ(outcome.err, std::string(caseName) == std::string("rpdodef-load-missing")
                                   ? "File XML not found\n"
                                   : "Error in reading file XML\n");
        EXPECT_EQ(testing_support::readFile(project / "rpdodef.csv"), "earlier export");
    }
}

TEST(EditorExport, EntriesBeyondTheRowsAreAWarning) {
    TempDir project;
    copyInput("rpdodef-load-overflow", project);
    const Outcome outcome = run({"export", project.path(), "rpdodef"});
    EXPECT_EQ(outcome.exitCode, cli::kExitSuccess);
    EXPECT_EQ(outcome.err, "warning: 2 entries beyond the rows of the tables could not be placed and were left out\n");
    EXPECT_EQ(testing_support::readFile(project / "rpdodef.csv"),
              testing_support::exportText(
                  testing_support::readFile(caseFile("rpdodef-load-overflow", "expected/rpdodef.csv"))));
}

TEST(EditorImport, WritesTheDocumentInTheOrderedWriteOut) {
    TempDir project;
    testing_support::writeFile(project / "rpdodef.xml", "<rpdodef/>");
    EXPECT_EQ(
        run({"import", project.path(), "rpdodef", caseFile("rpdodef-import-capitals", "input/workbook.xls")}).exitCode,
        cli::kExitSuccess);
    EXPECT_EQ(testing_support::readFile(project / "rpdodef.xml"),
              testing_support::readFile(caseFile("rpdodef-import-capitals", "expected/rpdodef.xml")));
}

TEST(EditorImport, CauseOfAFailedImportIsReportedAndTheDocumentStays) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"rpdodef-import-nosheet", "has no sheet rpdodef"},
        {"rpdodef-import-notworkbook", "is not an Excel workbook"},
        {"rpdodef-import-fewcolumns", "The sheet rpdodef has 4 columns, fewer than the 5 that are imported"},
        {"rpdodef-import-badcode", "Row 4 of sheet rpdodef: 'yes' is not a valid integer value"},
    };
    for (const auto& [caseName, cause] : cases) {
        TempDir project;
        testing_support::writeFile(project / "rpdodef.xml", "<rpdodef>kept</rpdodef>");
        const Outcome outcome = run({"import", project.path(), "rpdodef", caseFile(caseName, "input/workbook.xls")});
        EXPECT_EQ(outcome.exitCode, cli::kExitFailure) << caseName;
        EXPECT_NE(outcome.err.find(cause), std::string::npos) << outcome.err;
        EXPECT_EQ(testing_support::readFile(project / "rpdodef.xml"), "<rpdodef>kept</rpdodef>");
    }
}

TEST(EditorImport, KeyThatIsNoIntegerTextWritesNothing) {
    TempDir project;
    const Outcome outcome =
        run({"import", project.path(), "rpdodef", caseFile("rpdodef-import-badkey", "input/workbook.xls")});
    EXPECT_EQ(outcome.exitCode, cli::kExitFailure);
    EXPECT_EQ(outcome.err, "'abc' is not a valid integer value\n");
    EXPECT_FALSE(testing_support::exists(project / "rpdodef.xml"));
}

TEST(EditorImport, RealProgramWritesTheDocument) {
    TempDir project, scratch;
    const int exitCode = testing_support::runProgram(
        TESSARO_CLI_PROGRAM,
        {"import", project.path(), "rpdodef", caseFile("rpdodef-import-capitals", "input/workbook.xls")},
        scratch / "out", scratch / "err");
    EXPECT_EQ(exitCode, cli::kExitSuccess);
    EXPECT_EQ(testing_support::readFile(scratch / "err"), "");
    EXPECT_EQ(testing_support::readFile(project / "rpdodef.xml"),
              testing_support::readFile(caseFile("rpdodef-import-capitals", "expected/rpdodef.xml")));
}

TEST(EditorCommandsCall, WrongDocumentOrArgumentsAreUsageErrors) {
    TempDir project;
    EXPECT_EQ(run({"export", project.path(), "pargen"}).exitCode, cli::kExitUsage);
    EXPECT_EQ(run({"export", project.path()}).exitCode, cli::kExitUsage);
    EXPECT_EQ(run({"import", project.path(), "rpdodef"}).exitCode, cli::kExitUsage);
    const Outcome missing = run({"export", project / "absent", "rpdodef"});
    EXPECT_EQ(missing.exitCode, cli::kExitFailure);
    EXPECT_EQ(missing.err, "Project folder \"" + (project / "absent") + "\" not found\n");
}

// The commands serve the editors that have a load, an import, a save and an
// export, the ones the usage names; the others are unknown documents.
TEST(EditorCommands, ServeTheEditorsWithAllFourOperations) {
    std::vector<std::string> served;
    for (const canopen::EditorDescriptor* editor : canopen::editorDescriptors()) {
        EXPECT_EQ(canopen::findEditor(editor->document), editor);
        if (cli::isEditorDocument(editor->document)) served.push_back(editor->document);
    }
    EXPECT_EQ(served, (std::vector<std::string>{"rpdodef", "sdopdo", "emcydef", "emcyword"}));
    EXPECT_EQ(canopen::findEditor("pargen"), nullptr);
    EXPECT_FALSE(cli::isEditorDocument("sdo"));
}

struct DocumentCase {
    const char* document;
    const char* caseName;  // an editor case whose golden files the command must give
};

void PrintTo(const DocumentCase& c, std::ostream* os) {
    *os << c.caseName;
}

std::string readableName(const ::testing::TestParamInfo<DocumentCase>& info) {
    std::string name = info.param.caseName;
    std::erase(name, '-');
    return name;
}

class EditorExportOf : public ::testing::TestWithParam<DocumentCase> {};

TEST_P(EditorExportOf, EachDocumentExportsAsItsWindow) {
    const DocumentCase& c = GetParam();
    TempDir project;
    copyInput(c.caseName, project);
    const Outcome outcome = run({"export", project.path(), c.document});
    EXPECT_EQ(outcome.exitCode, cli::kExitSuccess) << outcome.err;
    const std::string csv = std::string(c.document) + ".csv";
    EXPECT_EQ(testing_support::readFile(project / csv),
              testing_support::exportText(testing_support::readFile(caseFile(c.caseName, "expected/" + csv))));
}

INSTANTIATE_TEST_SUITE_P(Documents, EditorExportOf,
                         ::testing::Values(DocumentCase{"sdopdo", "sdopdo-load-three"},
                                           DocumentCase{"emcydef", "emcydef-load-pages"},
                                           DocumentCase{"emcyword", "emcyword-load-pages"}),
                         readableName);

class EditorImportOf : public ::testing::TestWithParam<DocumentCase> {};

// The workbooks/<document>.xls fixtures hold the records of the import case
// before the one that ends it, so the command writes the case's document.
TEST_P(EditorImportOf, EachDocumentImportsAsItsWindowThenOk) {
    const DocumentCase& c = GetParam();
    TempDir project;
    copyInput(c.caseName, project);
    const std::string workbook = testing_support::testData(std::string("canopen/workbooks/") + c.document + ".xls");
    const Outcome outcome = run({"import", project.path(), c.document, workbook});
    EXPECT_EQ(outcome.exitCode, cli::kExitSuccess) << outcome.err;
    const std::string xml = std::string(c.document) + ".xml";
    EXPECT_EQ(testing_support::readFile(project / xml),
              testing_support::readFile(caseFile(c.caseName, "expected/" + xml)));

    // The full case workbook ends with a record that fails the import: reported, nothing written.
    TempDir again;
    copyInput(c.caseName, again);
    const Outcome failed = run({"import", again.path(), c.document, caseFile(c.caseName, "input/workbook.xls")});
    EXPECT_EQ(failed.exitCode, cli::kExitFailure);
    EXPECT_NE(failed.err.find("Row "), std::string::npos) << failed.err;
    EXPECT_FALSE(testing_support::exists(again / xml));
}

INSTANTIATE_TEST_SUITE_P(Documents, EditorImportOf,
                         ::testing::Values(DocumentCase{"sdopdo", "sdopdo-import-entries"},
                                           DocumentCase{"emcydef", "emcydef-import-pages"},
                                           DocumentCase{"emcyword", "emcyword-import-pages"}),
                         readableName);

TEST(StorePdoCommands, SdoXmlMessagesOnlyWarnWhileTheOthersFail) {
    TempDir project;
    copyInput("sdopdo-load-three", project);
    std::filesystem::remove(project / "sdo.xml");
    Outcome outcome = run({"export", project.path(), "sdopdo"});
    EXPECT_EQ(outcome.exitCode, cli::kExitSuccess);
    EXPECT_EQ(outcome.err, "warning: File SDO XML not found\n");
    EXPECT_EQ(
        testing_support::readFile(project / "sdopdo.csv"),
        testing_support::exportText(testing_support::readFile(caseFile("sdopdo-load-three", "expected/sdopdo.csv"))));

    TempDir noEntries;
    copyInput("sdopdo-load-missing", noEntries);
    outcome = run({"export", noEntries.path(), "sdopdo"});
    EXPECT_EQ(outcome.exitCode, cli::kExitFailure);
    EXPECT_EQ(outcome.err, "warning: File SDO XML not found\nFile SDOPDO XML not found\n");
    EXPECT_FALSE(testing_support::exists(noEntries / "sdopdo.csv"));

    TempDir noPdos;
    outcome = run({"import", noPdos.path(), "sdopdo", testing_support::testData("canopen/workbooks/sdopdo.xls")});
    EXPECT_EQ(outcome.exitCode, cli::kExitFailure);
    EXPECT_EQ(outcome.err, "File PDO XML not found\n");
    EXPECT_FALSE(testing_support::exists(noPdos / "sdopdo.xml"));
}

TEST(StorePdoCommands, PdoNumberZeroFailsTheImport) {
    TempDir project;
    copyInput("sdopdo-import-entries", project);
    const Outcome outcome = run({"import", project.path(), "sdopdo", project / "workbook.xls"});
    EXPECT_EQ(outcome.exitCode, cli::kExitFailure);
    EXPECT_EQ(outcome.err, "Row 7 of sheet sdopdo: PDO number 0 ends the import\n");
}

}  // namespace
