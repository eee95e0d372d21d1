// The SigMF meta file beside a WAV file: NAME.sigmf-meta for NAME.wav, whose global core:dataset names
// the WAV file and whose first capture's core:header_bytes skips the WAV header. It carries what a WAV
// file has no place for, the recording's annotations above all.
#pragma once

#include "signal/SigMFMeta.h"

#include <optional>
#include <string>

// The meta file's name for `wavFileName`: its extension replaced by .sigmf-meta (added when it has none).
std::string SigMFMetaBesideWav(const std::string& wavFileName);

// The meta file beside `wavFileName` when there is one that reads and names that file (without its
// folder) as its core:dataset; nothing otherwise (no file, a damaged one, one of another dataset).
std::optional<SigMFMeta> ReadSigMFMetaOfWav(const std::string& wavFileName);
