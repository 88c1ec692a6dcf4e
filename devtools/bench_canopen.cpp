// Measures the CANopen editors' spreadsheet import and CSV export with the Set
// SDO Access tables, the largest: the import of a 1500-row sheet (read with
// FreeXL and placed into both tables) and the export of 3002 lines from two
// full tables of 1500 entries (built and written to the project's sdo.csv).
// Prints the median and the worst of a number of runs, in milliseconds.
//
// Usage: tessaro-bench-canopen [RUNS [WORKBOOK]]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "BenchFigure.h"
#include "canopen/SdoAccess.h"

namespace {

struct Figures {
    double median, worst;
};

Figures measure(int runs, const std::function<void()>& action) {
    const std::vector<double> times = bench::timeRuns(runs, action);
    return {bench::median(times), *std::max_element(times.begin(), times.end())};
}

canopen::SdoAccessTables fullTables() {
    canopen::SdoAccessTables tables;
    for (auto* side : {&tables.first, &tables.second}) {
        for (std::size_t r = 0; r < canopen::kSdoTableEntries; ++r) {
            side->push_back({r % 2 ? "1" : "0", "0x" + std::to_string(2000 + r), std::to_string(r % 256),
                             std::to_string(1 + r % 127), std::to_string(4096 + r), std::to_string(r % 8),
                             std::to_string(1 + r % 4), "entry " + std::to_string(r) + " of the table"});
        }
    }
    return tables;
}

}  // namespace

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const std::string workbook = argc > 2 ? argv[2] : TESSARO_TEST_DATA "/canopen/workbooks/sdo-1500.xls";

    std::size_t imported = 0;
    const Figures import = measure(runs, [&] {
        const auto reading = canopen::importSdoAccess(workbook);
        if (!reading.ok()) {
            std::fprintf(stderr, "import failed: %s\n", reading.failure->c_str());
            std::exit(1);
        }
        imported = reading.value.first.size() + reading.value.second.size();
    });

    const std::filesystem::path project = std::filesystem::temp_directory_path() / "tessaro-bench-canopen";
    std::filesystem::create_directories(project);
    const canopen::SdoAccessTables tables = fullTables();
    std::size_t lines = 0;
    const Figures exported = measure(runs, [&] {
        const std::vector<canopen::CsvLine> csv = canopen::exportSdoAccess(tables);
        canopen::writeCsv(project.string(), canopen::kSdoDocumentName, csv);
        lines = csv.size();
    });
    // The part of it that is the program's own, without the flushed atomic write.
    const Figures text =
        measure(runs, [&] { lines = canopen::csvText(canopen::exportSdoAccess(tables)).size() ? lines : 0; });
    std::filesystem::remove_all(project);

    std::printf("import of a %zu-row sheet: median %.2f ms, worst %.2f ms (target <= 100 ms)\n", imported,
                import.median, import.worst);
    std::printf("export of %zu lines: median %.2f ms, worst %.2f ms (target <= 10 ms)\n", lines, exported.median,
                exported.worst);
    std::printf("  of which building the lines and the text: median %.2f ms, worst %.2f ms\n", text.median, text.worst);
    bench::printFigure("import of a 1500-row sheet", import.median, "ms", std::nullopt, "<= 100");
    bench::printFigure("export of 3002 lines", exported.median, "ms", std::nullopt, "<= 10");
    return 0;
}
