// The tool bar's progress indicator. It draws itself into a 32-bit back buffer (see
// view/ProgressBarDrawing.h): a frame, a trough in BackColor and a shaded bar in Color from Min to
// Position. Colours are in the toolkit encoding of view/ToolkitColor.h; the system colours come from
// the widget's palette (16, button shadow: Dark; 6, window frame: Shadow).
//
// Every setter except SetPosition schedules a redraw. SetPosition redraws at once (synchronously),
// so progress shows even when the event loop is busy; setting the current value does nothing.
#pragma once

#include "view/ProgressBarDrawing.h"
#include "view/TBitmap32.h"
#include "view/ToolkitColor.h"

#include <QWidget>

enum class TBorderStyle { bsNone, bsSingle };

class TG32_ProgressBar : public QWidget {
    Q_OBJECT
public:
    explicit TG32_ProgressBar(QWidget* parent = nullptr);

    TColor BackColor() const { return backColor_; }
    void SetBackColor(TColor colour);
    // Stored and redrawn; the drawing does not depend on it.
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    int Contrast() const { return look_.Contrast; }
    void SetContrast(int contrast);
    bool Framed() const { return look_.Framed; }
    void SetFramed(bool framed);
    int Max() const { return look_.Max; }
    void SetMax(int max);
    int Min() const { return look_.Min; }
    void SetMin(int min);
    int Position() const { return look_.Position; }
    void SetPosition(int position);
    // The bar's colour.
    TColor Color() const { return color_; }
    void SetColor(TColor colour);

    // The system colour number's plain colour, from this widget's palette.
    TColor SystemColor(uint32_t index) const;

    // The back buffer as last drawn (drawn first if it is out of date).
    const TBitmap32& Buffer();
    // How many times the back buffer has been drawn.
    int BufferPaintCount() const { return bufferPaints_; }

    QSize sizeHint() const override { return {150, 16}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Invalidate();
    void PaintBuffer();

    TProgressBarLook look_; // the integer properties; the pixels are resolved at each drawing
    TColor backColor_ = clBtnShadow;
    TColor color_ = clLime;
    TBorderStyle borderStyle_ = TBorderStyle::bsNone;
    TBitmap32 buffer_;
    bool bufferValid_ = false;
    int bufferPaints_ = 0;
};
