// The items of the four drop-down lists that set up a spectrogram, shared by the window and the CLI,
// and the settings they select. The lists hold these texts in this order.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

inline constexpr std::array<std::string_view, 20> kFFTSizeItems = {
    "16",    "32",    "64",    "128",    "256",    "512",    "1024",    "2048",    "4096",    "8192",
    "16384", "32768", "65536", "131072", "262144", "524288", "1048576", "2097152", "4194304", "8388608"};

inline constexpr std::array<std::string_view, 13> kXResolutionItems = {
    "X = Y",   "X / 2",   "X / 4",   "X / 8",    "X / 16",   "X / 32",  "X / 64",
    "X / 128", "X / 256", "X / 512", "X / 1024", "X / 2048", "X / 4096"};

// Items the "X Resolution" list offers after its own while the largest-file setting is raised above
// the default: columns k frames apart, for recordings too long to have a column per frame within the
// picture limit.
inline constexpr std::array<std::string_view, 5> kWideXResolutionItems = {"X * 2", "X * 4", "X * 8", "X * 16",
                                                                          "X * 32"};

inline constexpr std::array<std::string_view, 7> kFFTWindowItems = {
    "None", "Triangular", "Hamming", "Hann", "Blackman", "Nuttall", "Experimental"};

inline constexpr std::array<std::string_view, 25> kImageGainItems = {
    "8000", "4000", "2000", "1000", "500", "300", "250", "200", "180", "160", "140", "120", "100",
    "90",   "80",   "70",   "60",   "50",  "40",  "30",  "20",  "10",  "5",   "2",   "1"};

inline constexpr int kDefaultFFTSizeIndex = 6;     // "1024"
inline constexpr int kDefaultXResolutionIndex = 0; // "X = Y"
inline constexpr int kDefaultFFTWindowIndex = 5;   // "Nuttall"
inline constexpr int kDefaultImageGainIndex = 12;  // "100"

// What the four lists select, as numbers: N, the column decimation d (or the span k of a wide item),
// the window's item index and the integer gain text (the factor applied is Gain / 100); and whether
// two channels are drawn as the complex spectrum of I + jQ.
struct SpectrogramSettings {
    int32_t FFTSize = 1024;
    int32_t Decimation = 1;
    int WindowIndex = kDefaultFFTWindowIndex;
    int32_t Gain = 100;
    int32_t ColumnSpan = 1;  // k of "X * k": columns k frames apart; 1 for the list's own items
    bool IQSpectrum = false; // two channels as one complex spectrum from -R/2 to +R/2
};

// Sets Decimation and ColumnSpan for item `index` of the image-width list: the list's own items give
// d = 2^index, the wide items after them k = 2^(index - 12); an index outside both gives "X = Y".
constexpr void SelectXResolutionItem(int index, SpectrogramSettings& settings) {
    const int own = int(kXResolutionItems.size());
    const bool known = index >= 0 && index < own + int(kWideXResolutionItems.size());
    settings.Decimation = known && index < own ? 1 << index : 1;
    settings.ColumnSpan = known && index >= own ? 2 << (index - own) : 1;
}

// Whether a store of channelCount channels is drawn as the complex spectrum.
constexpr bool ComplexPicture(const SpectrogramSettings& settings, uint16_t channelCount) {
    return settings.IQSpectrum && channelCount == 2;
}
