// The output device playback writes to: the system's default output ("device 0"), reached through
// PortAudio in the program and through a recording stand-in in the tests. One playback thread uses
// a device at a time; ProductName is asked on the user-interface thread before that thread starts.
#pragma once

#include "audio/PlaybackFormat.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

class WaveOutDevice {
public:
    virtual ~WaveOutDevice() = default;

    // The product name of the default output device, or nothing when there is no usable device.
    virtual std::optional<std::string> ProductName() = 0;
    // Whether the default device can play `format`; opens nothing.
    virtual bool SupportsFormat(const WaveFormat& format) = 0;
    // Opens the default device for `format` and starts it; false when it cannot be opened.
    virtual bool Open(const WaveFormat& format) = 0;
    // Queues one buffer of interleaved values and returns once the device can take the next one,
    // so that at most about two buffers wait ahead of what is heard. False when the device failed.
    virtual bool Write(std::span<const int16_t> values) = 0;
    // Stops the output. What was written before is played to its end first (within a bounded
    // wait), so that a fade-out is heard and not cut into a click.
    virtual void Reset() = 0;
    // Closes the device opened by Open; nothing when none is open.
    virtual void Close() = 0;
};

// The default output device through PortAudio.
std::unique_ptr<WaveOutDevice> MakePortAudioWaveOut();
