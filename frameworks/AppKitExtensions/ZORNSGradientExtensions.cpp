#include "frameworks/AppKitExtensions/ZORNSGradientExtensions.h"

namespace ZORNSGradientExtensions {

namespace {

using gfx::Color;
using Stops = std::vector<gfx::Gradient::ColorStop>;

std::shared_ptr<gfx::Gradient> whiteGradient(std::initializer_list<std::pair<double, double>> levelsAt)
{
    Stops stops;
    for (auto [level, location] : levelsAt)
        stops.push_back({ Color::colorWithCalibratedWhite(level), location });
    return gfx::Gradient::gradientWithColorsAndLocations(std::move(stops), gfx::ColorSpaceName::CalibratedWhite);
}

// A grey band that fades in towards the middle, where it is opaque, and out again.
std::shared_ptr<gfx::Gradient> buttonGlowGradient()
{
    Stops stops { { Color::colorWithGenericGray(0.7, 0.0), 0.0 }, { Color::colorWithGenericGray(0.7, 1.0), 0.5 },
        { Color::colorWithGenericGray(0.7, 0.0), 1.0 } };
    return gfx::Gradient::gradientWithColorsAndLocations(std::move(stops), gfx::ColorSpaceName::CalibratedWhite);
}

}

std::shared_ptr<gfx::Gradient> gradientByType(std::int64_t type)
{
    switch (type) {
    case GradientType::GrayBar:
        return grayBarGradient();
    case GradientType::BlueBar:
        return blueBarGradient();
    case GradientType::GlassBar:
        return glassBarGradient();
    case GradientType::ControlWindowBar:
        return controlWindowBarGradient();
    case GradientType::LightGrayBar:
        return lightGrayBarGradient();
    case GradientType::HighlightedButton:
        return highlightedButtonGradient();
    case GradientType::SelectedButton:
        return selectedButtonGradient();
    default:
        return nullptr;
    }
}

std::shared_ptr<gfx::Gradient> inactiveGradientByType(std::int64_t type)
{
    return gradientByType(type == GradientType::GrayBar ? GradientType::LightGrayBar : type);
}

std::shared_ptr<gfx::Gradient> grayBarGradient()
{
    static const auto gradient = whiteGradient({ { 0.678, 0.0 }, { 0.821, 1.0 } });
    return gradient;
}

std::shared_ptr<gfx::Gradient> blueBarGradient()
{
    static const auto gradient = gfx::Gradient::gradientWithColorsAndLocations({
        { Color::colorWithCalibratedRed(0.925, 0.933, 0.976), 0.0 },
        { Color::colorWithCalibratedRed(0.855, 0.871, 0.929), 0.5 },
        { Color::colorWithCalibratedRed(0.855, 0.871, 0.929), 0.5 },
        { Color::colorWithCalibratedRed(0.741, 0.761, 0.827), 1.0 },
    });
    return gradient;
}

std::shared_ptr<gfx::Gradient> glassBarGradient()
{
    static const auto gradient = whiteGradient({ { 0.882, 0.0 }, { 0.882, 0.5 }, { 0.945, 0.5 }, { 0.996, 1.0 } });
    return gradient;
}

std::shared_ptr<gfx::Gradient> controlWindowBarGradient()
{
    static const auto gradient
        = whiteGradient({ { 0.051, 0.0 }, { 0.122, 0.56 }, { 0.157, 0.57 }, { 0.184, 0.58 }, { 0.247, 1.0 } });
    return gradient;
}

std::shared_ptr<gfx::Gradient> lightGrayBarGradient()
{
    static const auto gradient = whiteGradient({ { 0.821, 0.0 }, { 0.956, 1.0 } });
    return gradient;
}

std::shared_ptr<gfx::Gradient> highlightedButtonGradient()
{
    static const auto gradient = buttonGlowGradient();
    return gradient;
}

std::shared_ptr<gfx::Gradient> selectedButtonGradient()
{
    static const auto gradient = buttonGlowGradient();
    return gradient;
}

}
