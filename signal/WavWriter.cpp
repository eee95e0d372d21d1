#include "signal/WavWriter.h"

#include "signal/FileNames.h"
#include "signal/LittleEndian.h"
#include "signal/ReplacingFile.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace {

// Writes the values little-endian, converting in blocks only on a big-endian host.
bool WriteSamples(ReplacingFile& file, std::span<const int16_t> data) {
    if constexpr (std::endian::native == std::endian::little) {
        return file.Write(data.data(), data.size_bytes());
    } else {
        std::vector<uint8_t> block(65536);
        for (size_t i = 0; i < data.size();) {
            size_t n = 0;
            for (; n + 2 <= block.size() && i < data.size(); n += 2, ++i)
                PutLE16(&block[n], static_cast<uint16_t>(data[i]));
            if (!file.Write(block.data(), n)) return false;
        }
        return true;
    }
}

// Writes header and data and returns the result code. Data beyond what the 32-bit RIFF size can state
// (a store never holds that much, see kMaxValueCount) is refused before anything is written.
uint16_t WriteWavTo(ReplacingFile& file, const WavFormatRecord& record) {
    if (record.Data.size() > static_cast<size_t>(kMaxValueCount)) return kWavWriteHeaderError;
    const auto dataBytes = static_cast<uint32_t>(record.Data.size_bytes());
    uint8_t header[48];
    BuildWavHeader(record, dataBytes, header);
    uint16_t result = kWavWriteOk;
    if (!file.Write(header, 40)) result = kWavWriteHeaderError;
    if (!file.Write(header + 40, 8) || !WriteSamples(file, record.Data)) result = kWavWriteDataError;
    return result;
}

} // namespace

void BuildWavHeader(const WavFormatRecord& record, uint32_t dataBytes, uint8_t header[48]) {
    const auto blockAlign = static_cast<uint16_t>((record.BitsPerSample / 8) * record.ChannelCount);
    std::memcpy(header, "RIFF", 4);
    PutLE32(header + 4, 40u + dataBytes);
    std::memcpy(header + 8, "WAVEfmt ", 8);
    PutLE32(header + 16, 20);
    PutLE16(header + 20, record.FormatTag);
    PutLE16(header + 22, record.ChannelCount);
    PutLE32(header + 24, static_cast<uint32_t>(record.SampleRate));
    PutLE32(header + 28, static_cast<uint32_t>(record.SampleRate) * blockAlign);
    PutLE16(header + 32, blockAlign);
    PutLE16(header + 34, record.BitsPerSample);
    PutLE32(header + 36, 0); // cbSize and the two bytes after it
    std::memcpy(header + 40, "data", 4);
    PutLE32(header + 44, dataBytes);
}

uint16_t WriteWavFile(const std::string& fileName, const WavFormatRecord& record) {
    ReplacingFile file(fileName, WavFileSize(record.Data.size()));
    uint16_t result = WriteWavTo(file, record);
    if (result != kWavWriteOk) {
        file.Discard();
        return result;
    }
    return file.Commit() ? kWavWriteOk : kWavWriteDataError;
}

std::string QuickSavePath(const std::string& startDirectory) {
    if (!startDirectory.empty() && startDirectory.back() == '/') return startDirectory + "DemoSample.wav";
    return startDirectory + "/DemoSample.wav";
}

uint16_t SaveSignal(const SignalStore& store, const std::string& fileName, const std::string& startDirectory,
                    const std::function<void(const std::string&)>& setStatus) {
    WavFormatRecord record;
    record.ChannelCount = store.ChannelCount;
    record.SampleRate = store.SampleRate;
    record.BitsPerSample = 16;
    record.FormatTag = 1;
    const auto count =
        std::min<size_t>(store.Samples.size(), static_cast<size_t>(std::max(store.ValueCount, 0)));
    record.Data = std::span<const int16_t>(store.Samples.data(), count);

    const std::string target = fileName.empty() ? QuickSavePath(startDirectory) : fileName;
    setStatus(" Saving " + FileNameWithoutFolder(target) + "...");
    const uint16_t result = WriteWavFile(target, record);
    setStatus(result == kWavWriteOk ? " Ready" : " ERROR: Stream Error.");
    return result;
}
