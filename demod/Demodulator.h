// A streaming demodulator: the frames of a recording in, 16-bit mono audio at 48000 Hz out, with its
// state kept from one block to the next, so that a recording can be fed in pieces of any size.
//
// Its stages (liquid-dsp's objects):
//   1. the mixer moves the wanted band to 0 Hz: the signal's frequency (AM, FM, WFM, CW), or the middle
//      of the passband (USB f+BW/2, LSB f-BW/2); a one-channel store is taken as I = value, Q = 0;
//   2. a multi-stage half-band decimator brings the rate down to the channel rate, twice the bandwidth
//      and at least 8000 Hz, which is what keeps the whole run fast;
//   3. a Kaiser low-pass at half the bandwidth keeps the channel alone;
//   4. SSB moves its band edge back to 0 Hz (the passband becomes 0 ... BW or -BW ... 0), CW its carrier
//      to 700 Hz, so that the sideband demodulator hears the carrier as a 700 Hz beat;
//   5. the demodulator: AM by a carrier-locked envelope, FM and WFM by the phase step (deviation
//      2.5 kHz or 75 kHz to full scale; WFM then de-emphasised with 50 us), USB, LSB and CW by the
//      sideband's Hilbert transform;
//   6. an audio low-pass (Butterworth, order 6) for the mode's audio band, the resampler to 48000 Hz
//      and the level control (demod/AudioLevel.h).
#pragma once

#include "demod/DemodRequest.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class Demodulator {
public:
    explicit Demodulator(const DemodPlan& plan);
    ~Demodulator();
    Demodulator(const Demodulator&) = delete;
    Demodulator& operator=(const Demodulator&) = delete;
    Demodulator(Demodulator&&) noexcept;
    Demodulator& operator=(Demodulator&&) noexcept;

    // A new demodulator of the same plan, as a new one starts: it copies this one's filter designs
    // instead of making them again (each resampler's design takes some 30 ms), so that the parts of a
    // run and each pass of a Listen loop start at once.
    Demodulator Fresh() const;

    // Demodulates whole frames (two values each, I then Q, for an I/Q plan; one value each otherwise)
    // and appends the audio they complete to `audio`. The audio lags the input by DelaySeconds().
    void Process(std::span<const int16_t> values, std::vector<int16_t>& audio);
    // Forgets every sample seen: the next frame is demodulated as the first of a recording.
    void Reset();

    // The channel rate of stage 2, in Hz.
    double ChannelRate() const;
    // How far the audio lags the frames that made it, through the filters of all stages, in seconds.
    double DelaySeconds() const;

    const DemodPlan& Plan() const;

private:
    struct Stages;
    explicit Demodulator(std::unique_ptr<Stages> stages);
    std::unique_ptr<Stages> stages_;
};
