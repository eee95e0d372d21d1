#include "app/TElidedPanel.h"

#include <QResizeEvent>

TElidedPanel::TElidedPanel(QWidget* parent) : QLabel(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

QSize TElidedPanel::sizeHint() const {
    const int chrome = width() - contentsRect().width();
    return {widestText_ + chrome + 2, QLabel::sizeHint().height()};
}

QSize TElidedPanel::minimumSizeHint() const {
    return {0, QLabel::minimumSizeHint().height()};
}

void TElidedPanel::SetFullText(const QString& text) {
    if (text == fullText_) return;
    fullText_ = text;
    setToolTip(text);
    const int textWidth = fontMetrics().horizontalAdvance(text);
    if (textWidth > widestText_) {
        widestText_ = textWidth;
        updateGeometry();
    }
    Elide();
}

void TElidedPanel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Elide();
}

void TElidedPanel::Elide() {
    setText(fontMetrics().elidedText(fullText_, Qt::ElideRight, std::max(0, contentsRect().width())));
}
