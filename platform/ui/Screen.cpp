#include "platform/ui/Screen.h"

#include "platform/ui/Application.h"
#include "platform/ui/Backend.h"
#include "platform/ui/Window.h"

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

}
