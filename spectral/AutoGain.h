// "Auto Gain": the "Image Gain" item that puts the strongest signal of a picture near the top of the
// palette, just below saturation (white).
#pragma once

#include "spectral/SpectrogramReadout.h"
#include "view/TBitmap32.h"

#include <cstdint>

// Where Auto Gain puts the strongest level: this fraction of the saturation level.
inline constexpr double kAutoGainHeadroom = 0.8;

// The strongest level of a picture in "Spectrum" colours with these axes, leaving out its marker rows
// (bin 0): the top of the level span its strongest colour stands for. 0 for an empty picture.
double StrongestPictureLevel(const TBitmap32& spectrumPicture, const PictureAxes& axes);

// The index in kImageGainItems of the greatest gain that keeps `strongestLevel`, measured at gain
// `gain`, at or below kAutoGainHeadroom of saturation; the last item ("1") when none does, and the
// item of `gain` itself for a picture with no level at all.
int AutoGainItem(double strongestLevel, int32_t gain);
