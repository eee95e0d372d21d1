// A marked stretch of a recording, as SigMF annotations carry them: a run of samples, optionally a band,
// and texts. The session keeps them for the window to draw; a SigMF save writes them back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct Annotation {
    int64_t SampleStart = 0;            // the first sample (one I/Q pair is one sample)
    std::optional<int64_t> SampleCount; // samples marked; nothing: to the end
    std::optional<double> LowerEdgeHz;  // the band's edges, radio frequencies (centre added)
    std::optional<double> UpperEdgeHz;  //   nothing: the whole band
    std::string Label;                  // short text; empty: none
    std::string Comment;                // longer text; empty: none
    std::string Generator;              // the software that made it; empty: not known
    std::string OtherKeys;              // the annotation's other keys as a JSON object text ("" or
                                        // "{...}"), written back as they came (other namespaces)

    bool operator==(const Annotation&) const = default;
};
