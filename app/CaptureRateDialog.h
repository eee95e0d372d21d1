// The question a bare I/Q capture is opened with: its sample rate, which the file does not carry, and
// its centre frequency (offered as the one its name gives, empty for none).
#pragma once

#include "signal/CaptureReader.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;

// The sample rates SDR receivers commonly record at, offered first in the rate list.
inline constexpr std::array<int64_t, 10> kCommonCaptureRates = {
    48000, 96000, 192000, 250000, 1024000, 2048000, 2400000, 3200000, 10000000, 20000000};

class CaptureRateDialog : public QDialog {
    Q_OBJECT
public:
    // `rate`: the rate the list shows first; `centre`: the centre frequency the field shows (0: empty).
    CaptureRateDialog(const QString& fileName, int64_t rate, int64_t centre, QWidget* parent = nullptr);

    // Closes the dialog as accepted when both fields hold whole numbers of hertz in range (the centre
    // may be empty: none); otherwise it stays open and says what is wrong.
    void accept() override;
    // What was accepted: the rate and the centre frequency (0: none); nothing before that.
    std::optional<CaptureOptions> Answer() const { return answer_; }

    // Asks in a modal dialog; nothing for Cancel.
    static std::optional<CaptureOptions> Ask(QWidget* parent, const QString& fileName, int64_t rate,
                                             int64_t centre);

    QComboBox* cbCaptureRate = nullptr;
    QLineEdit* EditCaptureCentre = nullptr;
    QLabel* Message = nullptr; // why the answer is refused; empty until then

private:
    std::optional<CaptureOptions> answer_;
};
