// Creation, showing and closing of the main window, its settings and the status bar.
#include "app/TMainForm.h"

#include "app/RecentFiles.h"
#include "app/TElidedPanel.h"
#include "app/TRulerPaintBox.h"
#include "spectral/Palettes.h"
#include "view/qt/TG32_ProgressBar.h"
#include "view/qt/TGaugeBar.h"
#include "view/qt/TImgView32.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <filesystem>
#include <thread>

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;
constexpr qulonglong kMostUndoMiB = qulonglong{1} << 30;
constexpr int kPlaybackWaitRounds = 201;
constexpr auto kPlaybackWaitStep = std::chrono::milliseconds(10);

} // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    BuildLayout();
    ConnectHandlers();
    FormCreate();
    BuildRecentMenu();
}

// A Listen still playing reads the session's store, which goes before the playback module does.
TMainForm::~TMainForm() {
    Player.Halt();
}

void TMainForm::FormCreate() {
    SetProgressPosition(0);
    // Numbers are written and read with "." whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());
    settings_ = std::make_unique<SettingsKey>();
    ReadSettings();
    StartDirectory = std::filesystem::current_path().string();
    rubberBand_ = nullptr;
    ShowCaption();
}

void TMainForm::ReadSettings() {
    if (settings_->ReadBool("wsMaximized", false))
        setWindowState(windowState() | Qt::WindowMaximized);
    else
        RestoreWindowBounds();

    SelectStoredItem(ComboFFTSize, "FFTSize", kDefaultFFTSizeIndex);
    ReadLargestFileSetting();
    ShowWideXResolutionItems();
    SelectStoredItem(ComboXResolution, "XResolution", kDefaultXResolutionIndex);
    SelectStoredItem(ComboFFTWindow, "FFTWindow", kDefaultFFTWindowIndex);
    session_.SelectSpectrogram(ComboFFTSize->currentText().toInt(), ComboFFTWindow->currentIndex());
    SelectStoredItem(ComboImageGain, "ImageGain", kDefaultImageGainIndex);

    mnuFilterPanel->setChecked(settings_->ReadBool("FilterPanel", true));
    mnuShiftPanel->setChecked(settings_->ReadBool("ShiftPanel", true));
    FilterPanel->setVisible(mnuFilterPanel->isChecked());
    ShiftPanel->setVisible(mnuShiftPanel->isChecked());
    mnuListenPanel->setChecked(settings_->ReadBool("ListenPanel", false));
    ListenPanel->setVisible(mnuListenPanel->isChecked());
    cbListenMode->setCurrentIndex(
        std::clamp(settings_->ReadInteger("ListenMode", 0), 0, cbListenMode->count() - 1));
    EditListenBandwidth->setText(settings_->ReadString("ListenBandwidth", "10000"));
    mnuTimeScale->setChecked(settings_->ReadBool("TimeScale", true));
    mnuTimeScaleClick();
    mnuShowAnnotations->setChecked(settings_->ReadBool("ShowAnnotations", true));
    mnuLevelLegend->setChecked(settings_->ReadBool("LevelLegend", true));
    mnuLevelLegendClick();
    mnuIQSpectrum->setChecked(settings_->ReadBool("IQSpectrum", false));

    EditFrq->setText(settings_->ReadString("FrqVal", "0"));
    EditLPF->setText(settings_->ReadString("LPFVal", "0"));
    EditASR->setText(settings_->ReadString("ASR", "48000"));
    EditFFTHiCut->setText(settings_->ReadString("FFTHiCut", "0"));
    EditFFTLoCut->setText(settings_->ReadString("FFTLoCut", "0"));
    SelectStoredItem(cbFilterQuality, "FilterQuality", 0);
    // The undo memory in MiB; missing or not a number: a quarter of the machine's memory, at most 4 GiB.
    bool stored = false;
    const qulonglong undoMiB = settings_->ReadString("UndoMemory", QString()).toULongLong(&stored);
    session_.SetUndoBudget(stored ? std::size_t(std::min<qulonglong>(undoMiB, kMostUndoMiB)) * kMiB
                                  : DefaultUndoBudget());
}

void TMainForm::RestoreWindowBounds() {
    const QRect defaults(40, 30, 400, 250);
    const int left = settings_->ReadInteger("Left", defaults.left());
    const int top = settings_->ReadInteger("Top", defaults.top());
    const int width = settings_->ReadInteger("Width", defaults.width());
    const int height = settings_->ReadInteger("Height", defaults.height());
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect bounds = RestorableBounds(defaults, left, top, width, height, minimumSize(),
                                          screen ? screen->size() : QSize());
    move(bounds.topLeft());
    resize(bounds.size());
}

// A stored index outside the list would leave it without a selection (and without an FFT size to
// read); such a value selects the default item instead.
void TMainForm::SelectStoredItem(QComboBox* combo, const QString& name, int fallback) {
    const int index = settings_->ReadInteger(name, fallback);
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : fallback);
}

void TMainForm::WriteSettings() {
    SettingsKey& key = *settings_;
    if (isMaximized()) {
        key.WriteBool("wsMaximized", true);
    } else {
        const QRect bounds(pos(), size());
        const QScreen* screen = QGuiApplication::primaryScreen();
        const StorableBounds storable = BoundsToStore(bounds, screen ? screen->size() : QSize());
        if (storable.Left) key.WriteInteger("Left", bounds.left());
        if (storable.Top) key.WriteInteger("Top", bounds.top());
        if (storable.Width) key.WriteInteger("Width", bounds.width());
        if (storable.Height) key.WriteInteger("Height", bounds.height());
        key.WriteBool("wsMaximized", false);
    }
    key.WriteInteger("FFTSize", ComboFFTSize->currentIndex());
    key.WriteInteger("XResolution", ComboXResolution->currentIndex());
    key.WriteInteger("FFTWindow", ComboFFTWindow->currentIndex());
    key.WriteInteger("ImageGain", ComboImageGain->currentIndex());
    key.WriteString("FrqVal", EditFrq->text());
    key.WriteString("LPFVal", EditLPF->text());
    key.WriteString("ASR", EditASR->text());
    key.WriteString("FFTHiCut", EditFFTHiCut->text());
    key.WriteString("FFTLoCut", EditFFTLoCut->text());
    key.WriteInteger("FilterQuality", cbFilterQuality->currentIndex());
    key.WriteBool("FilterPanel", mnuFilterPanel->isChecked());
    key.WriteBool("ShiftPanel", mnuShiftPanel->isChecked());
    key.WriteBool("ListenPanel", mnuListenPanel->isChecked());
    key.WriteInteger("ListenMode", cbListenMode->currentIndex());
    key.WriteString("ListenBandwidth", EditListenBandwidth->text());
    key.WriteBool("TimeScale", mnuTimeScale->isChecked());
    key.WriteBool("ShowAnnotations", mnuShowAnnotations->isChecked());
    key.WriteBool("LevelLegend", mnuLevelLegend->isChecked());
    key.WriteBool("IQSpectrum", mnuIQSpectrum->isChecked());
    key.WriteString("UndoMemory", QString::number(qulonglong(session_.History().Budget() / kMiB)));
    key.Flush();
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FormShow();
}

void TMainForm::FormShow() {
    setAcceptDrops(true);
    ProgressBar->setFocus();
    // SrcImage fills Panel_L beside the ruler column through the panel's layout.
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

// Unsaved changes are asked about first, before anything stops: a Cancel leaves the window as it was.
bool TMainForm::FormCloseQuery() {
    if (!busy_ && !ConfirmUnsavedChanges()) return false;
    const bool canClose = !busy_;
    session_.Job().RequestStop();
    if (!Player.PlaybackIdle()) Player.StopPlayback(false);
    for (int round = 0; round < kPlaybackWaitRounds && !Player.PlaybackIdle(); ++round) {
        QApplication::processEvents();
        std::this_thread::sleep_for(kPlaybackWaitStep);
    }
    if (canClose && Player.PlaybackIdle()) WriteSettings();
    return canClose;
}

QString TMainForm::StatusText(int panel) const {
    return panel >= 0 && panel < 5 ? StatusPanels[panel]->FullText() : QString();
}

// The whole text is also the panel's tool tip, for a text longer than the panel is wide.
void TMainForm::SetStatus(int panel, const QString& text) {
    if (panel < 0 || panel >= 5) return;
    StatusPanels[panel]->SetFullText(text);
}
