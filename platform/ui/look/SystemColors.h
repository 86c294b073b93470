#pragma once

#include "platform/foundation/runtime/String.h"
#include "platform/graphics/Color.h"

namespace ui {

// Posted (object: nil) after the system colours changed: the accent colour, or the desktop's colours.
inline const fnd::String SystemColorsDidChangeNotification = "NSSystemColorsDidChangeNotification";

// The colours of the desktop that controls follow. The accent colour marks the default button, selections, the
// focus ring and the filled part of sliders and progress bars; the selection and focus system colours
// (gfx::Color's alternateSelectedControlColor, keyboardFocusIndicatorColor, selectedControlColor, ...) are made
// from it, so every drawing that asks for them follows a change.
class SystemColors {
public:
    // A calm blue, like the desktop's default.
    static gfx::ColorPtr defaultAccentColor();
    static gfx::ColorPtr accentColor();
    // nullptr restores the default. Posts the change notification when the colour changes.
    static void setAccentColor(gfx::ColorPtr color);
    // The window system's colours changed (the backend calls it): the notification is posted, and the application
    // draws every window again.
    static void systemColorsDidChange();
};

}
