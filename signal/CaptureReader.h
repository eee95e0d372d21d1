// Reading a bare I/Q capture (signal/CaptureType.h): the samples of the whole file, decoded as the
// SigMF datatype of its type into two channels, I and Q, at the sample rate the user gives, since the
// file does not say it.
#pragma once

#include "signal/SigMFDatatype.h"
#include "signal/SignalStore.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The highest sample rate a capture may be given: the store's rate is a 32-bit number.
inline constexpr int64_t kMaxCaptureRate = 2147483647;

// How a capture is read: what the file does not carry.
struct CaptureOptions {
    int64_t SampleRate = 0; // Hz, whole, 1 ... kMaxCaptureRate
    // Hz, 0 ... kMaxCentreFrequency (0: none); nothing: the one the file's name gives, if any.
    std::optional<int64_t> CentreFrequency;
    // The sample type; nothing: the one the file's extension names.
    std::optional<SigMFDatatype> Type;

    bool operator==(const CaptureOptions&) const = default;
};

// A typed sample rate: a whole number of hertz from 1 to kMaxCaptureRate (blanks around it allowed);
// nothing for any other text.
std::optional<int64_t> ParseCaptureRate(std::string_view text);
// Why ParseCaptureRate refuses `text`: "'48k' is not a whole number of hertz from 1 to 2147483647".
std::string CaptureRateRefusal(std::string_view text);
// A typed centre frequency: a whole number of hertz from 0 to kMaxCentreFrequency; nothing otherwise.
std::optional<int64_t> ParseCaptureCentre(std::string_view text);
// Why ParseCaptureCentre refuses `text`.
std::string CaptureCentreRefusal(std::string_view text);

// Whether `fileName` is read as a capture with `options`: a type is given, or the name ends in a
// capture extension.
bool ReadsAsCapture(const std::string& fileName, const std::optional<CaptureOptions>& options);

struct CaptureReadResult {
    bool StoreReplaced = false;  // false: nothing of the store but its FileName changed
    std::string Status;          // the final panel-0 text, e.g. " Bytes : 96000 cu8 Capture"
    std::string FailureReason;   // when not replaced: why
    int64_t BytesRead = 0;       // bytes of whole samples decoded
    int64_t CentreFrequency = 0; // Hz, given or from the name; 0: none
    SigMFDatatype Type;          // the sample type read
};

// Reads the capture `fileName` into the store as two channels at options.SampleRate. Sets
// store.FileName first, then, when read, Samples, ValueCount, ChannelCount, SampleRate and
// BitsPerSample. Refused, with the store's values as they were: no type given nor named by the
// extension, a rate or centre frequency out of range, a file that cannot be opened or is longer than
// `largestFile` bytes. Holds at most kMaxValueCount values, and whole samples only (a cut last sample
// is left out). `setStatus` receives the intermediate panel-0 texts.
CaptureReadResult ReadCapture(SignalStore& store, const std::string& fileName, const CaptureOptions& options,
                              const std::function<void(const std::string&)>& setStatus, int64_t largestFile);
