// Opening, reading again, saving and exporting through the real window.
#include "AppTestSupport.h"

#include "../signal/WavBytes.h"

#include "app/TRulerPaintBox.h"
#include "signal/WavReader.h"
#include "spectral/Palettes.h"
#include "spectral/RecomputeSpectrogram.h"
#include "spectral/SpectrogramImageSize.h"
#include "view/qt/TImgView32.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QUrl>

#include <fstream>
#include <iterator>

namespace {

using FileTest = WindowTest;

const std::string kDemo = std::string(ORVANE_SOURCE_DIR) + "/samples/demo_iq.wav";

// The picture the core computes for a file read on its own, with the window's default settings.
TBitmap32 IndependentSpectrogram(const std::string& path, int channels = 0,
                                 SpectrogramSettings settings = {}) {
    SignalStore store;
    ReadWavFile(store, path);
    if (channels != 0) store.ChannelCount = uint16_t(channels);
    SpectrogramState state;
    JobControl control;
    RecomputeSpectrogram(state, store, settings, control);
    TBitmap32 picture;
    picture.Assign(state.SpectrogramBitmap);
    return picture;
}

bool SamePixels(const TBitmap32& a, const TBitmap32& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    return std::equal(a.Bits(), a.Bits() + a.PixelCount(), b.Bits());
}

std::vector<char> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int32_t Le32(const std::vector<char>& bytes, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | uint8_t(bytes[at + size_t(i)]);
    return int32_t(v);
}

TEST_F(FileTest, OpeningATwoChannelFileShowsItsSpectrogram) {
    TMainForm& form = NewForm();
    form.show();
    int asked = 0;
    form.AskOpenFileName = [&] {
        ++asked;
        return QString::fromStdString(kDemo);
    };
    Child<QAction>("mnuOpen")->trigger();
    EXPECT_EQ(asked, 1);

    SignalStore reference;
    const WavReadResult read = ReadWavFile(reference, kDemo);
    EXPECT_EQ(form.StatusText(0).toStdString(), read.Status);
    const SpectrogramImageSize size = ComputeSpectrogramImageSize(reference.ValueCount, 1024, 1);
    EXPECT_EQ(form.StatusText(1).toStdString(), ImageSizeText(size.Width, size.Height, size.Megabytes));
    EXPECT_TRUE(QRegularExpression("^ \\d+ ms$").match(form.StatusText(2)).hasMatch())
        << form.StatusText(2).toStdString();
    EXPECT_EQ(form.StatusText(3), "  Channels: 2  SmpleRate: 48000");
    EXPECT_EQ(form.windowTitle(), "  Orvane+  Demo version 02 - demo_iq.wav");
    EXPECT_EQ(form.Session().Store().FileName, kDemo);

    EXPECT_TRUE(Child<QAction>("mnu2Channels")->isChecked());
    EXPECT_FALSE(Child<QAction>("mnu1Channel")->isChecked());
    EXPECT_TRUE(Child<QMenu>("mnuFormatInterpretator")->isEnabled());
    EXPECT_TRUE(Child<QAction>("mnuInvertChannel1L")->isEnabled());
    EXPECT_TRUE(Child<QAction>("mnuInvertChannel2R")->isEnabled());
    for (const char* save : {"sbSavePicturea", "sbSaveSignal"})
        EXPECT_TRUE(Child<QWidget>(save)->isEnabled());
    EXPECT_TRUE(Child<QAction>("mnuSave")->isEnabled());
    EXPECT_TRUE(form.SrcImage->Overlays().CentreLineExists());
    EXPECT_FALSE(form.Busy());
    EXPECT_FALSE(Child<QWidget>("sbStopLoad")->isEnabled());
    EXPECT_FLOAT_EQ(form.RulerPaintBox->SampleRate(), 48000);

    const TBitmap32 expected = IndependentSpectrogram(kDemo);
    EXPECT_TRUE(SamePixels(form.SrcImage->Bitmap(), expected));
    EXPECT_TRUE(SamePixels(form.Session().Spectrogram().SpectrogramBitmap, expected));
}

TEST_F(FileTest, TheViewPaintsTheSpectrogramPixelForPixelAtScaleOne) {
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(kDemo));
    Child<QToolButton>("sbImageMode")->click(); // zoom mode, both scales 1
    form.mnuTimeScale->trigger();               // nothing over the picture
    const QImage shown = form.SrcImage->viewport()->grab().toImage();
    const TBitmap32& bitmap = form.Session().Spectrogram().SpectrogramBitmap;
    const int width = std::min(shown.width(), bitmap.Width());
    const int height = std::min(shown.height(), bitmap.Height());
    ASSERT_GT(width, 100);
    ASSERT_GT(height, 100);
    int differences = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((shown.pixel(x, y) & 0xFFFFFFu) != (bitmap.Pixel(x, y) & 0xFFFFFFu)) ++differences;
    EXPECT_EQ(differences, 0);
}

TEST_F(FileTest, TheChannelMenuReinterpretsTheValues) {
    TMainForm& form = NewForm();
    form.show();
    const std::string mono = WriteWav("tone.wav", Tone(16000, 1000, 8000), 8000, 1);
    form.LoadWavFile(QString::fromStdString(mono));
    EXPECT_TRUE(Child<QAction>("mnu1Channel")->isChecked());
    EXPECT_FALSE(Child<QAction>("mnu2Channels")->isChecked());
    EXPECT_FALSE(Child<QAction>("mnuInvertChannel1L")->isEnabled());
    EXPECT_FALSE(form.SrcImage->Overlays().CentreLineExists());
    EXPECT_EQ(form.StatusText(3), "  Channels: 1  SmpleRate: 8000");
    const TBitmap32 single = IndependentSpectrogram(mono);
    ASSERT_TRUE(SamePixels(form.SrcImage->Bitmap(), single));

    Child<QAction>("mnu2Channels")->trigger();
    EXPECT_EQ(form.Session().Store().ChannelCount, 2);
    EXPECT_TRUE(Child<QAction>("mnu2Channels")->isChecked());
    EXPECT_FALSE(Child<QAction>("mnu1Channel")->isChecked());
    EXPECT_TRUE(Child<QAction>("mnuInvertChannel2R")->isEnabled());
    EXPECT_TRUE(form.SrcImage->Overlays().CentreLineExists());
    EXPECT_TRUE(SamePixels(form.SrcImage->Bitmap(), IndependentSpectrogram(mono, 2)));
    EXPECT_EQ(form.StatusText(3), "  Channels: 2  SmpleRate: 8000");

    // The checked item again: nothing happens, not even a recomputation.
    const TColor32* pixelsBefore = form.Session().Spectrogram().SpectrogramBitmap.Bits();
    Child<QAction>("mnu2Channels")->trigger();
    EXPECT_TRUE(Child<QAction>("mnu2Channels")->isChecked());
    EXPECT_EQ(form.Session().Spectrogram().SpectrogramBitmap.Bits(), pixelsBefore);

    Child<QAction>("mnu1Channel")->trigger();
    EXPECT_EQ(form.Session().Store().ChannelCount, 1);
    EXPECT_TRUE(Child<QAction>("mnu1Channel")->isChecked());
    EXPECT_FALSE(form.SrcImage->Overlays().CentreLineExists());
    EXPECT_FALSE(Child<QAction>("mnuInvertChannel1L")->isEnabled());
    EXPECT_TRUE(SamePixels(form.SrcImage->Bitmap(), single));
    EXPECT_EQ(form.Session().Store().ValueCount, 16000);
}

TEST_F(FileTest, AFailedReadLeavesTheWindowAsItWas) {
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(PathIn("missing.wav")));
    EXPECT_EQ(form.StatusText(0), " ERROR: File Access.");
    EXPECT_FALSE(form.Busy());
    EXPECT_EQ(form.windowTitle(), "  Orvane+  Demo version 02");
    EXPECT_FALSE(form.Session().Store().Loaded()); // nothing loaded: the save controls stay off
    EXPECT_FALSE(Child<QWidget>("sbSaveSignal")->isEnabled());
    EXPECT_TRUE(form.SrcImage->Bitmap().Empty());

    const std::string good = WriteWav("good.wav", Tone(4000, 500, 8000), 8000, 1);
    form.LoadWavFile(QString::fromStdString(good));
    form.LoadWavFile(QString::fromStdString(PathIn("missing.wav")));
    EXPECT_EQ(form.StatusText(0), " ERROR: File Access.");
    // "Save" must not write the recording over the file that failed to open.
    EXPECT_EQ(form.Session().Store().FileName, good);
    EXPECT_EQ(form.windowTitle(), "  Orvane+  Demo version 02 - good.wav");
    EXPECT_TRUE(Child<QAction>("mnuSave")->isEnabled());
}

TEST_F(FileTest, AFileWithoutHeaderIsShownAsRawData) {
    TMainForm& form = NewForm();
    form.show();
    {
        std::ofstream text(PathIn("notes.wav"), std::ios::binary);
        text << std::string(4001, 'a');
    }
    form.LoadWavFile(QString::fromStdString(PathIn("notes.wav")));
    EXPECT_EQ(form.StatusText(0), " Bytes : 4000 (Binary Data)");
    EXPECT_EQ(form.Session().Store().SampleRate, 8000);
    EXPECT_FLOAT_EQ(form.RulerPaintBox->SampleRate(), 8000);
    EXPECT_EQ(form.RulerPaintBox->CurrentLabels().front().Text.substr(0, 2), "- ");
    EXPECT_TRUE(Child<QAction>("mnu1Channel")->isChecked());
    EXPECT_EQ(form.StatusText(3), "  Channels: 1  SmpleRate: 8000");
}

// A WAV file whose samples are not decoded is shown as raw data too, and the error report says which
// coding it has; a file without a header needs no such word.
TEST_F(FileTest, AWavFileOfUndecodedSamplesIsShownAsRawDataAndTheReportSaysWhy) {
    TMainForm& form = NewForm();
    form.show();
    wavtest::Fmt mulaw;
    mulaw.Tag = 7;
    mulaw.Channels = 1;
    mulaw.Bits = 8;
    mulaw.BlockAlign = 1;
    const wavtest::Bytes file = wavtest::Riff({wavtest::Chunk("fmt ", wavtest::FmtPayload(mulaw)),
                                               wavtest::Chunk("data", wavtest::Bytes(96, 0xFF))});
    const std::string path = PathIn("mulaw.wav");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    form.LoadWavFile(QString::fromStdString(path));
    EXPECT_EQ(form.StatusText(0),
              QString::fromStdString(" Bytes : " + std::to_string(file.size()) + " (Binary Data)"));
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_EQ(Errors.front(),
              QString::fromUtf8(
                  "samples coded as \xC2\xB5-law are not decoded: read as raw 16-bit data at 8000 Hz"));

    Errors.clear();
    std::ofstream(PathIn("notes.wav"), std::ios::binary) << std::string(100, 'a');
    form.LoadWavFile(QString::fromStdString(PathIn("notes.wav")));
    EXPECT_EQ(form.StatusText(0), " Bytes : 100 (Binary Data)");
    EXPECT_TRUE(Errors.isEmpty());
}

TEST_F(FileTest, OnlyTheFirstDroppedFileIsRead) {
    TMainForm& form = NewForm();
    form.show();
    const std::string first = WriteWav("first.wav", Tone(4000, 500, 8000), 8000, 1);
    const std::string second = WriteWav("second.wav", Tone(4000, 900, 16000), 16000, 2);
    form.FilesDropped({QUrl("https://example.org/x.wav"), QUrl::fromLocalFile(QString::fromStdString(first)),
                       QUrl::fromLocalFile(QString::fromStdString(second))});
    EXPECT_EQ(form.Session().Store().FileName, first);
    EXPECT_EQ(form.Session().Store().SampleRate, 8000);

    // A folder, or a file that has gone, reads nothing.
    const QString before = form.StatusText(0);
    form.FilesDropped({QUrl::fromLocalFile(QString::fromStdString(Folder()))});
    form.FilesDropped({QUrl::fromLocalFile(QString::fromStdString(PathIn("gone.wav")))});
    EXPECT_EQ(form.Session().Store().FileName, first);
    EXPECT_EQ(form.StatusText(0), before);
}

TEST_F(FileTest, AFileNamedOnTheCommandLineIsReadOnceTheEventLoopRuns) {
    TMainForm& form = NewForm();
    form.show();
    const std::string path = WriteWav("named.wav", Tone(4000, 500, 8000), 8000, 1);
    form.OpenOnceShown("named.wav"); // relative to the current directory, as a shell passes it
    EXPECT_FALSE(form.Session().Store().Loaded());
    QTest::qWait(50);
    EXPECT_EQ(form.Session().Store().FileName, path);
    EXPECT_EQ(form.windowTitle(), "  Orvane+  Demo version 02 - named.wav");

    form.OpenOnceShown("missing.wav");
    QTest::qWait(50);
    EXPECT_EQ(form.Session().Store().FileName, path);
}

TEST_F(FileTest, SaveBitmapWritesThePictureAsShown) {
    TMainForm& form = NewForm();
    form.show();
    const std::string path = WriteWav("a.wav", Tone(48000, 3000, 48000), 48000, 1);
    form.LoadWavFile(QString::fromStdString(path));
    EXPECT_EQ(form.SpectrogramPictureFileName().toStdString(), Folder() + "/Spectr_a.wav.bmp");

    Child<QToolButton>("sbSavePicturea")->click();
    const std::vector<char> bytes = FileBytes(Folder() + "/Spectr_a.wav.bmp");
    const TBitmap32& shown = form.SrcImage->Bitmap();
    ASSERT_EQ(shown.Width(), 49);
    ASSERT_EQ(shown.Height(), 512);
    ASSERT_EQ(bytes.size(), 54u + 49u * 512u * 4u);
    EXPECT_EQ(Le32(bytes, 2), int32_t(bytes.size()));
    EXPECT_EQ(Le32(bytes, 18), 49);
    EXPECT_EQ(Le32(bytes, 22), -512);
    EXPECT_EQ(0, std::memcmp(bytes.data() + 54, shown.Bits(), shown.PixelCount() * 4));

    // With "Grayscale" shown the file holds grey pixels.
    form.Spectrum1Click(PaletteItem::Grayscale);
    Child<QToolButton>("sbSavePicturea")->click();
    const std::vector<char> grey = FileBytes(Folder() + "/Spectr_a.wav.bmp");
    ASSERT_EQ(grey.size(), bytes.size());
    for (size_t at = 54; at < grey.size(); at += 4) {
        ASSERT_EQ(grey[at], grey[at + 1]) << at;
        ASSERT_EQ(grey[at + 1], grey[at + 2]) << at;
    }
    EXPECT_TRUE(Errors.isEmpty());
}

TEST_F(FileTest, TheThreeSaveCommands) {
    TMainForm& form = NewForm();
    form.show();
    const std::vector<int16_t> values = Tone(6000, 700, 8000);
    const std::string path = WriteWav("s.wav", values, 8000, 1);
    form.LoadWavFile(QString::fromStdString(path));

    Child<QToolButton>("sbSaveSignal")->click();
    EXPECT_EQ(form.StatusText(0), " Ready");
    SignalStore quick;
    ReadWavFile(quick, Folder() + "/DemoSample.wav");
    EXPECT_TRUE(std::equal(quick.Samples.begin(), quick.Samples.end(), values.begin(), values.end()));

    QString suggested;
    form.AskSaveFileName = [&](const QString& name) {
        suggested = name;
        return QString::fromStdString(PathIn("copy.wav"));
    };
    Child<QAction>("mnuSavewavAs")->trigger();
    EXPECT_EQ(suggested, "s.wav");
    EXPECT_EQ(form.Session().Store().FileName,
              path); // saving under another name does not change the file in use
    SignalStore copy;
    EXPECT_EQ(ReadWavFile(copy, PathIn("copy.wav")).Status, " Bytes : 12000 16 Bit Data");

    Child<QToolButton>("sbNormAmp")->click();
    const std::vector<int16_t> edited(form.Session().Store().Samples.begin(),
                                      form.Session().Store().Samples.end());
    Child<QAction>("mnuSave")->trigger();
    SignalStore saved;
    ReadWavFile(saved, path);
    EXPECT_TRUE(std::equal(saved.Samples.begin(), saved.Samples.end(), edited.begin(), edited.end()));

    // A target that cannot be created reaches the general error report.
    form.AskSaveFileName = [&](const QString&) {
        return QString::fromStdString(PathIn("no/such/folder/x.wav"));
    };
    Child<QAction>("mnuSavewavAs")->trigger();
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_TRUE(Errors.front().startsWith("Cannot create file")) << Errors.front().toStdString();
    EXPECT_EQ(form.StatusText(0), " Saving x.wav...");
}

TEST_F(FileTest, ReloadReadsTheFileAgainWithTheSelectedSize) {
    TMainForm& form = NewForm();
    form.show();
    const std::string path = WriteWav("r.wav", Tone(8000, 700, 8000), 8000, 1);
    form.LoadWavFile(QString::fromStdString(path));
    const int16_t original = form.Session().Store().Samples[5];
    Child<QToolButton>("sbNormAmp")->click();
    ASSERT_NE(form.Session().Store().Samples[5], original);
    Child<QComboBox>("ComboFFTSize")->setCurrentIndex(5); // "512", not applied yet
    Child<QToolButton>("sbReload")->click();
    EXPECT_EQ(UnsavedQuestions, 1); // answered Discard
    EXPECT_EQ(form.Session().Store().Samples[5], original);
    EXPECT_EQ(form.Session().Spectrogram().CurrentFFTSize, 512);
    EXPECT_EQ(form.SrcImage->Bitmap().Height(), 256);
}

TEST_F(FileTest, TheDropDownListsRecomputeThePicture) {
    TMainForm& form = NewForm();
    form.show();
    const std::string path = WriteWav("d.wav", Tone(16000, 700, 8000), 8000, 1);
    form.LoadWavFile(QString::fromStdString(path));
    ChooseItem(Child<QComboBox>("ComboFFTSize"), 5);
    EXPECT_EQ(form.SrcImage->Bitmap().Height(), 256);
    ChooseItem(Child<QComboBox>("ComboXResolution"), 1);
    ChooseItem(Child<QComboBox>("ComboFFTWindow"), 3);
    ChooseItem(Child<QComboBox>("ComboImageGain"), 0);
    SpectrogramSettings settings;
    settings.FFTSize = 512;
    settings.Decimation = 2;
    settings.WindowIndex = 3;
    settings.Gain = 8000;
    EXPECT_TRUE(SamePixels(form.SrcImage->Bitmap(), IndependentSpectrogram(path, 0, settings)));
}

TEST_F(FileTest, PaletteTicksFollowThePaletteInUseAlsoThroughARecomputation) {
    TMainForm& form = NewForm();
    form.show();
    const std::string path = WriteWav("p.wav", Tone(16000, 700, 8000), 8000, 1);
    form.LoadWavFile(QString::fromStdString(path));
    TBitmap32 spectrum;
    spectrum.Assign(form.Session().Spectrogram().SpectrogramBitmap);
    const auto expectPalette = [&](std::optional<PaletteItem> item) {
        TBitmap32 expected;
        ApplyPalette(spectrum, item, expected);
        EXPECT_TRUE(SamePixels(form.SrcImage->Bitmap(), expected));
    };

    // The ticks follow the palette in use: "Spectrum" at first, then the one clicked, also when it is
    // clicked again.
    const auto ticked = [&] {
        std::vector<int> items;
        for (QAction* item : form.PaletteActions)
            if (item->isChecked()) items.push_back(item->data().toInt());
        return items;
    };
    EXPECT_EQ(form.CheckedPalette(), PaletteItem::Spectrum);
    EXPECT_EQ(ticked(), std::vector<int>{0});
    for (int click = 0; click < 2; ++click) {
        form.PaletteActions[2]->trigger(); // "Greens"
        EXPECT_EQ(form.CheckedPalette(), PaletteItem::Greens);
        EXPECT_EQ(ticked(), std::vector<int>{2});
        expectPalette(PaletteItem::Greens);
    }

    form.PaletteActions[4]->trigger(); // "Rainbow"
    form.PaletteActions[0]->trigger(); // "Spectrum" replaces it
    EXPECT_TRUE(form.PaletteActions[0]->isChecked());
    EXPECT_FALSE(form.PaletteActions[4]->isChecked());
    EXPECT_TRUE(SamePixels(form.SrcImage->Bitmap(), spectrum));

    // A recomputation keeps the palette in use: the new picture comes in its colours.
    form.PaletteActions[2]->trigger();
    ChooseItem(Child<QComboBox>("ComboImageGain"), 12);
    EXPECT_EQ(ticked(), std::vector<int>{2});
    spectrum.Assign(form.Session().Spectrogram().SpectrogramBitmap);
    expectPalette(PaletteItem::Greens);
    EXPECT_FALSE(SamePixels(form.SrcImage->Bitmap(), spectrum));
}

TEST_F(FileTest, TheAntialiasingButtonSurvivesARecomputation) {
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(WriteWav("f.wav", Tone(8000, 700, 8000), 8000, 1)));
    EXPECT_EQ(form.SrcImage->Bitmap().Resampler(), TResamplerKind::Nearest);
    Child<QToolButton>("sbAntialiasing")->click();
    EXPECT_EQ(form.SrcImage->Bitmap().Resampler(), TResamplerKind::Linear);
    ChooseItem(Child<QComboBox>("ComboImageGain"), 3);
    EXPECT_EQ(form.SrcImage->Bitmap().Resampler(), TResamplerKind::Linear);
    form.PaletteActions[0]->trigger(); // "Spectrum" copies the nearest resampler of the spectrogram
    EXPECT_EQ(form.SrcImage->Bitmap().Resampler(), TResamplerKind::Nearest);
}

} // namespace
