#include "demod/DemodRequest.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

bool SameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

std::string SecondsText(double seconds) {
    return PlainHertzText(seconds) + " s";
}

// The reason a frequency lies outside the recording's band, or nothing.
std::optional<std::string> FrequencyProblem(double hz, const DemodSource& source) {
    const double half = source.SampleRate / 2.0;
    const double low = source.IQ ? -half : 0.0;
    if (hz >= low && hz <= half) return std::nullopt;
    return "the frequency " + PlainHertzText(hz) + " Hz is outside the recording's band " +
           PlainHertzText(low) + " ... " + PlainHertzText(half) + " Hz" +
           (source.IQ ? "" : " (one channel: a real signal)");
}

std::optional<std::string> BandwidthProblem(double hz, const DemodSource& source) {
    if (hz <= 0) return "the bandwidth " + PlainHertzText(hz) + " Hz is not above 0 Hz";
    if (hz > source.SampleRate)
        return "the bandwidth " + PlainHertzText(hz) + " Hz is above the sample rate (" +
               std::to_string(source.SampleRate) + " Hz)";
    return std::nullopt;
}

std::optional<std::string> TimeProblem(double from, double to, double length) {
    if (from < 0) return "the start " + SecondsText(from) + " is before the recording";
    if (from >= length)
        return "the start " + SecondsText(from) + " is not before the end of the recording (" +
               SecondsText(length) + ")";
    if (to <= from) return "the end " + SecondsText(to) + " is not after the start " + SecondsText(from);
    return std::nullopt;
}

} // namespace

std::string_view DemodModeName(DemodMode mode) {
    switch (mode) {
    case DemodMode::AM:
        return "AM";
    case DemodMode::FM:
        return "FM";
    case DemodMode::WFM:
        return "WFM";
    case DemodMode::USB:
        return "USB";
    case DemodMode::LSB:
        return "LSB";
    case DemodMode::CW:
        break;
    }
    return "CW";
}

std::optional<DemodMode> DemodModeNamed(std::string_view name) {
    for (const DemodMode mode : kDemodModes)
        if (SameWord(name, DemodModeName(mode))) return mode;
    return std::nullopt;
}

double DefaultBandwidth(DemodMode mode) {
    switch (mode) {
    case DemodMode::AM:
        return 10000;
    case DemodMode::FM:
        return 12500;
    case DemodMode::WFM:
        return 200000;
    case DemodMode::USB:
    case DemodMode::LSB:
        return 2800;
    case DemodMode::CW:
        break;
    }
    return 500;
}

CheckedInput<DemodPlan> PlanDemodulation(const DemodRequest& request, const DemodSource& source) {
    using Refused = CheckedInput<DemodPlan>;
    if (source.SampleRate < 1) return Refused::Refused(SampleRateBelowOneText(source.SampleRate));
    if (source.Frames < 1) return Refused::Refused("the recording holds no frames");
    const double bandwidth = request.Bandwidth.value_or(DefaultBandwidth(request.Mode));
    const double length = static_cast<double>(source.Frames) / source.SampleRate;
    const double to = std::min(request.To.value_or(length), length);
    for (const double number : {request.Frequency, bandwidth, request.From, request.To.value_or(0.0)})
        if (!std::isfinite(number)) return Refused::Refused("a number is not finite");
    if (auto problem = FrequencyProblem(request.Frequency, source)) return Refused::Refused(*problem);
    if (auto problem = BandwidthProblem(bandwidth, source)) return Refused::Refused(*problem);
    if (auto problem = TimeProblem(request.From, request.To.value_or(to), length))
        return Refused::Refused(*problem);

    DemodPlan plan;
    plan.Mode = request.Mode;
    plan.Frequency = request.Frequency;
    plan.Bandwidth = bandwidth;
    plan.SampleRate = source.SampleRate;
    plan.IQ = source.IQ;
    plan.FirstFrame = std::llround(request.From * source.SampleRate);
    plan.EndFrame = std::min(std::llround(to * source.SampleRate), static_cast<long long>(source.Frames));
    if (plan.EndFrame <= plan.FirstFrame)
        return Refused::Refused("the stretch from the start to the end holds no whole frame");
    return plan;
}

int64_t DemodAudioLength(const DemodPlan& plan) {
    const double seconds = static_cast<double>(plan.EndFrame - plan.FirstFrame) / plan.SampleRate;
    return std::llround(seconds * kDemodAudioRate);
}
