#include "signal/CaptureType.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

struct CaptureTypeEntry {
    std::string_view Name; // the first name of a type is the one it is shown by
    SigMFSampleType Type;
};

constexpr std::array<CaptureTypeEntry, 11> kCaptureTypes = {{
    {"cu8", SigMFSampleType::U8},
    {"uc8", SigMFSampleType::U8},
    {"cs8", SigMFSampleType::I8},
    {"sc8", SigMFSampleType::I8},
    {"cs16", SigMFSampleType::I16},
    {"sc16", SigMFSampleType::I16},
    {"cf32", SigMFSampleType::F32},
    {"fc32", SigMFSampleType::F32},
    {"cfile", SigMFSampleType::F32},
    {"cf64", SigMFSampleType::F64},
    {"fc64", SigMFSampleType::F64},
}};

bool SameLetters(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

std::vector<std::string> AllCaptureTypeNames() {
    std::vector<std::string> names;
    for (const CaptureTypeEntry& entry : kCaptureTypes) names.emplace_back(entry.Name);
    return names;
}

std::optional<SigMFDatatype> CaptureTypeNamed(std::string_view name) {
    for (const CaptureTypeEntry& entry : kCaptureTypes)
        if (SameLetters(entry.Name, name)) return SigMFDatatype{.Complex = true, .Type = entry.Type};
    return std::nullopt;
}

std::optional<SigMFDatatype> CaptureTypeOfFile(std::string_view path) {
    const size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return std::nullopt;
    return CaptureTypeNamed(name.substr(dot + 1));
}

bool IsCaptureName(std::string_view path) {
    return CaptureTypeOfFile(path).has_value();
}

std::string CaptureTypeName(const SigMFDatatype& type) {
    for (const CaptureTypeEntry& entry : kCaptureTypes)
        if (entry.Type == type.Type) return std::string(entry.Name);
    return SigMFDatatypeName(type);
}
