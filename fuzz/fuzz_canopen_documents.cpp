// Any bytes as each CANopen editor's document, read as showing its window
// does; whatever was read is turned into the export's lines, as the window's
// Export would. Each reading either succeeds or keeps its failure.
// seeds: tests/data/canopen/**/*.xml

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "FuzzFolder.h"
#include "canopen/EditorDocuments.h"
#include "canopen/EmcyWord.h"
#include "canopen/PdoAccess.h"
#include "canopen/SdoAccess.h"
#include "canopen/StorePdo.h"
#include "canopen/TranslateEmcy.h"
#include "canopen/TranslatePdo.h"

namespace {

template <class Lines>
void exportText(const Lines& lines) {
    (void)canopen::csvText(lines);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = fuzzing::placeInput("document.xml", bytes);

    (void)canopen::loadPdoAccess(path);
    exportText(canopen::exportSdoAccess(canopen::loadSdoAccess(path).value));
    exportText(canopen::exportTranslatePdo(canopen::loadTranslatePdo(path).value));
    exportText(canopen::exportTranslateEmcy(canopen::loadTranslateEmcy(path).value));
    exportText(canopen::exportEmcyWord(canopen::loadEmcyWord(path).value));

    // Store PDO reads three documents of the project; the same bytes serve as each.
    fuzzing::placeInput("sdo.xml", bytes);
    fuzzing::placeInput(canopen::kRpdodefFileName, bytes);
    const canopen::StorePdoReading stored = canopen::loadStorePdo(fuzzing::fuzzFolder(), path);
    (void)stored.messages();
    exportText(canopen::exportStorePdo(stored.value));
    return 0;
}
