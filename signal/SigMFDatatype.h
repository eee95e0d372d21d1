// The sample layouts a SigMF recording names in `core:datatype`: complex (interleaved I then Q) or
// real, a sample type, and the byte order of types wider than a byte ("ci16_le", "rf32_be", "cu8").
#pragma once

#include <optional>
#include <string>
#include <string_view>

enum class SigMFSampleType { F64, F32, I32, I16, U32, U16, I8, U8 };

struct SigMFDatatype {
    bool Complex = true;
    SigMFSampleType Type = SigMFSampleType::I16;
    bool BigEndian = false; // only for types wider than a byte

    bool operator==(const SigMFDatatype&) const = default;
};

// The datatype that `name` names, or nothing when it is not one: a type wider than a byte needs its
// `_le` or `_be`, a byte-wide one takes none.
std::optional<SigMFDatatype> ParseSigMFDatatype(std::string_view name);

// The name of a datatype, e.g. "ci16_le".
std::string SigMFDatatypeName(const SigMFDatatype& datatype);

// Bytes of one value (one of I and Q for a complex type).
int SigMFValueBytes(SigMFSampleType type);
