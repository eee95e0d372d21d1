// Bare I/Q captures: files of interleaved I and Q samples with no header, as SDR programs write them.
// The extension names the sample type; each type is one of the complex SigMF datatypes, whose decoders
// read it (signal/SigMFDecoding.h).
#pragma once

#include "signal/SigMFDatatype.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The type names --type takes and the help lists: the first name of each type.
inline constexpr std::string_view kCaptureTypeNames = "cu8|cs8|cs16|cf32|cf64";

// Every name of a type, first names first: "cu8", "uc8", "cs8", "sc8", "cs16", "sc16", "cf32", "fc32",
// "cfile", "cf64", "fc64" (in the order of kCaptureTypeNames, each followed by its other names).
std::vector<std::string> AllCaptureTypeNames();

// The type a name or extension stands for, in any letter case: "cu8"/"uc8" (unsigned 8-bit, cu8),
// "cs8"/"sc8" (signed 8-bit, ci8), "cs16"/"sc16" (ci16_le), "cf32"/"fc32"/"cfile" (cf32_le),
// "cf64"/"fc64" (cf64_le); nothing for any other.
std::optional<SigMFDatatype> CaptureTypeNamed(std::string_view name);

// The type the extension of `path` stands for (the text after the last '.' of its last part).
std::optional<SigMFDatatype> CaptureTypeOfFile(std::string_view path);

// Whether `path` ends in a capture extension.
bool IsCaptureName(std::string_view path);

// The first name of a capture type: "cu8", "cs8", "cs16", "cf32" or "cf64".
std::string CaptureTypeName(const SigMFDatatype& type);
