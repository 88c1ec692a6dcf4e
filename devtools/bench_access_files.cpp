// Measures the import of a full access table from a workbook, as tessaro-cli
// import does it: the 244-row .xlsx read through FreeXL (with the trial
// reading apart from the program), checked against the area sizes, and
// written into the project's sdo.xml beside the other table.
// Prints the median and the worst of a number of runs, in milliseconds.
//
// Usage: tessaro-bench-access-files [RUNS [WORKBOOK]]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchFigure.h"
#include "documents/AccessTableFiles.h"

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const std::string workbook = argc > 2 ? argv[2] : TESSARO_TEST_DATA "/access/rows-244.xlsx";

    const std::filesystem::path project = std::filesystem::temp_directory_path() / "tessaro-bench-access-files";
    std::filesystem::remove_all(project);
    std::filesystem::create_directories(project);
    std::vector<double> times;
    try {
        times = bench::timeRuns(runs, [&] {
            documents::importAccessTable(project.string(), documents::AccessTableSide::In, workbook, std::nullopt);
        });
    } catch (const std::exception& e) {
        std::fprintf(stderr, "import failed: %s\n", e.what());
        return 1;
    }
    std::filesystem::remove_all(project);

    const double median = bench::median(times);
    std::printf("import of a 244-row .xlsx into sdo.xml: median %.2f ms, worst %.2f ms (target <= 50 ms)\n", median,
                *std::max_element(times.begin(), times.end()));
    bench::printFigure("import of a 244-row .xlsx", median, "ms", std::nullopt, "<= 50");
    return 0;
}
