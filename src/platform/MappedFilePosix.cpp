#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "platform/MappedFile.h"

namespace platform {

MappedFile::MappedFile(const std::string& path) {
    const auto fail = [&](int error) {
        throw std::runtime_error("Cannot read file \"" + path + "\". " + std::strerror(error));
    };
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) fail(errno);
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        fail(error);
    }
    m_size = static_cast<std::size_t>(status.st_size);
    // An empty file cannot be mapped, and needs no mapping.
    if (m_size == 0) {
        ::close(fd);
        return;
    }
    void* data = ::mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    const int error = errno;
    ::close(fd);
    if (data == MAP_FAILED) fail(error);
    ::madvise(data, m_size, MADV_SEQUENTIAL);
    m_data = static_cast<const char*>(data);
    m_mapped = true;
}

MappedFile::~MappedFile() {
    if (m_mapped) ::munmap(const_cast<char*>(m_data), m_size);
}

}  // namespace platform
