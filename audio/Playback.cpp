#include "audio/Playback.h"

#include "audio/PlaybackFades.h"
#include "audio/PlaybackFormat.h"

#include <algorithm>
#include <span>

Playback::Playback() : Playback(MakePortAudioWaveOut()) {}

Playback::Playback(std::unique_ptr<WaveOutDevice> device) : device_(std::move(device)) {}

Playback::~Playback() {
    state_.TerminateRequested.store(true, std::memory_order_release);
    thread_.reset();
}

void Playback::SetEvents(PlaybackEvents* events) {
    if (PlaybackIdle()) events_ = events;
}

bool Playback::SetDevice(std::unique_ptr<WaveOutDevice> device) {
    if (!PlaybackIdle()) return false;
    thread_.reset();
    device_ = std::move(device);
    return true;
}

bool Playback::RefreshCopy(const SignalStore& store) {
    if (!state_.CopyStale || !PlaybackIdle()) return false;
    const size_t count = std::min(size_t(std::max(store.ValueCount, 0)), store.Samples.size());
    state_.PlaybackCopy.assign(store.Samples.begin(), store.Samples.begin() + std::ptrdiff_t(count));
    state_.CopyStale = false;
    state_.CopyFaded = false;
    return true;
}

void Playback::StartPlayback(uint16_t channels, int32_t rate, const PlayRange& range) {
    // A copy shorter than one frame (more channels than values) has nothing to play either.
    if (!PlaybackIdle() || state_.CopySize() < kMinPlayableValues || state_.CopySize() < channels) return;
    if (!FormatExpressible(channels, rate)) return Refuse(" Unsupported Format");
    // The last thread has set PlaybackIdle as its final step; it is joined and released here.
    thread_.reset();
    state_.Source.reset();
    // The fades end where playing ends, at the last whole frame. Fading at every start would deepen
    // the fades of an unchanged copy with each replay.
    state_.PlayChannels = channels;
    if (!state_.CopyFaded)
        FadePlaybackCopyEnds(std::span(state_.PlaybackCopy).first(size_t(state_.PlayableSize())));
    state_.CopyFaded = true;
    const PlayValueSpan span = PlayValuesOf(range, channels, state_.PlayableSize());
    state_.PlayFrom = span.From;
    state_.PlayTo = span.To;
    Start(channels, rate);
}

void Playback::StartStream(std::unique_ptr<PlaySource> source, uint16_t channels, int32_t rate) {
    if (!PlaybackIdle() || !source) return;
    if (!FormatExpressible(channels, rate)) return Refuse(" Unsupported Format");
    thread_.reset();
    state_.Source = std::move(source);
    state_.PlayFrom = 0;
    state_.PlayTo = 0;
    Start(channels, rate);
}

void Playback::Halt() {
    if (thread_) {
        state_.QuietEnd.store(true, std::memory_order_release);
        state_.TerminateRequested.store(true, std::memory_order_release);
        thread_.reset();
        state_.QuietEnd.store(false, std::memory_order_relaxed);
    }
    state_.Source.reset();
}

void Playback::Start(uint16_t channels, int32_t rate) {
    state_.PlayBufferBytes = PlayBufferBytesFor(channels, rate);
    BuildFadeOutRamp(state_.FadeOutRamp, state_.PlayBufferBytes);
    state_.PlaybackIdle.store(false, std::memory_order_release);
    state_.PlayPosition = state_.PlayFrom;
    state_.PlayedToEnd = false;
    state_.PlayChannels = channels;
    state_.PlayRate = rate;

    const std::optional<std::string> name = device_ ? device_->ProductName() : std::nullopt;
    if (!name) {
        state_.DeviceError.store(true, std::memory_order_release);
        return Refuse(" Device Error");
    }
    state_.DeviceError.store(false, std::memory_order_release);
    state_.FadeStop.store(false, std::memory_order_relaxed);
    state_.FadeCounter.store(0, std::memory_order_relaxed);
    state_.TerminateRequested.store(false, std::memory_order_relaxed);
    if (events_ != nullptr) events_->PlaybackStatus(" Playing " + *name);
    thread_ = std::make_unique<TServiceThread>(state_, *device_, events_);
}

void Playback::Refuse(const char* status) {
    state_.PlaybackIdle.store(true, std::memory_order_release);
    if (events_ != nullptr) {
        events_->PlaybackStatus(status);
        events_->PlayButtonsUp();
    }
}
