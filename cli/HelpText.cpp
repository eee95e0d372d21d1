#include "cli/HelpText.h"

#include "cli/Interrupt.h"

std::string UsageText() {
    return "usage:\n"
           "  orvane-cli info [--largest-file BYTES] FILE\n"
           "  orvane-cli render FILE OUT.bmp|OUT.png [OPTIONS]\n"
           "  orvane-cli edit IN OUT.wav [OPTIONS] OP [ARG...] [OP [ARG...] ...]\n"
           "  orvane-cli --help | -h | --version\n"
           "options: --fft N  --image-width D  --window NAME  --gain G  --channels C  --palette NAME  "
           "--quiet\n"
           "         --largest-file BYTES  --view bands|iq\n"
           "ops: fade amp invert invert-ch1 invert-ch2 iq2real sin HZ cos HZ fft-filter HI LO QUALITY\n"
           "     lpf HZ asr RATE channels 1|2\n";
}

std::string HelpText() {
    return "orvane-cli runs the reader, spectrogram, palettes, edits and writer of the Orvane+ window on\n"
           "files, without a window.\n\n" +
           UsageText() +
           "\ncommands:\n"
           "  info    print what the reader makes of FILE: status, channels, rate, bits, values, and\n"
           "          centre (Hz) when the file's auxi chunk or its name gives a centre frequency\n"
           "  render  compute the spectrogram as the window does and save it: PNG when OUT ends in\n"
           "          .png (any case), a 32-bit BMP otherwise; prints the image size\n"
           "  edit    apply the operations in order, as the window's commands do, and save IN as a\n"
           "          16-bit PCM WAV file\n"
           "\noptions of render and edit:\n"
           "  --fft N            FFT size, 16 ... 8388608 (powers of two); default 1024\n"
           "  --image-width D    column decimation 1, 2, 4 ... 4096; default 1; or x2, x4 ... x32 for\n"
           "                     columns 2 ... 32 frames apart (long recordings)\n"
           "  --window NAME      None, Triangular, Hamming, Hann, Blackman, Nuttall, Experimental;\n"
           "                     default Nuttall\n"
           "  --gain G           image gain, 8000 ... 1; default 100\n"
           "  --channels C       read the values as 1 or 2 channels; default as the file says\n"
           "  --palette NAME     (render) Spectrum, Grayscale, Greens, Reds, Rainbow; default Spectrum\n"
           "  --view V           bands: two channels in two bands (default); iq: two channels as the\n"
           "                     complex spectrum of I + jQ, N rows from -R/2 (bottom) to +R/2 (top)\n"
           "  --quiet            no progress bar (it is shown only when standard error is a terminal)\n"
           "  --largest-file B   (also info) refuse input files longer than B bytes; default 500000000\n"
           "\nCtrl+C stops a running render or edit; nothing is written.\n"
           "\nexit codes: 0 done, 1 a file that cannot be read or an image that is refused,\n"
           "  2 bad usage or a number that is not a number, " +
           std::to_string(kInterruptedExitCode) + " stopped by Ctrl+C\n";
}
