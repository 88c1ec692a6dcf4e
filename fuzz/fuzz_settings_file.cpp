// The settings file on any bytes: reading the remembered project never fails,
// and after the program has written a value into the file, whatever the file
// held before, reading gives that value back.
// seeds: fuzz/seeds/settings_file/*

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzFolder.h"
#include "platform/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    // A value is one line of the file: the program's values (project names
    // typed in a dialog) hold no line break.
    std::string value = input.ConsumeRandomLengthString(64);
    std::erase_if(value, [](char c) { return c == '\r' || c == '\n'; });
    const std::string path = fuzzing::placeInput("Tessaro_Ru2Doror.ini", input.ConsumeRemainingBytesAsString());

    (void)platform::readIniValue(path, "lastproj", "projectname");
    platform::writeIniValue(path, "lastproj", "projectname", value);
    if (platform::readIniValue(path, "lastproj", "projectname") != value) std::abort();
    return 0;
}
