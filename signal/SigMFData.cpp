#include "signal/SigMFData.h"

#include "signal/BlockDecoding.h"
#include "signal/FileCursor.h"
#include "signal/SigMFDecoding.h"

#include <algorithm>
#include <system_error>
#include <vector>

namespace {

// Bytes decoded per block: whole values of every width, and below the fuzz targets' single allocation.
constexpr int64_t kDecodeBlockBytes = 8 * 65536;

SigMFDataRead Refused(std::string status, std::string reason) {
    SigMFDataRead read;
    read.Status = std::move(status);
    read.FailureReason = std::move(reason);
    return read;
}

// Values the data holds: whole samples of `valuesPerSample` values, at most kMaxValueCount.
int64_t WholeValues(int64_t bytes, int width, int valuesPerSample) {
    const int64_t values = std::min(bytes / width, kMaxValueCount);
    return values / valuesPerSample * valuesPerSample;
}

// Decodes `count` values from the position, block by block; returns the values read (fewer only when
// the file shrank while it was read), the rest of `values` set to 0.
int64_t DecodeFrom(FileCursor& file, SampleArray& values, int64_t count, const SigMFDatatype& datatype) {
    const int width = SigMFValueBytes(datatype.Type);
    const int64_t filled = DecodeInBlocks(file, values.data(), count, width, kDecodeBlockBytes,
                                          [&datatype](const uint8_t* bytes, size_t n, int16_t* out) {
                                              DecodeSigMFValues(datatype, bytes, n, out);
                                          });
    std::fill(values.begin() + static_cast<std::ptrdiff_t>(filled), values.end(), int16_t{0});
    return filled;
}

} // namespace

SigMFDataRead ReadSigMFData(SignalStore& store, const std::string& dataFile, const SigMFDatatype& datatype,
                            int64_t headerBytes, int64_t largestFile) {
    FileCursor file(dataFile);
    if (!file.Open())
        return Refused(" ERROR: File Access.", std::generic_category().message(file.OpenError()));
    if (file.Size() > largestFile)
        return Refused(" ERROR: File Size Out of Range.", "the file has " + std::to_string(file.Size()) +
                                                              " bytes, more than the largest file (" +
                                                              std::to_string(largestFile) + " bytes)");
    if (headerBytes > file.Size())
        return Refused(" ERROR: Header Error.", "core:header_bytes (" + std::to_string(headerBytes) +
                                                    ") is beyond the end of the file");
    file.Seek(headerBytes);
    const int width = SigMFValueBytes(datatype.Type);
    const int valuesPerSample = datatype.Complex ? 2 : 1;
    const int64_t count = WholeValues(file.Remaining(), width, valuesPerSample);

    // The old recording goes before the new one is allocated.
    SampleArray().swap(store.Samples);
    store.ValueCount = 0;
    SampleArray values(static_cast<size_t>(count));
    const int64_t filled = DecodeFrom(file, values, count, datatype);
    store.Samples = std::move(values);
    store.ValueCount = static_cast<int32_t>(count);
    store.ChannelCount = static_cast<uint16_t>(valuesPerSample);
    store.BitsPerSample = static_cast<uint16_t>(8 * width);

    SigMFDataRead read;
    read.StoreReplaced = true;
    read.BytesRead = filled * width;
    return read;
}
