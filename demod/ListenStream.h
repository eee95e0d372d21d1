// Listen: one signal of the recording demodulated while it is heard. The playback thread pulls the
// audio a device buffer at a time (PlaySource), so the first sound comes after a few milliseconds of
// work whatever the length of the recording. The stream reads the store's values in place: its owner
// keeps them unchanged while it plays (Playback::Halt before anything rewrites them).
#pragma once

#include "audio/PlaySource.h"
#include "demod/DemodRequest.h"
#include "demod/DemodStream.h"
#include "ops/CheckedInput.h"
#include "signal/SignalStore.h"

#include <memory>
#include <optional>

class ListenStream final : public PlaySource {
public:
    // Plays `plan` over `store`'s values, from its first frame to its end frame.
    ListenStream(const SignalStore& store, const DemodPlan& plan);

    size_t Fill(std::span<int16_t> buffer) override;
    void Rewind() override;
    // The frame the audio last filled comes from, of the recording's frames.
    PlayCursorPlace Cursor() const override;

private:
    std::span<const int16_t> values_;
    DemodPlan plan_;
    Demodulator model_; // its designs are copied at each rewind
    int32_t recordingFrames_;
    std::optional<DemodStream> stream_;
    std::vector<int16_t> made_; // one buffer's audio, kept between fills
};

// Checks `request` against `store` (PlanDemodulation) and makes the stream that plays it; refuses as the
// check does.
CheckedInput<std::unique_ptr<ListenStream>> MakeListenStream(const SignalStore& store,
                                                             const DemodRequest& request);

// What Listen hears of a marked band `lowHz` ... `highHz` (as the picture reads them) from `fromSeconds`
// on, to `toSeconds` when given: the band's width as the bandwidth, and as the frequency its centre (AM,
// FM, WFM, CW), its lower edge (USB's carrier) or its upper edge (LSB's carrier). A band of no width (a
// plain click) is a frequency heard with `bandwidth`.
DemodRequest ListenRequestFor(DemodMode mode, double lowHz, double highHz, double bandwidth,
                              double fromSeconds, std::optional<double> toSeconds);
