// Reads a PNG file back with libpng's own reader, for comparing it with the pixels it was made from.
#pragma once

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

namespace pngtest {

struct DecodedPng {
    bool Ok = false;
    bool Rgb8 = false; // stored as 8-bit RGB without alpha
    uint32_t Width = 0;
    uint32_t Height = 0;
    std::vector<uint8_t> Bgra; // rows from the top, each pixel blue, green, red, alpha (255)
};

inline DecodedPng DecodePng(const std::string& path) {
    DecodedPng result;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return result;
    result.Rgb8 = image.format == PNG_FORMAT_RGB;
    image.format = PNG_FORMAT_BGRA;
    result.Bgra.resize(PNG_IMAGE_SIZE(image));
    result.Ok = png_image_finish_read(&image, nullptr, result.Bgra.data(), 0, nullptr) != 0;
    result.Width = image.width;
    result.Height = image.height;
    png_image_free(&image);
    return result;
}

// Whether the decoded picture holds the blue, green and red of every 32-bit pixel, as a BMP file
// stores them (bytes blue, green, red, alpha); alpha is not compared.
inline bool SameColours(const DecodedPng& png, const uint8_t* bmpPixels, size_t pixelCount) {
    if (png.Bgra.size() != pixelCount * 4) return false;
    for (size_t i = 0; i < pixelCount; ++i)
        for (size_t c = 0; c < 3; ++c)
            if (png.Bgra[4 * i + c] != bmpPixels[4 * i + c]) return false;
    return true;
}

} // namespace pngtest
