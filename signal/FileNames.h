// Small helpers on paths as the status texts show them.
#pragma once

#include <string>

// The name part of a path: everything after the last separator.
std::string FileNameWithoutFolder(const std::string& path);
