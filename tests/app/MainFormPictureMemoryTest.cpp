// The window holds at most the spectrogram, the view's copy of it and, while a new one is computed, the
// picture being replaced: a palette's recoloured copy in the view lets the "Spectrum" picture it came
// from go for the computation. What the user sees around that: palette clicks during the computation
// set their check marks, and the view never goes blank.
#include "AppTestSupport.h"

#include "spectral/Palettes.h"
#include "view/qt/TImgView32.h"

namespace {

using PictureMemoryTest = WindowTest;

bool SamePixels(const TBitmap32& a, const TBitmap32& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    return std::equal(a.Bits(), a.Bits() + a.PixelCount(), b.Bits());
}

// What the view must show for `checked` over the picture in "Spectrum" colours.
TBitmap32 Recoloured(const TBitmap32& spectrum, std::optional<PaletteItem> checked) {
    TBitmap32 expected;
    ApplyPalette(spectrum, checked, expected);
    return expected;
}

TEST_F(PictureMemoryTest, APaletteClickDuringTheComputationSetsItsMarkAndTheViewKeepsItsPicture) {
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(WriteWav("p.wav", Tone(64000, 900, 8000), 8000, 1)));
    form.Spectrum1Click(PaletteItem::Grayscale);
    ASSERT_FALSE(form.SrcImage->Bitmap().SharesPixelsWith(form.Session().Spectrogram().SpectrogramBitmap));
    TBitmap32 grey;
    grey.Assign(form.SrcImage->Bitmap());

    bool ran = false;
    WhileJobRuns(form, [&] {
        ran = true;
        EXPECT_TRUE(form.Busy());
        form.PaletteActions[int(PaletteItem::Greens)]->trigger();
        EXPECT_EQ(form.CheckedPalette(), PaletteItem::Greens);
        EXPECT_TRUE(SamePixels(form.SrcImage->Bitmap(), grey));
    });
    ChooseItem(Child<QComboBox>("ComboImageGain"), 11);
    EXPECT_TRUE(ran);
    EXPECT_FALSE(form.Busy());
    // The new picture is recoloured in the palette clicked meanwhile, and palettes recolour it from then on.
    EXPECT_TRUE(SamePixels(form.SrcImage->Bitmap(),
                           Recoloured(form.Session().Spectrogram().SpectrogramBitmap, PaletteItem::Greens)));
    form.PaletteActions[int(PaletteItem::Rainbow)]->trigger();
    EXPECT_TRUE(SamePixels(form.SrcImage->Bitmap(),
                           Recoloured(form.Session().Spectrogram().SpectrogramBitmap, PaletteItem::Rainbow)));
}

TEST_F(PictureMemoryTest, ARefusedPictureUnderAPaletteShowsNoneUntilTheNextOne) {
    TMainForm& form = NewForm();
    form.show();
    // 60 s of two channels at 48000 Hz: N = 8388608 with "X / 64" asks for 1744 MB and is refused.
    form.LoadWavFile(QString::fromStdString(WriteWav("r.wav", Tone(5760000, 900, 48000), 48000, 2)));
    form.Spectrum1Click(PaletteItem::Reds);
    Child<QComboBox>("ComboXResolution")->setCurrentIndex(6);
    ChooseItem(Child<QComboBox>("ComboFFTSize"), 19);
    EXPECT_TRUE(form.StatusText(1).startsWith(" ERRR!")) << form.StatusText(1).toStdString();
    EXPECT_FALSE(form.Busy());
    EXPECT_TRUE(form.SrcImage->Bitmap().Empty());
    form.PaletteActions[int(PaletteItem::Greens)]->trigger();
    EXPECT_TRUE(form.SrcImage->Bitmap().Empty());
    // The text names the widest image width that fits at this FFT size (29 columns of 16 MiB).
    EXPECT_TRUE(form.StatusText(1).endsWith("; \"X / 16\" fits.")) << form.StatusText(1).toStdString();
    Child<QComboBox>("ComboXResolution")->setCurrentIndex(0);
    ChooseItem(Child<QComboBox>("ComboFFTSize"), 6);
    EXPECT_EQ(form.SrcImage->Bitmap().Width(), form.Session().Spectrogram().SpectrogramBitmap.Width());
    EXPECT_FALSE(form.SrcImage->Bitmap().Empty());
    EXPECT_EQ(form.SrcImage->PlaceholderText(), "");
}

} // namespace
