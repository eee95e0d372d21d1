#include "cli/EditOps.h"

#include "ops/FFTBandFilter.h"
#include "ops/FadeInOut.h"
#include "ops/FrequencyShift.h"
#include "ops/IQToReal.h"
#include "ops/InvertSpectrum.h"
#include "ops/LPFFilter.h"
#include "ops/NormalizePeak.h"
#include "ops/SampleRateAdjust.h"
#include "spectral/SpectrogramPreparation.h"

#include <array>

void RefreshAfterCommand(EditSession& session) {
    RefreshFadeCurveAndFFTSize(session.Spectrogram, session.Store, session.Options.Spectrogram);
}

void SetChannelInterpretation(EditSession& session, int channels) {
    session.Store.ChannelCount = static_cast<uint16_t>(channels);
}

namespace {

void ApplyChannels(EditSession& session, const CliArgs& args) {
    if (args[0] != "1" && args[0] != "2") throw CliUsageError{"channels takes 1 or 2"};
    SetChannelInterpretation(session, args[0][0] - '0');
    RefreshAfterCommand(session);
}

void ApplyFade(EditSession& session, const CliArgs&) {
    FadeInOut(session.Store, session.Spectrogram.FadeCurve);
    RefreshAfterCommand(session);
}

void ApplyAmp(EditSession& session, const CliArgs&) {
    NormalizePeak(session.Store, 25000);
    RefreshAfterCommand(session);
}

void ApplyInvert(EditSession& session, const CliArgs&) {
    InvertSpectrum(session.Store, session.Spectrogram.CurrentFFTSize);
    RefreshAfterCommand(session);
}

// The channel items are enabled only while the store has two channels.
template <int Channel> void ApplyInvertChannel(EditSession& session, const CliArgs&) {
    if (!session.Store.TwoChannels()) return;
    InvertChannel(session.Store, Channel);
    RefreshAfterCommand(session);
}

void ApplyIQToReal(EditSession& session, const CliArgs&) {
    ConvertIQToReal(session.Store, session.Job);
    RefreshAfterCommand(session);
}

template <void (*Shift)(SignalStore&, double, JobControl&)>
void ApplyShift(EditSession& session, const CliArgs& args) {
    const auto frequency = ShiftFrequencyFromText(session.Store, args[0]);
    if (!frequency) return;
    Shift(session.Store, *frequency, session.Job);
    RefreshAfterCommand(session);
}

// QUALITY names an item of the quality list, "1" to "9".
int QualityIndex(const std::string& text) {
    const auto digit = text.size() == 1 ? text[0] - '1' : -1;
    if (digit < 0 || digit > 8) throw CliUsageError{"fft-filter QUALITY takes 1 ... 9"};
    return digit;
}

void ApplyFFTFilter(EditSession& session, const CliArgs& args) {
    const int quality = QualityIndex(args[2]);
    const auto request = FFTFilterRequestFromTexts(session.Store, args[0], args[1], quality);
    if (!request) return;
    FFTBandFilter(session.Store, request->Hi, request->Lo, request->Passes, session.Job);
    RefreshAfterCommand(session);
}

void ApplyLPF(EditSession& session, const CliArgs& args) {
    const auto cutoff = LPFCutoffFromText(session.Store, args[0]);
    if (!cutoff) return;
    LPFFilterStore(session.Store, *cutoff, session.Job);
    RefreshAfterCommand(session);
}

// "ASR" relabels the store and redraws the ruler; the picture is not recomputed.
void ApplyASR(EditSession& session, const CliArgs& args) {
    AdjustSampleRate(session.Store, args[0]);
}

constexpr std::array kEditOps = {
    EditOp{"fade", 0, ApplyFade},
    EditOp{"amp", 0, ApplyAmp},
    EditOp{"invert", 0, ApplyInvert},
    EditOp{"invert-ch1", 0, ApplyInvertChannel<0>},
    EditOp{"invert-ch2", 0, ApplyInvertChannel<1>},
    EditOp{"iq2real", 0, ApplyIQToReal},
    EditOp{"sin", 1, ApplyShift<SinShift>},
    EditOp{"cos", 1, ApplyShift<CosShift>},
    EditOp{"fft-filter", 3, ApplyFFTFilter},
    EditOp{"lpf", 1, ApplyLPF},
    EditOp{"asr", 1, ApplyASR},
    EditOp{"channels", 1, ApplyChannels},
};

} // namespace

std::span<const EditOp> EditOps() {
    return kEditOps;
}
