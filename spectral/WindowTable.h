// The window applied to every frame before its FFT: N coefficients for the window chosen by its item
// index in ComboFFTWindow (see kFFTWindowItems). All windows are periodic (denominator N), not
// normalised, and stored as 32-bit floats.
#pragma once

#include "signal/LargeMemory.h"

#include <atomic>
#include <cstdint>
#include <vector>

// Its memory comes from the large-array allocator: at the largest N the table is 32 MB, and filling
// fresh small pages of that much costs more than computing half of it.
using TWindowTable = std::vector<float, DefaultInitAllocator<float>>;

inline constexpr uint8_t kWindowNone = 0;
inline constexpr uint8_t kWindowTriangular = 1;
inline constexpr uint8_t kWindowHamming = 2;
inline constexpr uint8_t kWindowHann = 3;
inline constexpr uint8_t kWindowBlackman = 4;
inline constexpr uint8_t kWindowNuttall = 5;
inline constexpr uint8_t kWindowExperimental = 6;

// Resizes WindowTable to CurrentFFTSize entries (entries below the old length keep their values, new
// ones start at 0.0) and computes every entry for the window `windowIndex`. An index outside 0 .. 6
// (an empty list selection reaches here as 255) computes no entry. A size below 0 is taken as 0.
// Large tables are shared with the worker pool's threads; the result is the same as one thread's.
// With a stop flag, the flag is looked at every millisecond or so and, once it is seen, the entries
// not yet computed are left as they were and false is returned; true when the table is complete.
bool BuildWindowTable(uint8_t windowIndex, int32_t CurrentFFTSize, TWindowTable& WindowTable,
                      const std::atomic<bool>* stop = nullptr);

// Entry i of a table of CurrentFFTSize entries for windows 0 .. 6, formed entirely in extended
// precision, one entry at a time. BuildWindowTable gives the same values faster; this is the slow
// definition it is checked against.
float WindowEntryExtended(uint8_t windowIndex, int32_t CurrentFFTSize, int32_t i);
