// The small pictures of the window's picture buttons, drawn once in code.
#pragma once

#include <QIcon>

enum class ButtonGlyph {
    StopCalculate,
    SaveBitmap,
    SaveSignal,
    Zoom,
    ResetZoom,
    Antialiasing,
    StopPlay,
    Play,
    LoopPlay
};

QIcon MakeButtonGlyph(ButtonGlyph glyph);
