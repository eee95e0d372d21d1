// The main window: the spectrogram view with its ruler, the tool bars of commands, the menus, the
// status bar, the settings kept between runs, and the frame in which every long job runs.
#pragma once

#include "app/AnnotationTextDialog.h"
#include "app/JobStatusMail.h"
#include "app/ReadoutPresenter.h"
#include "app/SettingsKey.h"
#include "audio/Playback.h"
#include "ops/EditCommand.h"
#include "session/RecordingSession.h"
#include "spectral/SpectrogramSettings.h"
#include "view/TBitmap32.h"
#include "view/ZoomView.h"

#include <QMainWindow>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class RecentFiles;
class QActionGroup;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class PlaybackSignals;
class QTimer;
class QToolButton;
class QUrl;
class TRulerPaintBox;
class TG32_ProgressBar;
class TGaugeBar;
class TImgView32;
class TElidedPanel;
class TRubberbandLayer;
class TTimeScaleLayer;
class TLevelLegendBox;
struct PictureAxes;
enum class PictureKeyCommand;
struct SpectrogramResult;
enum class PaletteItem : int;
class JobSequence;
class AnnotationsDialog;
class TAnnotationLayer;

// How a job looks while it runs.
struct JobLook {
    const char* PanelText = nullptr;        // status panel 3 while it runs (an edit's name)
    std::optional<uint32_t> ProgressColour; // background of the progress bar while it runs
    bool Stoppable = false;                 // the job polls the stop flag: "Stop Calculate" is offered
    bool ReadsOnly = false;                 // the job leaves the recording as it is: Listen plays on
};

// The answer to "save the changes first?" before the recording is replaced or the window closes.
enum class UnsavedChoice { Save, Discard, Cancel };

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // --- State of the program ----------------------------------------------------------------------
    // The recording: the store, the spectrogram state, the undo history, the file's description.
    RecordingSession& Session() { return session_; }
    const RecordingSession& Session() const { return session_; }
    Playback Player;            // the playback module
    std::string StartDirectory; // current directory at creation: quick save and bitmap export go here

    bool Busy() const { return busy_; }
    // The one writer of Busy: sets it and locks (true) or unlocks (false) the controls that start work.
    void SetBusy(bool busy);
    bool StopRequested() const { return session_.Job().Stopping(); }

    // The text of status panel 0 .. 4.
    QString StatusText(int panel) const;
    void SetStatus(int panel, const QString& text);

    // What the window shows of the recording, as of the end of the last job: written on the
    // user-interface thread only while no job runs, so that what works during a job (the readout, the
    // captions) never reads the session.
    const ShownRecording& Shown() const { return shown_; }
    // Files longer than this are refused by the reader (the setting "LargestFile", in bytes).
    int64_t LargestFile() const { return largestFile_; }

    // --- Files ------------------------------------------------------------------------------------
    // Reads `fileName` into the store and shows its spectrogram; a file that cannot be read changes
    // nothing but panel 0. A capture's rate is asked for first (AskCaptureOptions); Cancel changes
    // nothing at all.
    ReadOutcome LoadWavFile(const QString& fileName);
    // A file dropped on the window, or named on the command line: only the first local file counts.
    void FilesDropped(const QList<QUrl>& urls);
    void OpenDroppedFile(const QString& path);
    // A file of File > "Recent": opened as Open opens it; one that is gone leaves the list.
    void OpenRecentFile(const QString& path);
    const RecentFiles& Recent() const { return *recentFiles_; }
    // A file named on the command line (relative to the current directory): read as soon as the event
    // loop runs; one that cannot be read is named on standard error with the reason.
    void OpenOnceShown(const QString& path);
    // Writes the store as a WAV file; an empty name is the quick save into StartDirectory. True when it
    // was written.
    bool SaveSignal(const QString& fileName);

    // --- Spectrogram ------------------------------------------------------------------------------
    // Computes the picture again from the store, with its ChannelCount and ValueCount (nothing happens
    // while no recording is loaded). The controls stay locked until it has ended.
    void RecomputeSpectrogram();
    // What the four drop-down lists of the top bar select.
    SpectrogramSettings SelectedSpectrogramSettings() const;
    // Redraws the frequency ruler for a sample rate.
    void DrawRuler(float rate);
    // The palette whose check mark is set in the ruler's menu, if any.
    std::optional<PaletteItem> CheckedPalette() const { return checkedPalette_; }
    // Path of "Save Bitmap": StartDirectory/Spectr_<file name>.bmp.
    QString SpectrogramPictureFileName() const;

    // Runs `work` as a job on a worker thread while the window stays live: clears the stop flag (here,
    // before the worker starts), locks the controls, shows `look`, and waits. Busy stays set when the
    // job has ended, until the sequence the command opened (JobSequence) ends. A failure of the job
    // ends the sequence's work: the window returns to idle and the failure reaches the general error
    // report; the result tells whether the job ended without one. Call it within a JobSequence.
    bool RunLongJob(const std::function<void()>& work, const JobLook& look = {});
    // A status setter for a job's thread: each text reaches the panel through the event queue.
    std::function<void(const std::string&)> StatusFromJob(int panel);

    // The rubber band, once created by the first click on the picture.
    TRubberbandLayer* RubberBand() const { return rubberBand_; }
    bool Dragging() const { return dragging_; }

    // Asked before unsaved changes would be dropped (Open, Reload, a drop, closing the window).
    std::function<UnsavedChoice()> AskUnsavedChanges;
    // The file dialogs, replaceable in tests: these return the chosen path, or empty for cancel.
    std::function<QString()> AskOpenFileName;
    std::function<QString(const QString& suggestedName)> AskSaveFileName;
    // The undo memory in MiB, asked for with the current value; nothing for cancel.
    std::function<std::optional<int>(int currentMiB)> AskUndoMemory;
    // The centre frequency in Hz (0 = none) and the largest file in bytes, asked for with the current
    // value; nothing for cancel.
    std::function<std::optional<int64_t>(int64_t currentHz)> AskCentreFrequency;
    std::function<std::optional<int64_t>(int64_t currentBytes)> AskLargestFile;
    // The export dialog, given the suggested path (folder and name of a PNG file).
    std::function<QString(const QString& suggestedPath)> AskExportFileName;
    // The export dialog's "With axes" check box (off at first; the dialog keeps the last choice).
    bool ExportWithAxes() const { return exportWithAxes_; }
    void SetExportWithAxes(bool withAxes) { exportWithAxes_ = withAxes; }
    // Extract: the band's file (given a suggested path), and whether to open it once written.
    std::function<QString(const QString& suggestedPath)> AskExtractFileName;
    std::function<bool(const QString& fileName)> AskOpenExtracted;
    // The folder the open dialog starts in: that of the last file chosen in it (empty at first: the
    // current folder).
    QString OpenDialogFolder() const;

    // --- Controls, named as their objectName --------------------------------------------------------
    QFrame* Panel2 = nullptr;
    QFrame* SpectrumPanel = nullptr;
    QFrame* Panel_L = nullptr;
    QFrame* Panellr = nullptr;
    QFrame* FilterPanel = nullptr;
    QFrame* ShiftPanel = nullptr;
    QFrame* ListenPanel = nullptr; // Listen's mode and bandwidth; hidden unless "Listen Panel" is checked
    QFrame* Panel1 = nullptr;
    QFrame* Panel8 = nullptr;
    QFrame* Panel3 = nullptr;
    QFrame* Panel4 = nullptr;

    TImgView32* SrcImage = nullptr;
    TRulerPaintBox* RulerPaintBox = nullptr;
    TG32_ProgressBar* ProgressBar = nullptr;

    QComboBox* ComboFFTSize = nullptr;
    QComboBox* ComboXResolution = nullptr;
    QComboBox* ComboFFTWindow = nullptr;
    QComboBox* ComboImageGain = nullptr;
    QComboBox* cbFilterQuality = nullptr;

    QToolButton* sbStopLoad = nullptr;
    QToolButton* sbSavePicturea = nullptr;
    QToolButton* sbSaveSignal = nullptr;
    QToolButton* sbFFTHiCut = nullptr;
    QToolButton* sbLPFFilter = nullptr;
    QToolButton* sbGenSin = nullptr;
    QToolButton* sbGenCos = nullptr;
    QToolButton* sbTune = nullptr; // I/Q only: enabled with two channels
    QToolButton* sbASR = nullptr;
    QToolButton* sbFade = nullptr;
    QToolButton* sbNormAmp = nullptr;
    QToolButton* sbInvertSpectr = nullptr;
    QToolButton* sbIQ2Real = nullptr;
    QToolButton* sbReload = nullptr;
    QToolButton* sbImageMode = nullptr;
    QToolButton* sbResetZoom = nullptr;
    QToolButton* sbAntialiasing = nullptr;
    QToolButton* sbStopPlay = nullptr;
    QToolButton* sbPlayMemory = nullptr;
    QToolButton* sbLoopPlay = nullptr;
    QToolButton* sbListen = nullptr; // down while the demodulated signal plays
    QComboBox* cbListenMode = nullptr;
    QLineEdit* EditListenBandwidth = nullptr;

    QLineEdit* EditFFTHiCut = nullptr;
    QLineEdit* EditFFTLoCut = nullptr;
    QLineEdit* EditLPF = nullptr;
    QLineEdit* EditFrq = nullptr;
    QLineEdit* EditASR = nullptr;

    QLabel* LabelXZoom = nullptr;
    QLabel* LabelYZoom = nullptr;
    TGaugeBar* gbPositionX = nullptr;
    TGaugeBar* gbPositionY = nullptr;

    QAction* mnuOpen = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuSavewavAs = nullptr;
    QAction* mnuExportPicture = nullptr;
    QAction* mnuExtract = nullptr;      // the marker's band as a recording of its own
    QAction* mnuZoomToMarker = nullptr; // the view filled with the marker's rectangle, in zoom mode
    QAction* mnuExit = nullptr;
    QAction* mnuUndo = nullptr;
    QAction* mnuRedo = nullptr;
    QAction* mnuUndoMemory = nullptr;
    QAction* mnuCentreFrequency = nullptr;
    QAction* mnuLargestFile = nullptr;
    QAction* mnuIQSpectrum = nullptr;
    QAction* mnuFilterPanel = nullptr;
    QAction* mnuShiftPanel = nullptr;
    QAction* mnuListenPanel = nullptr;
    QMenu* mnuFormatInterpretator = nullptr;
    QAction* mnu1Channel = nullptr;
    QAction* mnu2Channels = nullptr;
    QAction* mnuInvertChannel1L = nullptr;
    QAction* mnuInvertChannel2R = nullptr;
    QAction* mnuAbout = nullptr;
    QAction* mnuVersion = nullptr; // shows the version; no action
    QMenu* mnuRecent = nullptr;    // File > "Recent": the files opened last
    QMenu* SrcViewPopupMenu = nullptr;
    TElidedPanel* StatusPanels[5] = {}; // the status bar's panels 0 .. 4
    QAction* PaletteActions[5] = {};    // Spectrum, Grayscale, Greens, Reds, Rainbow

    // --- Readings: the readout under the pointer, the marker's extent, the time scale ---------------
    TElidedPanel* ReadoutPanel = nullptr; // status panel 5: time, frequency and level under the pointer
    TElidedPanel* MarkerPanel = nullptr;  // status panel 6: the marker rectangle's extent
    QAction* mnuTimeScale = nullptr;
    QAction* mnuLevelLegend = nullptr;
    QAction* mnuAutoGain = nullptr;
    TLevelLegendBox* LevelLegendBox = nullptr;
    TTimeScaleLayer* TimeScale() const { return readout_->TimeScale(); }
    // The axes of the picture in the view (its sample rate that of the recording shown), if any.
    std::optional<PictureAxes> ShownAxes() const { return readout_->ShownAxes(); }
    // Request numbers of the levels computed on the readout's worker, and how many it abandoned.
    uint64_t LevelsDelivered() const { return readout_->LevelsDelivered(); }
    uint64_t LevelsAbandoned() const { return readout_->LevelsAbandoned(); }

public slots:
    // Commands of the window.
    void mnuOpenClick();
    void sbReloadClick();
    void ReloadFile();
    void mnuSaveClick();
    void mnuSavewavAsClick();
    void mnuExtractClick();
    void sbSaveSignalClick();
    void mnuExitClick();
    void mnuFilterPanelClick();
    void mnuShiftPanelClick();
    void sbStopLoadClick();
    void sbSavePictureaClick();
    void mnuExportPictureClick();
    void mnu1ChannelClick();
    void mnu2ChannelsClick();
    void ComboFFTSizeChange();
    void ComboXResolutionChange();
    void ComboFFTWindowChange();
    void ComboImageGainChange();
    void Spectrum1Click(PaletteItem item);
    void sbAntialiasingClick();
    void sbPlayMemoryClick();
    void sbLoopPlayClick();
    void sbStopPlayClick();
    void sbListenClick();
    void cbListenModeChange();
    void mnuListenPanelClick();
    void mnuUndoClick();
    void mnuRedoClick();
    void mnuUndoMemoryClick();
    void mnuCentreFrequencyClick();
    void mnuLargestFileClick();
    void mnuIQSpectrumClick();

    // Edits of the store.
    void sbFadeClick();
    void sbNormAmpClick();
    void sbInvertSpectrClick();
    void mnuInvertChannel1LClick();
    void mnuInvertChannel2RClick();
    void sbIQ2RealClick();
    void sbGenSinClick();
    void sbGenCosClick();
    void sbTuneClick();
    void sbLPFFilterClick();
    void sbFFTHiCutClick();
    void sbASRClick();

    // Zoom, scroll and mouse.
    void sbImageModeClick();
    void gbPositionXChange();
    void gbPositionYChange();
    void sbResetZoomClick();
    void SrcImageMouseDown(Qt::MouseButton button, int x, int y);
    void SrcImageMouseMove(int x, int y);
    void SrcImageMouseUp(Qt::MouseButton button);
    void SrcImageMouseWheelDown(Qt::KeyboardModifiers shift, QPoint at);
    void SrcImageMouseWheelUp(Qt::KeyboardModifiers shift, QPoint at);
    void mnuZoomToMarkerClick();
    // Space: "Play" while nothing plays, otherwise "Stop".
    void PlayOrStopKey();
    void RulerPaintBoxClick();
    void mnuTimeScaleClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    friend class JobSequence;

    void BuildLayout();
    void BuildTopBar();
    void BuildSpectrumPanel();
    void BuildFilterPanel();
    void BuildShiftPanel();
    void BuildListenPanel();
    void BuildBottomBar();
    void BuildStatusBar();
    void BuildMenus();
    void BuildPaletteMenu();
    void ConnectHandlers();
    void ConnectViewHandlers();
    void ConnectEditHandlers();
    // An edit command: ignored while a job runs; stops playback, reads its fields, runs as a job and
    // is followed by what the command asks for (a new picture, the ruler, the channel items).
    void RunEditCommand(EditCommand command, const EditCommandInput& input = {});
    void FollowEdit(EditCommand command, const AppliedEdit& applied);
    // Undo (true) or Redo (false) as a job, followed by the layout and picture of the restored store.
    void StepHistory(bool undo);
    // The captions and states of "Undo" and "Redo" as the history and the job state allow.
    void UpdateHistoryItems(bool unlocked);
    void FollowStoppedEditText(bool undo);
    void ConnectHistoryHandlers();
    // A save or export: ignored with a status text while a job runs, otherwise run as a job; true
    // when it was written.
    bool RunWriteJob(const std::function<void()>& write);
    // Before the recording is replaced or the window closes: true when nothing unsaved is lost (none
    // there, saved, or the user lets it go), false when the user keeps it (Cancel, or a save failed).
    bool ConfirmUnsavedChanges();
    // The caption: the program, and the file shown with a "*" before it while it has unsaved changes.
    void ShowCaption();
    // What the window shows of the recording (the snapshot, the caption, the readings) follows the
    // session; only while no job runs.
    void FollowSession();
    // Saves `picture` (PNG or BMP by the name) as a write job and says in panel 0 where it went.
    void WritePictureFile(const TBitmap32& picture, const std::string& fileName);
    QString AskExportTarget(const QString& suggestedPath);
    void RememberOpenFolder(const QString& fileName);
    void ConnectExportHandlers();
    QString AskExtractTarget(const QString& suggestedPath);
    bool OpenExtractedFile(const QString& fileName);
    void ConnectRecordingOptionHandlers();
    void ReadLargestFileSetting();
    void ShowWideXResolutionItems();

    // File > "Recent" (TMainFormRecent.cpp).
    void BuildRecentMenu();
    void ShowRecentFiles();
    void RememberRecentFile(const QString& fileName);

    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void ReadSettings();
    void WriteSettings();
    void RestoreWindowBounds();
    void SelectStoredItem(QComboBox* combo, const QString& name, int fallback);

    // Ends a sequence of jobs: stop button off, progress bar at rest, controls unlocked, the caption and
    // the readings for what the session now holds; then a failure of the sequence is reported. Only
    // JobSequence calls it.
    void ReturnToIdle();
    // Spectrogram steps around the engine.
    void CompleteSpectrogram(const SpectrogramResult& result);
    void ShowWhereStopped(const SpectrogramSettings& settings, const std::string& timeText);
    // A picture the engine refused: the view, ruler and readings show none, and panel 1 and the view
    // say why (which image width would fit, or that memory ran short).
    void ShowRefusedPicture(const SpectrogramSettings& settings, const std::string& sizeText);
    void ApplyPalette();
    void UpdateChannelControls();
    void CheckChannelItem(uint16_t channelCount);
    // The ruler, the channel items, the centre line and the channel inversion items follow the store.
    void ShowRecordingLayout();
    void CreateCentreLine();
    void RemoveCentreLine();
    void SetProgressBackColor(uint32_t colour);
    void SetProgressPosition(int percent);
    bool ZoomMode() const;
    // Zoom navigation (TMainFormZoomNavigation.cpp): the wheel, the picture's keys, "Zoom to Marker".
    void BuildZoomNavigation();
    void ConnectZoomNavigation();
    // The view zoomed, scrolled or fitted as `zoom` says; the sliders and the ruler follow.
    void ShowZoom(const ZoomView& zoom);
    void WheelOverPicture(Qt::KeyboardModifiers shift, QPoint at, int notches);
    bool PictureKeyPressed(PictureKeyCommand command);
    // The marker's rectangle in picture pixels while it is shown and more than a point.
    std::optional<ZoomVisibleRect> MarkerRectangle() const;
    void UpdateZoomToMarkerItem();
    // Esc: playback starts at the beginning again (the click is forgotten, the marker hidden).
    void ForgetPlayStart();

    // The readings (TMainFormReadout.cpp).
    void BuildReadoutControls();
    void BuildLevelControls();
    // The view's ranking and the legend follow the picture shown, its gain and palette.
    void FollowLevels();
    PaletteItem ShownPalette() const;
    void mnuLevelLegendClick();
    void mnuAutoGainClick();
    void ConnectReadoutHandlers();

    // Playback: the play buttons, status panel 4 and the play cursor.
    void ConnectPlayback();
    void PlayButtonClicked(QToolButton* button);
    void StartPlayingStore();
    void StartPlayingAfterJob();
    void PlaybackButtonsUp();
    void PlaybackCursorShown(bool shown);
    // Listen (TMainFormListen.cpp).
    void ConnectListenHandlers();
    // Starts Listen for what is marked or clicked; false (with the reason in panel 0) when it cannot.
    bool StartListening();
    // Before a job that may change the recording: a Listen playing ends at once, as after a stop, since
    // it reads the recording while it plays.
    void HaltListening();

    RecordingSession session_;
    std::unique_ptr<SettingsKey> settings_;
    int64_t largestFile_ = kMaxWavFileSize;
    bool busy_ = false;
    int sequences_ = 0;             // JobSequence objects alive
    std::exception_ptr jobFailure_; // the failure that ended the running sequence, reported at its end
    JobStatusMail jobStatusMail_;   // status texts from the running job's worker
    ShownRecording shown_;
    bool closing_ = false;
    std::optional<PaletteItem> checkedPalette_; // the palette in use, ticked in the picture's menu
    TRubberbandLayer* rubberBand_ = nullptr;
    // The picture last handed to the view, in "Spectrum" colours. Palettes recolour from it, so that a
    // computation in progress is never read; it shares its pixels with SpectrogramBitmap.
    TBitmap32 shownSpectrogram_;
    int32_t shownGain_ = 100; // the gain the picture shown was computed with
    bool exportWithAxes_ = false;
    bool computingPicture_ = false; // a spectrogram computation runs (its preparation included)
    int anchorX_ = 0;
    int anchorY_ = 0;
    bool dragging_ = false;
    bool shownOnce_ = false;
    PlaybackSignals* playbackSignals_ = nullptr; // what the playback thread reports, queued to this thread
    QTimer* playAfterJob_ = nullptr;             // a play click waiting for the running job to end
    ReadoutPresenter* readout_ = nullptr;        // the readings
    std::unique_ptr<RecentFiles> recentFiles_;
    QString stoppedEditText_;        // panel 0's text after the last stopped edit
    int stepsAboveStoppedEdit_ = -1; // undo steps above that edit; -1: none to follow

    // --- Bare I/Q captures (app/TMainFormCaptures.cpp) ---------------------------------------------
public:
    // The rate and centre frequency of a capture, asked for before it is first opened, given its path,
    // the rate to offer and the centre its name gives (0: none); nothing for Cancel. Replaceable in
    // tests; by default the CaptureRateDialog.
    std::function<std::optional<CaptureOptions>(const QString& fileName, int64_t rate, int64_t nameCentre)>
        AskCaptureOptions;

private:
    // The options of the capture `fileName`: the answer given for it earlier in the run, else asked for
    // (and kept); nothing when the question was cancelled.
    std::optional<CaptureOptions> CaptureOptionsFor(const QString& fileName);
    std::map<QString, CaptureOptions> captureAnswers_; // by absolute path, for the run
    int64_t lastCaptureRate_ = 0;                      // the rate of the last answer

    // --- Annotations (TMainFormAnnotations.cpp): drawn over the picture, listed, added from the
    // marker, edited and deleted through the session's history -----------------------------------------
public:
    QAction* mnuAddAnnotation = nullptr;   // Edit > "Add Annotation...": the marker as an annotation
    QAction* mnuShowAnnotations = nullptr; // Options > "Annotations": shows them over the picture
    QAction* mnuAnnotations = nullptr;     // Options > "Annotations...": the list
    // The label and comment dialog, replaceable in tests: given the texts to start with, the texts
    // chosen, or nothing for cancel.
    std::function<std::optional<AnnotationTexts>(const AnnotationTexts& current)> AskAnnotationTexts;
    // The list, once opened (nullptr before).
    AnnotationsDialog* AnnotationList() const { return annotationList_; }
    // The rectangles drawn now, one per annotation and band of the picture.
    const std::vector<TAnnotationLayer*>& AnnotationLayers() const { return annotationLayers_; }
    void mnuAddAnnotationClick();
    void mnuAnnotationsClick();
    void mnuShowAnnotationsClick();
    // The annotation `index` in view (scrolled to in zoom mode) and marked by the marker rectangle.
    void ChooseAnnotation(int index);
    void EditAnnotation(int index);
    void DeleteAnnotation(int index);

private:
    void AddAnnotationMenuItems(QMenu* editMenu, QMenu* optionsMenu);
    void ConnectAnnotationHandlers();
    // The rectangles, the list and "Add Annotation..." follow the session; only while no job runs.
    void ShowAnnotations();
    void UpdateAnnotationItems();
    // After an edit of the annotations: the history's items, the caption and the drawing.
    void FollowAnnotationEdit();
    // Undo or redo of an edit that changed the annotations only: no job, no new picture.
    void StepAnnotationHistory(bool undo);
    std::optional<AnnotationTexts> AskTexts(const QString& title, const AnnotationTexts& current);
    void ScrollToPicturePoint(double x, double y);

    AnnotationsDialog* annotationList_ = nullptr;
    std::vector<TAnnotationLayer*> annotationLayers_;
};
