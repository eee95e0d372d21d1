// Playback from where one looks, in the window with the recording test device: "Play" after a click
// starts at the clicked time, with a marker it plays the marker's time range (looping within it with
// "Loop"), Esc brings back the whole recording, and Space plays and stops except in a text field.
#include "AppTestSupport.h"
#include "WindowTestDevice.h"

#include "spectral/SpectrogramReadout.h"
#include "view/Overlays.h"
#include "view/TRotLayer.h"
#include "view/TRubberbandLayer.h"
#include "view/qt/TImgView32.h"

#include <QTest>

namespace {

using namespace std::chrono_literals;
using Pace = TestWaveOutDevice::Pace;

// One channel at 8000 Hz whose values tell their position, so that a range played shows where it lies.
std::vector<int16_t> Counting(size_t count) {
    std::vector<int16_t> values(count);
    for (size_t i = 0; i < count; ++i) values[i] = int16_t(int(i % 30000) - 15000);
    return values;
}

class PlayFromHereTest : public WindowTest {
protected:
    TMainForm& ShownForm(size_t values = 40000) {
        TMainForm& form = NewForm();
        form.resize(900, 700);
        form.show();
        form.LoadWavFile(QString::fromStdString(WriteWav("c.wav", Counting(values), 8000, 1)));
        EXPECT_TRUE(form.ShownAxes().has_value());
        return form;
    }
    static bool Idle(TMainForm& form) {
        return !form.sbPlayMemory->isChecked() && !form.sbLoopPlay->isChecked() && form.Player.PlaybackIdle();
    }
    // The first frame of the time the readout gives the picture's column under view x.
    static int64_t FrameAt(TMainForm& form, int x) {
        const PictureAxes axes = *form.ShownAxes();
        const int32_t column = form.SrcImage->ControlToBitmap(x, 10).X;
        return std::llround(ColumnSeconds(axes, column) * 8000);
    }
    // Plays once to the end; what was heard from this start on.
    static std::vector<int16_t> PlayOnce(TMainForm& form, TestWaveOutDevice& device) {
        const size_t before = device.WriteCount();
        form.sbPlayMemory->click();
        EXPECT_TRUE(ProcessUntil([&] { return Idle(form); }));
        const std::vector<int16_t> heard = Heard(device);
        return {heard.begin() + std::ptrdiff_t(before * 1024), heard.end()};
    }
    // `heard` is the copy's values first .. end - 1 (over and over when looped), then silence.
    static void ExpectRange(const TMainForm& form, const std::vector<int16_t>& heard, int64_t first,
                            int64_t end, bool looped) {
        const std::vector<int16_t>& copy = form.Player.PlaybackCopy();
        const size_t length = size_t(end - first);
        ASSERT_GE(heard.size(), length);
        const size_t played = looped ? heard.size() : length;
        for (size_t k = 0; k < played; ++k) ASSERT_EQ(heard[k], copy[size_t(first) + k % length]) << k;
        for (size_t k = played; k < heard.size(); ++k) ASSERT_EQ(heard[k], 0) << k;
    }
};

} // namespace

TEST_F(PlayFromHereTest, PlayStartsAtTheClickedTimeWithTheCursorThere) {
    TMainForm& form = ShownForm();
    TestWaveOutDevice* device = UseTestDevice(form);
    const std::vector<int16_t> whole = PlayOnce(form, *device); // no click: from the beginning
    ExpectRange(form, whole, 0, 40000, false);

    for (const int x : {300, 40, 700}) {
        SCOPED_TRACE(x);
        QTest::mouseClick(form.SrcImage->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x, 100));
        const int64_t first = FrameAt(form, x);
        ASSERT_GT(first, 0);
        ExpectRange(form, PlayOnce(form, *device), first, 40000, false);
    }

    // The cursor stands where the values played are, not at the picture's start.
    QTest::mouseClick(form.SrcImage->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(450, 100));
    const int64_t first = FrameAt(form, 450);
    TestWaveOutDevice* gated = UseTestDevice(form, Pace::Gated);
    form.sbPlayMemory->click();
    ASSERT_TRUE(gated->WaitForWrites(1, 5s));
    TRotLayer* cursor = form.SrcImage->Overlays().PlayCursor();
    const float expected = PlayCursorX(first + 1024, 40000, form.SrcImage->width());
    ASSERT_TRUE(ProcessUntil([&] { return cursor->Position().X == expected; }));
    EXPECT_GT(cursor->Position().X, 400);
    form.sbStopPlay->click();
    gated->AllowWrites(100);
    ASSERT_TRUE(ProcessUntil([&] { return Idle(form); }));
}

TEST_F(PlayFromHereTest, AMarkerPlaysItsTimeRangeOnceOrLoopedAndEscForgetsIt) {
    TMainForm& form = ShownForm();
    TestWaveOutDevice* device = UseTestDevice(form, Pace::Gated);
    QWidget* viewport = form.SrcImage->viewport();
    QTest::mousePress(viewport, Qt::RightButton, Qt::NoModifier, QPoint(200, 50));
    QTest::mouseMove(viewport, QPoint(300, 150));
    QTest::mouseRelease(viewport, Qt::RightButton, Qt::NoModifier, QPoint(300, 150));
    const int64_t first = FrameAt(form, 200);
    const int64_t end = FrameAt(form, 300);
    ASSERT_GT(end - first, 2000);
    ASSERT_LT(end - first, 6000);

    form.sbLoopPlay->click();
    ASSERT_TRUE(device->WaitForWrites(1, 5s));
    device->AllowWrites(20); // 21 buffers: more than three passes over the range
    ASSERT_TRUE(device->WaitForWrites(21, 5s));
    form.sbStopPlay->click();
    device->AllowWrites(100);
    ASSERT_TRUE(ProcessUntil([&] { return Idle(form); }));
    std::vector<int16_t> heard = Heard(*device);
    heard.resize(20 * 1024); // before the fade-out
    ExpectRange(form, heard, first, end, true);

    device->AllowWrites(1000);
    ExpectRange(form, PlayOnce(form, *device), first, end, false);

    // Zoom mode changes nothing of what is marked.
    form.sbImageMode->click();
    ExpectRange(form, PlayOnce(form, *device), first, end, false);

    // Esc on the picture: the marker is hidden, the click forgotten, the whole recording plays.
    QTest::keyClick(form.SrcImage, Qt::Key_Escape);
    EXPECT_FALSE(form.RubberBand()->Visible());
    ExpectRange(form, PlayOnce(form, *device), 0, 40000, false);
}

TEST_F(PlayFromHereTest, SpacePlaysAndStopsButNotInATextField) {
    TMainForm& form = ShownForm();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    TestWaveOutDevice* device = UseTestDevice(form, Pace::Gated);
    form.SrcImage->setFocus();
    QTest::keyClick(form.SrcImage, Qt::Key_Space);
    EXPECT_TRUE(form.sbPlayMemory->isChecked());
    ASSERT_TRUE(device->WaitForWrites(1, 5s));
    QTest::keyClick(form.SrcImage, Qt::Key_Space);
    device->AllowWrites(100);
    ASSERT_TRUE(ProcessUntil([&] { return Idle(form); }));
    EXPECT_EQ(form.StatusText(4), " Stopped");

    if (!form.ShiftPanel->isVisible()) form.mnuShiftPanel->trigger(); // the panel with EditFrq
    ASSERT_TRUE(form.EditFrq->isVisible());
    form.EditFrq->setFocus();
    form.EditFrq->setText("12");
    form.EditFrq->end(false);
    QTest::keyClick(form.EditFrq, Qt::Key_Space);
    EXPECT_EQ(form.EditFrq->text(), "12 ");
    EXPECT_FALSE(form.sbPlayMemory->isChecked());
    EXPECT_EQ(device->OpenCount(), 1);
}
