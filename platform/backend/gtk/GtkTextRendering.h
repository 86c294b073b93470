#pragma once

// The desktop's font rendering settings (antialiasing, hinting) as GTK has them, followed while the program runs.

namespace ui {

// Reads GTK's settings once and again whenever the desktop changes them; settings GTK leaves at "default" keep
// what fontconfig says.
void followDesktopTextRendering();

}
