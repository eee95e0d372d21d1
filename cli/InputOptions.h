// How orvane-cli reads an input file: the largest file it accepts and, for a bare I/Q capture, the
// sample rate, centre frequency and type that --rate, --centre and --type give.
#pragma once

#include "cli/Options.h"
#include "session/RecordingSession.h"

#include <string>

// The reading options of `fileName`. A capture (a capture extension, or --type) needs --rate; a file
// that is not one takes neither --rate nor --centre, since its own header or meta file says them.
// Throws a usage error (exit 2) naming the option.
ReadOptions InputReadOptions(const CliOptions& options, const std::string& fileName);
