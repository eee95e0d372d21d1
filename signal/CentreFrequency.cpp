#include "signal/CentreFrequency.h"

#include "signal/LittleEndian.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsLetterOrDigit(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
}
// Characters after which a number in a name may begin.
bool IsSeparator(char c) {
    return std::string_view("_- ([{+=").find(c) != std::string_view::npos;
}
char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// The multiplier of a unit prefix letter ('k', 'm', 'g'), or nothing.
std::optional<double> PrefixMultiplier(char c) {
    switch (Lower(c)) {
    case 'k':
        return 1e3;
    case 'm':
        return 1e6;
    case 'g':
        return 1e9;
    default:
        return std::nullopt;
    }
}

// Start of the number that ends at `end` in `name`: digits, or digits '.' digits. `end` itself when
// there is none.
std::size_t NumberStart(std::string_view name, std::size_t end) {
    std::size_t start = end;
    while (start > 0 && IsDigit(name[start - 1])) --start;
    if (start == end) return end;
    if (start >= 2 && name[start - 1] == '.' && IsDigit(name[start - 2])) {
        start -= 1;
        while (start > 0 && IsDigit(name[start - 1])) --start;
    }
    return start;
}

// The frequency of the "Hz" at `unit` in `name`, in hertz, or 0 when it does not form a frequency.
int64_t FrequencyAt(std::string_view name, std::size_t unit) {
    const std::size_t after = unit + 2;
    if (after < name.size() && IsLetterOrDigit(name[after])) return 0;
    double multiplier = 1.0;
    std::size_t numberEnd = unit;
    if (unit > 0) {
        if (const auto prefix = PrefixMultiplier(name[unit - 1])) {
            multiplier = *prefix;
            numberEnd = unit - 1;
        }
    }
    const std::size_t start = NumberStart(name, numberEnd);
    if (start == numberEnd || numberEnd - start > 16) return 0;
    if (start > 0 && !IsSeparator(name[start - 1])) return 0;
    double number = 0.0;
    const auto parsed = std::from_chars(name.data() + start, name.data() + numberEnd, number);
    if (parsed.ec != std::errc() || parsed.ptr != name.data() + numberEnd) return 0;
    const double hz = std::nearbyint(number * multiplier);
    return hz >= 1.0 && hz <= static_cast<double>(kMaxCentreFrequency) ? static_cast<int64_t>(hz) : 0;
}

} // namespace

int64_t AuxiCentreFrequency(const uint8_t* payload, std::size_t size) {
    if (size < kAuxiCentreFrequencyEnd) return 0;
    const uint8_t* p = payload + 32;
    return static_cast<int64_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24));
}

int64_t CentreFrequencyFromFileName(std::string_view path, int64_t sampleRate) {
    const std::size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    int64_t largest = 0;
    for (std::size_t unit = 0; unit + 1 < name.size(); ++unit) {
        if (Lower(name[unit]) != 'h' || Lower(name[unit + 1]) != 'z') continue;
        const int64_t hz = FrequencyAt(name, unit);
        if (hz != sampleRate) largest = std::max(largest, hz);
    }
    return largest;
}

void CentreFrequencies::FileRead(const std::string& path, int64_t fromFile) {
    fromFiles_[path] = fromFile;
}

void CentreFrequencies::Typed(const std::string& path, int64_t hz) {
    typed_[path] = hz;
}

int64_t CentreFrequencies::Of(const std::string& path) const {
    if (const auto typed = typed_.find(path); typed != typed_.end()) return typed->second;
    const auto read = fromFiles_.find(path);
    return read == fromFiles_.end() ? 0 : read->second;
}

std::vector<uint8_t> AuxiPayloadForSave(std::span<const uint8_t> carried, int64_t hz) {
    if (hz <= 0) return {};
    const bool fits = hz <= int64_t{0xFFFFFFFF};
    if (!fits && carried.empty()) return {};
    std::vector<uint8_t> payload(carried.begin(), carried.end());
    if (payload.size() < kAuxiCentreFrequencyEnd) payload.resize(kCommonAuxiBytes, 0);
    PutLE32(payload.data() + kAuxiCentreFrequencyEnd - 4, fits ? static_cast<uint32_t>(hz) : 0u);
    return payload;
}
