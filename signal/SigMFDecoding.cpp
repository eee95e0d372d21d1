#include "signal/SigMFDecoding.h"

#include "signal/SampleDecoding.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <optional>

namespace {

// The unsigned integer of `bytes` bytes at `p` in the given byte order.
template <int bytes> uint64_t Unsigned(const uint8_t* p, bool bigEndian) {
    uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        const int shift = 8 * (bigEndian ? bytes - 1 - i : i);
        value |= static_cast<uint64_t>(p[i]) << shift;
    }
    return value;
}

int16_t DecodeValue(SigMFSampleType type, const uint8_t* p, bool bigEndian) {
    switch (type) {
    case SigMFSampleType::U8:
        return DecodeUnsigned8(p[0]);
    case SigMFSampleType::I8:
        return static_cast<int16_t>(static_cast<int8_t>(p[0]) * 256);
    case SigMFSampleType::I16:
        return static_cast<int16_t>(Unsigned<2>(p, bigEndian));
    case SigMFSampleType::U16:
        return static_cast<int16_t>(static_cast<int32_t>(Unsigned<2>(p, bigEndian)) - 32768);
    case SigMFSampleType::I32:
        return DecodePcm32(static_cast<int32_t>(Unsigned<4>(p, bigEndian)));
    case SigMFSampleType::U32:
        return DecodePcm32(static_cast<int32_t>(Unsigned<4>(p, bigEndian) ^ 0x80000000u));
    case SigMFSampleType::F32:
        return DecodeFloat32(std::bit_cast<float>(static_cast<uint32_t>(Unsigned<4>(p, bigEndian))));
    case SigMFSampleType::F64:
        return DecodeFloat64(std::bit_cast<double>(Unsigned<8>(p, bigEndian)));
    }
    return 0;
}

// The WAV reader's own decoding, for the little-endian types it has.
std::optional<SampleEncoding> WavEncodingOf(const SigMFDatatype& datatype) {
    if (datatype.Type == SigMFSampleType::U8) return SampleEncoding::Unsigned8;
    if (datatype.BigEndian) return std::nullopt;
    switch (datatype.Type) {
    case SigMFSampleType::I16:
        return SampleEncoding::Pcm16;
    case SigMFSampleType::I32:
        return SampleEncoding::Pcm32;
    case SigMFSampleType::F32:
        return SampleEncoding::Float32;
    case SigMFSampleType::F64:
        return SampleEncoding::Float64;
    default:
        return std::nullopt;
    }
}

} // namespace

void DecodeSigMFValues(const SigMFDatatype& datatype, const uint8_t* bytes, std::size_t count, int16_t* out) {
    if (const std::optional<SampleEncoding> encoding = WavEncodingOf(datatype)) {
        DecodeSamples(*encoding, bytes, count, out);
        return;
    }
    const auto width = static_cast<std::size_t>(SigMFValueBytes(datatype.Type));
    for (std::size_t i = 0; i < count; ++i)
        out[i] = DecodeValue(datatype.Type, bytes + i * width, datatype.BigEndian);
}
