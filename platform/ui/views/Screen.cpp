#include "platform/ui/views/Screen.h"

#include "platform/ui/views/Application.h"
#include "platform/ui/views/Backend.h"
#include "platform/ui/views/Window.h"

#include <algorithm>

namespace ui {

std::vector<std::shared_ptr<Screen>> Screen::screens()
{
    std::vector<std::shared_ptr<Screen>> result;
    for (const auto& g : Backend::current().screens())
        result.push_back(std::make_shared<Screen>(g.frame, g.visibleFrame, g.backingScaleFactor));
    return result;
}

std::shared_ptr<Screen> Screen::mainScreen()
{
    if (auto key = Application::shared().keyWindow())
        return key->screen();
    auto all = screens();
    return all.empty() ? nullptr : all.front();
}

std::shared_ptr<Screen> Screen::screenForRect(gfx::Rect rect)
{
    auto all = screens();
    std::shared_ptr<Screen> best;
    double bestArea = 0;
    for (const auto& s : all) {
        auto overlap = gfx::intersectionRect(s->frame(), rect);
        double area = overlap.width() * overlap.height();
        if (area > bestArea) {
            best = s;
            bestArea = area;
        }
    }
    if (!best && !all.empty())
        best = all.front();
    return best;
}

gfx::Rect Screen::frameKeptOnScreen(gfx::Rect frame)
{
    auto screen = screenForRect(frame);
    if (!screen)
        return frame;
    auto visible = screen->visibleFrame();
    frame.origin.x = std::min(frame.minX(), visible.maxX() - frame.width());
    frame.origin.x = std::max(frame.minX(), visible.minX());
    frame.origin.y = std::max(frame.minY(), visible.minY());
    frame.origin.y = std::min(frame.minY(), visible.maxY() - frame.height());
    return frame;
}

}
