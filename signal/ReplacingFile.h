// Writing a file so that a failure never destroys what was there: a regular file (or a missing one)
// is written beside its target under a temporary name and renamed over it only when every byte was
// written and flushed. Devices, pipes and the like cannot be replaced by a rename and are written in
// place.
#pragma once

#include "signal/FileErrors.h"

#include <cstddef>
#include <string>

class ReplacingFile {
public:
    // Opens the temporary file (or the target itself when it is not a regular file). Throws
    // EFCreateError when it cannot be created. A new file gets mode 0644; a replaced file keeps its
    // permission bits.
    explicit ReplacingFile(std::string fileName);
    // Removes the temporary file when the write was not committed.
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Writes all of the bytes, or returns false (the reason is kept in LastError()).
    [[nodiscard]] bool Write(const void* data, size_t size);
    // Flushes and closes the file and moves it over the target. Returns false when flushing or
    // closing failed (the temporary file is removed, the target untouched). Throws EFCreateError
    // when the rename fails.
    [[nodiscard]] bool Commit();
    // Closes and removes the temporary file; the target stays as it was.
    void Discard();

    const std::string& FileName() const { return fileName_; }
    int LastError() const { return lastError_; }

private:
    bool Close();

    std::string fileName_;
    std::string tempName_; // empty when writing in place
    int fd_ = -1;
    int lastError_ = 0;
    bool finished_ = false;
};
