#include "signal/WavFormatNames.h"

#include "signal/SampleDecoding.h"

#include <cstdio>

namespace {

constexpr uint16_t kFormatMsAdpcm = 2;
constexpr uint16_t kFormatALaw = 6;
constexpr uint16_t kFormatMuLaw = 7;
constexpr uint16_t kFormatImaAdpcm = 0x11;

// Appends `count` bytes as upper-case hex digits, last byte first when `reversed`.
void AppendHex(std::string& text, const uint8_t* bytes, int count, bool reversed) {
    for (int i = 0; i < count; ++i) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X", unsigned{bytes[reversed ? count - 1 - i : i]});
        text.append(digits, 2);
    }
}

// A GUID as the registry writes it: {00000001-0000-0010-8000-00AA00389B71}; its first three fields
// are little-endian in the file.
std::string GuidText(const std::array<uint8_t, 16>& guid) {
    std::string text = "{";
    AppendHex(text, guid.data(), 4, true);
    text += '-';
    AppendHex(text, guid.data() + 4, 2, true);
    text += '-';
    AppendHex(text, guid.data() + 6, 2, true);
    text += '-';
    AppendHex(text, guid.data() + 8, 2, false);
    text += '-';
    AppendHex(text, guid.data() + 10, 6, false);
    text += '}';
    return text;
}

} // namespace

std::string UndecodedFormatName(uint16_t formatTag, uint16_t bitsPerSample,
                                const std::optional<std::array<uint8_t, 16>>& vendorSubFormat) {
    switch (formatTag) {
    case kFormatMsAdpcm:
    case kFormatImaAdpcm:
        return "ADPCM";
    case kFormatALaw:
        return "A-law";
    case kFormatMuLaw:
        return "\xC2\xB5-law"; // µ (U+00B5) in UTF-8
    case kFormatIeeeFloat:
        return std::to_string(bitsPerSample) + "-bit float";
    default:
        break;
    }
    char tag[24];
    std::snprintf(tag, sizeof tag, "format tag 0x%04X", unsigned{formatTag});
    std::string name = tag;
    if (formatTag == kFormatExtensible && vendorSubFormat)
        name += ", sub-format " + GuidText(*vendorSubFormat);
    return name;
}
