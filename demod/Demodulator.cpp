#include "demod/Demodulator.h"

#include "demod/AudioLevel.h"
#include "demod/Liquid.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr float kStopBandDb = 60;          // of the decimator, the channel filter and the resampler
constexpr unsigned kChannelTaps = 65;      // the channel filter's length
constexpr unsigned kAudioLowPassOrder = 6; // Butterworth
constexpr double kLowestChannelRate = 8000;
constexpr double kCwBeat = 700;                 // Hz: the tone a CW carrier is heard as
constexpr double kFmDeviation = 2500;           // Hz to full scale, narrow FM
constexpr double kWfmDeviation = 75000;         // Hz to full scale, broadcast FM
constexpr double kWfmDeemphasisSeconds = 50e-6; // the European time constant
constexpr double kWfmAudioBand = 15000;         // mono: below the 19 kHz pilot
constexpr size_t kBlockFrames = 8192;           // frames converted and mixed at a time
constexpr float kFullScale = 1.0f / 32768.0f;

double TwoPi() {
    return 2 * std::numbers::pi;
}

bool Sideband(DemodMode mode) {
    return mode == DemodMode::USB || mode == DemodMode::LSB || mode == DemodMode::CW;
}

// Where the mixer of stage 1 puts 0 Hz.
double MixerFrequency(const DemodPlan& plan) {
    if (plan.Mode == DemodMode::USB) return plan.Frequency + plan.Bandwidth / 2;
    if (plan.Mode == DemodMode::LSB) return plan.Frequency - plan.Bandwidth / 2;
    return plan.Frequency;
}

// The shift of stage 4, up in frequency, at the channel rate.
double BeatFrequency(const DemodPlan& plan) {
    if (plan.Mode == DemodMode::USB) return plan.Bandwidth / 2;
    if (plan.Mode == DemodMode::LSB) return -plan.Bandwidth / 2;
    return kCwBeat;
}

// The highest audio frequency the mode carries.
double AudioBand(const DemodPlan& plan) {
    switch (plan.Mode) {
    case DemodMode::WFM:
        return kWfmAudioBand;
    case DemodMode::USB:
    case DemodMode::LSB:
        return plan.Bandwidth;
    case DemodMode::CW:
        return kCwBeat + plan.Bandwidth / 2;
    case DemodMode::AM:
    case DemodMode::FM:
        break;
    }
    return plan.Bandwidth / 2;
}

liquid::Nco MakeNco(double hz, double rate) {
    liquid::Nco nco(nco_crcf_create(LIQUID_NCO));
    nco_crcf_set_frequency(nco.get(), static_cast<float>(TwoPi() * hz / rate));
    return nco;
}

} // namespace

struct Demodulator::Stages {
    explicit Stages(const DemodPlan& p);
    // A copy of `model`'s designs in the state of new ones.
    Stages(const Stages& model);
    void MakeDemodulator();
    void Reset();
    void Convert(std::span<const int16_t> values);
    void Demodulate(unsigned count);
    void DeEmphasise(unsigned count);

    DemodPlan plan;
    double channelRate;
    liquid::Nco mixer;
    liquid::ComplexResampler decimator;
    liquid::ComplexFir channel;
    liquid::Nco beat;
    liquid::AmplitudeDemodulator amplitude;
    liquid::FrequencyDemodulator frequency;
    liquid::RealIir audioLowPass;
    liquid::RealResampler toAudio;
    AudioLevel level{kDemodAudioRate};
    float deEmphasisFactor = 0;
    float deEmphasised = 0;

    std::vector<liquid::Complex> frames, decimated;
    std::vector<float> demodulated, resampled;
};

Demodulator::Stages::Stages(const DemodPlan& p)
    : plan(p), channelRate(std::max(2 * p.Bandwidth, kLowestChannelRate)),
      mixer(MakeNco(MixerFrequency(p), p.SampleRate)),
      decimator(msresamp_crcf_create(static_cast<float>(channelRate / p.SampleRate), kStopBandDb)),
      channel(firfilt_crcf_create_kaiser(kChannelTaps, static_cast<float>(p.Bandwidth / 2 / channelRate),
                                         kStopBandDb, 0)),
      beat(MakeNco(BeatFrequency(p), channelRate)),
      audioLowPass(iirfilt_rrrf_create_lowpass(
          kAudioLowPassOrder, static_cast<float>(std::min(AudioBand(p), 0.45 * channelRate) / channelRate))),
      toAudio(msresamp_rrrf_create(static_cast<float>(kDemodAudioRate / channelRate), kStopBandDb)) {
    MakeDemodulator();
    if (p.Mode == DemodMode::WFM)
        deEmphasisFactor = static_cast<float>(1 - std::exp(-1 / (kWfmDeemphasisSeconds * channelRate)));
    frames.resize(kBlockFrames);
    decimated.resize(static_cast<size_t>(std::ceil(2.0 * kBlockFrames * channelRate / p.SampleRate)) + 16);
    demodulated.resize(decimated.size());
    resampled.resize(
        static_cast<size_t>(std::ceil(2.0 * demodulated.size() * kDemodAudioRate / channelRate)) + 16);
}

Demodulator::Stages::Stages(const Stages& model)
    : plan(model.plan), channelRate(model.channelRate), mixer(MakeNco(MixerFrequency(plan), plan.SampleRate)),
      decimator(msresamp_crcf_copy(model.decimator.get())), channel(firfilt_crcf_copy(model.channel.get())),
      beat(MakeNco(BeatFrequency(plan), channelRate)),
      audioLowPass(iirfilt_rrrf_copy(model.audioLowPass.get())),
      toAudio(msresamp_rrrf_copy(model.toAudio.get())), deEmphasisFactor(model.deEmphasisFactor),
      frames(model.frames.size()), decimated(model.decimated.size()), demodulated(model.demodulated.size()),
      resampled(model.resampled.size()) {
    MakeDemodulator();
    Reset();
}

// Stage 5's demodulator (a fraction of a millisecond to make).
void Demodulator::Stages::MakeDemodulator() {
    if (plan.Mode == DemodMode::AM) amplitude.reset(ampmodem_create(1.0f, LIQUID_AMPMODEM_DSB, 0));
    if (plan.Mode == DemodMode::USB || plan.Mode == DemodMode::CW)
        amplitude.reset(ampmodem_create(1.0f, LIQUID_AMPMODEM_USB, 1));
    if (plan.Mode == DemodMode::LSB) amplitude.reset(ampmodem_create(1.0f, LIQUID_AMPMODEM_LSB, 1));
    if (plan.Mode == DemodMode::FM || plan.Mode == DemodMode::WFM) {
        const double deviation = plan.Mode == DemodMode::FM ? kFmDeviation : kWfmDeviation;
        frequency.reset(freqdem_create(static_cast<float>(deviation / channelRate)));
    }
}

void Demodulator::Stages::Reset() {
    mixer = MakeNco(MixerFrequency(plan), plan.SampleRate);
    beat = MakeNco(BeatFrequency(plan), channelRate);
    msresamp_crcf_reset(decimator.get());
    firfilt_crcf_reset(channel.get());
    if (amplitude) ampmodem_reset(amplitude.get());
    if (frequency) freqdem_reset(frequency.get());
    iirfilt_rrrf_reset(audioLowPass.get());
    msresamp_rrrf_reset(toAudio.get());
    level.Reset();
    deEmphasised = 0;
}

// Stage 1's input: I + jQ, or the real value with Q = 0, scaled to +-1.
void Demodulator::Stages::Convert(std::span<const int16_t> values) {
    if (plan.IQ) {
        for (size_t k = 0; k < values.size() / 2; ++k)
            frames[k] = {values[2 * k] * kFullScale, values[2 * k + 1] * kFullScale};
    } else {
        for (size_t k = 0; k < values.size(); ++k) frames[k] = {values[k] * kFullScale, 0.0f};
    }
}

// Stages 3 to 5 on `count` samples at the channel rate, into `demodulated`.
void Demodulator::Stages::Demodulate(unsigned count) {
    firfilt_crcf_execute_block(channel.get(), decimated.data(), count, decimated.data());
    if (Sideband(plan.Mode)) nco_crcf_mix_block_up(beat.get(), decimated.data(), decimated.data(), count);
    if (amplitude)
        ampmodem_demodulate_block(amplitude.get(), decimated.data(), count, demodulated.data());
    else
        freqdem_demodulate_block(frequency.get(), decimated.data(), count, demodulated.data());
    if (deEmphasisFactor > 0) DeEmphasise(count);
    iirfilt_rrrf_execute_block(audioLowPass.get(), demodulated.data(), count, demodulated.data());
}

// WFM's de-emphasis: one pole at 1 / (2 pi 50 us), about 3.2 kHz.
void Demodulator::Stages::DeEmphasise(unsigned count) {
    for (float& x : std::span<float>(demodulated.data(), count))
        x = deEmphasised += deEmphasisFactor * (x - deEmphasised);
}

Demodulator::Demodulator(const DemodPlan& plan) : stages_(std::make_unique<Stages>(plan)) {}

Demodulator::Demodulator(std::unique_ptr<Stages> stages) : stages_(std::move(stages)) {}

Demodulator::~Demodulator() = default;
Demodulator::Demodulator(Demodulator&&) noexcept = default;
Demodulator& Demodulator::operator=(Demodulator&&) noexcept = default;

Demodulator Demodulator::Fresh() const {
    return Demodulator(std::make_unique<Stages>(*stages_));
}

const DemodPlan& Demodulator::Plan() const {
    return stages_->plan;
}

void Demodulator::Process(std::span<const int16_t> values, std::vector<int16_t>& audio) {
    Stages& s = *stages_;
    const size_t perFrame = s.plan.IQ ? 2 : 1;
    for (size_t first = 0; first + perFrame <= values.size(); first += kBlockFrames * perFrame) {
        const size_t count = std::min(kBlockFrames, (values.size() - first) / perFrame);
        s.Convert(values.subspan(first, count * perFrame));
        const auto n = static_cast<unsigned>(count);
        nco_crcf_mix_block_down(s.mixer.get(), s.frames.data(), s.frames.data(), n);
        unsigned channelCount = 0;
        msresamp_crcf_execute(s.decimator.get(), s.frames.data(), n, s.decimated.data(), &channelCount);
        s.Demodulate(channelCount);
        unsigned audioCount = 0;
        msresamp_rrrf_execute(s.toAudio.get(), s.demodulated.data(), channelCount, s.resampled.data(),
                              &audioCount);
        s.level.Apply(std::span<const float>(s.resampled.data(), audioCount), audio);
    }
}

void Demodulator::Reset() {
    stages_->Reset();
}

double Demodulator::ChannelRate() const {
    return stages_->channelRate;
}

double Demodulator::DelaySeconds() const {
    // The resamplers give their lag in samples of their input.
    const Stages& s = *stages_;
    const double channelSamples = (kChannelTaps - 1) / 2.0 +
                                  (s.amplitude ? ampmodem_get_delay_demod(s.amplitude.get()) : 0) +
                                  msresamp_rrrf_get_delay(s.toAudio.get());
    return msresamp_crcf_get_delay(s.decimator.get()) / s.plan.SampleRate + channelSamples / s.channelRate;
}
