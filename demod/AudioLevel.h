// The demodulator's audio level control: brings the demodulated audio to a steady loudness, whatever
// the strength of the signal, without clipping. A peak follower rises at once to each new peak and
// falls back slowly (time constant 0.3 s), and the gain puts that peak at half of full scale; the gain
// is at most 60 dB, so that a band with nothing in it stays a quiet hiss.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

class AudioLevel {
public:
    explicit AudioLevel(double sampleRate);

    // Scales `audio` and appends it to `out` as 16-bit values.
    void Apply(std::span<const float> audio, std::vector<int16_t>& out);
    void Reset();

private:
    float release_; // the peak's factor per sample while it falls
    float peak_;
};
