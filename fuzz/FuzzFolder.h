#pragma once

// A private folder for the fuzz targets whose input reaches the program as a
// file: made once per process, in memory where the system offers it, removed
// at exit.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace fuzzing {

inline const std::string& fuzzFolder() {
    static const std::string folder = [] {
        const std::filesystem::path base =
            std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        std::string pattern = (base / "tessaro-fuzz-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (!::mkdtemp(name.data())) std::abort();
        static const std::string made(name.data());
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(made, ec);
        });
        return made;
    }();
    return folder;
}

// Writes bytes to name in the fuzz folder (plainly: the input is the file) and
// answers its path.
inline std::string placeInput(const std::string& name, std::string_view bytes) {
    const std::string path = fuzzFolder() + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) std::abort();
    return path;
}

inline void removeInput(const std::string& name) {
    std::error_code ec;
    std::filesystem::remove(fuzzFolder() + "/" + name, ec);
}

}  // namespace fuzzing
