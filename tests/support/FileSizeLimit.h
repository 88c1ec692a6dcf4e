#pragma once

// A real write failure for tests on POSIX systems.

#include <sys/resource.h>

#include <csignal>

namespace testing_support {

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

}  // namespace testing_support
