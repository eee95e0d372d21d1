// Lowers the process's file-size limit while it lives (the limit binds root too), with SIGXFSZ
// ignored, so that a write past the limit fails with EFBIG instead of ending the test program.
#pragma once

#include <csignal>
#include <sys/resource.h>

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        set_ = ::getrlimit(RLIMIT_FSIZE, &saved_) == 0;
        if (!set_) return;
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        set_ = ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool Set() const { return set_; }

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = SIG_DFL;
    bool set_ = false;
};
