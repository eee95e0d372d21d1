// The level legend beside the ruler: the palette in use from the weakest level (bottom) to the
// strongest (top) with dBFS values at a few ticks, drawn by the core's legend drawing (view/LegendBar.h)
// in the built-in font, as pictures with axes show it.
#pragma once

#include "view/LegendBar.h"

#include <QWidget>

class TLevelLegendBox : public QWidget {
    Q_OBJECT
public:
    explicit TLevelLegendBox(QWidget* parent = nullptr);

    // The legend to draw; an empty bar draws the background alone (no picture).
    void SetLegend(TLegendBar legend);
    const TLegendBar& Legend() const { return legend_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TLegendBar legend_;
};
