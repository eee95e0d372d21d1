// What the session knows of the recording besides its values: the file it came from, the radio
// frequency of its 0 Hz, the sample format the file had and the SDR metadata chunk it carried, all
// kept so that a save writes back what the file carried. A SigMF recording adds the time of its first
// sample, its annotations and its meta file; a WAV file with a SigMF meta file beside it that names it
// (signal/WavSigMFMeta.h) adds the same from that meta file.
#pragma once

#include "signal/Annotation.h"
#include "signal/CaptureReader.h"
#include "signal/SampleDecoding.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct SigMFMeta;

struct RecordingDescription {
    std::string FileName;                       // the file read; empty: nothing loaded
    int64_t CentreFrequency = 0;                // Hz; 0: none known
    std::optional<SampleEncoding> SourceFormat; // the file's samples; nothing: raw data (no header)
    std::vector<uint8_t> AuxiPayload;           // the file's `auxi` chunk; empty: none
    std::string DateTime;                       // of the first sample (ISO 8601, UTC); empty: not known
    std::vector<Annotation> Annotations;        // the marked stretches of the recording
    std::shared_ptr<const SigMFMeta> SigMF;     // the meta file of a SigMF recording; null: not SigMF
    // A bare I/Q capture: the rate, centre frequency (as given) and type it was read with; nothing:
    // not a capture.
    std::optional<CaptureOptions> Capture;
    std::shared_ptr<const SigMFMeta> WavMeta;   // the meta file beside a WAV file read; null: none
    int64_t WavHeaderBytes = 0;                 // bytes of the WAV file read before its first sample
};

// The source format as orvane-cli names it: "pcm8", "pcm16", "pcm24", "pcm32", "float32", "float64",
// or "raw16" for a file read as raw 16-bit data.
std::string SourceFormatName(const std::optional<SampleEncoding>& format);

// The same in words for messages: "8-bit", "16-bit", "24-bit", "32-bit integer", "32-bit float",
// "64-bit float", "raw 16-bit".
std::string SourceFormatWords(const std::optional<SampleEncoding>& format);

// Whether the format has more resolution than the store's 16 bits, so that a save loses some.
bool WiderThanStore(const std::optional<SampleEncoding>& format);

// The recording's samples in words for messages: a SigMF recording's datatype ("cf32_le"), a
// capture's type ("cf32"), else SourceFormatWords.
std::string SourceWords(const RecordingDescription& description);

// Whether the file read had more resolution than the store's 16 bits (a SigMF datatype of more than
// 16 bits per value, and a capture of such a type, too).
bool SourceWiderThanStore(const RecordingDescription& description);
