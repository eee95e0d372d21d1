#include "signal/WavReader.h"

#include "signal/BlockDecoding.h"

#include "signal/CentreFrequency.h"
#include "signal/FileCursor.h"
#include "signal/SampleDecoding.h"
#include "signal/WavFormatNames.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>
#include <system_error>

namespace {

uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Get32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint64_t Get64(const uint8_t* p) {
    return Get32(p) | (static_cast<uint64_t>(Get32(p + 4)) << 32);
}

// A 32-bit chunk size that stands for "not known here": RF64 gives the size in its ds64 chunk, and
// streaming writers leave it so.
constexpr uint32_t kUnknownSize = 0xFFFFFFFF;

struct FmtRecord {
    uint16_t FormatTag = 0;
    uint16_t Channels = 0;
    int32_t SampleRate = 0;
    uint16_t BlockAlign = 0;
    uint16_t BitsPerSample = 0;
    uint16_t SubFormatTag = 0; // WAVE_FORMAT_EXTENSIBLE only: the first two bytes of the sub-format
    bool SubFormatIsStandard = false;
    std::optional<std::array<uint8_t, 16>> SubFormat; // an extensible header's whole sub-format GUID

    // The tag that says how the samples are coded: an extensible header's standard sub-format, else
    // the format tag itself (0 for an extensible header without a standard sub-format).
    uint16_t SampleFormatTag() const {
        if (FormatTag != kFormatExtensible) return FormatTag;
        return SubFormatIsStandard ? SubFormatTag : 0;
    }

    // The name of the sample coding when the reader does not decode it.
    std::string UndecodedName() const {
        if (FormatTag == kFormatExtensible && SubFormatIsStandard)
            return UndecodedFormatName(SubFormatTag, BitsPerSample);
        return UndecodedFormatName(FormatTag, BitsPerSample, SubFormat);
    }
};

// The fixed tail of every standard sub-format GUID, after its two-byte format code and two zeros.
constexpr uint8_t kSubFormatTail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                        0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// Moves past a chunk's payload of `size` bytes and its pad byte, if the size is odd and a 0 follows.
void SkipChunkRest(FileCursor& file, int64_t rest, int64_t size) {
    file.Skip(rest);
    if ((size & 1) != 0 && file.PeekByte() == 0) file.Skip(1);
}

// Searches chunk by chunk from the position for one of the wanted identifiers. On success the
// position is at the start of its payload and `size` holds its stated size. Gives up after `maxChunks`.
bool FindChunk(FileCursor& file, std::initializer_list<std::string_view> wanted, std::string& id,
               uint32_t& size, int maxChunks = std::numeric_limits<int>::max()) {
    for (int chunk = 0; chunk < maxChunks; ++chunk) {
        uint8_t head[8];
        if (!file.ReadExactly(head, 8)) return false;
        id.assign(reinterpret_cast<const char*>(head), 4);
        size = Get32(head + 4);
        if (std::find(wanted.begin(), wanted.end(), id) != wanted.end()) return true;
        SkipChunkRest(file, size, size);
    }
    return false;
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
        fmt.SubFormat.emplace();
        std::memcpy(fmt.SubFormat->data(), payload + 24, 16);
        fmt.SubFormatTag = Get16(payload + 24);
        fmt.SubFormatIsStandard =
            Get16(payload + 26) == 0 && std::memcmp(payload + 28, kSubFormatTail, 12) == 0;
    }
    file.Seek(start);
    SkipChunkRest(file, size, size);
    return fmt;
}

// Values that `bytes` bytes of `sampleBytes`-byte samples give, at most kMaxValueCount.
int64_t ValuesIn(int64_t bytes, int sampleBytes) {
    return std::min(bytes / sampleBytes, kMaxValueCount);
}

// A new array of `count` values for the store, whose old recording goes before it is allocated.
SampleArray NewValues(SignalStore& store, int64_t count) {
    SampleArray().swap(store.Samples);
    store.ValueCount = 0;
    return SampleArray(static_cast<size_t>(count));
}

// Makes `values`, of which the first `filled` were read, the store's values; the rest become 0.
void KeepValues(SignalStore& store, SampleArray&& values, int64_t filled) {
    std::fill(values.begin() + static_cast<std::ptrdiff_t>(filled), values.end(), int16_t{0});
    store.ValueCount = static_cast<int32_t>(values.size());
    store.Samples = std::move(values);
}

// Replaces the store's values with `count` values read from the position as they are (16-bit
// little-endian); unread values are 0. Returns the bytes read.
int64_t ReadValues(FileCursor& file, SignalStore& store, int64_t count) {
    SampleArray values = NewValues(store, count);
    const int64_t bytes = file.Read(values.data(), count * 2);
    const int64_t filled = bytes / 2;
    if constexpr (std::endian::native == std::endian::big) {
        for (int64_t i = 0; i < filled; ++i) {
            const auto v = static_cast<uint16_t>(values[static_cast<size_t>(i)]);
            values[static_cast<size_t>(i)] = static_cast<int16_t>((v >> 8) | (v << 8));
        }
    }
    KeepValues(store, std::move(values), filled);
    return bytes;
}

// Bytes of the file decoded per block: whole samples of every width, and below the fuzz target's limit
// of a single allocation.
constexpr int64_t kDecodeBlockBytes = 3 * 8 * 32768;

// As ReadValues, for samples that are decoded into 16-bit values: `count` samples of the encoding are
// read from the position block by block. Returns the bytes of whole samples read.
int64_t ReadDecodedValues(FileCursor& file, SignalStore& store, int64_t count, SampleEncoding encoding) {
    SampleArray values = NewValues(store, count);
    const int width = SampleBytes(encoding);
    const int64_t filled = DecodeInBlocks(
        file, values.data(), count, width, kDecodeBlockBytes,
        [encoding](const uint8_t* bytes, size_t n, int16_t* out) { DecodeSamples(encoding, bytes, n, out); });
    KeepValues(store, std::move(values), filled);
    return filled * width;
}

// An `auxi` chunk: its payload (when it is short enough to keep) and the centre frequency it holds.
struct AuxiChunk {
    std::vector<uint8_t> Payload;
    int64_t CentreFrequency = 0;
};

// Reads the `auxi` chunk whose payload of `size` bytes starts at the position, and moves past it.
AuxiChunk ReadAuxiChunk(FileCursor& file, uint32_t size) {
    const int64_t start = file.Position();
    const auto kept = static_cast<int64_t>(size <= kMaxKeptAuxiBytes ? size : kAuxiCentreFrequencyEnd);
    std::vector<uint8_t> payload(static_cast<size_t>(std::min(kept, file.Remaining())));
    payload.resize(static_cast<size_t>(file.Read(payload.data(), static_cast<int64_t>(payload.size()))));
    file.Seek(start);
    SkipChunkRest(file, size, size);
    AuxiChunk chunk;
    chunk.CentreFrequency = AuxiCentreFrequency(payload.data(), payload.size());
    if (size <= kMaxKeptAuxiBytes) chunk.Payload = std::move(payload);
    return chunk;
}

// Chunks looked at after the data chunk for an `auxi` chunk, so that a damaged file of many tiny
// chunks cannot keep the reader busy.
constexpr int kChunksAfterData = 64;

// The header path's failures: each leads to the raw fallback, after its text was shown. A fmt chunk
// whose samples are not decoded names their coding.
struct HeaderFailure {
    explicit HeaderFailure(std::string text, std::string undecodedFormat = {})
        : Text(std::move(text)), UndecodedFormat(std::move(undecodedFormat)) {}
    std::string Text;
    std::string UndecodedFormat;
};

// The sizes that the file's form states: RIFF's 32-bit size (signed, as it always was read), or the
// 64-bit sizes of RF64's (and BW64's) ds64 chunk.
struct FormSizes {
    bool Large = false; // RF64 or BW64
    int64_t Riff = 0;   // the file's size less 8, as stated
    int64_t Data = 0;   // RF64 only: the data chunk's size
};

// A 64-bit size as a signed number that a file position may be added to.
int64_t Clamped(uint64_t size) {
    return static_cast<int64_t>(std::min<uint64_t>(size, std::numeric_limits<int64_t>::max() / 2));
}

// Whether the declared data bytes are whole frames. 16-bit values keep their rule of old (the values
// per the header, D div (A div C), a multiple of the block align A); decoded samples count frames of
// one sample of their width per channel.
bool WholeFrames(const FmtRecord& fmt, SampleEncoding encoding, int64_t declared) {
    if (encoding == SampleEncoding::Pcm16)
        return declared / (fmt.BlockAlign / fmt.Channels) % fmt.BlockAlign == 0;
    return declared % (int64_t{fmt.Channels} * SampleBytes(encoding)) == 0;
}

class WavHeaderReader {
public:
    WavHeaderReader(FileCursor& file, SignalStore& store) : file_(file), store_(store) {}

    WavReadResult Read() {
        const FormSizes form = ReadForm();
        std::string id;
        uint32_t size = 0;
        if (!FindChunkNotingAuxi({"fmt ", "data", "auxi"}, id, size) || id == "data")
            throw HeaderFailure{" ERROR: Header Error."};
        const FmtRecord fmt = ReadFmtChunk(file_, size);
        if (fmt.Channels > 16) throw HeaderFailure{" ERROR: It Is Too Much Channels."};
        const std::optional<SampleEncoding> encoding = EncodingOf(fmt.SampleFormatTag(), fmt.BitsPerSample);
        if (!encoding) throw HeaderFailure{" ERROR: File Format Not Supported.", fmt.UndecodedName()};
        if (fmt.Channels == 0 || fmt.BlockAlign < fmt.Channels) throw HeaderFailure{" ERROR: Header Error."};

        if (!FindChunkNotingAuxi({"data", "auxi"}, id, size)) throw HeaderFailure{" ERROR: Header Error."};
        const int64_t declared = DataSize(form, size);
        if (!WholeFrames(fmt, *encoding, declared))
            note_ = note_.empty() ? " (Incorrect Size)" : " (Probably Damaged)";

        store_.SampleRate = fmt.SampleRate;
        store_.BitsPerSample = fmt.BitsPerSample;
        store_.ChannelCount = fmt.Channels;
        // A data size beyond the end of the file reads what is there.
        const int64_t dataStart = file_.Position();
        const int width = SampleBytes(*encoding);
        const int64_t count = ValuesIn(std::min(declared, file_.Remaining()), width);
        WavReadResult result;
        result.BytesRead = *encoding == SampleEncoding::Pcm16
                               ? ReadValues(file_, store_, count)
                               : ReadDecodedValues(file_, store_, count, *encoding);
        result.Status = " Bytes : " + std::to_string(result.BytesRead) + " " +
                        std::to_string(fmt.BitsPerSample) + " Bit Data" + note_;
        result.HeaderChannelCount = fmt.Channels;
        result.SampleBytes = width;
        result.DataOffset = dataStart;
        result.Encoding = encoding;
        if (auxi_.CentreFrequency == 0) LookForAuxiAfterData(dataStart, declared);
        result.CentreFrequency = auxi_.CentreFrequency;
        result.AuxiPayload = std::move(auxi_.Payload);
        return result;
    }

private:
    void ExpectTag(std::string_view tag, const char* failure) {
        char got[4] = {};
        if (!file_.ReadExactly(got, 4) || std::string_view(got, 4) != tag) throw HeaderFailure{failure};
    }

    // "RIFF" (or "RF64", "BW64"), the RIFF size, "WAVE", and for RF64 its ds64 chunk. A RIFF size that
    // does not match the file gives the header note.
    FormSizes ReadForm() {
        char tag[4] = {};
        if (!file_.ReadExactly(tag, 4)) throw HeaderFailure{" ERROR: Incorrect RIFF."};
        const std::string_view name(tag, 4);
        FormSizes form;
        form.Large = name == "RF64" || name == "BW64";
        if (!form.Large && name != "RIFF") throw HeaderFailure{" ERROR: Incorrect RIFF."};
        uint8_t riffSize[4] = {};
        file_.Read(riffSize, 4);
        form.Riff = static_cast<int32_t>(Get32(riffSize));
        ExpectTag("WAVE", " ERROR: Incorrect WAVE.");
        if (form.Large) ReadDs64(form);
        if (form.Riff + 8 != file_.Size()) note_ = " (Incorrect Header)";
        return form;
    }

    // The ds64 chunk, which comes first in RF64: the 64-bit RIFF size at 0, the data size at 8.
    void ReadDs64(FormSizes& form) {
        std::string id;
        uint32_t size = 0;
        uint8_t sizes[16];
        if (!FindChunk(file_, {"ds64"}, id, size, 1) || size < 16 || !file_.ReadExactly(sizes, 16))
            throw HeaderFailure{" ERROR: Header Error."};
        form.Riff = Clamped(Get64(sizes));
        form.Data = Clamped(Get64(sizes + 8));
        file_.Skip(-16);
        SkipChunkRest(file_, size, size);
    }

    // The data chunk's size, its 32-bit `field` or RF64's from ds64. A size the writer never filled in
    // (0xFFFFFFFF outside RF64, as streaming writers leave it, or 0 with samples after it, as a
    // recorder that stopped early leaves it) stands for the rest of the file, with the header note.
    int64_t DataSize(const FormSizes& form, uint32_t field) {
        const int64_t declared = form.Large && field == kUnknownSize ? form.Data : int64_t{field};
        const bool unwritten = (!form.Large && field == kUnknownSize) || (declared == 0 && SamplesFollow());
        if (!unwritten) return declared;
        note_ = " (Incorrect Header)";
        return file_.Remaining();
    }

    // Whether bytes after an empty data chunk are its samples rather than the next chunk, which starts
    // with four printable characters and a size within the file.
    bool SamplesFollow() {
        uint8_t head[8] = {};
        const int64_t got = file_.Read(head, 8);
        file_.Skip(-got);
        if (got < 8) return got > 0;
        const bool named = std::all_of(head, head + 4, [](uint8_t c) { return c >= 0x20 && c < 0x7F; });
        return !named || Get32(head + 4) > file_.Remaining() - 8;
    }

    // FindChunk, noting the `auxi` chunks met on the way (`wanted` holds "auxi").
    bool FindChunkNotingAuxi(std::initializer_list<std::string_view> wanted, std::string& id,
                             uint32_t& size) {
        while (FindChunk(file_, wanted, id, size)) {
            if (id != "auxi") return true;
            Note(ReadAuxiChunk(file_, size));
        }
        return false;
    }

    // The last chunk with a centre frequency counts; without one, the first chunk is kept.
    void Note(AuxiChunk&& chunk) {
        if (chunk.CentreFrequency != 0 || !auxiSeen_) auxi_ = std::move(chunk);
        auxiSeen_ = true;
    }

    // Some recorders write their `auxi` chunk after the data chunk, which starts at `dataStart`.
    void LookForAuxiAfterData(int64_t dataStart, int64_t dataSize) {
        file_.Seek(dataStart);
        SkipChunkRest(file_, dataSize, dataSize);
        std::string id;
        uint32_t size = 0;
        if (FindChunk(file_, {"auxi"}, id, size, kChunksAfterData)) Note(ReadAuxiChunk(file_, size));
    }

    FileCursor& file_;
    SignalStore& store_;
    std::string note_; // the size note of the status text
    AuxiChunk auxi_;
    bool auxiSeen_ = false;
};

// A read that leaves the store as it was.
WavReadResult Unread(std::string status, std::string reason, const SignalStore& store) {
    WavReadResult result;
    result.Status = std::move(status);
    result.HeaderChannelCount = store.ChannelCount;
    result.FailureReason = std::move(reason);
    return result;
}

// The whole file as raw 16-bit mono data at 8000 Hz. `undecodedFormat` names the coding of a WAV
// file's samples that are not decoded, so that the result can say why the file is read so.
WavReadResult ReadRawFallback(FileCursor& file, SignalStore& store, const std::string& undecodedFormat) {
    store.SampleRate = 8000;
    store.BitsPerSample = 16;
    store.ChannelCount = 1;
    file.Seek(0);
    WavReadResult result;
    result.Fallback = true;
    result.HeaderChannelCount = 1;
    result.BytesRead = ReadValues(file, store, ValuesIn(file.Size(), 2));
    result.Status = " Bytes : " + std::to_string(result.BytesRead) + " (Binary Data)";
    if (!undecodedFormat.empty()) {
        result.UndecodedFormat = undecodedFormat;
        result.FailureReason =
            "samples coded as " + undecodedFormat + " are not decoded: read as raw 16-bit data at 8000 Hz";
    }
    return result;
}

} // namespace

WavReadResult ReadWavFile(SignalStore& store, const std::string& fileName,
                          const std::function<void(const std::string&)>& setStatus, int64_t largestFile) {
    const auto status = [&](const std::string& text) {
        if (setStatus) setStatus(text);
    };
    store.FileName = fileName;
    status(" Read wav File...");

    FileCursor file(fileName);
    if (!file.Open())
        return Unread(" ERROR: File Access.", std::generic_category().message(file.OpenError()), store);
    if (file.Size() > largestFile)
        return Unread(" ERROR: File Size Out of Range.",
                      "the file has " + std::to_string(file.Size()) + " bytes, more than the largest file (" +
                          std::to_string(largestFile) + " bytes)",
                      store);

    WavReadResult result;
    try {
        result = WavHeaderReader(file, store).Read();
    } catch (const HeaderFailure& failure) {
        status(failure.Text);
        result = ReadRawFallback(file, store, failure.UndecodedFormat);
    }
    result.StoreReplaced = true;
    if (result.CentreFrequency == 0)
        result.CentreFrequency = CentreFrequencyFromFileName(fileName, store.SampleRate);
    return result;
}
