#include "signal/SampleDecoding.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace {

// value / 2^shift rounded to nearest with halves to even, limited to the 16-bit range.
int16_t ShiftRounded(int32_t value, int shift) {
    const int32_t half = int32_t{1} << (shift - 1);
    const int32_t mask = (int32_t{1} << shift) - 1;
    int32_t quotient = value >> shift; // arithmetic: rounds toward minus infinity
    const int32_t rest = value & mask;
    if (rest > half || (rest == half && (quotient & 1) != 0)) ++quotient;
    return static_cast<int16_t>(std::min(quotient, int32_t{32767}));
}

int32_t Signed24(const uint8_t* p) {
    const auto raw = static_cast<uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16));
    return static_cast<int32_t>(raw << 8) >> 8;
}

uint32_t Unsigned32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint64_t Unsigned64(const uint8_t* p) {
    return Unsigned32(p) | (static_cast<uint64_t>(Unsigned32(p + 4)) << 32);
}

} // namespace

std::optional<SampleEncoding> EncodingOf(uint16_t formatTag, uint16_t bitsPerSample) {
    if (formatTag == kFormatIeeeFloat) {
        if (bitsPerSample == 32) return SampleEncoding::Float32;
        if (bitsPerSample == 64) return SampleEncoding::Float64;
        return std::nullopt;
    }
    if (formatTag != kFormatPcm) return std::nullopt;
    if (bitsPerSample >= 1 && bitsPerSample <= 8) return SampleEncoding::Unsigned8;
    if (bitsPerSample >= 17 && bitsPerSample <= 24) return SampleEncoding::Pcm24;
    if (bitsPerSample >= 25 && bitsPerSample <= 32) return SampleEncoding::Pcm32;
    return SampleEncoding::Pcm16;
}

int SampleBytes(SampleEncoding encoding) {
    switch (encoding) {
    case SampleEncoding::Unsigned8:
        return 1;
    case SampleEncoding::Pcm16:
        return 2;
    case SampleEncoding::Pcm24:
        return 3;
    case SampleEncoding::Pcm32:
    case SampleEncoding::Float32:
        return 4;
    case SampleEncoding::Float64:
        return 8;
    }
    return 2;
}

int16_t DecodeUnsigned8(uint8_t sample) {
    return static_cast<int16_t>((sample - 128) * 256);
}

int16_t DecodePcm24(int32_t sample) {
    return ShiftRounded(sample, 8);
}

int16_t DecodePcm32(int32_t sample) {
    return ShiftRounded(sample, 16);
}

int16_t DecodeFloat32(float sample) {
    // The product of a float and 32767 is exact in double precision.
    return DecodeFloat64(static_cast<double>(sample));
}

int16_t DecodeFloat64(double sample) {
    if (std::isnan(sample)) return 0;
    const double scaled = std::clamp(sample * 32767.0, -32767.0, 32767.0);
    double rounded = std::nearbyint(scaled);
    // A product rounded onto a half may have been just above or below it: the exact product's error
    // (fma gives it without rounding) decides, so that the result is the exact product's rounding.
    if (std::fabs(scaled - std::trunc(scaled)) == 0.5 && std::fabs(scaled) < 32767.0) {
        const double error = std::fma(sample, 32767.0, -scaled);
        if (error != 0) rounded = error > 0 ? std::floor(scaled) + 1 : std::floor(scaled);
    }
    return static_cast<int16_t>(rounded);
}

void DecodeSamples(SampleEncoding encoding, const uint8_t* bytes, std::size_t count, int16_t* out) {
    switch (encoding) {
    case SampleEncoding::Unsigned8:
        for (std::size_t i = 0; i < count; ++i) out[i] = DecodeUnsigned8(bytes[i]);
        break;
    case SampleEncoding::Pcm16:
        for (std::size_t i = 0; i < count; ++i)
            out[i] = static_cast<int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        break;
    case SampleEncoding::Pcm24:
        for (std::size_t i = 0; i < count; ++i) out[i] = DecodePcm24(Signed24(bytes + 3 * i));
        break;
    case SampleEncoding::Pcm32:
        for (std::size_t i = 0; i < count; ++i)
            out[i] = DecodePcm32(static_cast<int32_t>(Unsigned32(bytes + 4 * i)));
        break;
    case SampleEncoding::Float32:
        for (std::size_t i = 0; i < count; ++i)
            out[i] = DecodeFloat32(std::bit_cast<float>(Unsigned32(bytes + 4 * i)));
        break;
    case SampleEncoding::Float64:
        for (std::size_t i = 0; i < count; ++i)
            out[i] = DecodeFloat64(std::bit_cast<double>(Unsigned64(bytes + 8 * i)));
        break;
    }
}
