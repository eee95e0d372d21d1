// A plain one-thread spectrogram renderer on FFTW, the competitor orvane-cli render is timed against
// (bench/render_vs_fftw.cpp). It does the same frames as the program: N values from the 16-bit WAV
// data (one channel, or each of two channels in turn with the other channel's values zero), starting
// at column x * hop - N, windowed by the Nuttall window, a single-precision complex FFT planned with
// FFTW_ESTIMATE, |re| + |im| of bins N/2 - 1 .. 1 (N/4 - 1 .. 1 per channel) times the gain, coloured
// through a 256-entry table, written as a 32-bit top-down BMP. Columns are computed in tiles of 16 so
// that the image's rows are written a cache line at a time, as a competitor that cares would.
//
//   fftw_render IN.wav OUT.bmp N DECIMATION
//
// It shares no code with the program: it is what someone would write with FFTW in an afternoon.
#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int kTile = 16;

struct Wav {
    std::unique_ptr<int16_t[]> Values; // not cleared: the file's bytes fill it
    int64_t Count = 0;
    int Channels = 1;
};

uint32_t Le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
}

// Reads the header chunk by chunk, then the data chunk's values straight into their array.
bool ReadWav(const char* path, Wav& wav) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    unsigned char head[12];
    bool ok = std::fread(head, 1, 12, f) == 12 && std::memcmp(head, "RIFF", 4) == 0;
    while (ok) {
        unsigned char chunk[8];
        if (std::fread(chunk, 1, 8, f) != 8) break;
        const uint32_t size = Le32(chunk + 4);
        if (std::memcmp(chunk, "data", 4) == 0) {
            wav.Count = size / 2;
            wav.Values.reset(new int16_t[size_t(wav.Count)]);
            wav.Count = int64_t(std::fread(wav.Values.get(), 2, size_t(wav.Count), f));
            std::fclose(f);
            return true;
        }
        unsigned char fmt[16];
        if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16) {
            ok = std::fread(fmt, 1, 16, f) == 16;
            wav.Channels = fmt[2];
            ok = ok && std::fseek(f, long(size - 16 + (size & 1)), SEEK_CUR) == 0;
        } else {
            ok = std::fseek(f, long(size + (size & 1)), SEEK_CUR) == 0;
        }
    }
    std::fclose(f);
    return false;
}

std::vector<float> NuttallWindow(int n) {
    std::vector<float> w(static_cast<size_t>(n));
    const double pi = 3.14159265358979323846;
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / n - 0.5;
        w[static_cast<size_t>(i)] = static_cast<float>(
            std::fabs(0.3635819 + 0.4891775 * std::cos(2 * pi * t) + 0.1365995 * std::cos(4 * pi * t) +
                      0.0106411 * std::cos(6 * pi * t)));
    }
    return w;
}

// Black, blue, cyan, green, yellow, red, magenta, white over 256 steps.
std::vector<uint32_t> ColourTable() {
    const float stops[8][3] = {{0, 0, 0}, {0, 0, 1}, {0, 1, 1}, {0, 1, 0},
                               {1, 1, 0}, {1, 0, 0}, {1, 0, 1}, {1, 1, 1}};
    std::vector<uint32_t> table(256);
    for (int i = 0; i < 256; ++i) {
        const float f = i / 255.0f * 7;
        const int s = std::min(6, static_cast<int>(f));
        const float t = f - s;
        uint32_t c = 0xFF000000u;
        for (int ch = 0; ch < 3; ++ch) {
            const float v = stops[s][ch] + (stops[s + 1][ch] - stops[s][ch]) * t;
            c |= uint32_t(std::lround(v * 255)) << (16 - 8 * ch);
        }
        table[static_cast<size_t>(i)] = c;
    }
    return table;
}

bool WriteBmp(const char* path, const uint32_t* pixels, int width, int height) {
    unsigned char h[54] = {'B', 'M'};
    const auto put32 = [&h](int at, uint32_t v) {
        for (int k = 0; k < 4; ++k) h[at + k] = static_cast<unsigned char>(v >> (8 * k));
    };
    const uint32_t bytes = uint32_t(width) * uint32_t(height) * 4;
    put32(2, 54 + bytes);
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(width));
    put32(22, uint32_t(-height));
    h[26] = 1;
    h[28] = 32;
    put32(34, bytes);
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    bool ok = std::fwrite(h, 1, 54, f) == 54;
    const size_t count = size_t(width) * size_t(height);
    ok = ok && std::fwrite(pixels, 4, count, f) == count;
    return std::fclose(f) == 0 && ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: fftw_render IN.wav OUT.bmp N DECIMATION\n");
        return 2;
    }
    Wav wav;
    if (!ReadWav(argv[1], wav)) return 1;
    const int n = std::atoi(argv[3]);
    const int d = std::atoi(argv[4]);
    const int hop = n / d;
    const int64_t count = wav.Count;
    const double r = double(count) / n;
    const int width = static_cast<int>(std::nearbyint(r * d + d + (1 - (r - std::trunc(r))))) + 1;
    const int height = n / 2;
    const int channels = wav.Channels == 2 ? 2 : 1;
    const int bins = n / 2 / channels; // rows per band: bins bins-1 .. 1, then the marker row
    const double gain = 1.0;

    const std::vector<float> window = NuttallWindow(n);
    const std::vector<uint32_t> colours = ColourTable();
    const std::unique_ptr<uint32_t[]> image(new uint32_t[size_t(width) * size_t(height)]);
    std::vector<uint32_t> tile(size_t(bins) * kTile);
    fftwf_complex* in = fftwf_alloc_complex(size_t(n));
    fftwf_complex* out = fftwf_alloc_complex(size_t(n));
    const fftwf_plan plan = fftwf_plan_dft_1d(n, in, out, FFTW_FORWARD, FFTW_ESTIMATE);
    const float toIndex = 255.0f / 5000000.0f;
    const int16_t* values = wav.Values.get();

    for (int band = 0; band < channels; ++band) {
        for (int x0 = 0; x0 < width; x0 += kTile) {
            const int columns = std::min(kTile, width - x0);
            for (int c = 0; c < columns; ++c) {
                const int64_t start = int64_t(x0 + c) * hop - n;
                // Inside the signal from lo to hi; zero around it, and at the other channel's values.
                const int64_t lo = std::clamp<int64_t>(-start, 0, n);
                const int64_t hi = std::clamp<int64_t>(count - start, lo, n);
                for (int64_t i = 0; i < lo; ++i) in[i][0] = in[i][1] = 0.0f;
                if (channels == 1) {
                    for (int64_t i = lo; i < hi; ++i) {
                        in[i][0] = values[start + i] * window[size_t(i)];
                        in[i][1] = 0.0f;
                    }
                } else {
                    for (int64_t i = lo; i < hi; ++i) {
                        in[i][0] = ((start + i) & 1) == band ? values[start + i] * window[size_t(i)] : 0.0f;
                        in[i][1] = 0.0f;
                    }
                }
                for (int64_t i = hi; i < n; ++i) in[i][0] = in[i][1] = 0.0f;
                fftwf_execute(plan);
                uint32_t* column = tile.data() + c;
                for (int k = bins - 1; k >= 1; --k) {
                    const float level = static_cast<float>(
                        (std::fabs(double(out[k][0])) + std::fabs(double(out[k][1]))) * gain);
                    *column = colours[size_t(std::min(255, static_cast<int>(level * toIndex)))];
                    column += kTile;
                }
                *column = ((x0 + c + band * bins + bins - 1) & 1) != 0 ? 0xFF000080u : 0xFF000000u;
            }
            for (int row = 0; row < bins; ++row)
                std::memcpy(&image[size_t(band * bins + row) * size_t(width) + size_t(x0)],
                            &tile[size_t(row) * kTile], size_t(columns) * 4);
        }
    }
    fftwf_destroy_plan(plan);
    fftwf_free(in);
    fftwf_free(out);
    return WriteBmp(argv[2], image.get(), width, height) ? 0 : 1;
}
