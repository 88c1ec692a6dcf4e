#include "canopen/Editors.h"

#include "canopen/EmcyWord.h"
#include "canopen/PdoAccess.h"
#include "canopen/SdoAccess.h"
#include "canopen/StorePdo.h"
#include "canopen/TranslateEmcy.h"
#include "canopen/TranslatePdo.h"
#include "platform/FileSystem.h"

namespace canopen {
namespace {

std::string fileIn(const std::string& projectDir, const char* file) {
    return platform::joinPath(projectDir, file);
}

// Editors whose tables have a fixed number of rows count what did not fit;
// after a failure that count is not told, the failure is.
template <class Content>
EditorReading editorReading(const base::Reading<Content>& reading) {
    EditorReading result{reading.value, {}, {}};
    if (reading.failure) {
        result.failures.push_back(*reading.failure);
    } else if constexpr (requires { reading.value.leftOut; }) {
        if (reading.value.leftOut > 0) result.warnings.push_back(leftOutMessage(reading.value.leftOut));
    }
    return result;
}

// The operations of an editor whose load(path) and import(workbook) answer a
// reading of its content, and whose save and export take that content.
template <class Content, const char* const& File, base::Reading<Content> (*Load)(const std::string&)>
EditorReading loadFile(const std::string& projectDir) {
    return editorReading(Load(fileIn(projectDir, File)));
}

template <class Content, base::Reading<Content> (*Import)(const std::string&)>
EditorReading importSheet(const std::string&, const std::string& workbookPath) {
    return editorReading(Import(workbookPath));
}

template <class Content, const char* const& File, void (*Save)(const std::string&, const Content&)>
void saveFile(const std::string& projectDir, const std::any& content) {
    Save(fileIn(projectDir, File), std::any_cast<const Content&>(content));
}

template <class Content, std::vector<CsvLine> (*Export)(const Content&)>
std::vector<CsvLine> exportContent(const std::any& content) {
    return Export(std::any_cast<const Content&>(content));
}

// Store PDO reads three documents: the messages about sdo.xml's check list do
// not concern its own tables, so they are only warnings; the import starts
// from the PDOs of rpdodef.xml alone.
EditorReading loadStorePdoEditor(const std::string& projectDir) {
    const StorePdoReading reading = loadStorePdo(projectDir, fileIn(projectDir, kSdopdoFileName));
    EditorReading result{reading.value, {}, {}};
    if (reading.sdoFailure) result.warnings.push_back(*reading.sdoFailure);
    for (const auto* failure : {&reading.pdoFailure, &reading.entriesFailure}) {
        if (*failure) result.failures.push_back(**failure);
    }
    return result;
}

EditorReading importStorePdoEditor(const std::string& projectDir, const std::string& workbookPath) {
    const base::Reading<StorePdoPages> pdos = loadStorePdoPdos(projectDir);
    if (!pdos.ok()) return editorReading(pdos);
    return editorReading(importStorePdo(workbookPath, pdos.value));
}

}  // namespace

std::optional<std::string> EditorReading::failure() const {
    if (failures.empty()) return std::nullopt;
    std::string text = failures.front();
    for (std::size_t i = 1; i < failures.size(); ++i) text += "\n" + failures[i];
    return text;
}

const EditorDescriptor kSdoEditor{
    kSdoDocumentName,
    kSdoTableFileName,
    loadFile<SdoAccessTables, kSdoTableFileName, loadSdoAccess>,
    importSheet<SdoAccessTables, importSdoAccess>,
    nullptr,
    exportContent<SdoAccessTables, exportSdoAccess>,
};

const EditorDescriptor kPdoEditor{
    kPdoDocumentName,
    kPdoFileName,
    loadFile<PdoAccessTables, kPdoFileName, loadPdoAccess>,
    nullptr,
    saveFile<PdoAccessTables, kPdoFileName, savePdoAccess>,
    nullptr,
};

const EditorDescriptor kTranslatePdoEditor{
    kRpdodefDocumentName,
    kRpdodefFileName,
    loadFile<PdoTranslationTables, kRpdodefFileName, loadTranslatePdo>,
    importSheet<PdoTranslationTables, importTranslatePdo>,
    saveFile<PdoTranslationTables, kRpdodefFileName, saveTranslatePdo>,
    exportContent<PdoTranslationTables, exportTranslatePdo>,
};

const EditorDescriptor kStorePdoEditor{
    kSdopdoDocumentName,
    kSdopdoFileName,
    loadStorePdoEditor,
    importStorePdoEditor,
    saveFile<StorePdoPages, kSdopdoFileName, saveStorePdo>,
    exportContent<StorePdoPages, exportStorePdo>,
};

const EditorDescriptor kTranslateEmcyEditor{
    kEmcydefDocumentName,
    kEmcydefFileName,
    loadFile<EmcyPages, kEmcydefFileName, loadTranslateEmcy>,
    importSheet<EmcyPages, importTranslateEmcy>,
    saveFile<EmcyPages, kEmcydefFileName, saveTranslateEmcy>,
    exportContent<EmcyPages, exportTranslateEmcy>,
};

const EditorDescriptor kEmcyWordEditor{
    kEmcywordDocumentName,
    kEmcywordFileName,
    loadFile<EmcyWordPages, kEmcywordFileName, loadEmcyWord>,
    importSheet<EmcyWordPages, importEmcyWord>,
    saveFile<EmcyWordPages, kEmcywordFileName, saveEmcyWord>,
    exportContent<EmcyWordPages, exportEmcyWord>,
};

const std::array<const EditorDescriptor*, 6>& editorDescriptors() {
    static const std::array<const EditorDescriptor*, 6> all = {
        &kSdoEditor, &kPdoEditor, &kTranslatePdoEditor, &kStorePdoEditor, &kTranslateEmcyEditor, &kEmcyWordEditor};
    return all;
}

const EditorDescriptor* findEditor(const std::string& document) {
    for (const EditorDescriptor* editor : editorDescriptors()) {
        if (document == editor->document) return editor;
    }
    return nullptr;
}

}  // namespace canopen
