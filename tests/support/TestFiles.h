#pragma once

// Small file helpers for tests: a fresh temporary folder per test and whole-file
// reads and writes. No Qt, so core and window tests share them.

#include <sys/resource.h>
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace testing_support {

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tessaro-test-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (!mkdtemp(name.data())) throw std::runtime_error("mkdtemp failed");
        m_path = name.data();
    }
    ~TempDir() {
        std::error_code ec;
        // Tests may leave folders without write permission behind.
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        for (auto it = std::filesystem::recursive_directory_iterator(m_path, ec);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
        }
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

inline void writeFile(const std::string& path, const std::string& contents) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
    if (!out) throw std::runtime_error("cannot write " + path);
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

// While it lives, the system refuses to let files of this process grow past
// a few bytes: a real write failure, also for a user who may write anywhere.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes = 8) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    struct rlimit m_saved {};
    void (*m_oldHandler)(int) = nullptr;
};

inline bool exists(const std::string& path) {
    return std::filesystem::exists(path);
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
