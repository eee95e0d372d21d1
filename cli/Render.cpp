// orvane-cli render FILE OUT.bmp [OPTIONS]: read, compute the spectrogram as the window does, colour it
// with the chosen palette and save it as a BMP file.
#include "cli/Commands.h"
#include "cli/EditOps.h"
#include "signal/WavReader.h"
#include "spectral/Palettes.h"
#include "spectral/RecomputeSpectrogram.h"

#include <cstdio>

int RunRender(const CliArgs& args) {
    EditSession session;
    const CliArgs rest = ParseOptions(args, session.Options, true);
    if (rest.size() != 2) throw CliUsageError{"render needs FILE and OUT.bmp"};

    const WavReadResult read = ReadWavFile(session.Store, rest[0]);
    if (!read.StoreReplaced) throw CliUsageError{"cannot read " + rest[0] + ":" + read.Status};
    if (session.Options.Channels != 0) SetChannelInterpretation(session, session.Options.Channels);

    SpectrogramState state;
    JobControl control;
    const SpectrogramResult result =
        RecomputeSpectrogram(state, session.Store, session.Options.Spectrogram, control);
    std::printf("image:%s\n", result.ImageSizeText.c_str());
    if (result.Refused) return 1;

    TBitmap32 picture;
    ApplyPalette(state.SpectrogramBitmap, static_cast<PaletteItem>(session.Options.PaletteIndex), picture);
    picture.SaveToFile(rest[1]);
    return 0;
}
