// How the desktop knows the program: the window icon (the packaged drawing, built into the program)
// and the name of its desktop file, by which the desktop matches the windows to the launcher.
#pragma once

#include <QString>

inline constexpr const char* kDesktopFileName = "org.orvane.OrvanePlus";

// Sets both for the whole application; call once the application object exists.
void ApplyDesktopIdentity();
