#include "view/BmpFile.h"

#include "signal/LittleEndian.h"
#include "signal/ReplacingFile.h"

#include <bit>
#include <limits>
#include <stdexcept>
#include <vector>

namespace {

// Writes the pixels as bytes blue, green, red, alpha: the memory layout itself on a little-endian
// host, converted in blocks otherwise.
bool WritePixels(ReplacingFile& file, const TColor32* pixels, size_t count) {
    if constexpr (std::endian::native == std::endian::little) {
        return count == 0 || file.Write(pixels, count * sizeof(TColor32));
    } else {
        std::vector<uint8_t> block(65536);
        for (size_t i = 0; i < count;) {
            size_t n = 0;
            for (; n + 4 <= block.size() && i < count; n += 4, ++i) PutLE32(&block[n], pixels[i]);
            if (!file.Write(block.data(), n)) return false;
        }
        return true;
    }
}

} // namespace

std::array<uint8_t, kBmpHeaderSize> BuildBmpHeader(int32_t width, int32_t height) {
    if (width < 0 || height < 0) throw std::length_error("Negative picture size for a BMP file");
    const uint64_t pixelBytes = uint64_t{static_cast<uint32_t>(width)} * static_cast<uint32_t>(height) * 4;
    if (pixelBytes + kBmpHeaderSize > std::numeric_limits<uint32_t>::max())
        throw std::length_error("Picture too large for a BMP file");

    std::array<uint8_t, kBmpHeaderSize> h{};
    h[0] = 'B';
    h[1] = 'M';
    PutLE32(&h[2], static_cast<uint32_t>(kBmpHeaderSize + pixelBytes));
    PutLE32(&h[10], kBmpHeaderSize);
    PutLE32(&h[14], 40);
    PutLE32(&h[18], static_cast<uint32_t>(width));
    PutLE32(&h[22], static_cast<uint32_t>(-static_cast<int64_t>(height))); // negative: rows top to bottom
    PutLE16(&h[26], 1);
    PutLE16(&h[28], 32);
    PutLE32(&h[34], static_cast<uint32_t>(pixelBytes));
    return h; // compression, resolutions and colour counts stay 0
}

void WriteBmpFile(const std::string& fileName, const TColor32* pixels, int32_t width, int32_t height) {
    const auto header = BuildBmpHeader(width, height);
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    ReplacingFile file(fileName, header.size() + count * sizeof(TColor32));
    if (!file.Write(header.data(), header.size()) || !WritePixels(file, pixels, count) || !file.Commit()) {
        const int err = file.LastError();
        file.Discard();
        throw EFWriteError(WriteErrorMessage(fileName, err));
    }
}
