// The outputs of render and edit: the checks made before any work starts, so that a command that cannot
// or must not write its output fails at once rather than after a long computation (each throws
// CliError), and the words of a save that failed.
#pragma once

#include "cli/Commands.h"

#include <stdexcept>
#include <string>

// render: OUT must name a .bmp or .png picture (in any case) and must not be the input file under any
// name (a symbolic or hard link, another path): both exit 2. It must then be writable: exit 1 with the
// system's reason.
void CheckPictureOutput(const std::string& output, const std::string& input);

// edit: OUT must be writable, both files of a SigMF pair (exit 1 with the system's reason). It may be
// the input file, which the save replaces in one step.
void CheckWavOutput(const std::string& output);

// demod and extract (`command`): OUT must not be the input file under any name, nor share a file of a
// SigMF pair with it (exit 2): the new file would replace the recording. It must then be writable
// (exit 1 with the system's reason).
void CheckNewRecordingOutput(const std::string& output, const std::string& input, const std::string& command);

// A failed save of `output` (EFCreateError or EFWriteError, whose messages read
// `Cannot create file "PATH". REASON`) as the error "PATH: REASON", exit 1.
CliError SaveFailure(const std::string& output, const std::runtime_error& error);
