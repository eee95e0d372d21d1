#include "signal/ReplacingFile.h"

#include "signal/FileNames.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// As many links as the system itself follows in one path before it gives up with ELOOP.
constexpr int kMaxLinkHops = 40;

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The text of the symbolic link `path`, or nothing (errno set) when it cannot be read.
bool ReadLink(const std::string& path, std::string& text) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
        if (n < 0) return false;
        if (size_t(n) < buffer.size()) {
            text.assign(buffer.data(), size_t(n));
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

// Follows symbolic links at the end of `path` to the name they lead to, whether or not that exists. A
// relative link is taken from the link's own folder, as the system does. Folders along the way are left
// for the system to resolve: a rename within a folder reached through a link stays in that folder.
// Returns 0, or the system's error number when a link cannot be read or they loop.
int ResolveLinks(const std::string& path, std::string& target) {
    target = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat entry {};
        if (::lstat(target.c_str(), &entry) != 0 || !S_ISLNK(entry.st_mode)) return 0;
        std::string text;
        if (!ReadLink(target, text)) return errno;
        target = !text.empty() && text[0] == '/' ? text : FolderOf(target) + "/" + text;
    }
    return ELOOP;
}

std::string FollowLinks(const std::string& path) {
    std::string target;
    if (const int err = ResolveLinks(path, target); err != 0)
        throw EFCreateError(CreateErrorMessage(path, err));
    return target;
}

// Gives a replacement the owner, group and permission bits of the file it replaces. The owner can be
// kept only with the rights to give files away; the group then, where the user belongs to it; failing
// both, the new file belongs to the user. The bits are set last, as a change of owner clears some.
void CarryOverOwnership(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, uid_t(-1), old.st_gid) != 0) {
        // the replacement stays the user's own
    }
    ::fchmod(fd, old.st_mode & 07777);
}

// Each write call hands the system at most this much, so that a request to give up is seen within a
// fraction of a second also while a large picture or recording is written.
constexpr size_t kLargestWriteCall = size_t{8} << 20;

std::atomic<const std::atomic<bool>*> gGiveUpFlag{nullptr};

// Whether `size` bytes may be written to a file under the process's file-size limit.
bool WithinFileSizeLimit(uint64_t size) {
    struct rlimit limit {};
    return ::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
           size <= limit.rlim_cur;
}

} // namespace

ReplacingFile::ReplacingFile(std::string fileName, uint64_t finalSize)
    : fileName_(std::move(fileName)), targetName_(FollowLinks(fileName_)) {
    struct stat target {};
    const bool exists = ::stat(targetName_.c_str(), &target) == 0;
    if (exists && !S_ISREG(target.st_mode)) {
        method_ = Method::Stream;
        fd_ = ::open(targetName_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY);
        if (fd_ < 0) throw EFCreateError(CreateErrorMessage(fileName_, errno));
        return;
    }
    // Opening the existing file for writing, without changing it, asks the system whether the user may
    // write it: mode bits, access lists, read-only mounts and root's rights all answer as they would
    // for the write itself.
    int existing = -1;
    if (exists) {
        existing = ::open(targetName_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (existing < 0) throw EFCreateError(CreateErrorMessage(fileName_, errno));
    }
    tempName_ = FolderOf(targetName_) + "/." + FileNameWithoutFolder(targetName_) + ".XXXXXX";
    fd_ = ::mkostemp(tempName_.data(), O_CLOEXEC);
    if (fd_ >= 0) {
        if (existing >= 0) ::close(existing);
        if (exists)
            CarryOverOwnership(fd_, target);
        else
            ::fchmod(fd_, 0644);
        return;
    }
    const int err = errno;
    tempName_.clear();
    if (existing >= 0 && (err == EACCES || err == EPERM)) {
        OpenInPlace(existing, finalSize);
        return;
    }
    if (existing >= 0) ::close(existing);
    throw EFCreateError(CreateErrorMessage(fileName_, err));
}

void ReplacingFile::OpenInPlace(int fd, uint64_t finalSize) {
    method_ = Method::InPlace;
    fd_ = fd;
    if (!WithinFileSizeLimit(finalSize)) {
        refused_ = true;
        lastError_ = EFBIG;
        return;
    }
    // Reserves the blocks the new contents need without changing the file's size or contents, so that
    // a full disk or quota shows before the first byte is overwritten. File systems that cannot reserve
    // (any other error) are written without a reservation.
    if (finalSize > 0 && ::fallocate(fd_, FALLOC_FL_KEEP_SIZE, 0, off_t(finalSize)) != 0 &&
        (errno == ENOSPC || errno == EDQUOT || errno == EFBIG)) {
        refused_ = true;
        lastError_ = errno;
    }
}

ReplacingFile::~ReplacingFile() {
    if (!finished_) Discard();
}

int ReplacingFile::WriteProblem(const std::string& fileName) {
    std::string target;
    if (const int err = ResolveLinks(fileName, target); err != 0) return err;
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) return EISDIR;
        // Devices and pipes are written as they come; opening a pipe would wait for its reader.
        if (!S_ISREG(existing.st_mode)) return 0;
        // Asked as the constructor asks: a writable file is replaced, or written in place.
        const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) return errno;
        ::close(fd);
        return 0;
    }
    if (errno != ENOENT) return errno;
    // A new file is created in its folder, which must be there and let the user create files.
    const std::string folder = FolderOf(target);
    struct stat parent {};
    if (::stat(folder.c_str(), &parent) != 0) return errno;
    if (!S_ISDIR(parent.st_mode)) return ENOTDIR;
    return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0 ? 0 : errno;
}

void ReplacingFile::GiveUpWhen(const std::atomic<bool>* flag) {
    gGiveUpFlag.store(flag);
}

bool ReplacingFile::GivingUp() const {
    const std::atomic<bool>* flag = gGiveUpFlag.load();
    if (flag == nullptr || !flag->load()) return false;
    return method_ != Method::InPlace || written_ == 0;
}

bool ReplacingFile::Write(const void* data, size_t size) {
    if (refused_) return false;
    auto* p = static_cast<const unsigned char*>(data);
    while (size > 0) {
        if (GivingUp()) {
            lastError_ = ECANCELED;
            refused_ = method_ == Method::InPlace; // nothing of the old contents was overwritten
            return false;
        }
        const ssize_t n = ::write(fd_, p, std::min(size, kLargestWriteCall));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            lastError_ = n < 0 ? errno : ENOSPC;
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
        written_ += static_cast<uint64_t>(n);
    }
    return true;
}

bool ReplacingFile::Close() {
    if (fd_ < 0) return true;
    const int result = ::close(fd_);
    fd_ = -1;
    if (result != 0) lastError_ = errno;
    return result == 0;
}

bool ReplacingFile::Commit() {
    finished_ = true;
    if (method_ == Method::Stream) return Close();
    if (!refused_ && GivingUp()) {
        lastError_ = ECANCELED;
        refused_ = true;
    }
    bool ok = !refused_;
    if (ok && method_ == Method::InPlace && ::ftruncate(fd_, off_t(written_)) != 0) {
        lastError_ = errno;
        ok = false;
    }
    if (ok && ::fsync(fd_) != 0) {
        lastError_ = errno;
        ok = false;
    }
    ok = Close() && ok;
    if (method_ == Method::InPlace) return ok;
    // The last moment to give up: a signal during the flush still keeps the target as it was.
    if (ok && GivingUp()) {
        lastError_ = ECANCELED;
        ok = false;
    }
    if (!ok) {
        ::unlink(tempName_.c_str());
        return false;
    }
    if (::rename(tempName_.c_str(), targetName_.c_str()) != 0) {
        const int err = errno;
        ::unlink(tempName_.c_str());
        throw EFCreateError(CreateErrorMessage(fileName_, err));
    }
    return true;
}

void ReplacingFile::Discard() {
    finished_ = true;
    Close();
    if (method_ == Method::Replace) ::unlink(tempName_.c_str());
}
