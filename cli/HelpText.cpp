#include "cli/HelpText.h"

#include "cli/CommandLine.h"

std::string OperationsText() {
    return "  fade amp invert invert-ch1 invert-ch2 iq2real sin HZ cos HZ fft-filter HI LO QUALITY\n"
           "  lpf HZ asr RATE channels 1|2 tune HZ (signed; two channels, I/Q)\n";
}

std::string UsageText() {
    return "usage:\n  " + CommandSynopsis(OptionSet::Info) + "\n  " + CommandSynopsis(OptionSet::Render) +
           "\n  " + CommandSynopsis(OptionSet::Edit) + "\n  " + CommandSynopsis(OptionSet::Demod) + "\n  " +
           CommandSynopsis(OptionSet::Extract) +
           "\n  orvane-cli --help | -h | --version\n"
           "  orvane-cli COMMAND --help\n"
           "options: --fft N  --image-width D  --window NAME  --gain G  --channels C  --palette NAME  "
           "--quiet\n"
           "         --largest-file BYTES  --view bands|iq  --json\n"
           "demod:   --mode MODE  --freq HZ  --bandwidth HZ  --from S  --to S  --channels C  --quiet\n"
           "         --largest-file BYTES\n"
           "extract: --from S  --to S  --band LO HI  --channels C  --quiet  --largest-file BYTES\n"
           "inputs:  --rate R  --centre HZ  --type cu8|cs8|cs16|cf32|cf64 (bare I/Q captures)\n"
           "ops:\n" +
           OperationsText();
}

std::string HelpText() {
    return "orvane-cli runs the reader, spectrogram, palettes, edits and writer of the Orvane+ window on\n"
           "files, without a window.\n\n" +
           UsageText() +
           "\ncommands:\n"
           "  info    print what the reader makes of each FILE: status, channels, rate, bits, values,\n"
           "          and centre (Hz) when the file's auxi chunk or its name gives a centre frequency\n"
           "          (a SigMF pair, by either name: also datatype, datetime and annotations);\n"
           "          with several files each block starts with a line file: FILE; --json prints one\n"
           "          JSON object per file and line instead\n"
           "  render  compute the spectrogram as the window does and save it: PNG when OUT ends in\n"
           "          .png, a 32-bit BMP when it ends in .bmp (any case); prints the image size\n"
           "  edit    apply the operations in order, as the window's commands do, and save IN as a\n"
           "          16-bit PCM WAV file, or a SigMF pair when OUT ends in .sigmf-data (OUT may be IN:\n"
           "          it is replaced in one step)\n"
           "  demod   demodulate the signal at --freq (AM, FM, WFM, USB, LSB, CW) from --from to --to\n"
           "          seconds and save the audio as a 16-bit mono 48000 Hz WAV file; two channels are\n"
           "          I/Q (frequencies -R/2 ... R/2), one channel a real signal (0 ... R/2)\n"
           "  extract write the band LO ... HI from --from to --to seconds as a two-channel I/Q\n"
           "          recording tuned to the band's centre, filtered and decimated to the smallest\n"
           "          whole rate R/k that holds 1.25 times the band; its auxi chunk carries the centre\n"
           "          frequency, so radio frequencies read as in IN\n"
           "\noptions of render and edit (--palette only for render):\n" +
           CommandOptionLines(OptionSet::Render) + "\noptions of demod:\n" +
           CommandOptionLines(OptionSet::Demod) + "\noptions of extract:\n" +
           CommandOptionLines(OptionSet::Extract) + "\noptions of info:\n" +
           CommandOptionLines(OptionSet::Info) +
           "\ncaptures: every command reads bare I/Q captures (no header) by their extension:\n"
           "  .cu8 .uc8 (unsigned 8-bit), .cs8 .sc8 (signed 8-bit), .cs16 .sc16 (16-bit),\n"
           "  .cf32 .fc32 .cfile (32-bit float), .cf64 .fc64 (64-bit float), I then Q, little-endian;\n"
           "  --rate R (Hz) is required for them, --centre HZ sets the centre frequency (else the\n"
           "  one in the name), --type reads any file as a capture of that type\n"
           "\nNames (window, palette, view, mode) are taken in any letter case; --fft=1024 is --fft 1024;\n"
           "-- ends the options. Negative numbers (lpf -5000, --freq -5000) are words, not options.\n"
           "Outputs are checked before the work starts.\n"
           "\nCtrl+C (SIGINT), SIGTERM and SIGHUP stop a running render, edit or demod; nothing is\n"
           "written.\n"
           "\nexit codes:\n"
           "  0    done\n"
           "  1    a file could not be read or written, or the picture was refused\n"
           "  2    bad usage: an unknown option or operation, a missing word, a value outside its\n"
           "       list, a number the window rejects, an output that is the input, a picture name\n"
           "       that does not end in .bmp or .png, a demod request the recording refuses\n"
           "  130, 143, 129  stopped by SIGINT, SIGTERM, SIGHUP (128 + the signal's number)\n"
           "Errors are one line on standard error: orvane-cli: WHAT: REASON.\n";
}
