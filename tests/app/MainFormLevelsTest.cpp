// The window's levels: the level legend beside the ruler and its setting, Auto Gain, the readout of
// the strongest bin under a pointer that covers several rows, and Export Picture "With axes".
#include "AppTestSupport.h"

#include "../view/PngDecode.h"

#include "app/ReadoutText.h"
#include "app/TElidedPanel.h"
#include "app/TLevelLegendBox.h"
#include "spectral/AutoGain.h"
#include "spectral/LevelLegend.h"
#include "view/PeakShrink.h"
#include "view/PictureWithAxes.h"
#include "view/qt/TImgView32.h"

#include <QComboBox>

namespace {

class LevelsTest : public WindowTest {
protected:
    // A shown window with two seconds of a 3000 Hz tone of amplitude 1000 at FFT size 4096 (2048 rows,
    // more than the view's height: the picture is shrunk).
    TMainForm& FormWithTone() {
        TMainForm& form = NewForm();
        form.resize(900, 600);
        form.show();
        ChooseItem(form.ComboFFTSize, 8);
        std::vector<int16_t> tone = Tone(96000, 3000, 48000);
        for (int16_t& v : tone) v = int16_t(v / 10);
        form.LoadWavFile(QString::fromStdString(WriteWav("a.wav", tone, 48000, 1)));
        return form;
    }
};

} // namespace

TEST_F(LevelsTest, TheLegendShowsTheLevelsOfThePictureAndIsKept) {
    TMainForm& form = FormWithTone();
    ASSERT_TRUE(form.mnuLevelLegend->isChecked());
    ASSERT_TRUE(form.LevelLegendBox->isVisible());
    const LevelLegend expected = MakeLevelLegend(*form.ShownAxes(), 100, PaletteItem::Spectrum);
    const TLegendBar& shown = form.LevelLegendBox->Legend();
    ASSERT_EQ(shown.Ticks.size(), expected.TickDbfs.size());
    EXPECT_EQ(shown.Colours, LegendBarOf(expected).Colours);
    // A gain ten times as high moves every colour 20 dB down the scale.
    ChooseItem(form.ComboImageGain, 3); // "1000"
    const LevelLegend tenfold = MakeLevelLegend(*form.ShownAxes(), 1000, PaletteItem::Spectrum);
    EXPECT_NEAR(tenfold.TopDbfs, expected.TopDbfs - 20, 1e-9);
    EXPECT_EQ(form.LevelLegendBox->Legend().Ticks.front().Text, LegendBarOf(tenfold).Ticks.front().Text);
    form.Spectrum1Click(PaletteItem::Greens);
    EXPECT_EQ(form.LevelLegendBox->Legend().Colours,
              LegendBarOf(MakeLevelLegend(*form.ShownAxes(), 1000, PaletteItem::Greens)).Colours);
    form.mnuLevelLegend->trigger();
    EXPECT_FALSE(form.LevelLegendBox->isVisible());
    form.close();
    EXPECT_FALSE(NewForm().mnuLevelLegend->isChecked());
}

TEST_F(LevelsTest, AutoGainPicksTheItemForTheStrongestTone) {
    TMainForm& form = FormWithTone();
    const int expected = AutoGainItem(StrongestPictureLevel(form.SrcImage->Bitmap(), *form.ShownAxes()), 100);
    ASSERT_NE(expected, form.ComboImageGain->currentIndex());
    Child<QAction>("mnuAutoGain")->trigger();
    EXPECT_EQ(form.ComboImageGain->currentIndex(), expected);
    // recomputed at that gain: the tone now lies just below saturation
    const double strongest = StrongestPictureLevel(form.SrcImage->Bitmap(), *form.ShownAxes());
    EXPECT_LE(strongest, kAutoGainHeadroom * kSaturationLevel * 1.01);
    EXPECT_GT(strongest, kAutoGainHeadroom * kSaturationLevel / 1.5);
}

TEST_F(LevelsTest, TheReadoutReadsTheStrongestRowUnderThePointer) {
    TMainForm& form = FormWithTone();
    const PictureAxes axes = *form.ShownAxes();
    const TViewPlacement placement = form.SrcImage->Placement();
    ASSERT_LT(placement.Height, axes.Height);
    const int32_t toneRow = axes.Height - 1 - 256; // 3000 Hz is bin 256 of 4096 at 48000 Hz
    const int x = int(placement.Left + placement.Width / 2);
    for (int y = int(placement.Top); y < placement.Top + placement.Height; ++y) {
        const TIntRect cells = CoveredPixels(placement, x, y);
        if (toneRow < cells.Top || toneRow >= cells.Bottom) continue;
        emit form.SrcImage->MouseMove(Qt::NoModifier, x, y);
        const std::string text = form.ReadoutPanel->FullText().toStdString();
        EXPECT_NE(text.find(HertzText(3000, BinHertz(axes))), std::string::npos) << text;
        EXPECT_NE(text.find(StrongestOfText(cells.Height())), std::string::npos) << text;
        EXPECT_NE(text.find(" dBFS"), std::string::npos) << text;
        EXPECT_EQ(text.find("-inf"), std::string::npos) << text;
        return;
    }
    FAIL() << "no view row covers the tone's row";
}

TEST_F(LevelsTest, ExportWithAxesFramesThePictureAsShown) {
    TMainForm& form = FormWithTone();
    EXPECT_FALSE(form.ExportWithAxes());
    form.SetExportWithAxes(true);
    const std::string target = PathIn("framed.png");
    form.AskExportFileName = [&](const QString&) { return QString::fromStdString(target); };
    Child<QAction>("mnuExportPicture")->trigger();
    const pngtest::DecodedPng png = pngtest::DecodePng(target);
    ASSERT_TRUE(png.Ok);
    const TBitmap32& shown = form.SrcImage->Bitmap();
    ASSERT_GT(png.Width, uint32_t(shown.Width() + kAxesPictureLeft));
    for (int32_t y = 0; y < shown.Height(); y += 7)
        for (int32_t x = 0; x < shown.Width(); x += 3) {
            const uint8_t* p = png.Bgra.data() +
                               4 * (size_t(y + kAxesPictureTop) * png.Width + size_t(x + kAxesPictureLeft));
            ASSERT_EQ(Color32(p[2], p[1], p[0]), shown.Pixel(x, y) | 0xFF000000u) << x << ", " << y;
        }
}
