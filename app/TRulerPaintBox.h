// The frequency ruler beside the spectrogram: labels in kHz from half the sample rate at the top to
// 0 Hz at the bottom of each band of the picture (one band, or one per channel). A left click emits
// Click; the right button opens the widget's context menu (the palette menu), which the owner attaches
// through customContextMenuRequested.
#pragma once

#include "app/RulerLayout.h"
#include "app/ZoomedRuler.h"
#include "view/FrequencyAxis.h"

#include <QWidget>

#include <functional>
#include <optional>

class TRulerPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TRulerPaintBox(QWidget* parent = nullptr);

    // Redraws the ruler for sample rate `rate` (Hz).
    void DrawRuler(float rate);
    float SampleRate() const { return rate_; }

    // The picture's bands and the rows of each (0: not known), which the scales follow.
    void SetPictureRows(int bands, int rowsPerBand);
    int Bands() const { return bands_; }
    // The complex picture of two channels (one band from +R/2 to -R/2) and the recording's centre
    // frequency in Hz (0: none known), which the labels then give as radio frequencies.
    void SetComplexScale(bool complex, int64_t centreHertz);
    bool Complex() const { return complex_; }
    // Where the picture stands beside the ruler, asked at every paint; without it, the ruler's height.
    void SetSpanProvider(std::function<RulerSpan()> provider) { spanProvider_ = std::move(provider); }

    // While the picture is zoomed, where it stands beside the ruler (nothing otherwise), asked at every
    // paint: the labels then follow the part in sight (app/ZoomedRuler.h).
    void SetZoomProvider(std::function<std::optional<ZoomedRulerPlace>()> provider) {
        zoomProvider_ = std::move(provider);
    }
    // The frequencies beside the zoomed view, per band in sight; empty while the picture is fitted.
    std::vector<RulerBandRange> VisibleRanges() const;

    // What the ruler shows now: the labels, and with their rectangles in this widget's font.
    std::vector<RulerLabel> CurrentLabels() const;
    RulerLayout CurrentLayout() const;

signals:
    void Click();
    // The labels need a column `width` pixels wide (labels up to a fifth wider than the column are
    // narrowed to fit instead); the owner sizes the ruler's column.
    void WidthWanted(int width);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void AskForWidth(const RulerLayout& layout);
    RulerFrequencyScale FrequencyScale() const {
        return {rate_, bands_, rowsPerBand_, complex_, centreHertz_};
    }

    float rate_ = 48000;
    int bands_ = 1;
    int rowsPerBand_ = 0;
    bool complex_ = false;
    int64_t centreHertz_ = 0;
    std::function<RulerSpan()> spanProvider_;
    std::function<std::optional<ZoomedRulerPlace>()> zoomProvider_;
    bool leftPressed_ = false;
    int baseWidth_ = 0; // the column's width before any widening
};
