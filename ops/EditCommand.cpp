#include "ops/EditCommand.h"

#include "ops/FadeInOut.h"
#include "ops/FrequencyShift.h"
#include "ops/IQToReal.h"
#include "ops/InvertSpectrum.h"
#include "ops/LPFFilter.h"
#include "ops/NormalizePeak.h"
#include "ops/SampleRateAdjust.h"
#include "spectral/SpectrogramPreparation.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>

namespace {

constexpr uint32_t kWhite = 0x00FFFFFFu; // progress background of the I/Q conversion, the shifts and LPF
constexpr uint32_t kRed = 0x000000FFu;   // progress background of the FFT band filter

using C = EditCommand;

// Caption, command-line word and arguments, job text, progress colour, stops playback, recomputes,
// rewrites the values.
constexpr std::array<EditCommandInfo, 13> kEditCommands = {{
    {C::Fade, "Fade", "fade", 0, nullptr, 0, true, true, true},
    {C::Amp, "Amp", "amp", 0, nullptr, 0, true, true, true},
    {C::Invert, "Invert", "invert", 0, nullptr, 0, true, true, true},
    {C::InvertChannel1, "Invert Channel 1 (L)", "invert-ch1", 0, nullptr, 0, true, true, true},
    {C::InvertChannel2, "Invert Channel 2 (R)", "invert-ch2", 0, nullptr, 0, true, true, true},
    {C::IQToReal, "I/Q2R", "iq2real", 0, kIQToRealStatusText, kWhite, true, true, true},
    {C::SinShift, "Sin", "sin", 1, kSinShiftStatusText, kWhite, true, true, true},
    {C::CosShift, "Cos", "cos", 1, kCosShiftStatusText, kWhite, true, true, true},
    {C::FFTFilter, "FFT_F", "fft-filter", 3, kFFTFilterStatusText, kRed, true, true, true},
    {C::LPF, "LPF", "lpf", 1, kLPFStatusText, kWhite, true, true, true},
    {C::ASR, "ASR", "asr", 1, nullptr, 0, true, false, false},
    {C::OneChannel, "1 Channel", "channels", 1, nullptr, 0, false, true, false},
    {C::TwoChannels, "2 Chennels", "channels", 1, nullptr, 0, false, true, false},
}};

// The channel count a channel item sets.
uint16_t ChannelsOf(EditCommand command) {
    return command == C::TwoChannels ? 2 : 1;
}

// Reads the command's own input; false: refused.
bool ReadInput(PreparedEdit& edit, const EditCommandInput& input, const SignalStore& store) {
    switch (edit.Command) {
    case C::InvertChannel1:
    case C::InvertChannel2:
        return store.TwoChannels();
    case C::SinShift:
    case C::CosShift: {
        const std::optional<double> frequency = ShiftFrequencyFromText(store, input.Text);
        edit.Frequency = frequency.value_or(0);
        return frequency.has_value();
    }
    case C::LPF: {
        const std::optional<double> cutoff = LPFCutoffFromText(store, input.Text);
        edit.Frequency = cutoff.value_or(0);
        return cutoff.has_value();
    }
    case C::FFTFilter: {
        const auto request = FFTFilterRequestFromTexts(store, input.HiText, input.LoText, input.QualityIndex);
        if (request) edit.Filter = *request;
        return request.has_value();
    }
    case C::ASR: {
        const std::optional<int32_t> rate = SampleRateFromText(input.Text);
        edit.Rate = rate.value_or(0);
        return rate.has_value();
    }
    case C::OneChannel:
    case C::TwoChannels:
        return store.ChannelCount != ChannelsOf(edit.Command);
    default:
        return true;
    }
}

} // namespace

std::span<const EditCommandInfo> EditCommands() {
    return kEditCommands;
}

const EditCommandInfo& EditCommandInfoOf(EditCommand command) {
    return kEditCommands[static_cast<std::size_t>(command)];
}

const EditCommandInfo* FindEditCommand(std::string_view cliName) {
    const auto it = std::find_if(kEditCommands.begin(), kEditCommands.end(),
                                 [&](const EditCommandInfo& info) { return info.CliName == cliName; });
    return it == kEditCommands.end() ? nullptr : &*it;
}

std::optional<PreparedEdit> PrepareEdit(EditCommand command, const EditCommandInput& input,
                                        const SignalStore& store) {
    if (!store.Loaded()) return std::nullopt;
    PreparedEdit edit;
    edit.Command = command;
    if (!ReadInput(edit, input, store)) return std::nullopt;
    return edit;
}

EditOutcome RunEdit(const PreparedEdit& edit, SignalStore& store, const SpectrogramState& spectrogram,
                    JobControl& job) {
    switch (edit.Command) {
    case C::Fade:
        FadeInOut(store, spectrogram.FadeCurve);
        break;
    case C::Amp:
        NormalizePeak(store, kNormalizeTarget);
        break;
    case C::Invert:
        InvertSpectrum(store, spectrogram.CurrentFFTSize);
        break;
    case C::InvertChannel1:
        InvertChannel(store, 0);
        break;
    case C::InvertChannel2:
        InvertChannel(store, 1);
        break;
    case C::IQToReal:
        ConvertIQToReal(store, job);
        break;
    case C::SinShift:
        SinShift(store, edit.Frequency, job);
        break;
    case C::CosShift:
        CosShift(store, edit.Frequency, job);
        break;
    case C::FFTFilter:
        FFTBandFilter(store, edit.Filter.Hi, edit.Filter.Lo, edit.Filter.Passes, job);
        break;
    case C::LPF:
        LPFFilterStore(store, edit.Frequency, job);
        break;
    case C::ASR:
        store.SampleRate = edit.Rate;
        break;
    case C::OneChannel:
    case C::TwoChannels:
        store.ChannelCount = ChannelsOf(edit.Command);
        break;
    }
    // Only the long commands look at the stop flag; a short one always runs to its end.
    EditOutcome outcome;
    outcome.Stopped = EditCommandInfoOf(edit.Command).JobText != nullptr && job.Stopping();
    return outcome;
}

void RefreshAfterEdit(SpectrogramState& spectrogram, const SignalStore& store,
                      const SpectrogramSettings& settings) {
    RefreshFadeCurveAndFFTSize(spectrogram, store, settings);
}

namespace {

// " <caption><tail>", formatted into a buffer: GCC 12 warns wrongly (-Wrestrict) on concatenating
// literals at -O3.
std::string CaptionText(EditCommand command, const char* tail) {
    const std::string_view caption = EditCommandInfoOf(command).Caption;
    std::array<char, 128> text{};
    std::snprintf(text.data(), text.size(), " %.*s%s", static_cast<int>(caption.size()), caption.data(),
                  tail);
    return std::string(text.data());
}

} // namespace

std::string EditStoppedText(EditCommand command) {
    return CaptionText(command, " stopped: the recording is changed in part.");
}

std::string UndoImpossibleText(EditCommand command) {
    return CaptionText(command, " cannot be undone: no room in the undo memory.");
}
