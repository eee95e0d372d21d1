#include "signal/WavWriter.h"

#include "signal/FileNames.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

[[noreturn]] void ThrowCreateError(const std::string& path, int err) {
    throw EFCreateError("Cannot create file \"" + path + "\". " + std::strerror(err));
}

// Writes all of [data, data+size) or returns false.
bool WriteAll(int fd, const void* data, size_t size) {
    auto* p = static_cast<const uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Writes the values little-endian, converting in blocks only on a big-endian host.
bool WriteSamples(int fd, std::span<const int16_t> data) {
    if constexpr (std::endian::native == std::endian::little) {
        return WriteAll(fd, data.data(), data.size_bytes());
    } else {
        std::vector<uint8_t> block(65536);
        for (size_t i = 0; i < data.size();) {
            size_t n = 0;
            for (; n + 2 <= block.size() && i < data.size(); n += 2, ++i)
                Put16(&block[n], static_cast<uint16_t>(data[i]));
            if (!WriteAll(fd, block.data(), n)) return false;
        }
        return true;
    }
}

// Writes header and data to an open descriptor and returns the result code.
uint16_t WriteWavTo(int fd, const WavFormatRecord& record) {
    const auto dataBytes = static_cast<uint32_t>(record.Data.size_bytes());
    uint8_t header[48];
    BuildWavHeader(record, dataBytes, header);
    uint16_t result = kWavWriteOk;
    if (!WriteAll(fd, header, 40)) result = kWavWriteHeaderError;
    if (!WriteAll(fd, header + 40, 8) || !WriteSamples(fd, record.Data)) result = kWavWriteDataError;
    return result;
}

bool IsRegularFileOrMissing(const std::string& path, struct stat& st, bool& exists) {
    exists = ::stat(path.c_str(), &st) == 0;
    return !exists || S_ISREG(st.st_mode);
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Devices, pipes and the like are written in place: they cannot be replaced by a rename.
uint16_t WriteInPlace(const std::string& fileName, const WavFormatRecord& record) {
    const int fd = ::open(fileName.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) ThrowCreateError(fileName, errno);
    uint16_t result = WriteWavTo(fd, record);
    if (::close(fd) != 0 && result == kWavWriteOk) result = kWavWriteDataError;
    return result;
}

} // namespace

void BuildWavHeader(const WavFormatRecord& record, uint32_t dataBytes, uint8_t header[48]) {
    const auto blockAlign = static_cast<uint16_t>((record.BitsPerSample / 8) * record.ChannelCount);
    std::memcpy(header, "RIFF", 4);
    Put32(header + 4, 40u + dataBytes);
    std::memcpy(header + 8, "WAVEfmt ", 8);
    Put32(header + 16, 20);
    Put16(header + 20, record.FormatTag);
    Put16(header + 22, record.ChannelCount);
    Put32(header + 24, static_cast<uint32_t>(record.SampleRate));
    Put32(header + 28, static_cast<uint32_t>(record.SampleRate) * blockAlign);
    Put16(header + 32, blockAlign);
    Put16(header + 34, record.BitsPerSample);
    Put32(header + 36, 0); // cbSize and the two bytes after it
    std::memcpy(header + 40, "data", 4);
    Put32(header + 44, dataBytes);
}

uint16_t WriteWavFile(const std::string& fileName, const WavFormatRecord& record) {
    struct stat target {};
    bool exists = false;
    if (!IsRegularFileOrMissing(fileName, target, exists)) return WriteInPlace(fileName, record);

    std::string temp = FolderOf(fileName) + "/." + FileNameWithoutFolder(fileName) + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) ThrowCreateError(fileName, errno);
    ::fchmod(fd, exists ? (target.st_mode & 07777) : 0644);

    uint16_t result = WriteWavTo(fd, record);
    if (result == kWavWriteOk && ::fsync(fd) != 0) result = kWavWriteDataError;
    if (::close(fd) != 0 && result == kWavWriteOk) result = kWavWriteDataError;
    if (result == kWavWriteOk && ::rename(temp.c_str(), fileName.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        ThrowCreateError(fileName, err);
    }
    if (result != kWavWriteOk) ::unlink(temp.c_str());
    return result;
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
