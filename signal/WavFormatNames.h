// Short names of the WAV sample codings the reader does not decode, so that a file read as raw data
// can say what its samples were.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// The name of the coding of a fmt chunk whose samples are not decoded: "A-law", "µ-law", "ADPCM",
// "16-bit float" (IEEE float of a width other than 32 or 64 bits), else "format tag 0xNNNN" (four
// upper-case hex digits). `formatTag` is the sample coding's tag (an extensible header's standard
// sub-format); `vendorSubFormat`, when given, is the GUID of an extensible header's sub-format that is
// not one of the standard ones, added to the name of tag 0xFFFE in the usual registry form.
std::string UndecodedFormatName(uint16_t formatTag, uint16_t bitsPerSample,
                                const std::optional<std::array<uint8_t, 16>>& vendorSubFormat = {});
