#include "demod/DemodulateRecording.h"

#include "demod/DemodStream.h"
#include "demod/Demodulator.h"
#include "signal/WorkerPool.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numeric>
#include <span>

namespace {

constexpr size_t kSamplesPerPoll = 4800; // audio made between two looks at the stop flag
constexpr double kPartSeconds = 5.0;     // a long run is cut into parts of this length ...
constexpr double kPreRollSeconds = 0.5;  // ... each demodulated from this much earlier, to settle

// A stretch of the run that one demodulator makes: its audio from frame First to End, demodulated from
// frame First - PreRoll.
struct Part {
    int64_t First = 0;
    int64_t End = 0;
    int64_t PreRoll = 0;
    size_t Samples = 0; // the audio it gives
};

// The smallest step in frames at which a part may start so that its audio continues the previous part's
// sample for sample: a whole number of samples at the channel rate and at 48000 Hz. None when the rates
// have no such step shorter than the pre-roll.
int64_t PartStep(const DemodPlan& plan, double channelRate) {
    const int64_t rate = plan.SampleRate;
    if (channelRate != std::floor(channelRate)) return 0;
    const int64_t audio = rate / std::gcd(rate, int64_t{kDemodAudioRate});
    const int64_t channel = rate / std::gcd(rate, static_cast<int64_t>(channelRate));
    const int64_t step = std::lcm(audio, channel);
    return step <= kPreRollSeconds * rate ? step : 0;
}

// The parts of the run: one for a short run, else parts of about kPartSeconds that the worker pool's
// threads demodulate side by side.
std::vector<Part> PartsOf(const DemodPlan& plan, double channelRate) {
    const int64_t step = PartStep(plan, channelRate);
    const int64_t frames = plan.EndFrame - plan.FirstFrame;
    const int64_t length = step == 0 ? 0 : static_cast<int64_t>(kPartSeconds * plan.SampleRate) / step * step;
    if (length == 0 || frames <= length)
        return {Part{plan.FirstFrame, plan.EndFrame, 0, size_t(DemodAudioLength(plan))}};
    const int64_t preRoll = static_cast<int64_t>(std::ceil(kPreRollSeconds * plan.SampleRate / step)) * step;
    std::vector<Part> parts;
    size_t given = 0;
    for (int64_t first = plan.FirstFrame; first < plan.EndFrame; first += length) {
        Part part{first, std::min(first + length, plan.EndFrame), std::min(preRoll, first), 0};
        part.Samples = part.End == plan.EndFrame ? size_t(DemodAudioLength(plan)) - given
                                                 : size_t(length * kDemodAudioRate / plan.SampleRate);
        given += part.Samples;
        parts.push_back(part);
    }
    return parts;
}

// What the parts share: the values, the job, and the frames demodulated so far, for the progress.
struct Run {
    const DemodPlan& Plan;
    const Demodulator& Model; // copied by each part
    std::span<const int16_t> Values;
    JobControl& Job;
    int64_t Total = 0; // frames all parts demodulate, pre-rolls included
    std::atomic<int64_t> Done{0};
};

// Demodulates `part` (DemodStream from its first frame, with its pre-roll), looking at the stop flag
// and reporting progress between pieces. Returns nothing when the stop flag ends it.
std::vector<int16_t> Demodulate(Run& run, const Part& part) {
    DemodStream stream(run.Values, run.Model, part.First, part.PreRoll);
    const int64_t partFrames = part.End - part.First + part.PreRoll;
    int64_t counted = 0;
    std::vector<int16_t> audio;
    audio.reserve(part.Samples);
    while (audio.size() < part.Samples) {
        if (run.Job.Stopping()) return {};
        stream.Read(std::min(kSamplesPerPoll, part.Samples - audio.size()), audio);
        const int64_t fed = std::min(stream.FramesFed(), partFrames);
        const int64_t done = run.Done += fed - counted;
        counted = fed;
        run.Job.SetProgress(static_cast<int>(100 * done / run.Total));
    }
    return audio;
}

} // namespace

DemodSource DemodSourceOf(const SignalStore& store) {
    const bool iq = store.TwoChannels();
    return {store.SampleRate, iq, static_cast<int64_t>(store.ValueCount) / (iq ? 2 : 1)};
}

CheckedInput<DemodAudio> DemodulateRecording(const SignalStore& store, const DemodRequest& request,
                                             JobControl& job) {
    const CheckedInput<DemodPlan> checked = PlanDemodulation(request, DemodSourceOf(store));
    if (!checked) return CheckedInput<DemodAudio>::Refused(checked.Refusal());
    const Demodulator model(*checked);
    const std::vector<Part> parts = PartsOf(*checked, model.ChannelRate());
    Run run{*checked, model, std::span<const int16_t>(store.Samples.data(), store.Samples.size()), job};
    for (const Part& part : parts) run.Total += part.End - part.First + part.PreRoll;
    job.SetProgress(0);

    std::vector<std::vector<int16_t>> audio(parts.size());
    WorkerPool::Shared().Share(parts.size(), [&](size_t i) { audio[i] = Demodulate(run, parts[i]); });
    DemodAudio result;
    result.Stopped = job.Stopping();
    for (size_t i = 0; i < parts.size() && audio[i].size() == parts[i].Samples; ++i)
        result.Samples.insert(result.Samples.end(), audio[i].begin(), audio[i].end());
    if (!result.Stopped) job.SetProgress(100);
    return result;
}
