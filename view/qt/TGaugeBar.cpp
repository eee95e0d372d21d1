#include "view/qt/TGaugeBar.h"

TGaugeBar::TGaugeBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setRange(-100, 100);
    setValue(0);
    setSingleStep(1);
    setPageStep(10);
    connect(this, &QSlider::valueChanged, this, [this](int) { emit Change(); });
}

void TGaugeBar::SetPosition(int position) {
    setValue(position);
}

void TGaugeBar::SetRange(int min, int max) {
    setRange(min, max);
}
