// The texts orvane-cli prints about itself: the short usage shown after bad usage (on standard error)
// and the full help of --help (on standard output).
#pragma once

#include <string>

std::string UsageText();
std::string HelpText();
