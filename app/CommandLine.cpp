#include "app/CommandLine.h"

#include "ProgramInfo.h"

namespace {

const char* const kHelp =
    "usage: orvane [FILE]\n"
    "       orvane --help | -h | --version\n"
    "\n"
    "Orvane+ shows the spectrogram of a WAV recording of a radio signal (real or I/Q),\n"
    "edits its samples, plays it and exports the picture as PNG or BMP.\n"
    "FILE, when given, is opened once the window is shown.\n"
    "\n"
    "options:\n"
    "  -h, --help     print this help and exit\n"
    "  --version      print the version and exit\n"
    "Qt's own options, such as -platform NAME, are accepted as well.\n"
    "\n"
    "orvane-cli runs the same engine on files without a window (orvane-cli --help).\n";

} // namespace

std::optional<std::string> InformationText(int argc, const char* const* argv) {
    switch (argc > 1 ? InfoRequestOf(argv[1]) : InfoRequest::None) {
    case InfoRequest::Help:
        return std::string(kHelp);
    case InfoRequest::Version:
        return VersionLine("orvane") + "\n";
    case InfoRequest::None:
        break;
    }
    return std::nullopt;
}
