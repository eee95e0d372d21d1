// Options of the recordings: the centre frequency of the recording shown (kept for the run, per file),
// the size of the largest file the reader accepts and the complex view of two channels (both kept in
// the settings).
#include "app/SettingsKey.h"
#include "app/TMainForm.h"

#include <QAction>
#include <QComboBox>
#include <QInputDialog>

#include <cmath>

namespace {

const QString kLargestFileKey = QStringLiteral("LargestFile");
// The highest limit the dialog offers: 1 TiB, beyond any memory the store could have.
constexpr int64_t kHighestLargestFile = int64_t{1} << 40;

// Whole numbers from `lowest` to `highest`, asked for in a dialog; nothing for cancel.
std::optional<int64_t> AskWholeNumber(QWidget* parent, const QString& title, const QString& label,
                                      int64_t current, int64_t lowest, int64_t highest) {
    bool accepted = false;
    const double value = QInputDialog::getDouble(parent, title, label, double(current), double(lowest),
                                                 double(highest), 0, &accepted, Qt::WindowFlags(), 1.0);
    if (!accepted) return std::nullopt;
    return int64_t(std::llround(value));
}

} // namespace

void TMainForm::ConnectRecordingOptionHandlers() {
    connect(mnuCentreFrequency, &QAction::triggered, this, &TMainForm::mnuCentreFrequencyClick);
    connect(mnuLargestFile, &QAction::triggered, this, &TMainForm::mnuLargestFileClick);
    connect(mnuIQSpectrum, &QAction::triggered, this, &TMainForm::mnuIQSpectrumClick);
}

// The value belongs to the recording shown and holds for it until the program ends, also over a Reload.
void TMainForm::mnuCentreFrequencyClick() {
    if (shown_.FileName.empty()) return;
    const std::optional<int64_t> chosen =
        AskCentreFrequency ? AskCentreFrequency(shown_.CentreFrequency)
                           : AskWholeNumber(this, "Centre Frequency",
                                            "Centre frequency in Hz (0 = none):", shown_.CentreFrequency, 0,
                                            kMaxCentreFrequency);
    if (!chosen || *chosen < 0 || *chosen > kMaxCentreFrequency) return;
    session_.SetCentreFrequency(*chosen);
    FollowSession();
}

// A read that runs keeps the limit it started with.
void TMainForm::mnuLargestFileClick() {
    const std::optional<int64_t> chosen =
        AskLargestFile ? AskLargestFile(largestFile_)
                       : AskWholeNumber(this, "Largest File", "Largest file to read (bytes):", largestFile_,
                                        1, kHighestLargestFile);
    if (!chosen || *chosen < 1) return;
    largestFile_ = *chosen;
    settings_->WriteString(kLargestFileKey, QString::number(qlonglong(largestFile_)));
    settings_->Flush();
    ShowWideXResolutionItems();
}

// A limit above the default admits recordings whose picture with a column per frame would pass the
// picture limit; the image-width list then offers columns several frames apart after its own items.
// Back at the default, those items go, and one of them that was selected gives way to "X = Y".
void TMainForm::ShowWideXResolutionItems() {
    const int ownItems = int(kXResolutionItems.size());
    const bool wide = largestFile_ > kMaxWavFileSize;
    if (wide && ComboXResolution->count() == ownItems) {
        for (const std::string_view item : kWideXResolutionItems)
            ComboXResolution->addItem(QString::fromLatin1(item.data(), qsizetype(item.size())));
    } else if (!wide && ComboXResolution->count() > ownItems) {
        if (ComboXResolution->currentIndex() >= ownItems) ComboXResolution->setCurrentIndex(0);
        while (ComboXResolution->count() > ownItems) ComboXResolution->removeItem(ownItems);
    }
}

// The picture of two channels follows at once; with one channel the choice waits for two.
void TMainForm::mnuIQSpectrumClick() {
    if (!busy_ && session_.Loaded() && session_.Store().TwoChannels()) RecomputeSpectrogram();
}

// Missing, not a number or not positive: the default.
void TMainForm::ReadLargestFileSetting() {
    bool stored = false;
    const qlonglong bytes = settings_->ReadString(kLargestFileKey, QString()).toLongLong(&stored);
    largestFile_ = stored && bytes > 0 ? int64_t(bytes) : kMaxWavFileSize;
}
