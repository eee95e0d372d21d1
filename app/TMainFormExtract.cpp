// File > "Extract Marked Band...": the marker's time range and band written as a two-channel recording
// of its own (RecordingSession::Extract), opened afterwards if the user wants it.
#include "app/TMainForm.h"

#include "app/EditCommandLook.h"
#include "app/JobSequence.h"
#include "ops/SampleRateAdjust.h"
#include "signal/WavWriter.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

const QString kMarkABandFirst = QStringLiteral(" Extract: mark a time range and a band first.");
constexpr const char* kExtractJobText = " Extract...";

} // namespace

void TMainForm::mnuExtractClick() {
    if (busy_ || !session_.Loaded()) return;
    const std::optional<ExtractRequest> band = readout_->MarkedBand();
    if (!band) {
        SetStatus(0, kMarkABandFirst);
        return;
    }
    const QFileInfo source(QString::fromStdString(session_.Store().FileName));
    const QString target =
        AskExtractTarget(source.absolutePath() + "/" + source.completeBaseName() + "_band.wav");
    if (target.isEmpty()) return;
    ExtractOutcome outcome;
    {
        JobSequence sequence(*this);
        const JobLook look{kExtractJobText, editlook::kWhite, true, true};
        if (!RunLongJob([&] { outcome = session_.Extract(*band, target.toStdString()); }, look)) return;
        SetStatus(3, QString::fromStdString(ChannelRateText(session_.Store())));
    }
    if (!outcome.Refusal.empty()) {
        SetStatus(0, QStringLiteral(" Extract refused: ") + QString::fromStdString(outcome.Refusal) + ".");
    } else if (outcome.Stopped) {
        SetStatus(0, QStringLiteral(" Extract stopped: nothing was written."));
    } else if (outcome.Saved.Result != kWavWriteOk) {
        SetStatus(0, QStringLiteral(" Extract: ") + target + ": " +
                         QString::fromStdString(outcome.Saved.Reason));
    } else {
        SetStatus(0, QStringLiteral(" Band saved to %1 (%2 Hz)").arg(target).arg(outcome.Rate));
        if (OpenExtractedFile(target) && ConfirmUnsavedChanges()) {
            Player.StopPlayback(true);
            LoadWavFile(target);
        }
    }
}

QString TMainForm::AskExtractTarget(const QString& suggestedPath) {
    if (AskExtractFileName) return AskExtractFileName(suggestedPath);
    return QFileDialog::getSaveFileName(this, QStringLiteral("Extract Marked Band"), suggestedPath,
                                        QStringLiteral("WAV (*.wav)"));
}

bool TMainForm::OpenExtractedFile(const QString& fileName) {
    if (AskOpenExtracted) return AskOpenExtracted(fileName);
    return QMessageBox::question(this, QStringLiteral("Extract Marked Band"),
                                 QStringLiteral("Open %1 now?").arg(QFileInfo(fileName).fileName())) ==
           QMessageBox::Yes;
}
