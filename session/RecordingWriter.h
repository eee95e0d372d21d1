// Writing a recording with what its description says of it: a SigMF pair for a name ending in
// .sigmf-data or .sigmf-meta, else a 16-bit PCM WAV file with the centre frequency in an `auxi` chunk
// and, when there are annotations or the file read had one, the SigMF meta file beside it.
// The one place where the session's saves and extractions choose and build what they write.
#pragma once

#include "session/RecordingDescription.h"
#include "signal/SignalStore.h"

#include <cstdint>
#include <functional>
#include <string>

// Writes `store` to `fileName` (empty: the quick save's WAV file in `startDirectory`). A WAV file
// carries the description's centre frequency in an `auxi` chunk (its own payload kept); a SigMF pair
// gets a meta file with the rate, the centre frequency, the time of the first sample, the annotations,
// core:recorder and every key of the meta file read (signal/SigMFMeta.h). Returns WriteWavFile's result
// codes; panel-0 texts go to `status`. Throws EFCreateError when a file cannot be created; on a failed
// write `systemError` receives the system's error number.
uint16_t WriteRecording(const SignalStore& store, const RecordingDescription& description,
                        const std::string& fileName, const std::string& startDirectory,
                        const std::function<void(const std::string&)>& status, int* systemError);

// Writes the description's annotations alone, into the meta file of the recording's own file (the
// samples' file stays as it is): a SigMF recording's meta file with only its annotations replaced, or
// the meta file beside a 16-bit WAV file (signal/WavSigMFMeta.h), with the header bytes the file read
// had. A WAV recording without annotations or such a file writes nothing. Results as WriteRecording.
uint16_t WriteAnnotationsOnly(const SignalStore& store, const RecordingDescription& description,
                              const std::function<void(const std::string&)>& status, int* systemError);

// The words of the format a save to `fileName` writes the store as: "ci16_le" or "ri16_le" for
// SigMF, "16-bit PCM" otherwise.
std::string WrittenFormatWords(const SignalStore& store, const std::string& fileName);

// core:recorder of the meta files written: "Orvane+ " and the version.
std::string SigMFRecorder();
