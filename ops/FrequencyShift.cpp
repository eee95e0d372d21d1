#include "ops/FrequencyShift.h"

#include "ops/SampleRounding.h"
#include "ops/StoreLevel.h"
#include "ops/WorkerTeam.h"
#include "signal/NumberText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

using Wave = double (*)(double);

double Sine(double x) {
    return std::sin(x);
}
double Cosine(double x) {
    return std::cos(x);
}

constexpr size_t kBlockLength = 1024; // values per oscillator block
constexpr int64_t kPollEvery = 163840;
constexpr int64_t kChunk = 16384; // values a thread takes at a time

constexpr long double kTurn = 2 * std::numbers::pi_v<long double>;
constexpr double kTurnsPerRadian = static_cast<double>(1 / kTurn);

// The whole turns in `phase`: the quotient phase / kTurn formed in extended precision and cut towards
// zero. A double estimate of the quotient lies within 4 units of its last place of it, so where the
// estimate is farther than that from a whole number both have the same whole part, read with a plain
// double conversion; only nearer to one (and for huge or invalid phases) is the extended division
// done. (The extended conversion to a 64-bit integer and back, which the division path needs, can be
// many times slower than everything else here together.)
long double WholeTurns(long double phase) {
    const double estimate = static_cast<double>(phase) * kTurnsPerRadian;
    const double size = std::fabs(estimate);
    if (size < 0x1p52) {
        const double whole = static_cast<double>(static_cast<long long>(estimate));
        const double fraction = std::fabs(estimate - whole);
        const double margin = size * 0x1p-50;
        if (fraction > margin && fraction < 1 - margin) return whole;
    }
    const long double quotient = phase / kTurn;
    return std::fabs(quotient) < 0x1p62L ? static_cast<long double>(static_cast<long long>(quotient))
                                         : std::trunc(quotient);
}

// wave(omega * t): the phase is formed and reduced to less than one turn in extended precision, so the
// angle keeps its accuracy however long the recording; the function itself then runs in double
// precision on the reduced angle (as accurate as the extended functions, and ten times faster).
long double OscillatorValue(double omega, double t, Wave wave) {
    const long double phase = static_cast<long double>(omega) * t;
    return wave(static_cast<double>(phase - kTurn * WholeTurns(phase)));
}

// One generator of a run. Entry i of the block whose time offset is T is A wave(omega t_i), with
// t_i = i / rate + T formed in extended precision and kept as a double; the next block's offset is
// t_1024, so the offsets of all blocks follow from the first one alone.
class Oscillator {
public:
    Oscillator(double omega, int32_t rate, double amplitude, Wave wave)
        : omega_(omega), amplitude_(amplitude), wave_(wave) {
        for (size_t i = 0; i < steps_.size(); ++i) steps_[i] = static_cast<long double>(i) / rate;
    }
    double Time(size_t i, double offset) const { return static_cast<double>(steps_[i] + offset); }
    double NextOffset(double offset) const { return Time(kBlockLength, offset); }
    double Entry(size_t i, double offset) const {
        return static_cast<double>(amplitude_ * OscillatorValue(omega_, Time(i, offset), wave_));
    }

private:
    double omega_;
    double amplitude_;
    Wave wave_;
    std::array<long double, kBlockLength + 1> steps_;
};

void GenerateBlock(ShiftOscillator& oscillator, int32_t rate, double amplitude, Wave wave) {
    const Oscillator generator(oscillator.Omega, rate, amplitude, wave);
    for (size_t i = 0; i < oscillator.Block.size(); ++i)
        oscillator.Block[i] = generator.Entry(i, oscillator.TimeOffset);
    oscillator.TimeOffset = generator.NextOffset(oscillator.TimeOffset);
}

double AngularFrequency(double frequency) {
    return static_cast<double>(2 * std::numbers::pi_v<long double> * frequency);
}

// The time offset of every block of the store.
std::vector<double> BlockOffsets(const Oscillator& oscillator, std::vector<double> offsets) {
    double offset = 0;
    for (double& o : offsets) {
        o = offset;
        offset = oscillator.NextOffset(offset);
    }
    return offsets;
}

// Multiplies values first .. end - 1 by their oscillator entries (each divided by the amplitude). The
// oscillator advances once per frame (value index >> frameShift): with two channels both values of a
// frame meet the same entry.
void ShiftValues(int16_t* samples, int64_t first, int64_t end, int frameShift, const Oscillator& oscillator,
                 const std::vector<double>& offsets, double amplitude) {
    // The entries of a run of values first, then the products: the divisions of one run overlap
    // instead of each waiting behind its own oscillator call.
    constexpr int64_t kRun = 256;
    std::array<double, kRun> entries;
    for (int64_t from = first; from < end; from += kRun) {
        const int64_t count = std::min(kRun, end - from);
        for (int64_t i = 0; i < count; ++i) {
            // The second value of a frame meets the entry of the first: computed once.
            if (frameShift == 1 && i > 0 && ((from + i) & 1) != 0) {
                entries[static_cast<size_t>(i)] = entries[static_cast<size_t>(i - 1)];
                continue;
            }
            const auto frame = static_cast<size_t>((from + i) >> frameShift);
            entries[static_cast<size_t>(i)] =
                oscillator.Entry(frame % kBlockLength, offsets[frame / kBlockLength]);
        }
        for (int64_t i = 0; i < count; ++i) {
            const int16_t value = samples[from + i];
            const double entry = entries[static_cast<size_t>(i)];
            samples[from + i] = RoundToSampleVia(value * entry / amplitude, [&] {
                return static_cast<long double>(value) * entry / amplitude;
            });
        }
    }
}

} // namespace

void GenerateSinBlock(ShiftOscillator& oscillator, int32_t rate, double amplitude) {
    GenerateBlock(oscillator, rate, amplitude, Sine);
}

void GenerateCosBlock(ShiftOscillator& oscillator, int32_t rate, double amplitude) {
    GenerateBlock(oscillator, rate, amplitude, Cosine);
}

CheckedInput<double> ShiftFrequencyFromText(const SignalStore& store, std::string_view text) {
    const double f = std::fabs(StrToFloat(text));
    if (store.SampleRate < 1) return CheckedInput<double>::Refused(SampleRateBelowOneText(store.SampleRate));
    if (f > store.SampleRate)
        return CheckedInput<double>::Refused("the frequency " + PlainHertzText(f) +
                                             " Hz is above the sample rate (" +
                                             PlainHertzText(store.SampleRate) + " Hz)");
    return f;
}

void SinShift(SignalStore& store, double frequency, JobControl& job) {
    ValuePoll poll(job, static_cast<int64_t>(store.Samples.size()));
    ShiftStore(store, frequency, ShiftWave::Sine, poll, WalkOptions{kPollEvery, 0});
}

void CosShift(SignalStore& store, double frequency, JobControl& job) {
    ValuePoll poll(job, static_cast<int64_t>(store.Samples.size()));
    ShiftStore(store, frequency, ShiftWave::Cosine, poll, WalkOptions{kPollEvery, 0});
}

void ShiftStore(SignalStore& store, double frequency, ShiftWave wave, StorePoll& poll, WalkOptions options) {
    if (store.SampleRate < 1) return;
    const auto n = static_cast<int64_t>(store.Samples.size());
    const int64_t every = ValuePollSpacing(options.PollEvery);
    WorkerTeam team(options.Threads);
    const std::vector<PollStretch> stretches = PollStretches(n, every, kChunk);
    const int frameShift = store.TwoChannels() ? 1 : 0; // value index to frame index
    const size_t frames = (store.Samples.size() + (size_t{1} << frameShift) - 1) >> frameShift;
    std::vector<double> offsets((frames + kBlockLength - 1) / kBlockLength);
    const bool sine = wave == ShiftWave::Sine;
    const int32_t peak = PrepareLevel(store, sine);
    const double amplitude = peak;
    const Oscillator oscillator(AngularFrequency(frequency), store.SampleRate, amplitude,
                                sine ? Sine : Cosine);
    offsets = BlockOffsets(oscillator, std::move(offsets));
    int16_t* samples = store.Samples.data();
    team.Run(
        stretches.size(),
        [&](size_t i) {
            const PollStretch& stretch = stretches[i];
            ShiftValues(samples, stretch.First, stretch.End, frameShift, oscillator, offsets, amplitude);
        },
        [&](size_t i) { return stretches[i].PollBefore < 0 || !poll.StopAt(stretches[i].PollBefore); });
    RestoreLevel(store, peak);
}
