// orvane-cli demod IN OUT.wav --mode M --freq HZ [...]: read, demodulate one signal of the recording
// (demod/DemodulateRecording.h) and save the audio as a 16-bit mono 48000 Hz WAV file.
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/EditOps.h"
#include "cli/Interrupt.h"
#include "cli/Outputs.h"
#include "cli/ProgressReporter.h"
#include "demod/DemodulateRecording.h"
#include "signal/WavWriter.h"

#include <cstdio>
#include <cstring>

namespace {

// Writes the audio through the program's safe writer; a save a signal gave up gives 128 + its number.
int SaveAudio(const std::vector<int16_t>& audio, const std::string& output, const InterruptGuard& interrupt) {
    WavFormatRecord record;
    record.ChannelCount = 1;
    record.SampleRate = kDemodAudioRate;
    record.Data = std::span<const int16_t>(audio.data(), audio.size());
    int systemError = 0;
    uint16_t result = kWavWriteOk;
    try {
        result = WriteWavFile(output, record, &systemError);
    } catch (const EFCreateError& e) {
        if (interrupt.NothingWritten(output)) return InterruptGuard::ExitCode();
        throw SaveFailure(output, e);
    }
    if (result != kWavWriteOk) {
        if (interrupt.NothingWritten(output)) return InterruptGuard::ExitCode();
        throw FileError(output, systemError != 0 ? std::strerror(systemError) : "cannot be written");
    }
    return kExitDone;
}

} // namespace

int RunDemod(const CliArgs& args) {
    const CommandLine line = ParseCommandLine(OptionSet::Demod, args);
    const std::string& input = line.Words[0];
    const std::string& output = line.Words[1];
    CheckNewRecordingOutput(output, input, "demod");
    EditSession session(line.Options);
    RecordingSession& recording = session.Session;
    const InterruptGuard interrupt(recording.Job());

    OpenRecording(session, input);
    const CheckedInput<DemodAudio> audio = [&] {
        const ProgressReporter progress(recording.Job(), ProgressWanted(line.Options.Quiet));
        return DemodulateRecording(recording.Store(), line.Options.Demod, recording.Job());
    }();
    if (!audio) throw CliError{"demod: refused: " + audio.Refusal(), kExitUsage};
    if (interrupt.NothingWritten(output)) return InterruptGuard::ExitCode();
    std::printf("audio: %zu samples, %d Hz, 16-bit mono\n", audio->Samples.size(), kDemodAudioRate);
    std::fflush(stdout);
    return SaveAudio(audio->Samples, output, interrupt);
}
