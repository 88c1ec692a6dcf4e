#pragma once

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

// Thin wrappers over the file system. Paths are plain strings in the platform's
// own form; every path the program keeps is built with kPathSeparator. Paths
// are UTF-8 on every system (on Windows they reach the system as UTF-16).
namespace platform {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Joins a folder and a name with one separator. Reads nothing.
inline std::string joinPath(std::string_view folder, std::string_view name) {
    std::string joined(folder);
    joined += kPathSeparator;
    joined += name;
    return joined;
}

// Folder holding the running executable, as the operating system reports it
// (not argv[0]), without a trailing separator. Throws std::runtime_error when
// the system cannot tell.
std::string executableDirectory();

bool folderExists(const std::string& path);
bool fileExists(const std::string& path);

// Creates one folder level. Answers false when it could not be created
// (missing parent, no rights, a file in the way); never throws.
bool createFolder(const std::string& path);

// The std::filesystem path of a UTF-8 path, for the library's operations
// (remove, rename, copy) on every system. Reads nothing.
inline std::filesystem::path fileSystemPath(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

// The UTF-8 text of a std::filesystem path (its parent_path(), filename()),
// the inverse of fileSystemPath; string() would answer the ANSI code page on
// Windows. Reads nothing.
inline std::string pathText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// What a path names, links followed, as the commands and readers need to
// tell it: nothing there, a folder, a regular file, something else (a
// device, a FIFO, a socket, a symbolic link to nothing), or a path that
// cannot be examined (a name or path too long, a folder without search
// permission). reason holds the system's words for the last two.
enum class PathKind { Missing, Folder, File, Other, Unexaminable };
struct PathStatus {
    PathKind kind = PathKind::Missing;
    std::string reason;
};

// Examines path without opening it. Never throws.
inline PathStatus examinePath(const std::string& path) {
    namespace fs = std::filesystem;
    if (path.empty()) return {PathKind::Missing, {}};
    std::error_code ec;
    fs::path where;
    try {
        where = fileSystemPath(path);  // on Windows, text that is not UTF-8 cannot become a path
    } catch (const std::exception& e) {
        return {PathKind::Unexaminable, e.what()};
    }
    const fs::file_status status = fs::status(where, ec);
    if (ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory) {
        return {PathKind::Unexaminable, ec.message()};
    }
    switch (status.type()) {
        case fs::file_type::not_found: {
            std::error_code linkError;
            if (fs::is_symlink(fs::symlink_status(where, linkError))) {
                return {PathKind::Other, "a symbolic link to nothing"};
            }
            return {PathKind::Missing, {}};
        }
        case fs::file_type::directory: return {PathKind::Folder, {}};
        case fs::file_type::regular: return {PathKind::File, {}};
        case fs::file_type::fifo: return {PathKind::Other, "a FIFO, not a file"};
        case fs::file_type::character:
        case fs::file_type::block: return {PathKind::Other, "a device, not a file"};
        case fs::file_type::socket: return {PathKind::Other, "a socket, not a file"};
        default: return {PathKind::Other, "not a regular file"};
    }
}

// Whether a document is there to be read at path: false when nothing is
// there, true for a regular file (also through a link). Anything else is no
// document and no absence either: throws std::runtime_error naming the path
// ("Cannot read file "<path>". It is a folder" / ". <reason>").
inline bool documentExists(const std::string& path) {
    const PathStatus status = examinePath(path);
    switch (status.kind) {
        case PathKind::Missing: return false;
        case PathKind::File: return true;
        case PathKind::Folder: throw std::runtime_error("Cannot read file \"" + path + "\". It is a folder");
        case PathKind::Other: throw std::runtime_error("Cannot read file \"" + path + "\". It is " + status.reason);
        case PathKind::Unexaminable: break;
    }
    throw std::runtime_error("Cannot read file \"" + path + "\". " + status.reason);
}

// Opens a file with the C library's fopen modes ("rb", "wb"), the path as the
// system takes it (UTF-16 on Windows). Answers null with errno set when it
// cannot be opened; never throws.
std::FILE* openFile(const std::string& path, const char* mode);

// The path as a library that opens files with the C library's narrow fopen
// takes it (FreeXL): unchanged on Linux; on Windows in the ANSI code page when
// every character has its own there, else the folder's and file's short names
// where the system keeps them. Reads the file system's names only on
// Windows; never throws.
std::string narrowOpenPath(const std::string& path);

// Reads a whole regular file; anything else (a FIFO, a device, a folder) is
// refused without waiting on it. Throws std::runtime_error ("Cannot read
// file "<path>". <reason>").
std::string readFile(const std::string& path);

// Makes backup hold what the regular file at path holds now, so that path
// can then be replaced while its previous version stays: a hard link to the
// file where the file system has them (nothing is copied, so even a full disk
// keeps it), else a copy written as writeFileAtomically writes. Whatever was
// at backup is replaced, a symbolic link included, never written through.
// Throws std::runtime_error ("Cannot create file "<backup>". <reason>", or
// readFile's message) when it cannot.
void keepPreviousVersion(const std::string& path, const std::string& backup);

// Replaces the file at path with data, atomically: the data go to a temporary
// file in the same folder, which is flushed and renamed over the old one, so a
// failure or a crash at any point leaves the previous file whole. The
// temporary file is hidden, named after the file, the saving process and a
// unique ending (".pargen.xml.saving-<pid>-XXXXXX", the file's part cut short
// where the whole name would be longer than the system allows); a failed save removes its
// own, and each save removes those of the same file left by processes that no
// longer run. Throws
// std::runtime_error ("Cannot create file "<path>". <reason>") on failure.
void writeFileAtomically(const std::string& path, std::string_view data);

}  // namespace platform

namespace platform {

// Creates a new, empty file for writing at pathStart + a unique ending +
// pathEnd (the ending names this process and is tried anew until the name is
// free). The file is created exclusively (O_EXCL, CREATE_NEW): an existing
// file, folder or symbolic link of that name is never opened or followed, so
// a file another run made is never written. It gets the mode any new file of
// the user gets. Answers the open file and sets path to its path; answers
// null with errno set when none can be created. Never throws.
std::FILE* createUniqueFile(const std::string& pathStart, const std::string& pathEnd, std::string& path);

// Puts the file from in place of to in one step, by a rename (both in one
// folder): a file at to is replaced, a symbolic link at to is itself replaced,
// never its target, and a folder at to is never replaced. Answers 0, or the
// errno value of the reason it failed (EISDIR, ENAMETOOLONG ...), from left
// where it was. Never throws.
int replaceByRename(const std::string& from, const std::string& to);

}  // namespace platform
