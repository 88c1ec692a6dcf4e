#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

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

// Reads a whole file. Throws std::runtime_error ("Cannot read file "<path>". <reason>").
std::string readFile(const std::string& path);

// Replaces the file at path with data, atomically: the data go to a temporary
// file in the same folder, which is flushed and renamed over the old one, so a
// failure or a crash at any point leaves the previous file whole. The
// temporary file is hidden, named after the file, the saving process and a
// unique ending (".pargen.xml.saving-<pid>-XXXXXX"); a failed save removes its
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
