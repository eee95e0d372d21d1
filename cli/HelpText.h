// The texts orvane-cli prints about itself: the short usage shown after bad usage (on standard error),
// the full help of --help (on standard output) and the list of edit operations both show.
#pragma once

#include <string>

std::string UsageText();
std::string HelpText();
// The operations of edit with the words they take, on two lines.
std::string OperationsText();
