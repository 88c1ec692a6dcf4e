#include "platform/CsvFile.h"

#include <csv.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/FileSystem.h"

namespace platform {
namespace {

// What libcsv's callbacks build: the fields of the record under way, and
// the records' numbers in the file.
struct Records {
    const std::function<bool(std::size_t, const std::vector<std::string>&)>* onRecord;
    std::vector<std::string> fields;
    std::size_t number = 0;
    bool lastEndedByCr = false;
    bool stopped = false;
};

void takeField(void* text, std::size_t length, void* data) {
    auto* records = static_cast<Records*>(data);
    records->fields.emplace_back(text ? static_cast<const char*>(text) : "", text ? length : 0);
}

// Every line end is reported (CSV_REPALL_NL), so that a blank line is a row
// as in a spreadsheet; the LF of a CR LF is the same line end as its CR.
void endRecord(int terminator, void* data) {
    auto* records = static_cast<Records*>(data);
    const bool endedByCr = terminator == CSV_CR;
    if (records->fields.empty() && terminator == CSV_LF && records->lastEndedByCr) {
        records->lastEndedByCr = false;
        return;
    }
    records->lastEndedByCr = endedByCr;
    if (records->stopped) return;
    if (records->fields.empty()) records->fields.emplace_back();
    ++records->number;
    if (!(*records->onRecord)(records->number, records->fields)) records->stopped = true;
    records->fields.clear();
}

// Blanks around an unquoted field are part of it, as RFC 4180 has it.
int noBlanks(unsigned char) {
    return 0;
}

struct Parser {
    csv_parser parser{};
    Parser() {
        if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL) != 0)
            throw CsvError("The CSV reader cannot start (out of memory)");
        csv_set_space_func(&parser, noBlanks);
    }
    ~Parser() { csv_free(&parser); }
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;
};

bool needsQuotes(const std::string& field) {
    return field.find_first_of(",\"\r\n") != std::string::npos ||
           (!field.empty() &&
            (field.front() == ' ' || field.back() == ' ' || field.front() == '\t' || field.back() == '\t'));
}

}  // namespace

void readCsvRecords(const std::string& path,
                    const std::function<bool(std::size_t, const std::vector<std::string>&)>& onRecord) {
    const PathStatus status = examinePath(path);
    const std::string named = "'" + path + "' cannot be read (";
    switch (status.kind) {
        case PathKind::File: break;
        case PathKind::Missing: throw CsvError(named + "file not found)");
        case PathKind::Folder: throw CsvError(named + "a folder)");
        case PathKind::Other:
        case PathKind::Unexaminable: throw CsvError(named + status.reason + ")");
    }
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(openFile(path, "rb"), std::fclose);
    if (!file) throw CsvError(named + std::strerror(errno) + ")");

    Parser parser;
    Records records{&onRecord};
    char buffer[65536];
    bool first = true;
    while (!records.stopped) {
        std::size_t length = std::fread(buffer, 1, sizeof buffer, file.get());
        if (length == 0) {
            if (std::ferror(file.get())) throw CsvError(named + "a read error)");
            break;
        }
        const char* start = buffer;
        if (first && length >= 3 && std::memcmp(buffer, "\xEF\xBB\xBF", 3) == 0) {
            start += 3;
            length -= 3;
        }
        first = false;
        if (csv_parse(&parser.parser, start, length, takeField, endRecord, &records) != length) {
            if (records.stopped) return;
            if (csv_error(&parser.parser) == CSV_EPARSE) {
                throw CsvError("'" + path + "', row " + std::to_string(records.number + 1) +
                               ": a quote stands where none can (not a CSV file)");
            }
            throw CsvError(named + csv_strerror(csv_error(&parser.parser)) + ")");
        }
    }
    if (records.stopped) return;
    if (csv_fini(&parser.parser, takeField, endRecord, &records) != 0) {
        throw CsvError("'" + path + "', row " + std::to_string(records.number + 1) +
                       ": a quoted field is not closed (not a CSV file)");
    }
}

std::string csvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += ',';
        const std::string& field = fields[i];
        if (!needsQuotes(field)) {
            line += field;
            continue;
        }
        line += '"';
        for (const char c : field) {
            if (c == '"') line += '"';
            line += c;
        }
        line += '"';
    }
    line += "\r\n";
    return line;
}

}  // namespace platform
