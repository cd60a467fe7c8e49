#pragma once
// While it lives, no file of the test process may grow past `bytes` (a full
// disk, even for root): a write past it fails with EFBIG instead of raising
// SIGXFSZ. The limit and the signal's handling come back when it goes.

#include <csignal>
#include <sys/resource.h>

namespace msrw::test {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        if (getrlimit(RLIMIT_FSIZE, &old_) != 0)
            return;
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        set_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        if (set_)
            setrlimit(RLIMIT_FSIZE, &old_);
        if (oldHandler_ != SIG_ERR)
            std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool set() const { return set_; }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = SIG_ERR;
    bool set_ = false;
};

} // namespace msrw::test
