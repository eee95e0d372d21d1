// Failures met by the real window: settings full of garbage, a file that vanishes before "Reload",
// allocations that fail for the picture, the large transform or an edit, and saves that cannot be
// written. Each must end with the right text or report, nothing damaged, and the window idle and usable.
// (An edit that runs out of memory is tested with the other edits.)
#include "AppTestSupport.h"
#include "DataLimit.h"
#include "hardening/AllocationFailure.h"

#include "app/TRulerPaintBox.h"
#include "ops/SampleRateAdjust.h"
#include "signal/WavReader.h"
#include "spectral/Palettes.h"
#include "spectral/SpectrogramImageSize.h"
#include "view/Overlays.h"
#include "view/ToolkitColor.h"
#include "view/qt/TG32_ProgressBar.h"
#include "view/qt/TImgView32.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSize>
#include <QVariantMap>

#include <csignal>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

using FailureTest = WindowTest;

const std::vector<const char*> kUnlockedButtons = {"sbFade",     "sbNormAmp",  "sbInvertSpectr", "sbIQ2Real",
                                                   "sbGenSin",   "sbGenCos",   "sbReload",       "sbASR",
                                                   "sbFFTHiCut", "sbLPFFilter"};
const std::vector<const char*> kSaveControls = {"sbSavePicturea", "sbSaveSignal"};
const std::vector<const char*> kLists = {"ComboFFTSize", "ComboXResolution", "ComboFFTWindow",
                                         "ComboImageGain"};

std::vector<char> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Names in `folder` other than the ones given: leftovers of a save that failed.
std::vector<std::string> OtherFiles(const std::string& folder, const std::vector<std::string>& expected) {
    std::vector<std::string> others;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (std::find(expected.begin(), expected.end(), name) == expected.end()) others.push_back(name);
    }
    return others;
}

class FailureChecks : public WindowTest {
protected:
    // The window is idle with every control a job locks enabled again, and it still works: the next
    // picture is computed in full at another FFT size.
    void ExpectIdleAndUsable(TMainForm& form) {
        EXPECT_FALSE(form.Busy());
        EXPECT_FALSE(Child<QWidget>("sbStopLoad")->isEnabled());
        EXPECT_EQ(form.ProgressBar->Position(), 0);
        EXPECT_EQ(form.ProgressBar->BackColor(), clBtnShadow);
        for (const char* name : kUnlockedButtons) EXPECT_TRUE(Child<QWidget>(name)->isEnabled()) << name;
        for (const char* name : kLists) EXPECT_TRUE(Child<QWidget>(name)->isEnabled()) << name;
        for (const char* name : kSaveControls)
            EXPECT_EQ(Child<QWidget>(name)->isEnabled(), form.Session().Store().Loaded()) << name;
        if (!form.Session().Store().Loaded()) return;

        QComboBox* sizes = Child<QComboBox>("ComboFFTSize");
        const int other = sizes->currentIndex() == 3 ? 4 : 3; // 128 or 256
        ChooseItem(sizes, other);
        const int n = sizes->currentText().toInt();
        EXPECT_FALSE(form.Busy());
        EXPECT_EQ(form.Session().Spectrogram().CurrentFFTSize, n);
        EXPECT_EQ(form.SrcImage->Bitmap().Height(), n / 2);
        EXPECT_FALSE(form.StatusText(1).startsWith(" ERRR!")) << form.StatusText(1).toStdString();
    }

    TMainForm& FormWithFile(const std::string& path) {
        TMainForm& form = NewForm();
        form.show();
        form.LoadWavFile(QString::fromStdString(path));
        EXPECT_FALSE(form.Busy());
        return form;
    }
};

// ---------------------------------------------------------------------------------------------------
// Settings

using GarbageSettings = std::vector<std::pair<QString, QVariant>>;

struct GarbageCase {
    const char* Name;
    GarbageSettings Values;
};

class SettingsGarbageTest : public FailureChecks, public ::testing::WithParamInterface<GarbageCase> {
protected:
    // What a window created from any settings must show: a size the screen can hold and no smaller
    // than the minimum, at least half of it on the screen, a selected item in every list, the FFT
    // size and window table of the selected item, panels as their check marks say.
    void ExpectSaneWindow(TMainForm& form) {
        const QSize screen = QGuiApplication::primaryScreen()->size();
        const QRect bounds = form.geometry();
        EXPECT_GE(bounds.width(), 800);
        EXPECT_GE(bounds.height(), 400);
        EXPECT_LE(bounds.width(), screen.width());
        EXPECT_LE(bounds.height(), screen.height());
        const QRect visible = bounds.intersected(QRect(QPoint(0, 0), screen));
        EXPECT_GE(visible.width(), bounds.width() / 2) << bounds.x() << "," << bounds.y();
        EXPECT_GE(visible.height(), bounds.height() / 2) << bounds.x() << "," << bounds.y();

        for (const char* name :
             {"ComboFFTSize", "ComboXResolution", "ComboFFTWindow", "ComboImageGain", "cbFilterQuality"}) {
            const QComboBox* list = Child<QComboBox>(name);
            EXPECT_GE(list->currentIndex(), 0) << name;
            EXPECT_LT(list->currentIndex(), list->count()) << name;
        }
        const int n = Child<QComboBox>("ComboFFTSize")->currentText().toInt();
        EXPECT_EQ(form.Session().Spectrogram().CurrentFFTSize, n);
        EXPECT_EQ(form.Session().Spectrogram().WindowTable.size(), size_t(n));
        EXPECT_EQ(Child<QWidget>("FilterPanel")->isVisible(), Child<QAction>("mnuFilterPanel")->isChecked());
        EXPECT_EQ(Child<QWidget>("ShiftPanel")->isVisible(), Child<QAction>("mnuShiftPanel")->isChecked());
        for (const char* name : {"EditFrq", "EditLPF", "EditASR", "EditFFTHiCut", "EditFFTLoCut"})
            EXPECT_LE(Child<QLineEdit>(name)->text().size(), 7) << name;
    }
};

TEST_P(SettingsGarbageTest, TheWindowStartsSaneAndWorks) {
    {
        QSettings stored = StoredSettings();
        for (const auto& [name, value] : GetParam().Values) stored.setValue(name, value);
    }
    TMainForm& form = NewForm();
    form.show();
    QCoreApplication::processEvents();
    ExpectSaneWindow(form);

    form.LoadWavFile(QString::fromStdString(WriteWav("g.wav", Tone(16000, 900, 8000), 8000, 1)));
    EXPECT_EQ(form.StatusText(0), " Bytes : 32000 16 Bit Data");
    EXPECT_EQ(form.SrcImage->Bitmap().Height(), form.Session().Spectrogram().CurrentFFTSize / 2);
    ExpectIdleAndUsable(form);
    EXPECT_TRUE(Errors.isEmpty()) << Errors.join("; ").toStdString();

    // What the close writes back is read again as it was written.
    const QRect bounds = form.geometry();
    const int sizeIndex = Child<QComboBox>("ComboFFTSize")->currentIndex();
    EXPECT_TRUE(form.close());
    TMainForm& again = NewForm();
    again.show();
    QCoreApplication::processEvents();
    ExpectSaneWindow(again);
    EXPECT_EQ(again.geometry().size(), bounds.size());
    EXPECT_EQ(Child<QComboBox>("ComboFFTSize")->currentIndex(), sizeIndex);
}

const GarbageCase kGarbage[] = {
    {"NonNumbers",
     {{"wsMaximized", "yes"},
      {"Left", "left"},
      {"Top", "1e3"},
      {"Width", "0x400"},
      {"Height", "12 34"},
      {"FFTSize", "six"},
      {"XResolution", "1.5"},
      {"FFTWindow", "Nuttall"},
      {"ImageGain", "+"},
      {"FilterPanel", "on"},
      {"ShiftPanel", "-"},
      {"FilterQuality", "\x01\x02"},
      {"FrqVal", "abc"},
      {"LPFVal", "1,5"},
      {"ASR", "fast"}}},
    {"HugeNumbers",
     {{"Left", "99999999999999999999"},
      {"Top", "2147483647"},
      {"Width", "2147483647"},
      {"Height", "2147483647"},
      {"FFTSize", "2147483647"},
      {"XResolution", "4294967296"},
      {"FFTWindow", "99999"},
      {"ImageGain", "1000000"},
      {"FilterQuality", "2147483647"},
      {"FrqVal", "99999999999999"},
      {"ASR", "2147483648"}}},
    {"NegativeNumbers",
     {{"Left", "-100000"},
      {"Top", "-100000"},
      {"Width", "-800"},
      {"Height", "-1"},
      {"FFTSize", "-1"},
      {"XResolution", "-2147483648"},
      {"FFTWindow", "-7"},
      {"ImageGain", "-3"},
      {"FilterQuality", "-1"},
      {"wsMaximized", "-1"},
      {"FilterPanel", "-5"}}},
    {"EmptyTexts",
     {{"wsMaximized", ""},
      {"Left", ""},
      {"Top", ""},
      {"Width", ""},
      {"Height", ""},
      {"FFTSize", ""},
      {"XResolution", ""},
      {"FFTWindow", ""},
      {"ImageGain", ""},
      {"FilterPanel", ""},
      {"ShiftPanel", ""},
      {"FrqVal", ""},
      {"LPFVal", ""},
      {"ASR", ""},
      {"FFTHiCut", ""},
      {"FFTLoCut", ""},
      {"FilterQuality", ""}}},
    {"IndexesPastTheLists",
     {{"FFTSize", "20"},
      {"XResolution", "13"},
      {"FFTWindow", "7"},
      {"ImageGain", "25"},
      {"FilterQuality", "9"}}},
    {"FarBeyondTheRightAndBottom", {{"Left", "5000"}, {"Top", "4000"}, {"Width", "900"}, {"Height", "500"}}},
    {"FarBeyondTheLeftAndTop", {{"Left", "-790"}, {"Top", "-380"}, {"Width", "900"}, {"Height", "500"}}},
    {"LargerThanTheScreen", {{"Left", "0"}, {"Top", "1"}, {"Width", "100000"}, {"Height", "100000"}}},
    {"WrongTypes",
     {{"wsMaximized", QStringList{"1", "0"}},
      {"Left", QRect(1, 2, 3, 4)},
      {"Top", QSize(5, 6)},
      {"Width", QByteArray("\xff\xfe\x00\x01", 4)},
      {"Height", QVariantMap{{"a", 1}}},
      {"FFTSize", QStringList{"6", "7"}},
      {"XResolution", QPoint(1, 1)},
      {"FFTWindow", 3.75},
      {"ImageGain", true},
      {"FilterQuality", QRect()},
      {"FrqVal", QStringList{"12", "34"}},
      {"LPFVal", QRect(0, 0, 9, 9)},
      {"ASR", QByteArray("\xff\x00\xfe", 3)},
      {"FFTHiCut", QSize(1, 1)},
      {"FFTLoCut", QVariantMap{{"x", "y"}}}}},
    {"OverlongTexts",
     {{"FrqVal", "12345678901234567890"}, {"LPFVal", QString(5000, 'x')}, {"ASR", "\n\t\r\n"}}},
};

INSTANTIATE_TEST_SUITE_P(Garbage, SettingsGarbageTest, ::testing::ValuesIn(kGarbage),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(FailureChecks, ASettingsFileOfBinaryJunkGivesTheDefaults) {
    const QString path = StoredSettings().fileName();
    std::filesystem::create_directories(std::filesystem::path(path.toStdString()).parent_path());
    {
        QFile junk(path);
        ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
        std::string bytes;
        uint32_t x = 7;
        for (int i = 0; i < 20000; ++i) {
            x = x * 1103515245u + 12345u;
            bytes.push_back(char(x >> 24));
        }
        bytes += "\n[General]\nFFTSize=\x80\xff\nLeft=9999999\n=\n[[\n";
        junk.write(bytes.data(), qint64(bytes.size()));
    }
    TMainForm& form = NewForm();
    form.show();
    EXPECT_EQ(Child<QComboBox>("ComboFFTSize")->currentText(), "1024");
    EXPECT_EQ(form.Session().Spectrogram().CurrentFFTSize, 1024);
    const QRect bounds = form.geometry();
    EXPECT_TRUE(QRect(QPoint(0, 0), QGuiApplication::primaryScreen()->size()).contains(bounds.center()));
    form.LoadWavFile(QString::fromStdString(WriteWav("j.wav", Tone(8000, 500, 8000), 8000, 1)));
    ExpectIdleAndUsable(form);
    EXPECT_TRUE(form.close());
    StoredSettings().clear();
}

TEST_F(FailureChecks, ValuesOfTheWrongTypeGiveTheDefaults) {
    {
        QSettings stored = StoredSettings();
        stored.setValue("FFTSize", QStringList{"6", "7"});
        stored.setValue("FilterPanel", QRect(0, 0, 1, 1));
        stored.setValue("FrqVal", QStringList{"12", "34"});
        stored.setValue("LPFVal", QRect(0, 0, 9, 9));
        stored.setValue("ASR", QByteArray("\xff\x00\xfe", 3));
        stored.setValue("FFTHiCut", QSize(1, 1));
        stored.setValue("FFTLoCut", QVariantMap{{"x", "y"}});
    }
    NewForm();
    EXPECT_EQ(Child<QComboBox>("ComboFFTSize")->currentText(), "1024");
    EXPECT_TRUE(Child<QAction>("mnuFilterPanel")->isChecked());
    EXPECT_EQ(Child<QLineEdit>("EditFrq")->text(), "0");
    EXPECT_EQ(Child<QLineEdit>("EditLPF")->text(), "0");
    EXPECT_EQ(Child<QLineEdit>("EditASR")->text(), "48000");
    EXPECT_EQ(Child<QLineEdit>("EditFFTHiCut")->text(), "0");
    EXPECT_EQ(Child<QLineEdit>("EditFFTLoCut")->text(), "0");
}

// ---------------------------------------------------------------------------------------------------
// A file that disappears after it was read

TEST_F(FailureChecks, AFileGoneBeforeReloadKeepsTheRecordingInMemory) {
    const std::vector<int16_t> values = Tone(12000, 600, 8000);
    const std::string path = WriteWav("gone.wav", values, 8000, 1);
    TMainForm& form = FormWithFile(path);
    Child<QToolButton>("sbNormAmp")->click(); // an edit the user would not want to lose
    const std::vector<int16_t> edited(form.Session().Store().Samples.begin(),
                                      form.Session().Store().Samples.end());
    ASSERT_NE(edited, values);
    const QString picture = form.StatusText(1);
    const int pictureWidth = form.SrcImage->Bitmap().Width();
    std::filesystem::remove(path);

    const std::string undoName = form.Session().History().UndoName();
    Child<QToolButton>("sbReload")->click(); // the user lets the edit go, but the file is gone
    EXPECT_EQ(UnsavedQuestions, 1);
    EXPECT_EQ(form.StatusText(0), " ERROR: File Access.");
    EXPECT_EQ(form.StatusText(1), picture);
    EXPECT_EQ(form.SrcImage->Bitmap().Width(), pictureWidth);
    EXPECT_TRUE(std::equal(edited.begin(), edited.end(), form.Session().Store().Samples.begin(),
                           form.Session().Store().Samples.end()));
    EXPECT_EQ(form.Session().Store().FileName, path);
    // The edit can still be undone, and the caption still marks it as not saved.
    EXPECT_EQ(form.Session().History().UndoName(), undoName);
    EXPECT_TRUE(Child<QAction>("mnuUndo")->isEnabled());
    EXPECT_EQ(form.windowTitle(), "  Orvane+  Demo version 02 - *gone.wav");
    EXPECT_TRUE(Errors.isEmpty()) << Errors.join("; ").toStdString();
    ExpectIdleAndUsable(form);

    // Nothing is lost: "Save" writes the recording in memory back under its name.
    Child<QAction>("mnuSave")->trigger();
    EXPECT_EQ(form.StatusText(0), " Ready");
    EXPECT_EQ(form.windowTitle(), "  Orvane+  Demo version 02 - gone.wav");
    SignalStore saved;
    ReadWavFile(saved, path);
    EXPECT_TRUE(std::equal(edited.begin(), edited.end(), saved.Samples.begin(), saved.Samples.end()));
}

TEST_F(FailureChecks, AFileReplacedByAFolderBeforeReloadIsNotRead) {
    const std::string path = WriteWav("swap.wav", Tone(9000, 600, 8000), 8000, 2);
    TMainForm& form = FormWithFile(path);
    const int32_t count = form.Session().Store().ValueCount;
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);

    Child<QToolButton>("sbReload")->click();
    EXPECT_EQ(form.StatusText(0), " ERROR: File Access.");
    EXPECT_EQ(form.Session().Store().ValueCount, count);
    EXPECT_TRUE(form.Session().Store().TwoChannels());
    ExpectIdleAndUsable(form);
}

// ---------------------------------------------------------------------------------------------------
// Allocations that fail

TEST_F(FailureChecks, APictureWhosePixelsCannotBeAllocatedIsRefusedAndNoneShown) {
    if (!DataLimitUsable()) GTEST_SKIP() << "the sanitizers end the program on a failed allocation";
    // 8000 Hz mono, 300000 values: "X / 512" at N = 1024 asks for an image of about 300 MB.
    TMainForm& form = FormWithFile(WriteWav("big.wav", Tone(300000, 700, 8000), 8000, 1));
    const int32_t width = form.SrcImage->Bitmap().Width();
    const int32_t height = form.SrcImage->Bitmap().Height();
    const SpectrogramImageSize wanted =
        ComputeSpectrogramImageSize(form.Session().Store().ValueCount, 1024, 512);
    ASSERT_FALSE(wanted.Refused());
    ASSERT_GT(wanted.Megabytes, 250.0);
    {
        LimitDataMemory limit(size_t{128} << 20);
        ASSERT_TRUE(limit.Active());
        ChooseItem(Child<QComboBox>("ComboXResolution"), 9); // "X / 512"
    }
    EXPECT_EQ(form.StatusText(1).toStdString(),
              RefusedImageText(width, height, wanted.Megabytes) + "; not enough memory for this picture.");
    EXPECT_TRUE(form.SrcImage->Bitmap().Empty());
    EXPECT_EQ(form.ShownAxes(), std::nullopt);
    EXPECT_EQ(form.Session().Spectrogram().CurrentFFTSize, 1024);
    EXPECT_EQ(form.StatusText(3), "  Channels: 1  SmpleRate: 8000");
    EXPECT_TRUE(Errors.isEmpty()) << Errors.join("; ").toStdString();
    ChooseItem(Child<QComboBox>("ComboXResolution"), 0);
    ExpectIdleAndUsable(form);
}

TEST_F(FailureChecks, ALargeTransformWhoseWorkArrayCannotBeAllocatedIsRefused) {
    if (!FailAllocationsFrom::Available()) GTEST_SKIP() << "allocations cannot be made to fail in this build";
    TMainForm& form = FormWithFile(WriteWav("n.wav", Tone(48000, 1200, 48000), 48000, 2));
    const int32_t width = form.SrcImage->Bitmap().Width();
    const int32_t height = form.SrcImage->Bitmap().Height();
    const SpectrogramImageSize wanted =
        ComputeSpectrogramImageSize(form.Session().Store().ValueCount, 8388608, 1);
    ASSERT_FALSE(wanted.Refused());
    {
        // The image (48 MiB, from calloc) is had; the 128 MiB frame of the transform is not.
        const std::size_t refusedBefore = FailAllocationsFrom::Refused();
        FailAllocationsFrom failing(size_t{64} << 20);
        ChooseItem(Child<QComboBox>("ComboFFTSize"), 19); // "8388608"
        EXPECT_GT(FailAllocationsFrom::Refused(), refusedBefore);
    }
    EXPECT_EQ(form.StatusText(1).toStdString(),
              RefusedImageText(width, height, wanted.Megabytes) + "; not enough memory for this picture.");
    EXPECT_TRUE(form.SrcImage->Bitmap().Empty());
    EXPECT_EQ(form.Session().Spectrogram().CurrentFFTSize, 1024);
    EXPECT_EQ(form.Session().Spectrogram().WindowTable.size(), 1024u);
    EXPECT_TRUE(Errors.isEmpty()) << Errors.join("; ").toStdString();
    ExpectIdleAndUsable(form);
}

TEST_F(FailureChecks, ARecordingThatCannotBeReadForWantOfMemoryChangesNothing) {
    if (!FailAllocationsFrom::Available()) GTEST_SKIP() << "allocations cannot be made to fail in this build";
    const std::string first = WriteWav("first.wav", Tone(8000, 500, 8000), 8000, 1);
    const std::string second = WriteWav("second.wav", Tone(400000, 700, 8000), 16000, 2);
    const std::vector<char> firstBytes = FileBytes(first);
    const std::vector<char> secondBytes = FileBytes(second);
    TMainForm& form = FormWithFile(first);
    form.AskSaveFileName = [this](const QString&) { return QString::fromStdString(PathIn("as.wav")); };
    {
        FailAllocationsFrom failing(700000); // the 800000-byte array of the second file cannot be had
        form.LoadWavFile(QString::fromStdString(second));
    }
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_EQ(Errors.front(), "Out of memory");
    // The second file was not read, and the first recording is as it was: its values, its picture,
    // its caption, its ruler, channel items and centre line (not those of the header that was read).
    EXPECT_EQ(form.Session().Store().FileName, first);
    EXPECT_EQ(form.Session().Store().SampleRate, 8000);
    EXPECT_EQ(form.windowTitle(), "  Orvane+  Demo version 02 - first.wav");
    EXPECT_EQ(form.StatusText(0), " ERROR: File Not Read.");
    EXPECT_EQ(form.StatusText(3), "  Channels: 1  SmpleRate: 8000");
    EXPECT_FALSE(form.SrcImage->Bitmap().Empty());
    EXPECT_EQ(form.RulerPaintBox->SampleRate(), 8000.0f);
    EXPECT_TRUE(Child<QAction>("mnu1Channel")->isChecked());
    EXPECT_FALSE(Child<QAction>("mnuInvertChannel1L")->isEnabled());
    EXPECT_EQ(form.SrcImage->Overlays().CentreLine(), nullptr);
    // Saving writes the first recording, never anything of the second.
    Child<QAction>("mnuSave")->trigger();
    EXPECT_EQ(FileBytes(first), firstBytes);
    EXPECT_EQ(FileBytes(second), secondBytes);
    ExpectIdleAndUsable(form);

    // With memory back the file reads as usual.
    form.LoadWavFile(QString::fromStdString(second));
    EXPECT_EQ(form.StatusText(0), " Bytes : 800000 16 Bit Data");
    ExpectIdleAndUsable(form);
}

// ---------------------------------------------------------------------------------------------------
// Saves that cannot be written

// Keeps files from growing past `bytes` while it lives, as a full disk does: writes beyond fail.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit lowered = previous_;
        lowered.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() {
        if (active_) setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    bool Active() const { return active_; }

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
    bool active_ = false;
};

// A save is written as a job: the window stays live, and what is written cannot change meanwhile.
TEST_F(FailureChecks, CommandsDuringASaveDoNotChangeWhatIsWritten) {
    const std::vector<int16_t> values = Tone(30000, 800, 8000);
    TMainForm& form = FormWithFile(WriteWav("live.wav", values, 8000, 1));
    form.AskSaveFileName = [this](const QString&) { return QString::fromStdString(PathIn("copy.wav")); };
    bool ran = false;
    WhileJobRuns(form, [&] {
        ran = true;
        EXPECT_TRUE(form.Busy());
        Child<QToolButton>("sbInvertSpectr")->click(); // ignored while the save runs
    });
    Child<QAction>("mnuSavewavAs")->trigger();
    EXPECT_TRUE(ran);
    EXPECT_EQ(form.StatusText(0), " Ready");
    SignalStore copy;
    ReadWavFile(copy, PathIn("copy.wav"));
    EXPECT_TRUE(std::equal(values.begin(), values.end(), copy.Samples.begin(), copy.Samples.end()));
    EXPECT_TRUE(std::equal(values.begin(), values.end(), form.Session().Store().Samples.begin(),
                           form.Session().Store().Samples.end()));

    // "Save Bitmap" writes the picture as it was shown at the click, whatever a palette does meanwhile.
    TBitmap32 shown;
    shown.Assign(form.SrcImage->Bitmap());
    ran = false;
    WhileJobRuns(form, [&] {
        ran = true;
        form.Spectrum1Click(PaletteItem::Greens);
    });
    Child<QToolButton>("sbSavePicturea")->click();
    EXPECT_TRUE(ran);
    const std::vector<char> bmp = FileBytes(form.SpectrogramPictureFileName().toStdString());
    ASSERT_EQ(bmp.size(), 54 + shown.PixelCount() * 4);
    EXPECT_EQ(std::memcmp(bmp.data() + 54, shown.Bits(), shown.PixelCount() * 4), 0);
    EXPECT_TRUE(Errors.isEmpty()) << Errors.join("; ").toStdString();
    ExpectIdleAndUsable(form);
}

TEST_F(FailureChecks, SavingOnAFullDiskKeepsTheFileAsItWas) {
    const std::string path = WriteWav("keep.wav", Tone(20000, 800, 8000), 8000, 1);
    const std::vector<char> original = FileBytes(path);
    TMainForm& form = FormWithFile(path);
    Child<QToolButton>("sbInvertSpectr")->click();
    {
        FileSizeLimit full(4096);
        ASSERT_TRUE(full.Active());
        Child<QAction>("mnuSave")->trigger();
        EXPECT_EQ(form.StatusText(0), " ERROR: Stream Error.");
        Child<QToolButton>("sbSaveSignal")->click(); // the quick save, a new file
        EXPECT_EQ(form.StatusText(0), " ERROR: Stream Error.");
    }
    EXPECT_EQ(FileBytes(path), original);
    EXPECT_EQ(OtherFiles(Folder(), {"keep.wav"}), std::vector<std::string>{});
    EXPECT_TRUE(Errors.isEmpty()) << Errors.join("; ").toStdString();
    ExpectIdleAndUsable(form);
    Child<QAction>("mnuSave")->trigger();
    EXPECT_EQ(form.StatusText(0), " Ready");
    EXPECT_NE(FileBytes(path), original);
}

TEST_F(FailureChecks, SavingToDevFullShowsTheStreamError) {
    TMainForm& form = FormWithFile(WriteWav("f.wav", Tone(20000, 800, 8000), 8000, 2));
    form.AskSaveFileName = [](const QString&) { return QStringLiteral("/dev/full"); };
    Child<QAction>("mnuSavewavAs")->trigger();
    EXPECT_EQ(form.StatusText(0), " ERROR: Stream Error.");

    // A name that leads to the full device through a link.
    std::filesystem::create_symlink("/dev/full", PathIn("linked.wav"));
    form.AskSaveFileName = [this](const QString&) { return QString::fromStdString(PathIn("linked.wav")); };
    Child<QAction>("mnuSavewavAs")->trigger();
    EXPECT_EQ(form.StatusText(0), " ERROR: Stream Error.");
    EXPECT_TRUE(std::filesystem::is_symlink(PathIn("linked.wav")));
    EXPECT_TRUE(Errors.isEmpty()) << Errors.join("; ").toStdString();
    ExpectIdleAndUsable(form);
}

TEST_F(FailureChecks, SavingIntoAVanishedFolderIsReportedAndTheWindowWorksOn) {
    const std::string folder = PathIn("work");
    std::filesystem::create_directory(folder);
    const std::vector<int16_t> values = Tone(10000, 800, 8000);
    WavFormatRecord record;
    record.SampleRate = 8000;
    record.Data = values;
    ASSERT_EQ(WriteWavFile(folder + "/v.wav", record), kWavWriteOk);
    TMainForm& form = FormWithFile(folder + "/v.wav");
    form.StartDirectory = folder; // the quick save and "Save Bitmap" write there too
    std::filesystem::remove_all(folder);

    Child<QAction>("mnuSave")->trigger();
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_TRUE(
        Errors.back().startsWith("Cannot create file \"" + QString::fromStdString(folder) + "/v.wav\"."))
        << Errors.back().toStdString();
    EXPECT_EQ(form.StatusText(0), " Saving v.wav...");

    Child<QToolButton>("sbSaveSignal")->click();
    ASSERT_EQ(Errors.size(), 2);
    EXPECT_TRUE(Errors.back().startsWith("Cannot create file")) << Errors.back().toStdString();
    EXPECT_TRUE(Errors.back().contains("DemoSample.wav")) << Errors.back().toStdString();

    Child<QToolButton>("sbSavePicturea")->click();
    ASSERT_EQ(Errors.size(), 3);
    EXPECT_TRUE(Errors.back().startsWith("Cannot create file")) << Errors.back().toStdString();
    EXPECT_TRUE(Errors.back().contains("Spectr_v.wav.bmp")) << Errors.back().toStdString();
    EXPECT_FALSE(std::filesystem::exists(folder));
    ExpectIdleAndUsable(form);

    // The recording is still there to be saved elsewhere.
    form.AskSaveFileName = [this](const QString&) { return QString::fromStdString(PathIn("rescued.wav")); };
    Child<QAction>("mnuSavewavAs")->trigger();
    EXPECT_EQ(form.StatusText(0), " Ready");
    SignalStore rescued;
    ReadWavFile(rescued, PathIn("rescued.wav"));
    EXPECT_TRUE(std::equal(values.begin(), values.end(), rescued.Samples.begin(), rescued.Samples.end()));
}

TEST_F(FailureChecks, SaveBitmapOnAFullDiskOrToTheFullDeviceKeepsWhatWasThere) {
    TMainForm& form = FormWithFile(WriteWav("b.wav", Tone(30000, 800, 8000), 8000, 1));
    const std::string target = form.SpectrogramPictureFileName().toStdString();
    const std::string before = "an earlier picture";
    std::ofstream(target, std::ios::binary) << before;
    {
        FileSizeLimit full(4096);
        ASSERT_TRUE(full.Active());
        Child<QToolButton>("sbSavePicturea")->click();
    }
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_TRUE(Errors.back().startsWith("Cannot write file")) << Errors.back().toStdString();
    const std::vector<char> kept = FileBytes(target);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), before);
    EXPECT_EQ(OtherFiles(Folder(), {"b.wav", "Spectr_b.wav.bmp"}), std::vector<std::string>{});
    ExpectIdleAndUsable(form);

    std::filesystem::remove(target);
    std::filesystem::create_symlink("/dev/full", target);
    Child<QToolButton>("sbSavePicturea")->click();
    ASSERT_EQ(Errors.size(), 2);
    EXPECT_TRUE(Errors.back().startsWith("Cannot write file")) << Errors.back().toStdString();
    ExpectIdleAndUsable(form);

    std::filesystem::remove(target);
    Child<QToolButton>("sbSavePicturea")->click();
    EXPECT_EQ(Errors.size(), 2);
    const TBitmap32& shown = form.SrcImage->Bitmap();
    EXPECT_EQ(std::filesystem::file_size(target), 54 + shown.PixelCount() * 4);
}

} // namespace
