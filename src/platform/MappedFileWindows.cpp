#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "platform/MappedFile.h"
#include "platform/WideTextWindows.h"

namespace platform {

using windows::OwnedHandle;

MappedFile::MappedFile(const std::string& path) {
    const auto fail = [&](DWORD error) {
        throw std::runtime_error("Cannot read file \"" + path + "\". " + std::strerror(windows::errnoOf(error)));
    };
    // Others may go on reading, writing or deleting the file, as they may on
    // Linux; the view stays valid after the handles are closed.
    OwnedHandle file(CreateFileW(windows::widen(path).c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid()) fail(GetLastError());
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) fail(GetLastError());
    if (static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX) fail(ERROR_FILE_TOO_LARGE);
    m_size = static_cast<std::size_t>(size.QuadPart);
    // An empty file cannot be mapped, and needs no mapping.
    if (m_size == 0) return;
    // CreateFileMapping answers null, not INVALID_HANDLE_VALUE, when it fails.
    const HANDLE mapping = CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mapping == nullptr) fail(GetLastError());
    const OwnedHandle ownedMapping(mapping);
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    if (view == nullptr) fail(GetLastError());
    m_data = static_cast<const char*>(view);
    m_mapped = true;
}

MappedFile::~MappedFile() {
    if (m_mapped) UnmapViewOfFile(m_data);
}

}  // namespace platform
