// Listen in the window: one signal of the recording demodulated while it plays through the playback
// module (demod/ListenStream.h), with the play cursor on the picture. The signal is the marked band over
// its time range or, without one, the last clicked frequency from its time on with the panel's
// bandwidth. The stop and loop buttons act on it as on any playback.
#include "app/TMainForm.h"

#include "demod/ListenStream.h"
#include "signal/NumberText.h"
#include "view/Overlays.h"
#include "view/qt/TImgView32.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

namespace {

const QString kClickFirst = QStringLiteral(" Listen: click a signal or mark its band first.");

QString ListenRefusal(const std::string& reason) {
    return QStringLiteral(" Listen refused: ") + QString::fromStdString(reason) + ".";
}

} // namespace

void TMainForm::ConnectListenHandlers() {
    connect(sbListen, &QToolButton::clicked, this, &TMainForm::sbListenClick);
    connect(cbListenMode, &QComboBox::activated, this, &TMainForm::cbListenModeChange);
    connect(mnuListenPanel, &QAction::triggered, this, &TMainForm::mnuListenPanelClick);
}

void TMainForm::mnuListenPanelClick() {
    ListenPanel->setVisible(mnuListenPanel->isChecked());
}

// Each mode starts with its usual bandwidth.
void TMainForm::cbListenModeChange() {
    const DemodMode mode = kDemodModes[size_t(cbListenMode->currentIndex())];
    EditListenBandwidth->setText(QString::fromStdString(PlainHertzText(DefaultBandwidth(mode))));
}

void TMainForm::sbListenClick() {
    if (!sbListen->isChecked()) {
        Player.StopPlayback(true);
        SrcImage->Overlays().SetPlayCursorVisible(false);
        return;
    }
    if (!StartListening()) sbListen->setChecked(false);
}

bool TMainForm::StartListening() {
    if (busy_ || !session_.Loaded()) return false;
    const std::optional<ListenTarget> target = readout_->MarkedForListening();
    if (!target) {
        SetStatus(0, kClickFirst);
        return false;
    }
    double bandwidth = 0;
    if (target->LowHz == target->HighHz) {
        const std::string text = EditListenBandwidth->text().toStdString();
        try {
            bandwidth = StrToFloat(text);
        } catch (const EConvertError&) {
            SetStatus(0, ListenRefusal("the bandwidth \"" + text + "\" is not a number"));
            return false;
        }
    }
    const DemodMode mode = kDemodModes[size_t(cbListenMode->currentIndex())];
    CheckedInput<std::unique_ptr<ListenStream>> stream =
        MakeListenStream(session_.Store(), ListenRequestFor(mode, target->LowHz, target->HighHz, bandwidth,
                                                            target->FromSeconds, target->ToSeconds));
    if (!stream) {
        SetStatus(0, ListenRefusal(stream.Refusal()));
        return false;
    }
    // Whatever plays ends here without a report, and what it reported before is handled first: the
    // buttons and the cursor are this click's.
    playAfterJob_->stop();
    Player.Halt();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    sbListen->setChecked(true);
    sbPlayMemory->setChecked(false);
    sbLoopPlay->setChecked(false);
    Player.SetLoop(false);
    SrcImage->CreatePlayCursor();
    Player.StartStream(std::move(*stream), 1, kDemodAudioRate);
    return true;
}

void TMainForm::HaltListening() {
    if (!Player.PlaysSource()) return;
    const bool wasPlaying = !Player.PlaybackIdle();
    Player.Halt();
    if (!wasPlaying) return;
    // What the thread reported before it ended comes first, so that this end is what the window shows.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    SetStatus(4, QStringLiteral(" Stopped"));
    SrcImage->Overlays().SetPlayCursorVisible(false);
    PlaybackButtonsUp();
}
