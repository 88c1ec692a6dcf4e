#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The bytes of a file, read-only, for as long as the object lives: mapped into
// memory, so that a large file is read without being copied. The file must not
// shrink while it is mapped. Each system has its own file
// (MappedFilePosix.cpp, MappedFileWindows.cpp).
class MappedFile {
public:
    // Throws std::runtime_error ("Cannot read file "<path>". <reason>") when
    // the file cannot be opened or mapped.
    explicit MappedFile(const std::string& path);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    std::string_view bytes() const { return {m_data, m_size}; }

private:
    const char* m_data = nullptr;
    std::size_t m_size = 0;
    bool m_mapped = false;
};

}  // namespace platform
