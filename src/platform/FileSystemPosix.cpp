#include "platform/FileSystem.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace fs = std::filesystem;

namespace {

std::string systemReason(int error) {
    return std::strerror(error);
}

[[noreturn]] void failCreate(const std::string& path, int error) {
    throw std::runtime_error("Cannot create file \"" + path + "\". " + systemReason(error));
}

}  // namespace

std::string executableDirectory() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) throw std::runtime_error("Cannot determine the program folder: " + ec.message());
    return exe.parent_path().string();
}

bool folderExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

bool createFolder(const std::string& path) {
    if (path.empty()) return false;
    return ::mkdir(path.c_str(), 0777) == 0;
}

std::FILE* openFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("Cannot read file \"" + path + "\". " + systemReason(errno));
    std::ostringstream contents;
    contents << in.rdbuf();
    if (in.bad()) throw std::runtime_error("Cannot read file \"" + path + "\". " + systemReason(errno));
    return contents.str();
}

void writeFileAtomically(const std::string& path, std::string_view data) {
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');

    const int fd = ::mkstemp(name.data());
    if (fd < 0) failCreate(path, errno);
    const std::string temporary(name.data());
    auto abandon = [&](int error) {
        ::close(fd);
        ::unlink(temporary.c_str());
        failCreate(path, error);
    };

    // mkstemp makes the file private; a replaced file keeps its mode, a new
    // one gets what any other file the user creates would get.
    struct stat old {};
    mode_t mode;
    if (::stat(path.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd, mode) != 0) abandon(errno);

    const char* cursor = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, cursor, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            abandon(errno);
        }
        cursor += written;
        left -= static_cast<std::size_t>(written);
    }
    if (::fsync(fd) != 0) abandon(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        failCreate(path, error);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        failCreate(path, error);
    }
}

}  // namespace platform
