// Locale-independent conversion of typed numbers, "." as the decimal separator. A text that is not a
// number raises EConvertError naming the text, as the window's general error report shows it.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A 32-bit signed decimal integer; surrounding blanks are allowed, anything else is an error.
int32_t StrToInt(std::string_view text);

// A 64-bit signed decimal integer (sizes and frequencies), by the same rules.
int64_t StrToInt64(std::string_view text);

// A decimal floating-point number (optional sign, digits, ".", exponent).
double StrToFloat(std::string_view text);

// Integer with a default for a missing or invalid text (the settings' reading rule).
int32_t StrToIntDef(std::string_view text, int32_t fallback);
