// orvane-cli render FILE OUT [OPTIONS]: read, compute the spectrogram as the window does, colour it
// with the chosen palette and save it as a PNG (OUT ends in .png) or BMP (.bmp) file.
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/EditOps.h"
#include "cli/Interrupt.h"
#include "cli/Outputs.h"
#include "cli/ProgressReporter.h"
#include "spectral/Palettes.h"
#include "spectral/SpectrogramImageSize.h"
#include "view/PictureFile.h"
#include "view/PictureWithAxes.h"

#include <cstdio>

namespace {

// After a refused picture: why, and which --image-width would fit at the FFT size asked for, if any.
void SayWhyRefused(const RecordingSession& recording, const SpectrogramSettings& asked,
                   const std::string& output) {
    const SignalStore& store = recording.Store();
    const std::string fft = std::to_string(asked.FFTSize);
    const std::optional<int> item = FittingXResolutionItem(store.ValueCount, asked, store.ChannelCount, true);
    std::string reason;
    if (!ComputeSpectrogramImageSize(store.ValueCount, asked, store.ChannelCount).Refused())
        reason = "there is not enough memory for the picture";
    else if (item)
        reason = "the picture is too large; --image-width " + ImageWidthWord(*item) + " fits at --fft " + fft;
    else
        reason = "the picture is too large at every --image-width at --fft " + fft;
    std::fprintf(stderr, "orvane-cli: %s: not written: %s\n", output.c_str(), reason.c_str());
}

// Saves the coloured picture; a save a signal gave up says so and gives 128 + its number.
int SaveColouredPicture(const RecordingSession& recording, const CliOptions& options,
                        const std::string& input, const std::string& output,
                        const InterruptGuard& interrupt) {
    TBitmap32 picture;
    const auto palette = static_cast<PaletteItem>(options.PaletteIndex);
    ApplyPalette(recording.Spectrogram().SpectrogramBitmap, palette, picture);
    if (options.Axes) {
        PictureAxes axes = AxesOfPicture(recording.Spectrogram(), recording.Store(), options.Spectrogram);
        axes.CentreHertz = recording.Description().CentreFrequency;
        picture = PictureWithAxes(picture, axes, {input, options.Spectrogram.Gain, palette});
    }
    if (interrupt.NothingWritten(output)) return InterruptGuard::ExitCode();
    try {
        SavePicture(picture, output);
    } catch (const std::runtime_error& e) {
        if (interrupt.NothingWritten(output)) return InterruptGuard::ExitCode();
        throw SaveFailure(output, e);
    }
    return kExitDone;
}

} // namespace

int RunRender(const CliArgs& args) {
    const CommandLine line = ParseCommandLine(OptionSet::Render, args);
    const std::string& input = line.Words[0];
    const std::string& output = line.Words[1];
    CheckPictureOutput(output, input);
    EditSession session(line.Options);
    RecordingSession& recording = session.Session;
    const InterruptGuard interrupt(recording.Job());

    OpenRecording(session, input);
    const SpectrogramResult result = [&] {
        const ProgressReporter progress(recording.Job(), ProgressWanted(line.Options.Quiet));
        return recording.Recompute(line.Options.Spectrogram);
    }();
    if (interrupt.NothingWritten(output)) return InterruptGuard::ExitCode();
    std::printf("image:%s\n", result.ImageSizeText.c_str());
    std::fflush(stdout);
    if (result.Refused) {
        SayWhyRefused(recording, line.Options.Spectrogram, output);
        return kExitFailed;
    }
    return SaveColouredPicture(recording, line.Options, input, output, interrupt);
}
