// A full repaint of a 1920 x 1080 image view showing the largest picture the image size limit admits
// (16384 x 8000 pixels, 500 MiB), in stretch mode and in zoom mode at several scales, nearest and
// linear. The target is at most 16 ms per repaint. BM_ViewRepaint goes through the widget's paint
// event (picture, centre line and play cursor, blit into the window's backing store); BM_RenderPicture is the
// picture drawing alone.
#include "spectral/LevelScale.h"
#include "view/PeakShrink.h"
#include "view/PictureRenderer.h"
#include "view/TBitmap32.h"
#include "view/qt/TImgView32.h"

#include <QApplication>
#include <QEvent>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <string>

namespace {

constexpr int kViewWidth = 1920;
constexpr int kViewHeight = 1080;
constexpr int kPictureWidth = 16384;
constexpr int kPictureHeight = 8000;

const TBitmap32& LargestPicture() {
    static const TBitmap32 picture = [] {
        TBitmap32 b;
        b.SetSize(kPictureWidth, kPictureHeight);
        const TPixelAccess px = b.WritablePixels();
        for (int y = 0; y < px.Height; ++y) {
            TColor32* row = px.Row(y);
            for (int x = 0; x < px.Width; ++x) row[x] = Color32(uint8_t(x), uint8_t(y), uint8_t(x ^ y));
        }
        b.Changed();
        return b;
    }();
    return picture;
}

// The largest picture again, in the colours of the "Spectrum" ramp (a diagonal pattern through all of
// them), for the peak-keeping drawing, which ranks every pixel it reads.
const TBitmap32& LargestRampPicture() {
    static const TBitmap32 picture = [] {
        const std::vector<TColor32> ramp = SpectrumRampColours();
        TBitmap32 b;
        b.SetSize(kPictureWidth, kPictureHeight);
        const TPixelAccess px = b.WritablePixels();
        for (int y = 0; y < px.Height; ++y) {
            TColor32* row = px.Row(y);
            for (int x = 0; x < px.Width; ++x) row[x] = ramp[size_t(x * 7 + y * 13) % ramp.size()];
        }
        b.Changed();
        return b;
    }();
    return picture;
}

const std::shared_ptr<const TLevelRanking>& SpectrumRanking() {
    static const auto ranking =
        std::make_shared<const TLevelRanking>(RankingOfPalette(PaletteItem::Spectrum));
    return ranking;
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int Count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++Count;
        return false;
    }
};

// Scale 0 stands for the stretch mode.
struct Setup {
    float Scale;
    bool Linear;
};

const Setup kSetups[] = {{0, false},  {0, true},  {1, false},    {1, true},
                         {10, false}, {10, true}, {0.1f, false}, {0.1f, true}};

std::string Label(const Setup& s) {
    const std::string mode = s.Scale == 0 ? "stretch" : "zoom x" + std::to_string(s.Scale).substr(0, 4);
    return mode + (s.Linear ? " linear" : " nearest");
}

void ViewRepaint(benchmark::State& state, bool peaks) {
    const Setup setup = kSetups[state.range(0)];
    TImgView32 view;
    view.SetBitmap(peaks ? LargestRampPicture() : LargestPicture());
    if (peaks) view.SetLevelRanking(SpectrumRanking());
    view.SetResamplerClassName(setup.Linear ? "TLinearResampler" : "TNearestResampler");
    if (setup.Scale != 0) {
        view.SetScaleMode(TScaleMode::smScale);
        view.SetScrollBarVisibility(TScrollBarVisibility::svAlways);
        view.SetScaleX(setup.Scale);
        view.SetScaleY(setup.Scale);
    }
    view.CreateCentreLine();
    view.CreatePlayCursor();
    view.Overlays().SetPlayCursorVisible(true);
    view.resize(kViewWidth + (setup.Scale != 0 ? view.verticalScrollBar()->sizeHint().width() : 0),
                kViewHeight + (setup.Scale != 0 ? view.horizontalScrollBar()->sizeHint().height() : 0));
    view.show();
    QApplication::processEvents();
    // the middle of the picture, where the scrolled-to part lies
    view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum() / 2);
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum() / 2);
    PaintCounter paints;
    view.viewport()->installEventFilter(&paints);
    for (auto _ : state) {
        view.viewport()->repaint();
    }
    // one paint event per iteration shows that every repaint really drew
    state.counters["paints"] = benchmark::Counter(double(paints.Count), benchmark::Counter::kAvgIterations);
    state.SetLabel(Label(setup) + " " + std::to_string(view.viewport()->width()) + "x" +
                   std::to_string(view.viewport()->height()));
}

void BM_ViewRepaint(benchmark::State& state) {
    ViewRepaint(state, false);
}

// The same with peak-keeping shrink: a repaint of an unchanged view reuses the reduction of the first.
void BM_ViewRepaintPeaks(benchmark::State& state) {
    ViewRepaint(state, true);
}

// `peaks`: with peak-keeping shrink and no kept reduction, as the first drawing after a change of
// picture, size or scroll position.
void RenderPicture(benchmark::State& state, bool peaks) {
    const Setup setup = kSetups[state.range(0)];
    TBitmap32 picture;
    picture.Assign(peaks ? LargestRampPicture() : LargestPicture());
    picture.SetResamplerClassName(setup.Linear ? "TLinearResampler" : "TNearestResampler");
    TPlacementInput in;
    in.BitmapWidth = picture.Width();
    in.BitmapHeight = picture.Height();
    in.ClientWidth = kViewWidth;
    in.ClientHeight = kViewHeight;
    if (setup.Scale != 0) {
        in.ScaleMode = TScaleMode::smScale;
        in.ScaleX = in.ScaleY = setup.Scale;
        in.OffsetX = -(ScaledExtent(picture.Width(), setup.Scale) - kViewWidth) / 2.0;
        in.OffsetY = -(ScaledExtent(picture.Height(), setup.Scale) - kViewHeight) / 2.0;
        if (in.OffsetX > 0) in.OffsetX = 0;
        if (in.OffsetY > 0) in.OffsetY = 0;
    }
    const TViewPlacement placement = ComputePlacement(in);
    TBitmap32 buffer;
    buffer.SetSize(kViewWidth, kViewHeight);
    const TPixelAccess target = buffer.WritablePixels();
    for (auto _ : state) {
        ::RenderPicture(target, picture, placement, {0, 0, kViewWidth, kViewHeight}, 0xFF6C6C6Cu,
                        peaks ? SpectrumRanking().get() : nullptr);
        benchmark::DoNotOptimize(target.Bits);
    }
    state.SetLabel(Label(setup));
}

void BM_RenderPicture(benchmark::State& state) {
    RenderPicture(state, false);
}

void BM_RenderPicturePeaks(benchmark::State& state) {
    RenderPicture(state, true);
}

// The reduction for the screen alone (ShrinkToPeaks), the picture in the "Spectrum" ramp's colours at
// random: the 500 MB recording's picture into a window (spans of 244 columns), the largest square-ish
// picture into 1920 x 1080 (spans of 8 to 9 columns and 7 to 8 rows), and a tall one whose columns are not
// shrunk (spans of one pixel).
struct ShrinkCase {
    int Width, Height, ViewWidth, ViewHeight;
};
const ShrinkCase kShrinkCases[] = {
    {244143, 512, 1000, 400}, {16384, 8000, 1920, 1080}, {1500, 16000, 1500, 1000}};

void BM_ShrinkToPeaks(benchmark::State& state) {
    const ShrinkCase shape = kShrinkCases[state.range(0)];
    const std::vector<TColor32> ramp = SpectrumRampColours();
    TBitmap32 picture;
    picture.SetSize(shape.Width, shape.Height);
    const TPixelAccess px = picture.WritablePixels();
    std::mt19937 random(7);
    for (int32_t i = 0; i < px.Width * px.Height; ++i) px.Bits[i] = ramp[random() % ramp.size()];
    const TViewPlacement placement{0, 0, shape.ViewWidth, shape.ViewHeight, shape.Width, shape.Height};
    TPeakShrunkPicture out;
    for (auto _ : state)
        ShrinkToPeaks(picture, *SpectrumRanking(), placement, {0, 0, shape.ViewWidth, shape.ViewHeight},
                      {0, shape.Width}, {0, shape.Height}, out);
    state.SetLabel(std::to_string(shape.Width) + "x" + std::to_string(shape.Height) + " into " +
                   std::to_string(shape.ViewWidth) + "x" + std::to_string(shape.ViewHeight));
}

// The other shapes the size limit admits: every height the FFT sizes give (N / 2 rows), each at the
// greatest width below 501 MiB, from 16 million columns of 8 rows to 31 columns of 4 million rows.
struct Shape {
    int Width;
    int Height;
};
const Shape kShapes[] = {{16416767, 8}, {1026047, 128}, {128255, 1024}, {32063, 4096},
                         {4007, 32768}, {250, 524288},  {31, 4194304}};

// Stretch, zoom x1 and the smallest zoom (the 0.001 floor); nearest and linear.
const Setup kShapeSetups[] = {{0, false}, {0, true}, {1, false}, {1, true}, {0.001f, false}, {0.001f, true}};

void FillPicture(TBitmap32& b, const Shape& shape) {
    b.SetSize(shape.Width, shape.Height);
    const TPixelAccess px = b.WritablePixels();
    for (int y = 0; y < px.Height; ++y) {
        TColor32* row = px.Row(y);
        for (int x = 0; x < px.Width; ++x) row[x] = Color32(uint8_t(x), uint8_t(y), uint8_t(x ^ y));
    }
    b.Changed();
}

void BM_ViewRepaintShapes(benchmark::State& state) {
    const Shape shape = kShapes[state.range(0)];
    const Setup setup = kShapeSetups[state.range(1)];
    TImgView32 view;
    FillPicture(view.Bitmap(), shape); // drawn in place, without a second copy of half a gigabyte
    view.Changed();
    view.SetResamplerClassName(setup.Linear ? "TLinearResampler" : "TNearestResampler");
    if (setup.Scale != 0) {
        view.SetScaleMode(TScaleMode::smScale);
        view.SetScrollBarVisibility(TScrollBarVisibility::svAlways);
        view.SetScaleX(setup.Scale);
        view.SetScaleY(setup.Scale);
    }
    view.resize(kViewWidth + (setup.Scale != 0 ? view.verticalScrollBar()->sizeHint().width() : 0),
                kViewHeight + (setup.Scale != 0 ? view.horizontalScrollBar()->sizeHint().height() : 0));
    view.show();
    QApplication::processEvents();
    view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum() / 2);
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum() / 2);
    PaintCounter paints;
    view.viewport()->installEventFilter(&paints);
    for (auto _ : state) {
        view.viewport()->repaint();
    }
    state.counters["paints"] = benchmark::Counter(double(paints.Count), benchmark::Counter::kAvgIterations);
    state.SetLabel(std::to_string(shape.Width) + "x" + std::to_string(shape.Height) + " " + Label(setup));
}

// Wall time, and the CPU time of all threads together: on a busy machine the latter bounds what one
// repaint costs on an idle one.
BENCHMARK(BM_ViewRepaint)
    ->DenseRange(0, 7)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_ViewRepaintShapes)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 6, 1), benchmark::CreateDenseRange(0, 5, 1)})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_RenderPicture)
    ->DenseRange(0, 7)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_ViewRepaintPeaks)
    ->DenseRange(0, 7)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_ShrinkToPeaks)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_RenderPicturePeaks)
    ->DenseRange(0, 7)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
