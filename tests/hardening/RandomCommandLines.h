// Command lines for the random-run check: `info`, `render` and `edit` with random options (now and then a
// value the program must refuse) and random chains of edit operations whose numbers run from ordinary
// to absurd (huge, negative, not a number, empty).
#pragma once

#include "SeededRandom.h"

#include <string>
#include <vector>

// The arguments after the program's name for reading `input` (of `inputBytes` bytes) and writing into
// the folder `outputFolder`. Large FFT sizes are drawn only for renders of tiny inputs.
std::vector<std::string> MakeRandomCommandLine(SeededRandom& random, const std::string& input,
                                               size_t inputBytes, const std::string& outputFolder);
