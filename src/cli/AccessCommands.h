#pragma once

#include <optional>
#include <ostream>
#include <string>

// tessaro-cli's import and export of the access tables of sdo.xml, for
// integrators who keep the registers of a serial device in a spreadsheet.
namespace cli {

// True for the tables the two commands serve: access-in, access-out.
bool isAccessTable(const std::string& table);

// import PROJECT_DIR access-in|access-out FILE [--sheet NAME]: replaces that
// table of PROJECT_DIR/sdo.xml by the rows of FILE (documents/AccessTableFiles.h)
// and keeps the other as stored. A failure (naming the file, its row and
// column, or pargen.xml or sdo.xml): the message on err, kExitFailure, nothing
// written.
int runAccessImport(const std::string& projectDir, const std::string& table, const std::string& file,
                    const std::optional<std::string>& sheet, std::ostream& err);

// export PROJECT_DIR access-in|access-out FILE: writes the stored table to
// FILE as CSV. A failure: the message on err, kExitFailure, FILE unchanged.
int runAccessExport(const std::string& projectDir, const std::string& table, const std::string& file,
                    std::ostream& err);

}  // namespace cli
