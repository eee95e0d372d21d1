// Bare I/Q captures in the window: the rate and centre are asked for once per file and run (Cancel
// leaves the recording shown), Reload and reopening use the answer; the dialog itself refuses a rate
// that is not a whole number above 0 and stays open; the open dialog lists the capture extensions.
#include "AppTestSupport.h"

#include "app/CaptureRateDialog.h"
#include "app/OpenDialogFilter.h"

#include <QUrl>

#include <fstream>

namespace {

using CaptureTest = WindowTest;

// A question about a capture as the window asked it.
struct Question {
    QString File;
    int64_t Rate = 0;
    int64_t NameCentre = 0;
};

class CaptureWindowTest : public WindowTest {
protected:
    // A window whose capture question is recorded and answered with `Answer` (nothing: Cancel).
    TMainForm& CaptureForm() {
        TMainForm& form = NewForm();
        form.show();
        form.AskCaptureOptions = [this](const QString& file, int64_t rate, int64_t nameCentre) {
            Questions.push_back({file, rate, nameCentre});
            return Answer;
        };
        return form;
    }
    // `samples` complex unsigned 8-bit samples of a tone at an eighth of the rate.
    std::string WriteCu8(const std::string& name, size_t samples) {
        std::ofstream out(PathIn(name), std::ios::binary);
        for (size_t i = 0; i < samples; ++i) {
            const double phase = 2 * std::numbers::pi * double(i) / 8;
            out.put(char(128 + std::lround(100 * std::cos(phase))));
            out.put(char(128 + std::lround(100 * std::sin(phase))));
        }
        return PathIn(name);
    }
    void OpenWithMenu(TMainForm& form, const std::string& path) {
        form.AskOpenFileName = [path] { return QString::fromStdString(path); };
        Child<QAction>("mnuOpen")->trigger();
    }

    std::vector<Question> Questions;
    std::optional<CaptureOptions> Answer;
};

CaptureOptions RateAndCentre(int64_t rate, int64_t centre) {
    CaptureOptions options;
    options.SampleRate = rate;
    options.CentreFrequency = centre;
    return options;
}

TEST_F(CaptureWindowTest, OpeningACaptureAsksOnceAndCancelLeavesTheShownRecording) {
    TMainForm& form = CaptureForm();
    const std::string wav = WriteWav("first.wav", Tone(8000, 500, 8000), 8000, 1);
    const std::string capture = WriteCu8("rtl_100MHz.cu8", 4096);
    OpenWithMenu(form, wav);
    const QString wavStatus = form.StatusText(0);
    const QString wavTitle = form.windowTitle();

    OpenWithMenu(form, capture); // Cancel
    ASSERT_EQ(Questions.size(), 1u);
    EXPECT_EQ(Questions[0].File.toStdString(), capture);
    EXPECT_EQ(Questions[0].Rate, 2048000);
    EXPECT_EQ(Questions[0].NameCentre, 100000000);
    EXPECT_EQ(form.Session().Store().FileName, wav);
    EXPECT_EQ(form.StatusText(0), wavStatus);
    EXPECT_EQ(form.windowTitle(), wavTitle);
    EXPECT_TRUE(Errors.isEmpty());

    Answer = RateAndCentre(250000, 0);
    OpenWithMenu(form, capture); // asked again: Cancel kept nothing
    ASSERT_EQ(Questions.size(), 2u);
    EXPECT_EQ(form.Session().Store().FileName, capture);
    EXPECT_EQ(form.Session().Store().SampleRate, 250000);
    EXPECT_EQ(form.Session().Store().ChannelCount, 2);
    EXPECT_EQ(form.Session().Description().CentreFrequency, 0);
    EXPECT_EQ(form.StatusText(0), " Bytes : 8192 cu8 Capture");
    EXPECT_EQ(form.StatusText(3), "  Channels: 2  SmpleRate: 250000");

    // Reopening, dropping and Reload use the answer without asking.
    Answer = RateAndCentre(96000, 0);
    OpenWithMenu(form, wav);
    OpenWithMenu(form, capture);
    form.FilesDropped({QUrl::fromLocalFile(QString::fromStdString(capture))});
    Child<QToolButton>("sbReload")->click();
    EXPECT_EQ(Questions.size(), 2u);
    EXPECT_EQ(form.Session().Store().FileName, capture);
    EXPECT_EQ(form.Session().Store().SampleRate, 250000);
}

TEST_F(CaptureWindowTest, ACaptureNamedOnTheCommandLineOrDroppedIsAskedFor) {
    TMainForm& form = CaptureForm();
    const std::string named = WriteCu8("named.cs8", 1024);
    Answer = RateAndCentre(48000, 7050000);
    form.OpenOnceShown("named.cs8");
    ASSERT_TRUE(ProcessUntil([&] { return form.Session().Loaded() && !form.Busy(); }));
    ASSERT_EQ(Questions.size(), 1u);
    EXPECT_EQ(Questions[0].File.toStdString(), named);
    EXPECT_EQ(Questions[0].Rate, 2048000);
    EXPECT_EQ(form.Session().Store().SampleRate, 48000);
    EXPECT_EQ(form.Session().Description().CentreFrequency, 7050000);

    // The next capture is offered the last answer's rate.
    const std::string dropped = WriteCu8("dropped_48000Hz.cf64", 64);
    Answer.reset();
    form.FilesDropped({QUrl::fromLocalFile(QString::fromStdString(dropped))});
    ASSERT_EQ(Questions.size(), 2u);
    EXPECT_EQ(Questions[1].Rate, 48000);
    EXPECT_EQ(Questions[1].NameCentre, 0); // the name's only frequency is the rate
    EXPECT_EQ(form.Session().Store().FileName, named);
}

TEST_F(CaptureTest, TheDialogKeepsABadRateOpenWithAMessage) {
    CaptureRateDialog dialog("/x/rtl_433.92MHz.cu8", 2048000, 433920000);
    dialog.show();
    ASSERT_EQ(dialog.findChild<QComboBox*>("cbCaptureRate"), dialog.cbCaptureRate);
    ASSERT_EQ(dialog.findChild<QLineEdit*>("EditCaptureCentre"), dialog.EditCaptureCentre);
    EXPECT_EQ(dialog.objectName(), "CaptureRateDialog");
    EXPECT_TRUE(dialog.cbCaptureRate->isEditable());
    QStringList rates;
    for (int i = 0; i < dialog.cbCaptureRate->count(); ++i) rates << dialog.cbCaptureRate->itemText(i);
    EXPECT_EQ(rates, QStringList({"48000", "96000", "192000", "250000", "1024000", "2048000", "2400000",
                                  "3200000", "10000000", "20000000"}));
    EXPECT_EQ(dialog.cbCaptureRate->currentText(), "2048000");
    EXPECT_EQ(dialog.EditCaptureCentre->text(), "433920000");

    for (const char* bad : {"0", "-48000", "48000.5", "48k", "", "2147483648"}) {
        dialog.cbCaptureRate->setEditText(bad);
        dialog.accept();
        EXPECT_TRUE(dialog.isVisible()) << bad;
        EXPECT_NE(dialog.result(), QDialog::Accepted) << bad;
        EXPECT_FALSE(dialog.Answer()) << bad;
        EXPECT_TRUE(dialog.Message->text().startsWith("Sample rate: ")) << bad;
    }
    dialog.cbCaptureRate->setEditText("250000");
    dialog.EditCaptureCentre->setText("7.05MHz");
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.Message->text().startsWith("Centre frequency: "));

    dialog.EditCaptureCentre->clear(); // empty: none
    dialog.accept();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    ASSERT_TRUE(dialog.Answer());
    EXPECT_EQ(dialog.Answer()->SampleRate, 250000);
    EXPECT_EQ(dialog.Answer()->CentreFrequency, 0);
}

TEST_F(CaptureTest, TheOpenDialogListsCapturesAfterItsOwnEntries) {
    const QStringList filters = OpenDialogFilter().split(";;");
    ASSERT_EQ(filters.size(), 4);
    EXPECT_EQ(filters[0], "wav (*.wav)");
    EXPECT_EQ(filters[1], "Any File (*)");
    EXPECT_EQ(filters[2], "SigMF recording (*.sigmf-meta *.sigmf-data)");
    EXPECT_EQ(filters[3],
              "I/Q Capture (*.cu8 *.uc8 *.cs8 *.sc8 *.cs16 *.sc16 *.cf32 *.fc32 *.cfile *.cf64 *.fc64)");
}

} // namespace
