// The writers that replace files (the WAV file of a store, the BMP and PNG files of a picture), reduced to
// "save this to that path and say what happened", for the tests of where saves land and how they fail.
#pragma once

#include <cstddef>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

inline constexpr const char* kSaved = "saved";
inline constexpr const char* kNotSaved = "not saved"; // a write error: stream error, or EFWriteError

// A writer of one kind of file: saves to a path and returns kSaved, kNotSaved or the creation error's
// message.
struct Writer {
    const char* Name;
    std::function<std::string(const std::string& path)> Save;
};

// How a test parameter names the writer.
inline void PrintTo(const Writer& writer, std::ostream* out) {
    *out << writer.Name;
}

// Every writer, each writing about `bytes` bytes (at least a few hundred).
std::vector<Writer> WritersOfAbout(size_t bytes);
