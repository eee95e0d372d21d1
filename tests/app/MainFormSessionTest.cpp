// What the window does with the recording session: unsaved edits marked and never dropped without a
// question, a file named on the command line that cannot be read, a refused picture of a new
// recording, and a save that keeps what the file carried.
#include "AppTestSupport.h"

#include "../signal/WavBytes.h"

#include "app/TElidedPanel.h"
#include "app/TRulerPaintBox.h"
#include "view/qt/TImgView32.h"

#include <QTest>
#include <QUrl>

#include <fstream>

namespace {

using SessionTest = WindowTest;

std::vector<int16_t> ValuesOf(const RecordingSession& session) {
    const SampleArray& values = session.Store().Samples;
    return std::vector<int16_t>(values.begin(), values.end());
}

std::vector<int16_t> ValuesOf(const TMainForm& form) {
    return ValuesOf(form.Session());
}

std::vector<int16_t> ValuesIn(const std::string& path) {
    RecordingSession reader;
    EXPECT_TRUE(reader.Open(path, {}).Opened);
    return ValuesOf(reader);
}

enum class Action { Open, Reload, Drop, Close };

struct UnsavedCase {
    Action Do;
    UnsavedChoice Answer;
};

std::string CaseName(const ::testing::TestParamInfo<UnsavedCase>& info) {
    static const char* const actions[] = {"Open", "Reload", "Drop", "Close"};
    static const char* const answers[] = {"Save", "Discard", "Cancel"};
    return std::string(actions[int(info.param.Do)]) + answers[int(info.param.Answer)];
}

class UnsavedChangesTest : public SessionTest, public ::testing::WithParamInterface<UnsavedCase> {};

TEST_P(UnsavedChangesTest, AreAskedAboutBeforeTheRecordingGoes) {
    const UnsavedCase c = GetParam();
    const std::vector<int16_t> original = Tone(8000, 700, 8000);
    const std::string first = WriteWav("first.wav", original, 8000, 1);
    const std::string second = WriteWav("second.wav", Tone(6000, 300, 8000), 8000, 1);
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(first));
    Child<QToolButton>("sbNormAmp")->click();
    const std::vector<int16_t> edited = ValuesOf(form);
    ASSERT_EQ(form.windowTitle(), "  Orvane+  Demo version 02 - *first.wav");
    UnsavedAnswer = c.Answer;

    bool closed = false;
    switch (c.Do) {
    case Action::Open:
        form.AskOpenFileName = [&] { return QString::fromStdString(second); };
        Child<QAction>("mnuOpen")->trigger();
        break;
    case Action::Reload:
        Child<QToolButton>("sbReload")->click();
        break;
    case Action::Drop:
        form.FilesDropped({QUrl::fromLocalFile(QString::fromStdString(second))});
        break;
    case Action::Close:
        closed = form.close();
        break;
    }
    EXPECT_EQ(UnsavedQuestions, 1);
    // Saved: the file holds the edit; otherwise it is as it was read.
    EXPECT_EQ(ValuesIn(first), c.Answer == UnsavedChoice::Save ? edited : original);
    if (c.Answer == UnsavedChoice::Cancel) {
        EXPECT_EQ(ValuesOf(form), edited);
        EXPECT_EQ(form.windowTitle(), "  Orvane+  Demo version 02 - *first.wav");
        EXPECT_FALSE(closed);
        return;
    }
    // The action went ahead.
    switch (c.Do) {
    case Action::Open:
    case Action::Drop:
        EXPECT_EQ(form.Session().Store().FileName, second);
        EXPECT_EQ(form.windowTitle(), "  Orvane+  Demo version 02 - second.wav");
        break;
    case Action::Reload:
        EXPECT_EQ(ValuesOf(form), ValuesIn(first));
        EXPECT_EQ(form.windowTitle(), "  Orvane+  Demo version 02 - first.wav");
        break;
    case Action::Close:
        EXPECT_TRUE(closed);
        break;
    }
}

std::vector<UnsavedCase> EveryActionAndAnswer() {
    std::vector<UnsavedCase> cases;
    for (Action action : {Action::Open, Action::Reload, Action::Drop, Action::Close})
        for (UnsavedChoice answer : {UnsavedChoice::Save, UnsavedChoice::Discard, UnsavedChoice::Cancel})
            cases.push_back({action, answer});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Actions, UnsavedChangesTest, ::testing::ValuesIn(EveryActionAndAnswer()), CaseName);

// The mark goes when the store is back to what the file holds, by undo or by a save, and nothing is
// asked then.
TEST_F(SessionTest, TheCaptionMarksChangesUntilUndoneOrSaved) {
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(WriteWav("m.wav", Tone(8000, 700, 8000), 8000, 1)));
    const QString clean = "  Orvane+  Demo version 02 - m.wav";
    EXPECT_EQ(form.windowTitle(), clean);
    Child<QToolButton>("sbFade")->click();
    EXPECT_EQ(form.windowTitle(), "  Orvane+  Demo version 02 - *m.wav");
    Child<QAction>("mnuUndo")->trigger();
    EXPECT_EQ(form.windowTitle(), clean);
    Child<QAction>("mnuRedo")->trigger();
    EXPECT_EQ(form.windowTitle(), "  Orvane+  Demo version 02 - *m.wav");
    Child<QAction>("mnuSave")->trigger();
    EXPECT_EQ(form.windowTitle(), clean);
    Child<QToolButton>("sbReload")->click();
    EXPECT_EQ(UnsavedQuestions, 0);
}

TEST_F(SessionTest, AFileOnTheCommandLineThatCannotBeReadIsNamedWithTheReason) {
    TMainForm& form = NewForm();
    form.show();
    ::testing::internal::CaptureStderr();
    form.OpenOnceShown("missing.wav");
    const bool shown = ProcessUntil([&] { return form.StatusText(0) == " ERROR: File Access."; });
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(shown) << form.StatusText(0).toStdString();
    EXPECT_EQ(err, "orvane: missing.wav: No such file or directory\n");
    EXPECT_FALSE(form.Session().Loaded());
}

// N = 1024 at "X / 4096": four columns a value, so that 1000 values give a picture and 200000 one of
// more than 501 MB.
TEST_F(SessionTest, ARefusedPictureOfANewRecordingLeavesNothingOfThePreviousOne) {
    StoredSettings().setValue("XResolution", "12");
    TMainForm& form = NewForm();
    form.resize(1000, 700);
    form.show();
    form.LoadWavFile(QString::fromStdString(WriteWav("small.wav", Tone(1000, 700, 8000), 8000, 2)));
    ASSERT_TRUE(form.ShownAxes().has_value());
    QTest::mouseMove(form.SrcImage->viewport(), QPoint(100, 100));
    ASSERT_FALSE(form.ReadoutPanel->FullText().isEmpty());

    form.LoadWavFile(QString::fromStdString(WriteWav("large.wav", Tone(200000, 700, 8000), 8000, 2)));
    EXPECT_EQ(form.windowTitle(), "  Orvane+  Demo version 02 - large.wav");
    EXPECT_TRUE(form.SrcImage->Bitmap().Empty());
    EXPECT_EQ(form.ShownAxes(), std::nullopt);
    EXPECT_EQ(form.ReadoutPanel->FullText(), "");
    EXPECT_EQ(form.RulerPaintBox->Bands(), 1);
    EXPECT_TRUE(form.StatusText(1).startsWith(" ERRR!")) << form.StatusText(1).toStdString();
    // 200000 values at "X / 1024" (one column a value): 409 MB, the widest picture within the limit.
    EXPECT_TRUE(form.StatusText(1).endsWith("; \"X / 1024\" fits.")) << form.StatusText(1).toStdString();
    EXPECT_EQ(form.SrcImage->PlaceholderText(), "The picture is too large: \"X / 1024\" fits.");
    EXPECT_FALSE(form.Busy());
    // The next picture that fits takes the place of the text.
    ChooseItem(form.ComboXResolution, 0);
    EXPECT_FALSE(form.SrcImage->Bitmap().Empty());
    EXPECT_EQ(form.SrcImage->PlaceholderText(), "");
}

// Ctrl+S on a 24-bit recording with an auxi chunk: the chunk is written back with the data, and the
// first save says that the file is now 16-bit.
TEST_F(SessionTest, SaveKeepsTheAuxiChunkAndSaysOnceThatTheFileIs16Bit) {
    using namespace wavtest;
    Bytes auxi(32, 0x22);
    Append32(auxi, 7050000);
    auxi.resize(164, 0x33);
    Bytes data;
    for (int i = 0; i < 3000; ++i) {
        const uint32_t v = uint32_t(i * 2000);
        data.insert(data.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16)});
    }
    const Bytes file = Riff({Chunk("fmt ", FmtPayload(Fmt{.Channels = 1, .BlockAlign = 3, .Bits = 24})),
                             Chunk("auxi", auxi), Chunk("data", data)});
    const std::string path = PathIn("rec.wav");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(path));
    Child<QAction>("mnuSave")->trigger();
    EXPECT_EQ(form.StatusText(0), " Ready: written as 16-bit PCM (the file had 24-bit samples).");
    Child<QAction>("mnuSave")->trigger();
    EXPECT_EQ(form.StatusText(0), " Ready");
    const Bytes saved = ReadFile(path);
    ASSERT_EQ(saved.size(), 48 + 3000 * 2 + 8 + 164u);
    EXPECT_EQ(Bytes(saved.end() - 164, saved.end()), auxi);
}

} // namespace
