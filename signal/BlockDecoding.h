// Reading samples that are decoded into the store's 16-bit values, block by block, so that only one
// block of the file's bytes is held at a time: shared by the WAV and the SigMF readers.
#pragma once

#include "signal/FileCursor.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// Reads `count` values of `width` bytes each from the file's position into `out`, in blocks of at most
// `blockBytes` bytes (a multiple of `width`), each decoded by `decode(bytes, values, out)`. Returns the
// values read: fewer than `count` only when the file ended early.
template <class Decode>
int64_t DecodeInBlocks(FileCursor& file, int16_t* out, int64_t count, int width, int64_t blockBytes,
                       Decode decode) {
    std::vector<uint8_t> block(static_cast<size_t>(std::min(count * width, blockBytes)));
    int64_t filled = 0;
    while (filled < count) {
        const int64_t wanted =
            std::min<int64_t>((count - filled) * width, static_cast<int64_t>(block.size()));
        const int64_t got = file.Read(block.data(), wanted) / width;
        decode(block.data(), static_cast<size_t>(got), out + filled);
        filled += got;
        if (got * width < wanted) break;
    }
    return filled;
}
