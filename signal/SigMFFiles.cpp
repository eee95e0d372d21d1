#include "signal/SigMFFiles.h"

#include <cstring>

namespace {

bool EndsWith(const std::string& text, const char* tail) {
    const size_t n = std::strlen(tail);
    return text.size() > n && text.compare(text.size() - n, n, tail) == 0;
}

} // namespace

bool IsSigMFName(const std::string& fileName) {
    return EndsWith(fileName, kSigMFMetaExtension) || EndsWith(fileName, kSigMFDataExtension);
}

SigMFPair SigMFPairOf(const std::string& fileName) {
    // Both extensions have the same length.
    const std::string base = fileName.substr(0, fileName.size() - std::strlen(kSigMFMetaExtension));
    return {base + kSigMFMetaExtension, base + kSigMFDataExtension};
}

std::vector<std::string> RecordingFilesOf(const std::string& fileName) {
    if (!IsSigMFName(fileName)) return {fileName};
    const SigMFPair pair = SigMFPairOf(fileName);
    return {pair.Data, pair.Meta};
}

std::string DatasetPath(const std::string& metaFileName, const std::string& dataset) {
    const size_t slash = metaFileName.find_last_of('/');
    return slash == std::string::npos ? dataset : metaFileName.substr(0, slash + 1) + dataset;
}
