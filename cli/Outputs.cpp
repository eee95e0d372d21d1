#include "cli/Outputs.h"

#include "signal/ReplacingFile.h"
#include "signal/SigMFFiles.h"
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

// Every file a recording named `output` is written to (both of a SigMF pair) must be writable.
void CheckRecordingWritable(const std::string& output) {
    for (const std::string& file : RecordingFilesOf(output)) CheckWritable(file);
}

// Whether a recording written as `output` would replace a file of the recording `input`.
bool SameRecording(const std::string& output, const std::string& input) {
    for (const std::string& written : RecordingFilesOf(output))
        for (const std::string& read : RecordingFilesOf(input))
            if (SameFile(written, read)) return true;
    return false;
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
    CheckRecordingWritable(output);
}

void CheckNewRecordingOutput(const std::string& output, const std::string& input,
                             const std::string& command) {
    if (SameRecording(output, input))
        throw CliError{output + ": is the input file " + input + ": " + command +
                           " does not overwrite its recording",
                       kExitUsage};
    CheckRecordingWritable(output);
}

CliError SaveFailure(const std::string& output, const std::runtime_error& error) {
    const std::string message = error.what();
    for (const std::string prefix : {"Cannot create file \"", "Cannot write file \""}) {
        const std::string head = prefix + output + "\". ";
        if (message.starts_with(head)) return FileError(output, message.substr(head.size()));
    }
    return FileError(output, message);
}
