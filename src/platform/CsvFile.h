#pragma once

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Comma-separated files as RFC 4180 gives them: fields separated by commas, a
// field holding a comma, a quote or a line end quoted with '"', a quote inside
// doubled. Reading goes through libcsv.
namespace platform {

// A file that is not such a file, or cannot be read; what() says which and why.
class CsvError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the file at path and hands its records to onRecord in order, each
// with its number in the file (from 1, a blank line counting as a record
// with one empty field, as spreadsheet programs show it). Lines may end in
// LF or CR LF, the last one may be unended; a UTF-8 byte order mark at the
// start is skipped. Fields are taken as they stand, blanks included.
// onRecord answers whether to go on. Throws CsvError "'<path>' cannot be
// read (<reason>)" for a file that cannot be read, and "'<path>', row <n>:
// a quote stands where none can (not a CSV file)" for a malformed record.
void readCsvRecords(const std::string& path,
                    const std::function<bool(std::size_t number, const std::vector<std::string>& fields)>& onRecord);

// One record as a CSV line: the fields quoted where needed, separated by
// commas, ended by CR LF.
std::string csvLine(const std::vector<std::string>& fields);

}  // namespace platform
