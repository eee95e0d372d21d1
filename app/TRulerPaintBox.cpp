#include "app/TRulerPaintBox.h"

#include "app/WindowLook.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

TRulerPaintBox::TRulerPaintBox(QWidget* parent) : QWidget(parent) {
    QFont font = this->font();
    font.setPixelSize(11);
    font.setBold(false);
    // A narrow face, so that "- 22.0" fits the 28 pixels of the column.
    font.setStretch(QFont::Condensed);
    setFont(font);
    setContextMenuPolicy(Qt::CustomContextMenu);
}

void TRulerPaintBox::DrawRuler(float rate) {
    rate_ = rate;
    update();
}

void TRulerPaintBox::SetPictureRows(int bands, int rowsPerBand) {
    if (bands == bands_ && rowsPerBand == rowsPerBand_) return;
    bands_ = bands;
    rowsPerBand_ = rowsPerBand;
    update();
}

void TRulerPaintBox::SetComplexScale(bool complex, int64_t centreHertz) {
    if (complex == complex_ && centreHertz == centreHertz_) return;
    complex_ = complex;
    centreHertz_ = centreHertz;
    update();
}

std::vector<RulerBandRange> TRulerPaintBox::VisibleRanges() const {
    const std::optional<ZoomedRulerPlace> zoomed = zoomProvider_ ? zoomProvider_() : std::nullopt;
    return zoomed ? VisibleFrequencyRanges(FrequencyScale(), *zoomed) : std::vector<RulerBandRange>{};
}

// Zoomed, the labels of the part in sight (already spaced apart); fitted, the whole scale's labels
// thinned where they would meet.
RulerLayout TRulerPaintBox::CurrentLayout() const {
    const QFontMetrics metrics = fontMetrics();
    const RulerFontMetrics font{metrics.height(), [metrics](const std::string& text) {
                                    return metrics.horizontalAdvance(QString::fromStdString(text));
                                }};
    if (const std::optional<ZoomedRulerPlace> zoomed = zoomProvider_ ? zoomProvider_() : std::nullopt)
        return PlaceRulerLabels(ZoomedRulerLabels(FrequencyScale(), *zoomed), font);
    RulerScales scales;
    scales.Rate = rate_;
    scales.Span = spanProvider_ ? spanProvider_() : RulerSpan{0, double(height())};
    scales.Bands = complex_ ? 1 : bands_;
    scales.Rows = rowsPerBand_;
    scales.Complex = complex_;
    scales.CentreHertz = centreHertz_;
    return LayOutRuler(scales, font);
}

std::vector<RulerLabel> TRulerPaintBox::CurrentLabels() const {
    std::vector<RulerLabel> labels;
    for (const PlacedRulerLabel& placed : CurrentLayout().Labels) labels.push_back(placed.Label);
    return labels;
}

// Labels much wider than the column (radio frequencies) widen it; once they fit again it returns to
// its width.
void TRulerPaintBox::AskForWidth(const RulerLayout& layout) {
    if (baseWidth_ == 0) baseWidth_ = width();
    const int wanted = layout.Width * 5 > baseWidth_ * 6 ? layout.Width + 1 : baseWidth_;
    if (wanted != width()) emit WidthWanted(wanted);
}

void TRulerPaintBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kRulerBackground);
    painter.setPen(Qt::white);
    const int lineHeight = fontMetrics().height();
    const RulerLayout layout = CurrentLayout();
    AskForWidth(layout);
    for (const PlacedRulerLabel& placed : layout.Labels) {
        const RulerLabel& label = placed.Label;
        const QString text = QString::fromStdString(label.Text);
        const int textWidth = fontMetrics().horizontalAdvance(text);
        const int room = width() - label.X;
        // A label wider than the column (a font wider than the one the column was sized for) is
        // narrowed to fit rather than cut off.
        painter.save();
        painter.translate(label.X, label.Y);
        if (textWidth > room && room > 0) painter.scale(double(room) / textWidth, 1.0);
        painter.drawText(QRect(0, 0, std::max(textWidth, room), lineHeight), Qt::AlignLeft | Qt::AlignTop,
                         text);
        painter.restore();
    }
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
