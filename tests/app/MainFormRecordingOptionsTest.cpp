// Options > "Largest File..." (kept in the settings, used by the window's reads) and Options > "Centre
// Frequency..." (kept per recording for the run, beside what the file carries).
#include "AppTestSupport.h"

#include "signal/WavReader.h"
#include "view/qt/TImgView32.h"

namespace {

using RecordingOptionsTest = WindowTest;

struct LimitCase {
    int64_t Delta; // the limit minus the file's size
    bool Read;
};

class LargestFileTest : public WindowTest, public ::testing::WithParamInterface<LimitCase> {};

} // namespace

TEST_P(LargestFileTest, TheReaderOfTheWindowKeepsToTheSetting) {
    TMainForm& form = NewForm();
    const std::string path = WriteWav("rec.wav", Tone(1000, 700, 8000), 8000, 1);
    const auto size = int64_t(std::filesystem::file_size(path));
    int64_t asked = -1;
    form.AskLargestFile = [&](int64_t current) {
        asked = current;
        return std::optional<int64_t>(size + GetParam().Delta);
    };
    Child<QAction>("mnuLargestFile")->trigger();
    EXPECT_EQ(asked, kMaxWavFileSize);
    EXPECT_EQ(form.LargestFile(), size + GetParam().Delta);

    form.LoadWavFile(QString::fromStdString(path));
    if (GetParam().Read) {
        EXPECT_EQ(form.StatusText(0), " Bytes : 2000 16 Bit Data");
        EXPECT_EQ(form.Session().Store().ValueCount, 1000);
    } else {
        EXPECT_EQ(form.StatusText(0), " ERROR: File Size Out of Range.");
        EXPECT_FALSE(form.Session().Store().Loaded());
    }
    EXPECT_FALSE(form.Busy());
}

INSTANTIATE_TEST_SUITE_P(Limits, LargestFileTest,
                         ::testing::Values(LimitCase{-1, false}, LimitCase{0, true}, LimitCase{1, true}));

TEST_F(RecordingOptionsTest, LargestFileIsKeptInTheSettings) {
    NewForm();
    EXPECT_EQ(Caption(Child<QAction>("mnuLargestFile")), "Largest File...");
    EXPECT_EQ(Form().LargestFile(), kMaxWavFileSize);
    EXPECT_FALSE(StoredSettings().contains("LargestFile")); // a first start stores nothing new

    Form().AskLargestFile = [](int64_t) { return std::optional<int64_t>(2500000000); };
    Child<QAction>("mnuLargestFile")->trigger();
    EXPECT_EQ(StoredSettings().value("LargestFile").toString(), "2500000000");
    Form().AskLargestFile = [](int64_t) { return std::nullopt; }; // cancel
    Child<QAction>("mnuLargestFile")->trigger();
    EXPECT_EQ(NewForm().LargestFile(), 2500000000);

    for (const char* stored : {"abc", "0", "-5", "12.5", ""}) {
        StoredSettings().setValue("LargestFile", stored);
        EXPECT_EQ(NewForm().LargestFile(), kMaxWavFileSize) << stored;
    }
}

TEST_F(RecordingOptionsTest, CentreFrequencyFromTheFileOrTypedPerRecording) {
    TMainForm& form = NewForm();
    EXPECT_EQ(Caption(Child<QAction>("mnuCentreFrequency")), "Centre Frequency...");
    int asks = 0;
    int64_t typed = 0;
    form.AskCentreFrequency = [&](int64_t current) {
        ++asks;
        EXPECT_EQ(current, form.Session().Description().CentreFrequency);
        return std::optional<int64_t>(typed);
    };
    Child<QAction>("mnuCentreFrequency")->trigger(); // nothing loaded: nothing to ask about
    EXPECT_EQ(asks, 0);

    const QString named = QString::fromStdString(WriteWav("rec_7050kHz.wav", Tone(800, 700, 8000), 8000, 2));
    const QString plain = QString::fromStdString(WriteWav("plain.wav", Tone(800, 700, 8000), 8000, 2));
    form.LoadWavFile(named);
    EXPECT_EQ(form.Session().Description().CentreFrequency, 7050000);
    form.LoadWavFile(plain);
    EXPECT_EQ(form.Session().Description().CentreFrequency, 0);

    typed = 14074000;
    Child<QAction>("mnuCentreFrequency")->trigger();
    EXPECT_EQ(form.Session().Description().CentreFrequency, 14074000);
    form.ReloadFile();
    EXPECT_EQ(form.Session().Description().CentreFrequency, 14074000); // kept over a reload

    form.LoadWavFile(named);
    EXPECT_EQ(form.Session().Description().CentreFrequency, 7050000);
    typed = 0; // the user says the recording has none
    Child<QAction>("mnuCentreFrequency")->trigger();
    EXPECT_EQ(form.Session().Description().CentreFrequency, 0);
    form.LoadWavFile(plain);
    EXPECT_EQ(form.Session().Description().CentreFrequency, 14074000);
    form.LoadWavFile(named);
    EXPECT_EQ(form.Session().Description().CentreFrequency, 0);

    typed = -1; // out of range: refused
    Child<QAction>("mnuCentreFrequency")->trigger();
    EXPECT_EQ(form.Session().Description().CentreFrequency, 0);
    EXPECT_EQ(asks, 3);
    // A failed read keeps the recording shown, and with it its centre frequency.
    form.LoadWavFile(QString::fromStdString(PathIn("missing_3500kHz.wav")));
    EXPECT_EQ(form.Shown().FileName, named.toStdString());
    EXPECT_EQ(form.Session().Description().CentreFrequency, 0);
}

// A raised limit adds the wide image widths after the list's own items; "X * 4" gives a picture with a
// column every four frames; back at the default the items go and "X = Y" is selected.
TEST_F(RecordingOptionsTest, WideImageWidthsWhileTheLimitIsRaised) {
    TMainForm& form = NewForm();
    QComboBox* widths = Child<QComboBox>("ComboXResolution");
    ASSERT_EQ(widths->count(), 13);
    form.AskLargestFile = [](int64_t) { return std::optional<int64_t>(2500000000); };
    Child<QAction>("mnuLargestFile")->trigger();
    ASSERT_EQ(widths->count(), 18);
    EXPECT_EQ(widths->itemText(13), "X * 2");
    EXPECT_EQ(widths->itemText(17), "X * 32");

    widths->setCurrentIndex(14);
    form.LoadWavFile(QString::fromStdString(WriteWav("long.wav", Tone(100000, 700, 8000), 8000, 1)));
    EXPECT_EQ(form.SrcImage->Bitmap().Width(), (100000 + 1024) / 4096 + 2);
    EXPECT_EQ(form.StatusText(1), " 26x512 - 0.051 Mb bmp");

    form.AskLargestFile = [](int64_t) { return std::optional<int64_t>(kMaxWavFileSize); };
    Child<QAction>("mnuLargestFile")->trigger();
    EXPECT_EQ(widths->count(), 13);
    EXPECT_EQ(widths->currentIndex(), 0);
}
