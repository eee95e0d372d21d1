// Writing the store as a 16-bit PCM WAV file with a 20-byte fmt payload.
#pragma once

#include "signal/FileErrors.h"
#include "signal/SignalStore.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>

class ReplacingFile;

// What SaveSignal hands to WriteWavFile.
struct WavFormatRecord {
    uint16_t FormatTag = 1; // 1: PCM
    uint16_t ChannelCount = 1;
    int32_t SampleRate = 48000;
    uint16_t BitsPerSample = 16;
    std::span<const int16_t> Data; // the values, written little-endian
    // The payload of an `auxi` chunk written after the data chunk (SDR recorders' metadata, e.g. the
    // centre frequency); empty: none, and the file is exactly header and data.
    std::span<const uint8_t> Auxi;
};

// WriteWavFile's result codes.
constexpr uint16_t kWavWriteOk = 0;
constexpr uint16_t kWavWriteHeaderError = 6; // while writing offsets 0 to 39
constexpr uint16_t kWavWriteDataError = 7;   // while writing the data chunk (wins over 6)

// Size of the `auxi` chunk after the data for a payload of `auxiBytes` (0: no chunk): its 8-byte head,
// the payload and the pad byte of an odd payload.
constexpr uint64_t AuxiChunkSize(uint64_t auxiBytes) {
    return auxiBytes == 0 ? 0 : 8 + auxiBytes + (auxiBytes & 1);
}

// Size of the file WriteWavFile writes for `valueCount` values and an `auxi` payload of `auxiBytes`.
constexpr uint64_t WavFileSize(uint64_t valueCount, uint64_t auxiBytes = 0) {
    return 48 + 2 * valueCount + AuxiChunkSize(auxiBytes);
}

// Writes the 48-byte header of the layout for a data chunk of `dataBytes` bytes followed by
// `trailingBytes` bytes of further chunks (counted in the RIFF size).
void BuildWavHeader(const WavFormatRecord& record, uint32_t dataBytes, uint8_t header[48],
                    uint32_t trailingBytes = 0);

// Writes `values` as 16-bit little-endian values (the data of a WAV file or of a SigMF ci16_le/ri16_le
// file); false when a write failed.
bool WriteValuesLittleEndian(ReplacingFile& file, std::span<const int16_t> values);

// Creates or replaces `fileName` (through symbolic links, as ReplacingFile describes) and returns a
// result code. A failed save leaves an existing file as it was, except after an error in the middle of
// a write in place (a writable file in a read-only folder). Throws EFCreateError when no file can be
// created or the existing file may not be written. On a failed write `systemError`, when given, receives
// the system's error number.
uint16_t WriteWavFile(const std::string& fileName, const WavFormatRecord& record, int* systemError = nullptr);

// The quick save's target: DemoSample.wav in the start directory.
std::string QuickSavePath(const std::string& startDirectory);

// Saves the store: panel-0 texts go through `setStatus` (" Saving NAME...", then " Ready" or
// " ERROR: Stream Error."). An empty fileName is the quick save into `startDirectory`. `auxi`, when not
// empty, is written as an `auxi` chunk after the data. Returns the result code of WriteWavFile; an
// EFCreateError propagates after the saving text was shown. On a failed write `systemError`, when given,
// receives the system's error number.
uint16_t SaveSignal(const SignalStore& store, const std::string& fileName, const std::string& startDirectory,
                    const std::function<void(const std::string&)>& setStatus,
                    std::span<const uint8_t> auxi = {}, int* systemError = nullptr);
