// What playback tells its owner. The calls come from the user-interface thread (a failed start) and
// from the playback thread (everything else); an owner with widgets forwards them to its own thread
// and never lets the playback thread touch a widget.
#pragma once

#include <cstdint>
#include <string>

class PlaybackEvents {
public:
    virtual ~PlaybackEvents() = default;

    // New text of status panel 4: " Playing " + device name, " Stopped", " Device Error",
    // " Unsupported Format" or " Can Not Play".
    virtual void PlaybackStatus(const std::string& text) = 0;
    // Both play buttons go up; sent after PlaybackIdle has become true.
    virtual void PlayButtonsUp() = 0;
    // The playback thread has started (true: show the cursor unless the view is zoomed) or ended
    // (false: hide it).
    virtual void PlayCursorShown(bool shown) = 0;
    // After each filled buffer: the index of the next value to be queued and the copy's size.
    virtual void PlayCursorMoved(int32_t position, int32_t copySize) = 0;
};
