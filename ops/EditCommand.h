// The edit commands of the window and of orvane-cli edit, defined once: what each reads, when it
// refuses, what it does to the store, how it looks while it runs and what has to follow it. The
// window's handlers and the command line both go through PrepareEdit and RunEdit.
#pragma once

#include "ops/FFTBandFilter.h"
#include "signal/JobControl.h"
#include "signal/SignalStore.h"
#include "spectral/SpectrogramSettings.h"
#include "spectral/SpectrogramState.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

enum class EditCommand {
    Fade,
    Amp,
    Invert,
    InvertChannel1,
    InvertChannel2,
    IQToReal,
    SinShift,
    CosShift,
    FFTFilter,
    LPF,
    ASR,
    OneChannel,
    TwoChannels,
    Tune,
};

// The level "Amp" normalises the recording's peak to.
inline constexpr int16_t kNormalizeTarget = 25000;

// How a command runs and what follows it. How the window presents it (the progress bar's colour,
// whether playback stops first) is the window's own (app/EditCommandLook.h).
struct EditCommandInfo {
    EditCommand Command = EditCommand::Fade;
    std::string_view Caption; // the command as the window names it: "Fade", "I/Q2R", "1 Channel" ...
    std::string_view CliName; // its word in orvane-cli edit
    int CliArgCount = 0;      // the words that follow it there
    const char* JobText =
        nullptr; // status panel 3 while it runs; nullptr: a short edit without stop or progress
    bool RecomputesPicture = true; // the spectrogram is computed again afterwards
    bool RewritesValues = true;    // false: only the rate or the channel count changes
};

// Every command, in the order of the enumeration.
std::span<const EditCommandInfo> EditCommands();
const EditCommandInfo& EditCommandInfoOf(EditCommand command);
// The command of an orvane-cli edit word, if there is one.
const EditCommandInfo* FindEditCommand(std::string_view cliName);

// What a command reads from the edit fields (or the command line), as typed.
struct EditCommandInput {
    std::string Text;     // the one typed number: EditFrq (Sin, Cos, Tune), EditLPF (LPF), EditASR (ASR)
    std::string HiText;   // FFT_F: EditFFTHiCut
    std::string LoText;   // FFT_F: EditFFTLoCut
    int QualityIndex = 0; // FFT_F: the item of cbFilterQuality, 0 ... 8
};

// A command whose input has been read and checked against the recording: ready to run.
struct PreparedEdit {
    EditCommand Command = EditCommand::Fade;
    double Frequency = 0;    // Sin, Cos: the oscillator (Hz); LPF: the cut-off (Hz); Tune: signed (Hz)
    FFTFilterRequest Filter; // FFT_F
    int32_t Rate = 0;        // ASR: the new sample rate (Hz)
};

// What a command makes of its input: ready to run, or refused with the reason.
struct EditPreparation {
    std::optional<PreparedEdit> Edit; // nothing: the command refuses and changes nothing
    std::string Refusal;              // why, e.g. "the cut-off 999999 Hz is above the sample rate minus 1
                                      // (47999 Hz)"; empty when nothing is loaded (every command then
                                      // does nothing, as before any file was read)
};

// Reads and checks the input against the store as it is before the job (call it while no job runs),
// and for "Invert" against the FFT size in use. Throws EConvertError for a text that is not a number.
// Refuses, with the reason: a cut-off or frequency out of range, a rate below 1, a channel item for a
// store that already has that channel count, a channel inversion of a store without two channels, the
// one-channel "Invert" of a store shorter than the FFT size; and, without a reason, every command while
// nothing is loaded.
[[nodiscard]] EditPreparation PrepareEdit(EditCommand command, const EditCommandInput& input,
                                          const SignalStore& store, int32_t currentFFTSize);

struct EditOutcome {
    // The stop flag ended the command early: the recording is changed in part.
    bool Stopped = false;
};

// Runs a prepared command on the store; the long ones poll job's stop flag and publish progress.
// Fade reads spectrogram.FadeCurve, Invert spectrogram.CurrentFFTSize: the state the last picture's
// computation (or RefreshAfterEdit) left.
EditOutcome RunEdit(const PreparedEdit& edit, SignalStore& store, const SpectrogramState& spectrogram,
                    JobControl& job);

// Where no picture is computed after a command (orvane-cli), what its computation would have
// refreshed for the next command: the FFT size in use and the Fade curve, both kept when the image
// for `settings` would be refused.
void RefreshAfterEdit(SpectrogramState& spectrogram, const SignalStore& store,
                      const SpectrogramSettings& settings);

// The status text that says a command's state before it could not be kept for undo, e.g.
// " I/Q2R cannot be undone: no room in the undo memory."
std::string UndoImpossibleText(EditCommand command);

// The status text that says a command ended early, e.g. " LPF stopped: the recording is changed in part."
std::string EditStoppedText(EditCommand command);
