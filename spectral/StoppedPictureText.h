// What status panel 2 says of a picture whose computation was stopped: how far into the recording it
// got, e.g. " Stopped at 12.5 s of 60.0 s (6310 ms)", the computation's time last as for a whole
// picture.
#pragma once

#include "spectral/SpectrogramReadout.h"
#include "view/TBitmap32.h"

#include <cstdint>
#include <string>

// The columns drawn in the band being drawn when the stop came: a stopped band's drawn columns are
// [0, k) and the others are as the preparation left them (transparent). With two bands that is the
// lower band once it has a column, otherwise the upper one.
int64_t DrawnColumns(const TBitmap32& picture, const PictureAxes& axes);

// The text for `drawnColumns` columns of a picture of a recording `totalSeconds` long; `timeText` is
// the computation's time as panel 2 shows it for a whole picture (" 6310 ms").
std::string StoppedPictureText(const PictureAxes& axes, int64_t drawnColumns, double totalSeconds,
                               const std::string& timeText);
