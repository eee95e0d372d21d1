// The sample encodings of WAV data and their conversion into the store's signed 16-bit values.
//
// Scaling and rounding, per value:
// - 8-bit unsigned (128 = zero): (b - 128) * 256, exact: 0 -> -32768, 128 -> 0, 255 -> 32512.
// - 16-bit signed: taken as it is.
// - 24-bit and 32-bit signed: divided by 2^8 and 2^16, rounded to nearest with halves to even (the
//   rounding of the edits), then limited to -32768 ... 32767: only the top codes within half a step of
//   full scale (24-bit 8388480 and above, 32-bit 2147450880 and above) clip, by less than one step.
// - 32-bit and 64-bit float: x * 32767, so that +-1.0 is +-32767, rounded to nearest with halves to
//   even; values beyond +-1.0 (infinities too) are clipped to +-32767; NaN becomes 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

enum class SampleEncoding { Pcm16, Unsigned8, Pcm24, Pcm32, Float32, Float64 };

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatIeeeFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;

// The encoding of a format tag (PCM or IEEE float; an extensible header's sub-format) with its bits
// per sample, or nothing when it is not supported. PCM samples of up to 8 bits are unsigned bytes, of
// 9 to 16, 17 to 24 and 25 to 32 bits are held in 2, 3 and 4 bytes (left-justified, so the unused low
// bits do not change the scaling); any other PCM width is taken as 16-bit values, as it always was.
// IEEE float is supported with 32 and 64 bits.
std::optional<SampleEncoding> EncodingOf(uint16_t formatTag, uint16_t bitsPerSample);

// Bytes of the file per stored value.
int SampleBytes(SampleEncoding encoding);

int16_t DecodeUnsigned8(uint8_t sample);
int16_t DecodePcm24(int32_t sample); // sample in -8388608 ... 8388607
int16_t DecodePcm32(int32_t sample);
int16_t DecodeFloat32(float sample);
int16_t DecodeFloat64(double sample);

// Decodes `count` little-endian samples at `bytes` (count * SampleBytes bytes) into `out`.
void DecodeSamples(SampleEncoding encoding, const uint8_t* bytes, std::size_t count, int16_t* out);
