#pragma once

#include <any>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "canopen/EditorDocuments.h"

// The CANopen editors as data: one descriptor per editor document, so that
// whoever serves the editors all alike (tessaro-cli's import and export, the
// workspace's document paths, the tests and the fuzz targets) reads them from
// one list instead of naming each editor's operations.
namespace canopen {

// What an editor's load or import read. content holds the editor's own
// content type (PdoTranslationTables, StorePdoPages, ...), with whatever was
// read before a failure. failures are the messages about the editor's own
// reading, warnings the ones that do not stop a command: entries beyond the
// window's rows (told only when nothing failed), and for Store PDO the
// messages about sdo.xml. Both are in the order the window shows them,
// warnings first.
struct EditorReading {
    std::any content;
    std::vector<std::string> warnings;
    std::vector<std::string> failures;

    bool ok() const { return failures.empty(); }
    // The failures as one message, one a line; nothing when there are none.
    std::optional<std::string> failure() const;
};

// One editor document and the core operations its window calls. An operation
// the editor does not have is null.
struct EditorDescriptor {
    const char* document;  // the document name: root element, sheet name, CSV file stem
    const char* file;      // the document's file in the project folder
    // Reads projectDir/file (and what else the window reads with it) as
    // showing the window does. Never throws for the document's content.
    EditorReading (*load)(const std::string& projectDir);
    // Reads the sheet named document of workbookPath as the window's Import
    // does, starting from what the project gives the import (Store PDO: the
    // PDOs of rpdodef.xml). Never throws for the workbook's content.
    EditorReading (*import)(const std::string& projectDir, const std::string& workbookPath);
    // Writes content to projectDir/file in the ordered write-out; throws as the
    // editor's save, the previous file then stays whole.
    void (*save)(const std::string& projectDir, const std::any& content);
    // The CSV lines of the window's Export of content.
    std::vector<CsvLine> (*exportLines)(const std::any& content);

    // True for an editor that has all four operations: the editors whose
    // tables tessaro-cli imports and exports.
    bool complete() const { return load && import && save && exportLines; }
};

extern const EditorDescriptor kSdoEditor;            // "Set SDO Access": sdo.xml
extern const EditorDescriptor kPdoEditor;            // "Set PDO Access": pdo.xml
extern const EditorDescriptor kTranslatePdoEditor;   // rpdodef.xml
extern const EditorDescriptor kStorePdoEditor;       // sdopdo.xml
extern const EditorDescriptor kTranslateEmcyEditor;  // emcydef.xml
extern const EditorDescriptor kEmcyWordEditor;       // emcyword.xml

// Every editor document, in the order above.
const std::array<const EditorDescriptor*, 6>& editorDescriptors();

// The descriptor whose document name is document, or null.
const EditorDescriptor* findEditor(const std::string& document);

}  // namespace canopen
