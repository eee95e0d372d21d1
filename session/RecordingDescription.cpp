#include "session/RecordingDescription.h"

#include "signal/CaptureType.h"
#include "signal/SigMFMeta.h"

#include <array>

namespace {

struct FormatNames {
    SampleEncoding Encoding;
    const char* Name;  // as orvane-cli names it
    const char* Words; // as messages name it
};

constexpr std::array<FormatNames, 6> kFormats = {{
    {SampleEncoding::Unsigned8, "pcm8", "8-bit"},
    {SampleEncoding::Pcm16, "pcm16", "16-bit"},
    {SampleEncoding::Pcm24, "pcm24", "24-bit"},
    {SampleEncoding::Pcm32, "pcm32", "32-bit integer"},
    {SampleEncoding::Float32, "float32", "32-bit float"},
    {SampleEncoding::Float64, "float64", "64-bit float"},
}};

// The names of `format`; a file read as raw data has the raw 16-bit names.
FormatNames NamesOf(const std::optional<SampleEncoding>& format) {
    for (const FormatNames& names : kFormats)
        if (format == names.Encoding) return names;
    return {SampleEncoding::Pcm16, "raw16", "raw 16-bit"};
}

} // namespace

std::string SourceFormatName(const std::optional<SampleEncoding>& format) {
    return NamesOf(format).Name;
}

std::string SourceFormatWords(const std::optional<SampleEncoding>& format) {
    return NamesOf(format).Words;
}

bool WiderThanStore(const std::optional<SampleEncoding>& format) {
    return format == SampleEncoding::Pcm24 || format == SampleEncoding::Pcm32 ||
           format == SampleEncoding::Float32 || format == SampleEncoding::Float64;
}

std::string SourceWords(const RecordingDescription& description) {
    if (description.SigMF) return SigMFDatatypeName(description.SigMF->Datatype);
    if (description.Capture && description.Capture->Type) return CaptureTypeName(*description.Capture->Type);
    return SourceFormatWords(description.SourceFormat);
}

bool SourceWiderThanStore(const RecordingDescription& description) {
    if (description.SigMF) return SigMFValueBytes(description.SigMF->Datatype.Type) > 2;
    if (description.Capture && description.Capture->Type)
        return SigMFValueBytes(description.Capture->Type->Type) > 2;
    return WiderThanStore(description.SourceFormat);
}
