#include "signal/SigMFDatatype.h"

#include <array>

namespace {

struct TypeName {
    SigMFSampleType Type;
    std::string_view Name;
    int Bytes;
};

constexpr std::array<TypeName, 8> kTypes = {{
    {SigMFSampleType::F64, "f64", 8},
    {SigMFSampleType::F32, "f32", 4},
    {SigMFSampleType::I32, "i32", 4},
    {SigMFSampleType::I16, "i16", 2},
    {SigMFSampleType::U32, "u32", 4},
    {SigMFSampleType::U16, "u16", 2},
    {SigMFSampleType::I8, "i8", 1},
    {SigMFSampleType::U8, "u8", 1},
}};

const TypeName& NameOf(SigMFSampleType type) {
    for (const TypeName& entry : kTypes)
        if (entry.Type == type) return entry;
    return kTypes[3];
}

} // namespace

std::optional<SigMFDatatype> ParseSigMFDatatype(std::string_view name) {
    if (name.empty() || (name[0] != 'c' && name[0] != 'r')) return std::nullopt;
    SigMFDatatype datatype;
    datatype.Complex = name[0] == 'c';
    name.remove_prefix(1);
    for (const TypeName& entry : kTypes) {
        if (!name.starts_with(entry.Name)) continue;
        const std::string_view order = name.substr(entry.Name.size());
        datatype.Type = entry.Type;
        datatype.BigEndian = order == "_be";
        const bool orderFits = entry.Bytes == 1 ? order.empty() : order == "_le" || order == "_be";
        return orderFits ? std::optional(datatype) : std::nullopt;
    }
    return std::nullopt;
}

std::string SigMFDatatypeName(const SigMFDatatype& datatype) {
    const TypeName& type = NameOf(datatype.Type);
    std::string name(1, datatype.Complex ? 'c' : 'r');
    name.append(type.Name);
    if (type.Bytes > 1) name += datatype.BigEndian ? "_be" : "_le";
    return name;
}

int SigMFValueBytes(SigMFSampleType type) {
    return NameOf(type).Bytes;
}
