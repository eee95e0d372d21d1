// Saving a picture in the format its file name asks for: PNG for a name that ends in ".png" (in any
// case), the 32-bit BMP otherwise.
#pragma once

#include "view/TBitmap32.h"

#include <optional>
#include <string>

enum class PictureFormat { Bmp, Png };

PictureFormat PictureFormatOf(const std::string& fileName);

// The format a name ending in ".bmp" or ".png" (in any case) names; nothing for any other name.
std::optional<PictureFormat> PictureFormatNamed(const std::string& fileName);

// Creates or replaces `fileName` with the picture at its own pixel size, with the safety and the
// errors of WriteBmpFile and WritePngFile.
void SavePicture(const TBitmap32& picture, const std::string& fileName);
