#include "signal/SigMFWriter.h"

#include "signal/FileNames.h"
#include "signal/LittleEndian.h"
#include "signal/ReplacingFile.h"
#include "signal/SigMFFiles.h"
#include "signal/WavWriter.h"

#include <algorithm>
#include <bit>
#include <span>
#include <vector>

namespace {

std::span<const int16_t> ValuesOf(const SignalStore& store) {
    const auto count =
        std::min<size_t>(store.Samples.size(), static_cast<size_t>(std::max(store.ValueCount, 0)));
    return {store.Samples.data(), count};
}

// Both files written, then committed: a failure before the commits leaves both old files. (Each
// commit flushes its own file before it replaces the old one.)
uint16_t WritePair(const SigMFPair& pair, std::span<const int16_t> values, const std::string& metaText,
                   int* systemError) {
    ReplacingFile data(pair.Data, values.size_bytes());
    ReplacingFile meta(pair.Meta, metaText.size());
    ReplacingFile* failed = nullptr;
    if (!WriteValuesLittleEndian(data, values))
        failed = &data;
    else if (!meta.Write(metaText.data(), metaText.size()))
        failed = &meta;
    else if (!data.Commit())
        failed = &data;
    else if (!meta.Commit())
        failed = &meta;
    if (failed == nullptr) return kWavWriteOk;
    // The files not committed are removed as they go out of scope.
    if (systemError != nullptr) *systemError = failed->LastError();
    return kWavWriteDataError;
}

} // namespace

SigMFDatatype SigMFDatatypeOf(const SignalStore& store) {
    SigMFDatatype datatype;
    datatype.Complex = store.TwoChannels();
    datatype.Type = SigMFSampleType::I16;
    datatype.BigEndian = false;
    return datatype;
}

uint16_t SaveSigMF(const SignalStore& store, const std::string& fileName, const std::string& metaText,
                   const std::function<void(const std::string&)>& setStatus, int* systemError) {
    setStatus(" Saving " + FileNameWithoutFolder(fileName) + "...");
    const uint16_t result = WritePair(SigMFPairOf(fileName), ValuesOf(store), metaText, systemError);
    setStatus(result == kWavWriteOk ? " Ready" : " ERROR: Stream Error.");
    return result;
}

uint16_t SaveSigMFMeta(const std::string& metaFileName, const std::string& metaText,
                       const std::function<void(const std::string&)>& setStatus, int* systemError) {
    setStatus(" Saving " + FileNameWithoutFolder(metaFileName) + "...");
    ReplacingFile meta(metaFileName, metaText.size());
    const bool written = meta.Write(metaText.data(), metaText.size()) && meta.Commit();
    if (!written && systemError != nullptr) *systemError = meta.LastError();
    setStatus(written ? " Ready" : " ERROR: Stream Error.");
    return written ? kWavWriteOk : kWavWriteDataError;
}
