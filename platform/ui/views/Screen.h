#pragma once

#include "platform/graphics/Geometry.h"

#include <memory>
#include <vector>

namespace ui {

// A display, as the backend reports it. Screen coordinates have y up, with the origin at the bottom left of the
// first (main) screen.
class Screen {
public:
    Screen(gfx::Rect frame, gfx::Rect visibleFrame, double backingScaleFactor)
        : m_frame(frame)
        , m_visibleFrame(visibleFrame)
        , m_backingScaleFactor(backingScaleFactor)
    {
    }

    // The screen with the key window, else the first one.
    static std::shared_ptr<Screen> mainScreen();
    static std::vector<std::shared_ptr<Screen>> screens();
    // The screen holding most of the rect (the first when none does).
    static std::shared_ptr<Screen> screenForRect(gfx::Rect rect);
    // The frame moved as little as needed to lie in the visible frame of its screen (pop-ups, tool tips).
    static gfx::Rect frameKeptOnScreen(gfx::Rect frame);

    gfx::Rect frame() const { return m_frame; }
    // Without the menu bar, panels and docks.
    gfx::Rect visibleFrame() const { return m_visibleFrame; }
    double backingScaleFactor() const { return m_backingScaleFactor; }

private:
    gfx::Rect m_frame;
    gfx::Rect m_visibleFrame;
    double m_backingScaleFactor;
};

}
