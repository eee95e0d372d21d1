// A read-only file with a position, for the WAV reader: reads never go past the end and report what
// they got.
#pragma once

#include "signal/WorkerPool.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

class FileCursor {
public:
    explicit FileCursor(const std::string& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)), openError_(fd_ < 0 ? errno : 0) {}
    ~FileCursor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileCursor(const FileCursor&) = delete;
    FileCursor& operator=(const FileCursor&) = delete;

    // Open, and a regular file whose size is known.
    bool Open() {
        struct stat st {};
        if (fd_ < 0) return false;
        if (::fstat(fd_, &st) != 0) {
            openError_ = errno;
            return false;
        }
        if (!S_ISREG(st.st_mode)) {
            openError_ = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
            return false;
        }
        size_ = st.st_size;
        return true;
    }
    // Why Open() failed, as an errno value: EISDIR for a folder, EINVAL for anything else that is not a
    // regular file.
    int OpenError() const { return openError_; }
    int64_t Size() const { return size_; }
    int64_t Position() const { return pos_; }
    int64_t Remaining() const { return std::max<int64_t>(0, size_ - pos_); }
    void Seek(int64_t pos) { pos_ = pos; }
    void Skip(int64_t count) { pos_ += count; }

    // Reads up to `count` bytes at the position and advances by what was read. A large read is split
    // in two halves shared with the worker pool: most of its time is the system mapping in and
    // filling the fresh pages of the store, which then runs on two cores (or on the caller alone when
    // no pool thread is free).
    int64_t Read(void* buffer, int64_t count) {
        auto* p = static_cast<uint8_t*>(buffer);
        count = std::min(count, Remaining());
        if (count < kSplitReadFrom) {
            const int64_t done = ReadAt(p, count, pos_);
            pos_ += done;
            return done;
        }
        const int64_t half = count / 2 / kReadPiece * kReadPiece;
        int64_t halfDone[2] = {0, 0};
        WorkerPool::Shared().Share(2, [&](size_t i) {
            halfDone[i] = i == 0 ? ReadAt(p, half, pos_) : ReadAt(p + half, count - half, pos_ + half);
        });
        const int64_t done = halfDone[0] == half ? half + halfDone[1] : halfDone[0];
        pos_ += done;
        return done;
    }

    bool ReadExactly(void* buffer, int64_t count) { return Read(buffer, count) == count; }

    // The byte at the position, or -1 at the end; the position does not move.
    int PeekByte() {
        uint8_t b = 0;
        if (::pread(fd_, &b, 1, pos_) != 1) return -1;
        return b;
    }

private:
    // Reads of at least this many bytes are split; the halves meet at a multiple of kReadPiece from
    // the start (a huge page of a store that starts on one).
    static constexpr int64_t kSplitReadFrom = int64_t{32} << 20;
    static constexpr int64_t kReadPiece = int64_t{2} << 20;

    // Up to `count` bytes at `offset`; fewer only at the end of the file or on an error.
    int64_t ReadAt(uint8_t* p, int64_t count, int64_t offset) const {
        int64_t done = 0;
        while (done < count) {
            const ssize_t n = ::pread(fd_, p + done, static_cast<size_t>(count - done), offset + done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += n;
        }
        return done;
    }

    int fd_;
    int openError_ = 0;
    int64_t size_ = 0;
    int64_t pos_ = 0;
};
