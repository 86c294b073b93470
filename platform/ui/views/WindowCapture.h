#pragma once

#include <memory>

namespace gfx {
class Image;
}

namespace ui {

class Window;

// A picture of what the window shows: its view tree (toolbar strip and content) drawn now into a bitmap of the
// content's size, one pixel per point, the window's background included. The window system's own decoration is not
// part of it. nullptr for a window without content.
std::shared_ptr<gfx::Image> captureWindowImage(Window& window);

}
