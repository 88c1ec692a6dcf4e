// Writing the device outputs of a project whose access tables are full (2 x 244
// rows, both areas 244 bytes): the configuration image built and written to
// bin/bank.bin, and the GSD file written. The project lies in the temporary
// folder; prints the medians of a number of runs.
//
// Usage: tessaro-bench-outputs [RUNS]

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "BenchFigure.h"
#include "documents/AccessTables.h"
#include "documents/CommunicationSettings.h"
#include "outputs/ConfigurationImage.h"
#include "outputs/GsdFile.h"
#include "platform/FileSystem.h"

namespace fs = std::filesystem;

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    std::string pattern = (fs::temp_directory_path() / "tessaro-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return 1;
    const std::string project = pattern;
    platform::createFolder(platform::joinPath(project, "bin"));

    documents::writeCommunicationSettings(platform::joinPath(project, documents::kPargenFileName),
                                          documents::defaultCommunicationTexts());
    documents::AccessTables tables;
    for (std::size_t r = 0; r < documents::kMaxAccessRows; ++r) {
        const std::string position = std::to_string(r % 243);
        tables.in.push_back({std::to_string(40001 + r), position, std::to_string(r % 243 + 1), "Input register"});
        tables.out.push_back({std::to_string(50001 + r), position, std::to_string(r % 243 + 1), "Output register"});
    }
    documents::writeAccessTables(platform::joinPath(project, documents::kSdoFileName), tables);

    outputs::ConfigurationImage image;
    const auto imageTimes = bench::timeRuns(runs, [&] {
        image.BuildConfigurationImage(project);
        image.WriteConfigurationImage(project);
    });
    if (image.image().size() != 17 + 4 + 2 * 244 * 4) {
        std::fprintf(stderr, "the image has %zu bytes\n", image.image().size());
        return 1;
    }
    const std::string gsd = platform::joinPath(project, "Plant1.gsd");
    const auto gsdTimes = bench::timeRuns(runs, [&] { outputs::WriteGsdFile(project, gsd); });
    fs::remove_all(project);

    bench::printFigure("configuration image built and written, 2 x 244 rows", bench::median(imageTimes), "ms",
                       std::nullopt, "<= 2");
    bench::printFigure("GSD file written", bench::median(gsdTimes), "ms", std::nullopt, "<= 2");
    return 0;
}
