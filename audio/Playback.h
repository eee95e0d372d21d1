// The playback module: plays a private copy of the store through the default output device on a
// worker thread (TServiceThread), once or in a loop, and stops at once or after a short fade-out.
// Every member function is called on the user-interface thread; what the playback thread has to say
// reaches the owner through PlaybackEvents.
#pragma once

#include "audio/PlayRange.h"
#include "audio/PlaybackEvents.h"
#include "audio/PlaybackState.h"
#include "audio/TServiceThread.h"
#include "audio/WaveOutDevice.h"
#include "signal/SignalStore.h"

#include <cstdint>
#include <memory>
#include <vector>

// The shortest copy that plays, in values.
constexpr int32_t kMinPlayableValues = 1000;

class Playback {
public:
    // Plays through PortAudio's default output.
    Playback();
    explicit Playback(std::unique_ptr<WaveOutDevice> device);
    // Stops a running playback at once and waits for its thread.
    ~Playback();
    Playback(const Playback&) = delete;
    Playback& operator=(const Playback&) = delete;

    // Where status texts, button releases and cursor moves go; null for nowhere. Only while idle.
    void SetEvents(PlaybackEvents* events);
    // Replaces the output device; refused (false) while a playback runs.
    bool SetDevice(std::unique_ptr<WaveOutDevice> device);

    // Every spectrogram preparation marks the copy stale, so that the next play copies the store.
    void MarkCopyStale() { state_.CopyStale = true; }
    bool IsCopyStale() const { return state_.CopyStale; }
    // When the copy is stale and no playback runs: copies the store's ValueCount values (no more
    // than it holds) into the copy and clears the stale flag. Returns whether it copied.
    bool RefreshCopy(const SignalStore& store);
    const std::vector<int16_t>& PlaybackCopy() const { return state_.PlaybackCopy; }

    bool PlaybackIdle() const { return state_.PlaybackIdle.load(std::memory_order_acquire); }
    bool DeviceError() const { return state_.DeviceError.load(std::memory_order_acquire); }
    // The loop flag; a running playback reads it when it reaches the copy's end.
    void SetLoop(bool loop) { state_.Loop.store(loop, std::memory_order_relaxed); }
    bool Loop() const { return state_.Loop.load(std::memory_order_relaxed); }
    // Bytes of one device buffer of the last start.
    int32_t PlayBufferBytes() const { return state_.PlayBufferBytes; }

    // Starts playing the copy's frames of `range` (by default the whole copy) with `channels` interleaved
    // channels at `rate` Hz; a loop starts again at the range's first frame, and the cursor reports
    // positions in the whole copy. Does nothing while a playback runs or when the copy holds fewer than
    // 1000 values (or less than one frame). Only whole frames are played: values past the last whole
    // frame are left out, so that a loop starts again with the first channel. The first and last 250 values
    // played are faded in and out once per refresh of the copy. A format the device record cannot describe
    // (rate below 1, no channel) reports " Unsupported Format"; no default device reports " Device Error";
    // otherwise " Playing " and the device's name.
    void StartPlayback(uint16_t channels, int32_t rate, const PlayRange& range = {});
    // Starts playing `source` with `channels` interleaved channels at `rate` Hz, by the rules of
    // StartPlayback (the status texts, the loop, the fade-out stop), the source in place of the copy;
    // it is kept until the next start. Does nothing while a playback runs.
    void StartStream(std::unique_ptr<PlaySource> source, uint16_t channels, int32_t rate);
    // Whether the running or last playback plays a source rather than the copy.
    bool PlaysSource() const { return state_.Source != nullptr; }
    // Stops a running playback: with fade-out after one ramped and one silent buffer, otherwise at
    // once. Nothing while idle.
    void StopPlayback(bool withFadeOut) { ::StopPlayback(state_, withFadeOut); }
    // Stops a running playback at once, waits for its thread to end and releases the source, so that
    // what the source reads may change. What the device still holds is dropped, not played out (the
    // wait is at most the buffer being written). The thread reports nothing of this end (no status, no
    // cursor, no buttons): the caller, which is on the user-interface thread already, shows what follows.
    void Halt();

private:
    // The common part of both starts, the copy or the source being in place.
    void Start(uint16_t channels, int32_t rate);
    void Refuse(const char* status);

    PlaybackState state_;
    std::unique_ptr<WaveOutDevice> device_;
    PlaybackEvents* events_ = nullptr;
    std::unique_ptr<TServiceThread> thread_; // the running or last playback thread
};
