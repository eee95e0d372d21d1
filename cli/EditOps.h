// The operations of orvane-cli edit: each name, how many arguments it takes, and what it does to the
// session, exactly as the window's command of the same meaning does after a file has been shown.
#pragma once

#include "cli/Options.h"
#include "signal/JobControl.h"
#include "signal/SignalStore.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

struct EditSession {
    SignalStore Store;
    CliOptions Options;
    // What the spectrogram recomputation after each command leaves for the next one.
    std::vector<float> FadeCurve;
    int32_t CurrentFFTSize = 1024;
    JobControl Job; // the long edits run on the calling thread; nothing asks them to stop
};

struct EditOp {
    std::string_view Name;
    int ArgCount;
    void (*Apply)(EditSession& session, const CliArgs& args);
};

std::span<const EditOp> EditOps();

// The state the window's spectrogram recomputation refreshes after a read and after each command.
void RefreshAfterCommand(EditSession& session);

// Reinterprets the store as one or two channels, as the "Format Interpretator" menu items do.
void SetChannelInterpretation(EditSession& session, int channels);
