// The command line of one command of orvane-cli, parsed with CLI11 in the ways users know from sox and
// ffmpeg: "--fft 1024" and "--fft=1024", options anywhere among the words, "--" before words that
// begin with "-", "-h"/"--help" for the command's own help. A negative number ("lpf -5000") is a word,
// not an option.
#pragma once

#include "cli/Options.h"

#include <string>

struct CommandLine {
    CliOptions Options;
    CliArgs Words; // info: the files; render: FILE OUT; edit: IN OUT and the operation words, in order
};

// Parses the arguments after the command's name. Throws CliHelp for -h/--help, and a usage error for an
// unknown option, a missing word or value, a value outside its list or a word too many.
CommandLine ParseCommandLine(OptionSet command, const CliArgs& args);

// The synopsis line of the command, e.g. "orvane-cli render FILE OUT.bmp|OUT.png [OPTIONS]".
std::string CommandSynopsis(OptionSet command);

// The option lines of the command as its help shows them (for the program's own --help).
std::string CommandOptionLines(OptionSet command);
