// The layout of the main window: every panel, control, caption, hint, colour and size.
#include "ProgramInfo.h"
#include "app/ButtonGlyphs.h"
#include "app/TElidedPanel.h"
#include "app/TMainForm.h"
#include "app/TRulerPaintBox.h"
#include "app/WheelOnlyWhenFocused.h"
#include "app/WindowLook.h"
#include "spectral/Palettes.h"
#include "spectral/SpectrogramSettings.h"
#include "view/qt/TG32_ProgressBar.h"
#include "view/qt/TGaugeBar.h"
#include "view/qt/TImgView32.h"

#include <QActionGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QFont BoldFont(const QFont& base) {
    QFont font = base;
    font.setBold(true);
    return font;
}

void SetBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// A panel with a row of controls, left to right.
QFrame* MakePanel(QWidget* parent, const char* name, QFrame::Shadow bevel, int height = -1) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | bevel);
    panel->setLineWidth(1);
    if (height > 0) panel->setFixedHeight(height);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(3, 1, 3, 1);
    row->setSpacing(3);
    return panel;
}

QHBoxLayout* RowOf(QWidget* panel) {
    return static_cast<QHBoxLayout*>(panel->layout());
}

QLabel* AddLabel(QWidget* panel, const char* name, const QString& caption) {
    auto* label = new QLabel(caption, panel);
    label->setObjectName(name);
    label->setFont(BoldFont(label->font()));
    RowOf(panel)->addWidget(label);
    return label;
}

QToolButton* AddSpeedButton(QWidget* panel, const char* name, const QString& caption, const QString& hint) {
    auto* button = new QToolButton(panel);
    button->setObjectName(name);
    button->setText(caption);
    button->setToolTip(hint);
    button->setFont(BoldFont(button->font()));
    // Reached with Tab (in the order the buttons are made: left to right, top to bottom), never
    // focused by a click, so that the picture keeps the keys; named for screen readers by its caption,
    // or by its hint when it shows a picture only.
    button->setFocusPolicy(Qt::TabFocus);
    button->setAccessibleName(caption.isEmpty() ? hint : caption);
    button->setMinimumWidth(36);
    button->setFixedHeight(23);
    RowOf(panel)->addWidget(button);
    return button;
}

QToolButton* AddPictureButton(QWidget* panel, const char* name, ButtonGlyph glyph, const QString& hint) {
    auto* button = AddSpeedButton(panel, name, QString(), hint);
    button->setIcon(MakeButtonGlyph(glyph));
    button->setMinimumWidth(23);
    button->setFixedWidth(25);
    return button;
}

template <size_t N>
QComboBox* AddCombo(QWidget* panel, const char* name, const QString& hint,
                    const std::array<std::string_view, N>& items, int visibleRows, int width) {
    auto* combo = new QComboBox(panel);
    combo->setObjectName(name);
    combo->setToolTip(hint);
    combo->setEditable(false);
    combo->setFont(BoldFont(combo->font()));
    for (std::string_view item : items)
        combo->addItem(QString::fromLatin1(item.data(), qsizetype(item.size())));
    combo->setMaxVisibleItems(visibleRows);
    combo->setFixedWidth(width);
    ChangeByWheelOnlyWhenFocused(combo);
    RowOf(panel)->addWidget(combo);
    return combo;
}

QLineEdit* AddEdit(QWidget* panel, const char* name, const QString& hint, const QString& text) {
    auto* edit = new QLineEdit(text, panel);
    edit->setObjectName(name);
    edit->setToolTip(hint);
    edit->setFrame(false);
    edit->setMaxLength(kEditMaxLength);
    QFont font = BoldFont(edit->font());
    font.setPointSize(10);
    edit->setFont(font);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, kEditBackground);
    palette.setColor(QPalette::Text, Qt::white);
    edit->setPalette(palette);
    edit->setFixedWidth(64);
    RowOf(panel)->addWidget(edit);
    return edit;
}

constexpr std::array<std::string_view, 6> kListenModeItems = {"AM", "FM", "WFM", "USB", "LSB", "CW"};

constexpr std::array<std::string_view, 9> kFilterQualityItems = {"1", "2", "3", "4", "5", "6", "7", "8", "9"};

} // namespace

void TMainForm::BuildLayout() {
    setMinimumSize(kMinFormWidth, kMinFormHeight);
    SetBackground(this, kFormBackground);
    QFont font = this->font();
    font.setPointSize(8);
    setFont(font);

    auto* central = new QWidget(this);
    central->setObjectName("MainFormClient");
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    setCentralWidget(central);

    BuildTopBar();
    BuildSpectrumPanel();
    BuildFilterPanel();
    BuildShiftPanel();
    BuildListenPanel();
    BuildBottomBar();
    for (QWidget* panel : {static_cast<QWidget*>(Panel2), static_cast<QWidget*>(SpectrumPanel),
                           static_cast<QWidget*>(FilterPanel), static_cast<QWidget*>(ShiftPanel),
                           static_cast<QWidget*>(ListenPanel), static_cast<QWidget*>(Panel1)})
        column->addWidget(panel, panel == SpectrumPanel ? 1 : 0);
    BuildStatusBar();
    BuildMenus();
    BuildPaletteMenu();
    BuildReadoutControls();
    BuildLevelControls();
    BuildZoomNavigation();
}

void TMainForm::BuildTopBar() {
    Panel2 = MakePanel(centralWidget(), "Panel2", QFrame::Sunken, kBarHeight);
    AddLabel(Panel2, "LabelFFT", "FFT");
    ComboFFTSize = AddCombo(Panel2, "ComboFFTSize", "FFT Size", kFFTSizeItems, 20, 82);
    AddLabel(Panel2, "LabelImage", "Image");
    ComboXResolution = AddCombo(Panel2, "ComboXResolution", "Image Width", kXResolutionItems, 13, 82);
    AddLabel(Panel2, "LabelWindow", "Window");
    ComboFFTWindow = AddCombo(Panel2, "ComboFFTWindow", "FFT Window", kFFTWindowItems, 11, 100);
    ComboFFTWindow->setCurrentIndex(int(kFFTWindowItems.size()) -
                                    1); // "Experimental" until the settings apply
    AddLabel(Panel2, "LabelGain", "Gain");
    ComboImageGain = AddCombo(Panel2, "ComboImageGain", "Image Gain", kImageGainItems, 25, 64);
    RowOf(Panel2)->addStretch(1);

    Panel8 = MakePanel(Panel2, "Panel8", QFrame::Plain);
    Panel8->setFrameStyle(QFrame::NoFrame);
    Panel8->setFixedWidth(kTopRightGroupWidth);
    RowOf(Panel8)->setContentsMargins(0, 0, 0, 0);
    sbStopLoad = AddPictureButton(Panel8, "sbStopLoad", ButtonGlyph::StopCalculate, "Stop Calculate");
    sbStopLoad->setAutoRaise(true);
    sbStopLoad->setEnabled(false);
    ProgressBar = new TG32_ProgressBar(Panel8);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setFixedSize(102, 17);
    RowOf(Panel8)->addWidget(ProgressBar);
    sbSavePicturea = AddPictureButton(Panel8, "sbSavePicturea", ButtonGlyph::SaveBitmap, "Save Bitmap");
    sbSavePicturea->setEnabled(false);
    sbSaveSignal = AddPictureButton(Panel8, "sbSaveSignal", ButtonGlyph::SaveSignal, "Save Signal");
    sbSaveSignal->setEnabled(false);
    RowOf(Panel2)->addWidget(Panel8);
}

void TMainForm::BuildSpectrumPanel() {
    SpectrumPanel = new QFrame(centralWidget());
    SpectrumPanel->setObjectName("SpectrumPanel");
    auto* fill = new QHBoxLayout(SpectrumPanel);
    fill->setContentsMargins(0, 0, 0, 0);

    Panel_L = MakePanel(SpectrumPanel, "Panel_L", QFrame::Sunken);
    Panel_L->setMinimumWidth(32);
    SetBackground(Panel_L, kImagePanelColor);
    RowOf(Panel_L)->setContentsMargins(1, 1, 1, 1);
    RowOf(Panel_L)->setSpacing(0);
    fill->addWidget(Panel_L);

    SrcImage = new TImgView32(Panel_L);
    SrcImage->setObjectName("SrcImage");
    RowOf(Panel_L)->addWidget(SrcImage, 1);

    Panellr = MakePanel(Panel_L, "Panellr", QFrame::Raised);
    Panellr->setFixedWidth(kRulerColumnWidth);
    SetBackground(Panellr, kRulerBackground);
    RowOf(Panellr)->setContentsMargins(0, 0, 0, 0);
    RulerPaintBox = new TRulerPaintBox(Panellr);
    RulerPaintBox->setObjectName("RulerPaintBox");
    RowOf(Panellr)->addWidget(RulerPaintBox);
    RowOf(Panel_L)->addWidget(Panellr);
    // The column widens for labels that need it (radio frequencies), after the paint that asked.
    connect(
        RulerPaintBox, &TRulerPaintBox::WidthWanted, Panellr,
        [this](int width) { Panellr->setFixedWidth(width + Panellr->width() - RulerPaintBox->width()); },
        Qt::QueuedConnection);
}

void TMainForm::BuildFilterPanel() {
    FilterPanel = MakePanel(centralWidget(), "FilterPanel", QFrame::Raised, kBarHeight);
    sbFFTHiCut = AddSpeedButton(FilterPanel, "sbFFTHiCut", "FFT_F", "FFT Filter");
    AddLabel(FilterPanel, "Label7", "HiCut:");
    EditFFTHiCut = AddEdit(FilterPanel, "EditFFTHiCut", "Low Pass Filter Frq", "0");
    AddLabel(FilterPanel, "Label6", "Hz");
    AddLabel(FilterPanel, "Label8", "LowCut:");
    EditFFTLoCut = AddEdit(FilterPanel, "EditFFTLoCut", "Low Pass Filter Frq", "0");
    AddLabel(FilterPanel, "Label5", "Hz");
    AddLabel(FilterPanel, "Label9", "Quality");
    cbFilterQuality =
        AddCombo(FilterPanel, "cbFilterQuality", "FFT Filter Quality", kFilterQualityItems, 10, 44);
    RowOf(FilterPanel)->addSpacing(12);
    sbLPFFilter = AddSpeedButton(FilterPanel, "sbLPFFilter", "LPF", "LPF Filter");
    EditLPF = AddEdit(FilterPanel, "EditLPF", "Low Pass Filter Frq", "0");
    AddLabel(FilterPanel, "Label1", "Hz");
    RowOf(FilterPanel)->addStretch(1);
}

void TMainForm::BuildShiftPanel() {
    ShiftPanel = MakePanel(centralWidget(), "ShiftPanel", QFrame::Raised, kBarHeight);
    sbGenSin = AddSpeedButton(ShiftPanel, "sbGenSin", "Sin", "Spectrum Shift");
    sbGenCos = AddSpeedButton(ShiftPanel, "sbGenCos", "Cos", "Spectrum Shift");
    sbTune = AddSpeedButton(ShiftPanel, "sbTune", "Tune", "Move the frequency in the field to 0 Hz (I/Q)");
    sbTune->setEnabled(false);
    EditFrq = AddEdit(ShiftPanel, "EditFrq", "Generator Frq", "9999999");
    AddLabel(ShiftPanel, "Label2", "Hz");
    RowOf(ShiftPanel)->addStretch(1);

    Panel4 = MakePanel(ShiftPanel, "Panel4", QFrame::Plain);
    Panel4->setFrameStyle(QFrame::NoFrame);
    RowOf(Panel4)->setContentsMargins(0, 0, 0, 0);
    sbASR = AddSpeedButton(Panel4, "sbASR", "ASR", "Adjust Samlpe Rate");
    EditASR = AddEdit(Panel4, "EditASR", "Low Pass Filter Frq", "48000");
    AddLabel(Panel4, "Label3", "Bps");
    RowOf(ShiftPanel)->addWidget(Panel4);
}

// Listen: the mode, and the bandwidth heard around a clicked frequency (a marked band brings its own).
// Hidden until Options > "Listen Panel" shows it.
void TMainForm::BuildListenPanel() {
    ListenPanel = MakePanel(centralWidget(), "ListenPanel", QFrame::Raised, kBarHeight);
    sbListen = AddSpeedButton(ListenPanel, "sbListen", "Listen",
                              "Demodulate the marked band, or the clicked frequency, and play it");
    sbListen->setCheckable(true);
    cbListenMode = AddCombo(ListenPanel, "cbListenMode", "Demodulation", kListenModeItems, 6, 64);
    AddLabel(ListenPanel, "LabelListenBandwidth", "Bandwidth:");
    EditListenBandwidth =
        AddEdit(ListenPanel, "EditListenBandwidth", "Bandwidth around a clicked frequency", "10000");
    AddLabel(ListenPanel, "LabelListenHz", "Hz");
    RowOf(ListenPanel)->addStretch(1);
    ListenPanel->setVisible(false);
}

void TMainForm::BuildBottomBar() {
    Panel1 = MakePanel(centralWidget(), "Panel1", QFrame::Raised, kBarHeight);
    sbFade = AddSpeedButton(Panel1, "sbFade", "Fade", "Fade In and Out");
    sbNormAmp = AddSpeedButton(Panel1, "sbNormAmp", "Amp", "Normalize Amplitude");
    sbInvertSpectr = AddSpeedButton(Panel1, "sbInvertSpectr", "Invert", "Invert Spectr");
    sbIQ2Real = AddSpeedButton(Panel1, "sbIQ2Real", "I/Q2R", "Convert From I/Q to Real");
    sbReload = AddSpeedButton(Panel1, "sbReload", "Reload", "Reload File");
    // Maroon while it can be clicked; locked, it takes the greyed text of every disabled button.
    QPalette maroon = sbReload->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        maroon.setColor(group, QPalette::ButtonText, kReloadTextColor);
    sbReload->setPalette(maroon);
    RowOf(Panel1)->addStretch(1);

    Panel3 = MakePanel(Panel1, "Panel3", QFrame::Plain);
    Panel3->setFrameStyle(QFrame::NoFrame);
    Panel3->setFixedWidth(kBottomRightGroupWidth);
    RowOf(Panel3)->setContentsMargins(0, 0, 0, 0);
    sbImageMode = AddPictureButton(Panel3, "sbImageMode", ButtonGlyph::Zoom, "Zoom");
    sbImageMode->setCheckable(true);
    LabelXZoom = AddLabel(Panel3, "LabelXZoom", "X");
    gbPositionX = new TGaugeBar(Panel3);
    gbPositionX->setObjectName("gbPositionX");
    RowOf(Panel3)->addWidget(gbPositionX, 1);
    LabelYZoom = AddLabel(Panel3, "LabelYZoom", "Y");
    gbPositionY = new TGaugeBar(Panel3);
    gbPositionY->setObjectName("gbPositionY");
    RowOf(Panel3)->addWidget(gbPositionY, 1);
    for (QWidget* zoomControl : {static_cast<QWidget*>(LabelXZoom), static_cast<QWidget*>(gbPositionX),
                                 static_cast<QWidget*>(LabelYZoom), static_cast<QWidget*>(gbPositionY)})
        zoomControl->setEnabled(false);
    sbResetZoom = AddPictureButton(Panel3, "sbResetZoom", ButtonGlyph::ResetZoom, "Reset Zoom");
    sbResetZoom->setEnabled(false);
    sbAntialiasing =
        AddPictureButton(Panel3, "sbAntialiasing", ButtonGlyph::Antialiasing, "Antialiasing Filter");
    sbAntialiasing->setCheckable(true);
    sbStopPlay = AddPictureButton(Panel3, "sbStopPlay", ButtonGlyph::StopPlay, QString());
    sbPlayMemory = AddPictureButton(Panel3, "sbPlayMemory", ButtonGlyph::Play, QString());
    sbPlayMemory->setCheckable(true);
    sbLoopPlay = AddPictureButton(Panel3, "sbLoopPlay", ButtonGlyph::LoopPlay, QString());
    sbLoopPlay->setCheckable(true);
    // The play buttons have no hint: their names say what they do.
    sbStopPlay->setAccessibleName("Stop Playing");
    sbPlayMemory->setAccessibleName("Play");
    sbLoopPlay->setAccessibleName("Play in a Loop");
    RowOf(Panel1)->addWidget(Panel3);
}

void TMainForm::BuildStatusBar() {
    auto* bar = new QStatusBar(this);
    bar->setObjectName("StatusBar");
    bar->setSizeGripEnabled(true);
    for (int panel = 0; panel < 5; ++panel) {
        auto* label = new TElidedPanel(bar);
        label->setObjectName(QString("StatusPanel%1").arg(panel));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (panel < 4) {
            // Its given width while the bar has room; in a narrow window it gives way to the readings.
            label->SetShare(kStatusPanelWidths[panel] * kStatusPanelLeastPercent / 100,
                            kStatusPanelWidths[panel]);
        } else {
            // The playback panel is at least as wide as its longest error text, and grows with the
            // text it shows (" Playing " and the device's name) while the bar has room.
            const int frame = 2 * label->frameWidth() + 2 * label->margin() + 4;
            label->SetShare(label->fontMetrics().horizontalAdvance(kPlaybackPanelWidest) + frame, 0);
        }
        bar->addWidget(label);
        StatusPanels[panel] = label;
    }
    setStatusBar(bar);
}

void TMainForm::BuildMenus() {
    auto addItem = [this](QMenu* menu, const char* name, const QString& caption,
                          const QKeySequence& shortcut = {}) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(name);
        action->setShortcut(shortcut);
        return action;
    };
    QMenu* fileMenu = menuBar()->addMenu("&File");
    fileMenu->setObjectName("mnuFile");
    mnuOpen = addItem(fileMenu, "mnuOpen", "&Open...", QKeySequence("Ctrl+O"));
    fileMenu->addSeparator();
    mnuSave = addItem(fileMenu, "mnuSave", "&Save", QKeySequence("Ctrl+S"));
    mnuSave->setEnabled(false);
    mnuSavewavAs = addItem(fileMenu, "mnuSavewavAs", "Save wav &As...");
    mnuSavewavAs->setEnabled(false);
    mnuExportPicture = addItem(fileMenu, "mnuExportPicture", "&Export Picture...");
    mnuExportPicture->setEnabled(false);
    mnuExtract = addItem(fileMenu, "mnuExtract", "Extract &Marked Band...");
    fileMenu->addSeparator();
    mnuExit = addItem(fileMenu, "mnuExit", "E&xit", QKeySequence("Alt+X"));
    mnuExit->setShortcuts({QKeySequence("Alt+X"), QKeySequence("Ctrl+Q")}); // the desktop's quit key too

    QMenu* editMenu = menuBar()->addMenu("&Edit");
    editMenu->setObjectName("mnuEdit");
    mnuUndo = addItem(editMenu, "mnuUndo", "&Undo", QKeySequence("Ctrl+Z"));
    mnuRedo = addItem(editMenu, "mnuRedo", "&Redo", QKeySequence("Ctrl+Shift+Z"));
    mnuRedo->setShortcuts({QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")});
    for (QAction* item : {mnuUndo, mnuRedo}) item->setEnabled(false);

    QMenu* optionsMenu = menuBar()->addMenu("&Options");
    optionsMenu->setObjectName("mnuOptions");
    mnuFilterPanel = addItem(optionsMenu, "mnuFilterPanel", "&Filter Panel", QKeySequence("Ctrl+F"));
    mnuFilterPanel->setCheckable(true);
    mnuShiftPanel = addItem(optionsMenu, "mnuShiftPanel", "&Shift Panel", QKeySequence("Ctrl+P"));
    mnuShiftPanel->setCheckable(true);
    mnuListenPanel = addItem(optionsMenu, "mnuListenPanel", "&Listen Panel");
    mnuListenPanel->setCheckable(true);
    mnuFormatInterpretator = optionsMenu->addMenu("Format &Interpretator");
    mnuFormatInterpretator->setObjectName("mnuFormatInterpretator");
    mnuFormatInterpretator->menuAction()->setObjectName("mnuFormatInterpretatorItem");
    mnuFormatInterpretator->setEnabled(false);
    mnu1Channel = addItem(mnuFormatInterpretator, "mnu1Channel", "&1 Channel");
    mnu2Channels = addItem(mnuFormatInterpretator, "mnu2Channels", "&2 Chennels");
    for (QAction* item : {mnu1Channel, mnu2Channels}) item->setCheckable(true);
    mnuInvertChannel1L = addItem(optionsMenu, "mnuInvertChannel1L", "Invert Channel &1 (L)");
    mnuInvertChannel1L->setEnabled(false);
    mnuInvertChannel2R = addItem(optionsMenu, "mnuInvertChannel2R", "Invert Channel &2 (R)");
    mnuInvertChannel2R->setEnabled(false);
    mnuIQSpectrum = addItem(optionsMenu, "mnuIQSpectrum", "I/&Q Spectrum");
    mnuIQSpectrum->setCheckable(true);
    optionsMenu->addSeparator();
    mnuUndoMemory = addItem(optionsMenu, "mnuUndoMemory", "Undo &Memory...");
    mnuCentreFrequency = addItem(optionsMenu, "mnuCentreFrequency", "&Centre Frequency...");
    mnuLargestFile = addItem(optionsMenu, "mnuLargestFile", "Lar&gest File...");
    AddAnnotationMenuItems(editMenu, optionsMenu);

    QMenu* helpMenu = menuBar()->addMenu("&Help");
    helpMenu->setObjectName("mnuHelp");
    mnuAbout = addItem(helpMenu, "mnuAbout", "&About");
    mnuVersion =
        addItem(helpMenu, "mnuVersion", QString::fromStdString("&Version " + std::string(kOrvaneVersion)));
    mnuVersion->setEnabled(false);
}

void TMainForm::BuildPaletteMenu() {
    SrcViewPopupMenu = new QMenu(this);
    SrcViewPopupMenu->setObjectName("SrcViewPopupMenu");
    static const char* const kNames[5] = {"Spectrum1", "Grayscale1", "Greens1", "Reds1", "Rainbow1"};
    // Where each item's mnemonic goes: Spectrum, Grayscale, Greens, Reds, Rainbow.
    static const int kMnemonicAt[5] = {0, 0, 4, 0, 4};
    for (int item = 0; item < 5; ++item) {
        const std::string_view text = kPaletteItemTexts[size_t(item)];
        PaletteActions[item] = SrcViewPopupMenu->addAction(
            QString::fromLatin1(text.data(), qsizetype(text.size())).insert(kMnemonicAt[item], '&'));
        PaletteActions[item]->setObjectName(kNames[item]);
        PaletteActions[item]->setData(item);
        PaletteActions[item]->setCheckable(true);
    }
    // The picture starts in "Spectrum" colours, and its item says so.
    checkedPalette_ = PaletteItem::Spectrum;
    PaletteActions[0]->setChecked(true);
}
