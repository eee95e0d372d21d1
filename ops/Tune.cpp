#include "ops/Tune.h"

#include "ops/SampleRounding.h"
#include "ops/TuneOscillator.h"
#include "ops/WorkerTeam.h"
#include "signal/NumberText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

namespace {

constexpr int64_t kBlockFrames = TuneOscillator::kBlockFrames;
constexpr int64_t kPollEvery = 163840; // values
constexpr int64_t kChunkFrames = 8192; // frames a thread takes at a time

using Phasor = TuneOscillator::Phasor;
using Oscillator = TuneOscillator;

// The largest |I + jQ| of the store's frames.
double LargestMagnitude(const SignalStore& store) {
    int64_t largest = 0;
    const int16_t* s = store.Samples.data();
    const auto frames = static_cast<int64_t>(store.Samples.size() / 2);
    for (int64_t f = 0; f < frames; ++f) {
        const int64_t i = s[2 * f];
        const int64_t q = s[2 * f + 1];
        largest = std::max(largest, i * i + q * q);
    }
    return std::sqrt(static_cast<double>(largest));
}

// Turns frames first .. end - 1, each multiplied by `gain` too. Block starts are multiples of
// kBlockFrames, wherever the stretch begins.
void TuneFrames(int16_t* samples, int64_t first, int64_t end, const Oscillator& oscillator, double gain) {
    for (int64_t block = first / kBlockFrames * kBlockFrames; block < end; block += kBlockFrames) {
        const Phasor start = oscillator.BlockStart(block) * gain;
        const int64_t from = std::max(first, block);
        const int64_t to = std::min(end, block + kBlockFrames);
        for (int64_t f = from; f < to; ++f) {
            const Phasor w = start * oscillator.Step(f - block);
            const Phasor z(samples[2 * f], samples[2 * f + 1]);
            const Phasor turned = z * w;
            samples[2 * f] = RoundToSample(turned.real());
            samples[2 * f + 1] = RoundToSample(turned.imag());
        }
    }
}

} // namespace

CheckedInput<double> TuneFrequencyFromText(const SignalStore& store, std::string_view text) {
    const double f = StrToFloat(text);
    if (!store.TwoChannels()) return CheckedInput<double>::Refused("Tune needs two channels (I and Q)");
    if (store.SampleRate < 1) return CheckedInput<double>::Refused(SampleRateBelowOneText(store.SampleRate));
    const double half = store.SampleRate / 2.0;
    if (!(std::fabs(f) <= half))
        return CheckedInput<double>::Refused("the frequency " + PlainHertzText(f) +
                                             " Hz is beyond half the sample rate (" + PlainHertzText(half) +
                                             " Hz)");
    return f;
}

void TuneStore(SignalStore& store, double frequency, JobControl& job) {
    ValuePoll poll(job, static_cast<int64_t>(store.Samples.size()));
    TuneStore(store, frequency, poll, WalkOptions{kPollEvery, 0});
}

void TuneStore(SignalStore& store, double frequency, StorePoll& poll, WalkOptions options) {
    if (!store.TwoChannels() || store.SampleRate < 1) return;
    const auto frames = static_cast<int64_t>(store.Samples.size() / 2);
    const int64_t every = std::max<int64_t>(10, ValuePollSpacing(options.PollEvery) / 2 / 10 * 10);
    WorkerTeam team(options.Threads);
    // The stretches are cut at the frames that are polled (reported as their first values).
    const std::vector<PollStretch> stretches = PollStretches(frames, every, kChunkFrames);
    const Oscillator oscillator(frequency, store.SampleRate);
    const double largest = LargestMagnitude(store);
    const double gain = largest > 32767 ? 32767 / largest : 1.0;
    int16_t* samples = store.Samples.data();
    team.Run(
        stretches.size(),
        [&](size_t i) { TuneFrames(samples, stretches[i].First, stretches[i].End, oscillator, gain); },
        [&](size_t i) { return stretches[i].PollBefore < 0 || !poll.StopAt(2 * stretches[i].PollBefore); });
}
