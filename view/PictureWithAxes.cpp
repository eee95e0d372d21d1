#include "view/PictureWithAxes.h"

#include "spectral/LevelLegend.h"
#include "spectral/SpectrogramPictureLayout.h"
#include "spectral/SpectrogramSettings.h"
#include "view/BitmapFont.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>

namespace {

constexpr TColor32 kPaper = kOpaqueWhite;
constexpr TColor32 kInk = kOpaqueBlack;
constexpr int kGap = 8;            // between the parts, and around them
constexpr int kTickLength = 4;     // of the time scale's ticks
constexpr int kLabelSpacing = 14;  // free pixels between neighbouring time labels at the least
constexpr int kLegendHeight = 150; // the legend's height at the least, beside a picture of few rows
// The ruler's labels are placed for a text whose middle lies 6 pixels below their top.
constexpr int kRulerTextMiddle = 6;

int RulerWidth(const std::vector<RulerLabel>& labels) {
    int width = 0;
    for (const RulerLabel& l : labels) width = std::max(width, l.X + TextWidth(l.Text));
    return width;
}

std::string MegahertzText(int64_t hertz) {
    char buffer[64];
    const auto r =
        std::to_chars(buffer, buffer + sizeof buffer, double(hertz) / 1e6, std::chars_format::fixed, 6);
    return std::string(buffer, r.ptr) + " MHz";
}

std::string TitleOf(const PictureAxes& axes, const PictureDescription& d) {
    std::string title = std::filesystem::path(d.FileName).filename().string();
    title += "  N " + std::to_string(axes.FFTSize);
    if (axes.WindowIndex >= 0 && size_t(axes.WindowIndex) < kFFTWindowItems.size())
        title += "  " + std::string(kFFTWindowItems[size_t(axes.WindowIndex)]);
    title += "  gain " + std::to_string(d.Gain);
    if (axes.CentreHertz > 0) title += "  centre " + MegahertzText(axes.CentreHertz);
    return title;
}

std::vector<RulerLabel> FrequencyLabelsOf(const PictureAxes& axes) {
    const RulerSpan span{0, double(axes.Height)};
    if (axes.Complex) return ComplexRulerLabels(float(axes.SampleRate), span, axes.Height, axes.CentreHertz);
    return BandRulerLabels(float(axes.SampleRate), span, SpectrogramBandCount(axes.ChannelCount),
                           SpectrogramBandRows(axes.FFTSize, axes.ChannelCount));
}

// The window's time scale chooses its step so: the least round step 40 pixels apart, then the least
// that keeps its widest label clear of the next.
std::vector<TimeTick> TimeTicksOf(const PictureAxes& axes) {
    const double perColumn = SecondsPerColumn(axes);
    if (!(perColumn > 0)) return {};
    const TimeAxisPlacement placement{PictureXAtSeconds(axes, 0), 1.0 / perColumn};
    double step = TimeScaleStep(placement.PixelsPerSecond, 40);
    int widest = 0;
    for (const TimeTick& t : TimeScaleTicks(placement, step, 0, axes.Width, 0.0))
        widest = std::max(widest, TextWidth(t.Text));
    if (widest > 0) step = TimeScaleStep(placement.PixelsPerSecond, widest + kLabelSpacing);
    return TimeScaleTicks(placement, step, 0, axes.Width, 0.0);
}

// The labels that can be read at the picture's own size: the unit labels first, then each value label
// that keeps clear of every label kept before it (the window's ruler is as tall as the view; a
// picture of few rows has less room).
std::vector<RulerLabel> ReadableLabels(const std::vector<RulerLabel>& labels) {
    std::vector<RulerLabel> kept;
    const auto clear = [&kept](const RulerLabel& l) {
        return std::none_of(kept.begin(), kept.end(),
                            [&l](const RulerLabel& k) { return std::abs(k.Y - l.Y) < kGlyphCellHeight; });
    };
    for (const bool units : {true, false})
        for (const RulerLabel& l : labels)
            if ((l.Text.rfind("- ", 0) != 0) == units && clear(l)) kept.push_back(l);
    return kept;
}

} // namespace

TBitmap32 ComposePictureWithAxes(const TBitmap32& picture, const TAxesAnnotations& a) {
    const int32_t rulerLeft = kAxesPictureLeft + picture.Width() + 2;
    const int32_t legendLeft = rulerLeft + RulerWidth(a.FrequencyLabels) + kGap;
    const int32_t width =
        std::max(legendLeft + LegendWidth(a.Legend) + kGap, kAxesPictureLeft + TextWidth(a.Title) + kGap);
    const int32_t scaleTop = kAxesPictureTop + picture.Height();
    const int32_t legendBottom = std::max(scaleTop, kAxesPictureTop + kLegendHeight);
    const int32_t height = std::max(scaleTop + kTickLength + kGlyphCellHeight, legendBottom) + kGap;
    TBitmap32 out;
    out.SetSize(width, height);
    out.Clear(kPaper);
    const TPixelAccess px = out.WritablePixels();
    for (int32_t y = 0; y < picture.Height(); ++y) {
        const TColor32* row = picture.Bits() + size_t(y) * size_t(picture.Width());
        std::copy(row, row + picture.Width(), px.Row(kAxesPictureTop + y) + kAxesPictureLeft);
    }
    DrawText(px, kAxesPictureLeft, (kAxesPictureTop - kGlyphCellHeight) / 2, a.Title, kInk);
    for (const RulerLabel& l : ReadableLabels(a.FrequencyLabels))
        DrawText(px, rulerLeft + l.X, kAxesPictureTop + l.Y + kRulerTextMiddle - kGlyphTopGap - 3, l.Text,
                 kInk);
    for (const TimeTick& t : a.TimeTicks) {
        const int x = kAxesPictureLeft + int(std::floor(t.X));
        for (int k = 0; k < kTickLength; ++k) px.SetPixelClipped(x, scaleTop + k, kInk);
        DrawText(px, x - TextWidth(t.Text) / 2, scaleTop + kTickLength, t.Text, kInk);
    }
    DrawLegendBar(px, {legendLeft, kAxesPictureTop, width - kGap, legendBottom}, a.Legend, kInk, kPaper);
    out.Changed();
    return out;
}

TAxesAnnotations AnnotationsOf(const PictureAxes& axes, const PictureDescription& d) {
    TAxesAnnotations a;
    a.Title = TitleOf(axes, d);
    a.FrequencyLabels = FrequencyLabelsOf(axes);
    a.TimeTicks = TimeTicksOf(axes);
    a.Legend = LegendBarOf(MakeLevelLegend(axes, d.Gain, d.Palette));
    return a;
}

TBitmap32 PictureWithAxes(const TBitmap32& shown, const PictureAxes& axes, const PictureDescription& d) {
    return ComposePictureWithAxes(shown, AnnotationsOf(axes, d));
}
