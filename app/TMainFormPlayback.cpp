// Playback in the window: the stop, play and loop buttons (and Space for play and stop), status panel 4
// and the play cursor. "Play" starts at the clicked time, or plays the marker's time range. The
// playback thread never touches a widget: what it reports arrives here as queued signals, handled on
// the user-interface thread in the order it was sent.
#include "app/PlaybackSignals.h"
#include "app/TMainForm.h"
#include "view/Overlays.h"
#include "view/qt/TImgView32.h"

#include <QShortcut>
#include <QTimer>
#include <QToolButton>

namespace {

// How often a play click that came during a job looks whether the job has ended.
constexpr int kPlayAfterJobPollMs = 20;

} // namespace

void TMainForm::ConnectPlayback() {
    playbackSignals_ = new PlaybackSignals(this);
    connect(
        playbackSignals_, &PlaybackSignals::StatusChanged, this,
        [this](const QString& text) { SetStatus(4, text); }, Qt::QueuedConnection);
    connect(playbackSignals_, &PlaybackSignals::ButtonsUp, this, &TMainForm::PlaybackButtonsUp,
            Qt::QueuedConnection);
    connect(playbackSignals_, &PlaybackSignals::CursorShown, this, &TMainForm::PlaybackCursorShown,
            Qt::QueuedConnection);
    connect(
        playbackSignals_, &PlaybackSignals::CursorMoved, this,
        [this](int position, int copySize) {
            SrcImage->Overlays().MovePlayCursor(position, copySize, SrcImage->width());
        },
        Qt::QueuedConnection);
    Player.SetEvents(playbackSignals_);

    playAfterJob_ = new QTimer(this);
    playAfterJob_->setInterval(kPlayAfterJobPollMs);
    connect(playAfterJob_, &QTimer::timeout, this, &TMainForm::StartPlayingAfterJob);

    connect(sbPlayMemory, &QToolButton::clicked, this, &TMainForm::sbPlayMemoryClick);
    connect(sbLoopPlay, &QToolButton::clicked, this, &TMainForm::sbLoopPlayClick);
    connect(sbStopPlay, &QToolButton::clicked, this, &TMainForm::sbStopPlayClick);

    // Window-wide; a text field with the focus takes its space itself (QLineEdit overrides shortcuts
    // for the characters it types).
    auto* space = new QShortcut(QKeySequence(Qt::Key_Space), this);
    space->setObjectName("PlayOrStopShortcut");
    connect(space, &QShortcut::activated, this, &TMainForm::PlayOrStopKey);
}

void TMainForm::PlayOrStopKey() {
    const bool playing = sbPlayMemory->isChecked() || sbLoopPlay->isChecked() || sbListen->isChecked() ||
                         !Player.PlaybackIdle();
    (playing ? sbStopPlay : sbPlayMemory)->click();
}

void TMainForm::sbPlayMemoryClick() {
    Player.SetLoop(false);
    PlayButtonClicked(sbPlayMemory);
}

void TMainForm::sbLoopPlayClick() {
    Player.SetLoop(sbLoopPlay->isChecked());
    PlayButtonClicked(sbLoopPlay);
}

void TMainForm::sbStopPlayClick() {
    SetStatus(4, QString());
    playAfterJob_->stop();
    Player.StopPlayback(true);
    SrcImage->Overlays().SetPlayCursorVisible(false);
    Player.SetLoop(false);
    // A running playback releases the buttons when its thread ends; with none running, a button left
    // down by a start that played nothing goes up here.
    if (Player.PlaybackIdle()) PlaybackButtonsUp();
}

// The play and loop buttons are one group in which at most one is down. Pressing one while the other
// plays leaves that playback running (the start is refused while it runs) and only switches the loop.
void TMainForm::PlayButtonClicked(QToolButton* button) {
    if (!button->isChecked()) {
        playAfterJob_->stop();
        Player.StopPlayback(true);
        SrcImage->Overlays().SetPlayCursorVisible(false);
        return;
    }
    (button == sbPlayMemory ? sbLoopPlay : sbPlayMemory)->setChecked(false);
    sbListen->setChecked(false);
    SrcImage->CreatePlayCursor();
    // While a job runs it may be rewriting the store (its values, rate or channel count): the start
    // waits for the job's end, so that the copy is never taken from a half-edited store.
    if (busy_) {
        playAfterJob_->start();
        return;
    }
    StartPlayingStore();
}

void TMainForm::StartPlayingStore() {
    const SignalStore& store = session_.Store();
    Player.RefreshCopy(store); // only when the copy is stale and nothing plays
    // From the clicked time on, or over the marker's time range; otherwise the whole recording.
    const std::optional<PlayTimes> times = readout_->MarkedForPlaying();
    const PlayRange range =
        times ? PlayRangeForSeconds(times->FromSeconds, times->ToSeconds, store.SampleRate) : PlayRange{};
    Player.StartPlayback(store.ChannelCount, store.SampleRate, range);
}

void TMainForm::StartPlayingAfterJob() {
    if (busy_) return;
    playAfterJob_->stop();
    if (sbPlayMemory->isChecked() || sbLoopPlay->isChecked()) StartPlayingStore();
}

void TMainForm::PlaybackButtonsUp() {
    // A click waiting for a job came after every playback that can still end: its button stays down.
    if (playAfterJob_->isActive()) return;
    sbPlayMemory->setChecked(false);
    sbLoopPlay->setChecked(false);
    sbListen->setChecked(false);
}

// A start whose button was released before its report arrived keeps the cursor hidden.
void TMainForm::PlaybackCursorShown(bool shown) {
    const bool buttonDown = sbPlayMemory->isChecked() || sbLoopPlay->isChecked() || sbListen->isChecked();
    SrcImage->Overlays().SetPlayCursorVisible(shown && buttonDown && !ZoomMode());
}
