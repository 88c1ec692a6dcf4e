// Any bytes as sdo.xml, through every reader of it: the access tables as the
// window loads them, their checks, and the configuration image. Tables that
// were read are saved and read back unchanged.
// seeds: tests/data/**/sdo.xml

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string_view>

#include "FuzzFolder.h"
#include "documents/AccessTables.h"
#include "outputs/ConfigurationImage.h"

namespace {

// The rows the program stores of a table: its run, cut at the first empty address.
std::vector<documents::AccessRow> run(const std::vector<documents::AccessRow>& rows) {
    return {rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(documents::accessRunLength(rows))};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = fuzzing::placeInput(documents::kSdoFileName, bytes);
    const base::Reading<documents::AccessTables> reading = documents::readAccessTables(path);
    const documents::AccessTables& tables = reading.value;
    const bool whole = reading.ok();
    (void)documents::validateAccessTables(tables, {documents::kMaxAreaSize, 20});
    try {
        outputs::ConfigurationImage image;
        image.BuildConfigurationImage(fuzzing::fuzzFolder());
    } catch (const std::exception&) {
    }
    if (!whole) return 0;

    const std::string savedPath = fuzzing::fuzzFolder() + "/saved-sdo.xml";
    documents::writeAccessTables(savedPath, tables);
    const base::Reading<documents::AccessTables> again = documents::readAccessTables(savedPath);
    if (!again.ok()) std::abort();  // the program saved tables it cannot read
    if (again.value.in != run(tables.in) || again.value.out != run(tables.out)) std::abort();
    return 0;
}
