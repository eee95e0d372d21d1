#include "session/RecordingWriter.h"

#include "ProgramInfo.h"
#include "signal/CentreFrequency.h"
#include "signal/FileNames.h"
#include "signal/SigMFFiles.h"
#include "signal/SigMFMeta.h"
#include "signal/SigMFWriter.h"
#include "signal/WavSigMFMeta.h"
#include "signal/WavWriter.h"

namespace {

using StatusSink = std::function<void(const std::string&)>;

SigMFMetaFacts FactsOf(const SignalStore& store, const RecordingDescription& description) {
    SigMFMetaFacts facts;
    facts.Datatype = SigMFDatatypeOf(store);
    facts.SampleRate = store.SampleRate;
    facts.CentreFrequency = description.CentreFrequency;
    facts.DateTime = description.DateTime;
    facts.Annotations = description.Annotations;
    facts.Recorder = SigMFRecorder();
    return facts;
}

// The meta document read with the recording, whichever file it came with; nullptr: none.
const nlohmann::json* KeptDocument(const RecordingDescription& description) {
    if (description.SigMF) return &description.SigMF->Document;
    if (description.WavMeta) return &description.WavMeta->Document;
    return nullptr;
}

// The meta file beside the WAV file `wavFile`, whose samples start after `headerBytes` bytes; nothing
// is written for a recording without annotations that had no such file.
uint16_t WriteWavMeta(const SignalStore& store, const RecordingDescription& description,
                      const std::string& wavFile, int64_t headerBytes, const StatusSink& status,
                      int* systemError) {
    if (description.Annotations.empty() && !description.WavMeta) return kWavWriteOk;
    SigMFMetaFacts facts = FactsOf(store, description);
    facts.Dataset = FileNameWithoutFolder(wavFile);
    facts.HeaderBytes = headerBytes;
    const std::string meta = WriteSigMFMeta(KeptDocument(description), facts);
    return SaveSigMFMeta(SigMFMetaBesideWav(wavFile), meta, status, systemError);
}

uint16_t WriteSigMFRecording(const SignalStore& store, const RecordingDescription& description,
                             const std::string& fileName,
                             const std::function<void(const std::string&)>& status, int* systemError) {
    const std::string meta = WriteSigMFMeta(KeptDocument(description), FactsOf(store, description));
    return SaveSigMF(store, fileName, meta, status, systemError);
}

} // namespace

uint16_t WriteRecording(const SignalStore& store, const RecordingDescription& description,
                        const std::string& fileName, const std::string& startDirectory,
                        const std::function<void(const std::string&)>& status, int* systemError) {
    const std::function<void(const std::string&)> say = status ? status : [](const std::string&) {};
    if (IsSigMFName(fileName)) return WriteSigMFRecording(store, description, fileName, say, systemError);
    const std::vector<uint8_t> auxi =
        AuxiPayloadForSave(description.AuxiPayload, description.CentreFrequency);
    const uint16_t result = SaveSignal(store, fileName, startDirectory, say, auxi, systemError);
    if (result != kWavWriteOk) return result;
    const std::string written = fileName.empty() ? QuickSavePath(startDirectory) : fileName;
    return WriteWavMeta(store, description, written, int64_t(WavFileSize(0)), say, systemError);
}

uint16_t WriteAnnotationsOnly(const SignalStore& store, const RecordingDescription& description,
                              const std::function<void(const std::string&)>& status, int* systemError) {
    const StatusSink say = status ? status : [](const std::string&) {};
    if (description.SigMF) {
        const std::string meta =
            ReplaceSigMFAnnotations(description.SigMF->Document, description.Annotations);
        return SaveSigMFMeta(SigMFPairOf(description.FileName).Meta, meta, say, systemError);
    }
    return WriteWavMeta(store, description, description.FileName, description.WavHeaderBytes, say,
                        systemError);
}

std::string WrittenFormatWords(const SignalStore& store, const std::string& fileName) {
    return IsSigMFName(fileName) ? SigMFDatatypeName(SigMFDatatypeOf(store)) : "16-bit PCM";
}

std::string SigMFRecorder() {
    return "Orvane+ " + std::string(kOrvaneVersion);
}
