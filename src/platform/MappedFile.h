#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The bytes of a file, read-only, for as long as the object lives: mapped into
// memory where the platform can, so that a large file is read without being
// copied, else read whole. The file must not shrink while it is mapped.
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
    std::string m_copy;
};

}  // namespace platform
