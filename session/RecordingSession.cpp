#include "session/RecordingSession.h"

#include "session/RecordingWriter.h"
#include "signal/SigMFFiles.h"
#include "signal/SigMFReader.h"
#include "signal/WavSigMFMeta.h"
#include "signal/WavWriter.h"
#include "spectral/SpectrogramPreparation.h"
#include "spectral/WindowTable.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace {

// Whether two names lead to the same file (links and relative folders followed as far as they exist).
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    const auto canonicalA = std::filesystem::weakly_canonical(a, error);
    if (error) return a == b;
    const auto canonicalB = std::filesystem::weakly_canonical(b, error);
    return error ? a == b : canonicalA == canonicalB;
}

// Whether two names are of the same recording: the same file, or either file of the same SigMF pair.
bool SameRecording(const std::string& a, const std::string& b) {
    if (IsSigMFName(a) != IsSigMFName(b)) return false;
    return IsSigMFName(a) ? SameFile(SigMFPairOf(a).Meta, SigMFPairOf(b).Meta) : SameFile(a, b);
}

} // namespace

RecordingSession::RecordingSession(int32_t fftSize) {
    SelectFFTSize(fftSize);
}

// The file is read into a store of its own, so that a read that fails on the way leaves the
// recording, its history and its mark as they were; the previous recording goes once the new one is had.
// A capture is read as one (a given type overrides the name); either file of a SigMF pair opens the
// pair; any other name is read as a WAV file.
ReadOutcome RecordingSession::Open(const std::string& fileName, const ReadOptions& options,
                                   const StatusSink& status) {
    if (ReadsAsCapture(fileName, options.Capture)) return OpenCapture(fileName, options, status);
    if (IsSigMFName(fileName)) return OpenSigMF(fileName, options, status);
    SignalStore fresh;
    WavReadResult read = ReadWavFile(fresh, fileName, status, options.LargestFile);
    ReadOutcome outcome{read.StoreReplaced, read.Status, read.FailureReason};
    if (read.StoreReplaced) {
        Adopt(std::move(fresh), read.CentreFrequency);
        description_.SourceFormat = read.Encoding;
        description_.AuxiPayload = std::move(read.AuxiPayload);
        description_.WavHeaderBytes = read.DataOffset;
        if (std::optional<SigMFMeta> meta = ReadSigMFMetaOfWav(fileName)) {
            description_.DateTime = meta->DateTime;
            description_.Annotations = meta->Annotations;
            description_.WavMeta = std::make_shared<const SigMFMeta>(std::move(*meta));
        }
    }
    return outcome;
}

ReadOutcome RecordingSession::OpenSigMF(const std::string& fileName, const ReadOptions& options,
                                        const StatusSink& status) {
    SignalStore fresh;
    SigMFReadResult read = ReadSigMFRecording(fresh, fileName, status, options.LargestFile);
    ReadOutcome outcome{read.StoreReplaced, read.Status, read.FailureReason};
    if (read.StoreReplaced) {
        Adopt(std::move(fresh), read.CentreFrequency);
        description_.DateTime = read.Meta->DateTime;
        description_.Annotations = read.Meta->Annotations;
        description_.SigMF = std::make_shared<const SigMFMeta>(std::move(*read.Meta));
    }
    return outcome;
}

// A capture without options cannot be read: its sample rate is not in the file.
ReadOutcome RecordingSession::OpenCapture(const std::string& fileName, const ReadOptions& options,
                                          const StatusSink& status) {
    if (!options.Capture)
        return {false, " ERROR: Sample Rate Unknown.", "a capture's sample rate is not in the file: give it"};
    SignalStore fresh;
    const CaptureReadResult read =
        ReadCapture(fresh, fileName, *options.Capture, status, options.LargestFile);
    ReadOutcome outcome{read.StoreReplaced, read.Status, read.FailureReason};
    if (read.StoreReplaced) {
        Adopt(std::move(fresh), read.CentreFrequency);
        description_.Capture = *options.Capture;
        description_.Capture->Type = read.Type;
    }
    return outcome;
}

ReadOutcome RecordingSession::Reload(const ReadOptions& options, const StatusSink& status) {
    if (!Loaded()) return {};
    const std::string fileName = description_.FileName;
    ReadOptions again = options;
    if (!again.Capture) again.Capture = description_.Capture;
    return Open(fileName, again, status);
}

// The description starts anew from the file read; the callers add what their format carries.
void RecordingSession::Adopt(SignalStore&& store, int64_t centreFrequency) {
    history_.Clear();
    store_ = std::move(store);
    store_.Revision = NextRevision();
    savedRevision_ = store_.Revision;
    fileRevision_ = store_.Revision;
    annotationRevision_ = NextRevision();
    savedAnnotationRevision_ = annotationRevision_;
    centres_.FileRead(store_.FileName, centreFrequency);
    tunedBy_.clear();
    tunedBy_[store_.Revision] = 0;
    description_ = RecordingDescription{};
    description_.FileName = store_.FileName;
    FollowTuning();
    formatNoteGiven_ = false;
}

SaveOutcome RecordingSession::Save(const std::string& fileName, const StatusSink& status,
                                   const std::string& startDirectory) {
    // The result is taken before Saved reads `error`: the order in which a call's arguments are
    // evaluated is unspecified.
    int error = 0;
    if (WritesAnnotationsOnly(fileName)) {
        const uint16_t result = WriteAnnotationsOnly(store_, description_, status, &error);
        return Saved(result, error);
    }
    const uint16_t result = WriteRecording(store_, description_, fileName, startDirectory, status, &error);
    SaveOutcome outcome = Saved(result, error);
    if (outcome.Result != kWavWriteOk) return outcome;
    // The file read now holds the samples as the writer lays them out, no longer as they were read.
    if (!fileName.empty() && SameRecording(fileName, description_.FileName)) fileRevision_ = 0;
    if (SourceWiderThanStore(description_) && !formatNoteGiven_) {
        outcome.FormatNote = " Ready: written as " + WrittenFormatWords(store_, fileName) +
                             " (the file had " + SourceWords(description_) + " samples).";
        formatNoteGiven_ = true;
    }
    return outcome;
}

SaveOutcome RecordingSession::Saved(uint16_t result, int error) {
    SaveOutcome outcome;
    outcome.Result = result;
    if (result != kWavWriteOk) {
        outcome.Reason = std::generic_category().message(error);
        return outcome;
    }
    savedRevision_ = store_.Revision;
    savedAnnotationRevision_ = annotationRevision_;
    return outcome;
}

bool RecordingSession::WritesAnnotationsOnly(const std::string& fileName) const {
    if (fileName.empty() || fileRevision_ == 0 || store_.Revision != fileRevision_) return false;
    // A save with nothing changed writes the recording whole, as it always has.
    if (annotationRevision_ == savedAnnotationRevision_) return false;
    if (!SameRecording(fileName, description_.FileName)) return false;
    // A SigMF meta file keeps describing the samples as they are; a WAV file's new meta file describes
    // them as the store holds them: 16-bit, one or two channels.
    return description_.SigMF != nullptr ||
           (description_.SourceFormat == SampleEncoding::Pcm16 && store_.ChannelCount <= 2);
}

void RecordingSession::AddAnnotation(Annotation annotation) {
    BeginAnnotationEdit("Add Annotation");
    std::vector<Annotation>& items = description_.Annotations;
    const auto place =
        std::upper_bound(items.begin(), items.end(), annotation.SampleStart,
                         [](int64_t start, const Annotation& other) { return start < other.SampleStart; });
    items.insert(place, std::move(annotation));
}

bool RecordingSession::ChangeAnnotation(std::size_t index, Annotation annotation) {
    if (index >= description_.Annotations.size()) return false;
    BeginAnnotationEdit("Change Annotation");
    description_.Annotations[index] = std::move(annotation);
    return true;
}

bool RecordingSession::DeleteAnnotation(std::size_t index) {
    if (index >= description_.Annotations.size()) return false;
    BeginAnnotationEdit("Delete Annotation");
    description_.Annotations.erase(description_.Annotations.begin() + std::ptrdiff_t(index));
    return true;
}

void RecordingSession::BeginAnnotationEdit(const char* name) {
    history_.KeepAnnotations(name, store_, AnnotationsInHistory());
    annotationRevision_ = NextRevision();
}

ExtractOutcome RecordingSession::Extract(const ExtractRequest& request, const std::string& fileName,
                                         const StatusSink& status) {
    ExtractOutcome outcome;
    const CheckedInput<ExtractPlan> plan = PlanExtract(store_, request);
    if (!plan) {
        outcome.Refusal = plan.Refusal();
        return outcome;
    }
    std::optional<SignalStore> band = ExtractBand(store_, *plan, job_);
    if (!band) {
        outcome.Stopped = true;
        return outcome;
    }
    band->FileName = fileName;
    outcome.Rate = band->SampleRate;
    outcome.Frames = static_cast<int64_t>(band->Samples.size() / 2);
    if (description_.CentreFrequency != 0)
        outcome.CentreFrequency = description_.CentreFrequency + std::llround(plan->CentreHz);
    RecordingDescription written;
    written.CentreFrequency = outcome.CentreFrequency;
    int error = 0;
    outcome.Saved.Result = WriteRecording(*band, written, fileName, ".", status, &error);
    if (outcome.Saved.Result != kWavWriteOk) outcome.Saved.Reason = std::generic_category().message(error);
    return outcome;
}

EditPreparation RecordingSession::Prepare(EditCommand command, const EditCommandInput& input) const {
    return PrepareEdit(command, input, store_, spectrogram_.CurrentFFTSize);
}

bool RecordingSession::UndoFits(const PreparedEdit& edit) const {
    return !EditCommandInfoOf(edit.Command).RewritesValues || history_.Fits(store_);
}

AppliedEdit RecordingSession::Apply(const PreparedEdit& edit) {
    const EditCommandInfo& info = EditCommandInfoOf(edit.Command);
    AppliedEdit applied;
    applied.Undoable = history_.Begin(std::string(info.Caption), store_, info.RewritesValues);
    // The store is a new state from the first value the edit changes on, also when it fails half-way.
    const double tuned = TunedBy() + (edit.Command == EditCommand::Tune ? edit.Frequency : 0.0);
    store_.Revision = NextRevision();
    tunedBy_[store_.Revision] = tuned;
    FollowTuning();
    try {
        applied.Stopped = RunEdit(edit, store_, spectrogram_, job_).Stopped;
    } catch (...) {
        history_.End(store_);
        throw;
    }
    history_.End(store_);
    return applied;
}

bool RecordingSession::Undo() {
    const AnnotationSet annotations = AnnotationsInHistory();
    const bool undone = history_.Undo(store_, &annotations);
    FollowTuning();
    return undone;
}

bool RecordingSession::Redo() {
    const AnnotationSet annotations = AnnotationsInHistory();
    const bool redone = history_.Redo(store_, &annotations);
    FollowTuning();
    return redone;
}

double RecordingSession::TunedBy() const {
    const auto it = tunedBy_.find(store_.Revision);
    return it == tunedBy_.end() ? 0.0 : it->second;
}

void RecordingSession::FollowTuning() {
    const int64_t fileCentre = centres_.Of(description_.FileName);
    description_.CentreFrequency = fileCentre == 0 ? 0 : fileCentre + std::llround(TunedBy());
}

void RecordingSession::SetUndoBudget(std::size_t bytes) {
    history_.SetBudget(bytes);
}

void RecordingSession::SelectFFTSize(int32_t fftSize) {
    UseFFTSize(spectrogram_, fftSize);
}

void RecordingSession::SelectSpectrogram(int32_t fftSize, int windowIndex) {
    SelectFFTSize(fftSize);
    BuildWindowTable(static_cast<uint8_t>(windowIndex), fftSize, spectrogram_.WindowTable);
}

SpectrogramResult RecordingSession::Recompute(const SpectrogramSettings& settings,
                                              const SpectrogramRunOptions& options) {
    return RecomputeSpectrogram(spectrogram_, store_, settings, job_, options);
}

void RecordingSession::RefreshAfterEdit(const SpectrogramSettings& settings) {
    RefreshFadeCurveAndFFTSize(spectrogram_, store_, settings);
}

void RecordingSession::SetCentreFrequency(int64_t hz) {
    if (!Loaded()) return;
    // The typed centre is that of the recording as it is now: the file's is that less the tuning since.
    centres_.Typed(description_.FileName, hz == 0 ? 0 : hz - std::llround(TunedBy()));
    description_.CentreFrequency = hz;
}
