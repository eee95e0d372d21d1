#include "signal/WavWriter.h"

#include "signal/FileNames.h"
#include "signal/LittleEndian.h"
#include "signal/ReplacingFile.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace {

// The `auxi` payload the file will carry: none when header, data and chunk would not fit the 32-bit
// RIFF size (only a store near the largest a WAV file can hold).
std::span<const uint8_t> AuxiThatFits(const WavFormatRecord& record) {
    const uint64_t size = WavFileSize(record.Data.size(), record.Auxi.size());
    return size - 8 <= 0xFFFFFFFFu ? record.Auxi : std::span<const uint8_t>();
}

// The `auxi` chunk after the data: head, payload and the pad byte of an odd payload.
bool WriteAuxiChunk(ReplacingFile& file, std::span<const uint8_t> auxi) {
    if (auxi.empty()) return true;
    uint8_t head[8];
    std::memcpy(head, "auxi", 4);
    PutLE32(head + 4, static_cast<uint32_t>(auxi.size()));
    const uint8_t pad = 0;
    return file.Write(head, 8) && file.Write(auxi.data(), auxi.size()) &&
           ((auxi.size() & 1) == 0 || file.Write(&pad, 1));
}

// Writes header, data and the `auxi` chunk and returns the result code. Data beyond what the 32-bit
// RIFF size can state (a store never holds that much, see kMaxValueCount) is refused before anything
// is written.
uint16_t WriteWavTo(ReplacingFile& file, const WavFormatRecord& record, std::span<const uint8_t> auxi) {
    if (record.Data.size() > static_cast<size_t>(kMaxValueCount)) return kWavWriteHeaderError;
    const auto dataBytes = static_cast<uint32_t>(record.Data.size_bytes());
    uint8_t header[48];
    BuildWavHeader(record, dataBytes, header, static_cast<uint32_t>(AuxiChunkSize(auxi.size())));
    uint16_t result = kWavWriteOk;
    if (!file.Write(header, 40)) result = kWavWriteHeaderError;
    if (!file.Write(header + 40, 8) || !WriteValuesLittleEndian(file, record.Data) ||
        !WriteAuxiChunk(file, auxi))
        result = kWavWriteDataError;
    return result;
}

} // namespace

void BuildWavHeader(const WavFormatRecord& record, uint32_t dataBytes, uint8_t header[48],
                    uint32_t trailingBytes) {
    const auto blockAlign = static_cast<uint16_t>((record.BitsPerSample / 8) * record.ChannelCount);
    std::memcpy(header, "RIFF", 4);
    PutLE32(header + 4, 40u + dataBytes + trailingBytes);
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

uint16_t WriteWavFile(const std::string& fileName, const WavFormatRecord& record, int* systemError) {
    const std::span<const uint8_t> auxi = AuxiThatFits(record);
    ReplacingFile file(fileName, WavFileSize(record.Data.size(), auxi.size()));
    uint16_t result = WriteWavTo(file, record, auxi);
    if (result != kWavWriteOk)
        file.Discard();
    else if (!file.Commit())
        result = kWavWriteDataError;
    if (result != kWavWriteOk && systemError != nullptr) *systemError = file.LastError();
    return result;
}

std::string QuickSavePath(const std::string& startDirectory) {
    if (!startDirectory.empty() && startDirectory.back() == '/') return startDirectory + "DemoSample.wav";
    return startDirectory + "/DemoSample.wav";
}

uint16_t SaveSignal(const SignalStore& store, const std::string& fileName, const std::string& startDirectory,
                    const std::function<void(const std::string&)>& setStatus, std::span<const uint8_t> auxi,
                    int* systemError) {
    WavFormatRecord record;
    record.ChannelCount = store.ChannelCount;
    record.SampleRate = store.SampleRate;
    record.BitsPerSample = 16;
    record.FormatTag = 1;
    const auto count =
        std::min<size_t>(store.Samples.size(), static_cast<size_t>(std::max(store.ValueCount, 0)));
    record.Data = std::span<const int16_t>(store.Samples.data(), count);
    record.Auxi = auxi;

    const std::string target = fileName.empty() ? QuickSavePath(startDirectory) : fileName;
    setStatus(" Saving " + FileNameWithoutFolder(target) + "...");
    const uint16_t result = WriteWavFile(target, record, systemError);
    setStatus(result == kWavWriteOk ? " Ready" : " ERROR: Stream Error.");
    return result;
}

// Converts in blocks only on a big-endian host.
bool WriteValuesLittleEndian(ReplacingFile& file, std::span<const int16_t> data) {
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
