// The two gain curves of playback: the raised-cosine table that fades a copy's first and last 250
// values in and out, and the linear ramp of a fade-out stop.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

constexpr int kPlayFadeLength = 500;
constexpr int kPlayFadeHalf = kPlayFadeLength / 2;

// 0.5 * cos(2 pi * (i/500 - 0.5)) + 0.5 for i = 0 ... 499, the argument rounded to a single float
// first: rises from 0 to 1 over the first 250 entries and falls back over the last 250. Built once,
// read-only afterwards.
const std::array<float, kPlayFadeLength>& PlayFadeTable();

// Fades the first 250 values in and the last 250 out, in place, with PlayFadeTable; each product
// rounded to nearest, ties to even. Requires at least 500 values.
void FadePlaybackCopyEnds(std::span<int16_t> copy);

// Makes `ramp` hold `length` entries 1 - 2 * |j / length - 0.5| (the difference rounded to a single
// float first): a triangle rising from 0 to 1 at the middle and falling to 2 / length at the end. An
// existing ramp of the right length is kept as it is.
void BuildFadeOutRamp(std::vector<float>& ramp, int32_t length);
