#include "frameworks/AppKitExtensions/Themes/ZORFlatDarkTheme.h"

using gfx::Color;
namespace State = ZORThemeState;

FND_REGISTER_CLASS(ZORFlatDarkTheme, ZORAbstractTheme)

namespace {

struct RGB {
    double r, g, b;
};

gfx::ColorPtr device(RGB c, double alpha)
{
    return Color::colorWithDeviceRed(c.r, c.g, c.b, alpha);
}

constexpr RGB grey(double level)
{
    return { level, level, level };
}

constexpr RGB Outline { 0.749, 0.761, 0.788 };
constexpr RGB Dark = grey(0.141);
constexpr RGB Light = grey(0.941);

std::shared_ptr<gfx::Gradient> pair(RGB start, RGB end, double alpha)
{
    return gfx::Gradient::gradientWithColorsAndLocations(
        { { device(start, alpha), 0.0 }, { device(end, alpha), 1.0 } });
}

// A hard edge in the middle: the top half runs from the first colour to the second, the bottom from the third.
std::shared_ptr<gfx::Gradient> fourStops(const RGB (&colors)[4], double alpha)
{
    return gfx::Gradient::gradientWithColorsAndLocations({ { device(colors[0], alpha), 0.0 },
        { device(colors[1], alpha), 0.5 }, { device(colors[2], alpha), 0.5 }, { device(colors[3], alpha), 1.0 } });
}

bool isDisabledOrInactive(ZORThemeStateMask mask)
{
    return mask & (State::Disabled | State::Inactive);
}

bool isOnOrPressed(ZORThemeStateMask mask)
{
    return mask & (State::On | State::Pressed);
}

}

std::shared_ptr<gfx::Gradient> ZORFlatDarkTheme::darkPairGradient(double alpha)
{
    return pair({ 0.251, 0.251, 0.255 }, grey(0.118), alpha);
}

std::shared_ptr<gfx::Gradient> ZORFlatDarkTheme::lightPairGradient(double alpha)
{
    return pair({ 0.451, 0.451, 0.455 }, grey(0.318), alpha);
}

std::shared_ptr<gfx::Gradient> ZORFlatDarkTheme::darkSetGradient(double alpha)
{
    return fourStops(
        { { 0.324, 0.331, 0.347 }, { 0.245, 0.253, 0.269 }, { 0.206, 0.214, 0.233 }, { 0.139, 0.147, 0.167 } }, alpha);
}

std::shared_ptr<gfx::Gradient> ZORFlatDarkTheme::lightSetGradient(double alpha)
{
    return fourStops(
        { { 0.524, 0.531, 0.547 }, { 0.445, 0.453, 0.469 }, { 0.406, 0.414, 0.433 }, { 0.339, 0.347, 0.367 } }, alpha);
}

std::shared_ptr<gfx::Gradient> ZORFlatDarkTheme::sideBorderGradient()
{
    return gfx::Gradient::gradientWithColorsAndLocations(
        {
            { Color::colorWithCalibratedWhite(0.99), 0.0 },
            { Color::colorWithCalibratedWhite(0.46), 0.5 },
            { Color::colorWithCalibratedWhite(0.88), 1.0 },
        },
        gfx::ColorSpaceName::CalibratedWhite);
}

ZORBackgroundStyle ZORFlatDarkTheme::backgroundStyle() const
{
    return ZORBackgroundStyleValue::Dark;
}

gfx::ColorPtr ZORFlatDarkTheme::strokeColorForStateMask(ZORThemeStateMask mask) const
{
    return device(Outline, isDisabledOrInactive(mask) ? alphaValueForStateMask(mask) : 1.0);
}

gfx::ColorPtr ZORFlatDarkTheme::darkStrokeColorForStateMask(ZORThemeStateMask) const
{
    return device(Dark, 0.5);
}

gfx::ColorPtr ZORFlatDarkTheme::fillColorForStateMask(ZORThemeStateMask mask) const
{
    double alpha = alphaValueForStateMask(mask);
    if (isDisabledOrInactive(mask))
        return device(Dark, alpha);
    return device(isOnOrPressed(mask) ? Light : Dark, alpha);
}

double ZORFlatDarkTheme::gradientAngleForStateMask(ZORThemeStateMask) const
{
    return 90.0;
}

std::shared_ptr<gfx::Gradient> ZORFlatDarkTheme::gradientForStateMask(ZORThemeStateMask mask) const
{
    double alpha = alphaValueForStateMask(mask);
    if (!isDisabledOrInactive(mask) && isOnOrPressed(mask))
        return lightPairGradient(alpha);
    return darkPairGradient(alpha);
}

std::shared_ptr<gfx::Gradient> ZORFlatDarkTheme::complexGradientForStateMask(ZORThemeStateMask mask) const
{
    double alpha = alphaValueForStateMask(mask);
    if (!(mask & State::Disabled) && isOnOrPressed(mask))
        return lightSetGradient(alpha);
    return darkSetGradient(alpha);
}

std::shared_ptr<gfx::Gradient> ZORFlatDarkTheme::borderSideGradientForStateMask(ZORThemeStateMask) const
{
    return sideBorderGradient();
}

gfx::ColorPtr ZORFlatDarkTheme::textColorForBackgroundStyle(ZORBackgroundStyle style, ZORThemeStateMask stateMask) const
{
    if (stateMask & State::Disabled)
        return Color::colorWithDeviceRed(1, 1, 1, alphaValueForStateMask(stateMask));
    if (stateMask & State::On)
        return selectedTextBackgroundColorForBackgroundStyle(style, stateMask);
    if (stateMask & State::Inactive)
        return Color::darkGrayColor();
    return Color::whiteColor();
}

gfx::ColorPtr ZORFlatDarkTheme::selectedTextColorForBackgroundStyle(ZORBackgroundStyle, ZORThemeStateMask) const
{
    return Color::whiteColor();
}

gfx::ColorPtr ZORFlatDarkTheme::selectedTextBackgroundColorForBackgroundStyle(
    ZORBackgroundStyle, ZORThemeStateMask) const
{
    return Color::darkGrayColor();
}

double ZORFlatDarkTheme::alphaValueForStateMask(ZORThemeStateMask mask) const
{
    return mask & State::Disabled ? 0.2 : 0.6;
}

bool ZORFlatDarkTheme::applyShadows() const
{
    return false;
}
