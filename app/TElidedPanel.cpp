#include "app/TElidedPanel.h"

#include <QResizeEvent>

#include <algorithm>

TElidedPanel::TElidedPanel(QWidget* parent) : QLabel(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

int TElidedPanel::Chrome() const {
    return width() - contentsRect().width() + 2;
}

QSize TElidedPanel::sizeHint() const {
    const int width = preferred_ > 0 ? preferred_ : widestText_ + Chrome();
    return {width, QLabel::sizeHint().height()};
}

QSize TElidedPanel::minimumSizeHint() const {
    const int least = least_ >= 0 ? least_ : std::min(widestText_ + Chrome(), -least_);
    return {least, QLabel::minimumSizeHint().height()};
}

void TElidedPanel::SetShare(int least, int preferred) {
    least_ = least;
    preferred_ = preferred;
    updateGeometry();
}

void TElidedPanel::SetFullText(const QString& text) {
    if (text == fullText_) return;
    fullText_ = text;
    setToolTip(text.trimmed());
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
