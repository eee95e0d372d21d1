// The errors of file creation and writing that reach the application's general error report.
#pragma once

#include <stdexcept>
#include <string>

// Raised when a file cannot be created or replaced; the message reads: Cannot create file "PATH". REASON
class EFCreateError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Raised when writing to a created file fails; the message reads: Cannot write file "PATH". REASON
class EFWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The two messages, with REASON the system's text for `err` (an errno value).
std::string CreateErrorMessage(const std::string& path, int err);
std::string WriteErrorMessage(const std::string& path, int err);
// The write error's message with a reason of its own (e.g. from an encoding library).
std::string WriteErrorMessage(const std::string& path, const std::string& reason);
