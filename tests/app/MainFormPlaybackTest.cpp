// Playback in the window, with the recording test device in place of the sound card: the three
// buttons, status panel 4, the play cursor, the stops made by edits, "Reload" and drops, a play click
// during a job, and the close that waits for playback to end.
#include "AppTestSupport.h"
#include "WindowTestDevice.h"

#include "app/PlaybackSignals.h"
#include "view/Overlays.h"
#include "view/TRotLayer.h"
#include "view/qt/TImgView32.h"

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;
using PlaybackTest = WindowTest;
using Pace = TestWaveOutDevice::Pace;

bool ButtonsUp(TMainForm& form) {
    return !form.sbPlayMemory->isChecked() && !form.sbLoopPlay->isChecked();
}

TRotLayer* Cursor(TMainForm& form) {
    return form.SrcImage->Overlays().PlayCursor();
}

} // namespace

TEST_F(PlaybackTest, PlayOnceShowsTheDeviceMovesTheCursorAndEndsWithTheButtonsUp) {
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(WriteWav("tone.wav", Tone(5000, 500, 8000), 8000, 1)));
    TestWaveOutDevice* device = UseTestDevice(form, Pace::Gated);

    form.sbPlayMemory->click();
    EXPECT_TRUE(form.sbPlayMemory->isChecked());
    ASSERT_NE(Cursor(form), nullptr);
    ASSERT_TRUE(device->WaitForWrites(1, 5s)); // the first buffer, 1024 values, has been filled
    ASSERT_TRUE(ProcessUntil([&] { return Cursor(form)->Position().X > 0; }));
    EXPECT_EQ(form.StatusText(4), " Playing Test Output");
    EXPECT_TRUE(Cursor(form)->Visible());
    EXPECT_FLOAT_EQ(float(Cursor(form)->Position().X), PlayCursorX(1024, 5000, form.SrcImage->width()));

    device->AllowWrites(100);
    ASSERT_TRUE(ProcessUntil([&] { return ButtonsUp(form); }));
    EXPECT_TRUE(form.Player.PlaybackIdle());
    EXPECT_EQ(form.StatusText(4), " Stopped");
    EXPECT_FALSE(Cursor(form)->Visible());
    // The whole recording was played (its ends faded), then the rest of the last buffer was silent.
    const std::vector<int16_t> heard = Heard(*device);
    ASSERT_EQ(heard.size(), 5u * 1024);
    for (size_t i = 250; i < 4750; ++i) ASSERT_EQ(heard[i], form.Session().Store().Samples[i]) << i;
    for (size_t i = 5000; i < heard.size(); ++i) ASSERT_EQ(heard[i], 0) << i;
}

TEST_F(PlaybackTest, StopButtonClearsThePanelAndFadesOut) {
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(WriteWav("tone.wav", Tone(48000, 440, 48000), 48000, 1)));
    TestWaveOutDevice* device = UseTestDevice(form, Pace::RealTime);

    form.sbLoopPlay->click();
    EXPECT_TRUE(form.Player.Loop());
    ASSERT_TRUE(ProcessUntil([&] { return form.StatusText(4) == " Playing Test Output"; }));
    ASSERT_TRUE(device->WaitForWrites(3, 5s));

    form.sbStopPlay->click();
    EXPECT_EQ(form.StatusText(4), "");
    EXPECT_FALSE(Cursor(form)->Visible());
    EXPECT_FALSE(form.Player.Loop());
    ASSERT_TRUE(ProcessUntil([&] { return ButtonsUp(form); }));
    EXPECT_EQ(form.StatusText(4), " Stopped");

    const auto buffers = device->Buffers();
    ASSERT_GE(buffers.size(), 5u);
    const auto& ramp = buffers[buffers.size() - 2];
    const auto& silence = buffers.back();
    for (int16_t v : silence) ASSERT_EQ(v, 0);
    int headPeak = 0, tailPeak = 0;
    for (size_t i = 0; i < 200; ++i) headPeak = std::max(headPeak, std::abs(int(ramp[i])));
    for (size_t i = ramp.size() - 200; i < ramp.size(); ++i)
        tailPeak = std::max(tailPeak, std::abs(int(ramp[i])));
    EXPECT_GT(headPeak, 7000);
    EXPECT_LT(tailPeak, 8000 * 200 / 3072 + 1);
}

TEST_F(PlaybackTest, PlayAndLoopButtonsAreAGroupThatSwitchesTheRunningPlayback) {
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(WriteWav("tone.wav", Tone(48000, 440, 48000), 48000, 1)));
    TestWaveOutDevice* device = UseTestDevice(form, Pace::RealTime);

    form.sbLoopPlay->click();
    ASSERT_TRUE(device->WaitForWrites(1, 5s));
    form.sbPlayMemory->click(); // the loop button goes up; the playback goes on, now to the copy's end
    EXPECT_TRUE(form.sbPlayMemory->isChecked());
    EXPECT_FALSE(form.sbLoopPlay->isChecked());
    EXPECT_FALSE(form.Player.Loop());
    EXPECT_FALSE(form.Player.PlaybackIdle());
    form.sbPlayMemory->click(); // released: a stop with fade-out
    EXPECT_FALSE(form.sbPlayMemory->isChecked());
    ASSERT_TRUE(ProcessUntil([&] { return form.Player.PlaybackIdle(); }));
    EXPECT_EQ(device->OpenCount(), 1);
    const auto buffers = device->Buffers();
    for (int16_t v : buffers.back()) ASSERT_EQ(v, 0);
}

TEST_F(PlaybackTest, ThePlayedCopyFollowsEditsAndIsReusedOtherwise) {
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(WriteWav("tone.wav", Tone(6000, 300, 8000), 8000, 1)));
    TestWaveOutDevice* device = UseTestDevice(form);
    auto playOnce = [&] {
        const size_t before = device->WriteCount();
        form.sbPlayMemory->click();
        EXPECT_TRUE(ProcessUntil([&] { return ButtonsUp(form) && form.Player.PlaybackIdle(); }));
        std::vector<int16_t> heard = Heard(*device);
        return std::vector<int16_t>(heard.begin() + std::ptrdiff_t(before * 1024), heard.end());
    };

    const std::vector<int16_t> first = playOnce();
    EXPECT_EQ(playOnce(), first); // unchanged recording: the same copy, faded once
    form.sbNormAmpClick();        // amplitude 8000 -> 25000, then the spectrogram again
    ASSERT_FALSE(form.Busy());
    const std::vector<int16_t> edited = playOnce();
    ASSERT_EQ(edited.size(), first.size());
    for (size_t i = 250; i < 5750; ++i) ASSERT_EQ(edited[i], form.Session().Store().Samples[i]) << i;
    EXPECT_NE(edited, first);
}

TEST_F(PlaybackTest, APlayClickDuringAnEditJobWaitsForItAndPlaysTheEditedStore) {
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(WriteWav("tone.wav", Tone(6000, 300, 8000), 8000, 1)));
    TestWaveOutDevice* device = UseTestDevice(form);
    ASSERT_TRUE(form.Player.IsCopyStale());

    // A job of two edits that has run the first when the play button is clicked.
    const std::optional<PreparedEdit> invert = form.Session().Prepare(EditCommand::Invert, {}).Edit;
    const std::optional<PreparedEdit> amp = form.Session().Prepare(EditCommand::Amp, {}).Edit;
    ASSERT_TRUE(invert && amp);
    std::atomic<bool> halfDone{false}, clicked{false};
    WhileJobRuns(form, [&] {
        while (!halfDone) std::this_thread::sleep_for(1ms);
        form.sbPlayMemory->click();
        EXPECT_TRUE(form.sbPlayMemory->isChecked());
        EXPECT_TRUE(form.Player.IsCopyStale()); // not copied
        EXPECT_EQ(device->OpenCount(), 0);      // not started
        clicked = true;
    });
    form.SetBusy(true);
    form.RunLongJob([&] {
        form.Session().Apply(*invert);
        halfDone = true;
        while (!clicked) std::this_thread::sleep_for(1ms);
        form.Session().Apply(*amp);
    });
    EXPECT_EQ(device->OpenCount(), 0);
    form.SetBusy(false);

    ASSERT_TRUE(ProcessUntil([&] { return device->OpenCount() == 1 && ButtonsUp(form); }));
    const std::vector<int16_t> heard = Heard(*device);
    const SampleArray& edited = form.Session().Store().Samples;
    ASSERT_GE(heard.size(), 6000u);
    for (size_t i = 250; i < 5750; ++i) ASSERT_EQ(heard[i], edited[i]) << i;
}

TEST_F(PlaybackTest, CursorIsPlacedInViewPixelsFromThePlaybackThread) {
    TMainForm& form = NewForm();
    form.resize(1200, 700);
    form.show();
    form.SrcImage->setFixedWidth(800);
    ASSERT_TRUE(ProcessUntil([&] { return form.SrcImage->width() == 800; }));
    form.SrcImage->CreatePlayCursor();
    auto* reporter = form.findChild<PlaybackSignals*>();
    ASSERT_NE(reporter, nullptr);
    form.sbLoopPlay->setChecked(true); // as while a loop plays

    std::thread([reporter] {
        reporter->PlayCursorShown(true);
        reporter->PlayCursorMoved(48000, 96000);
    }).join();
    EXPECT_FLOAT_EQ(float(Cursor(form)->Position().X), 0.0f); // nothing applied off the window's thread
    QCoreApplication::processEvents();
    EXPECT_FLOAT_EQ(float(Cursor(form)->Position().X), 400.0f);
    EXPECT_FLOAT_EQ(float(Cursor(form)->Position().Y), 0.0f);
    EXPECT_TRUE(Cursor(form)->Visible());

    // In zoom mode the start of a playback leaves the cursor hidden; leaving zoom mode shows it only
    // while something plays.
    form.sbImageMode->click();
    std::thread([reporter] { reporter->PlayCursorShown(true); }).join();
    QCoreApplication::processEvents();
    EXPECT_FALSE(Cursor(form)->Visible());
    form.sbImageMode->click();
    EXPECT_FALSE(Cursor(form)->Visible()); // the module is idle

    // The report of a start whose button has been released meanwhile leaves the cursor hidden.
    form.sbLoopPlay->setChecked(false);
    std::thread([reporter] { reporter->PlayCursorShown(true); }).join();
    QCoreApplication::processEvents();
    EXPECT_FALSE(Cursor(form)->Visible());
}

TEST_F(PlaybackTest, EditsReloadAndDropsStopPlaybackWithAFadeOut) {
    TMainForm& form = NewForm();
    form.show();
    const QString file = QString::fromStdString(WriteWav("tone.wav", Tone(48000, 440, 48000), 48000, 1));
    form.LoadWavFile(file);
    TestWaveOutDevice* device = UseTestDevice(form, Pace::RealTime);
    const std::vector<std::pair<const char*, std::function<void()>>> stops = {
        {"fade", [&] { form.sbFadeClick(); }},
        {"reload", [&] { form.sbReloadClick(); }},
        {"drop", [&] { form.OpenDroppedFile(file); }},
    };
    for (const auto& [name, stop] : stops) {
        SCOPED_TRACE(name);
        const size_t before = device->WriteCount();
        form.sbLoopPlay->click();
        ASSERT_TRUE(device->WaitForWrites(before + 3, 5s));
        stop();
        ASSERT_TRUE(ProcessUntil([&] { return form.Player.PlaybackIdle() && ButtonsUp(form); }));
        EXPECT_FALSE(form.Busy());
        const auto buffers = device->Buffers();
        for (int16_t v : buffers.back()) ASSERT_EQ(v, 0);
        const auto& ramp = buffers[buffers.size() - 2];
        EXPECT_LE(std::abs(int(ramp.back())), 8000 * 2 / 3072 + 1);
        EXPECT_EQ(form.StatusText(4), " Stopped");
    }
}

TEST_F(PlaybackTest, FailuresShowTheirTextAndReleaseTheButton) {
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(WriteWav("tone.wav", Tone(5000, 500, 8000), 8000, 1)));
    const std::string rateZero = WriteWav("rate0.wav", Tone(5000, 500, 8000), 0, 1);

    TestWaveOutDevice::Options none, refuses, closed;
    none.Present = false;
    refuses.SupportsFormat = false;
    closed.Opens = false;
    for (const auto& [text, options] :
         {std::pair{" Device Error", none}, std::pair{" Unsupported Format", refuses},
          std::pair{" Can Not Play", closed}}) {
        SCOPED_TRACE(text);
        ASSERT_TRUE(form.Player.SetDevice(std::make_unique<TestWaveOutDevice>(options)));
        form.sbLoopPlay->click();
        ASSERT_TRUE(ProcessUntil([&] { return form.StatusText(4) == text && ButtonsUp(form); }));
        EXPECT_TRUE(form.Player.PlaybackIdle());
    }

    // A rate below 1 is refused before any device is asked.
    TestWaveOutDevice* device = UseTestDevice(form);
    form.LoadWavFile(QString::fromStdString(rateZero));
    ASSERT_EQ(form.Session().Store().SampleRate, 0);
    form.sbPlayMemory->click();
    ASSERT_TRUE(ProcessUntil([&] { return form.StatusText(4) == " Unsupported Format" && ButtonsUp(form); }));
    EXPECT_EQ(device->OpenCount(), 0);
}

TEST_F(PlaybackTest, ShortRecordingsDoNotPlayAndTheStopButtonReleasesTheButton) {
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(WriteWav("short.wav", Tone(999, 500, 8000), 8000, 1)));
    TestWaveOutDevice* device = UseTestDevice(form);
    form.sbPlayMemory->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(form.Player.PlaybackIdle());
    EXPECT_EQ(device->OpenCount(), 0);
    EXPECT_EQ(form.StatusText(4), "");
    form.sbStopPlay->click();
    EXPECT_TRUE(ButtonsUp(form));
}

TEST_F(PlaybackTest, ClosingWaitsForPlaybackToEndAndThenSavesTheSettings) {
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(WriteWav("tone.wav", Tone(48000, 440, 48000), 48000, 1)));
    TestWaveOutDevice* device = UseTestDevice(form, Pace::RealTime);
    form.sbLoopPlay->click();
    ASSERT_TRUE(device->WaitForWrites(3, 5s));
    ASSERT_FALSE(StoredSettings().contains("FFTSize"));

    EXPECT_TRUE(form.close());
    EXPECT_TRUE(form.Player.PlaybackIdle());
    EXPECT_EQ(device->CloseCount(), 1);
    EXPECT_TRUE(StoredSettings().contains("FFTSize"));
}

// A playback thread that does not end within the close's wait: the window closes, but the settings are
// not written while the thread may still be running.
TEST_F(PlaybackTest, ClosingDoesNotSaveTheSettingsWhilePlaybackHasNotEnded) {
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(WriteWav("tone.wav", Tone(48000, 440, 48000), 48000, 1)));
    TestWaveOutDevice* device = UseTestDevice(form, Pace::Gated);
    form.sbLoopPlay->click();
    ASSERT_TRUE(device->WaitForWrites(1, 5s));

    EXPECT_TRUE(form.close());
    EXPECT_FALSE(form.Player.PlaybackIdle());
    EXPECT_FALSE(StoredSettings().contains("FFTSize"));
    device->AllowWrites(100);
    EXPECT_TRUE(ProcessUntil([&] { return form.Player.PlaybackIdle(); }));
}
