// Each CANopen editor's load, import, save and export against golden files.
// A case is a folder below tests/data/canopen/cases named after the document it
// is about ("rpdodef-import-capitals"): input/ is copied as the project folder;
// with input/workbook.xls the case imports it, else it loads the project as
// showing the window does. expected/ holds content.txt (what was read: the
// records of both sides and the failure), the document the save writes (or
// save-failure.txt with the message that stopped it) and the CSV file of the
// export. A missing golden file fails the case; the actual output is left in
// $TMPDIR/tessaro-golden/<case>/ for review. A case with input/workbook.xlsx or
// input/workbook.ods (the same workbook saved by a spreadsheet program in those
// formats) runs again from each, against the same golden files: the import's
// rules do not depend on the format.
#include <gtest/gtest.h>

#include <any>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <sstream>

#include "canopen/EditorDocuments.h"
#include "canopen/Editors.h"
#include "canopen/EmcyWord.h"
#include "canopen/PdoAccess.h"
#include "canopen/SdoAccess.h"
#include "canopen/StorePdo.h"
#include "canopen/TranslateEmcy.h"
#include "canopen/TranslatePdo.h"
#include "support/ExportText.h"
#include "support/TestFiles.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

std::string failureLines(const std::optional<std::string>& failure) {
    return failure ? "failure: " + *failure + "\n" : std::string();
}

template <std::size_t N>
std::string dumpGrid(const canopen::GridTables<N>& tables) {
    std::ostringstream text;
    if (tables.leftOut > 0) text << "left out: " << tables.leftOut << "\n";
    for (const auto& [side, rows] : {std::pair{"first", &tables.first}, std::pair{"second", &tables.second}}) {
        text << side << ":\n";
        for (const auto& row : *rows) {
            text << " ";
            for (const std::string& cell : row) text << " [" << cell << "]";
            text << "\n";
        }
    }
    return text.str();
}

std::string cells(std::initializer_list<const std::string*> values) {
    std::string text;
    for (const std::string* value : values) text += " [" + *value + "]";
    return text;
}

std::string dumpStorePdo(const canopen::StorePdoPages& pages) {
    std::ostringstream text;
    for (std::size_t page = 0; page < pages.pages.size(); ++page) {
        text << "page " << canopen::kStorePdoPageTexts[page].caption << ":\n";
        for (const canopen::SdoCheckEntry& check : pages.pages[page].sdoChecks) {
            text << "  sdo check" << cells({&check.IndexA, &check.SubindexA}) << "\n";
        }
        const auto& pdos = pages.pages[page].pdos;
        for (std::size_t p = 0; p < pdos.size(); ++p) {
            text << "  pdo " << p + 1 << cells({&pdos[p].cobid}) << "\n";
            for (const canopen::TClSdo& entry : pdos[p].entries) {
                text << "   " << cells({&entry.index, &entry.subindex, &entry.poscomp}) << "\n";
            }
        }
    }
    return text.str();
}

std::string dumpEmcy(const canopen::EmcyPages& pages) {
    std::ostringstream text;
    for (std::size_t page = 0; page < pages.pages.size(); ++page) {
        text << "page " << canopen::kTranslateEmcyPages[page] << ":\n";
        for (const canopen::TClEmcy& entry : pages.pages[page]) {
            text << "  line [" << entry.line << "] switch " << entry.translate << " alias " << entry.alias << ":";
            for (const std::string& field : entry.fields) text << " [" << field << "]";
            text << "\n";
        }
    }
    return text.str();
}

std::string dumpEmcyWord(const canopen::EmcyWordPages& pages) {
    std::ostringstream text;
    for (std::size_t page = 0; page < pages.pages.size(); ++page) {
        text << "page " << canopen::kEmcyWordPages[page] << ":\n";
        for (const canopen::TClWEmcy& word : pages.pages[page]) {
            text << "  " << canopen::wordNodeText(word) << cells({&word.index_addrm, &word.subindex, &word.devid})
                 << "\n   ";
            for (const canopen::ClEbm& bit : word.bits) text << cells({&bit.b0, &bit.b1, &bit.poscomp});
            text << "\n";
        }
    }
    return text.str();
}

// How a case shows the content an editor read, by the content's own type.
template <class Content, auto Dump>
std::string dumpContent(const std::any& content) {
    return Dump(std::any_cast<const Content&>(content));
}

using ContentDump = std::string (*)(const std::any&);

const std::map<std::string, ContentDump>& contentDumps() {
    static const std::map<std::string, ContentDump> dumps = {
        {canopen::kSdoDocumentName, dumpContent<canopen::SdoAccessTables, dumpGrid<canopen::kSdoValueColumns>>},
        {canopen::kPdoDocumentName, dumpContent<canopen::PdoAccessTables, dumpGrid<canopen::kPdoValueColumns>>},
        {canopen::kRpdodefDocumentName,
         dumpContent<canopen::PdoTranslationTables, dumpGrid<canopen::kTranslatePdoValueColumns>>},
        {canopen::kSdopdoDocumentName, dumpContent<canopen::StorePdoPages, dumpStorePdo>},
        {canopen::kEmcydefDocumentName, dumpContent<canopen::EmcyPages, dumpEmcy>},
        {canopen::kEmcywordDocumentName, dumpContent<canopen::EmcyWordPages, dumpEmcyWord>},
    };
    return dumps;
}

// What a case read: Store PDO's showing lists every message it shows, in
// order; every other reading its failure.
std::string readingText(const canopen::EditorDescriptor& editor, const canopen::EditorReading& reading, bool loaded) {
    std::string text;
    if (loaded && editor.document == std::string(canopen::kSdopdoDocumentName)) {
        for (const auto* messages : {&reading.warnings, &reading.failures}) {
            for (const std::string& message : *messages) text += "message: " + message + "\n";
        }
    } else {
        text = failureLines(reading.failure());
    }
    return text + contentDumps().at(editor.document)(reading.content);
}

fs::path casesRoot() {
    return fs::path(testing_support::testData("canopen/cases"));
}

// A case and the workbook it imports, when it imports one.
struct CaseRun {
    std::string caseName;
    std::string workbookFile;
};

void PrintTo(const CaseRun& run, std::ostream* os) {
    *os << run.caseName << " from " << run.workbookFile;
}

std::vector<CaseRun> caseRuns() {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(casesRoot())) {
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    std::vector<CaseRun> runs;
    for (const std::string& name : names) {
        runs.push_back({name, "workbook.xls"});
        for (const char* copy : {"workbook.xlsx", "workbook.ods"}) {
            if (fs::exists(casesRoot() / name / "input" / copy)) runs.push_back({name, copy});
        }
    }
    return runs;
}

// A golden text is kept as written on Linux; encode turns it into this system's form.
void expectGolden(const std::string& caseName, const std::string& file, const std::string& actual,
                  std::string (*encode)(const std::string&) = nullptr) {
    const fs::path expected = casesRoot() / caseName / "expected" / file;
    if (!fs::exists(expected)) {
        const fs::path review = fs::temp_directory_path() / "tessaro-golden" / caseName / file;
        testing_support::writeFile(review.string(), actual);
        ADD_FAILURE() << "no golden file " << expected << "; the output is in " << review;
        return;
    }
    const std::string golden = testing_support::readFile(expected.string());
    EXPECT_EQ(actual, encode ? encode(golden) : golden) << caseName << "/" << file;
}

class EditorCases : public ::testing::TestWithParam<CaseRun> {};

TEST_P(EditorCases, MatchTheGoldenFiles) {
    const std::string& caseName = GetParam().caseName;
    const std::string document = caseName.substr(0, caseName.find('-'));
    const canopen::EditorDescriptor* editor = canopen::findEditor(document);
    ASSERT_NE(editor, nullptr) << "no editor for the case " << caseName;

    TempDir project;
    fs::copy(casesRoot() / caseName / "input", project.path(), fs::copy_options::recursive);
    const std::string workbookPath = project / GetParam().workbookFile;
    const bool imports = fs::exists(workbookPath);
    ASSERT_TRUE(!imports || editor->import) << caseName << ": " << document << " imports no workbook";

    const canopen::EditorReading reading =
        imports ? editor->import(project.path(), workbookPath) : editor->load(project.path());
    // Messages that name a file name it below the project folder, wherever the test runs.
    std::string content = readingText(*editor, reading, !imports);
    const std::string below = project.path() + platform::kPathSeparator;
    for (std::size_t at = content.find(below); at != std::string::npos; at = content.find(below)) {
        content.replace(at, below.size(), "<project>/");
    }
    for (std::size_t at = content.find(project.path()); at != std::string::npos; at = content.find(project.path())) {
        content.replace(at, project.path().size(), "<project>");
    }
    // The golden messages name the workbook as the .xls file.
    const std::string named = "<project>/" + GetParam().workbookFile;
    for (std::size_t at = content.find(named); at != std::string::npos; at = content.find(named, at + 1)) {
        content.replace(at, named.size(), "<project>/workbook.xls");
    }
    expectGolden(caseName, "content.txt", content);

    if (editor->save) {
        const std::string documentPath = project / editor->file;
        const std::optional<std::string> before =
            fs::exists(documentPath) ? std::optional<std::string>(testing_support::readFile(documentPath))
                                     : std::nullopt;
        const std::string failure = testing_support::failureOf([&] { editor->save(project.path(), reading.content); });
        if (failure == "no failure") {
            expectGolden(caseName, editor->file, testing_support::readFile(documentPath));
        } else {
            expectGolden(caseName, "save-failure.txt", failure + "\n");
            // Nothing is written when the save fails.
            EXPECT_EQ(fs::exists(documentPath) ? std::optional<std::string>(testing_support::readFile(documentPath))
                                               : std::nullopt,
                      before);
        }
    }
    if (editor->exportLines) {
        canopen::writeCsv(project.path(), document, editor->exportLines(reading.content));
        expectGolden(caseName, document + ".csv", testing_support::readFile(project / (document + ".csv")),
                     testing_support::exportText);
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, EditorCases, ::testing::ValuesIn(caseRuns()),
                         [](const ::testing::TestParamInfo<CaseRun>& info) {
                             std::string name;
                             bool upper = true;
                             std::string words = info.param.caseName;
                             if (info.param.workbookFile != "workbook.xls")
                                 words +=
                                     "-from-" + info.param.workbookFile.substr(info.param.workbookFile.find('.') + 1);
                             for (char c : words) {
                                 if (c == '-') {
                                     upper = true;
                                     continue;
                                 }
                                 name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
                                 upper = false;
                             }
                             return name;
                         });

}  // namespace
