// Measures the program's own XML reader against the document service's parser
// on the same generated document of about 10 MB: access-table rows with
// attributes and references, texts, comments and processing instructions.
// Prints the best throughput of each in MB/s and their ratio.
//
// Usage: tessaro-bench-xml-reader [RUNS]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "BenchFigure.h"
#include "base/XmlDocument.h"
#include "xmltools/XMLReader.h"

namespace {

std::string generatedDocument(std::size_t bytes) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!-- generated -->\r\n<Serial_to_ProfiBus>\r\n";
    for (int group = 0; text.size() < bytes; ++group) {
        text += "  <ProfiBUS_IN group=\"" + std::to_string(group) + "\">\r\n    <?note rows of a line?>\r\n";
        for (int r = 1; r <= 244; ++r) {
            text += "    <row Address=\"" + std::to_string(40000 + r) + "\" Add_Profi_Hi='" + std::to_string(r % 244) +
                    "' Add_Profi_Lo=\"" + std::to_string((r + 1) % 244) + "\" Mnemonic=\"Pump &amp; valve " +
                    std::to_string(r) + "\"><Text>Register of the line &lt;" + std::to_string(r) +
                    "&gt;</Text><!-- checked --></row>\r\n";
        }
        text += "  </ProfiBUS_IN>\r\n";
    }
    return text + "</Serial_to_ProfiBus>\r\n";
}

// Time of parse(run) for one run. What parse answers is freed after the clock
// stops: freeing a tree is not reading it.
template <class Parse>
double seconds(int run, Parse parse) {
    const auto start = std::chrono::steady_clock::now();
    auto result = parse(run);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return took.count();
}

}  // namespace

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const std::string text = generatedDocument(10 * 1000 * 1000);
    const double megabytes = static_cast<double>(text.size()) / 1e6;

    // The reader owns its bytes; the copies are made before the clock runs.
    std::vector<std::string> copies(static_cast<std::size_t>(runs), text);
    std::size_t items = 0;
    const auto ownRead = [&](int run) {
        xmltools::TXMLStringReader reader(std::move(copies[static_cast<std::size_t>(run)]));
        std::unique_ptr<xmltools::TXMLNode> document = reader.ReadDocument();
        items = document->Children.size();
        return document;
    };
    const auto serviceRead = [&](int) {
        auto document = std::make_unique<base::XmlDocument>();
        document->loadText(text);
        return document;
    };
    // The two take turns, so a busy machine slows both alike.
    double own = 1e30, service = 1e30;
    for (int run = 0; run < runs; ++run) {
        own = std::min(own, seconds(run, ownRead));
        service = std::min(service, seconds(run, serviceRead));
    }
    if (items != 2) {
        std::fprintf(stderr, "the own reader read a wrong tree\n");
        return 1;
    }

    std::printf("document: %.1f MB, best of %d runs\n", megabytes, runs);
    std::printf("own reader:       %8.1f MB/s\n", megabytes / own);
    std::printf("document service: %8.1f MB/s\n", megabytes / service);
    std::printf("ratio own/service: %.2f\n", service / own);
    bench::printFigure("own XML reader, 10 MB", megabytes / own, "MB/s", std::nullopt, ">= 100");
    bench::printFigure("own XML reader against the document service", megabytes / own, "MB/s", megabytes / service,
                       "ratio >= 0.25");
    return 0;
}
