#include "app/TRulerPaintBox.h"

#include "app/WindowLook.h"

#include <QMouseEvent>
#include <QPainter>

TRulerPaintBox::TRulerPaintBox(QWidget* parent) : QWidget(parent) {
    QFont font = this->font();
    font.setPixelSize(11);
    font.setBold(false);
    setFont(font);
    setContextMenuPolicy(Qt::CustomContextMenu);
}

void TRulerPaintBox::DrawRuler(float rate) {
    rate_ = rate;
    update();
}

void TRulerPaintBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kRulerBackground);
    painter.setPen(Qt::white);
    const int lineHeight = fontMetrics().height();
    for (const RulerLabel& label : CurrentLabels())
        painter.drawText(QRect(label.X, label.Y, width() + 100, lineHeight), Qt::AlignLeft | Qt::AlignTop,
                         QString::fromStdString(label.Text));
}

void TRulerPaintBox::mousePressEvent(QMouseEvent* event) {
    leftPressed_ = event->button() == Qt::LeftButton;
    QWidget::mousePressEvent(event);
}

void TRulerPaintBox::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        leftPressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    leftPressed_ = false;
    if (click) emit Click();
    QWidget::mouseReleaseEvent(event);
}
