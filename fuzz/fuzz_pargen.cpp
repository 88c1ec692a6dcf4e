// Any bytes as pargen.xml, through every reader of it: the settings window's
// loading and checks, the area sizes, the GSD lengths and text, and the
// configuration image. Each either succeeds or fails with a message.
// seeds: tests/data/**/pargen.xml

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string_view>

#include "FuzzFolder.h"
#include "documents/CommunicationSettings.h"
#include "outputs/ConfigurationImage.h"
#include "outputs/GsdFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = fuzzing::placeInput(documents::kPargenFileName, bytes);
    const auto reading = documents::readStoredCommunicationTexts(path);
    if (reading.ok()) {
        const documents::CommunicationTexts& texts = reading.value.texts;
        (void)documents::checkCommunicationValues(texts.Ser_ID, texts.Profi_ID, texts.Profi_NB_IN, texts.Profi_NB_OUT);
    }
    try {
        (void)documents::readAreaSizes(path, documents::kMaxAreaSize);
    } catch (const std::exception&) {
    }
    try {
        (void)outputs::gsdText(outputs::ReadProfibusLengths(fuzzing::fuzzFolder()));
    } catch (const std::exception&) {
    }
    try {
        outputs::ConfigurationImage image;
        image.BuildConfigurationImage(fuzzing::fuzzFolder());
    } catch (const std::exception&) {
    }
    return 0;
}
