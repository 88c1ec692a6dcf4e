#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/FileSystem.h"
#include "platform/WideTextWindows.h"

namespace platform {
namespace {

using windows::errnoOf;
using windows::narrow;
using windows::OwnedHandle;
using windows::widen;

// The reasons read as on every other system ("No such file or directory").
[[noreturn]] void failCreateBecause(const std::string& path, int reason) {
    throw std::runtime_error("Cannot create file \"" + path + "\". " + std::strerror(reason));
}

[[noreturn]] void failCreate(const std::string& path, DWORD error) {
    failCreateBecause(path, errnoOf(error));
}

[[noreturn]] void failRead(const std::string& path, DWORD error) {
    throw std::runtime_error("Cannot read file \"" + path + "\". " + std::strerror(errnoOf(error)));
}

DWORD attributesOf(const std::string& path) {
    return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(widen(path).c_str());
}

// Where path's file name starts: after its last "\" or "/".
std::size_t nameStart(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? 0 : separator + 1;
}

bool writeAll(HANDLE file, std::string_view data, DWORD& error) {
    const char* cursor = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(file, cursor, chunk, &written, nullptr)) {
            error = GetLastError();
            return false;
        }
        cursor += written;
        left -= written;
    }
    if (!FlushFileBuffers(file)) {
        error = GetLastError();
        return false;
    }
    return true;
}

// A process killed mid-save leaves its temporary file behind; each save of
// the same file removes those whose process has ended, so they never pile
// up. Files of a saving process that still runs are left alone.
void removeStaleTemporaries(const std::string& folder, const std::string& prefix) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(widen(folder + prefix + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        // The search also matches short names and other letter cases.
        const std::string name = narrow(found.cFileName);
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string rest = name.substr(prefix.size());
        const std::size_t dash = rest.find('-');
        if (dash == 0 || dash > 10 || dash == std::string::npos || rest.find_first_not_of("0123456789") != dash)
            continue;
        const DWORD process = static_cast<DWORD>(std::stoul(rest.substr(0, dash)));
        const HANDLE running = OpenProcess(SYNCHRONIZE, FALSE, process);
        if (running) {
            const bool ended = WaitForSingleObject(running, 0) == WAIT_OBJECT_0;
            CloseHandle(running);
            if (!ended) continue;
        } else if (GetLastError() != ERROR_INVALID_PARAMETER) {
            continue;  // a process of another user, say: not ours to judge
        }
        DeleteFileW(widen(folder + name).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// ".<name>.saving-", with name cut short where the whole temporary name (the
// process and the ending added, 10 digits each) would pass the 255 UTF-16
// units that a name may have, so that a file whose own name is near that
// length can be saved too.
std::string temporaryPrefix(std::string name) {
    constexpr std::size_t kLongestName = 255;
    constexpr std::size_t kFixed = 1 + 8 + 10 + 1 + 10;
    while (!name.empty() && widen(name).size() > kLongestName - kFixed) {
        // One whole UTF-8 character at a time: its continuation bytes, then its first byte.
        while (!name.empty() && (static_cast<unsigned char>(name.back()) & 0xC0) == 0x80) name.pop_back();
        if (!name.empty()) name.pop_back();
    }
    return "." + name + ".saving-";
}

// A temporary file of its own beside path, created so that no other save can
// have it: ".<name>.saving-<process>-<ending>", hidden from readers of
// documents by its ending, the ending tried anew until the name is free.
OwnedHandle createTemporary(const std::string& path, std::wstring& temporary, DWORD& error) {
    static std::atomic<unsigned> saves{0};
    const std::string folder = path.substr(0, nameStart(path));
    const std::string prefix = temporaryPrefix(path.substr(nameStart(path)));
    removeStaleTemporaries(folder, prefix);
    const std::string own = folder + prefix + std::to_string(GetCurrentProcessId()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const unsigned ending = (saves++ * 2654435761u) ^ static_cast<unsigned>(GetTickCount());
        temporary = widen(own + std::to_string(ending));
        OwnedHandle file(
            CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.valid()) return file;
        error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    return OwnedHandle();
}

}  // namespace

std::string executableDirectory() {
    std::wstring buffer(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0 || length >= buffer.size()) throw std::runtime_error("Cannot determine the program folder");
    buffer.resize(length);
    const std::size_t separator = buffer.find_last_of(L"\\/");
    return narrow(separator == std::wstring::npos ? std::wstring_view()
                                                  : std::wstring_view(buffer).substr(0, separator));
}

bool folderExists(const std::string& path) {
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool fileExists(const std::string& path) {
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
}

bool createFolder(const std::string& path) {
    return !path.empty() && CreateDirectoryW(widen(path).c_str(), nullptr) != 0;
}

std::FILE* openFile(const std::string& path, const char* mode) {
    return _wfopen(widen(path).c_str(), widen(mode).c_str());
}

namespace {

// wide in the ANSI code page, or nothing when a character has no exact form there.
std::optional<std::string> exactlyInAnsiCodePage(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    // Under a UTF-8 code page every character has its form (and the call
    // takes no flags).
    if (GetACP() == CP_UTF8) return windows::narrow(wide);
    const int size = static_cast<int>(wide.size());
    BOOL lossy = FALSE;
    const int length =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, nullptr, &lossy);
    if (length <= 0 || lossy) return std::nullopt;
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, text.data(), length, nullptr, &lossy);
    if (lossy) return std::nullopt;
    return text;
}

}  // namespace

std::string narrowOpenPath(const std::string& path) {
    const std::wstring wide = widen(path);
    if (const std::optional<std::string> ansi = exactlyInAnsiCodePage(wide)) return *ansi;
    const DWORD length = GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (length > 0) {
        std::wstring shortPath(length, L'\0');
        const DWORD written = GetShortPathNameW(wide.c_str(), shortPath.data(), length);
        if (written > 0 && written < length) {
            shortPath.resize(written);
            if (const std::optional<std::string> ansi = exactlyInAnsiCodePage(shortPath)) return *ansi;
        }
    }
    // No form opens it; the library then reports the file as missing.
    return windows::toAnsiCodePage(path);
}

std::string readFile(const std::string& path) {
    OwnedHandle file(CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) failRead(path, GetLastError());
    // A pipe or a device (CON, COM1) is no document; reading one could wait forever.
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        throw std::runtime_error("Cannot read file \"" + path + "\". It is not a regular file");
    }
    std::string contents;
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) failRead(path, GetLastError());
        if (got == 0) break;
        contents.append(buffer, got);
    }
    return contents;
}

void keepPreviousVersion(const std::string& path, const std::string& backup) {
    const std::string folder = backup.substr(0, nameStart(backup));
    const std::string prefix = temporaryPrefix(backup.substr(nameStart(backup)));
    removeStaleTemporaries(folder, prefix);
    // The save that follows leaves its own temporary file when it is killed;
    // those of ended saves go now, before this one adds a file of its own.
    removeStaleTemporaries(path.substr(0, nameStart(path)), temporaryPrefix(path.substr(nameStart(path))));
    static std::atomic<unsigned> links{0};
    const std::string own = folder + prefix + std::to_string(GetCurrentProcessId()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring temporary = widen(own + "link" + std::to_string(links++));
        // A second name for the file itself, put in place by a rename, which
        // replaces whatever is at backup.
        if (CreateHardLinkW(temporary.c_str(), widen(path).c_str(), nullptr)) {
            if (!MoveFileExW(temporary.c_str(), widen(backup).c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
                const DWORD error = GetLastError();
                DeleteFileW(temporary.c_str());
                failCreate(backup, error);
            }
            // Nothing is left when backup already was this file.
            DeleteFileW(temporary.c_str());
            return;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) break;
    }
    // No hard links here (FAT, some network shares): a copy.
    writeFileAtomically(backup, readFile(path));
}

void writeFileAtomically(const std::string& path, std::string_view data) {
    // A folder is never replaced by a file.
    if (folderExists(path)) failCreateBecause(path, EISDIR);
    std::wstring temporary;
    DWORD error = ERROR_SUCCESS;
    OwnedHandle file = createTemporary(path, temporary, error);
    if (!file.valid()) failCreate(path, error);
    if (!writeAll(file.get(), data, error)) {
        file.reset();
        DeleteFileW(temporary.c_str());
        failCreate(path, error);
    }
    file.reset();

    // A rename within one folder replaces the old file in one step; with
    // write-through it returns once the rename is on disk. (ReplaceFileW
    // would keep the old file's attributes, but leaves files of its own
    // behind when it fails half-way.)
    if (!MoveFileExW(temporary.c_str(), widen(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
        DeleteFileW(temporary.c_str());
        failCreate(path, error);
    }
}

}  // namespace platform

namespace platform {

std::FILE* createUniqueFile(const std::string& pathStart, const std::string& pathEnd, std::string& path) {
    static std::atomic<unsigned> made{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        char ending[32];
        std::snprintf(ending, sizeof ending, "%lu-%08x", static_cast<unsigned long>(GetCurrentProcessId()),
                      (made++ * 2654435761u) ^ static_cast<unsigned>(GetTickCount()));
        path = pathStart + ending + pathEnd;
        // CREATE_NEW fails on any existing name, a symbolic link included.
        const HANDLE handle = CreateFileW(widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                          nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
            errno = errnoOf(error);
            return nullptr;
        }
        // The C run-time takes the handle over; closing the file closes it.
        const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
        if (descriptor == -1) {
            CloseHandle(handle);
            DeleteFileW(widen(path).c_str());
            errno = EMFILE;
            return nullptr;
        }
        std::FILE* file = _fdopen(descriptor, "wb");
        if (!file) {
            const int error = errno;
            _close(descriptor);
            DeleteFileW(widen(path).c_str());
            errno = error;
        }
        return file;
    }
    errno = EEXIST;
    return nullptr;
}

int replaceByRename(const std::string& from, const std::string& to) {
    // MoveFileExW would answer "access denied" for a folder; say what is in the way.
    if (folderExists(to)) return EISDIR;
    // Within one folder the rename replaces the old file (or a link, not its
    // target) in one step; with write-through it returns once it is on disk.
    if (!MoveFileExW(widen(from).c_str(), widen(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return errnoOf(GetLastError());
    return 0;
}

}  // namespace platform
