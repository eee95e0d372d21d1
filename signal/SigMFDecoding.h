// Decoding of SigMF sample values into the store's signed 16-bit values, with the scaling of the WAV
// reader (signal/SampleDecoding.h):
// - u8 (offset binary, 128 = zero): (b - 128) * 256; i8: v * 256 (the same steps, zero at 0).
// - i16: taken as it is; u16: v - 32768.
// - i32: divided by 2^16, rounded to nearest with halves to even and limited to 32767, as 32-bit WAV
//   samples; u32: v - 2^31, then the same.
// - f32 and f64: x * 32767, so that +-1.0 is +-32767, rounded to nearest with halves to even (of the
//   exact product); beyond +-1.0 (infinities too) clipped to +-32767; NaN becomes 0.
// Types wider than a byte are read in the byte order the datatype names.
#pragma once

#include "signal/SigMFDatatype.h"

#include <cstddef>
#include <cstdint>

// Decodes `count` values of `datatype` at `bytes` (count * SigMFValueBytes bytes) into `out`.
void DecodeSigMFValues(const SigMFDatatype& datatype, const uint8_t* bytes, std::size_t count, int16_t* out);
