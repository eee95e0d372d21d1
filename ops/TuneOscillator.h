// The oscillator of Tune and Extract: frame n of a recording at `rate` is e^(-j 2 pi f n / rate),
// formed as the exact value at the start of n's block of kBlockFrames frames times the step from
// there, so that no error builds up along the recording and any stretch can be computed on its own.
#pragma once

#include <array>
#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>

class TuneOscillator {
public:
    using Phasor = std::complex<double>;
    static constexpr int64_t kBlockFrames = 1024;

    // frequency: Hz, signed; rate: frames per second, at least 1.
    TuneOscillator(double frequency, int32_t rate)
        : cyclesPerFrame_(static_cast<long double>(frequency) / rate) {
        for (int64_t k = 0; k < kBlockFrames; ++k)
            steps_[static_cast<size_t>(k)] = Turn(cyclesPerFrame_ * static_cast<long double>(k));
    }
    // The value at the first frame of a block (a multiple of kBlockFrames).
    Phasor BlockStart(int64_t frame) const { return Turn(cyclesPerFrame_ * static_cast<long double>(frame)); }
    // The value k frames after a block's start, relative to it (0 <= k < kBlockFrames).
    const Phasor& Step(int64_t k) const { return steps_[static_cast<size_t>(k)]; }
    // The value at any frame.
    Phasor At(int64_t frame) const {
        const int64_t block = frame / kBlockFrames * kBlockFrames;
        return BlockStart(block) * Step(frame - block);
    }

private:
    // e^(-j 2 pi turns), the turns reduced to less than one in extended precision first.
    static Phasor Turn(long double turns) {
        const long double reduced = turns - std::floor(turns);
        const long double angle = -2 * std::numbers::pi_v<long double> * reduced;
        return {static_cast<double>(std::cos(angle)), static_cast<double>(std::sin(angle))};
    }

    long double cyclesPerFrame_;
    std::array<Phasor, kBlockFrames> steps_;
};
