#include "view/PngFile.h"

#include "signal/ReplacingFile.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace {

constexpr size_t kMessageSize = 160;

// libpng reports a failure by calling this, which must not return: it keeps the message and jumps
// back to the setjmp of EncodePicture. Warnings are not shown.
[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
    if (auto* kept = static_cast<char*>(png_get_error_ptr(png)))
        std::snprintf(kept, kMessageSize, "%s", message);
    png_longjmp(png, 1);
}
void OnPngWarning(png_structp, png_const_charp) {}

void WriteToFile(png_structp png, png_bytep data, size_t size) {
    auto* file = static_cast<ReplacingFile*>(png_get_io_ptr(png));
    if (!file->Write(data, size)) png_error(png, "write failed");
}
void FlushNothing(png_structp) {} // the file is flushed once, when it is committed

// The most bytes the file can take: every row with its filter byte, deflated no larger than zlib's own
// bound for incompressible data, in IDAT chunks of at most the 1 MiB compression buffer (12 bytes of
// frame each), plus the signature, header and end. The size is only known after the encoding; this
// bound lets a write in place check beforehand that the file fits.
uint64_t PngSizeBound(uint32_t width, uint32_t height) {
    const uint64_t raw = uint64_t(height) * (1 + uint64_t(width) * 3);
    const uint64_t deflated = raw + (raw >> 12) + (raw >> 14) + (raw >> 25) + 13;
    const uint64_t chunks = deflated / (1 << 20) + 1;
    return deflated + chunks * 12 + 1024;
}

// The libpng structures of one write, released on every path.
struct PngWriter {
    char Message[kMessageSize] = "out of memory";
    png_structp Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, Message, OnPngError, OnPngWarning);
    png_infop Info = Png ? png_create_info_struct(Png) : nullptr;
    ~PngWriter() { png_destroy_write_struct(&Png, &Info); }
};

// One row of pixels as the bytes red, green, blue. A plain loop the compiler vectorises: libpng's own
// transformations (dropping the alpha byte, swapping blue and red) take several times as long.
void ToRgbRow(const TColor32* pixels, uint32_t width, uint8_t* rgb) {
    for (uint32_t x = 0; x < width; ++x) {
        const TColor32 c = pixels[x];
        rgb[3 * x] = RedOf(c);
        rgb[3 * x + 1] = GreenOf(c);
        rgb[3 * x + 2] = BlueOf(c);
    }
}

void WriteRows(png_structp png, png_infop info, const TColor32* pixels, uint32_t width, uint32_t height,
               const PngCompression& compression, uint8_t* rgbRow) {
    // The format allows up to 2^31 - 1 rows and columns; libpng's own default stops at a million,
    // below the tallest spectrogram (4194304 rows).
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, compression.Filters);
    png_set_compression_level(png, compression.Level);
    png_set_compression_strategy(png, compression.Strategy);
    png_set_compression_buffer_size(png, 1 << 20);
    png_write_info(png, info);
    for (uint32_t y = 0; y < height; ++y) {
        ToRgbRow(pixels + size_t{y} * width, width, rgbRow);
        png_write_row(png, rgbRow);
    }
    png_write_end(png, info);
}

// False when libpng failed. Nothing with a destructor lives in this frame, so the jump back from an
// error skips no clean-up.
bool EncodePicture(const PngWriter& writer, ReplacingFile& file, const TColor32* pixels, uint32_t width,
                   uint32_t height, const PngCompression& compression, uint8_t* rgbRow) {
    if (setjmp(png_jmpbuf(writer.Png))) return false;
    png_set_write_fn(writer.Png, &file, WriteToFile, FlushNothing);
    WriteRows(writer.Png, writer.Info, pixels, width, height, compression, rgbRow);
    return true;
}

} // namespace

void WritePngFile(const std::string& fileName, const TColor32* pixels, int32_t width, int32_t height,
                  const PngCompression& compression) {
    if (width <= 0 || height <= 0) throw std::length_error("An empty picture cannot be saved as a PNG file");
    std::vector<uint8_t> rgbRow(size_t(width) * 3);
    ReplacingFile file(fileName, PngSizeBound(static_cast<uint32_t>(width), static_cast<uint32_t>(height)));
    const PngWriter writer;
    const bool encoded = writer.Png != nullptr && writer.Info != nullptr &&
                         EncodePicture(writer, file, pixels, static_cast<uint32_t>(width),
                                       static_cast<uint32_t>(height), compression, rgbRow.data());
    if (!encoded || !file.Commit()) {
        const int err = file.LastError();
        file.Discard();
        // A failure of the file shows the system's reason, one inside libpng its own.
        throw EFWriteError(err != 0 ? WriteErrorMessage(fileName, err)
                                    : WriteErrorMessage(fileName, "PNG: " + std::string(writer.Message)));
    }
}
