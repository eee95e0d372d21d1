// A status panel whose text is cut with an ellipsis when the panel is narrower than the text; the
// whole text stays in its tool tip and in FullText, and shows again as soon as there is room. It asks
// the bar for the width of the longest text it has shown (so that it does not jump with every new
// text) and can shrink to nothing, unless SetShare gives it other widths.
#pragma once

#include <QLabel>

class TElidedPanel : public QLabel {
    Q_OBJECT
public:
    explicit TElidedPanel(QWidget* parent = nullptr);

    void SetFullText(const QString& text);
    const QString& FullText() const { return fullText_; }
    // True when the panel shows its whole text, without an ellipsis.
    bool ShowsWholeText() const { return text() == fullText_; }

    // How the panel shares a short bar: it asks for `preferred` pixels (0: its longest text) and
    // gives way down to `least` pixels; a negative `least` keeps the longest text whole, up to
    // -least pixels.
    void SetShare(int least, int preferred);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Elide();
    int Chrome() const;

    QString fullText_;
    int widestText_ = 0;
    int least_ = 0;
    int preferred_ = 0;
};
