// The two files of a SigMF recording: NAME.sigmf-meta and NAME.sigmf-data, found from either name.
#pragma once

#include <string>
#include <vector>

inline constexpr const char* kSigMFMetaExtension = ".sigmf-meta";
inline constexpr const char* kSigMFDataExtension = ".sigmf-data";

// Whether `fileName` names one file of a SigMF pair (it ends in .sigmf-meta or .sigmf-data).
bool IsSigMFName(const std::string& fileName);

struct SigMFPair {
    std::string Meta;
    std::string Data;
};

// The pair of `fileName`, which IsSigMFName.
SigMFPair SigMFPairOf(const std::string& fileName);

// The files a recording of that name is written to: the pair for a SigMF name, else the name.
std::vector<std::string> RecordingFilesOf(const std::string& fileName);

// The file of a meta file's `core:dataset`, in the meta file's folder.
std::string DatasetPath(const std::string& metaFileName, const std::string& dataset);
