// Bare I/Q captures in the window: the sample rate and centre frequency are asked for before a capture
// is first opened, and the answer holds for that file until the program ends (Reload and reopening do
// not ask again); it is not kept in the settings.
#include "app/CaptureRateDialog.h"
#include "app/TMainForm.h"
#include "signal/CentreFrequency.h"

#include <QFileInfo>

namespace {

// The rate offered for the first capture of a run: that of the common RTL-SDR dongles.
constexpr int64_t kFirstOfferedRate = 2048000;

} // namespace

std::optional<CaptureOptions> TMainForm::CaptureOptionsFor(const QString& fileName) {
    const QString key = QFileInfo(fileName).absoluteFilePath();
    if (const auto known = captureAnswers_.find(key); known != captureAnswers_.end()) return known->second;
    // The last answer's rate is offered, since captures of one session tend to share it.
    const int64_t rate = captureAnswers_.empty() ? kFirstOfferedRate : lastCaptureRate_;
    const int64_t nameCentre = CentreFrequencyFromFileName(fileName.toStdString(), rate);
    const std::optional<CaptureOptions> answer =
        AskCaptureOptions ? AskCaptureOptions(fileName, rate, nameCentre)
                          : CaptureRateDialog::Ask(this, fileName, rate, nameCentre);
    if (!answer) return std::nullopt;
    captureAnswers_[key] = *answer;
    lastCaptureRate_ = answer->SampleRate;
    return answer;
}
