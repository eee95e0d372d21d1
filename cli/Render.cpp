// orvane-cli render FILE OUT [OPTIONS]: read, compute the spectrogram as the window does, colour it
// with the chosen palette and save it as a PNG (OUT ends in .png) or BMP file.
#include "cli/Commands.h"
#include "cli/EditOps.h"
#include "cli/Interrupt.h"
#include "cli/ProgressReporter.h"
#include "signal/WavReader.h"
#include "spectral/Palettes.h"
#include "spectral/RecomputeSpectrogram.h"
#include "view/PictureFile.h"

#include <cstdio>

int RunRender(const CliArgs& args) {
    EditSession session;
    const CliArgs rest = ParseOptions(args, session.Options, OptionSet::Render);
    if (rest.size() != 2) throw CliUsageError{"render needs FILE and OUT.bmp or OUT.png"};
    InterruptGuard interrupt(session.Job);

    const WavReadResult read = ReadWavFile(session.Store, rest[0], {}, session.Options.LargestFile);
    if (!read.StoreReplaced) throw CliUsageError{"cannot read " + rest[0] + ":" + read.Status};
    if (session.Options.Channels != 0) SetChannelInterpretation(session, session.Options.Channels);

    SpectrogramState state;
    const SpectrogramResult result = [&] {
        const ProgressReporter progress(session.Job, ProgressWanted(session.Options.Quiet));
        return RecomputeSpectrogram(state, session.Store, session.Options.Spectrogram, session.Job);
    }();
    if (interrupt.NothingWritten(rest[1])) return kInterruptedExitCode;
    std::printf("image:%s\n", result.ImageSizeText.c_str());
    if (result.Refused) return 1;

    TBitmap32 picture;
    ApplyPalette(state.SpectrogramBitmap, static_cast<PaletteItem>(session.Options.PaletteIndex), picture);
    SavePicture(picture, rest[1]);
    return 0;
}
