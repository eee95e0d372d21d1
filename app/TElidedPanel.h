// A status panel whose text is cut with an ellipsis when the panel is narrower than the text; the
// whole text stays in its tool tip and in FullText, and shows again as soon as there is room. It asks
// the bar for the width of the longest text it has shown (so that it does not jump with every new
// text) and can shrink to nothing.
#pragma once

#include <QLabel>

class TElidedPanel : public QLabel {
    Q_OBJECT
public:
    explicit TElidedPanel(QWidget* parent = nullptr);

    void SetFullText(const QString& text);
    const QString& FullText() const { return fullText_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Elide();

    QString fullText_;
    int widestText_ = 0;
};
