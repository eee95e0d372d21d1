// Reading a file into the store: RIFF/WAVE (and RF64/BW64) with 8-bit unsigned, 16-, 24- and 32-bit
// integer or 32- and 64-bit float samples (plain or extensible header) decoded into 16-bit values
// (signal/SampleDecoding.h), and a raw 16-bit mono fallback at 8000 Hz for anything else of acceptable
// size.
#pragma once

#include "signal/SampleDecoding.h"
#include "signal/SignalStore.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The default size limit: files longer than this are refused before the store is touched.
constexpr int64_t kMaxWavFileSize = 500000000;

struct WavReadResult {
    std::string Status;                     // the final text of status panel 0
    bool StoreReplaced = false;             // false only for " ERROR: File Access." and the size refusal
    bool Fallback = false;                  // the header failed a check: raw 16-bit mono data at 8000 Hz
    uint16_t HeaderChannelCount = 1;        // ChannelCount as the read left it (1 after the fallback)
    int64_t BytesRead = 0;                  // data bytes actually read into the store
    int SampleBytes = 2;                    // bytes of the file per stored value (1, 2, 3, 4 or 8)
    int64_t DataOffset = 0;                 // bytes of the file before its first sample (0: raw data)
    int64_t CentreFrequency = 0;            // Hz, from the `auxi` chunk, else from the file's name; 0: none
    std::optional<SampleEncoding> Encoding; // the file's sample format; nothing for the raw fallback
    // The payload of the file's `auxi` chunk (the one whose centre frequency counts, else the first),
    // so that a save can carry it on; empty when there is none or it is longer than kMaxKeptAuxiBytes.
    std::vector<uint8_t> AuxiPayload;
    // The raw fallback of a WAV file whose samples are coded in a way that is not decoded: that coding's
    // short name ("A-law", "µ-law", "ADPCM", "format tag 0x0055"; signal/WavFormatNames.h).
    std::string UndecodedFormat;
    // When the store was not replaced: why, in words (the system's reason the file could not be
    // opened, or its size against the limit). After the raw fallback named by UndecodedFormat: that the
    // file's samples were not decoded and why, e.g. "samples coded as A-law are not decoded: read as raw
    // 16-bit data at 8000 Hz".
    std::string FailureReason;
};

// Longer `auxi` payloads are not kept (their centre frequency still counts).
constexpr std::size_t kMaxKeptAuxiBytes = 65536;

// The reading steps of opening a file. Sets store.FileName first, then (unless the file cannot be
// opened or is longer than `largestFile` bytes) replaces Samples, ValueCount, ChannelCount, SampleRate
// and BitsPerSample. `setStatus` receives the intermediate panel-0 texts (" Read wav File...", error
// texts before the fallback replaces them); the final text is in the result. Never reads outside the
// file, never holds more values than the file has bytes, and never more than kMaxValueCount (the rest
// of a larger file is not read; the status text's byte count tells).
WavReadResult ReadWavFile(SignalStore& store, const std::string& fileName,
                          const std::function<void(const std::string&)>& setStatus = {},
                          int64_t largestFile = kMaxWavFileSize);
