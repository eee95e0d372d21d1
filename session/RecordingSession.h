// The recording a window or an orvane-cli run works on: the store, the spectrogram state, the undo
// history, the description of the file it came from, and whether it holds changes not yet saved. The
// window and orvane-cli each hold one session and drive it through these steps; each piece of state
// here has this class as its one writer.
//
// One thread at a time: the window runs the long steps (Open, Reload, Apply, Undo, Redo, Recompute and
// the saves) on its job's worker thread while its controls are locked, and reads the state on its own
// thread while no job runs.
#pragma once

#include "ops/EditCommand.h"
#include "ops/EditHistory.h"
#include "ops/ExtractBand.h"
#include "session/RecordingDescription.h"
#include "signal/CaptureReader.h"
#include "signal/CentreFrequency.h"
#include "signal/JobControl.h"
#include "signal/SignalStore.h"
#include "signal/WavReader.h"
#include "spectral/RecomputeSpectrogram.h"
#include "spectral/SpectrogramSettings.h"
#include "spectral/SpectrogramState.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// How a file is read. The constructor lets ReadOptions{largestFile} stand as it did before captures.
struct ReadOptions {
    ReadOptions() = default;
    ReadOptions(int64_t largestFile, std::optional<CaptureOptions> capture = std::nullopt)
        : LargestFile(largestFile), Capture(std::move(capture)) {}

    int64_t LargestFile = kMaxWavFileSize; // longer files are refused
    // A bare I/Q capture's sample rate, centre frequency and type (signal/CaptureReader.h): used when
    // the name ends in a capture extension or a type is given.
    std::optional<CaptureOptions> Capture;
};

// What an open or reload did.
struct ReadOutcome {
    bool Opened = false; // false: the file could not be read and nothing in the session changed
    std::string Status;  // the final text of status panel 0, e.g. " Bytes : 96000 16 Bit Data"
    // When not opened: why, in words (the system's reason, or the size limit). When opened as raw data
    // because the WAV file's samples are not decoded: which coding they have.
    std::string Reason;
};

// What an applied edit did.
struct AppliedEdit {
    bool Stopped = false;  // the stop flag ended it early: the recording is changed in part
    bool Undoable = false; // the state before it was kept, so Undo brings it back
};

// What a save did.
struct SaveOutcome {
    uint16_t Result = 0; // WriteWavFile's result code (kWavWriteOk on success)
    std::string Reason;  // when it failed: the system's reason, e.g. "No space left on device"
    // Said once for each recording read from a file of more than 16 bits, at its first save: that the
    // file is written as 16-bit PCM, e.g. " Ready: written as 16-bit PCM (the file had 24-bit samples)."
    std::optional<std::string> FormatNote;
};

// What an extraction did.
struct ExtractOutcome {
    std::string Refusal;         // not empty: the request was refused (why) and nothing was written
    bool Stopped = false;        // the stop flag ended it: nothing was written
    SaveOutcome Saved;           // the new file's save
    int64_t CentreFrequency = 0; // the new recording's (Hz; 0 when the source's is not known)
    int32_t Rate = 0;            // the new recording's sample rate
    int64_t Frames = 0;          // and length
};

class RecordingSession {
public:
    using StatusSink = std::function<void(const std::string&)>;

    // `fftSize`: the FFT size the edits use before the first picture (the window's list at start-up).
    explicit RecordingSession(int32_t fftSize = 1024);

    // --- What is loaded ---------------------------------------------------------------------------
    const SignalStore& Store() const { return store_; }
    const RecordingDescription& Description() const { return description_; }
    // The marked stretches of the recording (the annotations of a SigMF recording or of the meta file
    // beside a WAV file), in the order of their first samples unless the file had another.
    const std::vector<Annotation>& Annotations() const { return description_.Annotations; }
    bool Loaded() const { return store_.Loaded(); }
    // The store or the annotations differ from what was last read or saved (undo back to that state
    // clears it).
    bool Modified() const { return SamplesModified() || annotationRevision_ != savedAnnotationRevision_; }
    // The store alone differs from what was last read or saved.
    bool SamplesModified() const { return store_.Revision != savedRevision_; }
    // StopRequested and the progress of the running step.
    JobControl& Job() { return job_; }
    const JobControl& Job() const { return job_; }

    // --- Files -------------------------------------------------------------------------------------
    // Reads `fileName` as the new recording: on success the store, the description and the modified
    // mark follow the file and the history is cleared; otherwise nothing changes. A name ending in
    // .sigmf-meta or .sigmf-data opens the SigMF pair it belongs to (signal/SigMFReader.h); a capture
    // (ReadsAsCapture) is read with options.Capture, and refused without it; a WAV file takes the
    // annotations of the meta file beside it that names it (signal/WavSigMFMeta.h). The reader's
    // intermediate panel-0 texts go to `status`. Throws what the reading throws (memory running out),
    // with nothing changed.
    ReadOutcome Open(const std::string& fileName, const ReadOptions& options, const StatusSink& status = {});
    // Reads the recording's file again (edits since are dropped), as Open; nothing when none is loaded.
    // A capture is read with the options it was opened with, unless `options` gives others.
    ReadOutcome Reload(const ReadOptions& options, const StatusSink& status = {});
    // Writes the store to `fileName` (or, empty, to the quick save's place in `startDirectory`) as a
    // 16-bit PCM WAV file, with the recording's centre frequency in an `auxi` chunk after the data, or,
    // for a name ending in .sigmf-data or .sigmf-meta, as a SigMF pair (session/RecordingWriter.h).
    // A WAV file gets the SigMF meta file beside it when the recording has annotations or had such a
    // file. When only the annotations changed since the read and `fileName` is the file read, only the
    // meta file is written (a SigMF recording's with every other key as read). Panel-0 texts go to
    // `status`. A successful save clears the modified mark; the recording still refers to the file it
    // was read from. Throws EFCreateError when the file cannot be created.
    SaveOutcome Save(const std::string& fileName, const StatusSink& status = {},
                     const std::string& startDirectory = ".");

    // Writes a time range and band of the recording (ExtractBand) to `fileName` (WAV or SigMF, as Save)
    // as a new two-channel recording whose centre frequency is the source's moved to the band's centre,
    // so its radio frequencies read as the source's. The session's own recording is not changed.
    // Polls Job()'s stop flag. Throws EFCreateError when the file cannot be created.
    ExtractOutcome Extract(const ExtractRequest& request, const std::string& fileName,
                           const StatusSink& status = {});

    // --- Edits -------------------------------------------------------------------------------------
    // Reads and checks a command's input against the recording and the FFT size in use (see
    // PrepareEdit). Throws EConvertError for a text that is not a number.
    [[nodiscard]] EditPreparation Prepare(EditCommand command, const EditCommandInput& input) const;
    // Whether the state before the edit fits the undo memory at all.
    bool UndoFits(const PreparedEdit& edit) const;
    // Runs a prepared edit on the store, keeping the state before it for undo. The long edits poll
    // Job()'s stop flag. An exception leaves the store as far as the edit came, marked modified.
    AppliedEdit Apply(const PreparedEdit& edit);

    // --- Annotations -------------------------------------------------------------------------------
    // Each is an edit in the history (Undo takes it back) named "Add Annotation", "Change Annotation"
    // or "Delete Annotation"; it marks the recording modified and leaves the samples as they are.
    // Add puts the annotation after those that start no later. Change and Delete return false, doing
    // nothing, for an index that names no annotation.
    void AddAnnotation(Annotation annotation);
    bool ChangeAnnotation(std::size_t index, Annotation annotation);
    bool DeleteAnnotation(std::size_t index);

    // --- History -----------------------------------------------------------------------------------
    const EditHistory& History() const { return history_; }
    // Undo or redo one edit; false when there is none.
    bool Undo();
    bool Redo();
    // The memory the history may keep, in bytes (none at first: orvane-cli keeps no undo states);
    // lowering it lets the oldest states go.
    void SetUndoBudget(std::size_t bytes);

    // --- Spectrogram -------------------------------------------------------------------------------
    const SpectrogramState& Spectrogram() const { return spectrogram_; }
    // The FFT size the edits use until the next picture: the window's list, at Reload.
    void SelectFFTSize(int32_t fftSize);
    // The FFT size and the window table of the window's lists at start-up.
    void SelectSpectrogram(int32_t fftSize, int windowIndex);
    // Computes the picture from the store (RecomputeSpectrogram), polling Job()'s stop flag.
    SpectrogramResult Recompute(const SpectrogramSettings& settings,
                                const SpectrogramRunOptions& options = {});
    // Where no picture follows an edit (orvane-cli), what its computation would have refreshed for the
    // next edit: the FFT size in use and the Fade curve (RefreshFadeCurveAndFFTSize).
    void RefreshAfterEdit(const SpectrogramSettings& settings);

    // --- Description -------------------------------------------------------------------------------
    // The centre frequency the user gives the recording as it is now (0: none). It holds for the file
    // until the session ends, also over Reload, and goes into the file at the next save. A Tune by f
    // moves a known centre by +f (and its undo back), so radio frequencies read the same.
    void SetCentreFrequency(int64_t hz);

private:
    ReadOutcome OpenSigMF(const std::string& fileName, const ReadOptions& options, const StatusSink& status);
    ReadOutcome OpenCapture(const std::string& fileName, const ReadOptions& options,
                            const StatusSink& status);
    // Makes a store read from a file the recording, with a fresh description of it.
    void Adopt(SignalStore&& store, int64_t centreFrequency);
    // The Tune edits' sum (Hz) in the store's present state, since the file was read.
    double TunedBy() const;
    // The description's centre frequency: the file's (read or typed) moved by the tuning, 0 when the
    // file's is not known.
    void FollowTuning();
    uint64_t NextRevision() { return ++revisions_; }
    // Keeps the annotations before an edit of them for undo and names their next state.
    void BeginAnnotationEdit(const char* name);
    AnnotationSet AnnotationsInHistory() { return {description_.Annotations, annotationRevision_}; }
    // Whether a save to `fileName` needs to write the annotations' meta file only: the annotations
    // changed, the samples are as the file read holds them, and `fileName` is that file.
    bool WritesAnnotationsOnly(const std::string& fileName) const;
    SaveOutcome Saved(uint16_t result, int error);

    SignalStore store_;
    SpectrogramState spectrogram_;
    EditHistory history_;
    RecordingDescription description_;
    CentreFrequencies centres_; // the centre frequency of each file read during the session
    std::unordered_map<uint64_t, double> tunedBy_; // TunedBy of every state of the store since the read
    JobControl job_;
    uint64_t revisions_ = 0;               // the last revision number given
    uint64_t savedRevision_ = 0;           // the revision last read or saved
    uint64_t annotationRevision_ = 0;      // names the annotations' state, numbered as the store's
    uint64_t savedAnnotationRevision_ = 0; // the annotations' state last read or saved
    uint64_t fileRevision_ = 0; // the store's revision whose samples the file read holds; 0: none known
    bool formatNoteGiven_ = false;
};
