#include "demod/ListenStream.h"

#include "demod/DemodulateRecording.h"

#include <algorithm>
#include <cmath>

namespace {

// Demodulated before the first frame heard, so that the filters and the level control have settled:
// long enough for the carrier lock and the level, short enough to cost a few milliseconds at high rates.
constexpr double kListenPreRollSeconds = 0.25;

} // namespace

ListenStream::ListenStream(const SignalStore& store, const DemodPlan& plan)
    : values_(store.Samples.data(), std::min(store.Samples.size(), static_cast<size_t>(store.ValueCount))),
      plan_(plan), model_(plan), recordingFrames_(static_cast<int32_t>(DemodSourceOf(store).Frames)) {
    Rewind();
}

void ListenStream::Rewind() {
    const auto preRoll =
        std::min(plan_.FirstFrame, static_cast<int64_t>(kListenPreRollSeconds * plan_.SampleRate));
    stream_.emplace(values_, model_, plan_.FirstFrame, preRoll);
}

size_t ListenStream::Fill(std::span<int16_t> buffer) {
    made_.clear();
    const size_t count = stream_->Read(buffer.size(), made_);
    std::copy_n(made_.begin(), count, buffer.begin());
    return count;
}

PlayCursorPlace ListenStream::Cursor() const {
    const auto heard =
        static_cast<int64_t>(static_cast<double>(stream_->Given()) * plan_.SampleRate / kDemodAudioRate);
    const int64_t frame = std::min(plan_.FirstFrame + heard, plan_.EndFrame);
    return {static_cast<int32_t>(frame), std::max(recordingFrames_, 1)};
}

CheckedInput<std::unique_ptr<ListenStream>> MakeListenStream(const SignalStore& store,
                                                             const DemodRequest& request) {
    const CheckedInput<DemodPlan> plan = PlanDemodulation(request, DemodSourceOf(store));
    if (!plan) return CheckedInput<std::unique_ptr<ListenStream>>::Refused(plan.Refusal());
    return std::make_unique<ListenStream>(store, *plan);
}

DemodRequest ListenRequestFor(DemodMode mode, double lowHz, double highHz, double bandwidth,
                              double fromSeconds, std::optional<double> toSeconds) {
    DemodRequest request;
    request.Mode = mode;
    request.From = fromSeconds;
    request.To = toSeconds;
    const double low = std::min(lowHz, highHz);
    const double high = std::max(lowHz, highHz);
    if (high == low) {
        request.Frequency = low;
        request.Bandwidth = bandwidth;
        return request;
    }
    request.Bandwidth = high - low;
    request.Frequency = mode == DemodMode::USB ? low : mode == DemodMode::LSB ? high : (low + high) / 2;
    return request;
}
