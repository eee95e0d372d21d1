// Writing the store as a SigMF pair: NAME.sigmf-data (the values as 16-bit little-endian integers,
// complex I/Q for two channels) and NAME.sigmf-meta, each written as ReplacingFile writes, so that a
// failed save leaves both old files as they were.
#pragma once

#include "signal/SigMFDatatype.h"
#include "signal/SignalStore.h"

#include <cstdint>
#include <functional>
#include <string>

// The datatype a save writes the store as: ci16_le for two channels, ri16_le for one.
SigMFDatatype SigMFDatatypeOf(const SignalStore& store);

// Writes the store's values and `metaText` to the pair of `fileName` (a name IsSigMFName) and returns
// WriteWavFile's result codes (kWavWriteOk, or kWavWriteDataError when a write or the commit failed).
// Panel-0 texts go through `setStatus` (" Saving NAME...", then " Ready" or " ERROR: Stream Error.").
// Both files are written in full before either replaces its old file. Throws EFCreateError when a file
// cannot be created. On a failed write `systemError`, when given, receives the system's error number.
uint16_t SaveSigMF(const SignalStore& store, const std::string& fileName, const std::string& metaText,
                   const std::function<void(const std::string&)>& setStatus, int* systemError = nullptr);

// Writes `metaText` as the meta file `metaFileName` alone (the samples' file stays as it is), as
// ReplacingFile writes, with the panel-0 texts and results of SaveSigMF.
uint16_t SaveSigMFMeta(const std::string& metaFileName, const std::string& metaText,
                       const std::function<void(const std::string&)>& setStatus, int* systemError = nullptr);
