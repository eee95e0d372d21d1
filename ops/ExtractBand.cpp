#include "ops/ExtractBand.h"

#include "demod/Liquid.h"
#include "ops/SampleRounding.h"
#include "ops/TuneOscillator.h"
#include "signal/NumberText.h"
#include "signal/WorkerPool.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <complex>
#include <memory>
#include <vector>

namespace {

using Complex = std::complex<float>;

constexpr float kStopbandDb = 80;             // the filter's attenuation outside the band and margin
constexpr unsigned kLongestFilter = 1u << 20; // taps
constexpr int64_t kOutputsPerChunk = 4096;    // new frames a thread computes at a time

// The largest k dividing the rate whose R / k still holds the band's width with the margin.
int32_t Decimation(int32_t rate, double width) {
    const auto most = static_cast<int64_t>(std::floor(rate / (kExtractRateMargin * width)));
    for (int64_t k = std::clamp<int64_t>(most, 1, rate); k > 1; --k)
        if (rate % k == 0) return static_cast<int32_t>(k);
    return 1;
}

// The low-pass filter of the band: passes |f| <= width / 2, stops from a quarter of the width above
// that (within the new rate's room, so nothing folds into the band), unit gain at 0 Hz. Kaiser window
// design (liquid-dsp); odd length so the centre tap is the output's time.
class BandFilter {
public:
    // Kaiser's estimate of the length for the stop-band attenuation over the transition (odd; above
    // kLongestFilter for a band too narrow for the rate).
    static unsigned LengthFor(double width, int32_t rate) {
        const double transition = std::min((kExtractRateMargin - 1) * width / rate, 0.45);
        const double length = std::ceil((kStopbandDb - 7.95) / (14.26 * transition)) + 1;
        return length > kLongestFilter ? kLongestFilter + 1 : static_cast<unsigned>(length) | 1u;
    }

    BandFilter(double width, int32_t rate) : taps_(LengthFor(width, rate)) {
        const double pass = width / 2 / rate;
        const double stop = pass + (kExtractRateMargin - 1) * width / rate;
        liquid_firdes_kaiser(static_cast<unsigned>(taps_.size()),
                             static_cast<float>(std::min((pass + stop) / 2, 0.499)), kStopbandDb, 0.0f,
                             taps_.data());
        double sum = 0;
        for (float t : taps_) sum += t;
        for (float& t : taps_) t = static_cast<float>(t / sum);
        dot_.reset(dotprod_crcf_create(taps_.data(), static_cast<unsigned>(taps_.size())));
    }

    int64_t Length() const { return static_cast<int64_t>(taps_.size()); }
    // The filter's output for the Length() values from `x` on (its time is that of the middle one).
    // liquid's dot product objects are read-only once made, so threads share one.
    Complex At(const Complex* x) const {
        Complex y;
        dotprod_crcf_execute(dot_.get(), const_cast<Complex*>(x), &y);
        return y;
    }

private:
    std::vector<float> taps_;
    liquid::DotProduct dot_;
};

// The source's frame p tuned by the band's centre, 0 outside the recording.
class TunedSource {
public:
    TunedSource(const SignalStore& source, const ExtractPlan& plan)
        : values_(source.Samples.data()), two_(source.TwoChannels()),
          frames_(static_cast<int64_t>(source.Samples.size()) / (two_ ? 2 : 1)), gain_(two_ ? 1.0 : 2.0),
          oscillator_(plan.CentreHz, source.SampleRate) {}

    // Frames first .. first + count - 1 into `out`.
    void Fill(int64_t first, int64_t count, Complex* out) const {
        for (int64_t p = first; p < first + count;) {
            const int64_t block = FloorToBlock(p);
            const int64_t end = std::min(first + count, block + TuneOscillator::kBlockFrames);
            const TuneOscillator::Phasor start = oscillator_.BlockStart(block) * gain_;
            for (; p < end; ++p) {
                if (p < 0 || p >= frames_) {
                    out[p - first] = {};
                    continue;
                }
                const TuneOscillator::Phasor w = start * oscillator_.Step(p - block);
                const TuneOscillator::Phasor z(two_ ? values_[2 * p] : values_[p],
                                               two_ ? values_[2 * p + 1] : 0);
                const TuneOscillator::Phasor turned = z * w;
                out[p - first] = {static_cast<float>(turned.real()), static_cast<float>(turned.imag())};
            }
        }
    }

private:
    static int64_t FloorToBlock(int64_t p) {
        const int64_t k = TuneOscillator::kBlockFrames;
        return (p >= 0 ? p / k : (p - k + 1) / k) * k;
    }

    const int16_t* values_;
    bool two_;
    int64_t frames_;
    double gain_;
    TuneOscillator oscillator_;
};

// Nearest, halves to even, held within 16 bits (a filter's ripple may overshoot full scale).
int16_t SaturatedSample(float x) {
    return RoundToSample(std::clamp(static_cast<double>(x), -32768.0, 32767.0));
}

CheckedInput<ExtractPlan> Refused(std::string reason) {
    return CheckedInput<ExtractPlan>::Refused(std::move(reason));
}

} // namespace

CheckedInput<ExtractPlan> PlanExtract(const SignalStore& source, const ExtractRequest& request) {
    const int32_t rate = source.SampleRate;
    if (!source.Loaded()) return Refused("no recording is loaded");
    if (rate < 1) return Refused(SampleRateBelowOneText(rate));
    const double half = rate / 2.0;
    const double bottom = source.TwoChannels() ? -half : 0.0;
    const double from = request.FromSeconds;
    const double to = request.ToSeconds;
    if (!(from >= 0 && to > from))
        return Refused("the time range is empty: from " + PlainHertzText(from) + " s to " +
                       PlainHertzText(to) + " s");
    const double low = request.LowHz;
    const double high = request.HighHz;
    if (!(high > low))
        return Refused("the band is empty: " + PlainHertzText(low) + " ... " + PlainHertzText(high) + " Hz");
    if (low < bottom || high > half)
        return Refused("the band " + PlainHertzText(low) + " ... " + PlainHertzText(high) +
                       " Hz is beyond the recording's " + PlainHertzText(bottom) + " ... " +
                       PlainHertzText(half) + " Hz");
    const double width = high - low;
    if (BandFilter::LengthFor(width, rate) > kLongestFilter)
        return Refused("the band of " + PlainHertzText(width) + " Hz is too narrow for a rate of " +
                       PlainHertzText(rate) + " Hz");
    const int64_t frames = static_cast<int64_t>(source.Samples.size()) / (source.TwoChannels() ? 2 : 1);
    ExtractPlan plan;
    plan.FirstFrame = std::min<int64_t>(frames, std::llround(from * rate));
    plan.EndFrame = std::min<int64_t>(frames, std::llround(to * rate));
    if (plan.EndFrame <= plan.FirstFrame) return Refused("the time range lies past the recording's end");
    plan.CentreHz = (low + high) / 2;
    plan.WidthHz = width;
    plan.Decimation = Decimation(rate, width);
    plan.Rate = rate / plan.Decimation;
    return plan;
}

std::optional<SignalStore> ExtractBand(const SignalStore& source, const ExtractPlan& plan, JobControl& job) {
    const BandFilter filter(plan.WidthHz, source.SampleRate);
    const TunedSource tuned(source, plan);
    const int64_t k = plan.Decimation;
    const int64_t outputs = (plan.EndFrame - plan.FirstFrame + k - 1) / k;
    const int64_t reach = (filter.Length() - 1) / 2; // frames the filter reads on each side
    SignalStore out;
    out.Samples.resize(static_cast<size_t>(2 * outputs));
    const auto chunks = static_cast<size_t>((outputs + kOutputsPerChunk - 1) / kOutputsPerChunk);
    std::atomic<size_t> done{0};
    WorkerPool::Shared().Share(
        chunks,
        [&](size_t chunk) {
            const int64_t first = static_cast<int64_t>(chunk) * kOutputsPerChunk;
            const int64_t end = std::min(outputs, first + kOutputsPerChunk);
            const int64_t from = plan.FirstFrame + first * k - reach;
            std::vector<Complex> x(static_cast<size_t>((end - first - 1) * k + filter.Length()));
            tuned.Fill(from, static_cast<int64_t>(x.size()), x.data());
            for (int64_t j = first; j < end; ++j) {
                const Complex y = filter.At(x.data() + (j - first) * k);
                out.Samples[static_cast<size_t>(2 * j)] = SaturatedSample(y.real());
                out.Samples[static_cast<size_t>(2 * j + 1)] = SaturatedSample(y.imag());
            }
            job.SetProgress(static_cast<int>(100 * ++done / chunks));
        },
        [&](size_t) { return !job.Stopping(); });
    if (job.Stopping()) return std::nullopt;
    out.ValueCount = static_cast<int32_t>(out.Samples.size());
    out.ChannelCount = 2;
    out.SampleRate = plan.Rate;
    return out;
}
