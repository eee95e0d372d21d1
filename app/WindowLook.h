// The colours and sizes of the main window's layout.
#pragma once

#include <QColor>

inline const QColor kFormBackground(170, 162, 146);
inline const QColor kImagePanelColor(108, 108, 108);
inline const QColor kRulerBackground(81, 81, 81);
inline const QColor kEditBackground(81, 81, 81);
inline const QColor kReloadTextColor(128, 0, 0); // maroon

inline constexpr int kMinFormWidth = 800;
inline constexpr int kMinFormHeight = 400;
inline constexpr int kBarHeight = 28;
inline constexpr int kRulerColumnWidth = 30;
inline constexpr int kTopRightGroupWidth = 207;
inline constexpr int kBottomRightGroupWidth = 463;
inline constexpr int kEditMaxLength = 7;
inline constexpr int kStatusPanelWidths[4] = {235, 185, 70, 190}; // panels 0 .. 3
// Panels 0 .. 3 give way down to this share of their width when the window is too narrow for every
// panel and the readings.
inline constexpr int kStatusPanelLeastPercent = 40;
// The playback panel (4) is wide enough for this text at the least.
inline constexpr const char* kPlaybackPanelWidest = " Device Error";
