// The playback thread: opens the device for the playback's format and feeds it two alternating
// buffers from the copy until it is asked to end, then closes the device and reports the end.
#pragma once

#include "audio/PlaybackEvents.h"
#include "audio/PlaybackState.h"
#include "audio/WaveOutDevice.h"

#include <span>
#include <thread>

class TServiceThread {
public:
    // Starts the thread at once. `state` and `device` must outlive the object; `events` may be null.
    TServiceThread(PlaybackState& state, WaveOutDevice& device, PlaybackEvents* events);
    // Waits for the thread to end (it must have been asked to, or be ending by itself).
    ~TServiceThread();
    TServiceThread(const TServiceThread&) = delete;
    TServiceThread& operator=(const TServiceThread&) = delete;

    // Asks the thread to end after the buffer it is filling, which is not written.
    void Terminate();

private:
    void Execute();
    // Fills and writes the two buffers in turn until termination; false when a write failed.
    bool FeedDevice(std::span<int16_t> buffer0, std::span<int16_t> buffer1);
    // The thread's last steps: the status text, the cursor, the buttons, and PlaybackIdle last.
    void Finish(const char* status, bool cursorWasShown);
    bool Terminated() const { return state_.TerminateRequested.load(std::memory_order_acquire); }

    PlaybackState& state_;
    WaveOutDevice& device_;
    PlaybackEvents* events_;
    std::thread thread_;
};
