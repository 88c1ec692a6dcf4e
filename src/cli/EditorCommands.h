#pragma once

#include <ostream>
#include <string>

// tessaro-cli's import and export of the CANopen editors' tables, for
// integrators who keep them in a spreadsheet. Each runs the same core
// operations as the editor's window.
namespace cli {

// True for the documents the two commands serve: rpdodef, sdopdo, emcydef, emcyword.
bool isEditorDocument(const std::string& document);

// export PROJECT_DIR DOCUMENT: loads the editor's content from the project as
// showing its window does and writes PROJECT_DIR/DOCUMENT.csv as its "Export"
// would right after. A message the showing would give about the editor's own
// document goes to err and answers kExitFailure with no CSV written or
// replaced; entries beyond the window's rows, and for sdopdo the messages about
// sdo.xml, are warnings on err that do not change the exit status.
int runEditorExport(const std::string& projectDir, const std::string& document, std::ostream& err);

// import PROJECT_DIR DOCUMENT WORKBOOK: the window's "Import" of workbook, then
// its "OK": writes PROJECT_DIR/DOCUMENT.xml in the ordered write-out. Why an
// import failed (not a workbook, no sheet of that name, too few columns, a
// value that is not integer text), a key that is not integer text at the
// write, or for sdopdo a missing or damaged rpdodef.xml: the message on err,
// kExitFailure, the document unchanged.
int runEditorImport(const std::string& projectDir, const std::string& document, const std::string& workbook,
                    std::ostream& err);

}  // namespace cli
