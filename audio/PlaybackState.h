// The state of the playback module, shared by the user-interface thread and the playback thread
// without locks:
// - the copy, its fades and the format are written by the user-interface thread only while no
//   playback thread runs (PlaybackIdle true); starting the thread publishes them to it;
// - the play position belongs to the playback thread while it runs;
// - the flags and the fade counter are atomics: a request is stored with release and read with
//   acquire; the thread sets PlaybackIdle (release) only after it has closed the device.
// - a source (Source), when one is played instead of the copy, follows the copy's rule: the
//   user-interface thread sets or releases it only while no playback thread runs.
#pragma once

#include "audio/PlaySource.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

struct PlaybackState {
    std::vector<int16_t> PlaybackCopy;  // private copy of the store's values, interleaved as there
    bool CopyStale = true;              // set by every spectrogram preparation; cleared by a refresh
    bool CopyFaded = false;             // the copy's ends have been faded since its last refresh
    int32_t PlayPosition = 0;           // index of the next value to be queued
    int32_t PlayFrom = 0;               // the values played: PlayFrom .. PlayTo - 1 (whole frames);
    int32_t PlayTo = 0;                 // a loop starts again at PlayFrom
    bool PlayedToEnd = false;           // a play-once has reached the copy's end (playback thread)
    std::unique_ptr<PlaySource> Source; // played instead of the copy when set

    std::atomic<bool> PlaybackIdle{true};        // no playback thread runs
    std::atomic<bool> DeviceError{true};         // the last device check failed, or none succeeded yet
    std::atomic<bool> FadeStop{false};           // a stop with fade-out has been requested
    std::atomic<int32_t> FadeCounter{0};         // buffers filled since the fade stop was requested
    std::atomic<bool> Loop{false};               // the loop button is down
    std::atomic<bool> TerminateRequested{false}; // the playback thread is asked to end
    std::atomic<bool> QuietEnd{false};           // the thread ends without reporting (Playback::Halt)

    uint16_t PlayChannels = 1;
    int32_t PlayRate = 48000;
    int32_t PlayBufferBytes = 16384; // bytes of one device buffer
    std::vector<float> FadeOutRamp;  // PlayBufferBytes entries

    int32_t CopySize() const { return int32_t(PlaybackCopy.size()); }
    // The values of the copy that make whole frames of PlayChannels: what is played, and where a loop
    // starts again. Values past the last whole frame would shift the channels at every pass.
    int32_t PlayableSize() const { return CopySize() - CopySize() % (PlayChannels > 0 ? PlayChannels : 1); }
};

// Requests a stop of the running playback; nothing while idle or after a failed device check. With
// fade-out the thread plays one ramped and one silent buffer and ends by itself; a second fade-out
// request during the fade leaves it running as it is. Without fade-out the thread ends after the
// buffer it is filling, which is not written. Safe from either thread.
void StopPlayback(PlaybackState& state, bool withFadeOut);
