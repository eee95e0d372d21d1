// Listen in the window, with the recording test device in place of the sound card: the panel is hidden
// on a first start; nothing marked or clicked is said; a clicked signal is heard demodulated at 48000 Hz
// mono with the play cursor moving, and stops with the stop button; a marked band is heard until an edit,
// which ends it before it rewrites the recording.
#include "AppTestSupport.h"
#include "WindowTestDevice.h"
#include "demod/ToneMeasure.h"

#include "spectral/SpectrogramReadout.h"
#include "view/Overlays.h"
#include "view/TRotLayer.h"
#include "view/qt/TImgView32.h"

#include <QTest>

namespace {

using namespace std::chrono_literals;
using Pace = TestWaveOutDevice::Pace;

constexpr int kFFT256 = 4;
constexpr int32_t kRate = 48000;

// One channel: an AM carrier at 12 kHz with a 1 kHz tone, and silence below it.
std::vector<int16_t> AmCarrier(double seconds) {
    std::vector<int16_t> values(size_t(seconds * kRate));
    for (size_t k = 0; k < values.size(); ++k) {
        const double t = double(k) / kRate;
        values[k] = int16_t(std::lround(10000 * (1 + 0.5 * std::cos(2 * std::numbers::pi * 1000 * t)) *
                                        std::cos(2 * std::numbers::pi * 12000 * t)));
    }
    return values;
}

class ListenTest : public WindowTest {
protected:
    TMainForm& Shown(double seconds) {
        StoredSettings().setValue("FFTSize", QString::number(kFFT256));
        TMainForm& form = NewForm();
        form.resize(1000, 800);
        form.show();
        form.LoadWavFile(QString::fromStdString(WriteWav("am.wav", AmCarrier(seconds), kRate, 1)));
        EXPECT_TRUE(form.ShownAxes().has_value());
        return form;
    }
    // The view point over the picture's row nearest `hertz`, a `share` of the way across.
    static QPoint Over(TMainForm& form, double hertz, double share) {
        const PictureAxes axes = *form.ShownAxes();
        int32_t row = 0;
        for (int32_t r = 0; r < axes.Height; ++r)
            if (std::abs(ReadRow(axes, r).Hertz - hertz) < std::abs(ReadRow(axes, row).Hertz - hertz))
                row = r;
        const TViewPlacement placement = form.SrcImage->Placement();
        const int x = int(placement.Left + placement.Width * share);
        for (int y = 0; y < form.SrcImage->viewport()->height(); ++y)
            if (form.SrcImage->ControlToBitmap(x, y).Y == row) return {x, y};
        ADD_FAILURE() << "no view row shows bitmap row " << row;
        return {x, 0};
    }
};

} // namespace

TEST_F(ListenTest, AClickedSignalIsHeardWithTheCursorUntilStopped) {
    TMainForm& form = Shown(3);
    EXPECT_FALSE(form.ListenPanel->isVisibleTo(&form));
    EXPECT_FALSE(form.mnuListenPanel->isChecked());
    form.mnuListenPanel->trigger();
    EXPECT_TRUE(form.ListenPanel->isVisibleTo(&form));
    TestWaveOutDevice* device = UseTestDevice(form, Pace::Gated);

    form.sbListen->click();
    EXPECT_EQ(form.StatusText(0), " Listen: click a signal or mark its band first.");
    EXPECT_FALSE(form.sbListen->isChecked());
    EXPECT_EQ(device->OpenCount(), 0);

    ChooseItem(form.cbListenMode, 4); // LSB, then back to AM: each brings its bandwidth
    EXPECT_EQ(form.EditListenBandwidth->text(), "2800");
    ChooseItem(form.cbListenMode, 0);
    EXPECT_EQ(form.EditListenBandwidth->text(), "10000");
    QTest::mouseClick(form.SrcImage->viewport(), Qt::LeftButton, Qt::NoModifier, Over(form, 12000, 0.25));
    form.EditListenBandwidth->setText("wide");
    form.sbListen->click();
    EXPECT_EQ(form.StatusText(0), " Listen refused: the bandwidth \"wide\" is not a number.");
    EXPECT_FALSE(form.sbListen->isChecked());

    form.EditListenBandwidth->setText("4000");
    form.sbListen->click();
    EXPECT_TRUE(form.sbListen->isChecked());
    ASSERT_TRUE(device->WaitForWrites(1, 5s));
    device->AllowWrites(12);
    ASSERT_TRUE(device->WaitForWrites(13, 5s));
    EXPECT_EQ(device->LastFormat().Channels, 1);
    EXPECT_EQ(device->LastFormat().SamplesPerSec, 48000u);
    const std::vector<int16_t> heard = Heard(*device);
    const std::span<const int16_t> halfSecond(heard.data() + 3072, kRate / 2);
    EXPECT_NEAR(demodtest::RisingZeroCrossings(halfSecond), 500, 1);
    EXPECT_GT(demodtest::ToneSnrDb(halfSecond, 1000, kRate), 30);
    // From a quarter of the picture's width on: the cursor stands past it.
    TRotLayer* cursor = form.SrcImage->Overlays().PlayCursor();
    ASSERT_NE(cursor, nullptr);
    ASSERT_TRUE(ProcessUntil(
        [&] { return cursor->Visible() && cursor->Position().X > 0.25 * form.SrcImage->Bitmap().Width(); }));

    form.sbStopPlay->click();
    device->AllowWrites(1000);
    ASSERT_TRUE(ProcessUntil([&] { return form.Player.PlaybackIdle() && !form.sbListen->isChecked(); }));
    EXPECT_FALSE(cursor->Visible());
}

TEST_F(ListenTest, AMarkedBandIsHeardUntilAnEditEndsItFirst) {
    TMainForm& form = Shown(20);
    TestWaveOutDevice* device = UseTestDevice(form, Pace::RealTime);
    const QPoint from = Over(form, 15000, 0.1);
    const QPoint to(from.x() + 200, Over(form, 9000, 0.1).y());
    QTest::mousePress(form.SrcImage->viewport(), Qt::RightButton, Qt::NoModifier, from);
    QTest::mouseMove(form.SrcImage->viewport(), to);
    QTest::mouseRelease(form.SrcImage->viewport(), Qt::RightButton, Qt::NoModifier, to);
    form.sbListen->click();
    ASSERT_TRUE(device->WaitForWrites(10, 5s));
    const std::vector<int16_t> heard = Heard(*device);
    EXPECT_NEAR(demodtest::RisingZeroCrossings(std::span(heard).subspan(3072, 24000)), 500, 1);

    form.sbNormAmp->click();
    EXPECT_TRUE(form.Player.PlaybackIdle());
    EXPECT_FALSE(form.sbListen->isChecked());
    EXPECT_EQ(form.StatusText(4), " Stopped");
    EXPECT_EQ(Caption(form.mnuUndo), "Undo Amp");
}
