#include "ops/EditCommand.h"

#include "ops/FadeInOut.h"
#include "ops/FrequencyShift.h"
#include "ops/IQToReal.h"
#include "ops/InvertSpectrum.h"
#include "ops/LPFFilter.h"
#include "ops/NormalizePeak.h"
#include "ops/SampleRateAdjust.h"
#include "ops/Tune.h"
#include "spectral/SpectrogramPreparation.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>

namespace {

using C = EditCommand;

constexpr std::array<EditCommandInfo, 14> kEditCommands = {{
    {.Command = C::Fade, .Caption = "Fade", .CliName = "fade"},
    {.Command = C::Amp, .Caption = "Amp", .CliName = "amp"},
    {.Command = C::Invert, .Caption = "Invert", .CliName = "invert"},
    {.Command = C::InvertChannel1, .Caption = "Invert Channel 1 (L)", .CliName = "invert-ch1"},
    {.Command = C::InvertChannel2, .Caption = "Invert Channel 2 (R)", .CliName = "invert-ch2"},
    {.Command = C::IQToReal, .Caption = "I/Q2R", .CliName = "iq2real", .JobText = kIQToRealStatusText},
    {.Command = C::SinShift,
     .Caption = "Sin",
     .CliName = "sin",
     .CliArgCount = 1,
     .JobText = kSinShiftStatusText},
    {.Command = C::CosShift,
     .Caption = "Cos",
     .CliName = "cos",
     .CliArgCount = 1,
     .JobText = kCosShiftStatusText},
    {.Command = C::FFTFilter,
     .Caption = "FFT_F",
     .CliName = "fft-filter",
     .CliArgCount = 3,
     .JobText = kFFTFilterStatusText},
    {.Command = C::LPF, .Caption = "LPF", .CliName = "lpf", .CliArgCount = 1, .JobText = kLPFStatusText},
    {.Command = C::ASR,
     .Caption = "ASR",
     .CliName = "asr",
     .CliArgCount = 1,
     .RecomputesPicture = false,
     .RewritesValues = false},
    {.Command = C::OneChannel,
     .Caption = "1 Channel",
     .CliName = "channels",
     .CliArgCount = 1,
     .RewritesValues = false},
    {.Command = C::TwoChannels,
     .Caption = "2 Chennels",
     .CliName = "channels",
     .CliArgCount = 1,
     .RewritesValues = false},
    {.Command = C::Tune, .Caption = "Tune", .CliName = "tune", .CliArgCount = 1, .JobText = kTuneStatusText},
}};

constexpr bool RowsFollowTheEnumeration() {
    for (std::size_t i = 0; i < kEditCommands.size(); ++i)
        if (kEditCommands[i].Command != static_cast<EditCommand>(i)) return false;
    return true;
}
static_assert(RowsFollowTheEnumeration(), "row i of the edit table describes command i");

// The channel count a channel item sets.
uint16_t ChannelsOf(EditCommand command) {
    return command == C::TwoChannels ? 2 : 1;
}

std::string ChannelCountText(uint16_t channels) {
    return channels == 2 ? "2 channels" : "1 channel";
}

// Takes a checked value into the edit; the reason of a refusal otherwise.
template <class T, class Take> std::string Accept(const CheckedInput<T>& checked, Take take) {
    if (!checked) return checked.Refusal();
    take(*checked);
    return {};
}

// Reads the command's own input: the reason of a refusal, or empty.
std::string ReadInput(PreparedEdit& edit, const EditCommandInput& input, const SignalStore& store,
                      int32_t currentFFTSize) {
    switch (edit.Command) {
    case C::Invert:
        return InvertSpectrumRefusal(store, currentFFTSize);
    case C::InvertChannel1:
    case C::InvertChannel2:
        return store.TwoChannels() ? std::string() : "the recording does not have two channels";
    case C::SinShift:
    case C::CosShift:
        return Accept(ShiftFrequencyFromText(store, input.Text), [&](double f) { edit.Frequency = f; });
    case C::Tune:
        return Accept(TuneFrequencyFromText(store, input.Text), [&](double f) { edit.Frequency = f; });
    case C::LPF:
        return Accept(LPFCutoffFromText(store, input.Text), [&](double f) { edit.Frequency = f; });
    case C::FFTFilter:
        return Accept(FFTFilterRequestFromTexts(store, input.HiText, input.LoText, input.QualityIndex),
                      [&](const FFTFilterRequest& r) { edit.Filter = r; });
    case C::ASR:
        return Accept(SampleRateFromText(input.Text), [&](int32_t rate) { edit.Rate = rate; });
    case C::OneChannel:
    case C::TwoChannels:
        if (store.ChannelCount == ChannelsOf(edit.Command))
            return "the recording is already read as " + ChannelCountText(store.ChannelCount);
        return {};
    default:
        return {};
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

EditPreparation PrepareEdit(EditCommand command, const EditCommandInput& input, const SignalStore& store,
                            int32_t currentFFTSize) {
    EditPreparation preparation;
    if (!store.Loaded()) return preparation;
    PreparedEdit edit;
    edit.Command = command;
    preparation.Refusal = ReadInput(edit, input, store, currentFFTSize);
    if (preparation.Refusal.empty()) preparation.Edit = edit;
    return preparation;
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
    case C::Tune:
        TuneStore(store, edit.Frequency, job);
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
