#include "session/RecordingWriter.h"

#include "ProgramInfo.h"
#include "signal/CentreFrequency.h"
#include "signal/SigMFFiles.h"
#include "signal/SigMFMeta.h"
#include "signal/SigMFWriter.h"
#include "signal/WavWriter.h"

namespace {

uint16_t WriteSigMFRecording(const SignalStore& store, const RecordingDescription& description,
                             const std::string& fileName,
                             const std::function<void(const std::string&)>& status, int* systemError) {
    SigMFMetaFacts facts;
    facts.Datatype = SigMFDatatypeOf(store);
    facts.SampleRate = store.SampleRate;
    facts.CentreFrequency = description.CentreFrequency;
    facts.DateTime = description.DateTime;
    facts.Annotations = description.Annotations;
    facts.Recorder = SigMFRecorder();
    const std::string meta =
        WriteSigMFMeta(description.SigMF ? &description.SigMF->Document : nullptr, facts);
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
    return SaveSignal(store, fileName, startDirectory, say, auxi, systemError);
}

std::string WrittenFormatWords(const SignalStore& store, const std::string& fileName) {
    return IsSigMFName(fileName) ? SigMFDatatypeName(SigMFDatatypeOf(store)) : "16-bit PCM";
}

std::string SigMFRecorder() {
    return "Orvane+ " + std::string(kOrvaneVersion);
}
