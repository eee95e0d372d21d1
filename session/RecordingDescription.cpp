#include "session/RecordingDescription.h"

std::string SourceFormatName(const std::optional<SampleEncoding>& format) {
    if (!format) return "raw16";
    switch (*format) {
    case SampleEncoding::Unsigned8:
        return "pcm8";
    case SampleEncoding::Pcm16:
        return "pcm16";
    case SampleEncoding::Pcm24:
        return "pcm24";
    case SampleEncoding::Pcm32:
        return "pcm32";
    case SampleEncoding::Float32:
        return "float32";
    }
    return "pcm16";
}

std::string SourceFormatWords(const std::optional<SampleEncoding>& format) {
    if (!format) return "raw 16-bit";
    switch (*format) {
    case SampleEncoding::Unsigned8:
        return "8-bit";
    case SampleEncoding::Pcm16:
        return "16-bit";
    case SampleEncoding::Pcm24:
        return "24-bit";
    case SampleEncoding::Pcm32:
        return "32-bit integer";
    case SampleEncoding::Float32:
        return "32-bit float";
    }
    return "16-bit";
}

bool WiderThanStore(const std::optional<SampleEncoding>& format) {
    return format == SampleEncoding::Pcm24 || format == SampleEncoding::Pcm32 ||
           format == SampleEncoding::Float32;
}
