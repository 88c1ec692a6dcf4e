#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "base/Reading.h"
#include "base/XmlDocument.h"

// What the five CANopen editors share: reading an editor document record by
// record, the ordered write-out, the import of a workbook sheet and the CSV
// export. Every editor keeps its values as text, exactly as typed, read or
// imported; only keys and codes are converted, as integer text.
namespace canopen {

inline constexpr const char* kXmlParserNotInstalled = "Error XML parser not installed";
inline constexpr const char* kXmlFileNotFound = "File XML not found";
inline constexpr const char* kXmlFileUnreadable = "Error in reading file XML";
inline constexpr const char* kStringsFileNotFound = "File strings XML not found";

// The two messages a document read shows: when its file is missing and when it
// cannot be read. Store PDO reads three documents, each with its own pair.
struct DocumentMessages {
    const char* notFound;
    const char* unreadable;
};
inline constexpr DocumentMessages kEditorDocumentMessages{kXmlFileNotFound, kXmlFileUnreadable};

// One child of an editor document's root: a record whose attributes are read by name.
class DocumentRecord {
public:
    explicit DocumentRecord(base::XmlNode node) : m_node(node) {}
    // The attribute's text; throws std::runtime_error when it is absent.
    std::string text(std::string_view attribute) const { return m_node.attributeText(attribute); }
    // The attribute's text, or nothing when it is absent.
    std::optional<std::string> optionalText(std::string_view attribute) const { return m_node.attribute(attribute); }
    // The attribute read as integer text; throws when absent or not integer text.
    std::int32_t integer(std::string_view attribute) const;
    // The character data of the record and everything below it.
    std::string content() const { return m_node.text(); }

private:
    base::XmlNode m_node;
};

// Reads the document at path and hands each child of its document element, in
// document order, to place. Answers nothing when every child was placed;
// messages.notFound when there is no file at path (nothing is placed);
// messages.unreadable when the file is not well-formed or place threw (an
// absent attribute, a value that is not integer text). Records placed before
// a failure stay placed. Reads path only.
std::optional<std::string> readEditorDocument(const std::string& path, const DocumentMessages& messages,
                                              const std::function<void(const DocumentRecord&)>& place);

// The strings of a strings document, which the Select String window lists:
// string i is the content of child i of the document element, in document
// order; strings after the first limit are left out. Answers the strings read
// and, apart from them, the window's message: "File strings XML not found"
// when path is empty or names no file, "Error in reading file XML" when the
// file is not well-formed or has no document element. Reads path only, never
// throws.
base::Reading<std::vector<std::string>> readStringsDocument(const std::string& path, std::size_t limit);

// How one side's records are ordered when written: ascending by their keys (one
// to three values, compared in turn as integer text), records with equal keys
// in reverse list order (later-first) or in list order (earlier-first). Every
// key is compared over the whole integer range, however large, so no record is
// dropped or left out of the order.
enum class TieRule { LaterFirst, EarlierFirst };
struct WriteOrder {
    TieRule tie;
};

// The positions of the records in the order they are written, from each
// record's key texts (all records have the same number of keys). Throws
// std::runtime_error "'<text>' is not a valid integer value" for the first
// key, in list order, that is not integer text. Reads and writes nothing.
std::vector<std::size_t> orderedWriteOut(const std::vector<std::vector<std::string>>& keys, const WriteOrder& order);

// A written row element: its attributes in the order they are written.
using RowAttributes = std::vector<std::pair<const char*, std::string>>;

// Builds a document of root documentName with one "row" element per entry of
// rows, in order, and saves it to path, replacing the file atomically. Throws
// std::runtime_error when the file cannot be written; the previous file then
// stays whole.
void writeEditorDocument(const std::string& path, std::string_view documentName,
                         const std::vector<RowAttributes>& rows);

// Appends to rows the records of one side in their ordered write-out: keysOf
// gives a record's key texts, attributesOf its row. Throws as orderedWriteOut,
// before anything is appended.
template <class Record>
void appendOrdered(std::vector<RowAttributes>& rows, const std::vector<Record>& records, const WriteOrder& order,
                   const std::function<std::vector<std::string>(const Record&)>& keysOf,
                   const std::function<RowAttributes(const Record&)>& attributesOf) {
    std::vector<std::vector<std::string>> keys;
    keys.reserve(records.size());
    for (const Record& record : records) keys.push_back(keysOf(record));
    for (std::size_t position : orderedWriteOut(keys, order)) rows.push_back(attributesOf(records[position]));
}

// For editors whose records stand on two pages and whose CSV line is a
// record's values in the order of its attributes (Translate EMCY, EMCY word):
// valuesOf gives them for a record on a page, names the attribute names (which
// must outlive the call).
template <class Record>
using PageValues = std::function<std::vector<std::string>(const Record&, std::size_t page)>;

// Writes such an editor's document: page 0 then page 1, each in its ordered
// write-out, the attributes names[i] = valuesOf(record, page)[i]. Throws as
// orderedWriteOut and writeEditorDocument; nothing is written then.
template <class Record, class Names>
void writePagesDocument(const std::string& path, std::string_view documentName,
                        const std::array<std::vector<Record>, 2>& pages, const Names& names, const WriteOrder& order,
                        const std::function<std::vector<std::string>(const Record&)>& keysOf,
                        const PageValues<Record>& valuesOf) {
    std::vector<RowAttributes> rows;
    for (std::size_t page = 0; page < pages.size(); ++page) {
        appendOrdered<Record>(rows, pages[page], order, keysOf, [&](const Record& record) {
            const std::vector<std::string> values = valuesOf(record, page);
            RowAttributes attributes;
            for (std::size_t i = 0; i < values.size(); ++i) {
                if constexpr (std::is_same_v<std::decay_t<decltype(names[i])>, std::string>) {
                    attributes.emplace_back(names[i].c_str(), values[i]);
                } else {
                    attributes.emplace_back(names[i], values[i]);
                }
            }
            return attributes;
        });
    }
    writeEditorDocument(path, documentName, rows);
}

// Such an editor's export: one line per record, page 0 then page 1, in list order.
template <class Record>
std::vector<std::vector<std::string>> pagesLines(const std::array<std::vector<Record>, 2>& pages,
                                                 const PageValues<Record>& valuesOf) {
    std::vector<std::vector<std::string>> lines;
    for (std::size_t page = 0; page < pages.size(); ++page) {
        for (const Record& record : pages[page]) lines.push_back(valuesOf(record, page));
    }
    return lines;
}

// One record of a sheet: the texts of its first columns, an empty cell as "".
using SheetRecord = std::vector<std::string>;

// Imports the sheet of the workbook at workbookPath whose name, in lower case,
// is documentName + "$" (so a sheet named in capitals is found too): opened is
// called once the sheet is found and opened, then place receives each record in
// sheet order with the values of its first columnCount columns. Answers nothing
// when every record was placed, or the cause that ended the import: not a
// workbook, no sheet of that name, fewer columns than columnCount, or the text
// of what place threw (a value that is not integer text), with the record's
// row in the sheet. Records placed before the cause stay placed; the windows
// drop the cause, tessaro-cli reports it. Reads the workbook only.
std::optional<std::string> importSheet(const std::string& workbookPath, std::string_view documentName,
                                       std::size_t columnCount, const std::function<void()>& opened,
                                       const std::function<void(const SheetRecord&)>& place);

// One line of an exported file: its values, each written followed by ",".
using CsvLine = std::vector<std::string>;

// The file an export writes: projectDir + "/" + documentName + ".csv".
std::string csvPath(const std::string& projectDir, std::string_view documentName);

// The text of an export: every value followed by ",", unquoted, lines ended by
// CR LF, in the system's 8-bit code page (UTF-8 on Linux, Windows-1252 on
// Windows).
std::string csvText(const std::vector<CsvLine>& lines);

// Writes csvText(lines) to csvPath(projectDir, documentName), replacing the
// file atomically. Throws std::runtime_error with the input/output failure's
// text (missing folder, no rights); the previous file then stays whole.
void writeCsv(const std::string& projectDir, std::string_view documentName, const std::vector<CsvLine>& lines);

// Moves records into a side of at most capacity entries (a grid's rows): the
// record is placed when there is room, else counted in leftOut.
template <class Record>
void placeWithin(std::vector<Record>& side, std::size_t capacity, Record record, std::size_t& leftOut) {
    if (side.size() < capacity) {
        side.push_back(std::move(record));
    } else {
        ++leftOut;
    }
}

// The entries of a grid editor (Set PDO Access, Set SDO Access, Translate PDO):
// one row holds the texts of the grid's value columns (grid column c + 1 is
// cells[c]); the first table is the CAN A side (or the PROFIBUS input), the
// second the other. leftOut counts entries that a document or a workbook held
// beyond the grid's rows and that were therefore not placed.
template <std::size_t N>
using GridRow = std::array<std::string, N>;
template <std::size_t N>
struct GridTables {
    std::vector<GridRow<N>> first, second;
    std::size_t leftOut = 0;
};

// The rows of a grid table that are written: those before the first row whose
// key cell is empty, at most capacity.
template <std::size_t N>
std::size_t runLength(const std::vector<GridRow<N>>& rows, std::size_t keyCell, std::size_t capacity) {
    std::size_t length = 0;
    while (length < rows.size() && length < capacity && !rows[length][keyCell].empty()) ++length;
    return length;
}

// "N entries beyond the rows of the editor were left out", for the window's
// information box and tessaro-cli's standard error.
std::string leftOutMessage(std::size_t leftOut);

}  // namespace canopen
