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
#include "canopen/Editors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // Every editor's document holds the bytes, so an editor that reads others
    // with its own (Store PDO reads sdo.xml and rpdodef.xml) meets them there too.
    for (const canopen::EditorDescriptor* editor : canopen::editorDescriptors())
        fuzzing::placeInput(editor->file, bytes);

    for (const canopen::EditorDescriptor* editor : canopen::editorDescriptors()) {
        const canopen::EditorReading reading = editor->load(fuzzing::fuzzFolder());
        (void)reading.failure();
        if (editor->exportLines) (void)canopen::csvText(editor->exportLines(reading.content));
    }
    return 0;
}
