// The operations of orvane-cli edit: each name, how many arguments it takes, and what it does to the
// session, exactly as the window's command of the same meaning does after a file has been shown.
#pragma once

#include "cli/Options.h"
#include "signal/JobControl.h"
#include "signal/SignalStore.h"
#include "spectral/SpectrogramState.h"

#include <span>
#include <string_view>

struct EditSession {
    SignalStore Store;
    CliOptions Options;
    SpectrogramState Spectrogram; // what the recomputation after each command leaves for the next one
    JobControl Job;               // the long edits run on the calling thread; nothing asks them to stop
};

struct EditOp {
    std::string_view Name;
    int ArgCount;
    void (*Apply)(EditSession& session, const CliArgs& args);
};

std::span<const EditOp> EditOps();

// The state the window's spectrogram recomputation refreshes after a read and after each command:
// the FFT size in use and the Fade edit's curve (both kept when the image would be refused). Before
// the first refresh the FFT size is the one of the settings, as at the window's start-up.
void RefreshAfterCommand(EditSession& session);

// Reinterprets the store as one or two channels, as the "Format Interpretator" menu items do.
void SetChannelInterpretation(EditSession& session, int channels);
