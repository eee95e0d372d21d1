// The options shared by render and edit.
#pragma once

#include "cli/Commands.h"
#include "signal/WavReader.h"
#include "spectral/SpectrogramSettings.h"

#include <array>
#include <string_view>

inline constexpr std::array<std::string_view, 5> kPaletteNames = {"Spectrum", "Grayscale", "Greens", "Reds",
                                                                  "Rainbow"};

struct CliOptions {
    SpectrogramSettings Spectrogram;
    int Channels = 0;                      // 0: as read; 1 or 2: reinterpret after reading
    int PaletteIndex = 0;                  // index into kPaletteNames; 0 keeps the spectrogram's own colours
    bool Quiet = false;                    // --quiet: no progress bar
    int64_t LargestFile = kMaxWavFileSize; // --largest-file: longer input files are refused
};

// The options a command takes: info only --largest-file; edit all but --palette; render all.
enum class OptionSet { Info, Edit, Render };

// Takes --quiet and every "--name value" pair out of args into options and returns the remaining arguments in
// order. Throws CliUsageError for an option the command does not take, a missing value or a value not in
// its list.
CliArgs ParseOptions(const CliArgs& args, CliOptions& options, OptionSet set);
