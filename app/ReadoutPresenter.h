// The window's readings, all taken from the axes of the picture in the view: the time, frequency and
// level under the pointer (status panel 5), the extent of the marker rectangle (status panel 6), the
// ruler's bands and the time scale over the picture. The arithmetic is the core's
// (spectral/SpectrogramReadout.h); this object shows it. Levels are read from the samples only while no
// job runs: a job starts only once no level is being computed (StopReadingSamples).
#pragma once

#include "ops/ExtractBand.h"
#include "spectral/LevelReadoutWorker.h"
#include "spectral/SpectrogramReadout.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class TElidedPanel;
class TImgView32;
class TRubberbandLayer;
class TRulerPaintBox;
class TTimeScaleLayer;

// What the window shows of the recording, as of the end of the last job.
struct ShownRecording {
    std::string FileName; // empty: nothing loaded
    int32_t SampleRate = 48000;
    uint16_t ChannelCount = 1;
    int64_t CentreFrequency = 0; // Hz: the radio frequency of the baseband's 0 Hz; 0 when none is known
};

// What Listen hears, as the picture reads it: a band (Low < High) or one frequency (Low == High), in
// baseband hertz, from a time on and, for a marked time range, up to its end.
struct ListenTarget {
    double FromSeconds = 0;
    std::optional<double> ToSeconds;
    double LowHz = 0;
    double HighHz = 0;
};

// Where "Play" starts and, for a marked time range, ends, in seconds of the recording.
struct PlayTimes {
    double FromSeconds = 0;
    std::optional<double> ToSeconds;
};

// Frames up to this length are read on the user-interface thread at each pointer move (a few
// microseconds at N = 1024); longer ones go to the worker, and the readout shows the rest meanwhile.
inline constexpr int32_t kLongestInlineLevelFrame = 65536;

class ReadoutPresenter : public QObject {
    Q_OBJECT
public:
    struct Parts {
        TImgView32* View = nullptr;
        TRulerPaintBox* Ruler = nullptr;
        TElidedPanel* PointerPanel = nullptr;
        TElidedPanel* MarkerPanel = nullptr;
        std::function<TRubberbandLayer*()> Marker;          // the marker rectangle, once it exists
        std::function<const ShownRecording&()> Shown;       // the recording shown
        std::function<std::optional<SampleSpan>()> Samples; // the values; nothing while a job runs
    };

    ReadoutPresenter(Parts parts, QObject* parent);
    ~ReadoutPresenter() override;

    // The axes of the picture in the view, with the rate and centre frequency of the recording shown;
    // nothing when the view shows no picture they belong to.
    std::optional<PictureAxes> ShownAxes() const;
    // A picture was computed with `axes`: the marker moves to the same times and frequencies on it.
    void PictureComputed(const PictureAxes& axes);
    // The view shows no picture any more.
    void PictureCleared();
    // After a job, or a change of what is shown: the ruler's bands, the time scale and both readouts.
    void Follow();

    void PointerAt(int x, int y);
    void PointerLeft();
    void ShowMarker();
    // The marker's time range and band, for Extract: nothing without a marker that covers some time in
    // one band.
    std::optional<ExtractRequest> MarkedBand() const;
    // A click on the picture at bitmap point (x, y): the time and frequency Listen takes without a marked
    // band.
    void Clicked(double x, double y);
    // The marked band over its time range, or without one the last click's frequency from its time on;
    // nothing when neither is on the picture shown.
    std::optional<ListenTarget> MarkedForListening() const;
    // The marker's time range while it is shown and spans some time, or without one the last click's
    // time on; nothing when neither is on the picture shown.
    std::optional<PlayTimes> MarkedForPlaying() const;
    // The last click no longer counts (for Listen and for playing).
    void ForgetClick() { clicked_.reset(); }
    // Frees the samples for a job: no level is being computed from them once it returns.
    void StopReadingSamples();

    TTimeScaleLayer* TimeScale() const { return timeScale_; }
    uint64_t LevelsDelivered() const;
    uint64_t LevelsAbandoned() const;

private:
    void ShowLevel(uint64_t request, std::optional<double> dbfs);

    Parts parts_;
    std::optional<PictureAxes> axes_;     // of the last picture computed
    std::optional<ListenTarget> clicked_; // the last click on that picture
    std::unique_ptr<LevelReadoutWorker> worker_;
    ReadoutWindow inlineWindow_; // the user-interface thread's own window table
    uint64_t awaitedLevel_ = 0;  // number of the worker's request the readout waits for; 0: none
    bool pointerOver_ = false;   // the pointer is over the picture
    int pointerX_ = 0;           // its last view position
    int pointerY_ = 0;
    int64_t column_ = 0; // what the readout shows
    RowReading row_;
    int32_t coveredRows_ = 1; // picture rows under the pointer's screen pixel
    TTimeScaleLayer* timeScale_ = nullptr;
};
