// Where an annotation lies on a spectrogram picture, mapped as the marker rectangle maps times and
// frequencies (spectral/SpectrogramReadout.h), and the annotation a marked band makes.
#pragma once

#include "ops/ExtractBand.h"
#include "signal/Annotation.h"
#include "spectral/SpectrogramReadout.h"

#include <cstdint>
#include <string>
#include <vector>

// The rectangles an annotation covers on a picture with `axes`, in continuous picture coordinates
// (the marker's): its samples (to the end of the recording's `frames` when it has no count) across,
// its band down, or the whole band when it has none. Its edges are radio frequencies when the
// picture has a centre frequency, which is subtracted. A band lies in each band of the picture, as the
// marker's frequencies do: one rectangle per channel in the two-band picture. None when the axes are
// not valid or have no sample rate.
std::vector<PictureRect> AnnotationPictureRects(const PictureAxes& axes, const Annotation& annotation,
                                                int64_t frames);

// The marker rectangle that marks the annotation's time range and band (in the top band of the
// two-band picture), for Listen and Extract; an empty one when it has no rectangle.
PictureRect MarkerRectOfAnnotation(const PictureAxes& axes, const Annotation& annotation, int64_t frames);

// The annotation of a marked band (baseband hertz, seconds) of a recording at `sampleRate` whose
// radio frequency at 0 Hz is `centreHertz` (0: none known, the edges stay baseband): its first sample
// and count of samples (at least one), its edges, the texts and the generator given.
Annotation AnnotationOfBand(const ExtractRequest& band, int32_t sampleRate, int64_t centreHertz,
                            std::string label, std::string comment, std::string generator);
