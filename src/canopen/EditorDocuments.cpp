#include "canopen/EditorDocuments.h"

#include <algorithm>
#include <exception>
#include <tuple>

#include "base/IntegerText.h"
#include "base/XmlText.h"
#include "platform/ExportCodePage.h"
#include "platform/FileSystem.h"
#include "platform/Spreadsheet.h"

namespace canopen {
namespace {

std::string lowerCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

}  // namespace

std::int32_t DocumentRecord::integer(std::string_view attribute) const {
    return base::integerText(text(attribute));
}

std::optional<std::string> readEditorDocument(const std::string& path, const DocumentMessages& messages,
                                              const std::function<void(const DocumentRecord&)>& place) {
    if (!platform::fileExists(path)) return std::string(messages.notFound);
    try {
        base::XmlDocument document;
        document.load(path);
        const base::XmlNode root = document.documentElement();
        if (!root) throw std::runtime_error("no root element");
        for (base::XmlNode child = root.child(0); child; child = child.nextSibling()) {
            place(DocumentRecord(child));
        }
    } catch (const std::exception&) {
        return std::string(messages.unreadable);
    }
    return std::nullopt;
}

base::Reading<std::vector<std::string>> readStringsDocument(const std::string& path, std::size_t limit) {
    base::Reading<std::vector<std::string>> strings;
    strings.failure =
        readEditorDocument(path, {kStringsFileNotFound, kXmlFileUnreadable}, [&](const DocumentRecord& record) {
            if (strings.value.size() < limit) strings.value.push_back(record.content());
        });
    return strings;
}

std::vector<std::size_t> orderedWriteOut(const std::vector<std::vector<std::string>>& keys, const WriteOrder& order) {
    std::vector<std::vector<std::int32_t>> values;
    values.reserve(keys.size());
    for (const auto& texts : keys) {
        std::vector<std::int32_t> row;
        row.reserve(texts.size());
        for (const std::string& text : texts) row.push_back(base::integerText(text));
        values.push_back(std::move(row));
    }
    std::vector<std::size_t> positions(keys.size());
    for (std::size_t i = 0; i < positions.size(); ++i) {
        positions[i] = order.tie == TieRule::LaterFirst ? positions.size() - 1 - i : i;
    }
    std::stable_sort(positions.begin(), positions.end(),
                     [&](std::size_t a, std::size_t b) { return values[a] < values[b]; });
    return positions;
}

void writeEditorDocument(const std::string& path, std::string_view documentName,
                         const std::vector<RowAttributes>& rows) {
    // A character XML cannot hold would be written as a reference that no
    // reader takes back: the document would be lost to every later showing.
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (const auto& [name, value] : rows[row]) {
            if (const auto found = base::firstNonXmlCharacter(value)) {
                throw base::CharacterRefused("Error row " + std::to_string(row + 1) + "!! [" +
                                             std::string(documentName) + "] " + base::characterRefusal(name, *found) +
                                             ". ");
            }
        }
    }
    base::XmlDocument document;
    base::XmlNode root = document.appendRoot(documentName);
    for (const RowAttributes& attributes : rows) {
        base::XmlNode row = root.appendElement("row");
        for (const auto& [name, value] : attributes) row.setAttribute(name, value);
    }
    document.save(path);
}

std::optional<std::string> importSheet(const std::string& workbookPath, std::string_view documentName,
                                       std::size_t columnCount, const std::function<void()>& opened,
                                       const std::function<void(const SheetRecord&)>& place) {
    const std::string wanted = std::string(documentName) + "$";
    std::size_t record = 0;
    std::optional<std::string> refusal;
    try {
        platform::Workbook workbook(workbookPath);
        const std::vector<std::string> names = workbook.tableNames();
        const auto found = std::find_if(names.begin(), names.end(),
                                        [&](const std::string& name) { return lowerCase(name) == wanted; });
        if (found == names.end())
            return "The workbook '" + workbookPath + "' has no sheet " + std::string(documentName);
        const platform::SheetQuery query = workbook.query(*found);
        // A value that no document can hold refuses the whole sheet before
        // anything is placed, so an import never leaves half its rows behind.
        for (std::size_t r = 0; r < query.recordCount(); ++r) {
            for (std::size_t column = 0; column < std::min(columnCount, query.columnCount()); ++column) {
                const std::optional<std::string> value = query.value(r, column);
                if (!value) continue;
                if (const auto bad = base::firstNonXmlCharacter(*value)) {
                    // The sheet's first row holds the column names, so record r stands in row r + 2.
                    refusal = base::characterRefusal("Row " + std::to_string(r + 2) + ", column " +
                                                         std::to_string(column + 1) + " of sheet " +
                                                         std::string(documentName),
                                                     *bad);
                    break;
                }
            }
            if (refusal) break;
        }
        if (refusal) return *refusal;
        opened();
        for (; record < query.recordCount(); ++record) {
            if (query.columnCount() < columnCount) {
                return "The sheet " + found->substr(0, found->size() - 1) + " has " +
                       std::to_string(query.columnCount()) + " columns, fewer than the " + std::to_string(columnCount) +
                       " that are imported";
            }
            SheetRecord values;
            values.reserve(columnCount);
            for (std::size_t column = 0; column < columnCount; ++column) {
                values.push_back(query.value(record, column).value_or(std::string()));
            }
            place(values);
        }
    } catch (const platform::SpreadsheetError& e) {
        return e.what();
    } catch (const std::exception& e) {
        // The sheet's first row holds the column names, so record r stands in row r + 2.
        return "Row " + std::to_string(record + 2) + " of sheet " + std::string(documentName) + ": " + e.what();
    }
    return std::nullopt;
}

std::string csvPath(const std::string& projectDir, std::string_view documentName) {
    return projectDir + "/" + std::string(documentName) + ".csv";
}

std::string csvText(const std::vector<CsvLine>& lines) {
    std::string text;
    std::size_t size = 0;
    for (const CsvLine& line : lines) {
        size += 2;
        for (const std::string& value : line) size += value.size() + 1;
    }
    text.reserve(size);
    for (const CsvLine& line : lines) {
        for (const std::string& value : line) {
            platform::appendInExportCodePage(text, value);
            text += ',';
        }
        text += "\r\n";
    }
    return text;
}

void writeCsv(const std::string& projectDir, std::string_view documentName, const std::vector<CsvLine>& lines) {
    platform::writeFileAtomically(csvPath(projectDir, documentName), csvText(lines));
}

std::string leftOutMessage(std::size_t leftOut) {
    return std::to_string(leftOut) + (leftOut == 1 ? " entry" : " entries") +
           " beyond the rows of the tables could not be placed and were left out";
}

}  // namespace canopen
