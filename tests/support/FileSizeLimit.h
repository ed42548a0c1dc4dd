#pragma once

#include <signal.h>
#include <sys/resource.h>

namespace norak::testing {

// Lets a test write at most `bytes` bytes into any one file while it lives, as a nearly full disk
// would; a write beyond fails with EFBIG instead of ending the process.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_oldHandler = ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        m_active = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        ::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool active() const { return m_active; }

  private:
    rlimit m_old{};
    sighandler_t m_oldHandler = nullptr;
    bool m_active = false;
};

}  // namespace norak::testing
