#include "platform/WideTextWindows.h"

#include <cerrno>

#include "platform/EncodedText.h"

namespace platform::windows {

std::wstring widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

std::wstring widenParameters(std::string_view text) {
    std::wstring wide;
    std::size_t start = 0;  // of the UTF-8 run not yet converted
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = utf8SequenceLength(text, at);
        if (length > 0) {
            at += length;
            continue;
        }
        wide += widen(text.substr(start, at - start));
        wchar_t character = 0;
        if (MultiByteToWideChar(1252, MB_ERR_INVALID_CHARS, &text[at], 1, &character, 1) != 1) character = 0xFFFD;
        wide += character;
        start = ++at;
    }
    return wide + widen(text.substr(start));
}

std::string narrow(std::wstring_view utf16) {
    if (utf16.empty()) return {};
    const int size = static_cast<int>(utf16.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, text.data(), length, nullptr, nullptr);
    return text;
}

std::string toAnsiCodePage(std::string_view utf8) {
    const std::wstring wide = widen(utf8);
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
    return text;
}

int errnoOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME: return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT: return EACCES;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: return EEXIST;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return ENOSPC;
        case ERROR_FILE_TOO_LARGE: return EFBIG;
        case ERROR_DIRECTORY: return ENOTDIR;
        case ERROR_DIR_NOT_EMPTY: return ENOTEMPTY;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY: return ENOMEM;
        case ERROR_INVALID_NAME:
        case ERROR_INVALID_PARAMETER: return EINVAL;
        case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
        case ERROR_INVALID_HANDLE: return EBADF;
        default: return EIO;
    }
}

}  // namespace platform::windows
