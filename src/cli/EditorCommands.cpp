#include "cli/EditorCommands.h"

#include <exception>
#include <functional>
#include <optional>
#include <vector>

#include "canopen/EditorDocuments.h"
#include "canopen/EmcyWord.h"
#include "canopen/StorePdo.h"
#include "canopen/TranslateEmcy.h"
#include "canopen/TranslatePdo.h"
#include "cli/TessaroCli.h"
#include "platform/FileSystem.h"

namespace cli {
namespace {

// What one editor's commands do, in the terms of its core operations. Each
// step answers the failure that ends the command, and adds warnings that do not.
struct EditorSteps {
    const char* document;
    // Load and write the CSV file.
    std::function<std::optional<std::string>(const std::string& projectDir, std::vector<std::string>& warnings)>
        exportCsv;
    // Import the workbook and write the document.
    std::function<std::optional<std::string>(const std::string& projectDir, const std::string& workbook,
                                             std::vector<std::string>& warnings)>
        importWorkbook;
};

std::string documentPath(const std::string& projectDir, const char* document) {
    return platform::joinPath(projectDir, std::string(document) + ".xml");
}

// Editors whose tables have a fixed number of rows count what did not fit.
template <class Content>
void warnLeftOut(const Content& content, std::vector<std::string>& warnings) {
    if constexpr (requires { content.leftOut; }) {
        if (content.leftOut > 0) warnings.push_back(canopen::leftOutMessage(content.leftOut));
    }
}

// The commands of an editor whose load, import, save and export follow the
// shared shape: load(path) and import(workbook) answer a reading whose value
// counts what it left out.
template <class Content>
EditorSteps sharedShapeEditor(const char* document, base::Reading<Content> (*load)(const std::string&),
                              base::Reading<Content> (*import)(const std::string&),
                              void (*save)(const std::string&, const Content&),
                              std::vector<canopen::CsvLine> (*exportLines)(const Content&)) {
    return EditorSteps{
        document,
        [=](const std::string& projectDir, std::vector<std::string>& warnings) -> std::optional<std::string> {
            const base::Reading<Content> reading = load(documentPath(projectDir, document));
            if (!reading.ok()) return reading.failure;
            warnLeftOut(reading.value, warnings);
            canopen::writeCsv(projectDir, document, exportLines(reading.value));
            return std::nullopt;
        },
        [=](const std::string& projectDir, const std::string& workbook,
            std::vector<std::string>& warnings) -> std::optional<std::string> {
            const base::Reading<Content> reading = import(workbook);
            if (!reading.ok()) return reading.failure;
            warnLeftOut(reading.value, warnings);
            save(documentPath(projectDir, document), reading.value);
            return std::nullopt;
        }};
}

// Store PDO reads three documents: the SDO check list of sdo.xml plays no part
// in an export, so its messages are only warnings there; the import starts
// from the PDOs of rpdodef.xml alone.
EditorSteps storePdoEditor() {
    const char* document = canopen::kSdopdoDocumentName;
    return EditorSteps{
        document,
        [=](const std::string& projectDir, std::vector<std::string>& warnings) -> std::optional<std::string> {
            const canopen::StorePdoReading reading =
                canopen::loadStorePdo(projectDir, documentPath(projectDir, document));
            if (reading.sdoFailure) warnings.push_back(*reading.sdoFailure);
            std::optional<std::string> failure;
            for (const auto* message : {&reading.pdoFailure, &reading.entriesFailure}) {
                if (*message) failure = failure ? *failure + "\n" + **message : **message;
            }
            if (failure) return failure;
            canopen::writeCsv(projectDir, document, canopen::exportStorePdo(reading.value));
            return std::nullopt;
        },
        [=](const std::string& projectDir, const std::string& workbook,
            std::vector<std::string>&) -> std::optional<std::string> {
            const base::Reading<canopen::StorePdoPages> pdos = canopen::loadStorePdoPdos(projectDir);
            if (!pdos.ok()) return pdos.failure;
            const base::Reading<canopen::StorePdoPages> reading = canopen::importStorePdo(workbook, pdos.value);
            if (!reading.ok()) return reading.failure;
            canopen::saveStorePdo(documentPath(projectDir, document), reading.value);
            return std::nullopt;
        }};
}

const std::vector<EditorSteps>& editors() {
    static const std::vector<EditorSteps> steps = {
        sharedShapeEditor<canopen::PdoTranslationTables>(canopen::kRpdodefDocumentName, canopen::loadTranslatePdo,
                                                         canopen::importTranslatePdo, canopen::saveTranslatePdo,
                                                         canopen::exportTranslatePdo),
        storePdoEditor(),
        sharedShapeEditor<canopen::EmcyPages>(canopen::kEmcydefDocumentName, canopen::loadTranslateEmcy,
                                              canopen::importTranslateEmcy, canopen::saveTranslateEmcy,
                                              canopen::exportTranslateEmcy),
        sharedShapeEditor<canopen::EmcyWordPages>(canopen::kEmcywordDocumentName, canopen::loadEmcyWord,
                                                  canopen::importEmcyWord, canopen::saveEmcyWord,
                                                  canopen::exportEmcyWord),
    };
    return steps;
}

const EditorSteps* findEditor(const std::string& document) {
    for (const EditorSteps& steps : editors()) {
        if (document == steps.document) return &steps;
    }
    return nullptr;
}

int finish(const std::function<std::optional<std::string>(std::vector<std::string>&)>& run,
           const std::string& projectDir, std::ostream& err) {
    std::vector<std::string> warnings;
    std::optional<std::string> failure;
    failure = projectFolderProblem(projectDir);
    if (!failure) {
        try {
            failure = run(warnings);
        } catch (const std::exception& e) {
            failure = e.what();
        }
    }
    for (const std::string& warning : warnings) err << "warning: " << warning << "\n";
    if (!failure) return kExitSuccess;
    err << *failure << "\n";
    return kExitFailure;
}

}  // namespace

bool isEditorDocument(const std::string& document) {
    return findEditor(document) != nullptr;
}

int runEditorExport(const std::string& projectDir, const std::string& document, std::ostream& err) {
    const EditorSteps* steps = findEditor(document);
    if (!steps) {
        err << "tessaro-cli: unknown document '" << document << "'\n";
        return kExitUsage;
    }
    return finish([&](std::vector<std::string>& warnings) { return steps->exportCsv(projectDir, warnings); },
                  projectDir, err);
}

int runEditorImport(const std::string& projectDir, const std::string& document, const std::string& workbook,
                    std::ostream& err) {
    const EditorSteps* steps = findEditor(document);
    if (!steps) {
        err << "tessaro-cli: unknown document '" << document << "'\n";
        return kExitUsage;
    }
    return finish(
        [&](std::vector<std::string>& warnings) { return steps->importWorkbook(projectDir, workbook, warnings); },
        projectDir, err);
}

}  // namespace cli
