#include "spectral/LevelLegend.h"

#include <cmath>
#include <string>

namespace {

constexpr double kTickStepDb = 10.0;
constexpr int kBarColours = 256;

} // namespace

LevelLegend MakeLevelLegend(const PictureAxes& axes, int32_t gain, PaletteItem palette) {
    LevelLegend legend;
    legend.Gain = gain;
    legend.Palette = palette;
    legend.FullScale = BinFullScale(axes, MakeReadoutWindow(axes.WindowIndex, axes.FFTSize), 0, false);
    legend.TopDbfs = PictureLevelDbfs(kSaturationLevel, gain, legend.FullScale);
    legend.BottomDbfs = legend.TopDbfs - kLegendRangeDb;
    if (!std::isfinite(legend.TopDbfs)) return legend;
    for (double t = std::ceil(legend.BottomDbfs / kTickStepDb) * kTickStepDb; t <= legend.TopDbfs;
         t += kTickStepDb)
        legend.TickDbfs.push_back(t);
    return legend;
}

TColor32 LegendColour(const LevelLegend& legend, double dbfs) {
    return ShownColourOfLevel(PictureLevelAtDbfs(dbfs, legend.Gain, legend.FullScale), legend.Palette);
}

TLegendBar LegendBarOf(const LevelLegend& legend) {
    TLegendBar bar;
    bar.Unit = "dBFS";
    const double range = legend.TopDbfs - legend.BottomDbfs;
    if (!std::isfinite(legend.TopDbfs) || !(range > 0)) return bar;
    for (int i = 0; i < kBarColours; ++i)
        bar.Colours.push_back(LegendColour(legend, legend.BottomDbfs + (i + 0.5) * range / kBarColours));
    for (const double t : legend.TickDbfs)
        bar.Ticks.push_back({(t - legend.BottomDbfs) / range, std::to_string(int(std::lround(t)))});
    return bar;
}
