#include "cli/Outputs.h"

#include "signal/ReplacingFile.h"
#include "view/PictureFile.h"

#include <cstring>
#include <sys/stat.h>

namespace {

// Whether both names lead to one existing file: the same device and inode, through any links.
bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

void CheckWritable(const std::string& output) {
    if (const int err = ReplacingFile::WriteProblem(output); err != 0)
        throw FileError(output, std::strerror(err));
}

} // namespace

void CheckPictureOutput(const std::string& output, const std::string& input) {
    if (!PictureFormatNamed(output))
        throw CliError{output + ": not a picture name: render writes OUT.bmp or OUT.png", kExitUsage};
    if (SameFile(output, input))
        throw CliError{output + ": is the input file " + input + ": render does not overwrite its recording",
                       kExitUsage};
    CheckWritable(output);
}

void CheckWavOutput(const std::string& output) {
    CheckWritable(output);
}

void CheckNewRecordingOutput(const std::string& output, const std::string& input,
                             const std::string& command) {
    if (SameFile(output, input))
        throw CliError{output + ": is the input file " + input + ": " + command +
                           " does not overwrite its recording",
                       kExitUsage};
    CheckWritable(output);
}

CliError SaveFailure(const std::string& output, const std::runtime_error& error) {
    const std::string message = error.what();
    for (const std::string prefix : {"Cannot create file \"", "Cannot write file \""}) {
        const std::string head = prefix + output + "\". ";
        if (message.starts_with(head)) return FileError(output, message.substr(head.size()));
    }
    return FileError(output, message);
}
