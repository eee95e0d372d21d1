// The commands of the main window that are neither file commands nor edits: the panels, the four
// drop-down lists, the channel interpretation and the palettes.
#include "app/TMainForm.h"
#include "app/TRulerPaintBox.h"
#include "spectral/Palettes.h"
#include "view/qt/TImgView32.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QToolButton>

void TMainForm::ConnectHandlers() {
    connect(mnuOpen, &QAction::triggered, this, &TMainForm::mnuOpenClick);
    connect(mnuSave, &QAction::triggered, this, &TMainForm::mnuSaveClick);
    connect(mnuSavewavAs, &QAction::triggered, this, &TMainForm::mnuSavewavAsClick);
    connect(mnuExit, &QAction::triggered, this, &TMainForm::mnuExitClick);
    connect(mnuFilterPanel, &QAction::triggered, this, &TMainForm::mnuFilterPanelClick);
    connect(mnuShiftPanel, &QAction::triggered, this, &TMainForm::mnuShiftPanelClick);
    connect(mnu1Channel, &QAction::triggered, this, &TMainForm::mnu1ChannelClick);
    connect(mnu2Channels, &QAction::triggered, this, &TMainForm::mnu2ChannelsClick);

    connect(sbReload, &QToolButton::clicked, this, &TMainForm::sbReloadClick);
    connect(sbSaveSignal, &QToolButton::clicked, this, &TMainForm::sbSaveSignalClick);
    connect(sbSavePicturea, &QToolButton::clicked, this, &TMainForm::sbSavePictureaClick);
    connect(sbStopLoad, &QToolButton::clicked, this, &TMainForm::sbStopLoadClick);
    connect(sbAntialiasing, &QToolButton::clicked, this, &TMainForm::sbAntialiasingClick);

    connect(ComboFFTSize, &QComboBox::activated, this, &TMainForm::ComboFFTSizeChange);
    connect(ComboXResolution, &QComboBox::activated, this, &TMainForm::ComboXResolutionChange);
    connect(ComboFFTWindow, &QComboBox::activated, this, &TMainForm::ComboFFTWindowChange);
    connect(ComboImageGain, &QComboBox::activated, this, &TMainForm::ComboImageGainChange);

    for (QAction* item : PaletteActions)
        connect(item, &QAction::triggered, this,
                [this, item] { Spectrum1Click(PaletteItem(item->data().toInt())); });
    connect(RulerPaintBox, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { SrcViewPopupMenu->popup(RulerPaintBox->mapToGlobal(at)); });
    connect(RulerPaintBox, &TRulerPaintBox::Click, this, &TMainForm::RulerPaintBoxClick);

    ConnectViewHandlers();
    ConnectEditHandlers();
    ConnectHistoryHandlers();
    ConnectPlayback();
    ConnectListenHandlers();
    ConnectReadoutHandlers();
    ConnectExportHandlers();
    ConnectRecordingOptionHandlers();
    ConnectAnnotationHandlers();
}

void TMainForm::mnuFilterPanelClick() {
    FilterPanel->setVisible(mnuFilterPanel->isChecked());
}

void TMainForm::mnuShiftPanelClick() {
    ShiftPanel->setVisible(mnuShiftPanel->isChecked());
}

void TMainForm::ComboFFTSizeChange() {
    if (!busy_) RecomputeSpectrogram();
}

void TMainForm::ComboXResolutionChange() {
    if (!busy_) RecomputeSpectrogram();
}

void TMainForm::ComboFFTWindowChange() {
    if (!busy_) RecomputeSpectrogram();
}

void TMainForm::ComboImageGainChange() {
    if (!busy_) RecomputeSpectrogram();
}

// The two radio items are checkable actions, which the click has already toggled: the check marks go
// back to what the window shows, and the command decides (it refuses the channel count the store
// already has, and every click while a job runs).
void TMainForm::mnu1ChannelClick() {
    CheckChannelItem(shown_.ChannelCount);
    RunEditCommand(EditCommand::OneChannel);
}

void TMainForm::mnu2ChannelsClick() {
    CheckChannelItem(shown_.ChannelCount);
    RunEditCommand(EditCommand::TwoChannels);
}

void TMainForm::CheckChannelItem(uint16_t channelCount) {
    mnu2Channels->setChecked(channelCount == 2);
    mnu1Channel->setChecked(channelCount != 2);
}

void TMainForm::UpdateChannelControls() {
    const bool twoChannels = session_.Store().TwoChannels();
    mnuInvertChannel1L->setEnabled(twoChannels);
    mnuInvertChannel2R->setEnabled(twoChannels);
    sbTune->setEnabled(twoChannels && !busy_);
}

// The palette clicked is the one in use, and the only one ticked (a click on the ticked one keeps it).
void TMainForm::Spectrum1Click(PaletteItem item) {
    checkedPalette_ = item;
    for (QAction* action : PaletteActions) action->setChecked(int(item) == action->data().toInt());
    ApplyPalette();
}
