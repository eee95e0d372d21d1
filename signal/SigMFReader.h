// Opening a SigMF recording from either of its files: the meta file read (signal/SigMFMeta.h), then its
// samples (signal/SigMFData.h) from NAME.sigmf-data or the dataset the meta file names.
#pragma once

#include "signal/SigMFMeta.h"
#include "signal/SignalStore.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// Meta files longer than this are refused: a meta file holds text, not samples.
inline constexpr int64_t kMaxSigMFMetaBytes = int64_t{64} << 20;

// The text of a meta file, or why it could not be read.
struct SigMFMetaText {
    std::string Text;
    std::string Problem; // not empty: the file could not be read (why, naming it)
};

// Reads a meta file's text; one longer than kMaxSigMFMetaBytes is refused.
SigMFMetaText ReadSigMFMetaText(const std::string& metaFile);

struct SigMFReadResult {
    bool StoreReplaced = false;  // false: nothing of the store but its FileName changed
    std::string Status;          // the final panel-0 text, e.g. " Bytes : 96000 ci16_le SigMF Data"
    std::string FailureReason;   // when not replaced: why, naming the file or field at fault
    int64_t BytesRead = 0;       // bytes of samples decoded
    int64_t CentreFrequency = 0; // Hz, the first capture's core:frequency, else from the name; 0: none
    std::optional<SigMFMeta> Meta;
};

// Reads the recording `fileName` (a name IsSigMFName) into the store. Sets store.FileName first, then,
// when both files are read, Samples, ValueCount, ChannelCount, SampleRate and BitsPerSample. Refused,
// with the store's values as they were: a missing or unreadable file (named), a meta file that is not
// valid, a channel count the store cannot hold (one complex or one real channel), a data file longer
// than `largestFile` bytes. `setStatus` receives the intermediate panel-0 texts.
SigMFReadResult ReadSigMFRecording(SignalStore& store, const std::string& fileName,
                                   const std::function<void(const std::string&)>& setStatus,
                                   int64_t largestFile);
