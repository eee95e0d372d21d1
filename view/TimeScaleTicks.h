// Where the labels of a time scale go: a linear axis on which time t (seconds) sits at view x =
// OriginX + t * PixelsPerSecond, labelled at the multiples of a round step (1, 2 or 5 times a power of
// ten seconds) chosen so that neighbouring labels stand far enough apart to be read.
#pragma once

#include <string>
#include <vector>

struct TimeAxisPlacement {
    double OriginX = 0;         // view x of time 0
    double PixelsPerSecond = 0; // > 0
};

struct TimeTick {
    double X = 0; // view x of the tick
    double Seconds = 0;
    std::string Text; // e.g. "1.5 s"
};

// The smallest round step (1, 2 or 5 x 10^k seconds) whose ticks stand at least minSpacing pixels
// apart; 0 when the axis has no usable scale.
double TimeScaleStep(double pixelsPerSecond, double minSpacing);

// "1.5 s": the time with as many decimals as the step needs (none for steps of 1 s and more).
std::string TimeTickText(double seconds, double step);

// The ticks at multiples of `step` from `fromSeconds` on whose x lies in [left, right).
std::vector<TimeTick> TimeScaleTicks(const TimeAxisPlacement& axis, double step, double left, double right,
                                     double fromSeconds);
