#pragma once

// Small file helpers for tests: a fresh temporary folder per test and whole-file
// reads and writes. No Qt, so core and window tests share them.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace testing_support {

// A path as the program keeps it: UTF-8 on every system.
using platform::pathText;
inline std::filesystem::path pathOf(const std::string& text) {
    return platform::fileSystemPath(text);
}

// A path written with "/" in the platform's own form ("\\" on Windows).
inline std::string nativePath(std::string path) {
    for (char& c : path)
        if (c == '/') c = platform::kPathSeparator;
    return path;
}

// A fresh folder below the system's temporary folder; its path and the paths
// made with "/" use the platform's separator, as the program's own do.
class TempDir {
public:
    TempDir() {
        std::random_device seed;
        std::mt19937_64 random(seed());
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
            const std::filesystem::path candidate = base / ("tessaro-test-" + std::to_string(random() % 1000000000));
            std::error_code ec;
            if (std::filesystem::create_directory(candidate, ec)) m_path = pathText(candidate.lexically_normal());
        }
        if (m_path.empty()) throw std::runtime_error("cannot make a temporary folder");
        while (m_path.size() > 1 && (m_path.back() == '/' || m_path.back() == '\\')) m_path.pop_back();
    }
    ~TempDir() {
        std::error_code ec;
        // Tests may leave folders without write permission behind.
        std::filesystem::permissions(pathOf(m_path), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        for (auto it = std::filesystem::recursive_directory_iterator(pathOf(m_path), ec);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
        }
        std::filesystem::remove_all(pathOf(m_path), ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    // "a/b" below the folder, with the platform's separator throughout.
    std::string operator/(const std::string& name) const { return platform::joinPath(m_path, nativePath(name)); }

private:
    std::string m_path;
};

inline void writeFile(const std::string& path, const std::string& contents) {
    std::filesystem::create_directories(pathOf(path).parent_path());
    std::ofstream out(pathOf(path), std::ios::binary | std::ios::trunc);
    out << contents;
    if (!out) throw std::runtime_error("cannot write " + path);
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(pathOf(path), std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

// Number of entries in a folder.
inline std::size_t entriesIn(const std::string& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(pathOf(folder))) ++count;
    return count;
}

// piece, count times over.
inline std::string repeated(const std::string& piece, std::size_t count) {
    std::string text;
    text.reserve(piece.size() * count);
    for (std::size_t i = 0; i < count; ++i) text += piece;
    return text;
}

// How often what occurs in text, overlapping occurrences included.
inline std::size_t occurrences(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

// The names in a folder, one a line, for failure messages.
inline std::string namesIn(const std::string& folder) {
    std::string names;
    for (const auto& entry : std::filesystem::directory_iterator(pathOf(folder)))
        names += pathText(entry.path().filename()) + "\n";
    return names;
}

inline bool exists(const std::string& path) {
    return std::filesystem::exists(pathOf(path));
}

// The text of the exception that action throws, or "no failure".
inline std::string failureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "no failure";
}

inline std::string testData(const std::string& relative) {
    return std::string(TESSARO_TEST_DATA) + "/" + relative;
}

// The names of the case folders below tests/data/<relative>, sorted.
inline std::vector<std::string> caseFolders(const std::string& relative) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(testData(relative))) {
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A case folder's name as a test name ("empty-file" -> "empty_file").
inline std::string caseName(std::string folder) {
    std::replace(folder.begin(), folder.end(), '-', '_');
    return folder;
}

}  // namespace testing_support
