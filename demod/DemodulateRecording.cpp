#include "demod/DemodulateRecording.h"

#include "demod/Demodulator.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace {

constexpr int64_t kFramesPerPoll = 1 << 16; // between two looks at the stop flag

// Feeds silence after the last frame until the filters have given out everything they hold: `wanted`
// samples in all.
void Drain(Demodulator& demodulator, const DemodPlan& plan, size_t wanted, std::vector<int16_t>& audio) {
    const std::vector<int16_t> silence(static_cast<size_t>(kFramesPerPoll) * (plan.IQ ? 2 : 1), 0);
    const double lagFrames = (demodulator.DelaySeconds() + 1.0 / kDemodAudioRate) * plan.SampleRate;
    const auto blocks = static_cast<int64_t>(std::ceil(lagFrames / kFramesPerPoll)) + 1;
    for (int64_t i = 0; i < blocks && audio.size() < wanted; ++i) demodulator.Process(silence, audio);
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
    const DemodPlan& plan = *checked;
    const size_t perFrame = plan.IQ ? 2 : 1;
    const std::span<const int16_t> values(store.Samples.data(), store.Samples.size());

    Demodulator demodulator(plan);
    const auto lag = static_cast<size_t>(std::llround(demodulator.DelaySeconds() * kDemodAudioRate));
    const auto length = static_cast<size_t>(DemodAudioLength(plan));
    DemodAudio result;
    result.Samples.reserve(lag + length + kDemodAudioRate);
    job.SetProgress(0);
    for (int64_t frame = plan.FirstFrame; frame < plan.EndFrame; frame += kFramesPerPoll) {
        if (job.Stopping()) {
            result.Stopped = true;
            break;
        }
        const int64_t count = std::min(kFramesPerPoll, plan.EndFrame - frame);
        demodulator.Process(
            values.subspan(static_cast<size_t>(frame) * perFrame, static_cast<size_t>(count) * perFrame),
            result.Samples);
        job.SetProgress(
            static_cast<int>(100 * (frame + count - plan.FirstFrame) / (plan.EndFrame - plan.FirstFrame)));
    }
    if (!result.Stopped) Drain(demodulator, plan, lag + length, result.Samples);
    result.Samples.erase(result.Samples.begin(),
                         result.Samples.begin() +
                             static_cast<std::ptrdiff_t>(std::min(lag, result.Samples.size())));
    if (!result.Stopped) result.Samples.resize(length, 0);
    return result;
}
