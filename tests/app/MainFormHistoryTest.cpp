// Undo and Redo in the window: the items name the edit, a chain undone in full gives the file as read
// with the window following, a stopped edit can be undone, the undo memory is asked for and kept, and
// nothing moves while a job runs.
#include "AppTestSupport.h"

#include "app/TRulerPaintBox.h"
#include "signal/WavReader.h"
#include "view/Overlays.h"
#include "view/qt/TImgView32.h"

namespace {

using HistoryTest = WindowTest;

std::vector<int16_t> ValuesOf(const TMainForm& form) {
    return {form.Session().Store().Samples.begin(), form.Session().Store().Samples.end()};
}

std::vector<int16_t> IQValues(size_t count) {
    std::vector<int16_t> values(count);
    for (size_t i = 0; i < count; ++i) values[i] = int16_t((i * 7919) % 20000 - 10000);
    return values;
}

TEST_F(HistoryTest, AChainOfEditsUndoneInFullGivesTheFileAsReadAndRedoGivesItBack) {
    TMainForm& form = NewForm();
    form.show();
    const std::vector<int16_t> read = IQValues(40000);
    form.LoadWavFile(QString::fromStdString(WriteWav("iq.wav", read, 48000, 2)));
    QAction* undo = Child<QAction>("mnuUndo");
    QAction* redo = Child<QAction>("mnuRedo");
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(Caption(undo), "Undo");

    Child<QLineEdit>("EditFrq")->setText("3000");
    Child<QLineEdit>("EditASR")->setText("44100");
    form.sbNormAmpClick();
    form.sbGenSinClick();
    form.sbIQ2RealClick();
    EXPECT_EQ(Caption(undo), "Undo I/Q2R");
    form.sbASRClick();
    const std::vector<int16_t> edited = ValuesOf(form);
    EXPECT_EQ(form.Session().Store().SampleRate, 44100);
    EXPECT_EQ(Caption(undo), "Undo ASR");
    EXPECT_TRUE(undo->isEnabled());

    // Save writes the current state; undo works on after it as before.
    form.mnuSaveClick();
    SignalStore saved;
    ReadWavFile(saved, PathIn("iq.wav"));
    EXPECT_TRUE(std::equal(edited.begin(), edited.end(), saved.Samples.begin()));
    EXPECT_EQ(saved.SampleRate, 44100);

    for (const char* name : {"ASR", "I/Q2R", "Sin", "Amp"}) {
        EXPECT_EQ(Caption(undo), QString("Undo %1").arg(name));
        undo->trigger();
        EXPECT_EQ(Caption(redo), QString("Redo %1").arg(name));
        EXPECT_FALSE(form.Busy());
    }
    EXPECT_EQ(ValuesOf(form), read);
    EXPECT_EQ(form.Session().Store().ChannelCount, 2);
    EXPECT_EQ(form.Session().Store().SampleRate, 48000);
    // The window follows as after a read: two bands with their centre line, the ruler for 48000 Hz.
    EXPECT_TRUE(Child<QAction>("mnu2Channels")->isChecked());
    EXPECT_NE(form.SrcImage->Overlays().CentreLine(), nullptr);
    EXPECT_EQ(form.RulerPaintBox->SampleRate(), 48000.0f);
    EXPECT_EQ(form.StatusText(3), "  Channels: 2  SmpleRate: 48000");
    EXPECT_FALSE(undo->isEnabled());

    for (int i = 0; i < 4; ++i) Child<QAction>("mnuRedo")->trigger();
    EXPECT_EQ(ValuesOf(form), edited);
    EXPECT_EQ(form.Session().Store().ChannelCount, 1);
    EXPECT_EQ(form.Session().Store().SampleRate, 44100);
    EXPECT_TRUE(Child<QAction>("mnu1Channel")->isChecked());

    // A new file forgets every state.
    form.LoadWavFile(QString::fromStdString(WriteWav("other.wav", read, 8000, 1)));
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(Caption(undo), "Undo");
}

TEST_F(HistoryTest, AStoppedEditIsUndoneAndUndoDoesNothingWhileAJobRuns) {
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(WriteWav("tone.wav", Tone(400000, 700, 48000), 48000, 1)));
    const std::vector<int16_t> read = ValuesOf(form);
    Child<QLineEdit>("EditLPF")->setText("1000");
    WhileJobRuns(form, [&form] {
        form.mnuUndoClick(); // nothing to undo yet, and a job runs
        form.sbStopLoadClick();
    });
    form.sbLPFFilterClick();
    EXPECT_EQ(form.StatusText(0), " LPF stopped: the recording is changed in part.");
    ASSERT_NE(ValuesOf(form), read);
    const std::vector<int16_t> stopped = ValuesOf(form);

    Child<QLineEdit>("EditFrq")->setText("100");
    WhileJobRuns(form, [&form] { form.mnuUndoClick(); }); // ignored: the shift is running
    form.sbGenCosClick();
    EXPECT_EQ(form.Session().History().UndoName(), "Cos");
    form.mnuUndoClick();
    EXPECT_EQ(ValuesOf(form), stopped);
    form.mnuUndoClick();
    EXPECT_EQ(ValuesOf(form), read);
}

TEST_F(HistoryTest, AnEditWhoseStateDoesNotFitTheUndoMemorySaysSoAndTheSettingIsKept) {
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(WriteWav("tone.wav", Tone(100000, 700, 48000), 48000, 1)));
    form.sbFadeClick();
    ASSERT_EQ(form.Session().History().UndoName(), "Fade");
    int asked = -1;
    form.AskUndoMemory = [&asked](int current) {
        asked = current;
        return std::optional<int>(0);
    };
    Child<QAction>("mnuUndoMemory")->trigger();
    EXPECT_EQ(asked, int(DefaultUndoBudget() >> 20));
    EXPECT_FALSE(Child<QAction>("mnuUndo")->isEnabled()); // the kept state no longer fits

    form.sbNormAmpClick();
    EXPECT_EQ(form.StatusText(0), " Amp cannot be undone: no room in the undo memory.");
    EXPECT_FALSE(Child<QAction>("mnuUndo")->isEnabled());
    Child<QLineEdit>("EditASR")->setText("8000");
    form.sbASRClick(); // relabelling keeps no copy of the values: it can be undone
    EXPECT_EQ(Caption(Child<QAction>("mnuUndo")), "Undo ASR");

    EXPECT_TRUE(form.close());
    EXPECT_EQ(StoredSettings().value("UndoMemory").toString(), "0");
    TMainForm& again = NewForm();
    EXPECT_EQ(again.Session().History().Budget(), 0u);
}

} // namespace
