#include "app/ButtonGlyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int kGlyphSize = 16;

void DrawMagnifier(QPainter& p) {
    p.setPen(QPen(Qt::black, 1.6));
    p.setBrush(QColor(200, 230, 255));
    p.drawEllipse(QRectF(2, 2, 8, 8));
    p.setPen(QPen(QColor(90, 60, 20), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
}

void DrawGlyph(QPainter& p, ButtonGlyph glyph) {
    switch (glyph) {
    case ButtonGlyph::StopCalculate:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 20, 20));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.setPen(QPen(Qt::white, 2));
        p.drawLine(QPointF(5, 5), QPointF(11, 11));
        p.drawLine(QPointF(11, 5), QPointF(5, 11));
        break;
    case ButtonGlyph::SaveBitmap: {
        p.setPen(QPen(Qt::black, 1));
        QLinearGradient sky(0, 2, 0, 14);
        sky.setColorAt(0, QColor(0, 0, 128));
        sky.setColorAt(0.5, QColor(0, 200, 0));
        sky.setColorAt(1, QColor(255, 220, 0));
        p.setBrush(sky);
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        break;
    }
    case ButtonGlyph::SaveSignal: {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(60, 90, 160));
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        QPainterPath wave;
        wave.moveTo(3, 11);
        for (int x = 3; x <= 13; ++x) wave.lineTo(x, 11 + ((x % 2) ? -2 : 2));
        p.setPen(QPen(Qt::yellow, 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(wave);
        break;
    }
    case ButtonGlyph::Zoom:
        DrawMagnifier(p);
        break;
    case ButtonGlyph::ResetZoom:
        DrawMagnifier(p);
        p.setPen(QPen(Qt::black, 1.2));
        p.drawLine(QPointF(4, 5), QPointF(8, 5));
        p.drawLine(QPointF(4, 7), QPointF(8, 7));
        break;
    case ButtonGlyph::Antialiasing: {
        QLinearGradient ramp(1, 14, 14, 1);
        ramp.setColorAt(0, Qt::black);
        ramp.setColorAt(1, Qt::white);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(ramp);
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        break;
    }
    case ButtonGlyph::StopPlay:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 30, 30));
        p.drawRect(QRectF(3, 3, 10, 10));
        break;
    case ButtonGlyph::Play: {
        QPainterPath triangle;
        triangle.moveTo(4, 2);
        triangle.lineTo(14, 8);
        triangle.lineTo(4, 14);
        triangle.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 120, 0));
        p.drawPath(triangle);
        break;
    }
    case ButtonGlyph::LoopPlay: {
        p.setPen(QPen(QColor(0, 90, 160), 2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(2.5, 2.5, 11, 11), 30 * 16, 300 * 16);
        QPainterPath head;
        head.moveTo(12, 1);
        head.lineTo(15, 6);
        head.lineTo(10, 6);
        head.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 90, 160));
        p.drawPath(head);
        break;
    }
    }
}

} // namespace

QIcon MakeButtonGlyph(ButtonGlyph glyph) {
    QPixmap pixmap(kGlyphSize, kGlyphSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawGlyph(painter, glyph);
    painter.end();
    return QIcon(pixmap);
}
