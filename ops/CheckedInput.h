// A typed input checked by the command that reads it: the value it will run with, or the reason it
// refuses the input. It is an optional of the value, so that a caller that only asks whether the input
// was accepted reads it as one; the reason is there for the caller that tells the user.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

template <class T> class CheckedInput : public std::optional<T> {
public:
    CheckedInput(T value) : std::optional<T>(std::move(value)) {}

    // An input the command refuses, e.g. "the cut-off 30000 Hz is above the sample rate minus 1 (47999 Hz)".
    static CheckedInput Refused(std::string reason) {
        CheckedInput refused;
        refused.refusal_ = std::move(reason);
        return refused;
    }

    // Why the input was refused; empty when it was accepted.
    const std::string& Refusal() const { return refusal_; }

private:
    CheckedInput() = default;
    std::string refusal_;
};

// A frequency or rate as the reasons write it: whole numbers without a decimal part, others with
// as many digits as they need ("." as the separator).
std::string PlainHertzText(double hertz);

// The reason every rate-dependent command gives while the recording's rate is below 1 Hz.
std::string SampleRateBelowOneText(int32_t rate);
