// The window's view of the playback module.
//
// No playback engine exists yet: this stand-in reports that nothing plays and starts nothing. The
// window already calls it at every place where playback has to be stopped or asked about, so the
// engine that plays the store through the wave-out device replaces this header without changes to
// the callers.
#pragma once

class Playback {
public:
    // True while no playback thread runs. Without an engine nothing ever runs.
    bool PlaybackIdle() const { return true; }

    // Stops a running playback, after a one-buffer fade-out when `withFadeOut` is set. Nothing to stop.
    void StopPlayback(bool withFadeOut) { (void)withFadeOut; }

    // Starts playing a copy of the store, once or in a loop. Returns whether playback started: without
    // an engine it never does, and the play buttons go back up.
    bool StartPlayback(bool loop) {
        (void)loop;
        return false;
    }

    // Every spectrogram preparation marks the playback copy stale, so that the next play copies the
    // store again.
    void MarkCopyStale() { CopyStale = true; }
    bool IsCopyStale() const { return CopyStale; }

private:
    bool CopyStale = true;
};
