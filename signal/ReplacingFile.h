// Writing a file so that a failure destroys as little as possible. The name is first followed through
// symbolic links to the file they lead to (a link to a missing file leads to that file, which is then
// created), so that a link stays a link and its target gets the new contents. An existing file that the
// user may not write is refused with the system's reason before anything is written. The file is then
// written in one of three ways:
// - Replace: beside itself under a temporary name, renamed over it only when every byte was written and
//   flushed, so that a failed save leaves the old file as it was. The permission bits, and the owner and
//   group as far as the system allows, are carried over to the new file. Used whenever the folder lets
//   the user create files.
// - InPlace: a writable file in a folder where no file can be created is overwritten where it is.
//   Nothing is written until the new contents are known to fit (the process's file-size limit, and the
//   disk space reserved in advance where the file system can reserve it); the file is cut to its new
//   length only after the last byte. An error during the write itself (an I/O error, a crash, a quota on
//   a file system that cannot reserve space) leaves a mix of new and old contents: the old file is lost.
// - Stream: devices, pipes and the like are written as the bytes come.
// A program that ends on a signal can have every write in progress given up (GiveUpWhen), so that no
// temporary file is left behind and no target is half written.
#pragma once

#include "signal/FileErrors.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

class ReplacingFile {
public:
    // Opens the file for writing `finalSize` bytes (the size the writer will produce). Throws
    // EFCreateError, naming `fileName`, when the file cannot be created or may not be written. A new
    // file gets mode 0644.
    ReplacingFile(std::string fileName, uint64_t finalSize);
    // Removes the temporary file when the write was not committed.
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Writes all of the bytes, or returns false (the reason is kept in LastError()). In place, every
    // write fails without touching the file when the new contents were found not to fit.
    [[nodiscard]] bool Write(const void* data, size_t size);
    // Finishes the file: a replacement is flushed, closed and moved over the target; a file written in
    // place is cut to the bytes written and flushed. Returns false when that failed (a replacement is
    // then removed and the target untouched). Throws EFCreateError when the rename fails.
    [[nodiscard]] bool Commit();
    // Closes the file; a replacement is removed and the target stays as it was.
    void Discard();

    const std::string& FileName() const { return fileName_; }
    int LastError() const { return lastError_; }

    // What would keep `fileName` from being written, found without creating or changing anything, by
    // the rules above: 0 when nothing is seen, or the system's error number (ENOENT for a missing
    // folder, EISDIR for a folder, EACCES for a file or folder the user may not write, ELOOP ...). A
    // full disk or a file-size limit shows only while writing.
    static int WriteProblem(const std::string& fileName);

    // A process-wide request to give up the files being written, for a program ending on a signal:
    // once `*flag` is true, Write fails with ECANCELED and Commit removes a replacement instead of
    // renaming it, so the target stays as it was and no temporary file is left. A file written in place
    // is left untouched when its first byte is not written yet; after that it is written to its end,
    // since stopping would leave neither the old contents nor the new. nullptr (the default): writes
    // are never given up.
    static void GiveUpWhen(const std::atomic<bool>* flag);

private:
    enum class Method { Replace, InPlace, Stream };

    void OpenInPlace(int fd, uint64_t finalSize);
    bool Close();
    bool GivingUp() const;

    std::string fileName_;
    std::string targetName_; // the name given, with symbolic links followed
    std::string tempName_;   // the replacement being written (Replace only)
    Method method_ = Method::Replace;
    int fd_ = -1;
    int lastError_ = 0;
    bool refused_ = false; // in place: the new contents do not fit, nothing may be written
    uint64_t written_ = 0;
    bool finished_ = false;
};
