#include "signal/WavReader.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace {

// A read-only file with a position; reads never go past the end and report what they got.
class FileCursor {
public:
    explicit FileCursor(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~FileCursor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileCursor(const FileCursor&) = delete;
    FileCursor& operator=(const FileCursor&) = delete;

    // Open, and a regular file whose size is known.
    bool Open() {
        struct stat st {};
        if (fd_ < 0 || ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return false;
        size_ = st.st_size;
        return true;
    }
    int64_t Size() const { return size_; }
    int64_t Position() const { return pos_; }
    int64_t Remaining() const { return std::max<int64_t>(0, size_ - pos_); }
    void Seek(int64_t pos) { pos_ = pos; }
    void Skip(int64_t count) { pos_ += count; }

    // Reads up to `count` bytes at the position and advances by what was read. A large read is split
    // in two halves read at once by two threads: most of its time is the system mapping in and
    // filling the fresh pages of the store, which then runs on two cores.
    int64_t Read(void* buffer, int64_t count) {
        auto* p = static_cast<uint8_t*>(buffer);
        count = std::min(count, Remaining());
        int64_t done = 0;
        const int64_t half = count / 2 / kReadPiece * kReadPiece;
        std::thread second;
        int64_t secondDone = 0;
        if (count >= kSplitReadFrom) {
            try {
                second = std::thread([&] { secondDone = ReadAt(p + half, count - half, pos_ + half); });
            } catch (const std::system_error&) {
                // no thread to be had: one reads it all
            }
        }
        if (second.joinable()) {
            done = ReadAt(p, half, pos_);
            second.join();
            if (done == half) done += secondDone;
        } else {
            done = ReadAt(p, count, pos_);
        }
        pos_ += done;
        return done;
    }

    bool ReadExactly(void* buffer, int64_t count) { return Read(buffer, count) == count; }

    // The byte at the position, or -1 at the end; the position does not move.
    int PeekByte() {
        uint8_t b = 0;
        if (::pread(fd_, &b, 1, pos_) != 1) return -1;
        return b;
    }

private:
    // Reads of at least this many bytes are split; the halves meet at a multiple of kReadPiece from
    // the start (a huge page of a store that starts on one).
    static constexpr int64_t kSplitReadFrom = int64_t{32} << 20;
    static constexpr int64_t kReadPiece = int64_t{2} << 20;

    // Up to `count` bytes at `offset`; fewer only at the end of the file or on an error.
    int64_t ReadAt(uint8_t* p, int64_t count, int64_t offset) const {
        int64_t done = 0;
        while (done < count) {
            const ssize_t n = ::pread(fd_, p + done, static_cast<size_t>(count - done), offset + done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += n;
        }
        return done;
    }

    int fd_;
    int64_t size_ = 0;
    int64_t pos_ = 0;
};

uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Get32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

struct FmtRecord {
    uint16_t FormatTag = 0;
    uint16_t Channels = 0;
    int32_t SampleRate = 0;
    uint16_t BlockAlign = 0;
    uint16_t BitsPerSample = 0;
    uint16_t SubFormatTag = 0; // WAVE_FORMAT_EXTENSIBLE only: the first two bytes of the sub-format
    bool SubFormatIsStandard = false;
};

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
// The fixed tail of every standard sub-format GUID, after its two-byte format code and two zeros.
constexpr uint8_t kSubFormatTail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                        0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// Moves past a chunk's payload of `size` bytes and its pad byte, if the size is odd and a 0 follows.
void SkipChunkRest(FileCursor& file, int64_t rest, uint32_t size) {
    file.Skip(rest);
    if ((size & 1) != 0 && file.PeekByte() == 0) file.Skip(1);
}

// Searches chunk by chunk from the position for one of the wanted identifiers. On success the
// position is at the start of its payload and `size` holds its stated size.
bool FindChunk(FileCursor& file, std::initializer_list<std::string_view> wanted, std::string& id,
               uint32_t& size) {
    for (;;) {
        uint8_t head[8];
        if (!file.ReadExactly(head, 8)) return false;
        id.assign(reinterpret_cast<const char*>(head), 4);
        size = Get32(head + 4);
        if (std::find(wanted.begin(), wanted.end(), id) != wanted.end()) return true;
        SkipChunkRest(file, size, size);
    }
}

// Reads the fmt payload of `size` bytes: the first 20 bytes into the record (missing bytes 0), and for
// WAVE_FORMAT_EXTENSIBLE the sub-format that follows; leaves the position after the chunk.
FmtRecord ReadFmtChunk(FileCursor& file, uint32_t size) {
    uint8_t payload[40] = {};
    const int64_t start = file.Position();
    file.Read(payload, std::min<int64_t>(size, 40));
    FmtRecord fmt;
    fmt.FormatTag = Get16(payload);
    fmt.Channels = Get16(payload + 2);
    fmt.SampleRate = static_cast<int32_t>(Get32(payload + 4));
    fmt.BlockAlign = Get16(payload + 12);
    fmt.BitsPerSample = Get16(payload + 14);
    if (size >= 40) {
        fmt.SubFormatTag = Get16(payload + 24);
        fmt.SubFormatIsStandard =
            Get16(payload + 26) == 0 && std::memcmp(payload + 28, kSubFormatTail, 12) == 0;
    }
    file.Seek(start);
    SkipChunkRest(file, size, size);
    return fmt;
}

bool FormatSupported(const FmtRecord& fmt) {
    if (fmt.FormatTag == kFormatPcm) return true;
    return fmt.FormatTag == kFormatExtensible && fmt.SubFormatIsStandard && fmt.SubFormatTag == kFormatPcm;
}

// Replaces the store's values with `count` values read from the position; unread values are 0.
int64_t ReadValues(FileCursor& file, SignalStore& store, int64_t count) {
    SampleArray().swap(store.Samples); // the old recording goes before the new one is allocated
    store.ValueCount = 0;
    SampleArray values(static_cast<size_t>(count));
    const int64_t bytes = file.Read(values.data(), count * 2);
    const auto filled = static_cast<size_t>(bytes / 2);
    std::fill(values.begin() + static_cast<std::ptrdiff_t>(filled), values.end(), int16_t{0});
    if constexpr (std::endian::native == std::endian::big) {
        for (size_t i = 0; i < filled; ++i) {
            const auto v = static_cast<uint16_t>(values[i]);
            values[i] = static_cast<int16_t>((v >> 8) | (v << 8));
        }
    }
    store.Samples = std::move(values);
    store.ValueCount = static_cast<int32_t>(count);
    return bytes;
}

// The header path's failures: each leads to the raw fallback, after its text was shown.
struct HeaderFailure {
    std::string Text;
};

class WavHeaderReader {
public:
    WavHeaderReader(FileCursor& file, SignalStore& store) : file_(file), store_(store) {}

    WavReadResult Read() {
        std::string note;
        ExpectTag("RIFF", " ERROR: Incorrect RIFF.");
        uint8_t riffSize[4] = {};
        file_.Read(riffSize, 4);
        if (static_cast<int64_t>(static_cast<int32_t>(Get32(riffSize))) + 8 != file_.Size())
            note = " (Incorrect Header)";
        ExpectTag("WAVE", " ERROR: Incorrect WAVE.");

        std::string id;
        uint32_t size = 0;
        if (!FindChunk(file_, {"fmt ", "data"}, id, size) || id == "data")
            throw HeaderFailure{" ERROR: Header Error."};
        const FmtRecord fmt = ReadFmtChunk(file_, size);
        if (fmt.Channels > 16) throw HeaderFailure{" ERROR: It Is Too Much Channels."};
        if (!FormatSupported(fmt)) throw HeaderFailure{" ERROR: File Format Not Supported."};
        if (fmt.Channels == 0 || fmt.BlockAlign < fmt.Channels) throw HeaderFailure{" ERROR: Header Error."};

        if (!FindChunk(file_, {"data"}, id, size)) throw HeaderFailure{" ERROR: Header Error."};
        const int64_t declared = size; // sizes of 2^31 and more stay positive
        const int64_t headerValues = declared / (fmt.BlockAlign / fmt.Channels);
        if (headerValues % fmt.BlockAlign != 0)
            note = note.empty() ? " (Incorrect Size)" : " (Probably Damaged)";

        store_.SampleRate = fmt.SampleRate;
        store_.BitsPerSample = fmt.BitsPerSample;
        store_.ChannelCount = fmt.Channels;
        // A data size beyond the end of the file reads what is there.
        const int64_t available = std::min(declared, file_.Remaining());
        WavReadResult result;
        result.BytesRead = ReadValues(file_, store_, available / 2);
        result.Status = " Bytes : " + std::to_string(result.BytesRead) + " " +
                        std::to_string(fmt.BitsPerSample) + " Bit Data" + note;
        result.HeaderChannelCount = fmt.Channels;
        return result;
    }

private:
    void ExpectTag(std::string_view tag, const char* failure) {
        char got[4] = {};
        if (!file_.ReadExactly(got, 4) || std::string_view(got, 4) != tag) throw HeaderFailure{failure};
    }

    FileCursor& file_;
    SignalStore& store_;
};

WavReadResult ReadRawFallback(FileCursor& file, SignalStore& store) {
    store.SampleRate = 8000;
    store.BitsPerSample = 16;
    store.ChannelCount = 1;
    file.Seek(0);
    WavReadResult result;
    result.Fallback = true;
    result.HeaderChannelCount = 1;
    result.BytesRead = ReadValues(file, store, file.Size() / 2);
    result.Status = " Bytes : " + std::to_string(result.BytesRead) + " (Binary Data)";
    return result;
}

} // namespace

WavReadResult ReadWavFile(SignalStore& store, const std::string& fileName,
                          const std::function<void(const std::string&)>& setStatus) {
    const auto status = [&](const std::string& text) {
        if (setStatus) setStatus(text);
    };
    store.FileName = fileName;
    status(" Read wav File...");

    FileCursor file(fileName);
    if (!file.Open()) return WavReadResult{" ERROR: File Access.", false, false, store.ChannelCount, 0};
    if (file.Size() > kMaxWavFileSize)
        return WavReadResult{" ERROR: File Size Out of Range.", false, false, store.ChannelCount, 0};

    WavReadResult result;
    try {
        result = WavHeaderReader(file, store).Read();
    } catch (const HeaderFailure& failure) {
        status(failure.Text);
        result = ReadRawFallback(file, store);
    }
    result.StoreReplaced = true;
    return result;
}
