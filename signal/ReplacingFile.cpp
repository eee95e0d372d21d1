#include "signal/ReplacingFile.h"

#include "signal/FileNames.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

ReplacingFile::ReplacingFile(std::string fileName) : fileName_(std::move(fileName)) {
    struct stat target {};
    const bool exists = ::stat(fileName_.c_str(), &target) == 0;
    if (exists && !S_ISREG(target.st_mode)) {
        fd_ = ::open(fileName_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd_ < 0) throw EFCreateError(CreateErrorMessage(fileName_, errno));
        return;
    }
    tempName_ = FolderOf(fileName_) + "/." + FileNameWithoutFolder(fileName_) + ".XXXXXX";
    fd_ = ::mkostemp(tempName_.data(), O_CLOEXEC);
    if (fd_ < 0) throw EFCreateError(CreateErrorMessage(fileName_, errno));
    ::fchmod(fd_, exists ? (target.st_mode & 07777) : 0644);
}

ReplacingFile::~ReplacingFile() {
    if (!finished_) Discard();
}

bool ReplacingFile::Write(const void* data, size_t size) {
    auto* p = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd_, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            lastError_ = n < 0 ? errno : ENOSPC;
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
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
    if (tempName_.empty()) return Close();
    bool ok = ::fsync(fd_) == 0;
    if (!ok) lastError_ = errno;
    ok = Close() && ok;
    if (!ok) {
        ::unlink(tempName_.c_str());
        return false;
    }
    if (::rename(tempName_.c_str(), fileName_.c_str()) != 0) {
        const int err = errno;
        ::unlink(tempName_.c_str());
        throw EFCreateError(CreateErrorMessage(fileName_, err));
    }
    return true;
}

void ReplacingFile::Discard() {
    finished_ = true;
    Close();
    if (!tempName_.empty()) ::unlink(tempName_.c_str());
}
