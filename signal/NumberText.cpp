#include "signal/NumberText.h"

#include <charconv>
#include <cmath>

namespace {

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

template <class T> bool ParseWhole(std::string_view text, T& value) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

template <class T> T ParseInteger(std::string_view text) {
    T value = 0;
    if (!ParseWhole(text, value))
        throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
    return value;
}

} // namespace

int32_t StrToInt(std::string_view text) {
    return ParseInteger<int32_t>(text);
}

int64_t StrToInt64(std::string_view text) {
    return ParseInteger<int64_t>(text);
}

double StrToFloat(std::string_view text) {
    double value = 0;
    if (!ParseWhole(text, value) || !std::isfinite(value))
        throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
    return value;
}

int32_t StrToIntDef(std::string_view text, int32_t fallback) {
    int32_t value = 0;
    return ParseWhole(text, value) ? value : fallback;
}
