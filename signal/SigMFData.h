// Reading the samples of a SigMF recording (a `.sigmf-data` file, or the dataset its meta file names)
// into the store, decoded into 16-bit values (signal/SigMFDecoding.h). A complex recording becomes two
// channels, I and Q; a real one a single channel.
#pragma once

#include "signal/SigMFDatatype.h"
#include "signal/SignalStore.h"

#include <cstdint>
#include <string>

struct SigMFDataRead {
    bool StoreReplaced = false; // false: the file could not be read, the store's values are as they were
    int64_t BytesRead = 0;      // bytes of whole samples decoded into the store
    std::string Status;         // when not replaced: the panel-0 text, e.g. " ERROR: File Access."
    std::string FailureReason;  // when not replaced: why, in words
};

// Reads the values of `dataFile` after its first `headerBytes` bytes into the store: Samples,
// ValueCount and ChannelCount (the caller sets the rest). A file longer than `largestFile` bytes is
// refused. Never holds more than kMaxValueCount values (the rest is not read), and only whole samples:
// a last sample cut short is left out (for a complex type, a lone I too).
SigMFDataRead ReadSigMFData(SignalStore& store, const std::string& dataFile, const SigMFDatatype& datatype,
                            int64_t headerBytes, int64_t largestFile);
