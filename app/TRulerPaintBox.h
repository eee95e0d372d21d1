// The frequency ruler beside the spectrogram: labels in kHz from half the sample rate at the top to
// 0 Hz at the bottom. A left click emits Click; the right button opens the widget's context menu
// (the palette menu), which the owner attaches through customContextMenuRequested.
#pragma once

#include "app/FrequencyAxis.h"

#include <QWidget>

class TRulerPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TRulerPaintBox(QWidget* parent = nullptr);

    // Redraws the ruler for sample rate `rate` (Hz).
    void DrawRuler(float rate);
    float SampleRate() const { return rate_; }

    // What the ruler shows at its current height.
    std::vector<RulerLabel> CurrentLabels() const { return RulerLabels(rate_, height()); }

signals:
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    float rate_ = 48000;
    bool leftPressed_ = false;
};
