// Signals, settings and an independent reference for the spectrogram tests: the expected colours of
// one column are computed here by a direct DFT in extended precision, not by the engine's FFTs.
#pragma once

#include "signal/SignalStore.h"
#include "spectral/LevelToColor.h"
#include "spectral/SpectrogramSettings.h"
#include "spectral/SpectrogramState.h"
#include "spectral/WindowTable.h"

#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <optional>
#include <vector>

namespace spectest {

inline SignalStore MakeStore(const std::vector<int16_t>& values, uint16_t channels = 1,
                             int32_t rate = 48000) {
    SignalStore store;
    store.Samples.assign(values.begin(), values.end());
    store.ValueCount = static_cast<int32_t>(values.size());
    store.ChannelCount = channels;
    store.SampleRate = rate;
    store.FileName = "test.wav";
    return store;
}

// count values of amplitude * cos(2 pi f n / rate + phase), rounded.
inline std::vector<int16_t> Tone(int64_t count, double frequency, double rate, double amplitude,
                                 double phase = 0.3) {
    std::vector<int16_t> values(static_cast<size_t>(count));
    for (int64_t n = 0; n < count; ++n)
        values[static_cast<size_t>(n)] = static_cast<int16_t>(
            std::lround(amplitude * std::cos(2 * std::numbers::pi * frequency * n / rate + phase)));
    return values;
}

// Two channels interleaved: even positions from first, odd from second.
inline std::vector<int16_t> Interleave(const std::vector<int16_t>& first,
                                       const std::vector<int16_t>& second) {
    std::vector<int16_t> values;
    for (size_t i = 0; i < first.size(); ++i) {
        values.push_back(first[i]);
        values.push_back(second[i]);
    }
    return values;
}

// Deterministic noise in -amplitude .. amplitude.
inline std::vector<int16_t> Noise(int64_t count, int amplitude, uint32_t seed = 12345) {
    std::vector<int16_t> values(static_cast<size_t>(count));
    for (auto& v : values) {
        seed = seed * 1664525u + 1013904223u;
        v = static_cast<int16_t>(static_cast<int>(seed >> 8) % (2 * amplitude + 1) - amplitude);
    }
    return values;
}

inline SpectrogramSettings Settings(int32_t fftSize, int32_t decimation = 1, int window = kWindowHann,
                                    int32_t gain = 100) {
    return SpectrogramSettings{fftSize, decimation, window, gain};
}

inline TColor32 PixelAt(const SpectrogramState& state, int32_t x, int32_t y) {
    return state.SpectrogramBitmap.Pixel(x, y);
}

struct ExpectedPixel {
    int32_t Row = 0;
    float Level = 0;
    TColor32 Colour = 0;
};

// The windowed frame of column x: positions x * hop - N .. x * hop - 1, only those of `channel` when
// it is 0 or 1, the others 0.
inline std::vector<long double> WindowedFrame(const SignalStore& store, const SpectrogramSettings& settings,
                                              int64_t x, int channel) {
    const int32_t n = settings.FFTSize;
    TWindowTable window;
    BuildWindowTable(static_cast<uint8_t>(settings.WindowIndex), n, window);
    const int64_t start = x * (n / settings.Decimation) - n;
    std::vector<long double> frame(static_cast<size_t>(n), 0.0L);
    for (int32_t i = 0; i < n; ++i) {
        const int64_t p = start + i;
        if (p < 0 || p >= store.ValueCount || (channel >= 0 && (p & 1) != channel)) continue;
        frame[static_cast<size_t>(i)] =
            static_cast<long double>(store.Samples[static_cast<size_t>(p)]) * window[static_cast<size_t>(i)];
    }
    return frame;
}

// The level of bin k of a frame by a direct DFT: |Re| + |Im| (0 counts as 0.001) times gain / 100.
inline float DirectLevel(const std::vector<long double>& frame, int64_t k, int32_t gain) {
    const auto n = static_cast<int64_t>(frame.size());
    std::complex<long double> sum = 0;
    for (int64_t j = 0; j < n; ++j) {
        const long double angle =
            -2.0L * std::numbers::pi_v<long double> * static_cast<long double>((j * k) % n) / n;
        sum += frame[static_cast<size_t>(j)] * std::complex<long double>(std::cos(angle), std::sin(angle));
    }
    double m = static_cast<double>(std::fabs(sum.real()) + std::fabs(sum.imag()));
    if (m == 0.0) m = 0.001;
    return static_cast<float>(m * (gain / 100.0));
}

// The shown bins of column x computed directly, in the rows of a band starting at bandTop with
// bandBins bins (N/2 for one channel, N/4 for two).
inline std::vector<ExpectedPixel> ExpectedColumn(const SignalStore& store,
                                                 const SpectrogramSettings& settings, int64_t x, int channel,
                                                 int32_t bandTop, int32_t bandBins) {
    const std::vector<long double> frame = WindowedFrame(store, settings, x, channel);
    std::vector<ExpectedPixel> column;
    for (int32_t k = bandBins - 1; k >= 1; --k) {
        const float level = DirectLevel(frame, k, settings.Gain);
        column.push_back({bandTop + bandBins - 1 - k, level, LevelToColor32(level)});
    }
    return column;
}

// Whether a level lies so close to a boundary of the colour ramp that rounding differences between a
// float FFT and the direct DFT could put it in the neighbouring interval.
inline bool NearRampBoundary(float level) {
    for (const double boundary : {10000.0, 35000.0, 60000.0, 90000.0, 450000.0, 2500000.0, 5000000.0})
        if (std::fabs(level - boundary) < boundary * 0.002) return true;
    return false;
}

inline int ChannelDistance(TColor32 a, TColor32 b) {
    const int dr = std::abs(int{RedOf(a)} - RedOf(b));
    const int dg = std::abs(int{GreenOf(a)} - GreenOf(b));
    const int db = std::abs(int{BlueOf(a)} - BlueOf(b));
    return std::max({dr, dg, db, std::abs(int{AlphaOf(a)} - AlphaOf(b))});
}

// The row of the largest expected level.
inline int32_t PeakRow(const std::vector<ExpectedPixel>& column) {
    const ExpectedPixel* best = &column.front();
    for (const auto& p : column)
        if (p.Level > best->Level) best = &p;
    return best->Row;
}

} // namespace spectest
