// orvane-cli info [--largest-file BYTES] FILE: what the reader makes of a file.
#include "cli/Commands.h"
#include "cli/Options.h"
#include "signal/WavReader.h"

#include <cstdio>

int RunInfo(const CliArgs& args) {
    CliOptions options;
    const CliArgs rest = ParseOptions(args, options, OptionSet::Info);
    if (rest.size() != 1) throw CliUsageError{"info takes exactly one FILE"};
    SignalStore store;
    const WavReadResult read = ReadWavFile(store, rest[0], {}, options.LargestFile);
    std::printf("status:%s\n", read.Status.c_str());
    if (!read.StoreReplaced) return 1;
    std::printf("channels: %u\nrate: %d\nbits: %u\nvalues: %d\n", unsigned{store.ChannelCount},
                store.SampleRate, unsigned{store.BitsPerSample}, store.ValueCount);
    if (read.CentreFrequency != 0)
        std::printf("centre: %lld\n", static_cast<long long>(read.CentreFrequency));
    return 0;
}
