// What `orvane --help` and `orvane --version` print, decided before any window or Qt object exists.
#pragma once

#include <optional>
#include <string>

// The text to print on standard output for a first argument that asks for the help or the version;
// nothing otherwise, and the window starts.
std::optional<std::string> InformationText(int argc, const char* const* argv);
