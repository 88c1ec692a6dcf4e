#include "platform/FileSystem.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <climits>

#include <csignal>
#include <cstdlib>

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

std::string narrowOpenPath(const std::string& path) {
    return path;
}

std::string readFile(const std::string& path) {
    const auto fail = [&](const std::string& reason) -> std::string {
        throw std::runtime_error("Cannot read file \"" + path + "\". " + reason);
    };
    // Without O_NONBLOCK, opening a FIFO would wait for a writer that may never come.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fail(systemReason(errno));
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = errno;
        ::close(fd);
        if (S_ISDIR(info.st_mode)) return fail("It is a folder");
        return fail(info.st_mode != 0 ? "It is not a regular file" : systemReason(error));
    }
    std::string contents;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            return fail(systemReason(error));
        }
        if (got == 0) break;
        contents.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return contents;
}

namespace {

// A save writes to ".<name>.saving-<pid>-XXXXXX" beside the file: hidden, and
// with an ending no reader of documents looks for. A process killed mid-save
// leaves its temporary file behind; the next save of the same file removes
// those whose process is gone, so they never pile up. Files of a saving
// process that still runs are left alone.
std::string temporaryPrefix(const fs::path& target, const fs::path& folder) {
    std::string name = target.filename().string();
    // "." + name + ".saving-" + pid + "-XXXXXX" must fit the folder's longest
    // name, or a file whose own name is near that length could never be saved.
    long longest = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    if (longest <= 0) longest = NAME_MAX;
    const std::size_t room = static_cast<std::size_t>(longest);
    const std::size_t fixed = std::string(".").size() + std::string(".saving-").size() + 10 + 1 + 6;
    if (room > fixed && name.size() > room - fixed) {
        std::size_t cut = room - fixed;
        // Never half a UTF-8 character.
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
        name.resize(cut);
    }
    return "." + name + ".saving-";
}

void removeStaleTemporaries(const fs::path& folder, const std::string& prefix) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string rest = name.substr(prefix.size());
        const std::size_t dash = rest.find('-');
        if (dash == 0 || dash == std::string::npos) continue;
        char* digitsEnd = nullptr;
        const long pid = std::strtol(rest.c_str(), &digitsEnd, 10);
        if (digitsEnd != rest.c_str() + dash || pid <= 0) continue;
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) ::unlink(it->path().c_str());
    }
}

// The rename is only lasting once the folder's entry is on disk too.
void syncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

void keepPreviousVersion(const std::string& path, const std::string& backup) {
    const fs::path target(backup);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string prefix = temporaryPrefix(target, folder);
    removeStaleTemporaries(folder, prefix);
    // The save that follows leaves its own temporary file when it is killed;
    // those of ended saves go now, before this one adds a file of its own.
    removeStaleTemporaries(folder, temporaryPrefix(fs::path(path), folder));
    static std::atomic<unsigned> links{0};
    const std::string own = (folder / (prefix + std::to_string(::getpid()) + "-")).string();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temporary = own + "link" + std::to_string(links++);
        // A second name for the file itself, put in place by a rename, which
        // replaces a link at backup instead of following it.
        if (::linkat(AT_FDCWD, path.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            if (::rename(temporary.c_str(), backup.c_str()) != 0) {
                const int error = errno;
                ::unlink(temporary.c_str());
                failCreate(backup, error);
            }
            // When backup already is this file (a save killed after keeping it),
            // rename does nothing and leaves the second name behind.
            ::unlink(temporary.c_str());
            syncFolder(folder);
            return;
        }
        if (errno != EEXIST) break;
    }
    // No hard links here (a FAT or network file system): a copy.
    writeFileAtomically(backup, readFile(path));
}

void writeFileAtomically(const std::string& path, std::string_view data) {
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string prefix = temporaryPrefix(target, folder);
    removeStaleTemporaries(folder, prefix);
    std::string pattern = (folder / (prefix + std::to_string(::getpid()) + "-XXXXXX")).string();
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
    syncFolder(folder);
}

}  // namespace platform

namespace platform {

std::FILE* createUniqueFile(const std::string& pathStart, const std::string& pathEnd, std::string& path) {
    static std::atomic<unsigned> made{0};
    static const unsigned seed = std::random_device{}();
    for (int attempt = 0; attempt < 100; ++attempt) {
        char ending[32];
        std::snprintf(ending, sizeof ending, "%ld-%08x", static_cast<long>(::getpid()), (made++ * 2654435761u) ^ seed);
        path = pathStart + ending + pathEnd;
        // O_EXCL with O_CREAT fails on any existing name, a symbolic link included.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return nullptr;
        }
        std::FILE* file = ::fdopen(fd, "wb");
        if (!file) {
            const int error = errno;
            ::close(fd);
            ::unlink(path.c_str());
            errno = error;
        }
        return file;
    }
    errno = EEXIST;
    return nullptr;
}

int replaceByRename(const std::string& from, const std::string& to) {
    // rename() replaces a link at to and refuses a folder there (EISDIR).
    if (::rename(from.c_str(), to.c_str()) != 0) return errno;
    const fs::path target(to);
    syncFolder(target.has_parent_path() ? target.parent_path() : fs::path("."));
    return 0;
}

}  // namespace platform
