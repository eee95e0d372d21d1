// The raised-cosine curve of the Fade edit, rebuilt by every spectrogram preparation.
#pragma once

#include <cstddef>
#include <vector>

// Resizes fadeCurve to L = min(sampleCount, 1024) entries, entry i = 0.5 cos(2 pi (i/L - 0.5)) + 0.5:
// 0 at i = 0, 1 at i = L/2 (a periodic Hann shape).
void BuildFadeCurve(std::vector<float>& fadeCurve, std::size_t sampleCount);
