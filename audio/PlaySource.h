// What playback can play instead of its copy: values made while they are heard (the demodulated audio
// of Listen), pulled by the playback thread one device buffer at a time. The user-interface thread
// hands a source to Playback::StartStream and touches it again only once playback is idle.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// Where the play cursor stands: Position of Length, on the scale of the picture's time axis.
struct PlayCursorPlace {
    int32_t Position = 0;
    int32_t Length = 1;
};

class PlaySource {
public:
    virtual ~PlaySource() = default;

    // Writes the next values into `buffer` and returns how many; fewer than buffer.size() only when the
    // source has come to its end.
    virtual size_t Fill(std::span<int16_t> buffer) = 0;
    // Back to the first value, for the next pass of a loop.
    virtual void Rewind() = 0;
    // The place of the values last filled in the recording they come from.
    virtual PlayCursorPlace Cursor() const = 0;
};
