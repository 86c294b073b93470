#pragma once

#include "frameworks/AppKitExtensions/FlipArguments.h"

#include "platform/ui/views/Window.h"

#include <memory>

// Window geometry by its centre, and the card turn from one window to another: the front window turns half a turn
// about the vertical axis, showing the other window on its back, which ends facing the user where the first one was.
// The turn is drawn on two borderless, transparent flip windows holding pictures of both windows; the real windows
// change places beneath them.
namespace ZORNSWindowExtension {

// The perspective of the turn: the eye's distance from the cards in points.
inline constexpr double FlipEyeDistance = 850;

// The centre of the window's frame.
gfx::Point midpoint(const ui::Window& window);
// Moves the frame so that its centre is the point, keeping its size.
void setMidpoint(ui::Window& window, gfx::Point point);

// Turns from the window to the target over the duration (twice as long with Shift held, eight times with Shift and
// Control). The target is centred on the window and becomes key when the turn ends; the window is ordered out.
void flipToWindow(ui::Window& window, const std::shared_ptr<ui::Window>& toWindow, double duration, bool shadowed);
// The same; with adjustWindowFrame the target first takes the window's frame.
void flipToWindow(ui::Window& window, const std::shared_ptr<ui::Window>& toWindow, bool adjustWindowFrame,
    double duration, bool shadowed);
void flipWithArguments(ui::Window& window, const FlipArguments& arguments);

}
