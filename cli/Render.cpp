// orvane-cli render FILE OUT [OPTIONS]: read, compute the spectrogram as the window does, colour it
// with the chosen palette and save it as a PNG (OUT ends in .png) or BMP file.
#include "cli/Commands.h"
#include "cli/EditOps.h"
#include "cli/Interrupt.h"
#include "cli/ProgressReporter.h"
#include "spectral/Palettes.h"
#include "view/PictureFile.h"

#include <cstdio>

int RunRender(const CliArgs& args) {
    CliOptions options;
    const CliArgs rest = ParseOptions(args, options, OptionSet::Render);
    if (rest.size() != 2) throw CliUsageError{"render needs FILE and OUT.bmp or OUT.png"};
    EditSession session(options);
    RecordingSession& recording = session.Session;
    InterruptGuard interrupt(recording.Job());

    const ReadOutcome read = recording.Open(rest[0], ReadOptions{options.LargestFile});
    if (!read.Opened) throw CliUsageError{"cannot read " + rest[0] + ":" + read.Status};
    if (options.Channels != 0) SetChannelInterpretation(session, options.Channels);

    const SpectrogramResult result = [&] {
        const ProgressReporter progress(recording.Job(), ProgressWanted(options.Quiet));
        return recording.Recompute(options.Spectrogram);
    }();
    if (interrupt.NothingWritten(rest[1])) return kInterruptedExitCode;
    std::printf("image:%s\n", result.ImageSizeText.c_str());
    if (result.Refused) return 1;

    TBitmap32 picture;
    ApplyPalette(recording.Spectrogram().SpectrogramBitmap, static_cast<PaletteItem>(options.PaletteIndex),
                 picture);
    SavePicture(picture, rest[1]);
    return 0;
}
