// The options of orvane-cli's commands: what they set, and their declaration on the command-line parser
// (CLI11), with the lists of values each accepts.
#pragma once

#include "cli/Commands.h"
#include "demod/DemodRequest.h"
#include "ops/ExtractBand.h"
#include "signal/SigMFDatatype.h"
#include "signal/WavReader.h"
#include "spectral/SpectrogramSettings.h"

#include <array>
#include <optional>
#include <string_view>

namespace CLI {
class App;
}

inline constexpr std::array<std::string_view, 5> kPaletteNames = {"Spectrum", "Grayscale", "Greens", "Reds",
                                                                  "Rainbow"};

struct CliOptions {
    SpectrogramSettings Spectrogram;
    int Channels = 0;                      // 0: as read; 1 or 2: reinterpret after reading
    int PaletteIndex = 0;                  // index into kPaletteNames; 0 keeps the spectrogram's own colours
    bool Quiet = false;                    // --quiet: no progress bar
    bool Axes = false;                     // --axes (render): the picture with its axes and legend
    bool Json = false;                     // --json (info): one JSON object per file
    int64_t LargestFile = kMaxWavFileSize; // --largest-file: longer input files are refused
    DemodRequest Demod;                    // demod: --mode, --freq, --bandwidth, --from, --to
    ExtractRequest Extract;                // extract: --from, --to, --band (as given: radio frequencies
                                           // when the recording has a centre frequency)
    // Every command, for inputs that are bare I/Q captures (cli/InputOptions.h):
    std::optional<int64_t> CaptureRate;       // --rate: Hz
    std::optional<int64_t> CaptureCentre;     // --centre: Hz, 0 for none
    std::optional<SigMFDatatype> CaptureType; // --type: read as a capture of this type, whatever the name
};

// The options a command takes: info --largest-file and --json; edit all of render's but --palette; demod
// its own (--mode and --freq required) with --channels, --quiet and --largest-file.
// extract: --from, --to and --band (all required), --channels, --quiet and --largest-file. Every
// command takes the capture options --rate, --centre and --type.
enum class OptionSet { Info, Edit, Render, Demod, Extract };

// Declares the options of `set` on `app`; parsing then writes their values into `options`. Names (window,
// palette, view, x2 ...) are taken in any letter case; a value outside its list is refused with the
// list. Given twice, the last one counts.
void DeclareOptions(CLI::App& app, CliOptions& options, OptionSet set);

// The --image-width word of item `index` of the window's image-width list (SelectXResolutionItem):
// "1" for "X = Y", "2" ... "4096" for "X / 2" ..., "x2" ... "x32" for "X * 2" ....
std::string ImageWidthWord(int index);
