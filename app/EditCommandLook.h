// How the window presents each edit command: the progress bar's background while a long edit runs,
// and whether playback stops (with a fade-out) before the command. What the commands do is the core's
// (ops/EditCommand.h).
#pragma once

#include "ops/EditCommand.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

struct EditCommandLook {
    EditCommand Command = EditCommand::Fade;
    std::optional<uint32_t> ProgressColour; // 0x00BBGGRR; nothing: a short edit without progress
    bool StopsPlayback = true;
};

namespace editlook {
inline constexpr uint32_t kWhite = 0x00FFFFFFu; // the I/Q conversion, the shifts, Tune and LPF
inline constexpr uint32_t kRed = 0x000000FFu;   // the FFT band filter
using C = EditCommand;

inline constexpr std::array<EditCommandLook, 14> kLooks = {{
    {.Command = C::Fade, .ProgressColour = {}},
    {.Command = C::Amp, .ProgressColour = {}},
    {.Command = C::Invert, .ProgressColour = {}},
    {.Command = C::InvertChannel1, .ProgressColour = {}},
    {.Command = C::InvertChannel2, .ProgressColour = {}},
    {.Command = C::IQToReal, .ProgressColour = kWhite},
    {.Command = C::SinShift, .ProgressColour = kWhite},
    {.Command = C::CosShift, .ProgressColour = kWhite},
    {.Command = C::FFTFilter, .ProgressColour = kRed},
    {.Command = C::LPF, .ProgressColour = kWhite},
    {.Command = C::ASR, .ProgressColour = {}},
    {.Command = C::OneChannel, .ProgressColour = {}, .StopsPlayback = false},
    {.Command = C::TwoChannels, .ProgressColour = {}, .StopsPlayback = false},
    {.Command = C::Tune, .ProgressColour = kWhite},
}};

constexpr bool RowsFollowTheEnumeration() {
    for (std::size_t i = 0; i < kLooks.size(); ++i)
        if (kLooks[i].Command != static_cast<EditCommand>(i)) return false;
    return true;
}
static_assert(RowsFollowTheEnumeration(), "row i of the look table describes command i");
} // namespace editlook

inline const EditCommandLook& EditCommandLookOf(EditCommand command) {
    return editlook::kLooks[static_cast<std::size_t>(command)];
}
