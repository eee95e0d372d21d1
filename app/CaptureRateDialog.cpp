#include "app/CaptureRateDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

CaptureRateDialog::CaptureRateDialog(const QString& fileName, int64_t rate, int64_t centre, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("CaptureRateDialog"));
    setWindowTitle(QStringLiteral("Open Capture"));

    cbCaptureRate = new QComboBox(this);
    cbCaptureRate->setObjectName(QStringLiteral("cbCaptureRate"));
    cbCaptureRate->setEditable(true);
    cbCaptureRate->setInsertPolicy(QComboBox::NoInsert);
    for (const int64_t common : kCommonCaptureRates) cbCaptureRate->addItem(QString::number(common));
    cbCaptureRate->setEditText(QString::number(rate));

    EditCaptureCentre = new QLineEdit(this);
    EditCaptureCentre->setObjectName(QStringLiteral("EditCaptureCentre"));
    if (centre != 0) EditCaptureCentre->setText(QString::number(centre));
    EditCaptureCentre->setPlaceholderText(QStringLiteral("none"));

    Message = new QLabel(this);
    Message->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CaptureRateDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CaptureRateDialog::reject);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Sample rate (Hz):"), cbCaptureRate);
    fields->addRow(QStringLiteral("Centre frequency (Hz):"), EditCaptureCentre);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QFileInfo(fileName).fileName() + QStringLiteral(" holds I/Q samples without "
                                                                                 "a header."),
                                 this));
    layout->addLayout(fields);
    layout->addWidget(Message);
    layout->addWidget(buttons);
}

void CaptureRateDialog::accept() {
    const std::string rateText = cbCaptureRate->currentText().trimmed().toStdString();
    const std::string centreText = EditCaptureCentre->text().trimmed().toStdString();
    const std::optional<int64_t> rate = ParseCaptureRate(rateText);
    const std::optional<int64_t> centre =
        centreText.empty() ? std::optional<int64_t>(0) : ParseCaptureCentre(centreText);
    if (!rate || !centre) {
        const std::string why = !rate ? "Sample rate: " + CaptureRateRefusal(rateText)
                                      : "Centre frequency: " + CaptureCentreRefusal(centreText);
        Message->setText(QString::fromStdString(why) + QStringLiteral("."));
        return;
    }
    CaptureOptions answer;
    answer.SampleRate = *rate;
    answer.CentreFrequency = *centre;
    answer_ = answer;
    QDialog::accept();
}

std::optional<CaptureOptions> CaptureRateDialog::Ask(QWidget* parent, const QString& fileName, int64_t rate,
                                                     int64_t centre) {
    CaptureRateDialog dialog(fileName, rate, centre, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Answer();
}
