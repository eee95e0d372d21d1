// orvane-cli: the program's reader, spectrogram, palettes, edits and writer on files, without a window.
#include "cli/Commands.h"

#include <cstdio>
#include <exception>
#include <map>

void PrintUsage() {
    std::fputs("usage:\n"
               "  orvane-cli info FILE\n"
               "  orvane-cli render FILE OUT.bmp [OPTIONS]\n"
               "  orvane-cli edit IN OUT.wav [OPTIONS] OP [ARG...] [OP [ARG...] ...]\n"
               "options: --fft N  --image-width D  --window NAME  --gain G  --channels C  --palette NAME\n"
               "ops: fade amp invert invert-ch1 invert-ch2 iq2real sin HZ cos HZ fft-filter HI LO QUALITY\n"
               "     lpf HZ asr RATE channels 1|2\n",
               stderr);
}

int main(int argc, char** argv) {
    const std::map<std::string, int (*)(const CliArgs&)> commands = {
        {"info", RunInfo},
        {"edit", RunEdit},
        {"render", RunRender},
    };
    if (argc < 2 || !commands.contains(argv[1])) {
        PrintUsage();
        return 2;
    }
    try {
        return commands.at(argv[1])(CliArgs(argv + 2, argv + argc));
    } catch (const CliUsageError& e) {
        if (!e.Message.empty()) std::fprintf(stderr, "orvane-cli: %s\n", e.Message.c_str());
        PrintUsage();
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orvane-cli: %s\n", e.what());
        return 2;
    }
}
