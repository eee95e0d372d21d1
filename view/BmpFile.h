// The 32-bit BMP file of a picture: a 14-byte file header and a 40-byte info header with a negative
// height (rows stored top to bottom), then the pixels row by row from the top, each as bytes blue,
// green, red, alpha.
#pragma once

#include "view/Color32.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

inline constexpr size_t kBmpHeaderSize = 54;

// The 54 header bytes for a width × height picture. Throws std::length_error when the picture is too
// large for the 32-bit size fields of the format.
std::array<uint8_t, kBmpHeaderSize> BuildBmpHeader(int32_t width, int32_t height);

// Creates or replaces `fileName` with the picture, in the same way as the WAV writer (see
// signal/ReplacingFile.h): links are followed, a failed save leaves an existing file as it was except
// after an error in the middle of a write in place. Throws EFCreateError (Cannot create file "PATH".
// REASON) when the file cannot be created or may not be written, EFWriteError when writing fails,
// std::length_error when the picture is too large.
void WriteBmpFile(const std::string& fileName, const TColor32* pixels, int32_t width, int32_t height);
