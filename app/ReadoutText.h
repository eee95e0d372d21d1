// The texts of the window's readings: the time, frequency and level under the pointer (status panel 5)
// and the extent of the marker rectangle (status panel 6). Each number carries as many decimals as
// the picture resolves: a column's time step for times, a bin's width for frequencies.
#pragma once

#include "spectral/SpectrogramReadout.h"

#include <optional>
#include <string>

// How far the level of the bin under the pointer is.
enum class LevelState {
    Ready,     // computed: the value (or -infinity for silence)
    Computing, // a worker is computing it
    AfterJob,  // a job runs: the samples are not read until it has ended
    Unknown,   // nothing to read it from
};

// Seconds with the decimals a step of `resolution` seconds needs, e.g. "1.234 s".
std::string SecondsText(double seconds, double resolution);
// Hertz with the decimals a step of `resolution` Hz needs, e.g. "15000.0 Hz".
std::string HertzText(double hertz, double resolution);
// "ch 1" / "ch 2" for a band of two channels, "" for the one signal.
std::string ChannelText(int channel);
// "-3.2 dBFS", "-inf dBFS" for silence, "... dBFS" while computing, "" when there is nothing to show.
std::string LevelText(LevelState state, std::optional<double> dbfs);

// " 1.234 s  15000.0 Hz ch 1  -3.2 dBFS"; in the complex picture signed frequencies ("-3000.0 Hz"), or
// with a known centre frequency the radio frequency in MHz with the decimals a bin needs
// (" 1.234 s  7.047000 MHz  -3.2 dBFS").
std::string PointerReadoutText(const PictureAxes& axes, int64_t column, const RowReading& row,
                               LevelState state, std::optional<double> dbfs);
// "  peak of 5 bins" when the screen pixel under the pointer covers `rows` > 1 picture rows (the
// readout then reads the strongest of them), "" otherwise.
std::string StrongestOfText(int32_t rows);
// " ▭ 1.234 s  Δt 0.512 s  14000.0…16000.0 Hz ch 1  Δf 2000.0 Hz"; across both bands of two
// channels the two edges with their channels and no Δf. Frequencies as in PointerReadoutText, Δf in Hz.
std::string MarkerReadoutText(const PictureAxes& axes, const MarkerReading& marker);
