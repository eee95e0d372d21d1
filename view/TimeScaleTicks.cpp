#include "view/TimeScaleTicks.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// No axis gets more ticks than this, whatever it is asked for.
constexpr int kMostTicks = 10000;

} // namespace

double TimeScaleStep(double pixelsPerSecond, double minSpacing) {
    if (!std::isfinite(pixelsPerSecond) || pixelsPerSecond <= 0 || !(minSpacing > 0)) return 0;
    const double least = minSpacing / pixelsPerSecond; // seconds between labels at the least
    double decade = std::pow(10.0, std::floor(std::log10(least)));
    for (int round = 0; round < 4; ++round, decade *= 10)
        for (const double factor : {1.0, 2.0, 5.0})
            if (factor * decade >= least * (1 - 1e-12)) return factor * decade;
    return 0;
}

std::string TimeTickText(double seconds, double step) {
    const int decimals = step > 0 ? std::clamp(int(std::ceil(-std::log10(step) - 1e-9)), 0, 9) : 0;
    if (std::fabs(seconds) < step * 1e-6) seconds = 0; // no "-0.0" from rounding around zero
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, seconds, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr) + " s";
}

std::vector<TimeTick> TimeScaleTicks(const TimeAxisPlacement& axis, double step, double left, double right,
                                     double fromSeconds) {
    std::vector<TimeTick> ticks;
    if (!(step > 0) || !(axis.PixelsPerSecond > 0) || !(right > left)) return ticks;
    const double leftSeconds = std::max(fromSeconds, (left - axis.OriginX) / axis.PixelsPerSecond);
    const double rightSeconds = (right - axis.OriginX) / axis.PixelsPerSecond;
    for (double k = std::ceil(leftSeconds / step - 1e-9); int(ticks.size()) < kMostTicks; ++k) {
        const double seconds = k * step;
        if (seconds > rightSeconds) break;
        const double x = axis.OriginX + seconds * axis.PixelsPerSecond;
        if (x < left || x >= right) continue;
        ticks.push_back({x, seconds, TimeTickText(seconds, step)});
    }
    return ticks;
}
