// The PNG file of a picture: 8-bit RGB, rows from the top down, written with libpng. The alpha byte of
// the pixels is not stored: the view paints its picture opaque, and BMP readers ignore that byte too,
// so the PNG shows what the BMP of the same picture shows.
#pragma once

#include "view/Color32.h"

#include <cstdint>
#include <string>

// How the rows are compressed. The defaults keep the write of a large picture close to the time of its
// BMP (see bench/picture_export.cpp) while the file stays several times smaller.
struct PngCompression {
    int Level = 1;      // zlib level, 0 (store) to 9 (smallest)
    int Strategy = 3;   // zlib strategy: 0 default, 1 filtered, 2 Huffman only, 3 run lengths
    int Filters = 0x10; // libpng's filter set (PNG_FILTER_NONE 0x08, SUB 0x10, UP 0x20, ...)
};

// Creates or replaces `fileName` with the width × height picture. The file is written beside its
// target under a temporary name and renamed over it only when complete, so a failed save leaves an
// existing file as it was. Throws EFCreateError when the file cannot be created or replaced,
// EFWriteError when writing fails, std::length_error for an empty picture (PNG has no such image).
void WritePngFile(const std::string& fileName, const TColor32* pixels, int32_t width, int32_t height,
                  const PngCompression& compression = {});
