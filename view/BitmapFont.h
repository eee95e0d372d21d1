// A small built-in font for text drawn without a windowing toolkit (pictures with axes written by
// orvane-cli and the window alike): the printable ASCII characters as 5 x 7 dot glyphs in cells of
// 6 x 10 pixels. Any other character is drawn as '?'.
#pragma once

#include "view/Color32.h"

#include <cstdint>
#include <string_view>

struct TPixelAccess;

inline constexpr int kGlyphCellWidth = 6;
inline constexpr int kGlyphCellHeight = 10;
// Rows of a cell above a glyph's top dot row.
inline constexpr int kGlyphTopGap = 1;

// Width in pixels of `text` drawn with the font.
int TextWidth(std::string_view text);

// Draws `text` with its first cell's top-left corner at (x, y); dots off the surface are left out.
void DrawText(const TPixelAccess& target, int x, int y, std::string_view text, TColor32 colour);
