#include "spectral/RecomputeSpectrogram.h"

#include "spectral/SpectrogramPass.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

constexpr TColor32 kOneChannelMarker = Color32(0, 0, 128); // dark blue
constexpr TColor32 kTwoChannelMarker = kOpaqueWhite;

SpectrogramPassLayout BaseLayout(SpectrogramState& state, const SignalStore& store,
                                 const SpectrogramSettings& settings, int32_t hop) {
    const TPixelAccess pixels = state.SpectrogramBitmap.WritablePixels();
    SpectrogramPassLayout layout;
    layout.Samples = store.Samples.data();
    // Never read past the array, whatever the value count claims.
    layout.ValueCount = std::clamp<int64_t>(store.ValueCount, 0, static_cast<int64_t>(store.Samples.size()));
    layout.FFTSize = state.CurrentFFTSize;
    layout.Hop = hop;
    layout.Window = state.WindowTable.data();
    layout.Gain = static_cast<double>(static_cast<long double>(settings.Gain) / 100.0L);
    layout.Pixels = pixels.Bits;
    layout.Width = pixels.Width;
    layout.Height = pixels.Height;
    return layout;
}

// The columns of one real signal into the prepared image; false when stopped.
bool SpectrogramOneChannel(SpectrogramState& state, const SignalStore& store,
                           const SpectrogramSettings& settings, SpectrogramPreparation& preparation,
                           JobControl& control) {
    SpectrogramPassLayout layout = BaseLayout(state, store, settings, preparation.Hop);
    layout.BandTop = 0;
    layout.BandBins = layout.FFTSize / 2;
    layout.MarkerColour = kOneChannelMarker;
    const bool complete = RunSpectrogramPass(layout, preparation.Workers, control, {0, layout.Width, 10});
    state.SpectrogramBitmap.Changed();
    return complete;
}

// Channel 1 (even positions) into the top band, then channel 2 (odd positions) into the bottom band;
// the bottom band is not started when the top one was stopped. False when stopped.
bool SpectrogramTwoChannels(SpectrogramState& state, const SignalStore& store,
                            const SpectrogramSettings& settings, SpectrogramPreparation& preparation,
                            JobControl& control) {
    SpectrogramPassLayout layout = BaseLayout(state, store, settings, preparation.Hop);
    layout.BandBins = layout.FFTSize / 4;
    layout.MarkerColour = kTwoChannelMarker;
    bool complete = true;
    for (int channel = 0; channel < 2 && complete; ++channel) {
        layout.Channel = channel;
        layout.BandTop = channel * layout.BandBins;
        const PassProgress progress{channel * int64_t{layout.Width}, 2 * int64_t{layout.Width}, 32};
        complete = RunSpectrogramPass(layout, preparation.Workers, control, progress);
    }
    state.SpectrogramBitmap.Changed();
    return complete;
}

// The complex spectrum of I + jQ (even and odd positions) into the prepared image, one band of N rows
// with the 0 Hz marker line in the middle; false when stopped.
bool SpectrogramComplex(SpectrogramState& state, const SignalStore& store,
                        const SpectrogramSettings& settings, SpectrogramPreparation& preparation,
                        JobControl& control) {
    SpectrogramPassLayout layout = BaseLayout(state, store, settings, preparation.Hop);
    layout.Complex = true;
    layout.BandBins = layout.FFTSize;
    layout.MarkerColour = kTwoChannelMarker;
    const bool complete = RunSpectrogramPass(layout, preparation.Workers, control, {0, layout.Width, 10});
    state.SpectrogramBitmap.Changed();
    return complete;
}

// The picture the store and settings call for; false when stopped.
bool ComputeColumns(SpectrogramState& state, const SignalStore& store, const SpectrogramSettings& settings,
                    SpectrogramPreparation& preparation, JobControl& control) {
    if (ComplexPicture(settings, store.ChannelCount))
        return SpectrogramComplex(state, store, settings, preparation, control);
    if (store.TwoChannels()) return SpectrogramTwoChannels(state, store, settings, preparation, control);
    return SpectrogramOneChannel(state, store, settings, preparation, control);
}

} // namespace

void CompleteSpectrogram(const SpectrogramState& state, const SignalStore& store, SpectrogramResult& result) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - state.StartTime);
    // Formatted into a buffer: GCC 12 warns wrongly (-Wrestrict) on assigning literals to strings at -O3.
    std::array<char, 96> text{};
    std::snprintf(text.data(), text.size(), " %lld ms", static_cast<long long>(elapsed.count()));
    result.TimeText = std::string(text.data());
    std::snprintf(text.data(), text.size(), "  Channels: %u  SmpleRate: %d", unsigned{store.ChannelCount},
                  static_cast<int>(store.SampleRate));
    result.ChannelRateText = std::string(text.data());
}

SpectrogramResult RecomputeSpectrogram(SpectrogramState& state, const SignalStore& store,
                                       const SpectrogramSettings& settings, JobControl& control,
                                       const SpectrogramRunOptions& options) {
    SpectrogramResult result;
    if (!store.Loaded()) return result;
    result.Ran = true;
    SpectrogramPreparation preparation = PrepareSpectrogramBitmap(state, store, settings, control, options);
    result.ImageSizeText = preparation.ImageSizeText;
    result.Refused = preparation.Hop < 0;
    if (options.Prepared) options.Prepared(preparation);
    if (!result.Refused) {
        // A stop asked for before the first column (before the call, during the preparation or in the
        // hook) ends the run here, with the prepared image.
        const bool complete =
            !control.Stopping() && ComputeColumns(state, store, settings, preparation, control);
        result.Stopped = !complete;
        if (complete) control.SetProgress(100);
    }
    CompleteSpectrogram(state, store, result);
    return result;
}
