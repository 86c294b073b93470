#include "frameworks/ZORAppKit/split-view/ZORSplitViewToolbarLook.h"

#include "frameworks/ZORAppKit/split-view/ZORSplitViewToolbar.h"

#include "platform/graphics/Gradient.h"

namespace ZORSplitViewToolbarLook {

gfx::ColorPtr grey(double white, double alpha, bool dimmed)
{
    auto colour = gfx::Color::colorWithCalibratedRed(white, white, white, alpha);
    if (dimmed) {
        if (auto lighter = colour->highlightWithLevel(ZORSplitViewToolbar::DimmingLevel))
            return lighter;
    }
    return colour;
}

std::shared_ptr<gfx::Gradient> backgroundGradient(bool dimmed)
{
    return gfx::Gradient::gradientWithColorsAndLocations(
        { { grey(0.75, 1, dimmed), 0 }, { grey(0.95, 1, dimmed), 1 } });
}

gfx::ColorPtr separatorColor(bool dimmed)
{
    return grey(0.5, 1, dimmed);
}

std::shared_ptr<gfx::Gradient> delimiterGradient(bool dimmed)
{
    return gfx::Gradient::gradientWithColorsAndLocations(
        { { grey(0.75, 0.1, dimmed), 0.0 }, { grey(0.78, 0.5, dimmed), 0.1 }, { grey(0.42, 1, dimmed), 0.5 },
            { grey(0.78, 0.5, dimmed), 0.9 }, { grey(0.75, 0.1, dimmed), 1.0 } });
}

std::shared_ptr<gfx::Gradient> buttonGradient(bool pressed, bool dimmed)
{
    if (pressed)
        return gfx::Gradient::gradientWithColorsAndLocations(
            { { grey(0.78, 1, false), 0 }, { grey(0.9, 1, false), 1 } });
    return gfx::Gradient::gradientWithColorsAndLocations(
        { { grey(0.95, 1, dimmed), 0 }, { grey(0.75, 1, dimmed), 1 } });
}

std::shared_ptr<gfx::Gradient> gripGradient(bool dimmed)
{
    return gfx::Gradient::gradientWithColorsAndLocations(
        { { grey(0.73, 1, dimmed), 0.0 }, { grey(0.22, 1, dimmed), 0.4 }, { grey(0.73, 1, dimmed), 1.0 } });
}

}
