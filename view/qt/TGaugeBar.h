// A horizontal slider with an integer position, used for the zoom sliders gbPositionX and
// gbPositionY. The position is kept within Min .. Max (default -100 .. 100, initially 0); every
// change of the position, by the user or by SetPosition, emits Change once.
#pragma once

#include <QSlider>

class TGaugeBar : public QSlider {
    Q_OBJECT
public:
    explicit TGaugeBar(QWidget* parent = nullptr);

    int Position() const { return value(); }
    // Stores the position clamped to Min .. Max; emits Change when the stored value changes.
    void SetPosition(int position);
    int Min() const { return minimum(); }
    int Max() const { return maximum(); }
    // Sets the range; a position outside the new range is moved into it (and Change fires).
    void SetRange(int min, int max);

signals:
    void Change();
};
