// The PNG file of a picture: 8-bit RGB, rows from the top down, written with libpng. The alpha byte of
// the pixels is not stored: the view paints its picture opaque, and BMP readers ignore that byte too,
// so the PNG shows what the BMP of the same picture shows.
#pragma once

#include "view/Color32.h"

#include <cstdint>
#include <string>

// How the rows are compressed: a zlib level (0 stores, 1 ... 9 compress harder), a zlib strategy
// (Z_DEFAULT_STRATEGY 0, Z_FILTERED 1, Z_HUFFMAN_ONLY 2, Z_RLE 3) and libpng's set of row filters
// (PNG_FILTER_NONE 0x08, SUB 0x10, UP 0x20, AVG 0x40, PAETH 0x80).
// The default stores the rows unfiltered: every setting that compresses takes several times as long
// to write as the BMP of the same picture (bench/picture_export.cpp measures them on the 22510 x 512
// picture of a minute at 48000 Hz, "X / 8"), since a spectrogram's noise leaves little for the fast
// settings to find. Stored, the PNG still holds three bytes per pixel against the BMP's four.
struct PngCompression {
    int Level = 0;
    int Strategy = 0;
    int Filters = 0x08;
};

// Creates or replaces `fileName` with the width × height picture. The file is written beside its
// target under a temporary name and renamed over it only when complete, so a failed save leaves an
// existing file as it was. Throws EFCreateError when the file cannot be created or replaced,
// EFWriteError when writing fails, std::length_error for an empty picture (PNG has no such image).
void WritePngFile(const std::string& fileName, const TColor32* pixels, int32_t width, int32_t height,
                  const PngCompression& compression = {});
