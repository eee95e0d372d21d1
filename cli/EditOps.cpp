#include "cli/EditOps.h"

#include <array>

void SetChannelInterpretation(EditSession& session, int channels) {
    session.Store.ChannelCount = static_cast<uint16_t>(channels);
}

namespace {

void ApplyChannels(EditSession& session, const CliArgs& args) {
    if (args[0] != "1" && args[0] != "2") throw CliUsageError{"channels takes 1 or 2"};
    SetChannelInterpretation(session, args[0][0] - '0');
}

constexpr std::array kEditOps = {
    EditOp{"channels", 1, ApplyChannels},
};

} // namespace

std::span<const EditOp> EditOps() {
    return kEditOps;
}
