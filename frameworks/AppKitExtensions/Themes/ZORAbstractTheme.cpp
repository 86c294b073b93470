#include "frameworks/AppKitExtensions/Themes/ZORAbstractTheme.h"

using gfx::Color;
namespace State = ZORThemeState;

FND_REGISTER_CLASS(ZORAbstractTheme, fnd::Object)

std::shared_ptr<gfx::Shadow> ZORAbstractTheme::makeShadow(gfx::ColorPtr color, double blurRadius, gfx::Size offset)
{
    auto shadow = std::make_shared<gfx::Shadow>();
    shadow->setShadowColor(std::move(color));
    shadow->setShadowBlurRadius(blurRadius);
    shadow->setShadowOffset(offset);
    return shadow;
}

ZORBackgroundStyle ZORAbstractTheme::backgroundStyle() const
{
    return ZORBackgroundStyleValue::Light;
}

std::shared_ptr<gfx::Shadow> ZORAbstractTheme::focusRing() const
{
    return makeShadow(Color::whiteColor(), 3, { 0, 0 });
}

gfx::ColorPtr ZORAbstractTheme::strokeColorForStateMask(ZORThemeStateMask) const
{
    return Color::controlShadowColor();
}

gfx::ColorPtr ZORAbstractTheme::darkStrokeColorForStateMask(ZORThemeStateMask) const
{
    return Color::controlDarkShadowColor();
}

gfx::ColorPtr ZORAbstractTheme::gridColorForStateMask(ZORThemeStateMask) const
{
    return Color::gridColor();
}

gfx::ColorPtr ZORAbstractTheme::fillColorForStateMask(ZORThemeStateMask mask) const
{
    return mask & State::On ? Color::controlHighlightColor() : Color::controlBackgroundColor();
}

double ZORAbstractTheme::gradientAngleForStateMask(ZORThemeStateMask) const
{
    return 90.0;
}

std::shared_ptr<gfx::Gradient> ZORAbstractTheme::gradientForStateMask(ZORThemeStateMask) const
{
    return nullptr;
}

std::shared_ptr<gfx::Gradient> ZORAbstractTheme::complexGradientForStateMask(ZORThemeStateMask) const
{
    return nullptr;
}

std::shared_ptr<gfx::Gradient> ZORAbstractTheme::borderSideGradientForStateMask(ZORThemeStateMask) const
{
    return nullptr;
}

gfx::ColorPtr ZORAbstractTheme::textColorForBackgroundStyle(ZORBackgroundStyle, ZORThemeStateMask stateMask) const
{
    return stateMask & State::Disabled ? Color::disabledControlTextColor() : Color::controlTextColor();
}

gfx::ColorPtr ZORAbstractTheme::selectedTextColorForBackgroundStyle(ZORBackgroundStyle, ZORThemeStateMask) const
{
    return Color::selectedTextColor();
}

gfx::ColorPtr ZORAbstractTheme::selectedTextBackgroundColorForBackgroundStyle(
    ZORBackgroundStyle, ZORThemeStateMask) const
{
    return Color::selectedTextBackgroundColor();
}

double ZORAbstractTheme::alphaValueForStateMask(ZORThemeStateMask mask) const
{
    return mask & State::Disabled ? 0.2 : 0.6;
}

double ZORAbstractTheme::alphaValueForBackgroundStyle(ZORBackgroundStyle style, ZORThemeStateMask stateMask) const
{
    if (style == ZORBackgroundStyleValue::Dark)
        return stateMask & State::Disabled ? 0.2 : 1.0;
    return alphaValueForStateMask(stateMask);
}

bool ZORAbstractTheme::applyShadows() const
{
    return false;
}

std::shared_ptr<gfx::Shadow> ZORAbstractTheme::dropShadow() const
{
    return makeShadow(Color::blackColor(), 2, { 0, -1 });
}

std::shared_ptr<gfx::Shadow> ZORAbstractTheme::dropShadowForBackgroundStyle(ZORBackgroundStyle style) const
{
    if (style == ZORBackgroundStyleValue::Light)
        return makeShadow(Color::blackColor(), 2, { 0, -1 });
    if (style == ZORBackgroundStyleValue::Dark)
        return makeShadow(Color::whiteColor(), 2, { 0, -1 });
    return nullptr;
}
