// Differential libFuzzer target of the spectrogram's colour mapping: the input's bytes are read as
// float levels (any bit pattern: negative, NaN, infinities, subnormals), which go through
// LevelsToColours, the form the spectrogram uses on this processor, starting at each of the first
// eight positions (so every split between the eight-level blocks and the tail is taken), and through
// LevelToColor32, the straightforward mapping, level by level. Any byte that differs aborts.
#include "spectral/LevelColours.h"
#include "spectral/LevelToColor.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<float> levels(size / sizeof(float));
    if (!levels.empty()) std::memcpy(levels.data(), data, levels.size() * sizeof(float));
    std::vector<TColor32> reference(levels.size());
    for (size_t i = 0; i < levels.size(); ++i) reference[i] = LevelToColor32(levels[i]);
    std::vector<TColor32> fast(levels.size());
    for (size_t first = 0; first < std::min<size_t>(8, levels.size()); ++first) {
        std::fill(fast.begin(), fast.end(), 0u);
        LevelsToColours(levels.data() + first, fast.data() + first, levels.size() - first);
        for (size_t i = first; i < levels.size(); ++i) {
            if (fast[i] == reference[i]) continue;
            uint32_t bits = 0;
            std::memcpy(&bits, &levels[i], sizeof bits);
            std::fprintf(stderr, "LevelColoursFuzz: level bits 0x%08x: fast 0x%08x, reference 0x%08x\n", bits,
                         fast[i], reference[i]);
            std::abort();
        }
    }
    return 0;
}
