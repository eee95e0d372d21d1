#include "audio/TServiceThread.h"

#include "audio/FillPlayBuffer.h"

#include <new>
#include <span>
#include <vector>

TServiceThread::TServiceThread(PlaybackState& state, WaveOutDevice& device, PlaybackEvents* events)
    : state_(state), device_(device), events_(events), thread_([this] { Execute(); }) {}

TServiceThread::~TServiceThread() {
    if (thread_.joinable()) thread_.join();
}

void TServiceThread::Terminate() {
    state_.TerminateRequested.store(true, std::memory_order_release);
}

void TServiceThread::Execute() {
    const WaveFormat format = MakeWaveFormat(state_.PlayChannels, state_.PlayRate);
    if (!device_.SupportsFormat(format)) return Finish(" Unsupported Format", false);
    if (!device_.Open(format)) return Finish(" Can Not Play", false);

    // Both buffers come from one allocation made before the first write; nothing is allocated per
    // buffer.
    const size_t values = size_t(state_.PlayBufferBytes / 2);
    std::vector<int16_t> region;
    try {
        region.resize(2 * values);
    } catch (const std::bad_alloc&) {
        device_.Close();
        return Finish(" Can Not Play", false);
    }

    if (events_ != nullptr) events_->PlayCursorShown(true);
    const bool deviceFailed = !FeedDevice(std::span(region).first(values), std::span(region).last(values));
    // A halt is meant to be heard at once: what waits in the device is dropped by the close, not played out.
    if (!state_.QuietEnd.load(std::memory_order_acquire)) device_.Reset();
    device_.Close();
    Finish(deviceFailed ? " Device Error" : " Stopped", true);
}

bool TServiceThread::FeedDevice(std::span<int16_t> buffer0, std::span<int16_t> buffer1) {
    const std::span<int16_t> buffers[2] = {buffer0, buffer1};
    for (int b = 0;; b = 1 - b) {
        FillPlayBuffer(state_, buffers[b], events_);
        // The buffer that holds the end of a play-once is written; any other buffer filled after a
        // stop request is not.
        const bool last = state_.PlayedToEnd;
        if (Terminated() && !last) return true;
        if (!device_.Write(buffers[b])) return false;
        if (last) return true;
    }
}

void TServiceThread::Finish(const char* status, bool cursorWasShown) {
    if (events_ != nullptr && !state_.QuietEnd.load(std::memory_order_acquire)) {
        events_->PlaybackStatus(status);
        if (cursorWasShown) events_->PlayCursorShown(false);
        // Sent before PlaybackIdle turns true: a play click that finds the module idle is then
        // always handled after this release of the buttons, never undone by it.
        events_->PlayButtonsUp();
    }
    state_.PlaybackIdle.store(true, std::memory_order_release);
}
