// orvane-cli info FILE: what the reader makes of a file.
#include "cli/Commands.h"
#include "signal/WavReader.h"

#include <cstdio>

int RunInfo(const CliArgs& args) {
    if (args.size() != 1) throw CliUsageError{"info takes exactly one FILE"};
    SignalStore store;
    const WavReadResult read = ReadWavFile(store, args[0]);
    std::printf("status:%s\n", read.Status.c_str());
    if (!read.StoreReplaced) return 1;
    std::printf("channels: %u\nrate: %d\nbits: %u\nvalues: %d\n", unsigned{store.ChannelCount},
                store.SampleRate, unsigned{store.BitsPerSample}, store.ValueCount);
    return 0;
}
