#include "signal/WavSigMFMeta.h"

#include "signal/FileNames.h"
#include "signal/SigMFFiles.h"
#include "signal/SigMFReader.h"

#include <filesystem>

std::string SigMFMetaBesideWav(const std::string& wavFileName) {
    std::filesystem::path name(wavFileName);
    name.replace_extension(kSigMFMetaExtension);
    return name.string();
}

std::optional<SigMFMeta> ReadSigMFMetaOfWav(const std::string& wavFileName) {
    const std::string metaFile = SigMFMetaBesideWav(wavFileName);
    std::error_code error;
    if (!std::filesystem::is_regular_file(metaFile, error)) return std::nullopt;
    const SigMFMetaText text = ReadSigMFMetaText(metaFile);
    if (!text.Problem.empty()) return std::nullopt;
    SigMFMetaParse parse = ParseSigMFMeta(text.Text);
    if (!parse.Meta || parse.Meta->Dataset != FileNameWithoutFolder(wavFileName)) return std::nullopt;
    return std::move(parse.Meta);
}
