#pragma once

#include "platform/graphics/Geometry.h"

#include <optional>

namespace ui {

class Menu;

// Shows the menu in a pop-up window of its own with its top left at the screen point (kept on the screen), drawn by
// a MenuView, and tracks it until an item is chosen (its index) or the menu is dismissed (nullopt). Input comes
// from the application's event queue in the event-tracking mode, whatever window it was sent to:
// - the mouse: the item under it is highlighted; releasing on an item chooses it, except the release that ends the
//   click which opened the menu (then the menu stays open); a press or release away from the menu dismisses it.
// - the keyboard: Up and Down (Home, End, Page Up, Page Down) move the highlight over the items that can be chosen;
//   typing the start of a title moves it there; Return, Enter or Space choose; Escape dismisses.
// The menu's highlighted item is where the highlight starts, and follows it.
std::optional<long> runMenuTracking(Menu& menu, gfx::Point topLeft);

}
