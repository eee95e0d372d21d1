// The operations of orvane-cli edit: each name, how many arguments it takes, and what it does to the
// session, exactly as the window's command of the same meaning does after a file has been shown.
#pragma once

#include "cli/Options.h"
#include "signal/SignalStore.h"

#include <span>
#include <string_view>

struct EditSession {
    SignalStore Store;
    CliOptions Options;
};

struct EditOp {
    std::string_view Name;
    int ArgCount;
    void (*Apply)(EditSession& session, const CliArgs& args);
};

std::span<const EditOp> EditOps();

// Reinterprets the store as one or two channels, as the "Format Interpretator" menu items do.
void SetChannelInterpretation(EditSession& session, int channels);
